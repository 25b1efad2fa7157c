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

// One edge record: the record object and its bit block, each a small heap
// block (32 bytes with the allocator's header).
constexpr uint64_t kRecord = 64;
constexpr uint64_t kBase = 16ull << 20;  // the program itself, the strings, small vectors

const ResultEngine general_engine = {
    false, release_general_graph, comp_new_align, make_new_alignment, choose_your_alignment,
};

}  // namespace

uint64_t general_memory_need(int nn, int mm) {
  const uint64_t cells = uint64_t(nn + 1) * uint64_t(mm + 1);
  const uint64_t inner = uint64_t(nn) * uint64_t(mm);
  const uint64_t bits = inner / 8 + uint64_t(mm) + 1;  // the optimal graph's bit matrix
  // dist and its transposed copy (4 bytes each), the record pointers (8) and
  // one record per inner node.
  return kBase + cells * (4 + 4 + 8) + inner * kRecord + bits;
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
  dist_gr.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  help_l.change_length(uint32_t(n + m + 2));
  dist_gr = nullptr;
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  fp_err_clear();

  wert = min_distance();
  dist.change_dim(1, 1);
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
