// The general-cost engine: distance table with every optimal predecessor
// edge, the optimal graph, one alignment, and the search through marks.
#pragma once
#include <cstdint>

#include "engine/general/records.h"
#include "engine/common/results.h"

extern PredGraph dist_gr;   // (n+1) x (m+1) edge records of inner nodes; row/column 0 without

// Edge record of inner node (x, y); one without predecessors when the node
// has none or lies outside dist_gr.
inline PredRecord pred_record(int x, int y) {
  if (x < 1 || y < 1) return PredRecord();
  return dist_gr.record(x, y);
}

// Predecessor codes of the reference form while one node is computed.
constexpr int CODE_DIAGONAL = 32767;
constexpr int CODE_ROW0 = -32767;

// Fills dist, dist_gr, gesamtkanten, bytes, sub_t; returns dist(n, m). Runs
// on general_thread_count() threads; the results do not depend on their
// number. Stops early on an interrupt, a floating-point fault, or when the
// records outgrow the budget of dist_gr (general_outgrown_need() then tells
// what the graph would need).
float min_distance();

// Threads of the distance computation: general_threads when positive, else
// every core of the machine (the start value 0).
extern int general_threads;
int general_thread_count();
// Bytes the edge records of the last min_distance would have needed when
// they outgrew the budget of dist_gr; 0 when they did not.
uint64_t general_outgrown_need();

// How min_distance scans the gap candidates of a node. Every kernel gives the
// same table, the same edge records and the same figures as the reference
// form; the vector kernels only run on CPUs that have the instructions.
enum class ScanKernel {
  automatic,  // the fastest the CPU supports (start value)
  reference,  // every node candidate by candidate, in the order of the recurrence
  scalar,     // two passes per direction over contiguous copies, plain C++
  avx2,
  avx512,
};
extern ScanKernel scan_kernel;        // chosen kernel (tests and benchmarks set it)
bool scan_kernel_supported(ScanKernel k);
ScanKernel scan_kernel_in_use();      // what automatic resolves to on this CPU

void mark_nodes(int x, int y);       // marks the optimal graph backwards from (x, y)
void choose_your_alignment();        // optimal graph + picture (code 4: picture only)
void make_alignment();               // the shown alignment and its tables

// Every optimal edge of the marked graph, as ResultEngine::opt_edges.
void for_each_general_opt_edge(const OptEdgeVisitor& edge);

void comp_new_align(int x, int y);   // search backwards from (x, y) to (wo_x, wo_y)
void make_new_alignment();           // rebuild along hilfs_rek

// Deletes every edge record; dist_gr keeps no node.
void release_general_graph();

#include "engine/common/operations.h"
// Operation code 1: general-cost global alignment (distance, optimal graph,
// drawing, one alignment, circles). Expects computing == 1; leaves it 0.
// Refuses before allocating when the tables would not fit in memory, and
// while computing when the records outgrow the room the guard found (with
// the need of the whole graph; the partial results are released).
OpResult run_general_alignment();
// Peak bytes of the operation for sequence lengths n and m, for
// general_thread_count() threads, when no node has more than one optimal
// predecessor per direction: the distance table and its transposed copy, the
// record words, the optimal graph's bits, the threads' stacks and work
// space. Records of nodes with more predecessors come on top; the operation
// checks them against the room while it computes.
uint64_t general_memory_need(int n, int m);

// Releases the graph and resets this module's globals to their start values
// (tests).
void general_reset();

#include "engine/common/bignum.h"
// Number of distinct optimal alignments: paths from (n, m) to the origin
// through the stored optimal graph (needs the marked graph of the last
// general computation).
BigCount count_general_paths();
// Estimated bytes that counting needs beyond the computation, as if every
// node lay on an optimal path; the digits of very large counts come on top.
uint64_t general_count_memory_need(int n, int m);
