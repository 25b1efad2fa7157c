#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "text/strings.h"

namespace {

class Evaluator : public ::testing::Test {
 protected:
  void TearDown() override { text_reset(); }
};

double eval(const std::string& f) { return String(f.c_str()).valf(); }

double tokenized(const std::string& f, double y) {
  String s(f.c_str());
  s.set_token();
  s.scann();
  return s.valf_scann_y(y);
}

TEST_F(Evaluator, ExamplesAndErrorCodes) {
  EXPECT_DOUBLE_EQ(eval("2+3*log((1))"), 2.0);
  EXPECT_EQ(valf_err(), 0);
  EXPECT_DOUBLE_EQ(tokenized("2+3*log(y)", 100), 8.0);
  EXPECT_DOUBLE_EQ(eval("2&3&2"), 512.0);
  EXPECT_DOUBLE_EQ(eval("-2&2"), -4.0);
  EXPECT_DOUBLE_EQ(eval("2*-3"), -6.0);
  EXPECT_DOUBLE_EQ(eval("--2"), 2.0);
  EXPECT_DOUBLE_EQ(eval("2--3"), 5.0);
  EXPECT_DOUBLE_EQ(eval("8/4/2-3-4"), -6.0);
  EXPECT_DOUBLE_EQ(eval("ln(exp(2))"), 2.0);
  EXPECT_DOUBLE_EQ(eval("log(1000)"), 3.0);
  EXPECT_DOUBLE_EQ(eval("1e-5"), 1e-5);
  EXPECT_DOUBLE_EQ(eval("1E-5"), 1e-5);  // one rule for the exponent letter in either case
  EXPECT_DOUBLE_EQ(eval("2*1E+2"), 200.0);
  EXPECT_DOUBLE_EQ(eval(" 12+ 3"), 15.0);  // blanks in front of digits belong to the number

  struct Case {
    const char* f;
    int err;
  } cases[] = {
      {"2(1)", 3}, {"(2)(3)", 1}, {"2+*3", 1}, {"+2", 1}, {"()", 1},      {"sin 1", 1},
      {"1E-", 1},  {"sin-2", 1},  {"sinsin(1)", 1}, {"2=3", 1}, {"", 1}, {"1)", 3},
      {"(1", 3},   {"1)+2", 3},   {"2 +1", 1}, {"1.+2", 1},  {"x", 1},     {"1,2", 1},
      {"2)(", 1},  {"log(10)2", 3}, {"$(1)", 1}, {"\x80", 1}, {"1e", 3}, {"k", 1},
      // A power without its left operand, text after the parenthesis that
      // closes the whole formula, a number that swallowed the closing ')'.
      {"&2", 1},   {"2+&3", 1},   {"-&2", 1},  {"(&2)", 1},  {"&(1)1e-1", 1}, {"32)&0.5", 3},
      {"1)2", 3},  {"11)e", 3},   {"(2)e", 3}, {"1)(", 1},   {"sin2", 1},
  };
  for (const Case& c : cases) {
    double v = eval(c.f);
    EXPECT_EQ(valf_err(), c.err) << "'" << c.f << "'";
    if (c.err != 3) {
      EXPECT_EQ(v, 0.0) << c.f;
    }
  }

  // The untokenized variable evaluator and the tokenized one agree.
  EXPECT_DOUBLE_EQ(String("2*y+1").valf_y(3), 7.0);
  EXPECT_DOUBLE_EQ(tokenized("sqrt(y)&-1", 16), 0.25);
  EXPECT_DOUBLE_EQ(tokenized("-y-1e-1*-y", 2), -1.8);
  EXPECT_DOUBLE_EQ(eval("1.5E1*2"), 30.0);  // accepted by the check, so tokenized alike
  EXPECT_DOUBLE_EQ(tokenized("1.5E1*y", 2), 30.0);
  // A tokenized text it cannot evaluate gives NaN, never a number that
  // could pass for a value (a function code without its group, a power
  // without its second operand, a stray letter, an unclosed group).
  for (const char* f : {"sin y", "y&", "2y", "(y"}) {
    String s(f);
    s.set_token();
    s.scann();
    EXPECT_TRUE(std::isnan(s.valf_scann_y(4))) << f;
  }
  EXPECT_TRUE(std::isnan(String("\x1fy\x1a").valf_scann_y(1)));
  // Tokenizing twice changes nothing.
  String t("1.5+y");
  t.set_token();
  t.scann();
  String again(t);
  t.set_token();
  t.scann();
  EXPECT_TRUE(t == again);
}

std::string repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

TEST_F(Evaluator, StackAndNumberLimits) {
  // 80 operators fit (the opening parenthesis counted), the 81st does not.
  EXPECT_DOUBLE_EQ(eval(repeat("(", 79) + "4" + repeat(")", 79)), 4.0);
  EXPECT_EQ(valf_err(), 0);
  eval(repeat("(", 80) + "4" + repeat(")", 80));
  EXPECT_EQ(valf_err(), 2);
  eval(repeat("(", 100000));
  EXPECT_EQ(valf_err(), 2);
  // Powers stack every value: 80 values fit, 81 do not.
  EXPECT_DOUBLE_EQ(eval(repeat("1&", 79) + "1"), 1.0);
  EXPECT_EQ(valf_err(), 0);
  eval(repeat("1&", 80) + "1");
  EXPECT_EQ(valf_err(), 2);
  // The number table holds 98 numbers.
  std::string f98 = repeat("1+", 97) + "1";
  EXPECT_DOUBLE_EQ(eval(f98), 98.0);
  EXPECT_EQ(valf_err(), 0);
  EXPECT_DOUBLE_EQ(tokenized(f98 + "+y-y", 5), 98.0);
  eval(f98 + "+1");
  EXPECT_EQ(valf_err(), 2);
  // Tokenizing more numbers than the table holds is reported, and the
  // formula then evaluates to NaN instead of a wrong value.
  String over((f98 + "+1").c_str());
  over.set_token();
  String::math_e = 0;
  over.scann();
  EXPECT_EQ(valf_err(), 2);
  EXPECT_TRUE(std::isnan(over.valf_scann_y(1)));
}

// Random formulas from the grammar
//   expr := term (('+'|'-') term)*      term := factor (('*'|'/') factor)*
//   factor := '-' factor | power        power := primary ['&' factor]
//   primary := number | y | '(' expr ')' | name '(' expr ')'
// built together with their value.
struct Generated {
  std::string text;
  double value;
};

class FormulaGen {
 public:
  FormulaGen(unsigned seed, double y) : rng_(seed), y_(y) {}
  Generated expr(int d) {
    Generated g = term(d);
    for (int k = rng_() % 3; k > 0; --k) {
      bool plus = rng_() % 2;
      Generated t = term(d);
      g.text += (plus ? "+" : "-") + t.text;
      g.value = plus ? g.value + t.value : g.value - t.value;
    }
    return g;
  }

