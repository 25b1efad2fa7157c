// Arbitrary and hostile texts for the cost description and table readers:
// nothing crashes, and the cost model stays consistent after every read.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "state/state.h"

namespace {

struct Snapshot {
  signed char func, func_c;
  double p[12];
  std::string own, own_m, own_s, subst;
  std::vector<float> su_values;

  Snapshot()
      : func(::func), func_c(::func_c),
        p{aa, bb, cc, dd, am, bm, cm, dm, sub, mat, subm, matm},
        own(own_func.Str, size_t(own_func.len)),
        own_m(own_funcm.Str, size_t(own_funcm.len)),
        own_s(own_func_s.Str, size_t(own_func_s.len)),
        subst(::subst.Str, size_t(::subst.len)) {
    for (uint32_t x = 0; x < 26; ++x)
      for (uint32_t y = 0; y < 26; ++y) su_values.push_back(su(x, y));
  }
  bool operator==(const Snapshot& o) const {
    return func == o.func && func_c == o.func_c && std::memcmp(p, o.p, sizeof p) == 0 &&
           own == o.own && own_m == o.own_m && own_s == o.own_s && subst == o.subst &&
           su_values == o.su_values;
  }
};

// What must hold whatever the readers were given.
void expect_consistent(const std::string& input) {
  ASSERT_GE(func, 0) << input;
  ASSERT_LE(func, 8) << input;
  ASSERT_GE(func_c, 0) << input;
  ASSERT_LE(func_c, 8) << input;
  for (double v : {aa, bb, cc, dd}) ASSERT_TRUE(std::isfinite(v)) << input;
  ASSERT_EQ(aa, am);
  ASSERT_EQ(bb, bm);
  ASSERT_EQ(cc, cm);
  ASSERT_EQ(dd, dm);
  ASSERT_EQ(sub, subm);
  ASSERT_EQ(mat, matm);
  ASSERT_TRUE(std::isfinite(float(sub)) && std::isfinite(float(mat))) << input;
  if (own_func.len > 0) {
    ASSERT_LE(own_func.len, 80) << input;
    ASSERT_TRUE(own_formula_ok(own_func)) << input;
    ASSERT_GT(own_func_s.len, 0) << input;
  }
  if (subst.len > 0) {
    ASSERT_EQ(subst.Str[subst.len - 1], ',');
  }
  fp_err_clear();
  for (int k = 0; k <= 3; ++k) gap_cost(k);  // may fault, must not crash
  fp_err_clear();
}

std::string pick(std::mt19937& rng, const std::vector<std::string>& v) {
  return v[rng() % v.size()];
}

std::string random_cost_text(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {
      "cost=", "a=", "b=", "c=", "d=", "subst.=", "subst=", "match=", "table", "k", "^", "&",
      "(", ")", "+", "-", "*", "/", "e", "E", ".", ",", ";", "\n", "\r", " ", "\t", "log(",
      "ln(", "exp(", "sqrt(", "abs(", "atan(", "acos(", "asin(", "sinh(", "cosh(", "tanh(",
      "tan(", "sin(", "cos(", "1", "0", "2.5", "-4999", "5000", "1e999", "1e-400", "y",
      "a+b*k", "a+b*log(c+d*k)", "a+b*sqrt(c+d*k)", std::string(1, '\0'), "\x7f", "\x1f",
      "\x11", "\xff"};
  std::string t;
  switch (rng() % 6) {
    case 0: {  // arbitrary bytes
      size_t len = rng() % 300;
      for (size_t i = 0; i < len; ++i) t.push_back(char(rng() % 256));
      break;
    }
    case 1: {  // deep nesting in the formula
      int depth = int(rng() % 200);
      t = "cost=" + std::string(size_t(depth), '(') + "k" + std::string(rng() % 220, ')');
      break;
    }
    case 2: {  // many numbers, many operators
      t = "cost=";
      int count = int(rng() % 120);
      for (int i = 0; i < count; ++i) t += std::to_string(rng() % 10) + pick(rng, {"+", "*", "^", "-", "/", "--"});
      t += "k, a=" + std::to_string(rng() % 100);
      break;
    }
    case 3: {  // a very long text
      size_t len = 20000 + rng() % 60000;
      for (size_t i = 0; i < len; ++i) t.push_back(" 0123456789k+-*^(),;\n.e"[rng() % 24]);
      if (rng() % 2) t.insert(rng() % t.size(), "cost=");
      t.insert(rng() % t.size(), "a=");
      break;
    }
    default: {  // keyword soup
      int count = int(rng() % 40);
      for (int i = 0; i < count; ++i) t += pick(rng, pieces);
    }
  }
  return t;
}

std::string random_table_text(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {
      "A", "c", "G", "t", "z", " ", ",", ";", "-", ":", "\n", "\r", "1", "-2", "3.", ".5", "1e",
      "1e-3", "+", "e", "1e39", "7.25", "x", "\t", std::string(1, '\0'), "\xfe"};
  std::string t;
  switch (rng() % 4) {
    case 0: {
      size_t len = rng() % 400;
      for (size_t i = 0; i < len; ++i) t.push_back(char(rng() % 256));
      break;
    }
    case 1: {  // a full header and a long run of values
      t = "ABCDEFGHIJKLMNOPQRSTUVWXYZ:";
      size_t values = rng() % 400;
      for (size_t i = 0; i < values; ++i) t += " " + std::to_string(int(rng() % 2001) - 1000);
      break;
    }
    case 2: {  // one enormous number
      t = "A:" + std::string(1 + rng() % 50000, char('0' + rng() % 10)) + pick(rng, {"", ".", "e", "e5", "x"});
      break;
    }
    default: {
      int count = int(rng() % 80);
      for (int i = 0; i < count; ++i) t += pick(rng, pieces);
    }
  }
  return t;
}

TEST(CostFuzz, HostileTextsNeverBreakTheModel) {
  cost_reset();
  state_reset();
  std::mt19937 rng(20261208);
  const auto start = std::chrono::steady_clock::now();
  int rounds = 0;
  while (rounds < 20000 && std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
    ++rounds;
    std::string t = random_cost_text(rng);
    String text(int(t.size()));
    if (!t.empty()) std::memcpy(text.Str, t.data(), t.size());
    Snapshot before;
    CostReadResult r = read_cost_description(text);
    if (r.notice == CostNotice::syntax_error) {
      // A rejected formula changes nothing.
      ASSERT_TRUE(Snapshot() == before) << t;
      ASSERT_EQ(r.mistakes, 0);
    }
    ASSERT_EQ(r.notice == CostNotice::mistakes, r.mistakes > 0);
    ASSERT_LE(r.mistakes, 6);
    expect_consistent(t);

    t = random_table_text(rng);
    String table(int(t.size()));
    if (!t.empty()) std::memcpy(table.Str, t.data(), t.size());
    Snapshot tbefore;
    TableError e = read_substitution_table(table);
    if (e != TableError::none) {
      ASSERT_TRUE(Snapshot() == tbefore) << t;
    } else {
      ASSERT_EQ(sub, TABLE_MARKER);
      ASSERT_EQ(std::string(subst.Str, size_t(subst.len)), t + ",");
    }
    expect_consistent(t);
    // Put the scores back now and then so that later reads start from numbers.
    if (rounds % 7 == 0) {
      sub = subm = 2;
      mat = matm = 0;
    }
  }
  EXPECT_GT(rounds, 200);
  cost_reset();
  state_reset();
}

}  // namespace
