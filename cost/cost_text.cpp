// Cost description and substitution table texts: reading them into the cost
// model and writing the texts the buttons insert.
#include "cost/cost_text.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "cost/cost.h"
#include "cost/own.h"
#include "state/state.h"

namespace {

// ---- helpers ----

String make_string(std::string_view v) {
  String s(int(v.size()));
  if (!v.empty()) std::memcpy(s.Str, v.data(), v.size());
  return s;
}

bool ends_value(char c) { return c == ',' || c == ';' || c == '\n' || c == '\r'; }

// The keywords of a cost description, in the order the reader takes them,
// with the length of their value windows; "subst=" counts only where
// "subst.=" does not occur. The reader and the scan for what it leaves
// unread both go by this table.
struct Keyword {
  const char* key;  // with its '='
  size_t window;
};
constexpr Keyword kKeywords[] = {
    {"cost=", COST_FORMULA_WINDOW}, {"a=", COST_VALUE_WINDOW},      {"b=", COST_VALUE_WINDOW},
    {"c=", COST_VALUE_WINDOW},      {"d=", COST_VALUE_WINDOW},      {"subst.=", COST_VALUE_WINDOW},
    {"subst=", COST_VALUE_WINDOW},  {"match=", COST_VALUE_WINDOW}};
enum KeywordIndex { K_COST, K_A, K_B, K_C, K_D, K_SUBST_DOT, K_SUBST, K_MATCH, K_COUNT };

// The value of a keyword in a cost description: the characters that follow
// its first occurrence, at most `window` of them, up to the first ',', ';',
// line feed or carriage return, with blanks removed. `cut` tells that the
// value goes on beyond the window (non-blank text before its end), so that
// what was read is not all of it.
struct Value {
  String text;
  bool cut = false;
};

bool keyword_value(std::string_view t, std::string_view key, size_t window, Value* out) {
  size_t p = t.find(key);
  if (p == std::string_view::npos) return false;
  size_t start = p + key.size();
  size_t end = std::min(t.size(), start + window);
  size_t stop = end;
  for (size_t i = start; i < end; ++i) {
    if (ends_value(t[i])) {
      stop = i;
      break;
    }
  }
  std::string v;
  for (size_t i = start; i < stop; ++i)
    if (t[i] != ' ') v.push_back(t[i]);
  out->text = make_string(v);
  out->cut = false;
  if (stop == end)
    for (size_t i = end; i < t.size() && !ends_value(t[i]); ++i)
      if (t[i] != ' ') {
        out->cut = true;
        break;
      }
  return true;
}

bool has_nul(const String& s) { return std::memchr(s.Str, 0, size_t(s.len)) != nullptr; }

// A whole value that is a number (a parameter), resp. a score, within its window.
bool number_value(const Value& v, double* out) { return !v.cut && cost_parameter_number(v.text, out); }
bool score_value(const Value& v, double* out) { return !v.cut && cost_score_number(v.text, out); }

bool is_table_separator(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == ',' || c == ';';
}

bool may_continue_number(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// Reads the number that starts at t[pos] and ends at the first character
// that cannot continue it. Returns its length, 0 when no number starts there.
// A number may end with a lone point ("1." is 1); a lone sign or an exponent
// without digits is no number.
size_t table_number(const std::string& t, size_t pos, float* out) {
  size_t q = pos;
  while (q < t.size() && may_continue_number(t[q])) ++q;
  std::string run = t.substr(pos, q - pos) + ",";
  int p = make_string(run).is_float();  // first misfit, 1-based
  if (p <= 1) return 0;
  std::string num = run.substr(0, size_t(p) - 1);
  bool ok = make_string(num).is_float() == 0;
  if (!ok && num.size() >= 2 && num.back() == '.') {
    std::string mantissa = num.substr(0, num.size() - 1);
    ok = mantissa.find_first_of("eE") == std::string::npos &&
         make_string(mantissa).is_float() == 0;
  }
  if (!ok) return 0;
  const double d = make_string(num).to_double();
  const float v = float(d);
  // Beyond single precision, or a non-zero value that would become 0 there.
  if (!std::isfinite(v) || (v == 0.0f && d != 0.0)) return 0;
  *out = v;
  return num.size();
}

}  // namespace

// ---- numbers ----

String cost_number_text(double d) {
  String s;
  s.with_double(d, 10);
  s.xchange(".e", ".0e");
  return s;
}

bool cost_parameter_number(const String& text, double* out) {
  if (has_nul(text) || text.is_float() != 0) return false;
  const double x = text.to_double();
  if (!std::isfinite(x)) return false;
  *out = x;
  return true;
}

// A score must also be representable in single precision (neither beyond its
// range nor a non-zero value that would become 0 there), and must not be the
// value that means "take it from the table".
bool cost_score_number(const String& text, double* out) {
  double x;
  if (!cost_parameter_number(text, &x)) return false;
  if (x == TABLE_MARKER || std::fabs(x) > double(FLT_MAX)) return false;
  if (x != 0.0 && float(x) == 0.0f) return false;
  *out = x;
  return true;
}

// ---- cost description ----

CostReadResult read_cost_description(const String& text) {
  CostReadResult r;
  std::string_view t(text.Str, size_t(text.len));
  ms1 = String();
  ms2 = String();
  bool found = false;
  Value v;

  if (keyword_value(t, kKeywords[K_COST].key, kKeywords[K_COST].window, &v)) {
    found = true;
    int named = 0;
    if (!v.cut)
      for (int i = 0; i < 8; ++i)
        if (v.text == String(func_text[i])) named = i + 1;
    if (named) {
      func = func_c = static_cast<signed char>(named);
    } else {
      // An own formula; a rejected one stops the reading with nothing changed.
      if (v.cut || !own_formula_ok(v.text)) {
        r.notice = CostNotice::syntax_error;
        return r;
      }
      own_funcm = v.text;
      own_func = v.text;
      compress_function();
      func = 0;
    }
  }

  struct Param {
    const Keyword& k;
    double* value;
    double* pending;
  };
  const Param params[] = {{kKeywords[K_A], &aa, &am},
                          {kKeywords[K_B], &bb, &bm},
                          {kKeywords[K_C], &cc, &cm},
                          {kKeywords[K_D], &dd, &dm}};
  for (const Param& p : params) {
    if (!keyword_value(t, p.k.key, p.k.window, &v)) continue;
    found = true;
    double x;
    if (number_value(v, &x))
      *p.value = *p.pending = x;
    else
      ++r.mistakes;
  }

  const Param scores[] = {
      {kKeywords[t.find(kKeywords[K_SUBST_DOT].key) != std::string_view::npos ? K_SUBST_DOT : K_SUBST],
       &sub, &subm},
      {kKeywords[K_MATCH], &mat, &matm}};
  for (const Param& p : scores) {
    if (!keyword_value(t, p.k.key, p.k.window, &v)) continue;
    found = true;
    double x;
    if (score_value(v, &x))
      *p.value = *p.pending = x;
    else
      ++r.mistakes;
  }

  if (r.mistakes > 0)
    r.notice = CostNotice::mistakes;
  else if (!found)
    r.notice = CostNotice::nothing_found;
  return r;
}

String cost_notice_text(const CostReadResult& r) {
  switch (r.notice) {
    case CostNotice::syntax_error:
      return String("There's a syntax error !");
    case CostNotice::mistakes: {
      if (r.mistakes == 1) return String("There is one mistake !");
      String count;
      count.with_double(r.mistakes, 3);
      return String("There are ") + count + String(" mistakes !");
    }
    case CostNotice::nothing_found:
      return String("There was nothing (correct) to get ?!");
    case CostNotice::none:
      break;
  }
  return String();
}

bool cost_keyword_value_of(const String& text, const char* keyword, String* value) {
  std::string_view t(text.Str, size_t(text.len));
  size_t window = COST_VALUE_WINDOW;
  for (const Keyword& k : kKeywords)
    if (std::strcmp(k.key, keyword) == 0) window = k.window;
  Value v;
  if (!keyword_value(t, keyword, window, &v) || v.cut) return false;
  *value = v.text;
  return true;
}

namespace {

bool is_word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.';
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The text of a keyword-like word with its value as the user wrote it: from
// `from` to the end of the value window after the '=' at `eq` (or an
// earlier ',', ';' or line end), without trailing blanks.
std::string quoted(std::string_view t, size_t from, size_t eq, size_t window) {
  size_t end = std::min(t.size(), eq + 1 + window);
  for (size_t i = eq + 1; i < end; ++i)
    if (ends_value(t[i])) {
      end = i;
      break;
    }
  while (end > from && (t[end - 1] == ' ' || t[end - 1] == '\t')) --end;
  // A very long word is shown by its end.
  const std::string lead = eq > from + 40 ? "..." : "";
  if (eq > from + 40) from = eq - 40;
  return "'" + lead + std::string(t.substr(from, end - from)) + "'";
}

// Warnings of one text beyond this many are summed up in one line.
constexpr size_t kMostWarnings = 20;

// The value in force for a keyword, as "Put actual cost into text" writes it.
std::string value_in_force(int k) {
  auto score = [](double v) { return v == TABLE_MARKER ? std::string("table") : std::string(cost_number_text(v).c_str()); };
  switch (k) {
    case K_COST: return func >= 1 && func <= 8 ? func_text[func - 1] : own_func.c_str();
    case K_A: return cost_number_text(aa).c_str();
    case K_B: return cost_number_text(bb).c_str();
    case K_C: return cost_number_text(cc).c_str();
    case K_D: return cost_number_text(dd).c_str();
    case K_MATCH: return score(mat);
    default: return score(sub);
  }
}

}  // namespace

std::vector<std::string> cost_description_warnings(const String& text) {
  std::string_view t(text.Str, size_t(text.len));
  // Where the reader takes each keyword: the position of its '=', or npos.
  size_t read_at[K_COUNT];
  for (int k = 0; k < K_COUNT; ++k) {
    size_t p = t.find(kKeywords[k].key);
    read_at[k] = p == std::string_view::npos ? p : p + std::strlen(kKeywords[k].key) - 1;
  }
  const bool dot_form = read_at[K_SUBST_DOT] != std::string_view::npos;
  if (dot_form) read_at[K_SUBST] = std::string_view::npos;  // not read beside "subst.="

  // What counts for keyword k instead of an unread word.
  auto instead = [&](int k) {
    int r = k == K_SUBST && dot_form ? K_SUBST_DOT : k;
    if (read_at[r] != std::string_view::npos) {
      size_t from = read_at[r] + 1 - std::strlen(kKeywords[r].key);
      return quoted(t, from, read_at[r], kKeywords[r].window) + " counts";
    }
    std::string name(kKeywords[k].key, std::strlen(kKeywords[k].key) - 1);
    if (k == K_SUBST_DOT || k == K_SUBST) name = "subst.";
    return name + " keeps " + value_in_force(k);
  };

  std::vector<std::string> out;
  size_t more = 0;
  auto warn = [&](std::string w) {
    if (out.size() < kMostWarnings) out.push_back(std::move(w));
    else ++more;
  };
  for (size_t eq = t.find('='); eq != std::string_view::npos; eq = t.find('=', eq + 1)) {
    size_t e = eq;
    while (e > 0 && (t[e - 1] == ' ' || t[e - 1] == '\t')) --e;
    const bool blanks = e < eq;
    size_t b = e;
    while (b > 0 && is_word_char(t[b - 1])) --b;
    const std::string_view word = t.substr(b, e - b);

    int read = -1;  // the keyword the reader takes at this '='
    for (int k = 0; k < K_COUNT; ++k)
      if (read_at[k] == eq) read = k;
    if (read >= 0) {
      const size_t kl = std::strlen(kKeywords[read].key) - 1;
      if (word.size() > kl)
        warn(quoted(t, b, eq, kKeywords[read].window) + " is read as " +
                      quoted(t, eq - kl, eq, kKeywords[read].window) +
                      ": the keyword stands at the end of a longer word");
      continue;
    }
    int like = -1;  // the keyword this word is written like
    for (int k = 0; k < K_COUNT; ++k)
      if (same_ignoring_case(word, std::string_view(kKeywords[k].key, std::strlen(kKeywords[k].key) - 1)))
        like = k;
    const size_t window = like == K_COST ? COST_FORMULA_WINDOW : COST_VALUE_WINDOW;
    const std::string what = quoted(t, word.empty() ? eq : b, eq, window) + " is not read: ";
    if (like < 0) {
      const std::string shown = word.size() > 40 ? "..." + std::string(word.substr(word.size() - 40)) : std::string(word);
      warn(what + (word.empty() ? std::string("no keyword stands before '='") : "'" + shown + "' is no keyword"));
    } else if (blanks) {
      warn(what + "a keyword is written without blanks before '='; " + instead(like));
    } else if (word != std::string_view(kKeywords[like].key, word.size())) {
      warn(what + "keywords are written in lower case; " + instead(like));
    } else if (like == K_SUBST && dot_form) {
      warn(what + "'subst.=' is given too, and only it is read; " + instead(like));
    } else {
      warn(what + "'" + kKeywords[like].key + "' is given before, and only the first is read; " +
                    instead(like));
    }
  }
  if (more > 0) out.push_back("and " + std::to_string(more) + " more of the same kinds");
  return out;
}

String cost_description_text() {
  String s("\ncost=");
  if (func >= 1 && func <= 8) {
    s += String(func_text[func - 1]);
    s += String(", a=");
    s += cost_number_text(aa);
    s += String(", b=");
    s += cost_number_text(bb);
    if (func >= 5) {
      s += String(", c=");
      s += cost_number_text(cc);
      s += String(", d=");
      s += cost_number_text(dd);
    }
  } else {
    s += own_func;
  }
  s += String("\nsubst.= ");
  if (sub == TABLE_MARKER) {
    s += String("table, ");
  } else {
    s += cost_number_text(sub);
    s += String(", ");
  }
  s += String("match= ");
  if (mat == TABLE_MARKER) {
    s += String("table\n");
  } else {
    s += cost_number_text(mat);
    s += String("\n");
  }
  return s;
}

// ---- substitution table ----

TableError read_substitution_table(const String& text) {
  std::string t(text.Str, size_t(text.len));
  t.push_back(',');  // the last value is always followed by a character that ends it
  const size_t last = t.size() - 1;  // index of the appended ','

  // Header: letters, each at most once, separated by blanks, ',', ';' or '-',
  // ended by ':'.
  int header[26];
  int letters = 0;
  bool seen[26] = {};
  size_t pos = 0;
  for (; pos < last && t[pos] != ':'; ++pos) {
    char c = t[pos];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') {
      if (seen[c - 'A']) return TableError::headline;
      seen[c - 'A'] = true;
      header[letters++] = c - 'A';
    } else if (c != ' ' && c != ',' && c != ';' && c != '-') {
      return TableError::headline;
    }
  }
  if (pos >= last) return TableError::headline;
  ++pos;