 private:
  Generated term(int d) {
    Generated g = factor(d);
    for (int k = rng_() % 3; k > 0; --k) {
      bool mul = rng_() % 2;
      Generated t = factor(d);
      g.text += (mul ? "*" : "/") + t.text;
      g.value = mul ? g.value * t.value : g.value / t.value;
    }
    return g;
  }
  Generated factor(int d) {
    if (rng_() % 5 == 0) {
      Generated g = factor(d + 1);
      return {"-" + g.text, -g.value};
    }
    Generated base = primary(d);
    if (rng_() % 5 == 0) {
      Generated e = factor(d + 1);
      return {base.text + "&" + e.text, std::pow(base.value, e.value)};
    }
    return base;
  }
  Generated primary(int d) {
    int c = d >= 3 ? rng_() % 2 : rng_() % 4;
    if (c == 0) {
      static const char* const forms[] = {"%d", "%d.%d", "%de-%d", " %d", "%de%d", "%d.%dE1"};
      char buf[32];
      std::snprintf(buf, sizeof buf, forms[rng_() % 6], (int)(rng_() % 20), (int)(rng_() % 3));
      return {buf, std::strtod(buf, nullptr)};
    }
    if (c == 1) return {"y", y_};
    Generated in = expr(d + 1);
    if (c == 2) return {"(" + in.text + ")", in.value};
    int f = rng_() % menge;
    return {std::string(mathefkt_names[f]) + "(" + in.text + ")", mf[f](in.value)};
  }
  std::mt19937 rng_;
  double y_;
};

bool close(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b))); }

TEST_F(Evaluator, GeneratedFormulasMatchDirectEvaluation) {
  int compared = 0;
  for (unsigned seed = 1; seed <= 2500; ++seed) {
    int yi = 1 + seed % 30;
    FormulaGen gen(seed, yi);
    Generated g = gen.expr(0);
    if (!std::isfinite(g.value) || g.text.size() > 160) continue;  // short: within the stacks
    // Checked path: the variable replaced by a parenthesised constant.
    std::string check;
    for (char c : g.text) check += c == 'y' ? "(" + std::to_string(yi) + ")" : std::string(1, c);
    double v = eval(check);
    ASSERT_EQ(valf_err(), 0) << g.text;
    ASSERT_TRUE(close(v, g.value)) << g.text << " " << v << " vs " << g.value;
    ASSERT_TRUE(close(tokenized(g.text, yi), g.value)) << g.text;
    ASSERT_TRUE(close(String(g.text.c_str()).valf_y(yi), g.value)) << g.text;
    ++compared;
  }
  EXPECT_GT(compared, 500);
}

// Arbitrary bytes, long texts and deep nesting through every entry point:
// nothing may crash or write outside the stacks (the sanitizer build checks).
TEST_F(Evaluator, AdversarialInputNeverCrashes) {
  std::mt19937 rng(31337);
  const std::string alphabet = "0123456789..ee()()+-*/&%y y sincoslogtanabsqrtexpln\x7f\x1f\x0e\x1b,=E";
  auto run = [](const String& f) {
    String a(f);
    a.valf();
    int e = valf_err();
    ASSERT_TRUE(e >= 0 && e <= 3);
    a.valf_y(1.5);
    a.set_token();
    a.scann();
    a.valf_scann_y(2.0);
    String b(f);  // already containing tokens or markers
    b.scann();
    b.valf_scann_y(-1.0);
  };
  for (int i = 0; i < 3000; ++i) {
    int n = rng() % 120;
    String f(n);
    for (int k = 0; k < n; ++k)
      f.Str[k] = (i % 2) ? (char)(rng() % 256) : alphabet[rng() % alphabet.size()];
    run(f);
  }
  const std::string big[] = {
      std::string(100000, '('), std::string(100000, '-') + "1", repeat("1+", 50000) + "1",
      repeat("sin(", 25000), std::string(100000, '7'), repeat("1&", 50000),
      repeat("(1)", 33000), repeat("\x7f\xff", 50000), repeat("y*", 50000) + "y",
  };
  for (const std::string& b : big) run(String(b.c_str()));
  std::string noise(100000, ' ');
  for (char& c : noise) c = alphabet[rng() % alphabet.size()];
  run(String(noise.c_str()));
}

}  // namespace
