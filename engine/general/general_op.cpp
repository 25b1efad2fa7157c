// Operation code 1, the general-cost global alignment, as one callable step
// (distance, optimal graph, drawing, one alignment, circles), and what the
// shared operations need of this engine.
#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/progress.h"

namespace {

constexpr uint64_t kBase = 16ull << 20;        // the program itself, the strings, small vectors
constexpr uint64_t kThread = 8ull << 20;       // a thread's stack
constexpr uint64_t kFirstChunk = 2ull << 20;   // a thread's first block of records

const ResultEngine general_engine = {
    false, release_general_graph, comp_new_align, make_new_alignment, choose_your_alignment,
    for_each_general_opt_edge,
};

// What the operation allocates besides the blocks of records.
uint64_t fixed_need(int nn, int mm) {
  const uint64_t cells = uint64_t(nn + 1) * uint64_t(mm + 1);
  const uint64_t inner = uint64_t(nn) * uint64_t(mm);
  const uint64_t bits = inner / 8 + uint64_t(mm) + 1;  // the optimal graph's bit matrix
  const uint64_t lmax = uint64_t(nn > mm ? nn : mm);
  const uint64_t threads = uint64_t(general_thread_count());
  // dist and its transposed copy (its columns padded to 16 floats), and the
  // record words (4 bytes each per node); per row the record block pointer
  // and the progress line; per thread its stack and its work space
  // (positions, codes, chunk minima of a cell and of a band's 16 cells).
  const uint64_t chunk_minima = (lmax / 128 + 1) * 64;
  const uint64_t per_thread = kThread + (uint64_t(nn) + uint64_t(mm) + 2) * 8 + (2 + 2 * 16) * chunk_minima;
  const uint64_t copy = uint64_t(nn + 1) * ((uint64_t(mm) + 16) & ~uint64_t(15)) * 4;
  return kBase + cells * (4 + 4) + copy + (uint64_t(mm) + 1) * (8 + 64) + lmax * 4 + bits + threads * per_thread;
}

}  // namespace

uint64_t general_memory_need(int nn, int mm) {
  return fixed_need(nn, mm) + uint64_t(general_thread_count()) * kFirstChunk;
}

OpResult run_general_alignment() {
  // cache check: the same operation on unchanged inputs only shows the results
  if (comp != 0 && ms1 == seq1 && ms2 == seq2 && comp_o == computing) {
    computing = 0;
    return OpResult::cached;
  }
  comp_o = computing;
  const OpResult refused = check_inputs(GENERAL_MAX_LEN);
  if (refused != OpResult::computed) return refused;
  if (!memory_fits(general_memory_need(n, m))) return OpResult::no_memory;

  clear_memory();  // computing stays 3 for the rest of the operation
  result_engine = &general_engine;
  show_break_it("compute distance graph");
  help_l.change_length(uint32_t(n + m + 2));
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  fp_err_clear();
  // The records of nodes with several optimal predecessors may take what
  // the guard found beyond the fixed tables, and no more.
  const uint64_t room = memory_room(), fixed = fixed_need(n, m);
  dist_gr.set_budget(room == UINT64_MAX ? UINT64_MAX : room > fixed ? room - fixed : 0);

  wert = min_distance();
  dist.change_dim(1, 1);
  dist_gr.set_budget(UINT64_MAX);
  if (general_outgrown_need() != 0) {
    // Refused with what the whole graph would have needed; the part
    // computed is of no use.
    release_general_graph();
    ms1 = String();
    ms2 = String();
    memory_outgrown(fixed + general_outgrown_need());
    return OpResult::no_memory;
  }
  check_distance_finite();

  comp = computing;
  if (fp_error()) {
    // The graph is incomplete: nothing may operate on it, and the next
    // request computes again (and reports the fault again).
    drop_faulty_results();
  } else if (comp != 0) {
    choose_your_alignment();
    comp = computing;
    if (comp != 0) {
      show_break_it("extract single optimal alignment");
      make_alignment();
      comp = computing;
    }
    if (comp != 0) {
      plot_single_opt_alignment();
      comp = computing;
    }
    if (comp != 0) {
      ms1 = seq1;
      ms2 = seq2;
    }
  }
  return finish_operation();
}
