// The concave-cost engine: envelope minima over per-row and per-column
// candidate lists, the distance in three modes, the optimal graph, one
// alignment, and the search through marks.
#pragma once
#include <cstdint>

#include "containers/double_l.h"
#include "containers/edge_mat.h"
#include "containers/stack_l.h"
#include "engine/common/results.h"

extern stack_list* Sz;   // m + 1 row interval stacks; non-null exactly while concave results exist
extern stack_list* Ss;   // n + 1 column interval stacks
extern double_list* Lz;  // m + 1 row candidate lists
extern double_list* Ls;  // n + 1 column candidate lists
extern edge_matrix edge_m;   // (n+1) x (m+1) edge records
extern int l_i, l_j;     // end cell of the best subalignment (mode 8)
extern int con_vorz;     // +1/-1: sign of a link not yet drawn in the current drawing pass
extern int merk_l1;      // end position in sequence 1 of the shown alignment (modes 7, 8)
extern bool con_linear_path;  // the sweep may use its shortcut for exact linear costs (true; tests turn it off)

float Spaltenminimum(int x, int y);
float Zeilenminimum(int x, int y);
int binaere_Spaltensuche(int t0, int k, int x, int h);
int binaere_Zeilensuche(int t0, int k, int y, int h);
void min_ueber_d(int x, int y);
void min_ueber_s(int x, int y);
void min_ueber_d_und_s(int x, int y);
void min_ueber_z(int x, int y);
void min_ueber_d_und_z(int x, int y);
void min_ueber_s_und_z(int x, int y);
void min_ueber_alle_drei(int x, int y);

int cost_warning();          // concavity notice: 1 " Stop computation ", 0 " Go on computing "
float concave_distance();    // mode from computing (6, 7, 8)

void mark_con_nodes(int x, int y);
void choose_con_alignment();
void make_con_alignment();

// Every optimal edge of the marked graph, as ResultEngine::opt_edges.
void for_each_con_opt_edge(const OptEdgeVisitor& edge);

void comp_con_new_align(int x, int y);
void make_con_new_alignment();

// Creates the structures for the current n, m in their initial state.
void concave_setup();
// Destroys Sz, Ss, Lz, Ls and sets the pointers to null.
void concave_release();
// Releases the structures and sets every global of this header to its start
// value (tests use it).
void concave_reset();

// Mode (6, 7, 8) of the last concave_distance() and whether its sweep ran to
// the end (no interrupt, no floating-point fault); 0 / false before any.
int concave_mode();
bool concave_complete();
// Whether the last sweep took its shortcut for linear gap costs on exact
// values (same results, fewer probes); false before any.
bool concave_linear_used();

#include "engine/common/operations.h"
// Operation codes 6, 7, 8: concave-cost alignment in the mode `code`.
// Expects computing == code; leaves it 0. Modes 7 and 8 exchange the
// sequences when seq2 is the longer one. Refuses before allocating when the
// tables would not fit in memory.
OpResult run_concave_alignment(int code);
// Estimated peak bytes of the operation for sequence lengths n and m.
uint64_t concave_memory_need(int n, int m);

// Bytes the stored concave graph really takes: the edge records, the
// stacks and lists and their block (0 when there is none).
uint64_t concave_stored_bytes();

// The memory figure of a concave graph for sequence lengths n and m:
// (n + 1)(m + 1) * 8 + n * m * 4 bytes (beyond 32 bits at the largest lengths).
uint64_t concave_bytes(int n, int m);

#include "engine/common/bignum.h"
// Number of distinct optimal alignments of the last concave computation:
// distinct paths through the stored optimal graph from every optimal end cell
// (mode 6: (n, m); mode 7: every (x, m) with D(x, m) = wert; mode 8: every
// cell with D = wert) back to a start (the origin; any border cell in modes 7
// and 8; a subalignment start in mode 8). Tied duplicates of one predecessor
// count once.
BigCount count_con_paths();
// Estimated bytes that counting needs beyond the computation, as if every
// cell lay on an optimal path; the digits of very large counts come on top.
uint64_t concave_count_memory_need(int n, int m);
