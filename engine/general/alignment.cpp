// Extraction of one optimal alignment from the general distance graph, and
// its rebuild along the path chosen through the user's marks.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/notice.h"
#include "ui/progress.h"

namespace {

enum class Step { none, diagonal, insertion, deletion };

struct Choice {
  Step step = Step::none;
  int len = 0;  // gap length
};

// Walks from (n, m) back to the border along the edges `choose` picks and
// writes al_seq1/al_seq2, hilfs_al (when `list_path`), help_l, hilfs_h,
// hilfs_w and the three step counters. Returns false when `choose` found no
// edge into a node of the walk.
template <class Choose>
bool walk(Choose choose, bool list_path) {
  progress_reset(m);
  const uint32_t need = uint32_t(n) + uint32_t(m) + 2;
  if (help_l.length() < need) help_l.change_length(uint32_t(need));
  help_l.set(0, 0);
  al_seq1 = String();
  al_seq2 = String();
  hilfs_h.change_length(uint32_t(n + m));
  hilfs_w.change_length(uint32_t(n + m));
  gl_sub = gl_ins = gl_del = 0;
  uint16_t wi = 0;
  if (list_path) {
    hilfs_al.change_length(uint32_t((n + m + 3) * 2));
    hilfs_al.set(0, -1);
  }
  // The list stays terminated after every pair, also when the walk stops early.
  auto append = [&](int x, int y) {
    if (!list_path || uint32_t(wi) + 2 >= hilfs_al.length()) return;
    hilfs_al.set(wi++, int16_t(x));
    hilfs_al.set(wi++, int16_t(y));
    hilfs_al.set(wi, -1);
  };

  std::string s1, s2;  // columns from the right end
  s1.reserve(size_t(n + m));
  s2.reserve(size_t(n + m));
  int x = n, y = m, c = 0, dels = 0, inss = 0;
  uint16_t p = 0;
  auto column_done = [&]() {
    hilfs_h.set(p, int16_t(dels));
    hilfs_w.set(p, int16_t(inss));
    ++p;
  };
  auto deletion = [&]() {
    s1.push_back(seq1.Str[x - 1]);
    s2.push_back('-');
    --x;
    help_l.set(uint32_t(c + 1), 0);
    ++c;
    ++dels;
    column_done();
  };
  auto insertion = [&]() {
    s1.push_back('-');
    s2.push_back(seq2.Str[y - 1]);
    --y;
    help_l.set(uint32_t(c + 1), 0);
    ++c;
    ++inss;
    column_done();
  };
  auto finish = [&]() {
    std::reverse(s1.begin(), s1.end());
    std::reverse(s2.begin(), s2.end());
    al_seq1 = String(s1.c_str());
    al_seq2 = String(s2.c_str());
  };

  while (x >= 1 && y >= 1) {
    Choice ch = choose(x, y);
    if (ch.step == Step::none) {
      finish();
      return false;
    }
    int py = ch.step == Step::diagonal ? y - 1 : ch.step == Step::insertion ? y - ch.len : y;
    show_ntime(200u * unsigned(m - py));
    if (computing == 0) {
      finish();
      return true;
    }
    append(x, y);
    if (ch.step == Step::diagonal) {
      char a = seq1.Str[x - 1], b = seq2.Str[y - 1];
      s1.push_back(a);
      s2.push_back(b);
      --x;
      --y;
      help_l.set(uint32_t(c + 1), int16_t(a == b ? help_l[uint32_t(c)] + 1 : 0));
      ++c;
      column_done();
      ++gl_sub;
    } else if (ch.step == Step::insertion) {
      for (int k = 0; k < ch.len; ++k) insertion();
      ++gl_ins;
    } else {
      for (int k = 0; k < ch.len; ++k) deletion();
      ++gl_del;
    }
  }
  if (x != 0 || y != 0) append(x, y);
  if (x > 0) {
    while (x > 0) deletion();
    ++gl_del;
  }
  if (y > 0) {
    while (y > 0) insertion();
    ++gl_ins;
  }
  finish();
  return true;
}

}  // namespace

// Preference: the diagonal edge, else the longest optimal insertion, else the
// longest optimal deletion.
void make_alignment() {
  auto choose = [](int x, int y) {
    Choice ch;
    const PredRecord r = pred_record(x, y);
    int k;
    if (r.diagonal()) {
      ch.step = Step::diagonal;
    } else if ((k = r.first_vertical()) >= 0) {
      ch.step = Step::insertion;
      ch.len = y - k;
    } else if ((k = r.first_horizontal()) >= 0) {
      ch.step = Step::deletion;
      ch.len = x - k;
    }
    return ch;
  };
  if (!walk(choose, true)) {
    alignment_output_error();
    computing = 0;
  }
}

// The rebuild follows the node set of the new path: hilfs_rek for inner
// nodes, hilfs_al for the border node where the path meets row or column 0,
// the origin always. Of the recorded edges into a path node it takes the one
// from the nearest path node, so that no node of the path is skipped (when the
// diagonal and a gap of length 1 both lead to path nodes, the gap's node lies
// between them). Gaps are tried shortest first; without such an edge it stops
// with "Alignment couldn't be constructed !?" and computing = 0.
void make_new_alignment() {
  new_alignment_failed = 0;
  std::vector<char> row0(size_t(n) + 1, 0), col0(size_t(m) + 1, 0);
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[uint32_t(k)] != -1; k += 2) {
    int x = hilfs_al[uint32_t(k)], y = hilfs_al[uint32_t(k + 1)];
    if (y == 0 && x >= 0 && x <= n) row0[size_t(x)] = 1;
    if (x == 0 && y >= 0 && y <= m) col0[size_t(y)] = 1;
  }
  auto on_path = [&](int x, int y) {
    if (x < 0 || y < 0) return false;
    if (x == 0 && y == 0) return true;
    if (y == 0) return row0[size_t(x)] != 0;
    if (x == 0) return col0[size_t(y)] != 0;
    return hilfs_rek(uint32_t(x), uint32_t(y)) == 1;
  };
  auto choose = [&](int x, int y) {
    Choice best;
    const PredRecord r = pred_record(x, y);
    int best_sum = -1;  // x + y of the chosen predecessor
    if (r.diagonal() && on_path(x - 1, y - 1)) {
      best.step = Step::diagonal;
      best_sum = x + y - 2;
    }
    // the shortest gap of each direction into a path node: the last such
    // predecessor in ascending order
    int v = -1, h = -1;
    for (int k = r.first_vertical(); k >= 0; k = r.next_vertical(k))
      if (on_path(x, k)) v = k;
    for (int k = r.first_horizontal(); k >= 0; k = r.next_horizontal(k))
      if (on_path(k, y)) h = k;
    if (v >= 0 && x + v > best_sum) {
      best.step = Step::insertion;
      best.len = y - v;
      best_sum = x + v;
    }
    if (h >= 0 && h + y > best_sum) {
      best.step = Step::deletion;
      best.len = x - h;
    }
    return best;
  };
  if (!walk(choose, false)) {
    new_alignment_failed = 1;
    alignment_output_error();
    computing = 0;
  }
}
