// The concave engine after the sweep: walking the chains of optimal
// predecessors, marking and drawing the optimal graph, extracting one
// alignment, searching another one through the user's marks, rebuilding it,
// and counting the optimal alignments.
//
// Marking and searching walk paths as long as n + m cells; both keep their
// own stack of frames instead of recursing, with the visiting order and the
// counts of the depth-first recursion.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/notice.h"
#include "ui/picture.h"
#include "ui/progress.h"

namespace {

constexpr int EDGE_DIAGONAL = 32767;
constexpr int EDGE_START = 32766;
constexpr int MAX_CHAIN_CODE = 32765;

// Sign of the links of the last drawing pass that walked the chains (0: none
// since the computation). A pass treats a link as not drawn when
// link * con_vorz >= 0, so the next pass must use the opposite sign.
int last_walk_sign = 0;

int edge0(int x, int y) { return edge_m(uint32_t(x), uint32_t(y), 0); }
int edge1(int x, int y) { return edge_m(uint32_t(x), uint32_t(y), 1); }
bool has_diagonal(int c0) { return c0 < 0 || c0 == EDGE_DIAGONAL; }
int column_code(int c0) {
  int p = std::abs(c0);
  return p >= 1 && p <= MAX_CHAIN_CODE ? p : 0;
}

// Value of candidate k on a chain: column x at target y, D(x, k) + w(y - k);
// row y at target x, D(k, y) + w(x - k).
float chain_value(bool column, int fixed, int k, int target) {
  float d = column ? dist(uint32_t(fixed), uint32_t(k)) : dist(uint32_t(k), uint32_t(fixed));
  return d + fu_res[uint32_t(target - k)];
}

// One chain of optimal predecessors: the element at the recorded position,
// then every element below it whose value at the target ties with the first.
// Moving on restores the actual pointer to the element being left (nested
// work on the same list moves it), follows its link as an absolute value (the
// drawing pass keeps its marks in the links' signs) and writes the link back.
struct Chain {
  double_list* L = nullptr;
  bool column = true;
  int fixed = 0, target = 0;
  int pos = -1;
  float v1 = 0.0f;

  // Starts at recorded code p (position p - 1); false when it names nothing.
  bool start(bool col, int fx, int tgt, int p) {
    column = col;
    fixed = fx;
    target = tgt;
    L = col ? &Ls[fx] : &Lz[fx];
    pos = p - 1;
    if (pos < 0 || pos >= L->capacity()) return false;
    L->set_actual_pointer(pos);
    v1 = chain_value(column, fixed, k(), target);
    return true;
  }
  int k() const { return std::abs((*L)(uint16_t(pos), 0)); }
  bool next() {
    L->set_actual_pointer(pos);
    const int merk = (*L)(uint16_t(pos), 1);
    if (merk != DL_EMPTY) L->set(uint16_t(pos), 1, int16_t(std::abs(merk)));
    L->pop();
    L->set(uint16_t(pos), 1, int16_t(merk));
    const int a = L->get_actual_pointer();
    if (a < 0 || a >= L->capacity()) return false;
    const int kk = std::abs(L->top(0));
    if (kk >= target || chain_value(column, fixed, kk, target) != v1) return false;
    pos = a;
    return true;
  }
};

int mode_now() {
  if (computing >= 6 && computing <= 8) return computing;
  if (comp_o >= 6 && comp_o <= 8) return comp_o;
  return concave_mode();
}

// ---- marking ----

enum Stage : uint8_t { S_DIAG, S_COL_START, S_COL_ELEM, S_COL_NEXT, S_ROW_START, S_ROW_ELEM, S_ROW_NEXT, S_DONE };

struct MarkFrame {
  int x, y;
  Stage stage;
  Chain chain;
};

}  // namespace

