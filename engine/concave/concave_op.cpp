// Operation codes 6, 7, 8: the concave-cost alignment as one callable step
// (distance, optimal graph, drawing, one alignment, circles).
#include <utility>

#include "cost/cost.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "text/strings.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/progress.h"

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

  // The short sequence in the long one, and subalignments: seq1 is the long one.
  if ((code == 7 || code == 8) && m > n) {
    std::swap(seq1, seq2);
    std::swap(n, m);
  }

  clear_memory();
  computing = code;
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
        summary_message(10, 20, "Plotting optimal alignment, please wait one moment ...");
        draw_single_opt_alignment();
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
