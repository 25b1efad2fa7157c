// Cost model: gap cost functions and the floating-point flag, the pair score
// rule, the own formula, and the cost description and table readers.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "state/state.h"
#include "ui/notice.h"

namespace {

class Cost : public ::testing::Test {
 protected:
  void SetUp() override {
    cost_reset();
    state_reset();
  }
  void TearDown() override {
    cost_reset();
    state_reset();
  }
};

std::string str(const String& s) { return std::string(s.Str, size_t(s.len)); }

// g(k) through the flag-checking entry the engines use; returns whether the
// flag went up.
bool faults(int k, double* g = nullptr) {
  fp_err_clear();
  double v = gap_cost(k);
  if (g) *g = v;
  bool f = fp_error() != 0;
  fp_err_clear();
  return f;
}

void set_params(double a, double b, double c, double d) {
  aa = am = a;
  bb = bm = b;
  cc = cm = c;
  dd = dm = d;
}

TEST_F(Cost, GapFunctionsMatchTheirFormulas) {
  // Start state: a + b*k with a = 0.5, b = 1.
  for (int k = 1; k <= 50; ++k) EXPECT_EQ(gap_cost(k), 0.5 + k);

  const double sets[][4] = {{1, 2, 3, 0.5}, {-2.5, 0.25, 10, 3}, {0, 1e-3, 1, 1}, {7, -1, 4, 2}};
  for (const auto& p : sets) {
    set_params(p[0], p[1], p[2], p[3]);
    for (int k = 1; k <= 40; ++k) {
      const double x = k, e = p[2] + p[3] * k;
      const double want[9] = {0,
                              p[0] + p[1] * std::log10(x),
                              p[0] + p[1] * std::log(x),
                              p[0] + p[1] * std::sqrt(x),
                              p[0] + p[1] * x,
                              p[0] + p[1] * std::log10(e),
                              p[0] + p[1] * std::log(e),
                              p[0] + p[1] * std::sqrt(e),
                              p[0] + p[1] * e};
      for (int f = 1; f <= 8; ++f) {
        func = static_cast<signed char>(f);
        double g;
        EXPECT_FALSE(faults(k, &g)) << func_text[f - 1] << " k=" << k;
        EXPECT_DOUBLE_EQ(g, want[f]) << func_text[f - 1] << " k=" << k;
      }
    }
  }

  set_params(1, 2, 1, 1);
  func = 1;
  EXPECT_EQ(gap_cost(1), 1.0);
  EXPECT_EQ(gap_cost(10), 3.0);
  func = 2;
  EXPECT_EQ(gap_cost(1), 1.0);
}

TEST_F(Cost, FloatingPointFlag) {
  // The logarithms at k = 0 (the concave engine asks for g(0)).
  for (int f : {1, 2}) {
    func = static_cast<signed char>(f);
    EXPECT_TRUE(faults(0)) << f;
    EXPECT_FALSE(faults(1)) << f;
  }
  // sqrt(c + d*k) with c = -5: negative below k = 5.
  func = 7;
  set_params(0.5, 1, -5, 1);
  for (int k = 1; k < 5; ++k) EXPECT_TRUE(faults(k)) << k;
  for (int k = 5; k < 10; ++k) EXPECT_FALSE(faults(k)) << k;
  // log(c + d*k) with c + d*k <= 0.
  func = 5;
  set_params(0, 1, -3, 1);
  EXPECT_TRUE(faults(3));
  EXPECT_TRUE(faults(2));
  EXPECT_FALSE(faults(4));

  // A division by zero in an own formula.
  own_func = "1/(k-1)";
  compress_function();
  func = 0;
  EXPECT_TRUE(faults(1));
  double g;
  EXPECT_FALSE(faults(3, &g));
  EXPECT_EQ(g, 0.5);

  // Overflow, and values that do not fit the single-precision tables.
  own_func = "exp(k*1000)";
  compress_function();
  EXPECT_TRUE(faults(1));
  func = 4;
  set_params(0, 1e39, 1, 1);
  EXPECT_TRUE(faults(1));
  set_params(0, 1e38, 1, 1);
  EXPECT_FALSE(faults(1));

  // The flag stays until cleared and remembers the signal number.
  func = 1;
  fp_err_clear();
  gap_cost(0);
  gap_cost(2);
  EXPECT_EQ(fp_error(), SIGFPE);
  fp_err_clear();
  EXPECT_EQ(fp_error(), 0);

  // A real signal goes through the handler, which stays installed.
  void (*previous)(int) = std::signal(SIGFPE, SIG_DFL);
  fp_err_handler();
  std::raise(SIGFPE);
  EXPECT_EQ(fp_error(), SIGFPE);
  fp_err_clear();
  std::raise(SIGFPE);
  EXPECT_EQ(fp_error(), SIGFPE);
  fp_err_clear();
  std::signal(SIGFPE, previous);
}

TEST_F(Cost, PairScoreRule) {
  bool fill = true;
  EXPECT_EQ(pair_score('A', 'C'), 2.0f);
  EXPECT_EQ(pair_score('G', 'G'), 0.0f);
  EXPECT_EQ(sub_t, 0);

  ASSERT_EQ(read_substitution_table("A C: 1 3 -2"), TableError::none);
  EXPECT_EQ(pair_score('A', 'C'), 3.0f);
  EXPECT_EQ(pair_score('C', 'A'), 3.0f);
  EXPECT_EQ(pair_score('A', 'A'), 1.0f);
  EXPECT_EQ(pair_score('C', 'C'), -2.0f);
  EXPECT_EQ(sub_t, 0);
  // Letters outside the header score 5000 and raise sub_t; peeking does not.
  EXPECT_EQ(pair_score_peek('G', 'A', &fill), FILL_VALUE);
  EXPECT_TRUE(fill);
  EXPECT_EQ(sub_t, 0);
  EXPECT_EQ(pair_score('G', 'A'), FILL_VALUE);
  EXPECT_EQ(sub_t, 1);
  sub_t = 0;
  EXPECT_EQ(pair_score('G', 'G'), FILL_VALUE);
  EXPECT_EQ(sub_t, 1);
  sub_t = 0;

  // Mixing: a constant for one kind of pair, the table for the other.
  mat = 0;
  EXPECT_EQ(pair_score('C', 'C'), 0.0f);
  EXPECT_EQ(pair_score('A', 'C'), 3.0f);
  mat = TABLE_MARKER;
  sub = 2;
  EXPECT_EQ(pair_score('A', 'C'), 2.0f);
  EXPECT_EQ(pair_score('G', 'T'), 2.0f);  // never 5000: a constant substitution
  EXPECT_EQ(pair_score('A', 'A'), 1.0f);
  EXPECT_EQ(sub_t, 0);

  // A typed match score of 5000 counts as a missing entry; a substitution
  // score of 5000 does not.
  mat = 5000;
  sub = 5000;
  EXPECT_EQ(pair_score('A', 'C'), 5000.0f);
  EXPECT_EQ(sub_t, 0);
  EXPECT_EQ(pair_score('A', 'A'), 5000.0f);
  EXPECT_EQ(sub_t, 1);

  // Scores are rounded to single precision.
  sub = 0.1;
  EXPECT_EQ(pair_score('A', 'B'), 0.1f);

  NoticeRecorder rec;
  subst_incomplete();
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines[0], "Your subst.-table was incomplete !");
  EXPECT_EQ(rec.seen[0].buttons[0].label, " Check it ");
}

