// The general-cost engine: distance table with every optimal predecessor
// edge, the optimal graph, one alignment, and the search through marks.
#pragma once
#include "containers/list.h"
#include "containers/matrix.h"

extern list_matrix dist_gr;   // (n+1) x (m+1) edge records of inner nodes; row/column 0 null

// Predecessor codes in help_l while one node is computed.
constexpr int CODE_DIAGONAL = 32767;
constexpr int CODE_ROW0 = -32767;

float min_distance();          // fills dist, dist_gr, gesamtkanten, bytes, sub_t; returns dist(n, m)
void min_cost(int i, int j);   // one inner node

void mark_nodes(int x, int y);       // marks the optimal graph backwards from (x, y)
void choose_your_alignment();        // optimal graph + picture (code 4: picture only)
void make_alignment();               // the shown alignment and its tables
void draw_single_opt_alignment();    // xor circles of hilfs_al

void comp_new_align(int x, int y);   // search backwards from (x, y) to (wo_x, wo_y)
void make_new_alignment();           // rebuild along hilfs_rek

// Deletes every edge record and sets every cell of dist_gr to null.
void release_general_graph();

#include "engine/common/bignum.h"
// Number of distinct optimal alignments: paths from (n, m) to the origin
// through the stored optimal graph (needs the marked graph of the last
// general computation).
BigCount count_general_paths();
