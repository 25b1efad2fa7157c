#include "text/strings.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>

#include "containers/alloc_check.h"

namespace {

const char* const kModule = "strings.cpp";

// New block of n characters plus the terminating NUL.
char* new_block(int n, const char* operation, const char* expression) {
  char* p = VD_NEW_ARRAY(char, (size_t)n + 1, kModule, operation, expression);
  p[n] = 0;
  return p;
}

// First occurrence of needle in hay at or after the 0-based index `from`;
// -1 when there is none. Works on stored lengths, so embedded NULs are
// ordinary characters. An empty needle occurs at `from` itself.
int find_in(const char* hay, int hl, const char* needle, int nl, int from) {
  if (from < 0) from = 0;
  if (nl == 0) return from <= hl ? from : -1;
  for (int i = from; i + nl <= hl; ++i)
    if (hay[i] == needle[0] && std::memcmp(hay + i, needle, (size_t)nl) == 0) return i;
  return -1;
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Clips the window (s, e) by the positions (a, b) relative to it.
void clip(int s, int e, long long a, long long b, int& ns, int& ne) {
  if (e < s || (long long)s + a - 1 > e) {
    ns = 1;
    ne = 0;
    return;
  }
  long long st = a < 1 ? s : (long long)s + a - 1;
  long long en;
  if (b >= a) {
    long long want = st + (b - a);
    en = want < e ? want : e;
  } else {
    en = st;
  }
  ns = (int)st;
  ne = (int)en;
}

}  // namespace

// ------------------------------------------------------------ number grammar

int text_is_integer(const char* t, int n) {
  int i = 0;
  while (i < n && t[i] == ' ') ++i;
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  if (i >= n) return n + 1;
  if (!is_digit(t[i])) return i + 1;
  while (i < n && is_digit(t[i])) ++i;
  return i < n ? i + 1 : 0;
}

int text_is_float(const char* t, int n) {
  int i = 0;
  while (i < n && t[i] == ' ') ++i;
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  // Mantissa: digits, optionally a point and more digits.
  if (i >= n) return n + 1;
  if (!is_digit(t[i])) return i + 1;
  while (i < n && is_digit(t[i])) ++i;
  if (i < n && t[i] == '.') {
    ++i;
    if (i >= n) return n + 1;
    if (!is_digit(t[i])) return i + 1;
    while (i < n && is_digit(t[i])) ++i;
  }
  // Exponent: 'e' or 'E', an optional sign, digits.
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= n) return n + 1;
    if (!is_digit(t[i])) return i + 1;
    while (i < n && is_digit(t[i])) ++i;
  }
  return i < n ? i + 1 : 0;
}

// ------------------------------------------------------------------ String

String::String(int n) {
  if (n < 0) n = 0;
  Str = new_block(n, "String::String", "Str!=0");
  std::memset(Str, ' ', (size_t)n);
  len = n;
}

String::String() {
  Str = new_block(0, "String::String", "Str!=0");
  len = 0;
}

String::String(const char* s) {
  int n = s ? (int)std::strlen(s) : 0;
  Str = new_block(n, "String::String", "Str!=0");
  if (n) std::memcpy(Str, s, (size_t)n);
  len = n;
}

String::String(char c) {
  Str = new_block(1, "String::String", "Str!=0");
  Str[0] = c;
  len = 1;
}

String::String(const String& s) {
  Str = new_block(s.len, "String::String", "Str!=0");
  std::memcpy(Str, s.Str, (size_t)s.len);
  len = s.len;
}

String::String(const SubString& w) {
  // The window is clipped against the string as it is now, in case the
  // string became shorter since the window was taken.
  int s = w.start, e = w.end;
  if (w.s == nullptr || e > w.s->len) e = w.s ? w.s->len : 0;
  int n = (s >= 1 && e >= s) ? e - s + 1 : 0;
  Str = new_block(n, "String::String", "Str!=0");
  if (n) std::memcpy(Str, w.s->Str + s - 1, (size_t)n);
  len = n;
}