void mark_con_nodes(int x0, int y0) {
  std::vector<MarkFrame> st;
  auto enter = [&](int x, int y) {
    if (x <= 0 || y <= 0) return;
    hilfs_gr.set(uint32_t(x), uint32_t(y), 1);
    if (edge0(x, y) == EDGE_START || computing == 0) return;
    keep_alive();
    st.push_back(MarkFrame{x, y, S_DIAG, Chain()});
  };
  auto marked = [](int x, int y) { return hilfs_gr(uint32_t(x), uint32_t(y)) != 0; };
  enter(x0, y0);
  while (!st.empty()) {
    MarkFrame& f = st.back();
    const int x = f.x, y = f.y;
    switch (f.stage) {
      case S_DIAG:
        f.stage = S_COL_START;
        if (has_diagonal(edge0(x, y))) {
          ++gl_opt_edges;
          if (!marked(x - 1, y - 1)) enter(x - 1, y - 1);
        }
        break;
      case S_COL_START: {
        const int p = column_code(edge0(x, y));
        f.stage = p && f.chain.start(true, x, y, p) ? S_COL_ELEM : S_ROW_START;
        break;
      }
      case S_COL_ELEM: {
        const int k = f.chain.k();
        f.stage = S_COL_NEXT;
        ++gl_opt_edges;
        if (!marked(x, k)) enter(x, k);
        break;
      }
      case S_COL_NEXT:
        f.stage = f.chain.next() ? S_COL_ELEM : S_ROW_START;
        break;
      case S_ROW_START: {
        const int p = std::abs(edge1(x, y));
        f.stage = p >= 1 && f.chain.start(false, y, x, p) ? S_ROW_ELEM : S_DONE;
        break;
      }
      case S_ROW_ELEM: {
        const int k = f.chain.k();
        f.stage = S_ROW_NEXT;
        ++gl_opt_edges;
        if (!marked(k, y)) enter(k, y);
        break;
      }
      case S_ROW_NEXT:
        f.stage = f.chain.next() ? S_ROW_ELEM : S_DONE;
        break;
      case S_DONE:
        st.pop_back();
        break;
    }
  }
}

// The edges mark_con_nodes counted. It counts, for every cell it enters,
// the diagonal edge and every element of the two chains (a tied duplicate of
// a candidate as often as the chain holds it), and enters every marked cell
// once: a cell is entered only when not yet marked, and an end cell the
// marking starts from is never marked before, since the end cells are taken
// in increasing (x, y) order and a path leads back only to cells with no
// larger coordinate. Cells where a subalignment starts are marked but not
// entered. So the counted edges are those of the marked cells, walked here
// as the marking walks them.
void for_each_con_opt_edge(const OptEdgeVisitor& edge) {
  if (!Sz || !concave_complete() || hilfs_gr.dim_x() != uint32_t(n) || hilfs_gr.dim_y() != uint32_t(m)) return;
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x) {
      if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
      const int c0 = edge0(x, y);
      if (c0 == EDGE_START) continue;
      if (has_diagonal(c0)) edge(x - 1, y - 1, x, y);
      Chain ch;
      if (const int p = column_code(c0); p && ch.start(true, x, y, p)) {
        do edge(x, ch.k(), x, y);
        while (ch.next());
      }
      if (const int p = std::abs(edge1(x, y)); p >= 1 && ch.start(false, y, x, p)) {
        do edge(ch.k(), y, x, y);
        while (ch.next());
      }
    }
}

// ---- drawing ----

namespace {

// Draws the edges of one chain into (x, y) and marks the links it leaves as
// drawn (negated); stops at a link already drawn in this pass.
void draw_chain(bool column, int x, int y, int p) {
  const int fixed = column ? x : y, target = column ? y : x;
  double_list& L = column ? Ls[x] : Lz[y];
  int pos = p - 1;
  if (pos < 0 || pos >= L.capacity()) return;
  auto line = [&](int k) {
    if (column)
      picture_line(Picture::graph, node_px(x), node_py(k), node_px(x), node_py(y));
    else
      picture_line(Picture::graph, node_px(k), node_py(y), node_px(x), node_py(y));
  };
  int k1 = std::abs(L(uint16_t(pos), 0));
  const float v1 = chain_value(column, fixed, k1, target);
  line(k1);
  for (;;) {
    const int link = L(uint16_t(pos), 1);
    if (link == DL_EMPTY || link * con_vorz < 0) return;
    L.set(uint16_t(pos), 1, int16_t(-link));
    const int nxt = std::abs(link);
    if (nxt >= L.capacity()) return;
    const int k = std::abs(L(uint16_t(nxt), 0));
    if (k >= target || chain_value(column, fixed, k, target) != v1) return;
    line(k);
    pos = nxt;
  }
}

}  // namespace

