// vardane-align as a user meets it: files in, text or JSON out, messages and
// exit statuses for bad input.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vd-tool-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    const char* e = std::getenv("VARDANE_ALIGN");
    tool_ = e ? e : VARDANE_BINARY_DIR "/vardane-align";
    ASSERT_EQ(access(tool_.c_str(), X_OK), 0) << tool_ << " is not built";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string file(const std::string& name, const std::string& content) {
    std::string p = dir_ + "/" + name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  static std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Runs the tool with shell-quoted arguments; `prefix` goes before it (ulimit, env).
  Result run(const std::string& args, const std::string& stdin_text = "",
          const std::string& prefix = "") {
    std::string in = file("stdin.txt", stdin_text);
    std::string cmd = prefix + " '" + tool_ + "' " + args + " <'" + in + "' >'" + dir_ +
                      "/out' 2>'" + dir_ + "/err'";
    int st = std::system(("cd '" + dir_ + "' && " + cmd).c_str());
    Result r;
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128;
    r.out = slurp(dir_ + "/out");
    r.err = slurp(dir_ + "/err");
    return r;
  }
  // A bad input: status 1, a message, nothing on standard output.
  void expect_refused(const std::string& args, const std::string& message,
                      const std::string& stdin_text = "") {
    Result r = run(args, stdin_text);
    EXPECT_EQ(r.status, 1) << args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_NE(r.err.find(message), std::string::npos) << args << "\n" << r.err;
  }

  std::string dir_, tool_;
};

TEST_F(Tool, TextOutputIsTheTwoBlocks) {
  file("a.fa", ">first record, header dropped\naab\n");
  file("b.txt", "B\n");
  Result r = run("a.fa b.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The default cost (0.5 + k, substitution 2, match 0): AAB over --B at 2.5.
  const std::string head =
      "\nAlignment:\n\nAAB\n\n--B\n\n"
      "\nAlignment information:\n\nThe minimal edit distance is 2.5.\n"
      "The whole distance graph has ";
  EXPECT_EQ(r.out.compare(0, head.size(), head), 0) << r.out;
  EXPECT_NE(r.out.find(" KBytes of memory are used.\nThe current alignment consists of 1 "
                       "substitutions, 0 inserts and 1 deletes, i.e. 2 edges.\n"),
            std::string::npos)
      << r.out;
  const std::string tail = "('global case')\n\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);

  // The same through standard input, in the concave mode.
  r = run("-m concave a.fa -", "b");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string block = "\nAlignment:\n\nAAB\n\n--B\n\n\nAlignment information:\n";
  EXPECT_EQ(r.out.compare(0, block.size(), block), 0) << r.out;
  EXPECT_NE(r.out.find("The whole distance graph is stored,\n"), std::string::npos);
  EXPECT_NE(r.out.find("('global case, concave cost')\n\n"), std::string::npos);
}

TEST_F(Tool, JsonOutputAndModes) {
  file("long.txt", "GGGACGTTT");
  file("short.txt", "acgt");
  Result r = run("-f json --count short.txt long.txt -m short-in-long");
  ASSERT_EQ(r.status, 0) << r.err;
  // The long sequence comes first after the exchange; its overhangs are free.
  EXPECT_NE(r.out.find("\"mode\": \"short-in-long\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"distance\": 0,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"aligned1\": \"GGGACGTTT\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"aligned2\": \"---ACGT--\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"swapped\": true"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"optimal_alignments\": 1}"), std::string::npos) << r.out;
  for (const char* key : {"substitutions", "inserts", "deletes", "edges", "graph_edges",
                          "optimal_graph_edges", "memory_bytes", "memory_bytes_stored"})
    EXPECT_NE(r.out.find(std::string("\"") + key + "\": "), std::string::npos) << key;

  // Subalignment with negative match scores finds the common core.
  r = run("-m subalignment -f json -c 'cost=a+b*k, a=2, b=1, subst.=3, match=-1' long.txt "
          "short.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"distance\": -4,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"swapped\": false"), std::string::npos) << r.out;

  // A against AA: the match can take either A, so two optimal alignments.
  file("aa.txt", "AA");
  file("a.txt", "A");
  r = run("--count a.txt aa.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Number of optimal alignments: 2\n"), std::string::npos) << r.out;
}

