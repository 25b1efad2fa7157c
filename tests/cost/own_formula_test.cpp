// The check of an own gap cost formula against an independent reading of
// the formula language: whatever the check accepts evaluates, in its
// tokenized form, to what a recursive-descent reading of the same text
// gives, and whatever that reading refuses the check refuses too.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "cost/cost.h"
#include "cost/own.h"
#include "text/strings.h"

namespace {

// The formula language as a grammar, with the precedence the evaluator has
// always had (unary minus looser than '^', as tight as '*' and '/'):
//   expr    := term (('+' | '-') term)*
//   term    := factor (('*' | '/') factor)*
//   factor  := '-' factor | power
//   power   := primary ['^' factor]
//   primary := number | 'k' | '(' expr ')' | name '(' expr ')'
//   number  := ' '* digit+ ['.' digit+] [('e' | 'E') ['+' | '-'] digit+]
class Reference {
 public:
  Reference(const std::string& text, double k) : t_(text), k_(k) {}
  // True when the whole text is a formula; *value is then its value.
  bool read(double* value) {
    pos_ = 0;
    double v;
    if (!expr(&v) || pos_ != t_.size()) return false;
    *value = v;
    return true;
  }

 private:
  bool at(char c) const { return pos_ < t_.size() && t_[pos_] == c; }
  bool digit() const { return pos_ < t_.size() && t_[pos_] >= '0' && t_[pos_] <= '9'; }
  bool expr(double* v) {
    if (!term(v)) return false;
    while (at('+') || at('-')) {
      const char op = t_[pos_++];
      double r;
      if (!term(&r)) return false;
      *v = op == '+' ? *v + r : *v - r;
    }
    return true;
  }
  bool term(double* v) {
    if (!factor(v)) return false;
    while (at('*') || at('/')) {
      const char op = t_[pos_++];
      double r;
      if (!factor(&r)) return false;
      *v = op == '*' ? *v * r : *v / r;
    }
    return true;
  }
  bool factor(double* v) {
    if (at('-')) {
      ++pos_;
      if (!factor(v)) return false;
      *v = -*v;
      return true;
    }
    if (!primary(v)) return false;
    if (at('^')) {
      ++pos_;
      double e;
      if (!factor(&e)) return false;
      *v = std::pow(*v, e);
    }
    return true;
  }
  bool primary(double* v) {
    if (at('k')) {
      ++pos_;
      *v = k_;
      return true;
    }
    if (at('(')) {
      ++pos_;
      if (!expr(v) || !at(')')) return false;
      ++pos_;
      return true;
    }
    // The longest function name here, which must open its group at once.
    int best = -1;
    size_t best_len = 0;
    for (int i = 0; i < menge; ++i) {
      const size_t l = std::strlen(mathefkt_names[i]);
      if (l > best_len && t_.compare(pos_, l, mathefkt_names[i]) == 0) best = i, best_len = l;
    }
    if (best >= 0) {
      pos_ += best_len;
      if (!at('(')) return false;
      ++pos_;
      if (!expr(v) || !at(')')) return false;
      ++pos_;
      *v = mf[best](*v);
      return true;
    }
    return number(v);
  }
  bool number(double* v) {
    const size_t start = pos_;
    while (at(' ')) ++pos_;
    if (!digit()) return false;
    while (digit()) ++pos_;
    if (at('.')) {
      ++pos_;
      if (!digit()) return false;
      while (digit()) ++pos_;
    }
    if (at('e') || at('E')) {
      ++pos_;
      if (at('+') || at('-')) ++pos_;
      if (!digit()) return false;
      while (digit()) ++pos_;
    }
    *v = std::strtod(t_.substr(start, pos_ - start).c_str(), nullptr);
    return true;
  }

  const std::string t_;
  const double k_;
  size_t pos_ = 0;
};

// Formulas near the language: pieces of it strung together at random (most
// of them wrong), and grammatical ones with a few characters changed.
class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::string soup() {
    static const char* const pieces[] = {
        "k", "k", "1", "2.5", "0.5", "3", "1e-2", "1E2", "2E+1", "1e", "1.", ".5", "e", "E", "+",
        "-", "-", "*", "/", "^", "(", "(", ")", ")", " ", "sqrt", "log", "ln", "exp", "abs", "sin",
        "cos", "tan", "atan", "sinh", "asin", "tanh", "sqrt(", "log(", "%", "&", "=", "x", "K", "y"};
    std::string f;
    for (int i = 1 + int(rng_() % 9); i > 0; --i) f += pieces[rng_() % (sizeof pieces / sizeof *pieces)];
    return f;
  }

