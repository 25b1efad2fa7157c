// The concave-cost engine's globals, its structures, the envelope minima over
// the per-column and per-row candidate lists, and the distance sweep.
#include "engine/concave/concave.h"

#include <cstdlib>
#include <vector>

#include "cost/cost.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/progress.h"

stack_list* Sz = nullptr;
stack_list* Ss = nullptr;
double_list* Lz = nullptr;
double_list* Ls = nullptr;
edge_matrix edge_m(1, 1);
int l_i = 0, l_j = 0;
int con_vorz = 1;
int merk_l1 = 0;

namespace {

int last_mode = 0;        // mode of the last sweep (6, 7, 8)
bool last_complete = false;

// Edge record codes of component 0.
constexpr int16_t EDGE_DIAGONAL = 32767;
constexpr int16_t EDGE_START = 32766;

// Gap cost of length k as the engine reads it: the tabulated value, and -1
// beyond the table (the only such read is candidate 0 at the sentinel target,
// which decides nothing about a minimum).
inline float wv(const float* w, uint32_t wl, int k) {
  return (uint32_t)k < wl ? w[k] : -1.0f;
}

// D along a column x: D(x, k) = base[k * stride].
struct ColumnD {
  const float* base;
  uint32_t stride;
  float operator()(int k) const { return base[(uint64_t)(uint32_t)k * stride]; }
};
// D along a row y: D(k, y) = base[k].
struct RowD {
  const float* base;
  float operator()(int k) const { return base[(uint32_t)k]; }
};

ColumnD column_d(int x) { return ColumnD{dist.numbers + (uint32_t)x, dist.dim_x_}; }
RowD row_d(int y) { return RowD{dist.row((uint32_t)y)}; }

// Last target in [t0, h] at which the new candidate t0 - 1 is at least as
// good as candidate k (t0 when there is none). A tie goes to the new one.
template <class DA>
int crossing(int t0, int k, int h, const DA& D, const float* w, uint32_t wl) {
  const float dk = D(k), dn = D(t0 - 1);
  int lo = t0, hi = h, r = t0;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    float vk = dk + wv(w, wl, mid - k);
    float vn = dn + wv(w, wl, mid - t0 + 1);
    if (vk >= vn) {
      r = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return r;
}

// Minimum over the candidates 0 .. t-1 of one column or row at target t:
//   min_k D(k) + w(t - k)
// kept as a lower envelope of candidate groups (a head and the candidates
// that tied with the best one when they arrived) with the stretch of targets
// each group wins. Pops never overwrite list elements, so every position
// recorded in an edge record keeps naming the chain it named.
template <class DA>
float envelope_min(stack_list& S, double_list& L, int t, int sentinel, const DA& D, const float* w,
                   uint32_t wl) {
  // Expire the groups whose stretch ended before t.
  while (!S.is_empty() && t > S.top(0)) {
    while (!L.is_empty() && L.top(0) > 0) L.pop();
    L.pop();
    S.pop();
  }
  const int c = std::abs(L(uint16_t(S.top(1)), 0));
  const float dn = D(t - 1);
  const float old_v = D(c) + wv(w, wl, t - c);
  const float new_v = dn + wv(w, wl, 1);
  if (old_v <= new_v) {
    // Tied members that fell behind their head leave (newest first).
    while (!L.is_empty()) {
      int k = std::abs(L.top(0));
      if (D(k) + wv(w, wl, t - k) > old_v)
        L.pop();
      else
        break;
    }
    if (new_v == old_v) L.push(int16_t(t - 1));
    return old_v;
  }
  // The new candidate opens a group: drop what it beats at the last target
  // of the group on top (by concavity it then beats it at every target).
  while (!L.is_empty() && !S.is_empty()) {
    const int h = S.top(0);
    const int v = L.top(0);
    const int k = std::abs(v);
    if (D(k) + wv(w, wl, h - k) > dn + wv(w, wl, h - t + 1)) {
      if (v <= 0) S.pop();
      L.pop();
    } else {
      break;
    }
  }
  if (S.is_empty()) {
    S.push(int16_t(sentinel), int16_t(L.get_free_pointer()));
  } else {
    const int h = S.top(0);
    const int k = std::abs(L(uint16_t(S.top(1)), 0));
    const int r = crossing(t, k, h, D, w, wl);
    S.push(int16_t(r), int16_t(L.get_free_pointer()));
  }
  L.push(int16_t(-(t - 1)));
  return new_v;
}

// The column minimum of the sweep: the same steps as envelope_min, with the
// values it reads most (top interval end, head candidate and its D, top
// element and its D) kept per column in one small record. The lists live in
// separate blocks and D(x, k) lies a whole row apart for every k, so reading
// them for every cell misses the cache; the records are read in order of x.
struct ColumnTop {
  int h;      // end of the top interval
  int hc;     // head candidate of the top interval
  float hd;   // D(x, hc)
  int tv;     // stored value of the top list element
  float td;   // D(x, |tv|)
};

template <class DA>
struct FastEnvelope {
  stack_list* S;
  double_list* L;
  ColumnTop* c;
  DA D;
  const float* w;  // padded: reads beyond the table give -1 like the container

  // The list and stack operations without the containers' checks: within the
  // sweep every pointer is either valid or the empty marker, and a list or
  // stack receives at most one element per target (its capacity).
  bool l_empty() const { return L->actual_ < 0; }
  int l_top() const { return L->numbers[2 * L->actual_]; }
  void l_pop() { L->actual_ = L->numbers[2 * L->actual_ + 1]; }
  void l_push(int v) {
    const int f = L->free_;
    if (f >= int(L->capacity_)) return;
    L->numbers[2 * f] = int16_t(v);
    L->numbers[2 * f + 1] = L->actual_;
    L->actual_ = int16_t(f);
    L->free_ = int16_t(f + 1);
  }
  bool s_empty() const { return S->sp_ == 0; }
  int s_h() const { return S->numbers[2 * (S->sp_ - 1)]; }
  int s_p() const { return S->numbers[2 * (S->sp_ - 1) + 1]; }
  void s_pop() { --S->sp_; }
  void s_push(int h, int p) {
    const int sp = S->sp_;
    if (sp >= int(S->capacity_)) return;
    S->numbers[2 * sp] = int16_t(h);
    S->numbers[2 * sp + 1] = int16_t(p);
    S->sp_ = uint16_t(sp + 1);
  }

  void refresh_top() {
    if (l_empty()) return;
    c->tv = l_top();
    c->td = D(std::abs(c->tv));
  }
  void refresh_head() {
    c->h = s_h();
    c->hc = std::abs(int(L->numbers[2 * s_p()]));
    c->hd = D(c->hc);
  }

  float step(int t, float dn, int sentinel) {
    if (t > c->h) {
      while (!s_empty() && t > s_h()) {
        while (!l_empty() && l_top() > 0) l_pop();
        if (!l_empty()) l_pop();
        s_pop();
      }
      refresh_head();
      refresh_top();
    }
    const float old_v = c->hd + w[t - c->hc];
    const float new_v = dn + w[1];
    if (old_v <= new_v) {
      while (!l_empty() && c->td + w[t - std::abs(c->tv)] > old_v) {
        l_pop();
        refresh_top();
      }
      if (new_v == old_v) {
        l_push(t - 1);
        c->tv = t - 1;
        c->td = dn;
      }
      return old_v;
    }
    bool head_stale = false;
    while (!l_empty() && !s_empty()) {
      const int h = head_stale ? s_h() : c->h;
      if (c->td + w[h - std::abs(c->tv)] > dn + w[h - t + 1]) {
        if (c->tv <= 0) {
          s_pop();
          head_stale = true;
        }
        l_pop();
        refresh_top();
      } else {
        break;
      }
    }
    int r = sentinel;
    if (!s_empty()) {
      if (head_stale) refresh_head();
      const int h = c->h, k = c->hc;
      const float dk = c->hd;
      int lo = t, hi = h;
      r = t;
      // The probes of crossing(), without branches on their outcome.
      while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const bool ge = dk + w[mid - k] >= dn + w[mid - t + 1];
        r = ge ? mid : r;
        lo = ge ? mid + 1 : lo;
        hi = ge ? hi : mid - 1;
      }
    }
    s_push(r, L->free_);
    l_push(-(t - 1));
    c->h = r;
    c->hc = t - 1;
    c->hd = dn;
    c->tv = -(t - 1);
    c->td = dn;
    return new_v;
  }
};

inline int16_t pointer_code(const double_list& L) { return int16_t(L.get_actual_pointer() + 1); }

inline void write_edge(int x, int y, int code) {
  int16_t c0 = 0, c1 = 0;
  if (code & 2) c0 = pointer_code(Ls[x]);
  if (code & 1) c0 = c0 ? int16_t(-c0) : EDGE_DIAGONAL;
  if (code & 4) c1 = pointer_code(Lz[y]);
  edge_m.set(uint32_t(x), uint32_t(y), 0, c0);
  edge_m.set(uint32_t(x), uint32_t(y), 1, c1);
}

}  // namespace

