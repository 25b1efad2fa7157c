#include "cli/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

struct ModeName {
  const char* name;
  int code;
};
const ModeName kModes[] = {
    {"global", 1}, {"concave", 6}, {"short-in-long", 7}, {"subalignment", 8}};

bool parse_count(const std::string& s, int* out) {
  if (s.empty() || s[0] == '-' || s[0] == '+') return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  errno = 0;
  unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
  if (errno != 0 || v > static_cast<unsigned long long>(INT_MAX)) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

const char* mode_name(int code) {
  for (const ModeName& m : kModes)
    if (m.code == code) return m.name;
  return "?";
}

std::string parse_options(int argc, char** argv, Options& o) {
  int npos = 0;
  bool only_files = false;
  bool has_format = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (only_files || a == "-" || a.empty() || a[0] != '-') {
      if (npos >= 2) return "too many arguments: '" + a + "' (expected SEQ1 SEQ2)";
      o.seq_path[npos++] = a;
      continue;
    }
    if (a == "--") {
      only_files = true;
      continue;
    }
    // Split "--name=value" and "-xVALUE".
    std::string name = a, value;
    bool has_value = false;
    if (a.compare(0, 2, "--") == 0) {
      size_t eq = a.find('=');
      if (eq != std::string::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
        has_value = true;
      }
    } else if (a.size() > 2) {
      name = a.substr(0, 2);
      value = a.substr(2);
      has_value = true;
    }
    auto takes = [&](const char* s, const char* l) { return name == s || name == l; };
    auto need_value = [&](std::string* out) -> bool {
      if (has_value) {
        *out = value;
        return true;
      }
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    auto flag = [&](bool* f) -> std::string {
      if (has_value) return "option " + name + " takes no value";
      *f = true;
      return "";
    };
    std::string v;
    if (takes("-h", "--help")) {
      std::string e = flag(&o.help);
      if (!e.empty()) return e;
    } else if (name == "--version") {
      std::string e = flag(&o.version);
      if (!e.empty()) return e;
    } else if (name == "--go-on") {
      std::string e = flag(&o.go_on);
      if (!e.empty()) return e;
    } else if (name == "--count") {
      std::string e = flag(&o.count);
      if (!e.empty()) return e;
    } else if (name == "--strict") {
      std::string e = flag(&o.strict);
      if (!e.empty()) return e;
    } else if (takes("-m", "--mode")) {
      if (!need_value(&v)) return "option " + name + " needs a value";
      int code = 0;
      for (const ModeName& m : kModes)
        if (v == m.name) code = m.code;
      if (code == 0)
        return "unknown mode '" + v + "' (global, concave, short-in-long or subalignment)";
      o.mode = code;
    } else if (takes("-c", "--cost")) {
      if (!need_value(&v)) return "option " + name + " needs a value";
      if (o.has_cost_text || !o.cost_file.empty()) return "give at most one cost description";
      o.has_cost_text = true;
      o.cost_text = v;
    } else if (takes("-C", "--cost-file")) {
      if (!need_value(&v) || v.empty()) return "option " + name + " needs a file name";
      if (o.has_cost_text || !o.cost_file.empty()) return "give at most one cost description";
      o.cost_file = v;
    } else if (takes("-t", "--table")) {
      if (!need_value(&v) || v.empty()) return "option " + name + " needs a file name";
      if (!o.table_file.empty()) return "give at most one substitution table";
      o.table_file = v;
    } else if (takes("-g", "--max-gap")) {
      if (!need_value(&v)) return "option " + name + " needs a value";
      if (!parse_count(v, &o.max_gap))
        return "the maximal gap length must be a whole number from 0 on, not '" + v + "'";
      o.has_max_gap = true;
    } else if (name == "--threads") {
      if (!need_value(&v)) return "option " + name + " needs a value";
      if (!parse_count(v, &o.threads) || o.threads > 1024)
        return "the number of threads must be a whole number from 0 (every core) to 1024, not '" + v + "'";
    } else if (takes("-f", "--format")) {
      if (!need_value(&v)) return "option " + name + " needs a value";
      if (v == "json") o.json = true;
      else if (v == "text") o.json = false;
      else return "unknown format '" + v + "' (text or json)";
      has_format = true;
    } else {
      return "unknown option '" + a + "'";
    }
  }
  (void)has_format;
  if (o.help || o.version) return "";
  if (npos < 2) return "two sequence files are needed (SEQ1 SEQ2)";
  int stdin_uses = (o.seq_path[0] == "-") + (o.seq_path[1] == "-") + (o.cost_file == "-") +
                   (o.table_file == "-");
  if (stdin_uses > 1) return "standard input ('-') can stand for one input only";
  if (o.has_max_gap && o.max_gap > 0 && o.mode != 1)
    return "--max-gap applies to the global mode (general engine) only";
  return "";
}

const char* usage_text() {
  return R"(Usage: vardane-align [OPTIONS] SEQ1 SEQ2

Computes an exact optimal alignment of two sequences (letters A-Z) under pair
scores plus a gap cost g(k) for every run of k inserted or deleted letters.
SEQ1 and SEQ2 are files holding one sequence each: FASTA (the first record;
its '>' line is dropped) or plain text. Blanks and line breaks are ignored,
lower case counts as upper case; any other character (a tab too) is refused.
'-' reads standard input (for one of them). The global mode takes sequences
of up to 16000 letters each, the other modes up to 32764.

Options:
  -m, --mode MODE       global (default: any gap cost, general engine),
                        concave (global, gap cost d + concave f with d > 0),
                        short-in-long (the overhanging parts of the longer
                        sequence are free), subalignment (best local
                        alignment: the overhanging starts and ends of both
                        sequences are free). short-in-long and subalignment
                        exchange the sequences when SEQ2 is the longer one.
  -c, --cost TEXT       cost description, e.g. 'cost=a+b*log(k), a=3, b=1,
                        subst.=2, match=0' or an own formula 'cost=2+sqrt(k)'
                        (default: cost=a+b*k, a=0.5, b=1, subst.=2, match=0).
                        Keywords are lower case, with no blank before '=',
                        and end their value at ',', ';' or a line end; the
                        first occurrence counts. A formula may be 80
                        characters long, every other value 20 (blanks
                        included); a longer one is refused.
  -C, --cost-file FILE  the cost description from a file
      --strict          refuse (exit 1) a cost description with warnings:
                        keyword-like words that are not read ('a = 3',
                        'A=3'), a keyword read at the end of a longer word
                        ('mismatch=1' is read as 'match=1'), a keyword given
                        twice (only the first counts)
  -t, --table FILE      substitution table, e.g. 'A C G T:' followed by the
                        upper triangle of scores row by row; a cost
                        description may then replace subst. or match by a number
  -g, --max-gap N       maximal gap length (global mode only); 0 = none.
                        The limit applies to gaps after the first pair; a
                        gap at the start is one edge of any length
      --threads N       threads of the global mode's distance computation
                        (default 0: every core); the results do not depend
                        on it
      --go-on           continue when the cost function fails the concavity
                        test (concave modes); without it the tool stops (exit 3)
      --count           also print the number of optimal alignments, exactly:
                        the number of distinct paths through the stored
                        optimal graph. global/concave: paths from the end
                        (n, m) back to the origin. short-in-long: paths from
                        every cell (x, m) whose value is the optimal distance
                        back to any cell of the first row or column.
                        subalignment: paths from every cell whose value is the
                        optimal distance back to a cell where a subalignment
                        starts (a border cell or a cell clamped to 0).
  -f, --format FORMAT   text (default): the alignment block followed by the
                        information block; json: one object. Its
                        memory_bytes is the information block's figure (for
                        the global mode the size the graph's records would
                        take as bit lists); memory_bytes_stored is what the
                        stored graph really takes (with --threads, the global
                        mode's blocks of records are the threads' own)
  -h, --help            this text
      --version         the version

Examples:
  vardane-align a.fa b.fa
  vardane-align -m concave -c 'cost=a+b*log(k), a=3, b=1, subst.=2, match=0' a.fa b.fa
  vardane-align -m short-in-long -c 'cost=a+b*k, a=2, b=0.5' long.fa short.fa
  vardane-align -m subalignment -t table.txt -c 'cost=a+b*sqrt(k), a=4, b=1' a.fa b.fa
  vardane-align -g 3 --count -f json a.fa b.fa

Exit status: 0 done; 1 bad usage or input; 2 mathematical error during the
computation; 3 stopped at the concavity warning; 4 the problem does not fit
in memory.
)";
}

const char* version_text() { return "vardane-align 0.1.0\n"; }
