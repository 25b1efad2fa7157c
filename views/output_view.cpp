#include "views/output_view.h"

#include <algorithm>

#include "engine/common/results.h"
#include "state/state.h"
#include "ui/picture.h"

namespace {

constexpr int kCell = 10;
constexpr int kLeft = 20;           // x of the first letter
constexpr int kTileAround = 8192;   // a tile of a long picture reaches this far past the view

}  // namespace

int output_picture_width(int columns) {
  const long w = 10L * columns + 60;
  return static_cast<int>(std::max(300L, std::min(w, 2000000000L)));
}

std::vector<OutputBox> output_boxes() {
  std::vector<OutputBox> boxes;
  if (show_flag == 0) return boxes;
  const int len = al_seq1.length();
  for (int i = len; i >= 1;) {
    const int r = help_l[static_cast<uint32_t>(i)];
    if (r > 0) {
      boxes.push_back({18 + kCell * (len - i), 5, kCell * r - 1, 50});
      i -= r;
    } else {
      --i;  // a gap, two different letters (or no run table at all)
    }
  }
  return boxes;
}

void output_tile_for(int view_x, int canvas_w, int* x0, int* w) {
  const int total = output_picture_width(al_seq1.length());
  if (total <= OUTPUT_TILE_MAX) {
    *x0 = 0;
    *w = total;
    return;
  }
  const int span = std::min(OUTPUT_TILE_MAX, canvas_w + 2 * kTileAround);
  int start = std::max(0, view_x - kTileAround);
  start = std::min(start, total - span);
  *x0 = start;
  *w = span;
}

bool draw_output_tile(int x0, int w) {
  if (!picture_new(Picture::output, w, OUTPUT_PICTURE_HEIGHT)) return false;
  reverse_color(Picture::output);
  picture_fill_rect(Picture::output, 0, 0, w, OUTPUT_PICTURE_HEIGHT);
  normal_color(Picture::output);
  // Letters whose cell meets the tile, one request each.
  const int first = std::max(0, (x0 - kLeft) / kCell - 1);
  const String* rows[2] = {&al_seq1, &al_seq2};
  for (int r = 0; r < 2; ++r) {
    const int len = rows[r]->length();
    const char* s = rows[r]->c_str();
    for (int c = first; c < len; ++c) {
      const int x = kLeft + kCell * c - x0;
      if (x > w) break;
      picture_string(Picture::output, x, 20 + 20 * r, s + c, 1);
    }
  }
  // Box outlines clipped to the tile (a long run may be wider than a pixmap).
  for (const OutputBox& b : output_boxes()) {
    const long left = long(b.x) - x0, right = left + b.w;
    if (right < 0 || left > w) continue;
    const int l = static_cast<int>(std::max(-1L, left)), rgt = static_cast<int>(std::min<long>(w, right));
    picture_line(Picture::output, l, b.y, rgt, b.y);
    picture_line(Picture::output, l, b.y + b.h, rgt, b.y + b.h);
    if (left >= 0) picture_line(Picture::output, int(left), b.y, int(left), b.y + b.h);
    if (right <= w) picture_line(Picture::output, int(right), b.y, int(right), b.y + b.h);
  }
  return true;
}

void graph_view_for_output(int view_x, int* gx, int* gy) {
  const int len = al_seq1.length();
  int c = view_x / kCell;
  // Scrolled into the margin behind the last column: that column.
  c = std::max(0, std::min(c, len - 1));
  int x = 0, y = 0;
  if (len > 0) {
    const uint32_t last = static_cast<uint16_t>(len - 1), at = static_cast<uint16_t>(len - 1 - c);
    x = c - (hilfs_w[last] - hilfs_w[at]);
    y = c - (hilfs_h[last] - hilfs_h[at]);
  }
  *gx = std::max(0, x) << big;
  *gy = std::max(0, y) << big;
}