TEST_F(Cost, OwnFormula) {
  // Agrees with the predefined function it spells out.
  own_func = "0.5+1*k";
  compress_function();
  for (int k = 1; k <= 30; ++k) EXPECT_EQ(ownfunction(k), const_cost(k));

  struct Case {
    const char* f;
    int k;
    double want;
  } cases[] = {{"2+3*log(k)", 100, 8},       {"2^k^2", 3, 512},   {"-k^2", 3, -9},
               {"k*-2+k/4", 8, -14},          {"ln(exp(k))", 5, 5}, {"1e-5*k", 3, 3e-5},
               {"sqrt(k)^0.5+1.5", 16, 3.5}, {"--k", 4, 4},       {"abs(2-k)*cos(0)", 7, 5}};
  for (const Case& c : cases) {
    EXPECT_TRUE(own_formula_ok(c.f)) << c.f;
    own_func = c.f;
    compress_function();
    EXPECT_DOUBLE_EQ(ownfunction(c.k), c.want) << c.f;
  }

  EXPECT_EQ(str(own_check_copy("2^k&k")), "2&(1)=(1)");
  for (const char* bad : {"A+B*K", "2 + k", "2k", "k&2", "", "+k", "sin k", "2+*k", "1E-5*k",
                          "k\x11(4)", "y+1", "(((k)"})
    EXPECT_FALSE(own_formula_ok(bad)) << bad;

  // The tokenized form holds at most 98 numbers; a longer formula is refused,
  // and one in force anyway gives a floating-point fault, not a value.
  auto ones = [](int count, const char* tail) {
    std::string s = "1";
    for (int i = 1; i < count; ++i) s += "+1";
    return s + tail;
  };
  EXPECT_EQ(own_number_count(ones(98, "").c_str()), 98);
  EXPECT_EQ(own_number_count(ones(97, "+k").c_str()), 97);
  EXPECT_TRUE(own_formula_ok(ones(98, "").c_str()));
  own_func = ones(97, "+k").c_str();
  compress_function();
  EXPECT_EQ(ownfunction(2), 99.0);
  own_func = ones(98, "").c_str();
  compress_function();
  EXPECT_EQ(ownfunction(2), 98.0);
  EXPECT_FALSE(own_formula_ok(ones(99, "").c_str()));
  own_func = ones(99, "").c_str();
  compress_function();
  EXPECT_EQ(own_func_s.len, 0);
  func = 0;
  EXPECT_TRUE(faults(1));
  own_func = "";
  compress_function();
  EXPECT_TRUE(faults(1));
}