void choose_con_alignment() {
  const int mode = mode_now();
  if (computing != 4) {
    markl_x = markl_y = markr_x = markr_y = markb_x = markb_y = -1;
    summary_message(10, 20, "Calculating all optimal solutions, please wait one moment ...");
    gl_opt_edges = 0;
    hilfs_gr.change_dim(uint32_t(n), uint32_t(m));
    hilfs_gr = 0;
    last_walk_sign = 0;
    if (mode == 7) {
      for (int x = 1; x <= n; ++x) {
        if (dist(uint32_t(x), uint32_t(m)) == wert) {
          mark_con_nodes(x, m);
          merk_l1 = x;
        }
      }
    } else if (mode == 8) {
      // Every cell holding the optimum ends an optimal subalignment.
      for (int x = 1; x <= n; ++x) {
        for (int y = 1; y <= m; ++y)
          if (dist(uint32_t(x), uint32_t(y)) == wert) mark_con_nodes(x, y);
        keep_alive();
        if (computing == 0) return;
      }
    } else {
      mark_con_nodes(n, m);
    }
  }

  const bool drawn = graph_picture_new();

  if (computing && drawn) {
    // Links carry the marks of the previous pass: use the opposite sign.
    con_vorz = last_walk_sign == 0 ? 1 : -last_walk_sign;
    last_walk_sign = con_vorz;
    show_break_it("plot all optimal alignments");
    progress_reset(m);
    for (int y = m; y >= 1; --y) {
      for (int x = n; x >= 1; --x) {
        if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
        const int c0 = edge0(x, y);
        if (has_diagonal(c0)) picture_line(Picture::graph, node_px(x - 1), node_py(y - 1), node_px(x), node_py(y));
        if (int p = column_code(c0)) draw_chain(true, x, y, p);
        if (c0 != EDGE_START) {
          const int p1 = std::abs(edge1(x, y));
          if (p1 >= 1) draw_chain(false, x, y, p1);
        }
      }
      show_ntime(200u * unsigned(m - y));
      if (computing == 0) return;
    }
  }

  redraw_marks();
}

// ---- extraction of one alignment ----

