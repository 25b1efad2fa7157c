// Cost model: gap costs and the floating-point flag, pair scores, the own
// formula, the cost description and table readers, and hostile input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "state/state.h"

namespace {

class Cost : public ::testing::Test {
 protected:
  void SetUp() override { cost_reset(), state_reset(); }
  void TearDown() override { cost_reset(), state_reset(); }
};

std::string str(const String& s) { return std::string(s.Str, size_t(s.len)); }
String bytes(const std::string& t) {
  String s(int(t.size()));
  if (!t.empty()) std::memcpy(s.Str, t.data(), t.size());
  return s;
}
bool faults(int k, double* g = nullptr) {  // g(k) as the engines get it; true when flagged
  fp_err_clear();
  double v = gap_cost(k);
  if (g) *g = v;
  bool f = fp_error() != 0;
  fp_err_clear();
  return f;
}
void params(double a, double b, double c, double d) {
  aa = am = a, bb = bm = b, cc = cm = c, dd = dm = d;
}
void own(const std::string& f) { own_func = f.c_str(), func = 0, compress_function(); }

TEST_F(Cost, GapCostsAndFloatingPointFlag) {
  for (int k = 1; k <= 20; ++k) EXPECT_EQ(gap_cost(k), 0.5 + k);
  for (const auto& p : {std::array<double, 4>{1, 2, 3, 0.5}, {-2.5, 0.25, 10, 3}}) {
    params(p[0], p[1], p[2], p[3]);
    for (int k = 1; k <= 30; ++k) {
      const double e = p[2] + p[3] * k, x = k;
      const double inner[9] = {0, log10(x), log(x), sqrt(x), x, log10(e), log(e), sqrt(e), e};
      for (func = 1; func <= 8; ++func) {
        double g;
        EXPECT_FALSE(faults(k, &g));
        EXPECT_DOUBLE_EQ(g, p[0] + p[1] * inner[int(func)]) << func_text[func - 1] << " k=" << k;
      }
    }
  }
  params(1, 2, -5, 1);
  func = 1;  // log(0): the concave engine asks for g(0)
  EXPECT_TRUE(faults(0));
  func = 7;  // sqrt(-5 + k)
  for (int k = 1; k < 10; ++k) EXPECT_EQ(faults(k), k < 5) << k;
  own("1/(k-1)");
  double g;
  EXPECT_TRUE(faults(1));
  EXPECT_FALSE(faults(3, &g));
  EXPECT_EQ(g, 0.5);
  own("exp(k*1000)");
  EXPECT_TRUE(faults(1));
  func = 4, params(0, 1e39, 1, 1);  // beyond the single-precision tables
  EXPECT_TRUE(faults(1));

  void (*previous)(int) = std::signal(SIGFPE, SIG_DFL);
  fp_err_handler();
  for (int i = 0; i < 2; ++i) {  // the handler stays installed
    std::raise(SIGFPE);
    EXPECT_EQ(fp_error(), SIGFPE);
    fp_err_clear();
  }
  std::signal(SIGFPE, previous);
}

TEST_F(Cost, PairScoresAndOwnFormula) {
  ASSERT_EQ(read_substitution_table("A C: 1 3 -2"), TableError::none);
  EXPECT_EQ(pair_score('C', 'A') * 100 + pair_score('A', 'A') * 10 + pair_score('C', 'C'), 308);
  bool fill = false;  // a letter outside the header: 5000, marked only by pair_score
  EXPECT_EQ(pair_score_peek('G', 'A', &fill), FILL_VALUE);
  EXPECT_TRUE(fill && sub_t == 0);
  EXPECT_EQ(pair_score('G', 'G'), FILL_VALUE);
  EXPECT_EQ(sub_t, 1);
  sub_t = 0, mat = TABLE_MARKER, sub = 5000;  // a typed 5000 only counts as a match
  EXPECT_EQ(pair_score('G', 'T') + pair_score('A', 'A'), 5001.0f);
  EXPECT_EQ(sub_t, 0);
  mat = 5000;
  pair_score('A', 'A');
  EXPECT_EQ(sub_t, 1);

  own("0.5+1*k");
  for (int k = 1; k <= 20; ++k) EXPECT_EQ(ownfunction(k), const_cost(k));
  const struct { const char* f; int k; double want; } cases[] = {
      {"2+3*log(k)", 100, 8}, {"2^k^2", 3, 512},    {"-k^2", 3, -9}, {"k*-2+k/4", 8, -14},
      {"ln(exp(k))", 5, 5},   {"1e-5*k", 3, 3e-5}, {"--k", 4, 4}};
  for (const auto& c : cases) {
    own(c.f);
    EXPECT_DOUBLE_EQ(ownfunction(c.k), c.want) << c.f;
  }
  EXPECT_EQ(str(own_check_copy("2^k&k")), "2&(1)=(1)");
  // 98 numbers fit the tokenized form; anything not tokenized faults instead
  // of giving a value.
  auto ones = [](int n) { std::string s = "1"; while (--n) s += "+1"; return s; };
  own(ones(97) + "+k");
  EXPECT_EQ(ownfunction(2), 99.0);
  own(ones(98));
  EXPECT_EQ(ownfunction(2), 98.0);
  for (std::string bad : {ones(99), std::string(""), std::string("A+B*K"), std::string("2 + k"),
                          std::string("k&2"), std::string("k\x11(4)"), std::string("y+1")}) {
    EXPECT_FALSE(own_formula_ok(bad.c_str())) << bad;
    own(bad);
    EXPECT_TRUE(own_func_s.len == 0 && faults(1)) << bad;
  }
}

TEST_F(Cost, CostDescriptions) {
  EXPECT_EQ(str(cost_description_text()), "\ncost=a+b*k, a=0.5, b=1\nsubst.= 2, match= 0\n");
  auto ten = [](double v) { char b[64]; std::snprintf(b, sizeof b, "%.10g", v); return atof(b); };
  const double sets[][6] = {{-3.25, 1e-300, -7, 123456.789, -1.5, 2.75},
                            {1.5e300, 4.5e-7, 99999.99999, 1e-310, 1e30, -1e-30},
                            {0.1 + 0.2, 1.0 / 3, 2.0 / 3, 1.0 / 7, 1.0 / 9, -4998.99}};
  for (const auto& p : sets)
    for (int f = 1; f <= 8; ++f) {  // every function round-trips with no notice
      func = static_cast<signed char>(f), params(p[0], p[1], p[2], p[3]), sub = p[4], mat = p[5];
      String text = cost_description_text();
      cost_reset();
      params(9, 9, 9, 9);
      EXPECT_EQ(read_cost_description(text).notice, CostNotice::none) << str(text);
      const double want[6] = {ten(p[0]), ten(p[1]), f > 4 ? ten(p[2]) : 9, f > 4 ? ten(p[3]) : 9,
                              ten(p[4]), ten(p[5])};
      const double got[12] = {aa, bb, cc, dd, sub, mat, am, bm, cm, dm, subm, matm};
      for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], want[i % 6]) << i << str(text);
      EXPECT_EQ(func * 10 + func_c, f * 11);
    }
  cost_reset();
  own("2+3*sqrt(k)^2");
  func_c = 6;
  String text = cost_description_text();
  EXPECT_EQ(str(text), "\ncost=2+3*sqrt(k)^2\nsubst.= 2, match= 0\n");
  own_func = "", func = 2;
  EXPECT_EQ(read_cost_description(text).notice, CostNotice::none);
  EXPECT_EQ(func * 10 + func_c, 6);  // func_c stays
  EXPECT_DOUBLE_EQ(gap_cost(4), 14);
  ASSERT_EQ(read_substitution_table("A B: 1 2 3"), TableError::none);
  CostReadResult r = read_cost_description(cost_description_text());  // "table" twice
  EXPECT_EQ(str(cost_notice_text(r)), "There are 2 mistakes !");
  EXPECT_EQ(pair_score('A', 'B'), 2.0f);

  cost_reset();
  auto read = [](const std::string& t) { return read_cost_description(bytes(t)).notice; };
  EXPECT_EQ(read("cost=a+b*log(c+d*k); c=2, d=0.5"), CostNotice::none);
  EXPECT_EQ(func * 1000 + func_c * 100 + cc * 10 + dd + aa + bb, 5520.5 + 1.5);
  EXPECT_EQ(read("cost = a+b*k"), CostNotice::nothing_found);
  EXPECT_EQ(read("x cost=2 + 3*sqrt( k )\n"), CostNotice::none);
  EXPECT_EQ(str(own_func), "2+3*sqrt(k)");
  ms1 = "ACGT";  // a rejected formula stops at once; only the results are voided
  EXPECT_EQ(read("a=7, cost=A+B*K, subst=3"), CostNotice::syntax_error);
  EXPECT_EQ(aa + sub + func + ms1.len, 2.5);
  read("subst=4, subst.=3, match=-1e2");
  EXPECT_EQ(sub * 1000 + mat, 2900);
  r = read_cost_description("a=3, b=1.5.5, c=4; d=1,5, subst=1.5");
  EXPECT_EQ(str(cost_notice_text(r)), "There is one mistake !");
  EXPECT_EQ(aa * 1000 + bb * 100 + cc * 10 + dd + sub, 3142.5);
  // Not silently another number: a value cut by its window, an infinite one,
  // a score equal to the table marker or beyond single precision.
  r = read_cost_description("a=1234567890123456789012, b=1e999, subst=-4999, match=1e39");
  EXPECT_EQ(r.mistakes, 4);
  EXPECT_EQ(aa * 1000 + bb * 100 + sub * 10 + mat, 3015);
  EXPECT_EQ(read("a=12345678901234567890, b=2                   , c=5"), CostNotice::none);
  EXPECT_EQ(aa, 12345678901234567890.0);
  EXPECT_EQ(bb * 10 + cc, 25);
  // Non-blank text beyond the window is a value cut short, also when the
  // window ends on a blank; blanks alone beyond it are not.
  params(2, 2, 2, 2);
  r = read_cost_description("a=3                   7, b=3                   , c=3                    ,d=4");
  EXPECT_EQ(r.mistakes, 1);
  EXPECT_EQ(aa * 100 + bb * 10 + cc + dd, 2 * 100 + 3 * 10 + 3 + 4);
  std::string f80 = "10";
  while (f80.size() < 80) f80 += "+k";
  EXPECT_EQ(read("cost=" + f80), CostNotice::none);
  EXPECT_EQ(read("cost=" + f80 + "+1"), CostNotice::syntax_error);
  EXPECT_EQ(str(own_func), f80);
  const std::string spaced =
      "cost=3 + 0.5 * log(k) + 0.25 * sqrt(k) + 0.125 * k + 0.0625 * ln(k) + 0.25 * sqrt(k) + 100 * k";
  EXPECT_EQ(read(spaced), CostNotice::syntax_error);
  EXPECT_EQ(str(own_func), f80);
  EXPECT_EQ(read(spaced.substr(0, spaced.size() - 10) + "\n"), CostNotice::none);  // within 80
  // A score that would be 0 in single precision is no score.
  r = read_cost_description("subst.=1e-46, match=-1e-46");
  EXPECT_EQ(r.mistakes, 2);
  EXPECT_EQ(read("subst.=1e-40, match=0e-50"), CostNotice::none);  // subnormal, and 0 itself
  EXPECT_EQ(float(sub), 1e-40f);
}

