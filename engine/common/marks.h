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
extern char new_alignment_failed; // the rebuild found no step into a path node (it then
                                  // showed "Alignment couldn't be constructed !?")

// Mark rules of the "Set your mark" menu. Each shows the notice of a refusal
// ("Not possible while computing !", "This node is out of range !", "This
// mark isn't possible !"), returns which one (ok: the mark was set) and leaves
// every mark unchanged on refusal. The node rules follow comp_o: for results
// of the concave modes 7 and 8 an end mark may lie off the shown path, since
// that need not reach the corner there: a left mark (mode 8) on any node of
// the optimal graph, a right mark (modes 7 and 8) on an end of an optimal
// alignment (distance = the optimum; in the last row in mode 7).
enum class MarkResult { ok, out_of_range, not_possible, computing };
MarkResult choose_left();
MarkResult choose_right();
MarkResult choose_between();
// The delete items erase a set mark (drawn again by exclusive-or) and unset
// it; while computing they show "Not possible while computing !" instead.
void delete_left();
void delete_right();
void delete_between();
void delete_all();
void clear_marks();               // all six coordinates -1, nothing drawn

// Notices of the marks (one button " Sorry ").
void wrong_mark();        // "This mark isn't possible !"
void wrong2_mark();       // "This node is out of range !"
void mark_error();        // "There are not enough marks !"
void no_new_alignment();  // "Your marks don't include a" / "new optimal alignment !"

// Appends node (x, y) to hilfs_neu at ++gl_zae (x, then y); a pair that would
// leave no room for the closing -1 is dropped.
void neu_append(int x, int y);

// Resets every global of this header to its start value (tests).
void marks_reset();

void set_mark(int k);             // 0 left, 1 right, 2 between: moves mark k to (mo_x, mo_y), draws it
int in_test();                    // 1 when (mo_x, mo_y) is a node of hilfs_al

// "Get new alignment": returns false with "There are not enough marks !"
// shown when the marks do not allow a request (or "Not possible while
// computing !" while computing); otherwise places the default left/right
// marks (the origin; the end node, or in the subalignment mode the end of the
// shown stretch; drawn like any mark) and sets computing = 5.
bool request_new_alignment();

// The splice shared by both engines.
void aktualize_alignment();

enum class NewAlignmentResult { done, no_path, interrupted_first, interrupted_second, not_valid,
                                rebuild_failed,
                                interrupted_splice };  // interrupt while replacing the alignment:
                                                       // results invalid (comp = 0)
// Operation code 5 without windows: both searches, erasing the old circles,
// splice, new circles, rebuild. Leaves computing = 0.
NewAlignmentResult run_new_alignment();
