// The optimal graph of the general-cost engine: marking the nodes that lie on
// an optimal path, drawing the graph picture and the circles of the shown
// path, counting optimal paths, releasing the edge records.
#include <algorithm>
#include <vector>

#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/picture.h"
#include "ui/progress.h"

// Marks (x, y) and every node from which an optimal edge leads into a marked
// node. Depth first, predecessors in the order: horizontal (longest gap
// first), vertical (longest gap first), diagonal; each optimal edge is
// counted once in gl_opt_edges. The recursion of this definition is run on an
// explicit stack, in the same order, so that its depth (up to n + m) never
// touches the machine stack.
void mark_nodes(int x, int y) {
  // Entering a node: mark it; expand it only while the computation runs.
  auto enter = [](int px, int py) -> bool {
    if (px < 1 || py < 1) return false;
    hilfs_gr.set(uint32_t(px), uint32_t(py), 1);
    if (computing == 0) return false;
    keep_alive();
    return true;
  };
  struct Frame {
    PredRecord r;
    int x, y;
    int phase;  // 0 horizontal, 1 vertical, 2 diagonal, 3 done
    int k;      // last predecessor coordinate of the phase, -1 before the first
  };
  if (!enter(x, y)) return;
  std::vector<Frame> st;
  st.push_back({pred_record(x, y), x, y, 0, -1});
  while (!st.empty()) {
    Frame& f = st.back();
    int px = -1, py = -1;
    bool found = false;
    while (!found && f.phase < 3) {
      if (f.phase == 0) {
        f.k = f.r.next_horizontal(f.k);
        if (f.k >= 0) {
          px = f.k;
          py = f.y;
          found = true;
        } else {
          f.phase = 1;
        }
      } else if (f.phase == 1) {
        f.k = f.r.next_vertical(f.k);
        if (f.k >= 0) {
          px = f.x;
          py = f.k;
          found = true;
        } else {
          f.phase = 2;
        }
      } else {
        f.phase = 3;
        if (f.r.diagonal()) {
          px = f.x - 1;
          py = f.y - 1;
          found = true;
        }
      }
      if (found) {
        ++gl_opt_edges;
        // Border nodes read as marked (outside the 1-based matrix) and are never entered.
        if (hilfs_gr(uint32_t(px), uint32_t(py)) != 0 || !enter(px, py)) found = false;
      }
    }
    if (found) st.push_back({pred_record(px, py), px, py, 0, -1});
    else st.pop_back();
  }
}

void choose_your_alignment() {
  if (computing != 4) {
    clear_marks();
    summary_message(10, 20, "Calculating all optimal solutions, please wait one moment ...");
    gl_opt_edges = 0;
    hilfs_gr.change_dim(uint32_t(n), uint32_t(m));
    hilfs_gr = 0;
    mark_nodes(n, m);
  }
  // Beyond 32767 pixels a side the platform refuses the pixmap: the picture
  // is skipped, the graph in memory and every figure stay complete.
  const bool pic = graph_picture_new();

  if (computing != 0 && pic) {
    show_break_it("plot all optimal alignments");
    progress_reset(m);
    auto X = node_px;
    auto Y = node_py;
    for (int y = 1; y <= m; ++y) {
      for (int x = 1; x <= n; ++x) {
        if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
        const PredRecord r = pred_record(x, y);
        // the longest optimal edge of each direction covers all shorter ones
        const int h = r.first_horizontal(), v = r.first_vertical();
        if (h >= 0) picture_line(Picture::graph, X(h), Y(y), X(x), Y(y));
        if (v >= 0) picture_line(Picture::graph, X(x), Y(v), X(x), Y(y));
        if (r.diagonal()) picture_line(Picture::graph, X(x - 1), Y(y - 1), X(x), Y(y));
      }
      show_ntime(200u * unsigned(y));
      if (computing == 0) return;
    }
  }

  // Marks still set are drawn again on the new picture.
  redraw_marks();
}

