// The own gap cost formula: its check, its tokenized form and its value.
#include "cost/own.h"

#include <cstring>

namespace {

// The formula as the tokenizer sees it: variable 'y', power '&', function
// names replaced by their codes.
String prepared(const String& formula) {
  String s(formula);
  s.xchange("k", "y");
  s.xchange("^", "&");
  s.set_token();
  return s;
}

bool is_exponent(char c) { return c == 'e' || c == 'E'; }

// Number of number tokens the tokenizer makes of a prepared formula: a run
// of digits, 'e', 'E', blanks and '.' (and the character after an 'e' or
// 'E') is one number. The closing ')' the tokenizer appends ends the last run.
int count_numbers(const String& s) {
  int count = 0;
  bool collecting = false;
  char prev = '(';
  for (int i = 0; i <= s.len; ++i) {
    char ch = i < s.len ? s.Str[i] : ')';
    bool number_char = (ch >= '0' && ch <= '9') || is_exponent(ch) || ch == ' ' || ch == '.' ||
                       is_exponent(prev);
    if (number_char) {
      collecting = true;
    } else if (collecting) {
      ++count;
      collecting = false;
    }
    prev = ch;
  }
  return count;
}

// Characters a user may write in a formula: digits, letters (function names,
// 'k' and the exponent), blanks, the point and + - * / ^ ( ). Everything else
// is refused before the check: control characters would be taken for the
// evaluator's internal codes, and '%' (its unary minus), '&' (its power) or
// '=' would be read in a meaning the user never wrote.
bool formula_characters(const String& s) {
  for (int i = 0; i < s.len; ++i) {
    const char c = s.Str[i];
    const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    std::strchr(" .+-*/^()", c) != nullptr;
    if (!ok || c == 0) return false;
  }
  return true;
}

// Every function name is directly followed by '(' in the formula as the
// engines evaluate it (the variable is not yet a parenthesised constant
// there, so "sqrtk" is no call of sqrt).
bool calls_have_parentheses(const String& prepared_formula) {
  for (int i = 0; i < prepared_formula.len; ++i) {
    const unsigned char c = (unsigned char)prepared_formula.Str[i];
    if (c >= 14 && c < 14 + menge && (i + 1 >= prepared_formula.len || prepared_formula.Str[i + 1] != '('))
      return false;
  }
  return true;
}

// A quiet "not a number" that raises the invalid-operation flag, so that the
// caller's floating-point check reports it.
double invalid_value() {
  volatile double zero = 0.0;
  return zero / zero;
}

}  // namespace

int own_number_count(const String& formula) { return count_numbers(prepared(formula)); }

String own_check_copy(const String& formula) {
  String s(formula);
  s.xchange("k", "(1)");
  s.xchange("&", "=");
  s.xchange("^", "&");
  return s;
}

bool own_formula_ok(const String& formula) {
  if (!formula_characters(formula)) return false;
  if (!calls_have_parentheses(prepared(formula))) return false;
  String check = own_check_copy(formula);
  check.valf();
  if (valf_err() != 0) return false;
  return own_number_count(formula) <= OWN_MAX_NUMBERS;
}

void compress_function() {
  // Only a formula the evaluator has accepted may be tokenized: the fast
  // evaluation does no checks of its own, and the number table is bounded.
  if (!own_formula_ok(own_func)) {
    own_func_s = String();
    return;
  }
  own_func_s = prepared(own_func);
  own_func_s.scann();
}

double ownfunction(int k) {
  if (own_func_s.len < 1) return invalid_value();  // no usable formula in force
  return own_func_s.valf_scann_y(double(k));
}
