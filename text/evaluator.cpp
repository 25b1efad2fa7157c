// Formula evaluator: operator precedence over an operator stack
// (String::puffer, entries 1..80 above the tokenized marker at 0) and a value
// stack (z_stack, values 1..80).
//
// Internal formula language: numbers (digits, '.', 'e' or 'E', blanks), the binary
// operators + - * / and '&' (power), '%' (unary minus), parentheses, function
// codes 14..27, the marker 31 in front of a tokenized formula, number tokens
// (127 followed by 30 + i: merker[i]) and the variable 'y'.
//
// Common rule for an operator character ch: '(' , '%', '&' and function codes
// (everything not above '(') are pushed as they are; ')' and the binary
// operators first reduce while the top's priority is at least their own,
// and are then pushed (')' is not). Reducing '(' also applies the function
// whose code lies below it, and ends the reduction for this ch.
// So '^' binds tightest and groups from the right, unary minus binds like
// '*' and '/', and a function applies to the parenthesised group after it.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/strings.h"

namespace {

constexpr unsigned char MARKER = 31;
constexpr unsigned char NUMBER_TOKEN = 127;
constexpr unsigned char FIRST_CODE = 14;
constexpr unsigned char LAST_CODE = 14 + menge - 1;

inline bool is_code(unsigned char c) { return c >= FIRST_CODE && c <= LAST_CODE; }

// The exponent letter of a number, in either case: a '-' or '+' after it
// belongs to the number.
inline bool is_exponent(unsigned char c) { return c == 'e' || c == 'E'; }

// Function codes and every other character outside the table rank above all
// operators, so that reducing them is reported.
inline int prio(unsigned char c) { return (c >= 37 && c <= 47) ? priority[c - 37] : 10; }

inline unsigned char op_at(int i) { return (unsigned char)String::puffer[i]; }

inline void start_stacks(int& zt, int& ot) {
  String::puffer[0] = (char)MARKER;
  String::puffer[1] = '(';
  ot = 1;
  zt = 0;
}

// Applies the common rule to the operator character ch. The caller has made
// sure that a push fits (ot < EVAL_DEPTH unless ch is ')'). Returns 0, 1 for an
// operator that cannot be reduced, or 3 for a missing value.
int apply(unsigned char ch, int& zt, int& ot) {
  if (ch <= '(') {
    String::puffer[++ot] = (char)ch;
    return 0;
  }
  int p = prio(ch);
  while (ot > 0 && prio(op_at(ot)) >= p) {
    unsigned char c = op_at(ot);
    if (c == '(') {
      --ot;
      if (ot > 0 && is_code(op_at(ot))) {
        if (zt < 1) return 3;
        z_stack[zt] = mf[op_at(ot) - FIRST_CODE](z_stack[zt]);
        --ot;
      }
      break;
    }
    if (c == '%') {
      if (zt < 1) return 3;
      z_stack[zt] = -z_stack[zt];
      --ot;
      continue;
    }
    if (c != '+' && c != '-' && c != '*' && c != '/' && c != '&') return 1;
    if (zt < 2) return 3;
    double a = z_stack[zt - 1], b = z_stack[zt];
    double r;
    switch (c) {
      case '+': r = a + b; break;
      case '-': r = a - b; break;
      case '*': r = a * b; break;
      case '/': r = a / b; break;
      default: r = std::pow(a, b); break;
    }
    z_stack[--zt] = r;
    --ot;
  }
  if (ch != ')') String::puffer[++ot] = (char)ch;
  return 0;
}

// Replaces every function name by its code, in table order, so that a name
// containing a shorter one is replaced first.
void names_to_codes(std::string& t) {
  for (int i = 0; i < menge; ++i) {
    const char* name = mathefkt_names[i];
    size_t nl = std::strlen(name);
    size_t p = t.find(name);
    if (p == std::string::npos) continue;
    std::string out;
    out.reserve(t.size());
    size_t from = 0;
    for (; p != std::string::npos; p = t.find(name, from)) {
      out.append(t, from, p - from);
      out += (char)(FIRST_CODE + i);
      from = p + nl;
    }
    out.append(t, from, std::string::npos);
    t.swap(out);
  }
}

// The checked scan shared by valf and valf_y. `copy` is the formula with ')'
// appended. With `with_y`, 'y' is a value (y); otherwise it is an ordinary
// letter and so part of a (then invalid) number. Returns the value and sets
// err to the error code.
double checked_eval(const std::string& copy, size_t pos, bool with_y, double y, int& err) {
  err = 0;
  int zt, ot;
  start_stacks(zt, ot);
  unsigned char prev = '(';
  long num_start = -1;
  int numbers = 0;
  const char* text = copy.c_str();
  for (; pos < copy.size(); ++pos) {
    unsigned char ch = (unsigned char)copy[pos];
    if (with_y && ch == 'y' && !is_exponent(prev)) {
      if (zt >= EVAL_DEPTH) return err = 2, 0.0;
      z_stack[++zt] = y;
      prev = ch;
      continue;
    }
    if (ch >= '0' || ch == ' ' || ch == '.' || is_exponent(prev)) {
      if (num_start < 0) num_start = (long)pos;
      prev = ch;
      continue;
    }
    // ch is an operator character.
    if (prev < '0') {
      if (prev == ')') {
        if (ch == '(') return err = 1, 0.0;
      } else if (ch == '-') {
        ch = '%';
      } else if (ch > '(' || ch == '&') {
        // a binary operator (the power too) without its left operand
        return err = 1, 0.0;
      }
    }
    // A function applies to the parenthesised group directly after its name.
    if (is_code(ch) && (pos + 1 >= copy.size() || copy[pos + 1] != '(')) return err = 1, 0.0;
    if (num_start >= 0) {
      if (zt >= EVAL_DEPTH || numbers >= EVAL_NUMBERS) return err = 2, 0.0;
      if (text_is_float(text + num_start, (int)(pos - num_start)) != 0) return err = 1, 0.0;
      // The number text is followed by an operator character, which ends
      // the conversion exactly where the validated text ends.
      z_stack[++zt] = std::strtod(text + num_start, nullptr);
      ++numbers;
      num_start = -1;
    }
    // Once the opening parenthesis of the whole formula is closed, nothing
    // may follow: an unbalanced ')' before the end.
    if (ot == 0) return err = 3, 0.0;
    if (ch != ')' && ot >= EVAL_DEPTH) return err = 2, 0.0;
    int r = apply(ch, zt, ot);
    if (r != 0) return err = r, 0.0;
    prev = ch;
  }
  // A number text still open has swallowed the closing ')' (after an 'e').
  if (!(zt == 1 && ot == 0) || num_start >= 0) err = 3;
  return zt >= 1 ? z_stack[1] : 0.0;
}

// The copy every evaluation scans: the formula with ')' appended, function
// names replaced unless it is tokenized; pos is set to the first character.
std::string eval_copy(const String& s, size_t& pos) {
  std::string copy(s.Str, (size_t)s.len);
  copy += ')';
  if ((unsigned char)copy[0] == MARKER) {
    pos = 1;
  } else {
    names_to_codes(copy);
    pos = 0;
  }
  return copy;
}

// What a tokenized evaluation gives when it cannot proceed: never a number
// that could pass for the formula's value.
double not_a_value() { return std::nan(""); }

}  // namespace