// The global mode prints the same, byte for byte, on any number of threads.
TEST_F(Tool, ThreadsChangeNothingPrinted) {
  std::string a, b;
  unsigned v = 7;
  for (int i = 0; i < 300; ++i) {
    v = v * 1103515245u + 12345u;
    a += "ACGT"[(v >> 16) % 4];
    v = v * 1103515245u + 12345u;
    b += "ACGT"[(v >> 16) % 4];
  }
  file("a.txt", a);
  file("b.txt", b.substr(0, 280));
  for (const char* cost : {"cost=a+b*log(k), a=3, b=1", "cost=a+b*k, a=0, b=1"}) {
    const std::string args = std::string("--count -c '") + cost + "' a.txt b.txt";
    Result one = run("--threads 1 " + args);
    ASSERT_EQ(one.status, 0) << one.err;
    for (const char* t : {"2", "3", "0"}) {
      Result r = run(std::string("--threads ") + t + " " + args);
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, one.out) << cost << ", " << t << " threads";
    }
    // In JSON only the real memory figure may differ: each thread's records
    // go to blocks of its own.
    Result js1 = run("-f json --threads 1 " + args), js3 = run("-f json --threads 3 " + args);
    auto without_stored = [](std::string j) {
      const size_t at = j.find(", \"memory_bytes_stored\": ");
      if (at != std::string::npos) j.erase(at, j.find(',', at + 2) - at);
      return j;
    };
    EXPECT_NE(js1.out.find("\"memory_bytes_stored\": "), std::string::npos);
    EXPECT_EQ(without_stored(js1.out), without_stored(js3.out)) << cost;
  }
}

TEST_F(Tool, BadUsageAndBadInput) {
  file("a.txt", "ACGT");
  file("b.txt", "AGT");
  expect_refused("", "two sequence files are needed");
  expect_refused("a.txt", "two sequence files are needed");
  expect_refused("a.txt b.txt c.txt", "too many arguments");
  expect_refused("- -", "standard input");
  expect_refused("-C - a.txt -", "standard input");
  expect_refused("-m sideways a.txt b.txt", "unknown mode");
  expect_refused("-f xml a.txt b.txt", "unknown format");
  expect_refused("-g -1 a.txt b.txt", "maximal gap length");
  expect_refused("-g 2x a.txt b.txt", "maximal gap length");
  expect_refused("-g 3 -m concave a.txt b.txt", "global mode");
  expect_refused("--bogus a.txt b.txt", "unknown option");
  expect_refused("--threads -2 a.txt b.txt", "number of threads");
  expect_refused("--threads many a.txt b.txt", "number of threads");
  expect_refused("a.txt missing.txt", "cannot open missing.txt");
  file("long.txt", std::string(16001, 'A'));
  expect_refused("a.txt long.txt", "long.txt: the sequence has 16001 letters; this mode accepts at most 16000");

  // Sequences: the getters' notices, with file, place and character.
  file("digit.fa", ">x\nACGT\nAC1G\n");
  expect_refused("digit.fa b.txt", "Sequence contains illegal chars !\n  digit.fa, line 3, column 3");
  file("tab.txt", "AC\tGT");
  expect_refused("a.txt tab.txt", "a tab");
  file("nul.txt", std::string("AC\0GT", 5));
  expect_refused("a.txt nul.txt", "byte 0x00");
  file("gap.txt", "AC-GT");
  expect_refused("gap.txt b.txt", "Sequence contains char '-' or '>' !\n  gap.txt, line 1, column 3");
  file("two.fa", ">one\nACGT\n>two\nACGT\n");
  expect_refused("two.fa b.txt", "second FASTA record (line 3)");
  file("empty.fa", ">nothing\n\n");
  expect_refused("empty.fa b.txt", "There are not enough inputs !?");
  expect_refused("a.txt -", "There are not enough inputs !?", "");

  // Cost descriptions and tables: the readers' notices.
  expect_refused("-c 'cost=A+B*K' a.txt b.txt", "There's a syntax error !");
  expect_refused("-c 'cost = a+b*k' a.txt b.txt", "There was nothing (correct) to get ?!");
  expect_refused("-c 'a=x, b=y' a.txt b.txt", "There are 2 mistakes !");
  expect_refused("-c 'subst.= table, match= 0' a.txt b.txt", "give one with -t");
  file("bad.tab", "A B A:\n1 2 3");
  expect_refused("-t bad.tab a.txt b.txt", "Error in subst.-table: headline !");
  file("short.tab", "A C:\n0 1");
  expect_refused("-t short.tab a.txt b.txt", "Error in subst.-table: data line(s) !");
  expect_refused("-c x -C y a.txt b.txt", "at most one cost description");

  // Help and version go to standard output with status 0.
  Result r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* mode : {"-m concave", "-m short-in-long", "-m subalignment", "--count"})
    EXPECT_NE(r.out.find(mode), std::string::npos) << mode;
  r = run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.compare(0, 14, "vardane-align "), 0);
}