// ---- structures ----

void concave_setup() {
  concave_release();
  const int nn = n < 0 ? 0 : n, mm = m < 0 ? 0 : m;
  Sz = new stack_list[mm + 1];
  Lz = new double_list[mm + 1];
  Ss = new stack_list[nn + 1];
  Ls = new double_list[nn + 1];
  for (int j = 0; j <= mm; ++j) {
    Sz[j].change_length(uint16_t(nn + 1));
    Sz[j].push(int16_t(nn + 1), 0);
    Lz[j].change_length(uint16_t(nn + 1));
    Lz[j].push(0);
  }
  for (int i = 0; i <= nn; ++i) {
    Ss[i].change_length(uint16_t(mm + 1));
    Ss[i].push(int16_t(mm + 1), 0);
    Ls[i].change_length(uint16_t(mm + 1));
    Ls[i].push(0);
  }
  edge_m.change_dim(uint32_t(nn + 1), uint32_t(mm + 1));
  // The border cells carry no record; searches read them, so they read 0.
  for (int i = 0; i <= nn; ++i) {
    edge_m.set(uint32_t(i), 0, 0, 0);
    edge_m.set(uint32_t(i), 0, 1, 0);
  }
  for (int j = 0; j <= mm; ++j) {
    edge_m.set(0, uint32_t(j), 0, 0);
    edge_m.set(0, uint32_t(j), 1, 0);
  }
  last_mode = 0;
  last_complete = false;
}