// The cost windows' number fields take a value exactly when the reader takes
// it after "a=" (a parameter) or "subst.=" (a score).
TEST_F(Cost, FieldNumbersFollowTheReader) {
  const char* texts[] = {"3",      "-2.5",    "+7",     " 12",    "1e3",    "1E-2",  "-4999",
                         "-4999.0", "1e38",   "1e39",   "-1e39",  "1e999",  "1e-40", "1e-46",
                         "-1e-46", "0e-50",   "1.5.5",  "1.",     ".5",     "1e",    "-",
                         "x",      "",        "0x10",   "inf",    "nan",    "3.40282e38",
                         "12345678901234567890"};
  for (const char* t : texts) {
    double p = 42, s = 42;
    const bool param = cost_parameter_number(t, &p), score = cost_score_number(t, &s);
    cost_reset();
    EXPECT_EQ(read_cost_description((std::string("a=") + t).c_str()).notice == CostNotice::none,
              param) << t;
    EXPECT_EQ(aa, param ? p : 0.5) << t;
    EXPECT_EQ(read_cost_description((std::string("subst.=") + t).c_str()).notice == CostNotice::none,
              score) << t;
    EXPECT_EQ(sub, score ? s : 2.0) << t;
    EXPECT_EQ(p, param ? p : 42) << t;  // refused: nothing written
    EXPECT_EQ(s, score ? s : 42) << t;
  }
  // Unlike the reader, a field keeps its blanks and commas: they make no number.
  double v = 0;
  EXPECT_FALSE(cost_parameter_number("2 ", &v));
  EXPECT_FALSE(cost_parameter_number("1,5", &v));
  EXPECT_TRUE(cost_score_number("-4998.5", &v));
  EXPECT_EQ(v, -4998.5);
  EXPECT_EQ(str(cost_number_text(0.5)), "0.5");
  EXPECT_EQ(str(cost_number_text(1.0 / 3)), "0.3333333333");
  EXPECT_EQ(str(cost_number_text(-1e-7)), "-1e-07");
}

