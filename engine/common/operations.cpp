// The steps the computing operations share, memory clearing, the memory
// guard and operation code 4.
#include "engine/common/operations.h"

#include <cmath>
#include <string>

#include "containers/memory_limit.h"
#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/results.h"
#include "state/sequence_input.h"
#include "state/state.h"
#include "text/strings.h"
#include "ui/dispatch.h"
#include "ui/notice.h"
#include "ui/progress.h"

bool memory_guard = true;

namespace {
MemoryLimit guard_limit;  // what the guard found at its last check
}  // namespace

void clear_memory() {
  if (computing == 3) return;
  computing = 3;
  const ResultEngine* e = result_engine;
  if (e == nullptr || !e->concave) {
    show_break_it("clear old allocated memory");
  } else {
    summary_message(10, 20, "Clearing old allocated memory, please wait one moment ... ");
    flush_display();
  }
  if (e != nullptr) e->release();
  result_engine = nullptr;
}

OpResult check_inputs(int max_len) {
  if (find_gap_char(seq1) != 0 || find_gap_char(seq2) != 0) {
    notice1(sequence_notice_text(SeqNotice::minus_inside), " Delete it ", 1, NoticeId::minus_inside);
    computing = 0;
    comp = 0;
    return OpResult::refused_chars;
  }
  // Positions are kept in 16 bits in the engines' tables and lists.
  if (n > max_len || m > max_len) {
    String lim;
    lim.with_double(max_len, 10);
    notice2("Sequence too long for this operation !",
            "(at most " + std::string(lim.c_str()) + " letters each)", " Sorry ", 1,
            NoticeId::too_long);
    computing = 0;
    comp = 0;
    return OpResult::too_long;
  }
  return OpResult::computed;
}

namespace {

// Whole megabytes (rounded up for a need, down for a limit) at 10 digits.
std::string mbytes(uint64_t b, bool round_up) {
  String s;
  s.with_double(static_cast<double>((round_up ? b + (1u << 20) - 1 : b) >> 20), 10);
  return std::string(s.c_str()) + " MBytes";
}

std::string refusal_detail(uint64_t need, const MemoryLimit& lim) {
  std::string s = "it needs about " + mbytes(need, true);
  if (lim.bytes == UINT64_MAX) return s + ", more than could be allocated.";
  return s + ", but this process may use only " + mbytes(lim.bytes, false) + " (" + lim.what + ").";
}

const char* const kNoMemory = "The problem does not fit in memory:";

}  // namespace

std::string memory_refusal_text(uint64_t need) {
  return std::string(kNoMemory) + " " + refusal_detail(need, usable_memory());
}

std::string memory_exceeded_text(uint64_t need) {
  const MemoryLimit lim = usable_memory();
  std::string s = std::string(kNoMemory) + " it needs more than the estimated " + mbytes(need, true);
  if (lim.bytes == UINT64_MAX) return s + ".";
  return s + ", and this process may use " + mbytes(lim.bytes, false) + " (" + lim.what + ").";
}

bool memory_fits(uint64_t need) {
  guard_limit = MemoryLimit();
  if (!memory_guard) return true;
  const MemoryLimit lim = usable_memory();
  guard_limit = lim;
  if (need <= lim.bytes) return true;
  notice2(kNoMemory, refusal_detail(need, lim), " Sorry ", 1, NoticeId::no_memory);
  computing = 0;
  comp = 0;
  return false;
}

void check_distance_finite() {
  if (computing != 0 && !fp_error() && !std::isfinite(wert)) fp_err_raise();
}

uint64_t memory_room() { return guard_limit.bytes; }

void memory_outgrown(uint64_t need) {
  notice2(kNoMemory, refusal_detail(need, guard_limit), " Sorry ", 1, NoticeId::no_memory);
  computing = 0;
  comp = 0;
}

void subst_incomplete() {
  notice1("Your subst.-table was incomplete !", " Check it ", 1, NoticeId::subst_incomplete);
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

RedrawResult run_redraw() {
  RedrawResult r = RedrawResult::not_valid;
  if (comp != 0 && ms1 == seq1 && ms2 == seq2 && result_engine != nullptr) {
    result_engine->redraw();
    comp = computing;
    if (comp != 0) {
      plot_single_opt_alignment();
      comp = computing;
    }
    if (comp != 0) {
      r = RedrawResult::done;
    } else {
      r = RedrawResult::interrupted;
      ms1 = String();
    }
  }
  computing = 0;
  return r;
}
