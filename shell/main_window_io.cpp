// The main window, lower half: the column of Get/Put buttons and the text
// window, and their callbacks: sequences, cost descriptions and
// substitution tables read from the selection and written back.
#include <string>

#include "cost/cost_text.h"
#include "shell/shell.h"
#include "state/sequence_input.h"
#include "state/state.h"
#include "ui/notice.h"
#include "ui/selection.h"

namespace {

String selection_text() {
  const std::string s = read_primary_selection();
  String out(s.c_str());
  return out;
}

// Reading sequence k from the selection.
void get_seq(String& seq, int& len) {
  if (computing != 0) return berechnung_laeuft();
  const std::string raw = read_primary_selection();
  if (raw.empty()) {
    seq = String();
    len = 0;
    sequenz_ausgabe();  // the strip shows the sequence as it now is: empty
    return;
  }
  SequenceCheck c = clean_sequence(raw);
  if (c.notice == SeqNotice::illegal_chars) input_error();
  ms1 = String();
  ms2 = String();
  seq = c.seq;
  len = seq.length();
  sequenz_ausgabe();
}

}  // namespace

void build_main_window_io() {
  struct Item {
    const char* label;
    Action action;
    int gap;  // extra space above
  };
  const Item column[] = {
      {"Get sequence 1", get_seq1, 0},   {"Get sequence 2", get_seq2, 0},
      {"Put sequence 1", put_seq1, 25},  {"Put sequence 2", put_seq2, 0},
      {"Get costfunct.  ", get_cost, 25}, {"Put costfunct.  ", put_cost, 0},
      {"Get subst.table", get_substitution, 25}, {"Put subst.table", put_substitution, 0},
      {"Alignment", alignment, 25},
  };
  int y = 110;
  for (const Item& it : column) {
    y += it.gap;
    new Button(frame, 5, y, 110, it.label, it.action);
    y += WIDGET_HEIGHT + 3;
  }
  textsw = new TextWindow(frame, 120, 110, 540, 350, TEXT_LIMIT);
  textsw->follow_frame(frame);
  textsw->on_change(text_change);
}

void input_error() { notice1(sequence_notice_text(SeqNotice::illegal_chars), " Check it "); }

void get_seq1() { get_seq(seq1, n); }
void get_seq2() { get_seq(seq2, m); }
void put_seq1() { textsw->insert(seq1.c_str()); }
void put_seq2() { textsw->insert(seq2.c_str()); }

void get_cost() {
  if (computing != 0) return berechnung_laeuft();
  const CostReadResult r = read_cost_description(selection_text());
  const std::string text = cost_notice_text(r).c_str();
  if (r.notice == CostNotice::nothing_found) notice1(text, " Sorry ");
  else if (r.notice != CostNotice::none) notice1(text, " Try again ");
  if (r.notice != CostNotice::syntax_error) refresh_cost_windows();  // nothing was read otherwise
  sequenz_ausgabe();
}

void put_cost() { textsw->insert(cost_description_text().c_str()); }

void get_substitution() {
  if (computing != 0) return berechnung_laeuft();
  const TableError e = read_substitution_table(selection_text());
  if (e != TableError::none) notice1(table_error_text(e).c_str(), " Check it ");
  else refresh_cost_windows();
  sequenz_ausgabe();
}

void put_substitution() { textsw->insert(substitution_table_text().c_str()); }
