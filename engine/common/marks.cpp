// The user's marks in the graph, their rules and drawing, the splice of a
// newly found path into the shown one, and operation code 5.
#include "engine/common/marks.h"

#include "engine/common/graph_picture.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "ui/notice.h"
#include "ui/picture.h"
#include "ui/progress.h"

int mo_x = 0, mo_y = 0;
char new_alignment_failed = 0;
int markl_x = -1, markl_y = -1;
int markb_x = -1, markb_y = -1;
int markr_x = -1, markr_y = -1;
int old_but = 0;
bit_matrix hilfs_rek(1, 1);
list_int hilfs_neu(1);
int gl_zae = -1;
int wo_x = 0, wo_y = 0;
char found_flag = 0;

void marks_reset() {
  mo_x = mo_y = 0;
  clear_marks();
  old_but = 0;
  hilfs_rek.change_dim(1, 1);
  hilfs_rek = 0;
  hilfs_neu.change_length(1);
  hilfs_neu.set(0, -1);
  gl_zae = -1;
  wo_x = wo_y = 0;
  found_flag = 0;
  new_alignment_failed = 0;
}

void wrong_mark() { notice1("This mark isn't possible !", " Sorry "); }
void wrong2_mark() { notice1("This node is out of range !", " Sorry "); }
void mark_error() { notice1("There are not enough marks !", " Sorry "); }
void no_new_alignment() { notice2("Your marks don't include a", "new optimal alignment !", " Sorry "); }

void clear_marks() { markl_x = markl_y = markb_x = markb_y = markr_x = markr_y = -1; }

void neu_append(int x, int y) {
  if (gl_zae + 3 >= int(hilfs_neu.length())) return;
  hilfs_neu.set(uint32_t(++gl_zae), int16_t(x));
  hilfs_neu.set(uint32_t(++gl_zae), int16_t(y));
}

namespace {

bool on_shown(int x, int y) {
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[uint32_t(k)] != -1; k += 2)
    if (hilfs_al[uint32_t(k)] == x && hilfs_al[uint32_t(k + 1)] == y) return true;
  return false;
}

}  // namespace

int in_test() { return on_shown(mo_x, mo_y) ? 1 : 0; }

namespace {

// The mouse node is an inner node of the optimal graph.
bool in_graph() {
  return mo_x >= 1 && mo_y >= 1 && mo_x <= n && mo_y <= m &&
         hilfs_gr(uint32_t(mo_x), uint32_t(mo_y)) == 1;
}

bool on_shown_path() { return in_test() == 1 && mo_x != 0 && mo_y != 0; }

// A right mark off the shown path ends the new alignment there (short in
// long, subalignment): only an end of an optimal alignment may, a cell whose
// distance is the optimum (in the last row for short in long). Elsewhere the
// alignment would end short of the optimum, or not be built at all.
bool optimal_end() {
  if (comp_o == 7 && mo_y != m) return false;
  return in_graph() && dist(uint32_t(mo_x), uint32_t(mo_y)) == wert;
}

bool refused_while_computing() {
  if (computing == 0) return false;
  berechnung_laeuft();
  return true;
}

MarkResult refuse(MarkResult r) {
  if (r == MarkResult::out_of_range) wrong2_mark();
  else wrong_mark();
  return r;
}

}  // namespace

// All mark drawing is exclusive-or: drawing a mark a second time erases it.
void set_mark(int k) {
  xor_color(Picture::graph);
  if (k == 0) {
    if (markl_x != -1) {
      draw_mark_letter("L", markl_x, markl_y, true);
      draw_mark_square(markl_x, markl_y);
    }
    markl_x = mo_x;
    markl_y = mo_y;
    draw_mark_letter("L", markl_x, markl_y, true);
  } else if (k == 1) {
    if (markr_x != -1) {
      draw_mark_letter("R", markr_x, markr_y, false);
      draw_mark_square(markr_x, markr_y);
    }
    markr_x = mo_x;
    markr_y = mo_y;
    draw_mark_letter("R", markr_x, markr_y, false);
  } else {
    if (markb_x != -1) draw_mark_square(markb_x, markb_y);
    markb_x = mo_x;
    markb_y = mo_y;
  }
  draw_mark_square(mo_x, mo_y);
  normal_color(Picture::graph);
  if (window_hooks().show_graph_pixmap) window_hooks().show_graph_pixmap();
}

