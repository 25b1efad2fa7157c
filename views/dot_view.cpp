#include "views/dot_view.h"

#include <algorithm>
#include <vector>

#include "state/state.h"
#include "ui/picture.h"
#include "ui/progress.h"

namespace {

constexpr long kMaxSide = 32767;  // an X pixmap side
constexpr int kTileAround = 2048;  // a tile of a large picture reaches this far past the view
constexpr int kAutomaticLimit = 400;

// Tile coordinates of picture pixel x, y.
int tx(const DotTile& t, long x) { return static_cast<int>(x - t.x0); }
int ty(const DotTile& t, long y) { return static_cast<int>(y - t.y0); }

// Lines clipped to the tile (one pixel beyond it, so that no end shows).
void hline(const DotTile& t, long x1, long x2, long y) {
  if (y < t.y0 || y >= t.y0 + t.h) return;
  x1 = std::max<long>(x1, t.x0 - 1);
  x2 = std::min<long>(x2, t.x0 + t.w);
  if (x1 <= x2) picture_line(Picture::dot, tx(t, x1), ty(t, y), tx(t, x2), ty(t, y));
}

void vline(const DotTile& t, long x, long y1, long y2) {
  if (x < t.x0 || x >= t.x0 + t.w) return;
  y1 = std::max<long>(y1, t.y0 - 1);
  y2 = std::min<long>(y2, t.y0 + t.h);
  if (y1 <= y2) picture_line(Picture::dot, tx(t, x), ty(t, y1), tx(t, x), ty(t, y2));
}

// A letter or '*' whose glyph (about 6 x 13 pixels above and around its
// baseline point) may meet the tile.
void glyph(const DotTile& t, long x, long y, const char* c) {
  if (x + 10 < t.x0 || x > t.x0 + t.w || y + 4 < t.y0 || y - 14 > t.y0 + t.h) return;
  picture_string(Picture::dot, tx(t, x), ty(t, y), c, 1);
}

// The range [lo, hi] of the letters 1..len whose cells (at `first` + step
// * i, `size` pixels wide, `before` pixels reaching back) meet [a, b).
void letters_in(long a, long b, long first, long step, long before, long size, int len, int* lo,
                int* hi) {
  *lo = static_cast<int>(std::max<long>(1, (a - first - size) / step));
  *hi = static_cast<int>(std::min<long>(len, (b - first + before) / step + 1));
}

// The step after one row: the bar, dispatch, and the interrupt test.
bool row_done(DotPlot& p, int j, int first, bool progress) {
  if (!progress) return true;
  show_ntime(200u * static_cast<unsigned>(j - first + 1));
  if (computing != 0) return true;
  p.rows = j;
  return false;
}

void draw_small(DotPlot& p, const DotTile& t, bool progress, int jlo, int jhi) {
  if (t.y0 < 16) picture_string(Picture::dot, 20 - t.x0, 12 - t.y0, "Sequence1 >, Sequence2 v", 24);
  const int n1 = static_cast<int>(p.s1.size());
  int ilo, ihi;
  letters_in(t.x0, t.x0 + t.w, 20, 2, 0, 2, n1, &ilo, &ihi);
  const int row_bytes = (t.w + 7) / 8;
  std::vector<unsigned char> bits(2 * static_cast<size_t>(row_bytes));
  for (int j = jlo; j <= jhi; ++j) {
    std::fill(bits.begin(), bits.end(), 0);
    const char c = p.s2[static_cast<size_t>(j - 1)];
    for (int i = ilo; i <= ihi; ++i) {
      if (p.s1[static_cast<size_t>(i - 1)] != c) continue;
      for (int x = tx(t, dot_small_x(i)), k = 0; k < 2; ++k, ++x)
        if (x >= 0 && x < t.w) bits[static_cast<size_t>(x >> 3)] |= static_cast<unsigned char>(1u << (x & 7));
    }
    std::copy(bits.begin(), bits.begin() + row_bytes, bits.begin() + row_bytes);
    const int y = ty(t, dot_small_y(j));
    const int top = std::max(0, y), bottom = std::min(t.h, y + 2);
    if (top < bottom)
      picture_put_bits(Picture::dot, 0, top, t.w, bottom - top, bits.data(), row_bytes);
    if (!row_done(p, j, jlo, progress)) return;
  }
}

void draw_big(DotPlot& p, const DotTile& t, bool progress, int jlo, int jhi) {
  const int n1 = static_cast<int>(p.s1.size()), m2 = static_cast<int>(p.s2.size());
  int ilo, ihi;
  letters_in(t.x0, t.x0 + t.w, 20, 8, 8, 8, n1, &ilo, &ihi);
  for (int i = ilo; i <= ihi; ++i) glyph(t, dot_big_x(i), 12, &p.s1[static_cast<size_t>(i - 1)]);
  hline(t, 26, dot_big_x(n1) + 7, 14);
  vline(t, 26, 15, dot_big_y(m2) + 2);
  // The vertical grid, in full, as with the first row.
  if (jlo <= jhi)
    for (int i = ilo; i <= ihi; ++i) vline(t, dot_big_x(i) + 7, 15, dot_big_y(m2) + 2);
  for (int j = jlo; j <= jhi; ++j) {
    const char c = p.s2[static_cast<size_t>(j - 1)];
    glyph(t, 10, dot_big_y(j), &p.s2[static_cast<size_t>(j - 1)]);
    for (int i = ilo; i <= ihi; ++i)
      if (p.s1[static_cast<size_t>(i - 1)] == c) glyph(t, dot_big_x(i) + 1, dot_big_y(j) + 1, "*");
    hline(t, 26, dot_big_x(n1) + 6, dot_big_y(j) + 2);
    if (!row_done(p, j, jlo, progress)) return;
  }
}

}  // namespace