TEST_F(Cost, CostDescriptionRoundTrip) {
  EXPECT_EQ(str(cost_description_text()), "\ncost=a+b*k, a=0.5, b=1\nsubst.= 2, match= 0\n");

  // Values that 10 significant digits carry exactly, and some that they do not.
  const double sets[][6] = {{0.5, 1, 1, 1, 2, 0},
                            {-3.25, 1e-300, -7, 123456.789, -1.5, 2.75},
                            {1.5e300, 0.000123, 4.5e-7, 99999.99999, 1e30, -1e-30},
                            {0.1 + 0.2, 1.0 / 3, 2.0 / 3, 1e-310, 1.0 / 7, -4998.99}};
  for (const auto& p : sets) {
    for (int f = 1; f <= 8; ++f) {
      cost_reset();
      func = static_cast<signed char>(f);
      set_params(p[0], p[1], p[2], p[3]);
      sub = subm = p[4];
      mat = matm = p[5];
      String text = cost_description_text();
      cost_reset();
      func = func_c = 3;
      set_params(9, 9, 9, 9);
      CostReadResult r = read_cost_description(text);
      EXPECT_EQ(r.notice, CostNotice::none) << str(text);
      EXPECT_EQ(func, f);
      EXPECT_EQ(func_c, f);
      auto ten = [](double v) {
        char b[64];
        std::snprintf(b, sizeof b, "%.10g", v);
        return std::strtod(b, nullptr);
      };
      EXPECT_EQ(aa, ten(p[0])) << str(text);
      EXPECT_EQ(bb, ten(p[1])) << str(text);
      EXPECT_EQ(cc, f >= 5 ? ten(p[2]) : 9.0);
      EXPECT_EQ(dd, f >= 5 ? ten(p[3]) : 9.0);
      EXPECT_EQ(sub, ten(p[4]));
      EXPECT_EQ(mat, ten(p[5]));
      EXPECT_EQ(am, aa);
      EXPECT_EQ(subm, sub);
      EXPECT_EQ(matm, mat);
    }
  }

  // An own formula writes itself and reads back; func_c stays.
  cost_reset();
  own_func = "2+3*sqrt(k)^2";
  compress_function();
  func = 0;
  func_c = 6;
  String text = cost_description_text();
  EXPECT_EQ(str(text), "\ncost=2+3*sqrt(k)^2\nsubst.= 2, match= 0\n");
  own_func = "";
  func = 2;
  EXPECT_EQ(read_cost_description(text).notice, CostNotice::none);
  EXPECT_EQ(func, 0);
  EXPECT_EQ(func_c, 6);
  EXPECT_EQ(str(own_func), "2+3*sqrt(k)^2");
  EXPECT_EQ(str(own_funcm), "2+3*sqrt(k)^2");
  EXPECT_DOUBLE_EQ(gap_cost(4), 14);

  // A description written while a table is active: "table" reads as a
  // mistake and the table stays in force.
  ASSERT_EQ(read_substitution_table("A B: 1 2 3"), TableError::none);
  text = cost_description_text();
  EXPECT_NE(str(text).find("subst.= table, match= table\n"), std::string::npos);
  CostReadResult r = read_cost_description(text);
  EXPECT_EQ(r.notice, CostNotice::mistakes);
  EXPECT_EQ(r.mistakes, 2);
  EXPECT_EQ(sub, TABLE_MARKER);
  EXPECT_EQ(mat, TABLE_MARKER);
  EXPECT_EQ(pair_score('A', 'B'), 2.0f);
}

