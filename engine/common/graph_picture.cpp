// The graph picture's frame, creation, circles and mark drawing.
#include "engine/common/graph_picture.h"

#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "ui/dispatch.h"
#include "ui/picture.h"
#include "ui/progress.h"

namespace {

int clamp(int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; }

}  // namespace

int mouse_node_x(int ex) { return clamp(((ex + 4 * big) >> big) - 3, n); }
int mouse_node_y(int ey) { return clamp(((ey + 5 * big) >> big) - 2, m); }

bool graph_picture_new() {
  const long w = graph_picture_width(n), h = graph_picture_height(m);
  // picture_new refuses a side beyond the X limit; anything larger is
  // passed as one past the limit so that an int cannot wrap.
  const bool drawn = picture_new(Picture::graph, int(w > 32768 ? 32768 : w), int(h > 32768 ? 32768 : h));
  const int s = graph_step();
  if (window_hooks().graph_scroll_size) window_hooks().graph_scroll_size((n + 7) * s, (m + 7) * s);
  if (drawn) {
    reverse_color(Picture::graph);
    picture_fill_rect(Picture::graph, 0, 0, int(w), int(h));
    normal_color(Picture::graph);
  }
  if (window_hooks().mark_field_bounds) window_hooks().mark_field_bounds(n, m);
  return drawn;
}

void draw_single_opt_alignment() {
  const int s = graph_step();
  xor_color(Picture::graph);
  for (uint32_t k = 0; k + 1 < hilfs_al.length() && hilfs_al[k] != -1; k += 2) {
    const int x = hilfs_al[k], y = hilfs_al[k + 1];
    picture_arc(Picture::graph, x * s + 3 * s - 1, y * s + 2 * s - 3, big + 2, big + 2, 0, 360 * 64);
    notify_dispatch();
    if (computing == 0) break;
  }
  normal_color(Picture::graph);
}

void plot_single_opt_alignment() {
  summary_message(10, 20, "Plotting optimal alignment, please wait one moment ...");
  draw_single_opt_alignment();
}

void draw_mark_square(int x, int y) {
  const int s = graph_step();
  picture_fill_rect(Picture::graph, (x + 3) * s - big, (y + 2) * s - 4 * big, 3 * big, 8 * big);
}

void draw_mark_letter(const char* letter, int x, int y, bool left) {
  const int s = graph_step();
  picture_string(Picture::graph, (x + 3) * s, (y + 2) * s + (left ? 8 * big : -6 * big), letter, 1);
}

void redraw_marks() {
  const int old[3][2] = {{markl_x, markl_y}, {markr_x, markr_y}, {markb_x, markb_y}};
  int* xs[3] = {&markl_x, &markr_x, &markb_x};
  int* ys[3] = {&markl_y, &markr_y, &markb_y};
  for (int k = 0; k < 3; ++k) {
    if (old[k][0] < 0) continue;
    *xs[k] = *ys[k] = -1;
    mo_x = old[k][0];
    mo_y = old[k][1];
    set_mark(k);
  }
}