TEST_F(Tool, TablesCostsAndWarnings) {
  file("a.txt", "ACGT");
  file("b.txt", "AGGT");
  // A table without G: the pair G-G is missing, the result is still printed.
  file("acgt.tab", "A C T:\n0 2 2\n0 2\n0\n");
  Result r = run("-t acgt.tab a.txt b.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Your subst.-table was incomplete !"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Alignment information:"), std::string::npos);

  // A complete table, and a cost description that replaces the match score;
  // "table" for the substitution score keeps the table.
  file("full.tab", "a c g t:\n0 1 1 1\n0 1 1\n0 1\n0\n");
  r = run("-f json -t full.tab -c 'cost=a+b*k, a=3, b=1\nsubst.= table, match= -1' a.txt b.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Three matches at -1 and one substitution from the table at 1.
  EXPECT_NE(r.out.find("\"distance\": -2,"), std::string::npos) << r.out;

  // A cost description from a file.
  file("log.cost", "cost=a+b*log(k), a=3, b=1, subst.=2, match=0\n");
  r = run("-f json -C log.cost -m concave a.txt b.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"distance\": 2,"), std::string::npos) << r.out;

  // The concavity warning: stop with status 3, or go on.
  r = run("-m concave -c 'cost=1+k*k' a.txt b.txt");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Your costfunction seems not to be'const. (>0) + concave' !"),
            std::string::npos)
      << r.err;
  r = run("-m concave --go-on -c 'cost=1+k*k' a.txt b.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("('global case, concave cost')"), std::string::npos);

  // A gap cost that cannot be evaluated.
  // (The formula checks out at k = 1; sqrt(2 - k) fails from k = 3 on.)
  r = run("-c 'cost=3+sqrt(2-k)' a.txt b.txt");
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Mathematical error during computation !"), std::string::npos) << r.err;
}

// Formulas and values are read as written or refused with the reader's
// notice; nothing is silently read otherwise.
TEST_F(Tool, FormulasAndValuesReadAsWrittenOrRefused) {
  file("s10", "AAAAAAAAAA");
  file("s1", "A");
  const std::string spaced =
      "cost=3 + 0.5 * log(k) + 0.25 * sqrt(k) + 0.125 * k + 0.0625 * ln(k) + 0.25 * sqrt(k) + 100 * k";
  for (const std::string c : {"cost=2+sqrtk", "cost=3+logk", "cost=2+sqrt k", "cost=expk", "cost=%k+5",
                              "cost=^k1e-1", "cost=32)^0.5", "cost=11)e", spaced.c_str()})
    expect_refused("-f json -c '" + c + "' s10 s1", "There's a syntax error !");
  expect_refused("-c 'a=3                   7' s10 s1", "There is one mistake !");
  expect_refused("-c 'subst.=1e-46' s10 s1", "There is one mistake !");
  file("tiny.tab", "A C:\n0 1e-46\n0\n");
  expect_refused("-t tiny.tab s10 s1", "Error in subst.-table: data line(s) !");

  Result r = run("-f json -c 'cost=2+sqrt(k)' s10 s1");
  EXPECT_NE(r.out.find("\"distance\": 5,"), std::string::npos) << r.out;
  r = run("-f json -c 'cost=1E-2*k' s10 s1");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, run("-f json -c 'cost=1e-2*k' s10 s1").out);
  // The same formula without blanks fits its 80 characters.
  std::string packed;
  for (char c : spaced)
    if (c != ' ') packed += c;
  r = run("-f json -c '" + packed + "' s10 s1");
  EXPECT_NE(r.out.find("\"distance\": 906.2"), std::string::npos) << r.out << r.err;
}

