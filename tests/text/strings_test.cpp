#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "text/strings.h"

namespace {

std::string win(const SubString& w) { return std::string(String(w).c_str()); }
std::string str(const String& s) { return std::string(s.c_str(), (size_t)s.length()); }

TEST(StringWindows, ClippingAndTextWindows) {
  String s("abcde");
  EXPECT_EQ(win(s(3, 100)), "cde");
  EXPECT_EQ(win(s(6, 9)), "");
  EXPECT_EQ(win(s[0]), "a");
  EXPECT_EQ(win(s(4, 2)), "d");
  EXPECT_EQ(win(s(0, 2)), "abc");  // a < 1 keeps the start, the length is b - a + 1
  String three("xyz");
  EXPECT_EQ(win(three(2, 1)), "y");
  // Extreme positions never reach outside the text.
  for (int a : {INT_MIN, -7, 0, 1, 3, 5, 6, INT_MAX})
    for (int b : {INT_MIN, -1, 0, 1, 4, 5, 9, INT_MAX}) {
      SubString w = s(a, b);
      EXPECT_TRUE(w.length() == 0 || (w.start >= 1 && w.end <= 5)) << a << "," << b;
      SubString n = w(a, b);
      EXPECT_TRUE(n.length() == 0 || (n.start >= w.start && n.end <= w.end)) << a << "," << b;
    }
  String empty;
  EXPECT_EQ(empty[1].to_char(), 0);

  // Windows of windows use positions relative to the window.
  SubString mid = s(2, 4);  // bcd
  EXPECT_EQ(win(mid(2, 9)), "cd");
  EXPECT_EQ(mid[4].to_char(), 0);

  String cost("gap: cost=a+b*k; sub=2");
  EXPECT_EQ(win(cost("cost=", 15)), "a+b*k");
  EXPECT_EQ(win(cost("cost=", 5)), "");
  EXPECT_EQ(win(cost("cost=", String(";"))), "a+b*k");
  EXPECT_EQ(win(cost("sub=", String(";"))), "2");
  // b must start at least two characters after a's end.
  String ab("a=;b;");
  EXPECT_EQ(win(ab("=", String(";"))), ";b");
  EXPECT_EQ(win(cost(6, String(";"))), "cost=a+b*k");
  EXPECT_EQ(win(cost(6, String("#"))), "cost=a+b*k; sub=2");
  EXPECT_EQ(win(cost[String("b*k")]), "b*k");
  EXPECT_EQ(cost[String("")].length(), 0);
  String tail("x=");
  EXPECT_EQ(tail("=", String(";")).length(), 0);

  // Writing through windows.
  String w("hello world");
  w(1, 5) = String("HI");
  EXPECT_EQ(str(w), "HI world");
  w[3] += String("--");  // before the window's last character
  EXPECT_EQ(str(w), "HI-- world");
  w(1, 2) = w;  // the string itself as the new text
  EXPECT_EQ(str(w), "HI-- world-- world");
  // A window taken before its string shrank stays inside the string.
  String shrink("abcdef");
  SubString old = shrink(3, 6);
  shrink = String("ab");
  EXPECT_EQ(win(old), "");
  EXPECT_EQ(old.to_char(), 0);
}

TEST(StringEditing, ConversionsSearchAndEdits) {
  EXPECT_EQ(String(" x").is_in(String("x")), 2);
  EXPECT_EQ(String("# cost=1").is_in(String("cost=")), 3);
  EXPECT_EQ(String("ab").is_in(String("abc")), 0);

  String f("a+b*k");
  f.xchange(String("k"), String("(1)"));
  EXPECT_EQ(str(f), "a+b*(1)");
  String aa("aa");
  aa.xchange(String("a"), String("aa"));
  EXPECT_EQ(str(aa), "aaaa");
  String same("abab");
  same.xchange(String(""), String("x"));  // empty pattern: nothing
  EXPECT_EQ(str(same), "abab");
  String self("aXbX");
  self.xchange(String("X"), self);
  EXPECT_EQ(str(self), "aaXbXbaXbX");

  String blanks("a b c");
  blanks.delete_from(String(" "));
  EXPECT_EQ(str(blanks), "ab c");
  String pre("costs");
  pre -= String("cost");
  pre -= String("x");
  pre += pre;
  pre = pre;
  EXPECT_EQ(str(pre), "ss");
  pre.fill_with('-', -3);
  EXPECT_EQ(pre.length(), 0);
  EXPECT_EQ(String("99999999999999999999").to_int(), INT_MAX);

  // Input reads one word of at most 255 characters.
  std::istringstream in("  first " + std::string(300, 'z') + " last");
  String word;
  in >> word;
  EXPECT_EQ(str(word), "first");
  in >> word;
  EXPECT_EQ(word.length(), 255);
  in >> word;
  EXPECT_EQ(word.length(), 45);
  in >> word;
  EXPECT_EQ(str(word), "last");
}

TEST(StringNumbers, GrammarCases) {
  EXPECT_EQ(String("12").is_float(), 0);
  EXPECT_EQ(String(" -1.5e3").is_float(), 0);
  EXPECT_EQ(String("1.5,").is_float(), 4);
  EXPECT_EQ(String("12x").is_float(), 3);
  EXPECT_EQ(String("1.").is_float(), 3);
  EXPECT_EQ(String(".5").is_float(), 1);
  EXPECT_EQ(String("").is_float(), 1);
  EXPECT_EQ(String("1e").is_float(), 3);
  EXPECT_EQ(String("1.5 ").is_float(), 4);
  EXPECT_EQ(String("\xb5" "1").is_float(), 1);
  EXPECT_EQ(String("1\xff").is_float(), 2);
  EXPECT_EQ(String("42").is_integer(), 0);
  EXPECT_EQ(String("4 2").is_integer(), 2);
  EXPECT_EQ(String("-").is_integer(), 2);
  EXPECT_EQ(String("7.0").is_integer(), 2);
  EXPECT_EQ(String("\x80").is_integer(), 1);
}

// The first position that does not fit is the length of the longest prefix
// that can still grow into a number, plus one.
int expected_is_float(const std::string& t) {
  static const std::regex full(" *[+-]?[0-9]+(\\.[0-9]+)?([eE][+-]?[0-9]+)?");
  static const std::regex viable(" *([+-]?|[+-]?[0-9]+(\\.[0-9]*)?|[+-]?[0-9]+(\\.[0-9]+)?[eE][+-]?[0-9]*)");
  for (size_t k = 1; k <= t.size(); ++k)
    if (!std::regex_match(t.substr(0, k), viable)) return (int)k;
  return std::regex_match(t, full) ? 0 : (int)t.size() + 1;
}

TEST(StringNumbers, IsFloatMatchesGrammarOnGeneratedTexts) {
  std::mt19937 rng(4242);
  const std::string pieces[] = {"0", "1", "7", "42", "+", "-", ".", "e", "E", " ", "x", ",", "9e", "1.5"};
  for (int i = 0; i < 3000; ++i) {
    std::string t;
    int n = rng() % 7;
    for (int k = 0; k < n; ++k) t += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
    ASSERT_EQ(String(t.c_str()).is_float(), expected_is_float(t)) << "'" << t << "'";
    // Every accepted text converts like strtod.
    if (String(t.c_str()).is_float() == 0) {
      ASSERT_EQ(String(t.c_str()).to_double(), std::strtod(t.c_str(), nullptr));
    }
  }
}

TEST(StringNumbers, WithDoubleWritesWhatGcvtWrites) {
  String s;
  EXPECT_EQ(str(s.with_double(0.5, 10)), "0.5");
  EXPECT_EQ(str(s.with_double(2, 10)), "2");
  EXPECT_EQ(str(s.with_double(0, 10)), "0");
  EXPECT_EQ(str(s.with_double(-0.0, 10)), "0");
  EXPECT_EQ(str(s.with_double(1234567, 3)), "1.23e+06");
  std::mt19937_64 rng(2024);
  std::uniform_real_distribution<double> mant(-10.0, 10.0);
  char buf[64];
  for (int i = 0; i < 5000; ++i) {
    double d;
    switch (i % 4) {
      case 0: d = mant(rng) * std::pow(10.0, (int)(rng() % 40) - 20); break;
      case 1: d = (double)((int64_t)(rng() % 2000001) - 1000000); break;
      case 2: d = (double)(rng() % 1000) / 8.0; break;
      default: d = mant(rng) * std::pow(10.0, (int)(rng() % 600) - 300); break;
    }
    int n = (int)(rng() % 22) - 2;
    if (d == 0) continue;
    ASSERT_EQ(str(s.with_double(d, n)), std::string(gcvt(d, n, buf))) << d << " " << n;
  }
  for (double d : {1e308, -1e-308, 5e-324, (double)INFINITY, -(double)INFINITY})
    for (int n : {1, 3, 5, 10, 17, 30}) ASSERT_EQ(str(s.with_double(d, n)), std::string(gcvt(d, n, buf)));
}

}  // namespace