// The edges mark_nodes counted: it expands every node it marks once and
// counts each of the node's optimal edges once, so they are the edges of the
// marked nodes' records.
void for_each_general_opt_edge(const OptEdgeVisitor& edge) {
  if (hilfs_gr.dim_x() != uint32_t(n) || hilfs_gr.dim_y() != uint32_t(m)) return;
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x) {
      if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
      const PredRecord r = pred_record(x, y);
      for (int k = r.first_horizontal(); k >= 0; k = r.next_horizontal(k)) edge(k, y, x, y);
      for (int k = r.first_vertical(); k >= 0; k = r.next_vertical(k)) edge(x, k, x, y);
      if (r.diagonal()) edge(x - 1, y - 1, x, y);
    }
}

// Per node of the optimal graph: its position (4 bytes) and the running sum
// of its paths (a 16-byte number head and its first limb, a 32-byte heap
// block).
constexpr uint64_t kCountNode = 4 + 16 + 32;

uint64_t general_count_memory_need(int nn, int mm) { return uint64_t(nn) * uint64_t(mm) * kCountNode; }

BigCount count_general_paths() {
  if (n <= 0 || m <= 0) return BigCount(1);  // one gap along the border (or nothing at all)
  if (dist_gr.dim_x() != uint32_t(n) + 1 || dist_gr.dim_y() != uint32_t(m) + 1 ||
      hilfs_gr.dim_x() != uint32_t(n) || hilfs_gr.dim_y() != uint32_t(m) || !pred_record(n, m).exists() ||
      hilfs_gr(uint32_t(n), uint32_t(m)) != 1)
    return BigCount();
  BigCount::use_checked_allocation();
  show_break_it("count optimal alignments");
  progress_reset(m);

  // Paths from the origin into every marked node, row by row: every
  // predecessor lies in an earlier row, or earlier in the same row, and the
  // predecessors of a marked node are marked (border nodes, which have one
  // path each, aside). The vertical predecessors of (x, y) come in runs of
  // consecutive rows, the horizontal ones in runs of consecutive columns;
  // the paths into a run are the difference of two prefix sums, kept per
  // column over its marked nodes and over the marked nodes of the current
  // row. Unmarked nodes (no paths into them from an optimal end) hold nothing.
  std::vector<CountLine> column(size_t(n) + 1);
  CountLine row, prev_row;  // marked nodes of the current and of the previous row
  std::vector<BigCount> row_paths, prev_paths;  // paths into each of them
  for (int y = 1; y <= m; ++y) {
    row.pos.clear();
    row.prefix.clear();
    row_paths.clear();
    for (int x = 1; x <= n; ++x) {
      if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
      const PredRecord r = pred_record(x, y);
      if (!r.exists()) continue;
      BigCount c;
      if (r.diagonal()) {
        if (x == 1 || y == 1) {
          c += 1;
        } else {
          auto it = std::lower_bound(prev_row.pos.begin(), prev_row.pos.end(), x - 1);
          if (it != prev_row.pos.end() && *it == x - 1) c += prev_paths[size_t(it - prev_row.pos.begin())];
        }
      }
      // vertical predecessors (x, k): runs of consecutive rows; row 0 is a
      // border node with one path
      int k2 = 0;
      for (int k1 = r.next_vertical_run(-1, &k2); k1 >= 0; k1 = r.next_vertical_run(k2, &k2)) {
        const int from = k1 == 0 ? 1 : k1;
        if (k1 == 0) c += 1;
        if (from <= k2) column[size_t(x)].add_range(from, k2, c);
      }
      // horizontal predecessors (k, y): runs of consecutive columns
      for (int k1 = r.next_horizontal_run(-1, &k2); k1 >= 0; k1 = r.next_horizontal_run(k2, &k2)) {
        const int from = k1 == 0 ? 1 : k1;
        if (k1 == 0) c += 1;
        if (from <= k2) row.add_range(from, k2, c);
      }
      column[size_t(x)].add(y, c);
      row.add(x, c);
      row_paths.push_back(std::move(c));
    }
    std::swap(row, prev_row);
    std::swap(row_paths, prev_paths);
    show_time(200u * unsigned(y));
  }
  // prev_row is row m now.
  if (prev_row.pos.empty() || prev_row.pos.back() != n) return BigCount();
  return prev_paths.back();
}

// The records live in a few large blocks: freeing them is quick, and the
// bar of the clearing fills at once.
void release_general_graph() {
  const int rows = dist_gr.dim_y() > 1 ? int(dist_gr.dim_y()) - 1 : 0;
  progress_reset(rows);
  dist_gr.release();
  if (rows > 0) show_time(200u * unsigned(rows));
}