TEST_F(Cost, KeywordWarnings) {
  auto warnings = [](const std::string& t) {
    std::string all;
    for (const std::string& w : cost_description_warnings(bytes(t))) all += w + "\n";
    return all;
  };
  // Read as written: nothing to say.
  EXPECT_EQ(warnings("cost=a+b*log(c+d*k); c=2, d=0.5\nsubst.= 2, match= 0\nfree text, x y"), "");
  EXPECT_EQ(warnings(str(cost_description_text())), "");
  EXPECT_EQ(warnings("a = 3"), "'a = 3' is not read: a keyword is written without blanks before '='; "
                               "a keeps 0.5\n");
  EXPECT_EQ(warnings("cost=2+k, Cost=3"),
            "'Cost=3' is not read: keywords are written in lower case; 'cost=2+k' counts\n");
  EXPECT_EQ(warnings("A=3, a=4"), "'A=3' is not read: keywords are written in lower case; 'a=4' counts\n");
  EXPECT_EQ(warnings("Match=1"), "'Match=1' is not read: keywords are written in lower case; match keeps 0\n");
  EXPECT_EQ(warnings("mismatch=1"), "'mismatch=1' is read as 'match=1': the keyword stands at the end of a "
                                    "longer word\n");
  EXPECT_EQ(warnings("a=3, b=1, a=7"),
            "'a=7' is not read: 'a=' is given before, and only the first is read; 'a=3' counts\n");
  EXPECT_EQ(warnings("subst=1; subst.=3"), "'subst=1' is not read: 'subst.=' is given too, and only it is "
                                           "read; 'subst.=3' counts\n");
  EXPECT_EQ(warnings("gap=2,=3"), "'gap=2' is not read: 'gap' is no keyword\n"
                                  "'=3' is not read: no keyword stands before '='\n");
  sub = TABLE_MARKER;
  EXPECT_EQ(warnings("subst. = 1"), "'subst. = 1' is not read: a keyword is written without blanks before "
                                    "'='; subst. keeps table\n");
  // Many at once are summed up; a very long word is shown by its end.
  std::vector<std::string> many = cost_description_warnings(bytes(std::string(30, '=')));
  ASSERT_EQ(many.size(), 21u);
  EXPECT_EQ(many.back(), "and 10 more of the same kinds");
  EXPECT_EQ(warnings(std::string(100, 'x') + "=1"),
            "'..." + std::string(40, 'x') + "=1' is not read: '..." + std::string(40, 'x') + "' is no keyword\n");
  // The reading itself is as before: the first occurrence, also inside a word.
  EXPECT_EQ(read_cost_description("mismatch=1, a=3, a=7").notice, CostNotice::none);
  EXPECT_EQ(mat * 10 + aa, 13);
}

