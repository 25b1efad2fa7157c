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
#include "cli/output_file.h"
#include "cli/progress_bar.h"
#include "containers/memory_limit.h"
#include "cost/cost.h"
#include "engine/common/operations.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/notice.h"
#include "views/dot_view.h"
#include "views/svg.h"

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_INPUT = 1;
constexpr int EXIT_MATH = 2;
constexpr int EXIT_CONCAVITY = 3;

struct NoticeLog {
  bool go_on = false;
  std::string concavity;           // the concavity warning's text, when it came
  std::string incomplete;          // the incomplete-table notice's text
  std::string math;                // the mathematical error's text
  std::string refusal;             // the notice that refused the operation
  std::vector<std::string> other;  // any further notice
};
NoticeLog g_log;

std::string joined(const NoticeRequest& r) {
  std::string all;
  for (const std::string& l : r.lines) all += (all.empty() ? "" : " ") + l;
  return all;
}

// Answers the engines' notices: the concavity warning by --go-on (its
// buttons: 1 stop, 0 go on), every other notice by its first button; each
// is remembered for the report.
int respond(const NoticeRequest& r) {
  const int first = r.buttons.empty() ? 1 : r.buttons.front().value;
  switch (r.id) {
    case NoticeId::concavity:
      g_log.concavity = joined(r);
      return g_log.go_on ? 0 : 1;
    case NoticeId::subst_incomplete:
      g_log.incomplete = joined(r);
      break;
    case NoticeId::math_error:
      g_log.math = joined(r);
      break;
    case NoticeId::minus_inside:
    case NoticeId::too_long:
    case NoticeId::no_memory:
      g_log.refusal = joined(r);
      break;
    default:
      g_log.other.push_back(joined(r));
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

// Writes the pictures asked for (each to a temporary file) and puts them in
// place; "" or the message.
std::string write_pictures(const Options& o, const DotPlot& dots) {
  OutputFile graph, dot;
  std::string err;
  if (!o.graph_file.empty()) {
    if (!(err = graph.open(o.graph_file)).empty()) return err;
    if (!write_graph_svg(graph.stream()))
      return std::ferror(graph.stream()) ? graph.write_failed() : "cannot draw " + o.graph_file + ": no complete results";
  }
  if (!o.dot_file.empty()) {
    if (!(err = dot.open(o.dot_file)).empty()) return err;
    if (!write_dot_matrix_svg(dot.stream(), dots)) return dot.write_failed();
  }
  if (!o.graph_file.empty() && !(err = graph.commit()).empty()) return err;
  if (!o.dot_file.empty() && !(err = dot.commit()).empty()) return err;
  return "";
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

  // The picture files are tried now rather than after a long computation.
  for (const std::string* f : {&o.graph_file, &o.dot_file}) {
    if (f->empty()) continue;
    err = OutputFile::check(*f);
    if (!err.empty()) return fail(EXIT_INPUT, err);
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
  // The dot matrix shows the sequences as given (the concave end modes may
  // exchange them for the computation).
  DotPlot dots;
  if (!o.dot_file.empty()) {
    dots.s1 = s[0].c_str();
    dots.s2 = s[1].c_str();
    dots.small = dot_small_style(o.dot_style, int(dots.s1.size()), int(dots.s2.size()));
    dots.rows = int(dots.s2.size());
  }
  seq1 = s[0];
  seq2 = s[1];
  n = seq1.length();
  m = seq2.length();
  gl_kl = o.max_gap;
  general_threads = o.threads;
  ms1 = String();
  ms2 = String();

  RunFacts facts;
  facts.mode = o.mode;
  facts.swapped = (o.mode == 7 || o.mode == 8) && m > n;

  // The operations refuse what would not fit before they allocate; the
  // count's records, which come after the computation, are added to the
  // need and checked here. An allocation that fails all the same ends the
  // tool with a message that says the estimate was exceeded.
  // VARDANE_ALIGN_NO_ESTIMATE skips the guard so that tests can reach a
  // failing allocation itself.
  uint64_t need = o.mode == 1 ? general_memory_need(n, m) : concave_memory_need(n, m);
  if (o.count) need += o.mode == 1 ? general_count_memory_need(n, m) : concave_count_memory_need(n, m);
  if (std::getenv("VARDANE_ALIGN_NO_ESTIMATE") != nullptr) memory_guard = false;
  if (o.count && !memory_fits(need)) return fail(EXIT_NO_MEMORY, g_log.refusal);
  install_memory_handlers(need > usable_memory().bytes ? memory_refusal_text(need)
                                                       : memory_exceeded_text(need));

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
      return fail(EXIT_MATH, g_log.math);
    case OpResult::interrupted:
      if (!g_log.concavity.empty())
        return fail(EXIT_CONCAVITY, g_log.concavity + "\n  (stopped; --go-on computes all the same)");
      return fail(EXIT_MATH, "The computation was interrupted.");
    case OpResult::refused_chars:
    case OpResult::too_long:
      return fail(EXIT_INPUT, g_log.refusal);
    case OpResult::no_memory:
      return fail(EXIT_NO_MEMORY, g_log.refusal);
  }
  if (!g_log.math.empty()) return fail(EXIT_MATH, g_log.math);

  if (!g_log.concavity.empty())
    std::fprintf(stderr, "%s\n  (computed all the same: the result may not be optimal)\n",
                 g_log.concavity.c_str());
  for (const std::string& l : g_log.other) std::fprintf(stderr, "%s\n", l.c_str());
  if (!g_log.incomplete.empty()) std::fprintf(stderr, "%s\n", g_log.incomplete.c_str());

  facts.stored_bytes = o.mode == 1 ? dist_gr.stored_bytes() : concave_stored_bytes();
  if (o.count) {
    facts.has_count = true;
    progress_bar_start();
    facts.count = (o.mode == 1 ? count_general_paths() : count_con_paths()).to_string();
    progress_bar_finish();
  }
  if (!o.graph_file.empty() || !o.dot_file.empty()) {
    progress_bar_start();
    err = write_pictures(o, dots);
    progress_bar_finish();
    if (!err.empty()) return fail(EXIT_INPUT, err);
  }
  std::string out = o.json ? json_result(facts) : text_result(facts);
  if (!write_all(out))
    return fail(EXIT_INPUT, std::string("cannot write the result: ") + std::strerror(errno));
  return EXIT_DONE;
}
