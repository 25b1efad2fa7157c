// The concave-cost engine's globals, its structures, the envelope minima over
// the per-column and per-row candidate lists, and the distance sweep.
#include "engine/concave/concave.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "containers/alloc_check.h"
#include "cost/cost.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "ui/dispatch.h"
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
bool con_linear_path = true;

namespace {

int last_mode = 0;        // mode of the last sweep (6, 7, 8)
bool last_complete = false;
bool last_linear = false;  // the last sweep decided its crossings by the linear shortcut

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

// The envelope minimum of the sweep: the same steps as envelope_min, on one
// record per column (and one for the row being swept) that holds the list and
// stack pointers and the values read most: the top interval's end, its head
// candidate and D there, the top element and D there. The lists live in
// separate blocks and D(x, k) lies a whole row apart for every k, so reading
// them for every cell misses the cache; the column records are read in order
// of x. The pointers go back into the containers when the sweep ends
// (put_back), and the records are read again from them (take).
struct Env {
  int16_t* ln;  // list pairs: value, link
  int16_t* sn;  // stack pairs: interval end, head position
  int actual;   // list top, DL_EMPTY when empty
  int free;     // next free list pair
  int sp;       // number of stack pairs
  int lcap, scap;
  int h;        // end of the top interval
  int hc;       // head candidate of the top interval
  int hp;       // its position in the list
  float hd;     // D(hc)
  int tv;       // stored value of the top element (<= 0: a head)
  int tk;       // its candidate, |tv|
  float td;     // D(tk)
  int h2, hc2, hp2;  // the interval below the top one (when sp >= 2): end, head
  float hd2;         // candidate and position, D there
};

// Reads the interval below the top one into the record.
template <class DA>
inline void load_second(Env& e, const DA& D) {
  if (e.sp < 2) return;
  const int i = e.sp - 2;
  e.h2 = e.sn[2 * i];
  const int p = e.sn[2 * i + 1];
  e.hp2 = p;
  e.hc2 = p >= 0 && p < e.lcap ? std::abs(int(e.ln[2 * p])) : 0;
  e.hd2 = D(e.hc2);
}

template <class DA>
void take(Env& e, const stack_list& S, const double_list& L, const DA& D) {
  e.ln = L.numbers;
  e.sn = S.numbers;
  e.actual = L.actual_;
  e.free = L.free_;
  e.sp = S.sp_;
  e.lcap = L.capacity_;
  e.scap = S.capacity_;
  // The records mirror what the steps read; an empty stack or list (only
  // possible when the structures were not set up) reads as the initial group.
  e.h = e.sp > 0 ? e.sn[2 * (e.sp - 1)] : 0;
  const int hp = e.sp > 0 ? e.sn[2 * (e.sp - 1) + 1] : -1;
  e.hp = hp;
  e.hc = hp >= 0 && hp < e.lcap ? std::abs(int(e.ln[2 * hp])) : 0;
  e.hd = D(e.hc);
  e.tv = e.actual >= 0 && e.actual < e.lcap ? e.ln[2 * e.actual] : 0;
  e.tk = std::abs(e.tv);
  e.td = D(e.tk);
  e.h2 = e.hc2 = 0;
  e.hp2 = -1;
  e.hd2 = e.hd;
  load_second(e, D);
}

void put_back(const Env& e, stack_list& S, double_list& L) {
  L.actual_ = int16_t(e.actual);
  L.free_ = int16_t(e.free);
  S.sp_ = uint16_t(e.sp);
}

// Groups whose stretch ended before t leave: members, head, interval.
template <class DA>
__attribute__((noinline)) void expire_groups(Env& e, int t, DA D) {
  while (e.sp > 0 && t > e.sn[2 * (e.sp - 1)]) {
    while (e.actual >= 0 && e.ln[2 * e.actual] > 0) e.actual = e.ln[2 * e.actual + 1];
    if (e.actual >= 0) e.actual = e.ln[2 * e.actual + 1];
    --e.sp;
  }
  if (e.sp > 0) {
    e.h = e.sn[2 * (e.sp - 1)];
    e.hp = e.sn[2 * (e.sp - 1) + 1];
    e.hc = std::abs(int(e.ln[2 * e.hp]));
    e.hd = D(e.hc);
  }
  if (e.actual >= 0) {
    e.tv = e.ln[2 * e.actual];
    e.tk = std::abs(e.tv);
    e.td = D(e.tk);
  }
  load_second(e, D);
}

// With Linear set, the caller has shown that every comparison of the sweep is
// exact and the gap cost linear (exact_linear below); the crossing search is
// then decided by two probes instead of a binary search, with the same result.
template <class DA, bool Linear>
struct Step {
  Env& e;
  DA D;
  const float* w;  // padded: reads beyond the table give -1 like the container
  int16_t* spare;  // a pair that takes the writes of pushes not made

