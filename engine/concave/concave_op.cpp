// Operation codes 6, 7, 8: the concave-cost alignment as one callable step
// (distance, optimal graph, drawing, one alignment, circles), and what the
// shared operations need of this engine.
#include <utility>

#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "state/state.h"
#include "text/strings.h"
#include "ui/progress.h"

namespace {

constexpr uint64_t kBase = 16ull << 20;  // the program itself, the strings, small vectors

// Code 4: the links carry the drawn marks of the last pass, so the redraw
// walks with the opposite sign.
void redraw_concave() {
  con_vorz = -con_vorz;
  choose_con_alignment();
}

const ResultEngine concave_engine = {
    true, concave_release, comp_con_new_align, make_con_new_alignment, redraw_concave, for_each_con_opt_edge,
};

}  // namespace

uint64_t concave_memory_need(int nn, int mm) {
  const uint64_t cells = uint64_t(nn + 1) * uint64_t(mm + 1);
  const uint64_t bits = uint64_t(nn) * uint64_t(mm) / 8 + uint64_t(mm) + 1;
  // dist and edge_m (4 bytes each), a list of 16-bit pairs over every row
  // and every column (slots rounded to 16 pairs), the stacks' first blocks.
  const uint64_t lists = 4 * (uint64_t(mm + 1) * ((uint64_t(nn) + 16) & ~uint64_t(15)) +
                              uint64_t(nn + 1) * ((uint64_t(mm) + 16) & ~uint64_t(15)));
  const uint64_t stacks = (uint64_t(nn) + uint64_t(mm) + 2) * 32;
  return kBase + cells * (4 + 4) + lists + stacks + bits;
}

OpResult run_concave_alignment(int code) {
  // Cache check: the same request on the same inputs only shows the results
  // (empty copies mean no results, even against empty sequences).
  if (comp != 0 && ms1.length() > 0 && ms2.length() > 0 && ms1 == seq1 && ms2 == seq2 && comp_o == code) {
    computing = 0;
    return OpResult::cached;
  }
  comp_o = code;

  const OpResult refused = check_inputs(CONCAVE_MAX_LEN);
  if (refused != OpResult::computed) return refused;
  if (!memory_fits(concave_memory_need(n, m))) return OpResult::no_memory;

  // The short sequence in the long one, and subalignments: seq1 is the long one.
  if ((code == 7 || code == 8) && m > n) {
    std::swap(seq1, seq2);
    std::swap(n, m);
  }

  clear_memory();
  computing = code;
  result_engine = &concave_engine;
  show_break_it("compute distance graph");
  dist.change_dim(uint32_t(n + 1), uint32_t(m + 1));
  help_l.change_length(uint32_t(n + m + 7));
  concave_setup();

  fp_err_clear();
  wert = concave_distance();
  check_distance_finite();
  comp = computing;
  if (fp_error()) {
    // The tables are incomplete: nothing may be redrawn, marked or re-shown.
    drop_faulty_results();
  } else if (comp) {
    con_vorz = 1;
    choose_con_alignment();
    comp = computing;
    if (comp) {
      show_break_it("extract single optimal alignment");
      make_con_alignment();
      comp = computing;
      if (comp) {
        plot_single_opt_alignment();
        comp = computing;
        if (comp) {
          ms1 = seq1;
          ms2 = seq2;
        }
      }
    }
  }
  return finish_operation();
}