void concave_release() {
  delete[] Sz;
  delete[] Ss;
  delete[] Lz;
  delete[] Ls;
  Sz = Ss = nullptr;
  Lz = Ls = nullptr;
}

void concave_reset() {
  concave_release();
  edge_m.change_dim(1, 1);
  edge_m = int16_t(0);
  l_i = l_j = 0;
  con_vorz = 1;
  merk_l1 = 0;
  last_mode = 0;
  last_complete = false;
}

int concave_mode() { return last_mode; }

uint64_t concave_bytes(int nn, int mm) {
  return uint64_t(nn + 1) * uint64_t(mm + 1) * 8u + uint64_t(nn) * uint64_t(mm) * 4u;
}
bool concave_complete() { return last_complete; }

// ---- envelope minima ----

float Spaltenminimum(int x, int y) {
  return envelope_min(Ss[x], Ls[x], y, m + 1, column_d(x), fu_res.numbers, fu_res.length_);
}

float Zeilenminimum(int x, int y) {
  return envelope_min(Sz[y], Lz[y], x, n + 1, row_d(y), fu_res.numbers, fu_res.length_);
}

int binaere_Spaltensuche(int t0, int k, int x, int h) {
  return crossing(t0, k, h, column_d(x), fu_res.numbers, fu_res.length_);
}