TEST_F(Tool, InfiniteDistanceIsAMathematicalError) {
  file("x1", "ACGTAC");
  file("x2", "AGT");
  for (const char* args : {"", "-f json --count", "-m concave"}) {
    Result r = run(std::string(args) + " -c 'cost=a+b*k, a=3e38, b=0, subst.=3e38' x1 x2");
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err, "Mathematical error during computation !\n") << args;
  }
  // A gap cost defined at every length an alignment can use: not an error,
  // though it is not at one past the longest gap.
  Result r = run("-m concave -c 'cost=a+b*log(c+d*k), a=5, b=1, c=7, d=-1' x1 x2");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("The minimal edit distance is 9.602060318.\n"), std::string::npos) << r.out;
}

TEST_F(Tool, KeywordWarningsAndStrict) {
  file("x1", "ACGTAC");
  file("x2", "AGT");
  Result r = run("-c 'cost=a+b*k, a = 3, mismatch=1' x1 x2");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err,
            "warning: 'a = 3' is not read: a keyword is written without blanks before '='; a keeps 0.5\n"
            "warning: 'mismatch=1' is read as 'match=1': the keyword stands at the end of a longer word\n");
  EXPECT_NE(r.out.find("Alignment information:"), std::string::npos);
  expect_refused("--strict -c 'cost=a+b*k, A=3' x1 x2", "--strict");
  expect_refused("--strict -c 'a=3, a=7' x1 x2", "'a=7' is not read");
  r = run("--strict -c 'cost=a+b*k, a=3, b=1, subst.=2, match=0' x1 x2");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