  // Data: the upper triangle, row by row.
  float_matrix table(26, 27);
  table = FILL_VALUE;
  for (int r = 0; r < letters; ++r) {
    for (int c = r; c < letters; ++c) {
      while (pos < last && is_table_separator(t[pos])) ++pos;
      if (pos >= last) return TableError::data_lines;
      float v;
      size_t used = table_number(t, pos, &v);
      if (used == 0) return TableError::data_lines;
      table.set(uint32_t(header[r]), uint32_t(header[c]), v);
      table.set(uint32_t(header[c]), uint32_t(header[r]), v);
      pos += used;
    }
  }
  while (pos < last && is_table_separator(t[pos])) ++pos;
  if (pos != last) return TableError::too_long;

  su = table;
  subst = make_string(t);
  ms1 = String();
  ms2 = String();
  sub = subm = mat = matm = TABLE_MARKER;
  return TableError::none;
}

String table_error_text(TableError e) {
  switch (e) {
    case TableError::headline:
      return String("Error in subst.-table: headline !");
    case TableError::data_lines:
      return String("Error in subst.-table: data line(s) !");
    case TableError::too_long:
      return String("Error in subst.-table: too long !");
    case TableError::none:
      break;
  }
  return String();
}

String substitution_table_text() {
  if (subst.len < 2) return String();
  return make_string(std::string_view(subst.Str, size_t(subst.len) - 1));
}

String sequence_alphabet_text() {
  for (uint32_t x = 0; x < 26; ++x) su.set(x, 26, 0.0f);
  for (const String* s : {&seq1, &seq2})
    for (int i = 0; i < s->len; ++i) su.set(uint32_t(s->Str[i] - 'A'), 26, 1.0f);
  std::string letters;
  for (uint32_t x = 0; x < 26; ++x) {
    if (su(x, 26) == 1.0f) {
      letters.push_back(' ');
      letters.push_back(char('A' + x));
    }
  }
  if (letters.empty()) return String();
  return make_string("\n" + letters + "\n");
}