  // Within the sweep every list pointer is either a valid position or the
  // empty marker, and a list or stack receives at most one element per
  // target (its capacity); the pushes still refuse a full block.
  bool l_empty() const { return e.actual < 0; }
  void l_pop() { e.actual = e.ln[2 * e.actual + 1]; }
  void l_push(int v) {
    const int f = e.free;
    if (f >= e.lcap) return;
    e.ln[2 * f] = int16_t(v);
    e.ln[2 * f + 1] = int16_t(e.actual);
    e.actual = f;
    e.free = f + 1;
  }
  bool s_empty() const { return e.sp == 0; }
  // Pops the top interval; the one below becomes the top from the record.
  void s_pop() {
    --e.sp;
    e.h = e.h2;
    e.hc = e.hc2;
    e.hp = e.hp2;
    e.hd = e.hd2;
    load_second(e, D);
  }
  void s_push(int h, int p) {
    const int sp = e.sp;
    if (sp >= e.scap) return;
    e.sn[2 * sp] = int16_t(h);
    e.sn[2 * sp + 1] = int16_t(p);
    e.sp = sp + 1;
    e.h2 = e.h;
    e.hc2 = e.hc;
    e.hp2 = e.hp;
    e.hd2 = e.hd;
  }
  void refresh_top() {
    if (l_empty()) return;
    e.tv = e.ln[2 * e.actual];
    e.tk = std::abs(e.tv);
    e.td = D(e.tk);
  }

