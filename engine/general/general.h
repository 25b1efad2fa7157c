// The general-cost engine: distance table with every optimal predecessor
// edge, the optimal graph, one alignment, and the search through marks.
#pragma once
#include "containers/list.h"
#include "containers/matrix.h"

extern list_matrix dist_gr;   // (n+1) x (m+1) edge records of inner nodes; row/column 0 null

// Edge record of inner node (x, y); nullptr when the node has none or lies
// outside dist_gr (never the all-ones pointer of an out-of-range read).
inline list* edge_record(int x, int y) {
  if (x < 1 || y < 1 || uint32_t(x) >= dist_gr.dim_x() || uint32_t(y) >= dist_gr.dim_y()) return nullptr;
  return dist_gr.numbers[uint64_t(y) * dist_gr.dim_x() + uint32_t(x)];
}

// First set bit of the record's block in global bit positions [b, end), or
// end when there is none (list 1 bit t is global bit t, list 2 bit t is
// global bit list1_length + t).
inline uint32_t record_next_bit(const list* r, uint32_t b, uint32_t end) {
  while (b < end) {
    unsigned byte = unsigned(r->numbers[b >> 3]) >> (b & 7);
    if (byte) {
      uint32_t p = b + uint32_t(__builtin_ctz(byte));
      return p < end ? p : end;
    }
    b = (b | 7u) + 1;
  }
  return end;
}

// Predecessor codes in help_l while one node is computed.
constexpr int CODE_DIAGONAL = 32767;
constexpr int CODE_ROW0 = -32767;

float min_distance();          // fills dist, dist_gr, gesamtkanten, bytes, sub_t; returns dist(n, m)
void min_cost(int i, int j);   // one inner node, candidate by candidate (reference form)

// How min_distance scans the gap candidates of a node. Every kernel gives the
// same table, the same edge records and the same figures as min_cost; the
// vector kernels only run on CPUs that have the instructions.
enum class ScanKernel {
  automatic,  // the fastest the CPU supports (start value)
  reference,  // min_cost for every node
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

void comp_new_align(int x, int y);   // search backwards from (x, y) to (wo_x, wo_y)
void make_new_alignment();           // rebuild along hilfs_rek

// Deletes every edge record and sets every cell of dist_gr to null.
void release_general_graph();

#include "engine/common/operations.h"
// Operation code 1: general-cost global alignment (distance, optimal graph,
// drawing, one alignment, circles). Expects computing == 1; leaves it 0.
// Refuses before allocating when the tables would not fit in memory.
OpResult run_general_alignment();
// Estimated peak bytes of the operation for sequence lengths n and m: the
// distance table and its transposed copy, the record pointers, one edge
// record per inner node and the optimal graph's bits.
uint64_t general_memory_need(int n, int m);

// Releases the graph, shrinks dist_gr to 1 x 1 and resets this module's
// globals to their start values (tests).
void general_reset();

#include "engine/common/bignum.h"
// Number of distinct optimal alignments: paths from (n, m) to the origin
// through the stored optimal graph (needs the marked graph of the last
// general computation).
BigCount count_general_paths();
// Estimated bytes that counting needs beyond the computation, as if every
// node lay on an optimal path; the digits of very large counts come on top.
uint64_t general_count_memory_need(int n, int m);
