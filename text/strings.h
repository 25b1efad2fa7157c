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
  double valf();                  // check and evaluate; sets math_e
  void set_token();               // function names -> codes, marker in front
  void scann();                   // numbers -> number tokens, unary minus -> '%'
  double valf_scann_y(double y);  // evaluate tokenized formula with 'y' = y; no checks
  double valf_y(double y);        // evaluate untokenized formula with 'y' = y; no checks
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

// Function names of the formula language, in replacement order (code 14 + i).
extern const char* const mathefkt_names[14];