TEST_F(Cost, CostDescriptionReading) {
  auto read = [](const char* t) { return read_cost_description(String(t)); };

  CostReadResult r = read("cost=a+b*log(c+d*k); c=2, d=0.5");
  EXPECT_EQ(r.notice, CostNotice::none);
  EXPECT_EQ(func, 5);
  EXPECT_EQ(func_c, 5);
  EXPECT_EQ(cc, 2);
  EXPECT_EQ(dd, 0.5);
  EXPECT_EQ(aa, 0.5);
  EXPECT_EQ(bb, 1);

  EXPECT_EQ(read("cost=a+b*k ").notice, CostNotice::none);
  EXPECT_EQ(func, 4);
  EXPECT_EQ(read("cost = a+b*k").notice, CostNotice::nothing_found);
  EXPECT_EQ(read("").notice, CostNotice::nothing_found);
  EXPECT_EQ(str(cost_notice_text(read("hello"))), "There was nothing (correct) to get ?!");

  // Blanks go before the formula is checked; func_c is left alone.
  func_c = 2;
  EXPECT_EQ(read("x cost=2 + 3*sqrt( k )\n").notice, CostNotice::none);
  EXPECT_EQ(str(own_func), "2+3*sqrt(k)");
  EXPECT_EQ(func, 0);
  EXPECT_EQ(func_c, 2);

  // A rejected formula stops the reading: nothing else changes, but the
  // results are void.
  ms1 = "ACGT";
  ms2 = "AC";
  r = read("a=7, cost=A+B*K, subst=3");
  EXPECT_EQ(r.notice, CostNotice::syntax_error);
  EXPECT_EQ(str(cost_notice_text(r)), "There's a syntax error !");
  EXPECT_EQ(aa, 0.5);
  EXPECT_EQ(sub, 2);
  EXPECT_EQ(func, 0);
  EXPECT_EQ(str(own_func), "2+3*sqrt(k)");
  EXPECT_EQ(ms1.len, 0);
  EXPECT_EQ(ms2.len, 0);

  // subst= counts only when subst.= is absent.
  read("subst=1.5");
  EXPECT_EQ(sub, 1.5);
  EXPECT_EQ(subm, 1.5);
  read("subst=4, subst.=3");
  EXPECT_EQ(sub, 3);
  read("match=-1e2");
  EXPECT_EQ(mat, -100);

  // Mistakes are counted; values before and after them stay read.
  r = read("a=x, b=y");
  EXPECT_EQ(r.notice, CostNotice::mistakes);
  EXPECT_EQ(r.mistakes, 2);
  EXPECT_EQ(str(cost_notice_text(r)), "There are 2 mistakes !");
  r = read("a=3; b=1,5; c=4");
  EXPECT_EQ(r.mistakes, 0);  // "1" is b, "5" is not a keyword
  EXPECT_EQ(bb, 1);
  r = read("a=3, b=1.5.5, c=4");
  EXPECT_EQ(r.mistakes, 1);
  EXPECT_EQ(str(cost_notice_text(r)), "There is one mistake !");
  EXPECT_EQ(aa, 3);
  EXPECT_EQ(bb, 1);
  EXPECT_EQ(cc, 4);
  EXPECT_EQ(cm, 4);

  // Values the model cannot hold are mistakes, not silently changed numbers:
  // a number cut by its 20-character window, an infinite one, a score equal
  // to the table marker or beyond single precision.
  r = read("a=1234567890123456789012, b=1e999, subst=-4999, match=1e39");
  EXPECT_EQ(r.mistakes, 4);
  EXPECT_EQ(aa, 3);
  EXPECT_EQ(bb, 1);
  EXPECT_EQ(sub, 3);
  EXPECT_EQ(mat, -100);
  // ... while a window that ends in blanks is no cut value.
  r = read("a=12345678901234567890, b=2                        c=5");
  EXPECT_EQ(r.notice, CostNotice::none);
  EXPECT_EQ(aa, 12345678901234567890.0);
  EXPECT_EQ(bb, 2);
  EXPECT_EQ(cc, 5);

  // Own formulas: up to 80 characters (blanks included) are read; a longer
  // formula would be cut and is refused.
  std::string f80 = "10";
  while (f80.size() < 80) f80 += "+k";
  ASSERT_EQ(f80.size(), 80u);
  EXPECT_EQ(read(("cost=" + f80 + "\n").c_str()).notice, CostNotice::none);
  EXPECT_EQ(str(own_func), f80);
  EXPECT_EQ(read(("cost=" + f80 + "+1\n").c_str()).notice, CostNotice::syntax_error);
  EXPECT_EQ(str(own_func), f80);

  // Every read voids the current results.
  ms1 = "A";
  read("nothing here");
  EXPECT_EQ(ms1.len, 0);
}