String::String(String&& s) noexcept {
  Str = s.Str;
  len = s.len;
  s.Str = new_block(0, "String::String", "Str!=0");
  s.len = 0;
}

String::~String() { delete[] Str; }

String& String::operator=(const String& s) {
  if (this == &s) return *this;
  char* t = new_block(s.len, "String::operator=", "Str!=0");
  std::memcpy(t, s.Str, (size_t)s.len);
  delete[] Str;
  Str = t;
  len = s.len;
  return *this;
}

String& String::operator=(String&& s) noexcept {
  if (this == &s) return *this;
  char* t = Str;
  int n = len;
  Str = s.Str;
  len = s.len;
  s.Str = t;
  s.len = n;
  return *this;
}

char* String::to_chars() const {
  char* t = new_block(len, "String::to_chars", "Str!=0");
  std::memcpy(t, Str, (size_t)len);
  return t;
}

char String::to_char() const { return len > 0 ? Str[0] : 0; }

double String::to_double() const { return std::atof(Str); }

long String::to_long() const { return std::strtol(Str, nullptr, 10); }

int String::to_int() const {
  // atoi's result is undefined outside the int range: clamp instead.
  long v = std::strtol(Str, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

int String::is_in(const String& b) const {
  if (b.len > len) return 0;
  int p = find_in(Str, len, b.Str, b.len, 0);
  return p < 0 ? 0 : p + 1;
}

int String::is_integer() const { return text_is_integer(Str, len); }

int String::is_float() const { return text_is_float(Str, len); }

// ----------------------------------------------------------------- editing

String& String::operator+=(const String& b) {
  int n = len + b.len;
  char* t = new_block(n, "String::operator+=", "t!=0");
  std::memcpy(t, Str, (size_t)len);
  std::memcpy(t + len, b.Str, (size_t)b.len);
  delete[] Str;
  Str = t;
  len = n;
  return *this;
}

String& String::operator-=(const String& b) {
  if (b.len == 0 || b.len > len || std::memcmp(Str, b.Str, (size_t)b.len) != 0) return *this;
  int n = len - b.len;
  char* t = new_block(n, "String::operator-=", "t!=0");
  std::memcpy(t, Str + b.len, (size_t)n);
  delete[] Str;
  Str = t;
  len = n;
  return *this;
}

String& String::delete_from(const String& b) {
  if (b.len == 0 || b.len > len) return *this;
  int p = find_in(Str, len, b.Str, b.len, 0);
  if (p < 0) return *this;
  int n = len - b.len;
  char* t = new_block(n, "String::delete_from", "t!=0");
  std::memcpy(t, Str, (size_t)p);
  std::memcpy(t + p, Str + p + b.len, (size_t)(len - p - b.len));
  delete[] Str;
  Str = t;
  len = n;
  return *this;
}

String& String::xchange(const String& a, const String& b) {
  // An empty pattern would match everywhere without progress: nothing to do.
  if (a.len == 0 || a.len > len) return *this;
  int first = find_in(Str, len, a.Str, a.len, 0);
  if (first < 0) return *this;
  // Count the occurrences first so that the new text is built in one block.
  long long count = 0;
  for (int p = first; p >= 0; p = find_in(Str, len, a.Str, a.len, p + a.len)) ++count;
  long long n = (long long)len + count * ((long long)b.len - a.len);
  if (n > INT_MAX) return *this;  // the result could not be held: leave the text as it is
  char* t = new_block((int)n, "String::xchange", "t!=0");
  int from = 0, out = 0;
  for (int p = first; p >= 0; p = find_in(Str, len, a.Str, a.len, from)) {
    std::memcpy(t + out, Str + from, (size_t)(p - from));
    out += p - from;
    std::memcpy(t + out, b.Str, (size_t)b.len);
    out += b.len;
    from = p + a.len;
  }
  std::memcpy(t + out, Str + from, (size_t)(len - from));
  delete[] Str;
  Str = t;
  len = (int)n;
  return *this;
}

String& String::fill_with(int c, int n) {
  if (n < 0) n = 0;
  char* t = new_block(n, "String::fill_with", "t!=0");
  std::memset(t, (unsigned char)c, (size_t)n);
  delete[] Str;
  Str = t;
  len = n;
  return *this;
}

String& String::with_double(double d, int n) {
  if (d == 0) {
    // Both zeros are written "0".
    std::strcpy(puffer, "0");
  } else {
    // The C library's gcvt writes "%.*g" with the digits capped at 17, the
    // most a double can carry; the cap also keeps the text well inside the buffer.
    std::snprintf(puffer, sizeof puffer, "%.*g", n < 17 ? n : 17, d);
  }
  int l = (int)std::strlen(puffer);
  char* t = new_block(l, "String::with_double", "Str!=0");
  std::memcpy(t, puffer, (size_t)l);
  delete[] Str;
  Str = t;
  len = l;
  return *this;
}

// ----------------------------------------------------------------- windows

SubString String::operator()(int a, int b) { return SubString(this, a, b); }

SubString String::operator[](int i) { return SubString(this, i, i); }

SubString String::operator()(const String& a, int j) { return SubString(this, 1, len)(a, j); }

SubString String::operator()(int i, const String& b) { return SubString(this, 1, len)(i, b); }

SubString String::operator()(const String& a, const String& b) { return SubString(this, 1, len)(a, b); }

SubString String::operator[](const String& a) { return SubString(this, 1, len)[a]; }

// --------------------------------------------------------- free operators

String operator+(const String& a, const String& b) {
  String r(a);
  r += b;
  return r;
}

bool operator==(const String& a, const String& b) {
  return a.len == b.len && std::memcmp(a.Str, b.Str, (size_t)a.len) == 0;
}

bool operator!=(const String& a, const String& b) { return !(a == b); }
bool operator<(const String& a, const String& b) { return std::strcmp(a.Str, b.Str) < 0; }
bool operator>(const String& a, const String& b) { return std::strcmp(a.Str, b.Str) > 0; }
bool operator<=(const String& a, const String& b) { return std::strcmp(a.Str, b.Str) <= 0; }
bool operator>=(const String& a, const String& b) { return std::strcmp(a.Str, b.Str) >= 0; }

std::ostream& operator<<(std::ostream& o, const String& s) { return o.write(s.Str, s.len); }

std::istream& operator>>(std::istream& in, String& s) {
  // One blank-delimited word of at most 255 characters; the rest of a longer
  // word stays in the stream for the next read.
  std::istream::sentry ok(in);
  int n = 0;
  if (ok) {
    std::streambuf* sb = in.rdbuf();
    while (n < (int)sizeof String::puffer - 1) {
      int c = sb->sgetc();
      if (c == std::char_traits<char>::eof()) {
        in.setstate(std::ios::eofbit);
        break;
      }
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') break;
      String::puffer[n++] = (char)c;
      sb->sbumpc();
    }
    if (n == 0) in.setstate(std::ios::failbit);
  }
  String::puffer[n] = 0;
  if (n == 0) return in;  // nothing read: the string keeps its text
  char* t = new_block(n, "operator>>", "s.Str!=0");
  std::memcpy(t, String::puffer, (size_t)n);
  delete[] s.Str;
  s.Str = t;
  s.len = n;
  return in;
}

// --------------------------------------------------------------- SubString

SubString::SubString(String* str, int a, int b) : s(str), start(1), end(0) {
  if (s == nullptr) return;
  clip(1, s->len, a, b, start, end);
}

namespace {
// The window clipped against the current length of its string.
inline void live_window(const SubString& w, int& s, int& e) {
  s = w.start;
  e = w.end;
  int l = w.s ? w.s->len : 0;
  if (e > l) e = l;
  if (s < 1 || e < s) {
    s = 1;
    e = 0;
  }
}
}  // namespace

char SubString::to_char() const {
  int st, en;
  live_window(*this, st, en);
  return en >= st ? s->Str[st - 1] : 0;
}

SubString SubString::operator()(int a, int b) const {
  SubString r(*this);
  int st, en;
  live_window(*this, st, en);
  clip(st, en, a, b, r.start, r.end);
  return r;
}

SubString SubString::operator[](int i) const { return (*this)(i, i); }

// The text-searching windows look only inside this window; positions
// found are relative to it and then clipped like numeric windows.
SubString SubString::operator()(const String& a, int j) const {
  SubString r(*this);
  r.start = 1;
  r.end = 0;
  int st, en;
  live_window(*this, st, en);
  int wl = en - st + 1;
  int p = find_in(s ? s->Str + st - 1 : nullptr, wl, a.Str, a.len, 0);
  if (p < 0) return r;
  int from = p + 1 + a.len;  // relative position just after a
  if (j < from) return r;
  clip(st, en, from, j, r.start, r.end);
  return r;
}

SubString SubString::operator()(int i, const String& b) const {
  SubString r(*this);
  r.start = 1;
  r.end = 0;
  int st, en;
  live_window(*this, st, en);
  int wl = en - st + 1;
  if (i < 1) i = 1;
  if (i > wl) return r;
  int q = find_in(s->Str + st - 1, wl, b.Str, b.len, i);  // starts after position i
  int last = (q < 0 || q >= wl) ? wl : q;                  // q is 0-based: position q + 1
  clip(st, en, i, last, r.start, r.end);
  return r;
}

SubString SubString::operator()(const String& a, const String& b) const {
  SubString r(*this);
  r.start = 1;
  r.end = 0;
  int st, en;
  live_window(*this, st, en);
  int wl = en - st + 1;
  if (wl <= 0) return r;
  const char* w = s->Str + st - 1;
  int p = find_in(w, wl, a.Str, a.len, 0);
  if (p < 0) return r;
  int from = p + 1 + a.len;  // relative position just after a
  if (from > wl) return r;
  // b must start at least two characters after a's end, i.e. after `from`.
  int q = find_in(w, wl, b.Str, b.len, from);
  int last = (q < 0 || q >= wl) ? wl : q;
  clip(st, en, from, last, r.start, r.end);
  return r;
}

SubString SubString::operator[](const String& a) const {
  SubString r(*this);
  r.start = 1;
  r.end = 0;
  int st, en;
  live_window(*this, st, en);
  int wl = en - st + 1;
  if (a.len == 0 || wl <= 0) return r;
  int p = find_in(s->Str + st - 1, wl, a.Str, a.len, 0);
  if (p < 0) return r;
  clip(st, en, p + 1, p + a.len, r.start, r.end);
  return r;
}

SubString& SubString::operator=(const String& t) {
  int st, en;
  live_window(*this, st, en);
  if (en < st) return *this;
  String& u = *s;
  int n = u.len - (en - st + 1) + t.len;
  char* b = new_block(n, "SubString::operator=", "t!=0");
  std::memcpy(b, u.Str, (size_t)(st - 1));
  std::memcpy(b + st - 1, t.Str, (size_t)t.len);
  std::memcpy(b + st - 1 + t.len, u.Str + en, (size_t)(u.len - en));
  int tl = t.len;  // t may be the string itself: read before releasing
  delete[] u.Str;
  u.Str = b;
  u.len = n;
  // The window now covers the inserted text.
  if (tl > 0) {
    start = st;
    end = st + tl - 1;
  } else {
    start = 1;
    end = 0;
  }
  return *this;
}

SubString& SubString::operator+=(const String& t) {
  int st, en;
  live_window(*this, st, en);
  if (en < st) return *this;
  String& u = *s;
  int tl = t.len;
  int n = u.len + tl;
  char* b = new_block(n, "SubString::operator+=", "t!=0");
  std::memcpy(b, u.Str, (size_t)(en - 1));
  std::memcpy(b + en - 1, t.Str, (size_t)tl);
  std::memcpy(b + en - 1 + tl, u.Str + en - 1, (size_t)(u.len - en + 1));
  delete[] u.Str;
  u.Str = b;
  u.len = n;
  // The window keeps its characters and now also holds the inserted text.
  start = st;
  end = en + tl;
  return *this;
}