int binaere_Zeilensuche(int t0, int k, int y, int h) {
  return crossing(t0, k, h, row_d(y), fu_res.numbers, fu_res.length_);
}

void min_ueber_d(int x, int y) { write_edge(x, y, 1); }
void min_ueber_s(int x, int y) { write_edge(x, y, 2); }
void min_ueber_d_und_s(int x, int y) { write_edge(x, y, 3); }
void min_ueber_z(int x, int y) { write_edge(x, y, 4); }
void min_ueber_d_und_z(int x, int y) { write_edge(x, y, 5); }
void min_ueber_s_und_z(int x, int y) { write_edge(x, y, 6); }
void min_ueber_alle_drei(int x, int y) { write_edge(x, y, 7); }

// ---- distance ----

int cost_warning() {
  NoticeRequest r;
  r.lines = {"Your costfunction seems not to be'const. (>0) + concave' !"};
  r.buttons = {{" Stop computation ", 1}, {" Go on computing ", 0}};
  return notice(r);
}

// D(x, y) = min(D(x-1, y-1) + score(x, y), S(x, y), Z(x, y)) for 1 <= x <= n,
// 1 <= y <= m, further min(..., 0) in mode 8; S and Z are the envelope
// minima of the column and the row. Every exact tie keeps its step.
float concave_distance() {
  const int mode = computing;
  last_mode = mode;
  last_complete = false;
  const int L = n > m ? n : m;

  // Cost table, w(0), and the concavity test w(k-1) + w(k+1) <= 2.001 w(k).
  fu_res.change_length(uint32_t(L + 1));
  float w0 = float(gap_cost(0));
  if (fp_error()) {
    w0 = 1.0f;
    fp_err_clear();
  }
  // Every w(k), k = 1 .. L + 1, is evaluated once; w(L + 1) only serves the test.
  std::vector<double> wk(size_t(L) + 2, 0.0);
  for (int k = 1; L >= 1 && k <= L + 1; ++k) wk[size_t(k)] = gap_cost(k);
  for (int k = 1; k <= L; ++k) fu_res.set(uint32_t(k), float(wk[size_t(k)]));
  auto fails_test = [&](int k) {
    return double(fu_res[uint32_t(k - 1)]) + wk[size_t(k + 1)] > 2.001 * double(fu_res[uint32_t(k)]);
  };
  bool not_concave = false;
  for (int x = 2; x <= n; ++x)
    if (fails_test(x)) not_concave = true;
  for (int y = n > 2 ? n : 2; y <= m; ++y)
    if (fails_test(y)) not_concave = true;

  float* D0 = dist.row(0);
  D0[0] = 0.0f;
  for (int x = 1; x <= n; ++x) D0[x] = mode == 6 ? fu_res[uint32_t(x)] : 0.0f;
  for (int y = 1; y <= m; ++y) dist.set(0, uint32_t(y), mode == 8 ? 0.0f : fu_res[uint32_t(y)]);
  float run_min = 0.0f;

  if (not_concave || w0 <= 0.0f) {
    if (cost_warning() == 1) {
      computing = 0;
      return 0.0f;
    }
  }

  // Pair scores of the 26 letters, and whether each one is a missing table entry.
  float score[26][26];
  bool fill[26][26];
  for (int a = 0; a < 26; ++a)
    for (int b = 0; b < 26; ++b) score[a][b] = pair_score_peek(char('A' + a), char('A' + b), &fill[a][b]);

  sub_t = 0;
  int counter = 0;
  bytes = concave_bytes(n, m);
  gesamtkanten = 0;
  progress_reset();
  flush_display();

  const float* w = fu_res.numbers;
  const uint32_t wl = fu_res.length_;
  const uint32_t stride = dist.dim_x_;
  // Gap costs padded past the table with the container's -1.
  std::vector<float> wpad(size_t(L) + 3, -1.0f);
  for (uint32_t k = 0; k < wl && k < wpad.size(); ++k) wpad[k] = w[k];
  std::vector<ColumnTop> tops(size_t(n) + 1);
  for (int x = 0; x <= n; ++x) {
    const float d0 = dist(uint32_t(x), 0);
    tops[size_t(x)] = ColumnTop{m + 1, 0, d0, 0, d0};
  }
  const char* s1 = seq1.c_str();
  const char* s2 = seq2.c_str();
  float last = dist(uint32_t(n), uint32_t(m));
  bool stopped = false;
  constexpr int kAhead = 6;
  for (int y = 1; y <= m && !stopped; ++y) {
    show_time(200u * unsigned(y));
    float* Drow = dist.row(uint32_t(y));
    const float* Dprev = dist.row(uint32_t(y - 1));
    const int b = s2[y - 1] - 'A';
    stack_list& Srow = Sz[y];
    double_list& Lrow = Lz[y];
    ColumnTop row_top{n + 1, 0, Drow[0], 0, Drow[0]};
    FastEnvelope<RowD> row{&Srow, &Lrow, &row_top, RowD{Drow}, wpad.data()};
    for (int x = 1; x <= n; ++x) {
      if (x + kAhead <= n) {  // the top lines of a later column's stack and list
        const stack_list& sa = Ss[x + kAhead];
        const double_list& la = Ls[x + kAhead];
        __builtin_prefetch(sa.numbers + 2 * (sa.sp_ > 0 ? sa.sp_ - 1 : 0), 1);
        __builtin_prefetch(la.numbers + 2 * (la.actual_ > 0 ? la.actual_ : 0), 1);
        __builtin_prefetch(la.numbers + 2 * la.free_, 1);
        __builtin_prefetch(la.numbers, 1);
      }
      FastEnvelope<ColumnD> col{&Ss[x], &Ls[x], &tops[size_t(x)], ColumnD{dist.numbers + x, stride},
                                wpad.data()};
      const float s = col.step(y, Dprev[x], m + 1);
      const float z = row.step(x, Drow[x - 1], n + 1);
      const int a = s1[x - 1] - 'A';
      float sc;
      if ((unsigned)a < 26u && (unsigned)b < 26u) {
        sc = score[a][b];
        if (fill[a][b]) sub_t = 1;
      } else {
        sc = pair_score(s1[x - 1], s2[y - 1]);
      }
      const float d = Dprev[x - 1] + sc;
      // Code bits: 1 diagonal, 2 column, 4 row; exact ties keep every step.
      // (The outcomes are data-dependent: computed without branches.)
      const bool d_lt = d < s, d_gt = d > s;
      int code = 3 - 2 * int(d_lt) - int(d_gt);
      float best = d_gt ? s : d;
      const bool z_lt = best > z, z_eq = best == z;
      code = z_lt ? 4 : code + 4 * int(z_eq);
      best = z_lt ? z : best;
      if (mode == 8) {
        if (best > 0.0f) {
          best = 0.0f;
          code = 8;
        }
        if (best <= run_min) {
          run_min = best;
          l_i = x;
          l_j = y;
        }
      }
      Drow[x] = best;
      last = best;
      if (code == 8) {
        edge_m.set(uint32_t(x), uint32_t(y), 0, EDGE_START);
        edge_m.set(uint32_t(x), uint32_t(y), 1, 0);
      } else {
        write_edge(x, y, code);
      }
      if (++counter == 20) {
        counter = 0;
        notify_dispatch();
        if (!main_window_shown()) alles_aus();
        if (fp_error() || computing == 0) {
          stopped = true;
          break;
        }
      }
    }
  }
  if (!stopped && !fp_error() && computing != 0) last_complete = true;

  if (mode == 7) {
    if (!last_complete || n < 1) return last;
    const float* Dm = dist.row(uint32_t(m));
    float best = Dm[1];
    for (int x = 2; x <= n; ++x)
      if (Dm[x] < best) best = Dm[x];
    return best;
  }
  if (mode == 8) {
    if (n < 1 || m < 1) {
      l_i = n;
      l_j = m;
    }
    return run_min;
  }
  return last;
}