namespace {

enum class StepKind { none, stop, diagonal, column, row };
struct Step {
  StepKind kind;
  int k;  // predecessor row (column step) or column (row step)
};

// Builds the alignment backwards from the end cell (modes 7 and 8; mode 6
// ends at (n, m)), asking `choose` for the step into each cell; the strings
// grow at their front.
template <class Choose>
void build_alignment(int mode, int end_x, int end_y, Choose choose) {
  int a = n, b = m, x = n, y = m;
  std::string r1, r2;  // reversed columns
  uint16_t col = 0;
  int dels = 0, inss = 0;
  int al = -1;  // index of the last element written to hilfs_al
  help_l.set(0, 0);
  al_seq1 = String();
  al_seq2 = String();
  hilfs_h.change_length(uint32_t(n + m + 5));
  hilfs_w.change_length(uint32_t(n + m + 5));
  gl_sub = gl_del = gl_ins = 0;
  const int al_len = (n + m + 3) * 2;
  hilfs_al.change_length(uint32_t(al_len));
  hilfs_al.set(0, -1);
  progress_reset(m);

  const char* s1 = seq1.c_str();
  const char* s2 = seq2.c_str();
  auto column_out = [&](char c1, char c2, int run) {
    r1.push_back(c1);
    r2.push_back(c2);
    help_l.set(uint32_t(col + 1), int16_t(run));
    hilfs_h.set(col, int16_t(dels));
    hilfs_w.set(col, int16_t(inss));
    ++col;
  };
  auto del_col = [&]() {
    ++dels;
    column_out(s1[a - 1], '-', 0);
    --a;
  };
  auto ins_col = [&]() {
    ++inss;
    column_out('-', s2[b - 1], 0);
    --b;
  };
  auto append_pair = [&](int p, int q) {
    hilfs_al.set(uint32_t(++al), int16_t(p));
    hilfs_al.set(uint32_t(++al), int16_t(q));
    hilfs_al.set(uint32_t(al + 1), -1);
  };
  auto finish = [&]() {
    std::string f1(r1.rbegin(), r1.rend()), f2(r2.rbegin(), r2.rend());
    al_seq1 = String(f1.c_str());
    al_seq2 = String(f2.c_str());
  };

  if (mode == 8) b = y = end_y;
  if (mode == 7 || mode == 8) {
    merk_l1 = end_x;
    x = merk_l1;
    while (a > merk_l1) del_col();
  }
  while (x > 0 && y > 0) {
    const Step s = choose(x, y);
    if (s.kind == StepKind::stop) break;
    if (s.kind == StepKind::none) {  // no recorded step leads on
      finish();
      new_alignment_failed = 1;
      alignment_output_error();
      computing = 0;
      return;
    }
    int len = 0;
    if (s.kind == StepKind::diagonal) {
      len = 1;
      --x;
      --y;
      ++gl_sub;
    } else if (s.kind == StepKind::row) {
      len = x - s.k;
      x = s.k;
      ++gl_del;
    } else {
      len = y - s.k;
      y = s.k;
      ++gl_ins;
    }
    show_ntime(200u * unsigned(m - y));
    if (computing == 0) {
      finish();
      return;
    }
    if (len != 0) append_pair(a, b);
    for (int i = 0; i < len; ++i) {
      if (s.kind == StepKind::diagonal) {
        const char c1 = s1[a - 1], c2 = s2[b - 1];
        const int run = c1 == c2 ? help_l[col] + 1 : 0;
        column_out(c1, c2, run);
        --a;
        --b;
      } else if (s.kind == StepKind::row) {
        del_col();
      } else {
        ins_col();
      }
    }
  }
  if (a != 0 || b != 0) append_pair(a, b);
  if (a > 0 && mode == 6) ++gl_del;
  while (a > 0) del_col();
  if (mode == 8 && b != 0) {
    for (int i = 0; i < 3; ++i) column_out("->-"[i], "->-"[i], 0);
  }
  if (b > 0 && (mode == 6 || mode == 7)) ++gl_ins;
  while (b > 0) ins_col();
  hilfs_al.set(uint32_t(al + 1), -1);
  finish();
}

// First candidate of the chain with recorded code p that `ok` accepts, or -1.
template <class Ok>
int first_on_chain(bool column, int x, int y, int p, Ok ok) {
  Chain ch;
  if (!ch.start(column, column ? x : y, column ? y : x, p)) return -1;
  do {
    const int k = ch.k();
    if (ok(k)) return k;
  } while (ch.next());
  return -1;
}

}  // namespace

void make_con_alignment() {
  const int mode = mode_now();
  build_alignment(mode, mode == 8 ? l_i : merk_l1, mode == 8 ? l_j : m, [](int x, int y) -> Step {
    const int c0 = edge0(x, y), c1 = edge1(x, y);
    if (c0 == EDGE_START) return {StepKind::stop, 0};
    if (has_diagonal(c0) || c1 < 0) return {StepKind::diagonal, 0};
    if (c0 == 0) {
      if (c1 < 1) return {StepKind::none, 0};
      Chain ch;
      if (!ch.start(false, y, x, c1) || ch.k() >= x) return {StepKind::none, 0};
      return {StepKind::row, ch.k()};
    }
    Chain ch;
    if (!ch.start(true, x, y, c0) || ch.k() >= y) return {StepKind::none, 0};
    return {StepKind::column, ch.k()};
  });
}

// ---- search through the marks ----

namespace {

struct SearchFrame {
  int x, y;
  Stage stage;
  int px, py;  // predecessor being searched
  Chain chain;
};

bool on_path(int x, int y) { return hilfs_rek(uint32_t(x), uint32_t(y)) != 0; }

void append_found(int x, int y) { neu_append(x, y); }

}  // namespace