int valf_err() { return String::math_e; }

double String::valf() {
  size_t pos;
  std::string copy = eval_copy(*this, pos);
  int err;
  double v = checked_eval(copy, pos, false, 0.0, err);
  math_e = err;
  return v;
}

double String::valf_y(double y) {
  size_t pos;
  std::string copy = eval_copy(*this, pos);
  int err;
  double v = checked_eval(copy, pos, true, y, err);
  return err == 0 || err == 3 ? v : 0.0;
}

void String::set_token() {
  if (len > 0 && (unsigned char)Str[0] == MARKER) return;
  for (int i = 0; i < menge; ++i) xchange(String(mathefkt_names[i]), String((char)(FIRST_CODE + i)));
  *this = String((char)MARKER) + *this;
}

void String::scann() {
  if (std::memchr(Str, NUMBER_TOKEN, (size_t)len) != nullptr) return;
  std::string src(Str, (size_t)len);
  src += ')';
  std::string out;
  out.reserve(src.size() + 16);
  unsigned char prev = '(';
  int i = 0;
  bool overflow = false;
  long num_start = -1;
  for (size_t k = 0; k < src.size(); ++k) {
    unsigned char ch = (unsigned char)src[k];
    // 'E' belongs to a number as in valf's check ("1.5E1", "1E-2"); leaving
    // it out would split such a number into two tokens and change the value.
    if ((ch >= '0' && ch <= '9') || is_exponent(ch) || ch == ' ' || ch == '.' || is_exponent(prev)) {
      if (num_start < 0) num_start = (long)k;
      prev = ch;
      continue;
    }
    if (prev < '0' && prev != ')' && ch == '-') ch = '%';
    if (num_start >= 0) {
      if (i < EVAL_NUMBERS) {
        merker[i] = std::atof(src.substr((size_t)num_start, k - (size_t)num_start).c_str());
        out += (char)NUMBER_TOKEN;
        out += (char)(30 + i);
        ++i;
      } else {
        overflow = true;
      }
      num_start = -1;
    }
    out += (char)ch;
    prev = ch;
  }
  if (overflow) {
    // The token index cannot name more numbers: report "too long" and leave
    // a formula that evaluates to NaN instead of a silently wrong value.
    math_e = 2;
    merker[0] = std::nan("");
    out.assign(1, (char)MARKER);
    out += (char)NUMBER_TOKEN;
    out += (char)30;
    out += ')';
  }
  String t((int)out.size());
  std::memcpy(t.Str, out.data(), out.size());
  *this = std::move(t);
}

double String::valf_scann_y(double y) {
  int zt, ot;
  start_stacks(zt, ot);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(Str);
  const int n = len;
  for (int i = 1; i < n; ++i) {
    unsigned char c = p[i];
    if (c > 'x') {
      double v = y;
      if (c == NUMBER_TOKEN) {
        if (i + 1 >= n) return not_a_value();
        unsigned idx = (unsigned)p[++i] - 30u;
        if (idx >= sizeof merker / sizeof merker[0]) return not_a_value();
        v = merker[idx];
      }
      if (zt >= EVAL_DEPTH) return not_a_value();
      z_stack[++zt] = v;
      continue;
    }
    if (c >= '0') return not_a_value();  // nothing of a tokenized formula
    if (c > '(' && ot == 0) return not_a_value();
    if (c != ')' && ot >= EVAL_DEPTH) return not_a_value();
    if (apply(c, zt, ot) != 0) return not_a_value();
  }
  return zt == 1 && ot == 0 ? z_stack[1] : not_a_value();
}