bool dot_small_style(int flag, int nn, int mm) {
  return flag == 1 || (flag == 2 && nn + mm > kAutomaticLimit);
}

DotPlot dot_plot_of_inputs() {
  DotPlot p;
  p.s1 = seq1.c_str();
  p.s2 = seq2.c_str();
  p.small = dot_small_style(plot_flag, static_cast<int>(p.s1.size()), static_cast<int>(p.s2.size()));
  p.rows = static_cast<int>(p.s2.size());
  return p;
}

long dot_picture_width(const DotPlot& p) {
  const long len = static_cast<long>(p.s1.size());
  if (!p.small) return 8 * len + 50;
  return len < 125 ? 300 : 2 * len + 50;
}

long dot_picture_height(const DotPlot& p) {
  const long len = static_cast<long>(p.s2.size());
  return p.small ? 2 * len + 50 : 12 * len + 50;
}

namespace {

void tile_axis(long total, int view, int canvas, int* start, int* size) {
  if (total <= kMaxSide) {
    *start = 0;
    *size = static_cast<int>(total);
    return;
  }
  const long span = std::min<long>(kMaxSide, static_cast<long>(canvas) + 2 * kTileAround);
  long s = std::max<long>(0, static_cast<long>(view) - kTileAround);
  s = std::min(s, total - span);
  *start = static_cast<int>(s);
  *size = static_cast<int>(span);
}

}  // namespace

DotTile dot_tile_for(const DotPlot& p, int vx, int vy, int cw, int ch) {
  DotTile t;
  tile_axis(dot_picture_width(p), vx, cw, &t.x0, &t.w);
  tile_axis(dot_picture_height(p), vy, ch, &t.y0, &t.h);
  return t;
}

bool dot_tile_covers(const DotTile& t, int vx, int vy, int cw, int ch) {
  return t.w > 0 && vx >= t.x0 && vy >= t.y0 && static_cast<long>(vx) + cw <= static_cast<long>(t.x0) + t.w &&
         static_cast<long>(vy) + ch <= static_cast<long>(t.y0) + t.h;
}

bool draw_dot_tile(DotPlot& p, const DotTile& t, bool progress) {
  if (!picture_new(Picture::dot, t.w, t.h)) return false;
  normal_color(Picture::dot);
  // The rows whose marks may meet the tile, and no further than drawn so far.
  const int rows = std::min(p.rows, static_cast<int>(p.s2.size()));
  int jlo, jhi;
  if (p.small) letters_in(t.y0, t.y0 + t.h, 15, 2, 0, 2, rows, &jlo, &jhi);
  else letters_in(t.y0, t.y0 + t.h, 14, 12, 14, 12, rows, &jlo, &jhi);
  if (progress) progress_reset(jhi - jlo + 1);
  if (p.small) draw_small(p, t, progress, jlo, jhi);
  else draw_big(p, t, progress, jlo, jhi);
  return true;
}