void comp_con_new_align(int x0, int y0) {
  std::vector<SearchFrame> st;
  // Enters a cell; pushes a frame when its predecessors must be tried.
  auto enter = [&](int x, int y) {
    keep_alive();
    if (computing == 0) return;
    const bool target = x == wo_x && y == wo_y;
    if (!target && edge0(x, y) == EDGE_START) {
      // A subalignment starts here: it reaches the target only when that
      // lies outside the table's inner cells (left mark at the border).
      if (wo_x <= 0 || wo_y <= 0) {
        found_flag = 1;
        append_found(x, y);
      }
      return;
    }
    if (x == 0 || y == 0) {
      if (wo_y == 0) {
        found_flag = 1;
        append_found(x, y);
      }
      return;
    }
    if (on_path(x, y) || found_flag || wo_x > x || wo_y > y) return;
    if (target) {
      found_flag = 1;
      return;
    }
    st.push_back(SearchFrame{x, y, S_DIAG, 0, 0, Chain()});
  };
  auto in_graph = [](int x, int y) { return hilfs_gr(uint32_t(x), uint32_t(y)) != 0; };
  // After the search of predecessor (px, py) of the top frame returned.
  auto settle = [&](SearchFrame& f, Stage on_fail) {
    if (found_flag) {
      append_found(f.x, f.y);
      f.stage = S_DONE;
    } else {
      hilfs_rek.set(uint32_t(f.px), uint32_t(f.py), 1);
      f.stage = on_fail;
    }
  };
  enter(x0, y0);
  // Each frame's stage says what to do next; S_COL_NEXT / S_ROW_NEXT are
  // reached after a predecessor's search returned (or was skipped).
  enum : uint8_t { S_DIAG_BACK = S_DONE + 1 };
  while (!st.empty()) {
    SearchFrame& f = st.back();
    const int x = f.x, y = f.y;
    switch (int(f.stage)) {
      case S_DIAG:
        f.stage = S_COL_START;
        if (has_diagonal(edge0(x, y)) && in_graph(x - 1, y - 1)) {
          f.px = x - 1;
          f.py = y - 1;
          f.stage = Stage(S_DIAG_BACK);
          enter(x - 1, y - 1);
        }
        break;
      case S_DIAG_BACK:
        settle(f, S_COL_START);
        break;
      case S_COL_START: {
        const int p = column_code(edge0(x, y));
        f.stage = p && f.chain.start(true, x, y, p) ? S_COL_ELEM : S_ROW_START;
        break;
      }
      case S_COL_ELEM: {
        const int k = f.chain.k();
        if (in_graph(x, k)) {
          f.px = x;
          f.py = k;
          f.stage = S_COL_NEXT;
          enter(x, k);
        } else {
          f.stage = f.chain.next() ? S_COL_ELEM : S_ROW_START;
        }
        break;
      }
      case S_COL_NEXT:
        settle(f, S_COL_START);
        if (f.stage != S_DONE) f.stage = f.chain.next() ? S_COL_ELEM : S_ROW_START;
        break;
      case S_ROW_START: {
        const int p = std::abs(edge1(x, y));
        f.stage = p >= 1 && f.chain.start(false, y, x, p) ? S_ROW_ELEM : S_DONE;
        break;
      }
      case S_ROW_ELEM: {
        const int k = f.chain.k();
        if (in_graph(k, y)) {
          f.px = k;
          f.py = y;
          f.stage = S_ROW_NEXT;
          enter(k, y);
        } else {
          f.stage = f.chain.next() ? S_ROW_ELEM : S_DONE;
        }
        break;
      }
      case S_ROW_NEXT:
        settle(f, S_ROW_START);
        if (f.stage != S_DONE) f.stage = f.chain.next() ? S_ROW_ELEM : S_DONE;
        break;
      default:
        st.pop_back();
        break;
    }
  }
}

