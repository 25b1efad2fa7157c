// String and SubString: the one text type of the system, and the number
// conversions and formula evaluator that work on it.
//
// Positions are 1-based. A SubString is a temporary window onto a String
// (the String must outlive it). Windows are clipped, never reported: a bad
// position gives an empty or shortened window.
#pragma once
#include <iosfwd>

class SubString;

class String {
 public:
  char* Str;    // owned, NUL-terminated
  int len;      // characters before the NUL

  static int math_e;          // error code of the last valf (0, 1, 2, 3)
  static char puffer[256];    // evaluator operator stack / number text buffer

  explicit String(int n);     // room for n characters, length n, content blank-filled
  String();                   // the empty string
  String(const char* s);
  String(char c);
  String(const String& s);
  String(const SubString& s);
  String(String&& s) noexcept;
  ~String();
  String& operator=(const String& s);
  String& operator=(String&& s) noexcept;

  int length() const { return len; }
  const char* c_str() const { return Str; }
  char* to_chars() const;     // new[]-allocated copy; the caller deletes it
  char to_char() const;       // first character (0 for the empty string)
  double to_double() const;   // atof
  long to_long() const;       // atol
  int to_int() const;         // atoi
  int is_in(const String& b) const;  // 1-based position of first occurrence, 0 if none
  int is_integer() const;     // 0 when the whole text is an integer, else first misfit position
  int is_float() const;       // 0 when the whole text is a number, else first misfit position

  String& operator+=(const String& b);
  String& operator-=(const String& b);               // remove b from the front if it starts with b
  String& delete_from(const String& b);              // remove the first occurrence of b
  String& xchange(const String& a, const String& b); // replace every a by b, left to right
  String& fill_with(int c, int n);
  String& with_double(double d, int n);              // %.{n}g as gcvt writes it; "0" for 0

  SubString operator()(int a, int b);
  SubString operator[](int i);
  SubString operator()(const String& a, int j);
  SubString operator()(int i, const String& b);
  SubString operator()(const String& a, const String& b);
  SubString operator[](const String& a);

  // Formula evaluator (see evaluator.cpp).
  // Check and evaluate; sets math_e: 0 none, 1 syntax error (also a power
  // without its left operand, and a function code not directly followed by
  // '('), 2 formula too long or too deeply nested (more than 80 stacked
  // values or operators, or more than 98 numbers, which the tokenized form
  // could not hold), 3 missing operand or unbalanced parentheses (also any
  // text after the parenthesis that closes the whole formula). 'e' and 'E'
  // are the same exponent letter. Returns 0 on errors 1 and 2.
  double valf();
  void set_token();               // function names -> codes, marker in front
  // Numbers -> number tokens, unary minus -> '%', ')' appended. A formula
  // with more than 98 numbers cannot be tokenized: math_e becomes 2 and the
  // string becomes a tokenized formula whose value is NaN.
  void scann();
  // Evaluate the tokenized (resp. untokenized) formula with 'y' = y. They
  // report nothing and are meant for formulas valf accepted; on any other
  // text they still stay within their stacks. Where it cannot proceed,
  // valf_scann_y gives NaN (so that a gap cost fault is reported, never a
  // made-up value), valf_y 0.
  double valf_scann_y(double y);
  double valf_y(double y);
};

int valf_err();  // String::math_e

String operator+(const String& a, const String& b);
bool operator==(const String& a, const String& b);
bool operator!=(const String& a, const String& b);
bool operator<(const String& a, const String& b);
bool operator>(const String& a, const String& b);
bool operator<=(const String& a, const String& b);
bool operator>=(const String& a, const String& b);
std::ostream& operator<<(std::ostream& o, const String& s);
std::istream& operator>>(std::istream& i, String& s);

class SubString {
 public:
  String* s;
  int start, end;   // 1-based; start 1, end 0 = empty window

  SubString(String* str, int a, int b);  // window (a, b) clipped against the whole string
  int length() const { return end >= start ? end - start + 1 : 0; }
  char to_char() const;                  // first character, 0 for an empty window

  SubString operator()(int a, int b) const;
  SubString operator[](int i) const;
  SubString operator()(const String& a, int j) const;
  SubString operator()(int i, const String& b) const;
  SubString operator()(const String& a, const String& b) const;
  SubString operator[](const String& a) const;

  SubString& operator=(const String& t);   // replace the window's characters by t
  SubString& operator+=(const String& t);  // insert t before the window's last character
};

// Number grammar on a character range of n characters (same results as
// String::is_integer / String::is_float on that text).
int text_is_integer(const char* t, int n);
int text_is_float(const char* t, int n);

// ---- Formula evaluator state (one instance; the evaluator is not reentrant).
constexpr int menge = 14;        // number of functions of the formula language
constexpr int EVAL_DEPTH = 80;   // most stacked values and most stacked operators
constexpr int EVAL_NUMBERS = 98; // most numbers of one formula (token index 30 + i <= 127)

// Function names of the formula language, in replacement order (code 14 + i).
extern const char* const mathefkt_names[14];
extern double (*const mf[14])(double);  // function of code 14 + i (log10, log, exp, ...)
extern const int priority[11];          // operator priorities of the characters 37 ('%') to 47 ('/')
extern double z_stack[81];              // value stack; values at indices 1..80
extern double merker[160];              // numbers of the tokenized formula (token 127, 30 + i)

// Resets the evaluator state (math_e, puffer, stacks, number table) to its
// start values (tests use it).
void text_reset();