// Writes a value so that it reads back as v exactly (v a multiple of 1/4).
std::string value_text(double v, unsigned style) {
  char b[64];
  switch (style % 4) {
    case 0: std::snprintf(b, sizeof b, "%.2f", v); break;
    case 1: std::snprintf(b, sizeof b, "%.3e", v); break;
    case 2: std::snprintf(b, sizeof b, "%g", v); break;
    default:
      if (v == std::floor(v))
        std::snprintf(b, sizeof b, "%.0f.", v);  // "3." is 3
      else
        std::snprintf(b, sizeof b, "%g", v);
  }
  return b;
}

TEST_F(Cost, SubstitutionTableAgainstGeneratedTables) {
  unsigned seed = 12345;
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int iter = 0; iter < 300; ++iter) {
    // A random header in random case with random separators.
    int order[26];
    for (int i = 0; i < 26; ++i) order[i] = i;
    for (int i = 25; i > 0; --i) std::swap(order[i], order[rnd(i + 1)]);
    int letters = int(rnd(9));
    if (iter == 0) letters = 26;
    std::string text;
    for (int i = 0; i < letters; ++i) {
      text += char((rnd(2) ? 'a' : 'A') + order[i]);
      for (unsigned s = rnd(3); s > 0; --s) text += " ,;-"[rnd(4)];
    }
    text += ':';
    float want[26][26];
    for (auto& row : want)
      for (float& v : row) v = FILL_VALUE;
    for (int r = 0; r < letters; ++r)
      for (int c = r; c < letters; ++c) {
        double v = (int(rnd(401)) - 200) / 4.0;
        for (unsigned s = 1 + rnd(3); s > 0; --s) text += " \n\r,;"[rnd(5)];
        text += value_text(v, rnd(4));
        want[order[r]][order[c]] = want[order[c]][order[r]] = float(v);
      }
    for (unsigned s = rnd(3); s > 0; --s) text += " \n;"[rnd(3)];

    ms1 = "X";
    ASSERT_EQ(read_substitution_table(text.c_str()), TableError::none) << text;
    for (int x = 0; x < 26; ++x)
      for (int y = 0; y < 26; ++y) ASSERT_EQ(su(x, y), want[x][y]) << text;
    EXPECT_EQ(str(subst), text + ",");
    EXPECT_EQ(str(substitution_table_text()), text);
    EXPECT_EQ(sub, TABLE_MARKER);
    EXPECT_EQ(subm, TABLE_MARKER);
    EXPECT_EQ(mat, TABLE_MARKER);
    EXPECT_EQ(matm, TABLE_MARKER);
    EXPECT_EQ(ms1.len, 0);

    // One value less or one more fails and leaves everything as it was.
    if (letters > 0) {
      std::string shorter = text.substr(0, text.find_last_of("0123456789.") + 1);
      shorter = shorter.substr(0, shorter.find_last_of(" \n\r,;") + 1);
      EXPECT_EQ(read_substitution_table(shorter.c_str()), TableError::data_lines) << shorter;
    }
    sub = subm = 1;
    ms1 = "X";
    EXPECT_EQ(read_substitution_table((text + " 7").c_str()), TableError::too_long);
    EXPECT_EQ(sub, 1);
    EXPECT_EQ(ms1.len, 1);
    EXPECT_EQ(str(subst), text + ",");
    for (int x = 0; x < 26; ++x)
      for (int y = 0; y < 26; ++y) ASSERT_EQ(su(x, y), want[x][y]);
  }
}