// Border cells read as path cells, but a path reaches the border only once,
// from a cell that has no inner path cell among its predecessors: so inner
// path cells are looked for first, border cells only when none leads on.
void make_con_new_alignment() {
  // The shown end stays, unless the new path left it for another optimal
  // end: the right mark then ends the new alignment.
  int ex = comp_o == 8 ? l_i : merk_l1, ey = comp_o == 8 ? l_j : m;
  if ((comp_o == 7 || comp_o == 8) && !on_path(ex, ey) && markr_x >= 1 && markr_y >= 1 &&
      (comp_o == 8 || markr_y == m))
    ex = markr_x, ey = markr_y;
  build_alignment(comp_o, ex, ey, [](int x, int y) -> Step {
    int c0 = edge0(x, y), c1 = edge1(x, y);
    if (c0 == EDGE_START) return {StepKind::stop, 0};
    const bool diagonal = has_diagonal(c0) || c1 < 0;
    c0 = std::abs(c0);
    c1 = std::abs(c1);
    for (int pass = 0; pass < 2; ++pass) {
      const bool border_ok = pass == 1;
      auto path = [&](int px, int py) {
        return (px >= 1 && py >= 1) || border_ok ? on_path(px, py) : false;
      };
      if (diagonal && path(x - 1, y - 1)) return {StepKind::diagonal, 0};
      if (c0 >= 1 && c0 <= MAX_CHAIN_CODE) {
        const int k = first_on_chain(true, x, y, c0, [&](int kk) { return path(x, kk); });
        if (k >= 0 && k < y) return {StepKind::column, k};
      }
      if (c1 >= 1) {
        const int k = first_on_chain(false, x, y, c1, [&](int kk) { return path(kk, y); });
        if (k >= 0 && k < x) return {StepKind::row, k};
      }
    }
    return {StepKind::none, 0};
  });
}

// ---- counting ----

// Per cell of the optimal graph: its position and running sum as in the
// general engine (4 + 16 + 32 bytes), its place (8) and its predecessor runs
// (three numbers for a cell with one run, 12); and the index of every cell
// into its runs (4).
uint64_t concave_count_memory_need(int nn, int mm) {
  const uint64_t cells = uint64_t(nn + 1) * uint64_t(mm + 1), inner = uint64_t(nn) * uint64_t(mm);
  return cells * 4 + inner * (4 + 16 + 32 + 8 + 12);
}