TEST_F(Cost, SubstitutionTables) {
  unsigned seed = 12345;
  auto rnd = [&seed](unsigned n) { return ((seed = seed * 1103515245u + 12345u) >> 8) % n; };
  for (int iter = 0; iter < 300; ++iter) {  // generated tables against their own values
    int order[26];
    for (int i = 0; i < 26; ++i) order[i] = i;
    for (int i = 25; i > 0; --i) std::swap(order[i], order[rnd(i + 1)]);
    int letters = iter == 0 ? 26 : int(rnd(9));
    std::string text;
    for (int i = 0; i < letters; ++i) {
      text += char((rnd(2) ? 'a' : 'A') + order[i]);
      for (unsigned s = rnd(3); s > 0; --s) text += " ,;-"[rnd(4)];
    }
    text += ':';
    float want[26][26];
    std::fill(&want[0][0], &want[0][0] + 26 * 26, FILL_VALUE);
    for (int r = 0; r < letters; ++r)
      for (int c = r; c < letters; ++c) {
        double v = (int(rnd(401)) - 200) / 4.0;
        char b[32];
        const char* fmt[] = {"%.2f", "%.3e", "%g", v == std::floor(v) ? "%.0f." : "%g"};
        std::snprintf(b, sizeof b, fmt[rnd(4)], v);
        for (unsigned s = 1 + rnd(3); s > 0; --s) text += " \n\r,;"[rnd(5)];
        text += b;
        want[order[r]][order[c]] = want[order[c]][order[r]] = float(v);
      }
    text += std::string(rnd(3), '\n');
    // Rows 0..25 of su against the symmetric expectation.
    auto same = [&] { return std::memcmp(want, su.numbers, sizeof want) == 0; };
    ms1 = "X";
    ASSERT_EQ(read_substitution_table(text.c_str()), TableError::none) << text;
    EXPECT_TRUE(same() && ms1.len == 0) << text;
    EXPECT_EQ(str(substitution_table_text()), text);
    EXPECT_EQ(sub + subm + mat + matm, 4 * TABLE_MARKER);
    sub = subm = 1, ms1 = "X";  // one value less or more: nothing changes
    if (letters > 0) {
      std::string shorter = text.substr(0, text.find_last_of("0123456789.") + 1);
      shorter.resize(shorter.find_last_of(" \n\r,;") + 1);
      EXPECT_EQ(read_substitution_table(shorter.c_str()), TableError::data_lines) << shorter;
    }
    EXPECT_EQ(read_substitution_table((text + " 7").c_str()), TableError::too_long);
    EXPECT_TRUE(same() && sub == 1 && ms1.len == 1 && str(subst) == text + ",");
  }

  const struct { const char* text; TableError want; float a_b; } cases[] = {
      {"A B C D F:\n0 2 1 3 2\n-1 2 1 3\n0 2 4\n0 2\n0", TableError::none, 2},
      {"A-B: 1 2 3", TableError::none, 2},       {"A B: 1. 2 3", TableError::none, 2},
      {"A B: 1-2 3", TableError::none, -2},      {": \n ;", TableError::none, FILL_VALUE},
      {"A B A: 1 2 3", TableError::headline, 0}, {"A B 1 2 3", TableError::headline, 0},
      {"A B\n: 1 2 3", TableError::headline, 0}, {"A B: 1 2 .5", TableError::data_lines, 0},
      {"A B: 1 - 3", TableError::data_lines, 0},  // a lone sign is no number,
      {"A: 1e", TableError::data_lines, 0},       // nor an exponent without digits
      {"A: 1e39", TableError::data_lines, 0},     // beyond single precision,
      {"A: -1e-46", TableError::data_lines, 0},   // or 0 there though not 0
      {"A B: 0e-60 1e-40 0.0", TableError::none, 1e-40f},
      {"A: 1 2", TableError::too_long, 0},       {"A: 1x", TableError::too_long, 0}};
  for (const auto& c : cases) {
    cost_reset();
    EXPECT_EQ(read_substitution_table(c.text), c.want) << c.text;
    if (c.want == TableError::none) {
      EXPECT_EQ(su(0, 1), c.a_b) << c.text;
    } else {
      EXPECT_TRUE(su(0, 0) == FILL_VALUE && subst.len == 0 && sub == 2) << c.text;
    }
  }
  EXPECT_EQ(str(table_error_text(TableError::data_lines)), "Error in subst.-table: data line(s) !");
  seq1 = "GATTACA", seq2 = "CAT";
  EXPECT_EQ(str(sequence_alphabet_text()), "\n A C G T\n");
  seq1 = "", seq2 = "a-?";
  EXPECT_EQ(str(sequence_alphabet_text()), "");
}