  // The new candidate t - 1 (value dn) opens a group.
  float open_group(int t, float dn, float new_v, int sentinel) {
    if (Linear && e.hc >= 1 && !l_empty() && e.hp >= 0 && e.hp < e.lcap) {
      // The top group goes as a whole. Its members tied with the head
      // (candidate c >= 1) at arrival, so under exact linear costs every
      // element has the value of c at every target up to L + 1, and c lost
      // at t: each element is beaten at the interval end, and the loop below
      // would pop them one by one down to the head and its interval.
      e.actual = e.ln[2 * e.hp + 1];
      s_pop();
      refresh_top();
    }
    while (!l_empty() && !s_empty()) {
      const int h = e.h;
      if (e.td + w[h - e.tk] > dn + w[h - t + 1]) {
        if (e.tv <= 0) s_pop();
        l_pop();
        refresh_top();
      } else {
        break;
      }
    }
    int r = sentinel;
    if (!s_empty()) {
      const int h = e.h, k = e.hc;
      const float dk = e.hd;
      if (Linear) {
        // Exact sums and w(j) = w(1) + (j - 1) d make the probe's outcome the
        // same at every target of [t, h - 1] (D(k) - k d against D(t - 1) -
        // (t - 1) d). Only h can differ: as the sentinel of candidate 0 it
        // reads past the table. So the binary search ends at t when the probe
        // fails, else at h or h - 1.
        const bool first = dk + w[t - k] >= dn + w[1];
        const bool last = dk + w[h - k] >= dn + w[h - t + 1];
        r = first ? h - int(!last) : t;
      } else {
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
    }
    const int pos = e.free;
    s_push(r, pos);
    l_push(-(t - 1));
    e.h = r;
    e.hc = t - 1;
    e.hp = pos;
    e.hd = dn;
    e.tv = -(t - 1);
    e.tk = t - 1;
    e.td = dn;
    return new_v;
  }

  float operator()(int t, float dn, int sentinel) {
    if (t > e.h) {
      // Rare: a copy keeps the record of the row out of memory.
      Env c = e;
      expire_groups(c, t, D);
      e = c;
    }
    const float old_v = e.hd + w[t - e.hc];
    const float new_v = dn + w[1];
    if (old_v <= new_v) {
      // Tied members that fell behind their head leave (newest first). Not
      // under Linear: the top element belongs to the top group, and a member
      // tied with its head at arrival has D(k) - k d = D(head) - head d, so
      // its exact value equals the head's at every target t <= L.
      while (!Linear && !l_empty() && e.td + w[t - e.tk] > old_v) {
        l_pop();
        refresh_top();
      }
      // A tie joins as a member. The push is written as selections (a push
      // not made writes to a spare pair) so that the compiler need not
      // branch on this data-dependent outcome.
      const int f = e.free;
      const bool push = new_v == old_v && f < e.lcap;
      int16_t* slot = push ? e.ln + 2 * f : spare;
      slot[0] = int16_t(t - 1);
      slot[1] = int16_t(e.actual);
      e.actual = push ? f : e.actual;
      e.free = f + int(push);
      e.tv = push ? t - 1 : e.tv;
      e.tk = push ? t - 1 : e.tk;
      e.td = push ? dn : e.td;
      return old_v;
    }
    return open_group(t, dn, new_v, sentinel);
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

// Component 0 of an edge record by combination code 1 .. 7 (bit 1 diagonal,
// 2 column, 4 row): the sign of the column chain code, and the diagonal's own
// code when there is no column step.
constexpr int kC0Sign[8] = {0, 0, 1, -1, 0, 0, 1, -1};
constexpr int kC0Diag[8] = {0, EDGE_DIAGONAL, 0, 0, 0, EDGE_DIAGONAL, 0, 0};

// c ? a : b without a branch (for data-dependent outcomes).
inline int pick(bool c, int a, int b) {
  const int mask = -int(c);
  return (a & mask) | (b & ~mask);
}

// Exponent of the lowest set bit of a finite non-zero float: v = odd * 2^e.
int low_exponent(float v) {
  int e = 0;
  const double f = std::frexp(std::fabs(double(v)), &e);  // [0.5, 1) * 2^e
  int64_t mant = int64_t(std::ldexp(f, 24));               // exact: 24 bits
  e -= 24;
  while ((mant & 1) == 0) {
    mant >>= 1;
    ++e;
  }
  return e;
}

// Whether every comparison of the sweep is decided on exact values under a
// linear gap cost. Holds when
//  - w(j) = w(1) + (j - 1) d for j = 1 .. L (checked on exact differences),
//  - every gap cost, every pair score the two sequences can use and the -1
//    read past the table are integer multiples of one power of two q,
//  - every sum the sweep forms stays within 2^23 q in magnitude.
// Every D value and every candidate value is then the cost of some path
// (pair scores and gap runs, at most n + m + 2 letters long) or such a cost
// minus 1, so it is a multiple of q below 2^24 q: single-precision sums are
// exact and all comparisons are those of the exact values.
bool exact_linear(const float* w, int L, const float (*score)[26], const char* s1, int nn, const char* s2,
                  int mm) {
  if (L < 1 || nn < 1 || mm < 1) return false;
  bool in1[26] = {}, in2[26] = {};
  for (int i = 0; i < nn; ++i) {
    const int a = s1[i] - 'A';
    if (a < 0 || a >= 26) return false;
    in1[a] = true;
  }
  for (int i = 0; i < mm; ++i) {
    const int b = s2[i] - 'A';
    if (b < 0 || b >= 26) return false;
    in2[b] = true;
  }
  int qe = 0;  // exponent of q; the -1 read past the table needs q <= 1
  double wmax = 0.0, smax = 0.0;
  auto take = [&](float v, double& mx) {
    if (!std::isfinite(v)) return false;
    if (v != 0.0f) qe = std::min(qe, low_exponent(v));
    mx = std::max(mx, std::fabs(double(v)));
    return true;
  };
  for (int j = 1; j <= L; ++j)
    if (!take(w[j], wmax)) return false;
  for (int a = 0; a < 26; ++a)
    for (int b = 0; b < 26; ++b)
      if (in1[a] && in2[b] && !take(score[a][b], smax)) return false;
  const double limit = std::ldexp(1.0, qe + 23);
  // Below 2^24 q every value is an exact double multiple of q, and so is
  // every difference of two of them.
  if (wmax > limit || smax > limit) return false;
  const double d = L >= 2 ? double(w[2]) - double(w[1]) : 0.0;
  for (int j = 2; j <= L; ++j)
    if (double(w[j]) - double(w[j - 1]) != d) return false;
  // A path: at most min(n, m) pairs, gap runs of r runs and G letters in all
  // cost r (w(1) - d) + G d, with r <= G <= n + m + 2.
  const double gap_letters = double(nn) + double(mm) + 2.0;
  const double bound = double(std::min(nn, mm)) * smax +
                       gap_letters * (std::fabs(double(w[1]) - d) + std::fabs(d)) + wmax + 1.0;
  return bound <= limit;
}

// What the sweep reads and writes besides the globals.
struct Sweep {
  int mode;
  const float (*score)[26];  // [letter of seq2][letter of seq1]
  const bool (*fill)[26];    // idem: a missing table entry
  const float* w;            // gap costs padded past the table with -1
  float run_min;
  float last;
  bool stopped;
};

// Cells are taken in stretches that end where the event check falls (every
// 20 cells, counted across rows).
constexpr int kMaxStretch = 20;

// The column minima of the cells x0 .. x0 + len - 1 of row y (len <=
// kMaxStretch): S values and the column lists' pointer codes (top position + 1).
template <bool Linear>
__attribute__((noinline)) void column_pass(Env* cols, int x0, int len, int y, const float* Dprev, const float* w,
                                           int16_t* spare, float* s_of, int* ps_of) {
  constexpr int kAhead = 8;
  const uint32_t stride = dist.dim_x_;
  const int sentinel = m + 1;
  if (Linear) {
    // Under exact linear costs a step that the new candidate does not win
    // changes nothing but a tie's push (no member falls behind its head), so
    // the outcomes of the stretch are found first, without branches, and the
    // pushes and new groups then run over lists of their cells: the
    // data-dependent outcome costs no mispredicted branch per cell.
    int ties[kMaxStretch], opens[kMaxStretch];
    float news[kMaxStretch];
    int n_ties = 0, n_opens = 0;
    for (int i = 0; i < len; ++i) {
      const int x = x0 + i;
      Env& ce = cols[x];
      if (y > ce.h) {
        Env c = ce;
        expire_groups(c, y, ColumnD{dist.numbers + x, stride});
        ce = c;
      }
      const float old_v = ce.hd + w[y - ce.hc];
      const float new_v = Dprev[x] + w[1];
      s_of[i] = old_v <= new_v ? old_v : new_v;
      news[i] = new_v;
      ties[n_ties] = i;
      n_ties += int(new_v == old_v);
      opens[n_opens] = i;
      n_opens += int(new_v < old_v);
    }
    for (int j = 0; j < n_ties; ++j) {
      const int x = x0 + ties[j];
      Env& ce = cols[x];
      if (ce.free >= ce.lcap) continue;
      Step<ColumnD, Linear> col{ce, ColumnD{dist.numbers + x, stride}, w, spare};
      col.l_push(y - 1);
      ce.tv = y - 1;
      ce.tk = y - 1;
      ce.td = Dprev[x];
    }
    for (int j = 0; j < n_opens; ++j) {
      const int i = opens[j];
      const int x = x0 + i;
      if (x + kAhead <= n) {
        // Nearly half the column steps pop and push at the top of their list
        // under linear costs: the lines of a later column are fetched ahead
        // (strictly concave costs rarely touch them).
        const Env& ea = cols[x + kAhead];
        __builtin_prefetch(ea.ln + 2 * ea.free, 1);
        __builtin_prefetch(ea.ln + 2 * (ea.actual > 0 ? ea.actual : 0), 1);
      }
      Env& ce = cols[x];
      Step<ColumnD, Linear> col{ce, ColumnD{dist.numbers + x, stride}, w, spare};
      col.open_group(y, Dprev[x], news[i], sentinel);
    }
    for (int i = 0; i < len; ++i) ps_of[i] = cols[x0 + i].actual + 1;
    return;
  }
  for (int i = 0; i < len; ++i) {
    const int x = x0 + i;
    Env& ce = cols[x];
    Step<ColumnD, Linear> col{ce, ColumnD{dist.numbers + x, stride}, w, spare};
    s_of[i] = col(y, Dprev[x], sentinel);
    ps_of[i] = ce.actual + 1;
  }
}

// What the chain along one row reads besides the row's record.
struct RowCtx {
  int mode;
  float* Drow;          // D(., y)
  const float* Dprev;   // D(., y - 1)
  int16_t* Erow;        // edge records of row y (null: written through the checks)
  const uint8_t* a1;    // letters of seq1 as table indices (26: none)
  bool b_letter;        // letter y of seq2 is in the table
  const float* sc_row;  // pair scores against letter y of seq2
  const bool* fill_row;
  const char* s1;
  const char* s2;
  const float* w;
  int16_t* spare;
  const float* s_of;    // column minima of the stretch
  const int* ps_of;     // and the column lists' pointer codes
  float run_min;        // mode 8: the smallest value so far
  bool sub_used;        // a missing table entry was used
};

// The row minima and the choice of the cells x0 .. x0 + len - 1 of row y:
// D values and edge records. Returns the value of the last cell.
template <bool Linear>
__attribute__((noinline)) float row_pass(RowCtx& rc, Env& re_io, int x0, int len, int y) {
  Env re = re_io;  // a local copy the compiler may keep in registers
  Step<RowD, Linear> row{re, RowD{rc.Drow}, rc.w, rc.spare};
  const int sentinel = n + 1;
  bool sub_used = false;
  float best = 0.0f;
  for (int i = 0; i < len; ++i) {
    const int x = x0 + i;
    const float s = rc.s_of[i];
    const float z = row(x, rc.Drow[x - 1], sentinel);
    const int a = rc.a1[x];
    float sc;
    if (a < 26 && rc.b_letter) {
      sc = rc.sc_row[a];
      sub_used |= rc.fill_row[a];
    } else {
      sc = pair_score(rc.s1[x - 1], rc.s2[y - 1]);
    }
    const float d = rc.Dprev[x - 1] + sc;
    // Code bits: 1 diagonal, 2 column, 4 row; exact ties keep every step.
    // (The outcomes are data-dependent: computed without branches.)
    const bool d_lt = d < s, d_gt = d > s;
    int code = 3 - 2 * int(d_lt) - int(d_gt);
    best = d_gt ? s : d;
    const bool z_lt = best > z, z_eq = best == z;
    code = pick(z_lt, 4, code + 4 * int(z_eq));
    best = z_lt ? z : best;
    if (rc.mode == 8) {
      if (best > 0.0f) {
        best = 0.0f;
        code = 8;
      }
      if (best <= rc.run_min) {
        rc.run_min = best;
        l_i = x;
        l_j = y;
      }
    }
    rc.Drow[x] = best;
    // The edge record: the pointer codes are the lists' top positions + 1.
    int c0, c1;
    if (code == 8) {
      c0 = EDGE_START;
      c1 = 0;
    } else {
      // Column chain p, or -p with the diagonal; the diagonal alone
      // 32767. The lists are never empty after a step, so p >= 1.
      c0 = kC0Sign[code] * rc.ps_of[i] + kC0Diag[code];
      c1 = (code >> 2) * (re.actual + 1);
    }
    if (rc.Erow) {
      rc.Erow[2 * x] = int16_t(c0);
      rc.Erow[2 * x + 1] = int16_t(c1);
    } else {
      edge_m.set(uint32_t(x), uint32_t(y), 0, int16_t(c0));
      edge_m.set(uint32_t(x), uint32_t(y), 1, int16_t(c1));
    }
  }
  re_io = re;
  if (sub_used) rc.sub_used = true;
  return best;
}

// D(x, y) = min(D(x-1, y-1) + score(x, y), S(x, y), Z(x, y)) for 1 <= x <= n,
// 1 <= y <= m, further min(..., 0) in mode 8; S and Z are the envelope
// minima of the column and the row. Every exact tie keeps its step.
template <bool Linear>
__attribute__((noinline)) void sweep(Sweep& sw) {
  const int mode = sw.mode;
  const uint32_t stride = dist.dim_x_;
  const char* s1 = seq1.c_str();
  const char* s2 = seq2.c_str();
  // Letters of seq1 as table indices (26: not a letter).
  std::vector<uint8_t> a1(size_t(n) + 1, 26);
  for (int x = 1; x <= n; ++x) {
    const int a = s1[x - 1] - 'A';
    a1[size_t(x)] = uint8_t(a >= 0 && a < 26 ? a : 26);
  }
  std::vector<Env> cols(size_t(n) + 1);
  for (int x = 1; x <= n; ++x) take(cols[size_t(x)], Ss[x], Ls[x], ColumnD{dist.numbers + x, stride});
  auto put_back_columns = [&]() {
    for (int x = 1; x <= n; ++x) put_back(cols[size_t(x)], Ss[x], Ls[x]);
  };
  // Edge records are written straight into their rows when the matrix has
  // the size the sweep needs.
  const bool edge_rows = edge_m.dim_x_ >= uint32_t(n) + 1 && edge_m.dim_y_ >= uint32_t(m) + 1;
  int counter = 0;
  // Cells are taken in stretches that end where the event check falls (every
  // 20 cells, counted across rows): first the column minima of the stretch,
  // which depend on earlier rows only, then the chain along the row. So the
  // structures are at every check what the cell-by-cell order leaves there.
  constexpr int kCheck = kMaxStretch;
  float s_of[kCheck];
  int ps_of[kCheck];
  int16_t spare[2];
  RowCtx rc{};
  rc.mode = mode;
  rc.a1 = a1.data();
  rc.s1 = s1;
  rc.s2 = s2;
  rc.w = sw.w;
  rc.spare = spare;
  rc.s_of = s_of;
  rc.ps_of = ps_of;
  rc.run_min = sw.run_min;
  for (int y = 1; y <= m && !sw.stopped; ++y) {
    show_time(200u * unsigned(y));
    float* Drow = dist.row(uint32_t(y));
    const float* Dprev = dist.row(uint32_t(y - 1));
    int16_t* Erow = edge_rows ? edge_m.numbers + 2 * uint64_t(y) * edge_m.dim_x_ : nullptr;
    const int b = s2[y - 1] - 'A';
    const bool b_letter = b >= 0 && b < 26;
    rc.Drow = Drow;
    rc.Dprev = Dprev;
    rc.Erow = Erow;
    rc.b_letter = b_letter;
    rc.sc_row = sw.score[b_letter ? b : 0];
    rc.fill_row = sw.fill[b_letter ? b : 0];
    Env re;
    take(re, Sz[y], Lz[y], RowD{Drow});
    for (int x0 = 1; x0 <= n;) {
      const int len = std::min(n - x0 + 1, kCheck - counter);
      column_pass<Linear>(cols.data(), x0, len, y, Dprev, sw.w, spare, s_of, ps_of);
      const float best = row_pass<Linear>(rc, re, x0, len, y);
      sw.last = best;
      x0 += len;
      counter += len;
      if (counter == kCheck) {
        counter = 0;
        if (rc.sub_used) sub_t = 1;
        sw.run_min = rc.run_min;
        notify_dispatch();
        if (!main_window_shown()) {
          put_back(re, Sz[y], Lz[y]);
          put_back_columns();
          alles_aus();
        }
        if (fp_error() || computing == 0) {
          sw.stopped = true;
          break;
        }
      }
    }
    put_back(re, Sz[y], Lz[y]);
  }
  if (rc.sub_used) sub_t = 1;
  sw.run_min = rc.run_min;
  put_back_columns();
}

}  // namespace

// ---- structures ----

namespace {

// One block holds the pairs of every row and column stack and list (each
// part starts on a cache line): a single allocation instead of one per
// object, and the parts the sweep never reaches are never touched.
int16_t* list_block = nullptr;
uint64_t list_block_bytes = 0;

// Pairs reserved for an object of capacity len (a multiple of 16 pairs,
// 64 bytes).
inline uint64_t slot_pairs(int len) { return (uint64_t(len) + 15) & ~uint64_t(15); }

}  // namespace

void concave_setup() {
  concave_release();
  const int nn = n < 0 ? 0 : n, mm = m < 0 ? 0 : m;
  Sz = new stack_list[mm + 1];
  Lz = new double_list[mm + 1];
  Ss = new stack_list[nn + 1];
  Ls = new double_list[nn + 1];
  const uint64_t row_slot = slot_pairs(nn + 1), col_slot = slot_pairs(mm + 1);
  const uint64_t pairs = 2 * (uint64_t(mm + 1) * row_slot + uint64_t(nn + 1) * col_slot);
  // Aligned to a cache line (16 spare pairs, 64 bytes, cover the shift).
  list_block = VD_NEW_ARRAY(int16_t, 2 * (pairs + 16), "concave.cpp", "concave_setup", "list_block!=0");
  list_block_bytes = 2 * (pairs + 16) * sizeof(int16_t);
  int16_t* next = reinterpret_cast<int16_t*>((reinterpret_cast<uintptr_t>(list_block) + 63) & ~uintptr_t(63));
  auto lend = [&next](auto& obj, uint64_t slot, int len) {
    obj.use_block(next, uint16_t(len));
    next += 2 * slot;
  };
  for (int j = 0; j <= mm; ++j) {
    lend(Sz[j], row_slot, nn + 1);
    Sz[j].push(int16_t(nn + 1), 0);
    lend(Lz[j], row_slot, nn + 1);
    Lz[j].push(0);
  }
  for (int i = 0; i <= nn; ++i) {
    lend(Ss[i], col_slot, mm + 1);
    Ss[i].push(int16_t(mm + 1), 0);
    lend(Ls[i], col_slot, mm + 1);
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
  last_linear = false;
}

void concave_release() {
  delete[] Sz;
  delete[] Ss;
  delete[] Lz;
  delete[] Ls;
  Sz = Ss = nullptr;
  Lz = Ls = nullptr;
  // After the objects: they work in this block.
  delete[] list_block;
  list_block = nullptr;
  list_block_bytes = 0;
}

uint64_t concave_stored_bytes() {
  if (Sz == nullptr) return 0;
  const uint64_t objects = (uint64_t(m) + 1 + uint64_t(n) + 1) * (sizeof(stack_list) + sizeof(double_list));
  return uint64_t(edge_m.dim_x_) * edge_m.dim_y_ * 2 * sizeof(int16_t) + list_block_bytes + objects;
}

void concave_reset() {
  concave_release();
  edge_m.change_dim(1, 1);
  edge_m = int16_t(0);
  l_i = l_j = 0;
  con_vorz = 1;
  merk_l1 = 0;
  con_linear_path = true;
  last_mode = 0;
  last_complete = false;
  last_linear = false;
}

int concave_mode() { return last_mode; }
bool concave_linear_used() { return last_linear; }

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
  r.id = NoticeId::concavity;
  return notice(r);
}

// The distance in the mode of computing (6, 7, 8): cost table, concavity
// test, borders, then the sweep over the inner cells.
float concave_distance() {
  const int mode = computing;
  last_mode = mode;
  last_complete = false;
  last_linear = false;
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
  bytes = concave_bytes(n, m);
  gesamtkanten = 0;
  progress_reset(m);
  flush_display();

  const float* w = fu_res.numbers;
  const uint32_t wl = fu_res.length_;
  // Gap costs padded past the table with the container's -1.
  std::vector<float> wpad(size_t(L) + 3, -1.0f);
  for (uint32_t k = 0; k < wl && k < wpad.size(); ++k) wpad[k] = w[k];
  // Pair scores by letter of seq2, then letter of seq1.
  float score_t[26][26];
  bool fill_t[26][26];
  for (int a = 0; a < 26; ++a)
    for (int b = 0; b < 26; ++b) {
      score_t[b][a] = score[a][b];
      fill_t[b][a] = fill[a][b];
    }
  Sweep sw{mode, score_t, fill_t, wpad.data(), run_min, dist(uint32_t(n), uint32_t(m)), false};
  last_linear = con_linear_path && exact_linear(wpad.data(), L, score, seq1.c_str(), n, seq2.c_str(), m);
  if (last_linear)
    sweep<true>(sw);
  else
    sweep<false>(sw);
  run_min = sw.run_min;
  const float last = sw.last;
  const bool stopped = sw.stopped;
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