BigCount count_con_paths() {
  const int mode = concave_mode();
  if (!Sz || !concave_complete()) return BigCount();
  if (n < 1 || m < 1) return BigCount(1);  // one alignment: gaps only, or nothing
  BigCount::use_checked_allocation();
  const uint64_t W = uint64_t(n) + 1;
  auto id = [W](int x, int y) { return uint64_t(y) * W + uint64_t(x); };

  // Distinct predecessors of an inner cell (a tied duplicate counts once),
  // as runs of consecutive positions, appended to `runs`: flags (1 the
  // diagonal predecessor, 2 a subalignment start), then the number of runs
  // of rows k of (x, k) and their first and last k, then the same for the
  // columns k of (k, y).
  std::vector<int> runs, ks;
  auto add_preds = [&](int x, int y) {
    const int c0 = edge0(x, y);
    if (c0 == EDGE_START) {
      runs.insert(runs.end(), {2, 0, 0});
      return;
    }
    runs.push_back(has_diagonal(c0) ? 1 : 0);
    for (int dir = 0; dir < 2; ++dir) {
      const bool column = dir == 0;
      const size_t count_at = runs.size();
      runs.push_back(0);
      const int p = column ? column_code(c0) : std::abs(edge1(x, y));
      if (p < 1) continue;
      const int fixed = column ? x : y, target = column ? y : x;
      double_list& L = column ? Ls[x] : Lz[y];
      int pos = p - 1;
      if (pos >= L.capacity()) continue;
      ks.clear();
      const float v1 = chain_value(column, fixed, std::abs(L(uint16_t(pos), 0)), target);
      for (;;) {
        const int k = std::abs(L(uint16_t(pos), 0));
        if (k >= target || chain_value(column, fixed, k, target) != v1) break;
        ks.push_back(k);
        const int link = L(uint16_t(pos), 1);
        if (link == DL_EMPTY) break;
        pos = std::abs(link);
        if (pos >= L.capacity()) break;
      }
      // A chain runs from the newest candidate down: mostly in falling order.
      if (std::is_sorted(ks.rbegin(), ks.rend())) std::reverse(ks.begin(), ks.end());
      else std::sort(ks.begin(), ks.end());
      for (size_t i = 0; i < ks.size();) {
        size_t j = i + 1;
        while (j < ks.size() && ks[j] <= ks[j - 1] + 1) ++j;
        runs.push_back(ks[i]);
        runs.push_back(ks[j - 1]);
        ++runs[count_at];
        i = j;
      }
    }
  };

  // End cells of the mode.
  std::vector<std::pair<int, int>> ends;
  if (mode == 7) {
    for (int x = 1; x <= n; ++x)
      if (dist(uint32_t(x), uint32_t(m)) == wert) ends.push_back({x, m});
  } else if (mode == 8) {
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x)
        if (dist(uint32_t(x), uint32_t(y)) == wert) ends.push_back({x, y});
  } else {
    ends.push_back({n, m});
  }

  // Cells reachable backwards from the ends, each with the place of its
  // predecessor runs: entry[cell] is 0 for a cell not reached, otherwise
  // 1 + its index in run_start. The chains are walked once, here.
  std::vector<uint32_t> entry(W * (uint64_t(m) + 1), 0);
  std::vector<uint64_t> run_start;
  std::vector<std::pair<int, int>> todo;
  auto visit = [&](int px, int py) {
    if (px <= 0 || py <= 0 || entry[id(px, py)] != 0) return;
    run_start.push_back(0);
    entry[id(px, py)] = uint32_t(run_start.size());
    todo.push_back({px, py});
  };
  for (auto& e : ends) visit(e.first, e.second);
  while (!todo.empty()) {
    const auto c = todo.back();
    todo.pop_back();
    const size_t at = runs.size();
    run_start[entry[id(c.first, c.second)] - 1] = at;
    add_preds(c.first, c.second);
    if (runs[at] & 1) visit(c.first - 1, c.second - 1);
    size_t r = at + 1;
    for (int dir = 0; dir < 2; ++dir) {
      const int count = runs[r++];
      for (int i = 0; i < count; ++i, r += 2)
        for (int k = runs[r]; k <= runs[r + 1]; ++k)
          dir == 0 ? visit(c.first, k) : visit(k, c.second);
    }
  }
  std::vector<std::pair<int, int>>().swap(todo);

  // Paths from each reachable cell back to a start, in sweep order. The
  // predecessors of a reachable cell are reachable (border cells, one path
  // each, aside); a run of them is summed as the difference of two running
  // sums, per column and along the current row.
  show_break_it("count optimal alignments");
  progress_reset(m);
  std::vector<CountLine> column(size_t(n) + 1);
  CountLine row;
  auto paths_into = [&](int x, int y, BigCount& c) {  // c += paths into reachable (x, y) or a border cell
    if (x <= 0 || y <= 0) c += 1;
    else column[size_t(x)].add_range(y, y, c);
  };
  for (int y = 1; y <= m; ++y) {
    row.clear();
    for (int x = 1; x <= n; ++x) {
      const uint32_t e = entry[id(x, y)];
      if (e == 0) continue;
      size_t r = run_start[e - 1];
      BigCount c;
      const int flags = runs[r++];
      if (flags & 2) c += 1;
      if (flags & 1) paths_into(x - 1, y - 1, c);
      for (int dir = 0; dir < 2; ++dir) {
        const int count = runs[r++];
        for (int i = 0; i < count; ++i, r += 2) {
          int k1 = runs[r];
          const int k2 = runs[r + 1];
          if (k1 == 0) c += 1, k1 = 1;
          if (k1 <= k2) (dir == 0 ? column[size_t(x)] : row).add_range(k1, k2, c);
        }
      }
      column[size_t(x)].add(y, c);
      row.add(x, c);
    }
    show_time(200u * unsigned(y));
  }
  BigCount total;
  for (auto& e : ends) paths_into(e.first, e.second, total);
  return total;
}
