// Memory clearing and operation code 1 as callable steps.
#include "engine/common/operations.h"

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

OpResult run_general_alignment() {
  // cache check: the same operation on unchanged inputs only shows the results
  if (comp != 0 && ms1 == seq1 && ms2 == seq2 && comp_o == computing) {
    computing = 0;
    return OpResult::cached;
  }
  comp_o = computing;
  if (has_minus(seq1) || has_minus(seq2)) {
    minus_inside();
    computing = 0;
    comp = 0;
    return OpResult::refused_chars;
  }
  // The edge records and the node lists index positions with 16 bits.
  if (n > GENERAL_MAX_LEN || m > GENERAL_MAX_LEN) {
    notice2("Sequence too long for this operation !", "(at most 16000 letters each)", " Sorry ");
    computing = 0;
    comp = 0;
    return OpResult::too_long;
  }

  clear_memory();  // computing stays 3 for the rest of the operation
  show_break_it("compute distance graph");
  dist_gr.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  help_l.change_length(uint32_t(n + m + 2));
  dist_gr = nullptr;
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  fp_err_clear();

  wert = min_distance();
  dist.change_dim(1, 1);

  OpResult result = OpResult::computed;
  comp = computing;
  if (fp_error()) {
    fp_err_message();
    // The graph is incomplete: nothing may operate on it, and the next
    // request computes again (and reports the fault again).
    comp = 0;
    ms1 = String();
    ms2 = String();
    result = OpResult::fp_error;
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
  if (computing == 0) {
    ms1 = String();
    ms2 = String();
    if (result == OpResult::computed) result = OpResult::interrupted;
  }
  computing = 0;
  if (sub_t) subst_incomplete();
  return result;
}