// Everything a read may change, for "a failed read changes nothing".
std::string snapshot() {
  const double p[12] = {aa, bb, cc, dd, am, bm, cm, dm, sub, mat, subm, matm};
  return std::string(reinterpret_cast<const char*>(p), sizeof p) + char(func) + char(func_c) +
         str(own_func) + '|' + str(own_funcm) + '|' + str(own_func_s) + '|' + str(subst) +
         std::string(reinterpret_cast<const char*>(su.numbers), 26 * 27 * sizeof(float));
}

std::string hostile(std::mt19937& rng, bool table) {
  static const char* pieces[] = {
      "cost=", "a=", "b=", "subst.=", "subst=", "match=", "table", "k", "^", "&", "(", ")",
      "+", "-", "*", "/", "e", "E", ".", ",", ";", "\n", "\r", " ", "\t", "log(", "asin(",
      "1", "2.5", "-4999", "1e999", "1e39", "y", "a+b*k", "\x7f", "\x1f", "\x11", "\xfe",
      "A", "c", "z", ":", "3.", ".5", "1e", "ABCDEFGHIJKLMNOPQRSTUVWXYZ:"};
  std::string t;
  switch (rng() % 5) {
    case 0:  // arbitrary bytes, NUL included
      for (int i = int(rng() % 300); i > 0; --i) t += char(rng() % 256);
      break;
    case 1:  // deep nesting
      t = "cost=" + std::string(rng() % 200, '(') + "k" + std::string(rng() % 220, ')');
      break;
    case 2:  // long runs of numbers and operators
      t = table ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ:" : "cost=";
      for (int i = int(rng() % 400); i > 0; --i)
        t += std::to_string(rng() % 100) + " +*^-/"[rng() % 6];
      break;
    case 3:  // very long texts
      t = std::string(20000 + rng() % 60000, '7');
      for (char& c : t) c = " 0123456789k+-*^(),;\n.e:A"[rng() % 26];
      t.insert(rng() % t.size(), table ? "A:" : "cost=");
      break;
    default:
      for (int i = int(rng() % 60); i > 0; --i)
        t += pieces[rng() % (sizeof pieces / sizeof *pieces)];
  }
  return t;
}

