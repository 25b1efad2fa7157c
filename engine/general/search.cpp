// Search of an optimal path backwards from a node to the target (wo_x, wo_y)
// through the optimal graph: the step of "Get new alignment" that finds the
// segments between the user's marks.
#include <vector>

#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/dispatch.h"

// Depth first; predecessors in the order diagonal, vertical (longest gap
// first), horizontal (longest gap first), each only while nothing is found and
// only when it lies in the optimal graph. A predecessor whose search failed is
// recorded in hilfs_rek and never searched again. On success hilfs_neu holds
// the path from the node after the target up to (x, y).
//
// A node on row 0 or column 0 is joined to the origin by its single border
// edge, so it ends the search successfully only when the target is the
// origin (or is that node itself); the origin itself is never listed.
//
// The recursion of this definition runs on an explicit stack in the same
// order, so that a path of n + m nodes never touches the machine stack.
void comp_new_align(int x, int y) {
  // The entry of a call: true when the node is to be expanded.
  auto enter = [](int cx, int cy) -> bool {
    keep_alive();
    if (computing == 0) return false;
    if (cx < 0 || cy < 0 || cx > n || cy > m) return false;
    if (cx == 0 || cy == 0) {
      if (cx == wo_x && cy == wo_y) {
        found_flag = 1;
      } else if (wo_x == 0 && wo_y == 0) {
        found_flag = 1;
        if (cx != 0 || cy != 0) neu_append(cx, cy);
      }
      return false;
    }
    if (hilfs_rek(uint32_t(cx), uint32_t(cy)) == 1 || found_flag || cx < wo_x || cy < wo_y) return false;
    if (cx == wo_x && cy == wo_y) {
      found_flag = 1;
      return false;
    }
    return true;
  };
  struct Frame {
    PredRecord r;
    int x, y;
    int phase;   // 0 diagonal, 1 vertical, 2 horizontal, 3 done
    int k;       // last predecessor coordinate of the phase, -1 before the first
    int px, py;  // predecessor being searched (-1: none)
  };
  if (!enter(x, y)) return;
  std::vector<Frame> st;
  st.push_back({pred_record(x, y), x, y, 0, -1, -1, -1});
  while (!st.empty()) {
    Frame& f = st.back();
    if (f.px != -1) {  // the search of a predecessor has returned
      if (found_flag) {
        neu_append(f.x, f.y);
        st.pop_back();
        continue;
      }
      hilfs_rek.set(uint32_t(f.px), uint32_t(f.py), 1);
      f.px = f.py = -1;
    }
    if (found_flag || !f.r.exists()) {
      st.pop_back();
      continue;
    }
    int px = -1, py = -1;
    while (px < 0 && f.phase < 3) {
      if (f.phase == 0) {
        f.phase = 1;
        if (f.r.diagonal()) { px = f.x - 1; py = f.y - 1; }
      } else if (f.phase == 1) {
        f.k = f.r.next_vertical(f.k);
        if (f.k >= 0) {
          px = f.x;
          py = f.k;
        } else {
          f.phase = 2;
          f.k = -1;
        }
      } else {
        f.k = f.r.next_horizontal(f.k);
        if (f.k >= 0) {
          px = f.k;
          py = f.y;
        } else {
          f.phase = 3;
        }
      }
      // only predecessors in the optimal graph (border nodes read as in it)
      if (px >= 0 && hilfs_gr(uint32_t(px), uint32_t(py)) == 0) px = py = -1;
    }
    if (px < 0) {
      st.pop_back();
      continue;
    }
    f.px = px;
    f.py = py;
    if (enter(px, py)) st.push_back({pred_record(px, py), px, py, 0, -1, -1, -1});
  }
}
