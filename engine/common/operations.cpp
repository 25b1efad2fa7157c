// Memory clearing and operation code 1 as callable steps.
#include "engine/common/operations.h"

#include <cmath>
#include <string>

#include "cost/cost.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/progress.h"

void clear_memory() {
  if (computing == 3) return;
  computing = 3;
  if (Sz == nullptr) {
    show_break_it("clear old allocated memory");
    release_general_graph();
  } else {
    summary_message(10, 20, "Clearing old allocated memory, please wait one moment ... ");
    flush_display();
    concave_release();
  }
}

namespace {

bool has_minus(const String& s) {
  for (int i = 0; i < s.len; ++i)
    if (s.Str[i] == '-' || s.Str[i] == '>') return true;
  return false;
}

}  // namespace

OpResult check_inputs(int max_len) {
  if (has_minus(seq1) || has_minus(seq2)) {
    minus_inside();
    computing = 0;
    comp = 0;
    return OpResult::refused_chars;
  }
  // Positions are kept in 16 bits in the engines' tables and lists.
  if (n > max_len || m > max_len) {
    String lim;
    lim.with_double(max_len, 10);
    notice2("Sequence too long for this operation !",
            "(at most " + std::string(lim.c_str()) + " letters each)", " Sorry ");
    computing = 0;
    comp = 0;
    return OpResult::too_long;
  }
  return OpResult::computed;
}

void check_distance_finite() {
  if (computing != 0 && !fp_error() && !std::isfinite(wert)) fp_err_raise();
}

void drop_faulty_results() {
  fp_err_message();
  comp = 0;
  ms1 = String();
  ms2 = String();
}

OpResult finish_operation() {
  const bool interrupted = computing == 0;
  if (interrupted) {
    ms1 = String();
    ms2 = String();
  }
  computing = 0;
  if (sub_t) subst_incomplete();
  if (fp_error()) return OpResult::fp_error;
  if (interrupted || comp == 0) return OpResult::interrupted;
  return OpResult::computed;
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

  clear_memory();  // computing stays 3 for the rest of the operation
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
      summary_message(10, 20, "Plotting optimal alignment, please wait one moment ...");
      draw_single_opt_alignment();
      comp = computing;
    }
    if (comp != 0) {
      ms1 = seq1;
      ms2 = seq2;
    }
  }
  return finish_operation();
}