  std::string mutated() {
    std::string f = expr(0);
    static const char alphabet[] = "k0123456789.eE+-*/^() %&=sqrtlogn";
    for (int i = int(rng_() % 3); i > 0 && !f.empty(); --i) {
      const size_t p = rng_() % f.size();
      switch (rng_() % 3) {
        case 0: f.erase(p, 1); break;
        case 1: f.insert(p, 1, alphabet[rng_() % (sizeof alphabet - 1)]); break;
        default: f[p] = alphabet[rng_() % (sizeof alphabet - 1)];
      }
    }
    return f;
  }

 private:
  std::string expr(int d) {
    std::string f = factor(d);
    for (int i = int(rng_() % 3); i > 0; --i) f += std::string(1, "+-*/"[rng_() % 4]) + factor(d);
    return f;
  }
  std::string factor(int d) {
    std::string f = rng_() % 6 == 0 ? "-" : "";
    f += primary(d);
    if (rng_() % 6 == 0) f += "^" + (rng_() % 4 == 0 ? "-" + primary(d + 1) : primary(d + 1));
    return f;
  }
  std::string primary(int d) {
    switch (d >= 3 ? rng_() % 2 : rng_() % 4) {
      case 0: {
        static const char* const numbers[] = {"1", "2", "0.5", "3.25", "1e-1", "2E1", "1.5e+1", " 4", "10"};
        return numbers[rng_() % (sizeof numbers / sizeof *numbers)];
      }
      case 1: return "k";
      case 2: return "(" + expr(d + 1) + ")";
      default: return std::string(mathefkt_names[rng_() % menge]) + "(" + expr(d + 1) + ")";
    }
  }

  std::mt19937 rng_;
};

bool same_value(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (a == b) return true;
  return std::fabs(a - b) <= 1e-12 * std::fmax(std::fabs(a), std::fabs(b));
}

TEST(OwnFormula, CheckAndEvaluationAgreeWithAnIndependentReading) {
  Generator gen(4711);
  int accepted = 0, refused = 0;
  for (int round = 0; round < 12000; ++round) {
    const std::string f = round % 2 ? gen.soup() : gen.mutated();
    SCOPED_TRACE("'" + f + "'");
    double ref = 0;
    const bool grammatical = Reference(f, 1).read(&ref);
    const bool ok = own_formula_ok(String(f.c_str()));
    if (!grammatical) {
      ASSERT_FALSE(ok);
      ++refused;
      continue;
    }
    // Short formulas stay within the evaluator's stacks and number table.
    if (f.size() <= 80) {
      ASSERT_TRUE(ok);
    }
    if (!ok) continue;
    ++accepted;
    own_func = String(f.c_str());
    compress_function();
    for (int k : {1, 2, 3, 7, 100}) {
      ASSERT_TRUE(Reference(f, k).read(&ref));
      ASSERT_TRUE(same_value(ownfunction(k), ref)) << "k=" << k << ": " << ownfunction(k) << " vs " << ref;
    }
  }
  cost_reset();
  EXPECT_GT(accepted, 2000);
  EXPECT_GT(refused, 2000);
}

// The faults the independent reading found, each named once: a function
// name directly followed by k, operators the user does not write, a power
// without its left operand, unbalanced or trailing parentheses.
TEST(OwnFormula, RefusesWhatWouldEvaluateOtherwiseThanChecked) {
  for (const char* f : {"2+sqrtk", "3+logk", "lnk", "expk", "absk", "2+sqrt k", "sinhk*2", "%k+5",
                        "k&2", "k=2", "^k1e-1", "2+^k", "32)^0.5", "11)e", "k)", "(k", "k\t+1"}) {
    EXPECT_FALSE(own_formula_ok(f)) << f;
  }
  // 'E' is the exponent letter like 'e', in the check and in the evaluation.
  for (const char* f : {"1E-2*k", "1e-2*k", "1E2*k", "1.5E+1*k"}) {
    ASSERT_TRUE(own_formula_ok(f)) << f;
    own_func = f;
    compress_function();
    EXPECT_DOUBLE_EQ(ownfunction(2), 2 * std::strtod(f, nullptr)) << f;
  }
  cost_reset();
}

}  // namespace
