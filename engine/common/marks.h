// The user's marks in the graph and the search for another optimal
// alignment through them, shared by both engines; the engine-specific
// search and rebuild are called through the operation below.
#pragma once
#include <cstdint>
#include "containers/bmatrix.h"
#include "containers/list_int.h"

extern int mo_x, mo_y;            // current mouse node
extern int markl_x, markl_y;      // left mark (-1 = not set)
extern int markb_x, markb_y;      // between mark
extern int markr_x, markr_y;      // right mark
extern int old_but;               // last mouse button code seen in the graph canvas
extern bit_matrix hilfs_rek;      // search: dead ends; after the splice: nodes of the new path
extern list_int hilfs_neu;        // nodes found by the searches and the splice, ended by -1
extern int gl_zae;                // index of the last element written to hilfs_neu, -1 = empty
extern int wo_x, wo_y;            // target node of the running search
extern char found_flag;           // the running search reached its target

// Mark rules of the "Set your mark" menu. Each returns the notice to show
// (empty: the mark was set) and leaves every mark unchanged on refusal.
enum class MarkResult { ok, out_of_range, not_possible, computing };
MarkResult choose_left();
MarkResult choose_right();
MarkResult choose_between();
void delete_left();
void delete_right();
void delete_between();
void delete_all();
void clear_marks();               // all six coordinates -1, nothing drawn

void set_mark(int k);             // 0 left, 1 right, 2 between: moves mark k to (mo_x, mo_y), draws it
int in_test();                    // 1 when (mo_x, mo_y) is a node of hilfs_al

// "Get new alignment": returns false with "There are not enough marks !"
// shown when the marks do not allow a request; otherwise places the default
// left/right marks and sets computing = 5.
bool request_new_alignment();

// The splice shared by both engines.
void aktualize_alignment();

enum class NewAlignmentResult { done, no_path, interrupted_first, interrupted_second, not_valid,
                                rebuild_failed };
// Operation code 5 without windows: both searches, erasing the old circles,
// splice, new circles, rebuild. Leaves computing = 0.
NewAlignmentResult run_new_alignment();