MarkResult choose_left() {
  if (refused_while_computing()) return MarkResult::computing;
  const bool node_ok = comp_o == 8 ? in_graph() : on_shown_path();
  if (!node_ok) return refuse(MarkResult::out_of_range);
  if (markb_x != -1 && !(mo_x <= markb_x && mo_y <= markb_y)) return refuse(MarkResult::not_possible);
  if (markr_x != -1 && !(mo_x <= markr_x && mo_y <= markr_y)) return refuse(MarkResult::not_possible);
  set_mark(0);
  return MarkResult::ok;
}

MarkResult choose_right() {
  if (refused_while_computing()) return MarkResult::computing;
  const bool node_ok = (comp_o == 7 || comp_o == 8) ? on_shown_path() || optimal_end() : on_shown_path();
  if (!node_ok) return refuse(MarkResult::out_of_range);
  if (!(mo_x >= markb_x && mo_y >= markb_y && mo_x >= markl_x && mo_y >= markl_y))
    return refuse(MarkResult::not_possible);
  set_mark(1);
  return MarkResult::ok;
}

MarkResult choose_between() {
  if (refused_while_computing()) return MarkResult::computing;
  if (!in_graph() || in_test() == 1) return refuse(MarkResult::out_of_range);
  if (!(mo_x >= markl_x && mo_y >= markl_y)) return refuse(MarkResult::not_possible);
  if (markr_x != -1 && !(mo_x <= markr_x && mo_y <= markr_y)) return refuse(MarkResult::not_possible);
  set_mark(2);
  return MarkResult::ok;
}

namespace {
void delete_mark(int k, int& mx, int& my) {
  if (mx == -1) return;
  mo_x = mx;
  mo_y = my;
  mx = -1;
  set_mark(k);  // draws the mark again on its own node: erased
  mx = my = -1;
}
}  // namespace

void delete_left() {
  if (!refused_while_computing()) delete_mark(0, markl_x, markl_y);
}
void delete_right() {
  if (!refused_while_computing()) delete_mark(1, markr_x, markr_y);
}
void delete_between() {
  if (!refused_while_computing()) delete_mark(2, markb_x, markb_y);
}
void delete_all() {
  if (refused_while_computing()) return;
  delete_mark(0, markl_x, markl_y);
  delete_mark(1, markr_x, markr_y);
  delete_mark(2, markb_x, markb_y);
}

namespace {

// The last node of the shown path (the one farthest from the origin); keeps
// (*x, *y) when the path is empty.
void shown_path_end(int* x, int* y) {
  int best = -1;
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[k] != -1; k += 2) {
    const int px = hilfs_al[k], py = hilfs_al[k + 1];
    if (px + py > best) best = px + py, *x = px, *y = py;
  }
}

}  // namespace

bool request_new_alignment() {
  if (refused_while_computing()) return false;
  if (!(markb_x > 0)) {
    mark_error();
    return false;
  }
  if (comp_o == 7 && markr_x < 1) {
    mark_error();
    return false;
  }
  const int sx = mo_x, sy = mo_y;
  if (markl_x < 1) {
    if (markl_x != -1) {  // a left mark on the border: erase its drawing first
      mo_x = markl_x;
      mo_y = markl_y;
      markl_x = -1;
      set_mark(0);
    }
    mo_x = 0;
    mo_y = 0;
    markl_x = markl_y = -1;
    set_mark(0);
  }
  if (markr_x < 1) {
    if (markr_x != -1) {
      mo_x = markr_x;
      mo_y = markr_y;
      markr_x = -1;
      set_mark(1);
    }
    // The end node; in the subalignment mode the end of the shown stretch,
    // since the lower right node seldom ends a best subalignment and a
    // search from it would find nothing.
    mo_x = n;
    mo_y = m;
    if (comp_o == 8) shown_path_end(&mo_x, &mo_y);
    markr_x = markr_y = -1;
    set_mark(1);
  }
  mo_x = sx;
  mo_y = sy;
  computing = 5;
  return true;
}

