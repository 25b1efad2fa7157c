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
    } else if (name == "--graph" || name == "--dot-matrix") {
      std::string& file = name == "--graph" ? o.graph_file : o.dot_file;
      if (!need_value(&v) || v.empty()) return "option " + name + " needs a file name";
      if (v == "-") return "option " + name + " writes a file; standard output carries the results";
      if (!file.empty()) return "give at most one " + name + " file";
      file = v;
    } else if (name == "--dot-style") {
      if (!need_value(&v)) return "option " + name + " needs a value";
      if (v == "big") o.dot_style = 0;
      else if (v == "small") o.dot_style = 1;
      else if (v == "automatic") o.dot_style = 2;
      else return "unknown dot matrix style '" + v + "' (big, small or automatic)";
      o.has_dot_style = true;
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
  if (o.has_dot_style && o.dot_file.empty()) return "--dot-style applies to --dot-matrix only";
  if (!o.graph_file.empty() && o.graph_file == o.dot_file)
    return "--graph and --dot-matrix name the same file";
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
      --graph FILE      also write the graph of all optimal alignments as an
                        SVG picture, laid out as the window shows it (8 units
                        per letter; sequence 1 from left to right, sequence 2
                        from top to bottom; short-in-long and subalignment
                        draw the exchanged order when they exchange): a line
                        of class "edge" for every optimal edge, as many as
                        "The whole stored optimal graph has O edges." counts
                        (in the concave modes a gap from a border node that
                        stands twice among the tied candidates counts, and is
                        drawn, twice), a dot of class "node" for every node on
                        an optimal path, a circle of class "path" for every
                        node the printed alignment passes (its end first), and
                        the letters of both sequences along the top and left
      --dot-matrix FILE also write the dot matrix as an SVG picture: SEQ1
                        from left to right, SEQ2 from top to bottom, one
                        element of class "dot" for every pair of equal letters
      --dot-style STYLE small (a 2 x 2 dot per pair, 2 units per letter), big
                        (the letters along the top and the left, a '*' per
                        pair in a grid, 8 x 12 units per pair) or automatic
                        (default: big up to 400 letters together, small
                        beyond)
  -h, --help            this text
      --version         the version

Examples:
  vardane-align a.fa b.fa
  vardane-align -m concave -c 'cost=a+b*log(k), a=3, b=1, subst.=2, match=0' a.fa b.fa
  vardane-align -m short-in-long -c 'cost=a+b*k, a=2, b=0.5' long.fa short.fa
  vardane-align -m subalignment -t table.txt -c 'cost=a+b*sqrt(k), a=4, b=1' a.fa b.fa
  vardane-align -g 3 --count -f json a.fa b.fa
  vardane-align --graph graph.svg --dot-matrix dots.svg a.fa b.fa

The SVG files have no size limit (the window's pictures end at 32767 pixels
a side) and scale to any size. They are written after the computation,
before the results are printed, each under a temporary name that replaces
FILE only when complete: a file that cannot be written is reported, nothing
is printed and the status is 1.

Exit status: 0 done; 1 bad usage or input; 2 mathematical error during the
computation; 3 stopped at the concavity warning; 4 the problem does not fit
in memory.
)";
}

const char* version_text() { return "vardane-align 0.1.0\n"; }
