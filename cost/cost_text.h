// The cost description and substitution table texts: readers that take the
// text a button read from the selection, and writers of the texts the
// buttons insert. The readers change the cost model exactly as the buttons
// do and tell the caller which notice to show; they show none themselves.
#pragma once
#include "text/strings.h"

enum class CostNotice {
  none,            // everything read
  syntax_error,    // "There's a syntax error !" (own formula rejected; nothing else read)
  mistakes,        // "There is one mistake !" / "There are " k " mistakes !"
  nothing_found,   // "There was nothing (correct) to get ?!"
};

struct CostReadResult {
  CostNotice notice = CostNotice::none;
  int mistakes = 0;
};

#include <cstddef>
#include <string>
#include <vector>

// Characters of a value window after its keyword: an own formula or a
// function name after "cost=", a number after every other keyword.
constexpr size_t COST_FORMULA_WINDOW = 80;
constexpr size_t COST_VALUE_WINDOW = 20;

// The number rules of the reader, also for a value typed into a cost window's
// field. A parameter (a, b, c, d) is a whole number (String::is_float: no
// trailing blanks, no ',' for the point) with a finite value; a score
// (substitution, match) is besides neither the table marker, nor beyond
// single precision, nor non-zero but 0 in single precision. False, with *out
// unchanged, when the text is refused.
bool cost_parameter_number(const String& text, double* out);
bool cost_score_number(const String& text, double* out);
// A number as the cost texts and the cost windows write it: 10 significant
// digits, ".e" written ".0e".
String cost_number_text(double d);

// Reads a cost description (keywords cost=, a=, b=, c=, d=, subst.=/subst=,
// match=). Empties ms1 and ms2. A value with non-blank text beyond its
// window (20 characters, 80 for cost=, blanks included) is a mistake (a
// syntax error for cost=) rather than a shortened number; so are infinite
// values, and scores equal to the table marker, beyond single precision or
// non-zero but 0 in single precision.
CostReadResult read_cost_description(const String& text);
// The message lines of the notice for a result (empty for none).
String cost_notice_text(const CostReadResult& r);

// The value the reader takes for a keyword ("a=", "subst.=", ...): after its
// first occurrence, within its window, up to ',', ';' or a line end, blanks
// removed. False when the keyword does not occur or its value goes on beyond
// the window.
bool cost_keyword_value_of(const String& text, const char* keyword, String* value);

// What a batch user may have meant otherwise than the reader takes it, one
// message per case (without a "warning: " prefix), naming what counts
// instead: a keyword-like word that is not read ("a = 3", "A=3", "Cost=",
// "gap=1"), a keyword read at the end of a longer word ("mismatch=1" read as
// "match=1"), and a keyword given twice or "subst=" beside "subst.=" (only
// the first, resp. "subst.=", counts). The reading itself stays as it is.
std::vector<std::string> cost_description_warnings(const String& text);

// The text "Put actual cost into text" inserts for the active cost model.
String cost_description_text();

enum class TableError { none = 0, headline = 1, data_lines = 2, too_long = 3 };

// Reads a substitution table. On success su, subst, the scores (table
// marker) and ms1/ms2 change; on failure nothing changes. A value is a number
// that may end in a lone point ("1." is 1); a lone sign, an exponent without
// digits, a value beyond single precision and a non-zero value that is 0 in
// single precision are data line errors.
TableError read_substitution_table(const String& text);
// "Error in subst.-table: " + "headline !" / "data line(s) !" / "too long !"
String table_error_text(TableError e);

// What "Put subst.table" inserts: subst without its appended ','; empty when
// subst has fewer than 2 characters.
String substitution_table_text();

// What "Put sequence alphabet into text" inserts: "\n" + " A C G T" + "\n"
// for the letters of seq1 and seq2; empty when there are none. Uses su(x, 26).
String sequence_alphabet_text();