// New node set: the old path up to the left mark (including it), the two
// searched segments already in hilfs_neu (which include the between and the
// right mark), and the old path beyond the right mark. A mark off the old
// path (an end mark of short in long or of the subalignment mode) keeps
// nothing of the old path on its side: the new alignment starts or ends
// there (the searches brought the path before such a left mark).
void aktualize_alignment() {
  const int c = comp_o;
  const bool left_on = on_shown(markl_x, markl_y), right_on = on_shown(markr_x, markr_y);
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[uint32_t(k)] != -1; k += 2) {
    const int x = hilfs_al[uint32_t(k)], y = hilfs_al[uint32_t(k + 1)];
    if (left_on && x <= markl_x && y <= markl_y) neu_append(x, y);
    if (right_on && !(c == 7 && markr_y == m) && x >= markr_x && y >= markr_y &&
        !(x == markr_x && y == markr_y))
      neu_append(x, y);
  }
  if (gl_zae + 1 < int(hilfs_neu.length())) hilfs_neu.set(uint32_t(++gl_zae), -1);
  else hilfs_neu.set(uint32_t(hilfs_neu.length() - 1), -1);
  hilfs_al = hilfs_neu;
  hilfs_rek = 0;
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[uint32_t(k)] != -1; k += 2)
    hilfs_rek.set(uint32_t(hilfs_al[uint32_t(k)]), uint32_t(hilfs_al[uint32_t(k + 1)]), 1);
}

NewAlignmentResult run_new_alignment() {
  if (!(comp != 0 && ms1 == seq1 && ms2 == seq2)) {
    computing = 0;
    return NewAlignmentResult::not_valid;
  }
  const ResultEngine* engine = result_engine;
  if (engine == nullptr) {  // comp set without structures: nothing to search
    computing = 0;
    return NewAlignmentResult::not_valid;
  }
  NewAlignmentResult result = NewAlignmentResult::done;
  // A left mark off the shown path (subalignment mode) starts the new
  // alignment: a third search brings the path from a start up to it.
  const bool left_starts = comp_o == 8 && markl_x > 0 && !on_shown(markl_x, markl_y);
  summary_message(10, 20, "Calculating other optimal alignment, please wait one moment ...");
  hilfs_neu.change_length(uint32_t((n + m + 3) * 2));
  hilfs_neu.set(0, -1);
  gl_zae = -1;
  hilfs_rek.change_dim(uint32_t(n), uint32_t(m));
  hilfs_rek = 0;
  found_flag = 0;

  // first search: from the between mark back to the left mark
  wo_x = markl_x;
  wo_y = markl_y;
  engine->search(markb_x, markb_y);
  comp = computing;
  show_flag = 0;
  if (comp != 0 && found_flag && left_starts) {
    hilfs_rek = 0;  // dead ends for the left mark say nothing about the starts
    found_flag = 0;
    wo_x = wo_y = 0;
    engine->search(markl_x, markl_y);
    comp = computing;
  }
  if (comp == 0) {
    result = NewAlignmentResult::interrupted_first;
  } else if (!found_flag) {
    no_new_alignment();
    result = NewAlignmentResult::no_path;
  } else {
    // second search: from the right mark back to the between mark
    found_flag = 0;
    wo_x = markb_x;
    wo_y = markb_y;
    engine->search(markr_x, markr_y);
    comp = computing;
    if (comp == 0) {
      comp = 1;  // nothing was changed: the old results stay valid
      result = NewAlignmentResult::interrupted_second;
    } else if (!found_flag) {
      no_new_alignment();
      result = NewAlignmentResult::no_path;
    } else {
      summary_message(10, 20, "Deleting old optimal alignment, please wait one moment ...");
      draw_single_opt_alignment();
      comp = computing;
      if (comp != 0) {
        aktualize_alignment();
        summary_message(10, 20, "Plotting new optimal alignment, please wait one moment ...");
        draw_single_opt_alignment();
        if (window_hooks().show_graph_pixmap) window_hooks().show_graph_pixmap();
        comp = computing;
      }
      if (comp != 0) {
        show_break_it("compute alignment output");
        new_alignment_failed = 0;
        engine->rebuild();
        comp = computing;
      }
      if (comp != 0) show_flag = 1;
      else if (new_alignment_failed) result = NewAlignmentResult::rebuild_failed;
      else result = NewAlignmentResult::interrupted_splice;
    }
  }
  hilfs_rek.change_dim(1, 1);
  hilfs_neu.change_length(1);
  computing = 0;
  if (comp == 0) ms1 = String();
  return result;
}