TEST_F(Tool, HelpNamesTheLimitsAndEveryFailureHasItsMessage) {
  Result r = run("--help");
  for (const char* text : {"80", "20", "16000", "32764", "tab", "--strict", "gap at the start is one edge"})
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  const std::string err = dir_ + "/full.err";
  for (const char* opt : {"--help", "--version"}) {
    int st = std::system(("'" + tool_ + "' " + opt + " >/dev/full 2>'" + err + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(st), 1) << opt;
    EXPECT_NE(slurp(err).find("No space left on device"), std::string::npos) << opt << slurp(err);
  }
}

// The picture files: written whole or not at all, an older file kept when a
// run fails, every failure with its message and status 1.
TEST_F(Tool, PictureFilesAreWrittenWholeOrNotAtAll) {
  file("a.txt", "ACGTTGCA");
  file("b.txt", "AGTTCA");
  expect_refused("--dot-style big a.txt b.txt", "--dot-style applies to --dot-matrix only");
  expect_refused("--dot-matrix d.svg --dot-style huge a.txt b.txt", "unknown dot matrix style 'huge'");
  expect_refused("--graph - a.txt b.txt", "standard output carries the results");
  expect_refused("--graph a.txt b.txt", "two sequence files are needed");
  expect_refused("--graph x.svg --dot-matrix x.svg a.txt b.txt", "name the same file");
  expect_refused("--graph x.svg --graph y.svg a.txt b.txt", "give at most one --graph file");
  expect_refused("--graph missing/g.svg a.txt b.txt", "cannot write missing/g.svg: No such file or directory");
  expect_refused("--dot-matrix . a.txt b.txt", "cannot write .: Is a directory");
  expect_refused("--graph /dev/full a.txt b.txt", "cannot write /dev/full: No space left on device");

  // A failed run keeps the older file and leaves no temporary one: a bad
  // input, or the other picture failing.
  const std::string old = "<old picture/>";
  file("g.svg", old);
  expect_refused("--graph g.svg a.txt missing.txt", "cannot open missing.txt");
  expect_refused("--graph g.svg --dot-matrix /dev/full a.txt b.txt", "cannot write /dev/full");
  EXPECT_EQ(slurp(dir_ + "/g.svg"), old);
  EXPECT_EQ(std::system(("test -z \"$(ls '" + dir_ + "' | grep 'svg\\.')\"").c_str()), 0) << "a temporary file is left";

  // Success replaces it, with its permissions; a new file gets the umask's;
  // a symbolic link is followed.
  ASSERT_EQ(std::system(("chmod 600 '" + dir_ + "/g.svg' && ln -s real.svg '" + dir_ + "/link.svg'").c_str()), 0);
  Result r = run("--graph g.svg --dot-matrix link.svg a.txt b.txt", "", "umask 022;");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, run("a.txt b.txt").out);  // the printed results do not change
  EXPECT_EQ(slurp(dir_ + "/g.svg").rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_NE(slurp(dir_ + "/real.svg").find("<title>Dot matrix</title>"), std::string::npos);
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/g.svg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(lstat((dir_ + "/link.svg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir_ + "/real.svg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  // /dev/null takes a picture as it is.
  r = run("--graph /dev/null a.txt b.txt");
  EXPECT_EQ(r.status, 0) << r.err;

  r = run("--help");
  for (const char* text : {"--graph FILE", "--dot-matrix FILE", "--dot-style", "class \"edge\"",
                           "class \"node\"", "class \"path\"", "class \"dot\""})
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

TEST_F(Tool, MemoryLimits) {
#ifdef VARDANE_SANITIZE
  GTEST_SKIP() << "the sanitizer runtime cannot run under an address-space limit";
#else
  // 4000 x 4000 needs some 280 MBytes in the concave engine: refused up
  // front under a 200 MByte address space, with both figures.
  std::string s(4000, 'A');
  file("a.txt", s);
  file("b.txt", s);
  Result r = run("-m concave a.txt b.txt", "", "ulimit -v 200000;");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("does not fit in memory"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("needs about"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ulimit -v"), std::string::npos) << r.err;

  // Without the estimate the allocation itself fails: the same status and
  // message instead of a crash.
  r = run("-m concave a.txt b.txt", "", "ulimit -v 200000; VARDANE_ALIGN_NO_ESTIMATE=1");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("does not fit in memory"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("MBytes had been allocated."), std::string::npos) << r.err;

  // The general engine's records of nodes with several optimal predecessors
  // (here all of them: g(k) = k and no letter matches) grow while it
  // computes. The guard lets the tables through; the records outgrow the
  // room, and the refusal gives what the whole graph would need, more than
  // the room.
  file("a12.txt", std::string(1200, 'A'));
  file("c12.txt", std::string(1200, 'C'));
  r = run("-c 'cost=a+b*k, a=0, b=1' a12.txt c12.txt", "", "ulimit -v 150000;");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.out, "");
  long need = 0, room = 0;
  ASSERT_EQ(std::sscanf(r.err.c_str(),
                        "The problem does not fit in memory: it needs about %ld MBytes, but this process may use "
                        "only %ld MBytes",
                        &need, &room),
            2)
      << r.err;
  EXPECT_GT(need, room);
  EXPECT_GT(need, 150);  // the records alone take some 220 MBytes
#endif
}

}  // namespace
