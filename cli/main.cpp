// vardane-align: the batch tool. Reads two sequences and the cost model
// from files, runs one of the engines without windows and prints the
// alignment and information blocks (or JSON).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/input.h"
#include "cli/memory.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress_bar.h"
#include "cost/cost.h"
#include "engine/common/operations.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/notice.h"

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_INPUT = 1;
constexpr int EXIT_MATH = 2;
constexpr int EXIT_CONCAVITY = 3;

const char* const kConcavityText = "Your costfunction seems not to be'const. (>0) + concave' !";
const char* const kIncompleteText = "Your subst.-table was incomplete !";
const char* const kMathText = "Mathematical error during computation !";

struct NoticeLog {
  bool go_on = false;
  bool concavity = false;
  bool incomplete = false;
  bool math = false;
  std::vector<std::string> other;  // any further notice, first line
};
NoticeLog g_log;

bool has_line(const NoticeRequest& r, const char* text) {
  for (const std::string& l : r.lines)
    if (l == text) return true;
  return false;
}

int button_value(const NoticeRequest& r, const char* label, int fallback) {
  for (const NoticeButton& b : r.buttons)
    if (b.label == label) return b.value;
  return fallback;
}

// Answers the engines' notices: the concavity warning by --go-on, every
// other notice by its first button; each is remembered for the report.
int respond(const NoticeRequest& r) {
  int first = r.buttons.empty() ? 1 : r.buttons.front().value;
  if (has_line(r, kConcavityText)) {
    g_log.concavity = true;
    return g_log.go_on ? button_value(r, " Go on computing ", 0)
                       : button_value(r, " Stop computation ", 1);
  }
  if (has_line(r, kIncompleteText)) g_log.incomplete = true;
  else if (has_line(r, kMathText)) g_log.math = true;
  else {
    std::string all;
    for (const std::string& l : r.lines) all += (all.empty() ? "" : " ") + l;
    g_log.other.push_back(all);
  }
  return first;
}

int fail(int status, const std::string& msg) {
  std::fprintf(stderr, "%s\n", msg.c_str());
  return status;
}

int usage_error(const std::string& msg) {
  std::fprintf(stderr, "vardane-align: %s\nTry 'vardane-align --help'.\n", msg.c_str());
  return EXIT_INPUT;
}

bool write_all(const std::string& s) {
  if (!s.empty() && std::fwrite(s.data(), 1, s.size(), stdout) != s.size()) return false;
  return std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  install_memory_handlers("The problem does not fit in memory.");
  Options o;
  std::string err = parse_options(argc, argv, o);
  if (!err.empty()) return usage_error(err);
  if (o.help || o.version) {
    if (write_all(o.help ? usage_text() : version_text())) return EXIT_DONE;
    return fail(EXIT_INPUT, std::string("cannot write the ") + (o.help ? "help text" : "version") +
                                ": " + std::strerror(errno));
  }

  g_log.go_on = o.go_on;
  set_notice_responder(respond);

  // The table first, so that a cost description can replace a score.
  if (!o.table_file.empty()) {
    err = load_table(o.table_file);
    if (!err.empty()) return fail(EXIT_INPUT, err);
  }
  if (o.has_cost_text || !o.cost_file.empty()) {
    std::string text = o.cost_text;
    if (!o.cost_file.empty()) {
      err = read_input_file(o.cost_file, size_t(1) << 20, &text);
      if (!err.empty()) return fail(EXIT_INPUT, err);
    }
    std::vector<std::string> warnings;
    err = load_cost(text, !o.table_file.empty(), &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
    if (!err.empty()) return fail(EXIT_INPUT, err);
    if (o.strict && !warnings.empty())
      return fail(EXIT_INPUT, "the cost description is not read as written (--strict)");
  }

  int max_len = o.mode == 1 ? GENERAL_MAX_LEN : CONCAVE_MAX_LEN;
  String s[2];
  for (int k = 0; k < 2; ++k) {
    err = load_sequence(o.seq_path[k], max_len, &s[k]);
    if (!err.empty()) return fail(EXIT_INPUT, err);
  }
  seq1 = s[0];
  seq2 = s[1];
  n = seq1.length();
  m = seq2.length();
  gl_kl = o.max_gap;
  ms1 = String();
  ms2 = String();

  RunFacts facts;
  facts.mode = o.mode;
  facts.swapped = (o.mode == 7 || o.mode == 8) && m > n;

  uint64_t need = estimate_memory(o.mode, n, m, o.count);
  MemoryLimit lim = usable_memory();
  std::string memmsg = memory_message(need, lim);
  // VARDANE_ALIGN_NO_ESTIMATE skips the check so that tests can reach a
  // failing allocation itself.
  if (need > lim.bytes && std::getenv("VARDANE_ALIGN_NO_ESTIMATE") == nullptr)
    return fail(EXIT_NO_MEMORY, memmsg);
  install_memory_handlers(need > lim.bytes ? memmsg : estimate_exceeded_message(need, lim));

  fp_err_clear();
  computing = o.mode;
  progress_bar_start();
  OpResult r = o.mode == 1 ? run_general_alignment() : run_concave_alignment(o.mode);
  progress_bar_finish();
  computing = 0;

  switch (r) {
    case OpResult::computed:
    case OpResult::cached:
      break;
    case OpResult::fp_error:
      return fail(EXIT_MATH, kMathText);
    case OpResult::interrupted:
      if (g_log.concavity)
        return fail(EXIT_CONCAVITY,
                    std::string(kConcavityText) + "\n  (stopped; --go-on computes all the same)");
      return fail(EXIT_MATH, "The computation was interrupted.");
    case OpResult::refused_chars:
      return fail(EXIT_INPUT, "Sequence contains char '-' or '>' !");
    case OpResult::too_long:
      return fail(EXIT_INPUT, "A sequence is longer than this mode accepts.");
  }
  if (g_log.math || fp_error() != 0) return fail(EXIT_MATH, kMathText);

  if (g_log.concavity)
    std::fprintf(stderr, "%s\n  (computed all the same: the result may not be optimal)\n",
                 kConcavityText);
  for (const std::string& l : g_log.other) std::fprintf(stderr, "%s\n", l.c_str());
  if (g_log.incomplete || sub_t) std::fprintf(stderr, "%s\n", kIncompleteText);

  if (o.count) {
    facts.has_count = true;
    progress_bar_start();
    facts.count = (o.mode == 1 ? count_general_paths() : count_con_paths()).to_string();
    progress_bar_finish();
  }
  std::string out = o.json ? json_result(facts) : text_result(facts);
  if (!write_all(out))
    return fail(EXIT_INPUT, std::string("cannot write the result: ") + std::strerror(errno));
  return EXIT_DONE;
}