TEST_F(Cost, SubstitutionTableRules) {
  EXPECT_EQ(str(substitution_table_text()), "");

  const char* example = "A B C D F:\n0 2 1 3 2\n-1 2 1 3\n0 2 4\n0 2\n0";
  ASSERT_EQ(read_substitution_table(example), TableError::none);
  EXPECT_EQ(su(0, 1), 2.0f);
  EXPECT_EQ(su(1, 0), 2.0f);
  EXPECT_EQ(su(1, 1), -1.0f);
  EXPECT_EQ(su(3, 5), 2.0f);
  EXPECT_EQ(su(5, 5), 0.0f);
  EXPECT_EQ(su(0, 4), FILL_VALUE);
  EXPECT_EQ(su(6, 6), FILL_VALUE);
  EXPECT_EQ(str(substitution_table_text()), example);

  struct Case {
    const char* text;
    TableError want;
  } cases[] = {
      {"a c g t: 1 2 3 4 5 6 7 8 9 10", TableError::none},
      {"A-B-C: 1 2 3 4 5 6", TableError::none},
      {"A: 7", TableError::none},
      {":", TableError::none},
      {": \n ;", TableError::none},
      {"A B: 1. 2 3", TableError::none},
      {"A B: 1-2 3", TableError::none},  // "1-2" is two values
      {"A B A: 1 2 3 4 5 6", TableError::headline},
      {"A B 1 2 3", TableError::headline},
      {"A B\n: 1 2 3", TableError::headline},
      {"A B.: 1 2 3", TableError::headline},
      {"", TableError::headline},
      {"A B: 1 2", TableError::data_lines},
      {"A B: 1 2 .5", TableError::data_lines},
      {"A B: 1 x 3", TableError::data_lines},
      {"A: -", TableError::data_lines},   // a lone sign is no number
      {"A: 1e", TableError::data_lines},  // nor an exponent without digits
      {"A B: 1 - 3", TableError::data_lines},
      {"A: 1e39", TableError::data_lines},  // beyond single precision
      {"A: 1 2", TableError::too_long},
      {"A: 1x", TableError::too_long},
      {"A: 1\t", TableError::too_long},
  };
  for (const Case& c : cases) {
    cost_reset();
    EXPECT_EQ(read_substitution_table(c.text), c.want) << c.text;
  }

  cost_reset();
  ASSERT_EQ(read_substitution_table("a c g t: 1 2 3 4 5 6 7 8 9 10"), TableError::none);
  EXPECT_EQ(su('T' - 'A', 'T' - 'A'), 10.0f);
  EXPECT_EQ(su('C' - 'A', 'G' - 'A'), 6.0f);
  ASSERT_EQ(read_substitution_table("A B: 1. 2 3"), TableError::none);
  EXPECT_EQ(su(0, 0), 1.0f);
  EXPECT_EQ(su(0, 1), 2.0f);
  ASSERT_EQ(read_substitution_table("A B: 1-2 3"), TableError::none);
  EXPECT_EQ(su(0, 1), -2.0f);
  // An empty header reads, and every pair is then missing.
  ASSERT_EQ(read_substitution_table(":"), TableError::none);
  EXPECT_EQ(pair_score('A', 'A'), FILL_VALUE);
  EXPECT_EQ(sub_t, 1);

  EXPECT_EQ(str(table_error_text(TableError::headline)), "Error in subst.-table: headline !");
  EXPECT_EQ(str(table_error_text(TableError::data_lines)), "Error in subst.-table: data line(s) !");
  EXPECT_EQ(str(table_error_text(TableError::too_long)), "Error in subst.-table: too long !");

  // The alphabet of the two sequences, as a header line without its ':'.
  seq1 = "GATTACA";
  seq2 = "CAT";
  EXPECT_EQ(str(sequence_alphabet_text()), "\n A C G T\n");
  seq1 = "Z";
  seq2 = "a-?";
  EXPECT_EQ(str(sequence_alphabet_text()), "\n Z\n");
  seq1 = "";
  seq2 = "";
  EXPECT_EQ(str(sequence_alphabet_text()), "");
}

}  // namespace