TEST_F(Cost, HostileTextsKeepTheModelConsistent) {
  std::mt19937 rng(20261208);
  // A fixed number of rounds, so that every machine reads the same texts.
  for (int rounds = 1; rounds <= 8000; ++rounds) {
    std::string t = hostile(rng, rounds % 2), before = snapshot();
    if (rounds % 2) {
      if (read_substitution_table(bytes(t)) != TableError::none) {
        ASSERT_EQ(snapshot(), before) << t;
      } else {
        ASSERT_TRUE(str(subst) == t + "," && sub == TABLE_MARKER) << t;
      }
    } else {
      CostReadResult r = read_cost_description(bytes(t));
      if (r.notice == CostNotice::syntax_error) {
        ASSERT_EQ(snapshot(), before) << t;
      }
      ASSERT_EQ(r.notice == CostNotice::mistakes, r.mistakes > 0);
    }
    ASSERT_TRUE(func >= 0 && func <= 8 && func_c >= 0 && func_c <= 8) << t;
    ASSERT_TRUE(aa == am && bb == bm && cc == cm && dd == dm && sub == subm && mat == matm);
    ASSERT_TRUE(std::isfinite(aa + bb + cc + dd) && std::isfinite(float(sub) + float(mat))) << t;
    if (own_func.len > 0) {
      ASSERT_TRUE(own_func.len <= 80 && own_formula_ok(own_func) && own_func_s.len > 0) << t;
    }
    for (int k = 0; k <= 3; ++k) gap_cost(k);  // may fault, must not crash
    fp_err_clear();
    cost_description_warnings(bytes(t));
    if (rounds % 7 == 0) sub = subm = 2, mat = matm = 0;
  }
}

}  // namespace
