// The concave-cost engine's globals, its structures, the envelope minima over
// the per-column and per-row candidate lists, and the distance sweep.
#include "engine/concave/concave.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "containers/alloc_check.h"
#include "engine/concave/sweep.h"
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

using namespace concave_sweep;

int last_mode = 0;        // mode of the last sweep (6, 7, 8)
bool last_complete = false;
bool last_linear = false;  // the last sweep decided its crossings by the linear shortcut

// Gap cost of length k as the engine reads it: the tabulated value, and -1
// beyond the table (the only such read is candidate 0 at the sentinel target,
// which decides nothing about a minimum).
inline float wv(const float* w, uint32_t wl, int k) {
  return (uint32_t)k < wl ? w[k] : -1.0f;
}

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
  if (S.get_stack_pointer() >= S.capacity()) grow_stack(S, sentinel);
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
  stack_list* so;  // the stack itself (it may have to grow)
  int smax;        // the length it may grow to
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
void take(Env& e, stack_list& S, const double_list& L, const DA& D) {
  e.ln = L.numbers;
  e.sn = S.numbers;
  e.so = &S;
  e.smax = L.capacity_;
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

template <class DA>
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
    if (sp >= e.scap) {
      e.so->sp_ = uint16_t(sp);
      if (!grow_stack(*e.so, e.smax)) return;
      e.sn = e.so->numbers;
      e.scap = e.so->capacity_;
    }
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
      // Tied members that fell behind their head leave (newest first).
      while (!l_empty() && e.td + w[t - e.tk] > old_v) {
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
  // The linear sweep also forms D(k) - k d and w(1) - d + t d for positions
  // k, t up to L + 1, and their sums.
  const double shifts = 2.0 * (double(L) + 1.0) * std::fabs(d) + std::fabs(double(w[1]) - d);
  return bound + shifts <= limit;
}

// The column minima of the cells x0 .. x0 + len - 1 of row y (len <=
// kMaxStretch): S values and the column lists' pointer codes (top position + 1).
__attribute__((noinline)) void column_pass(Env* cols, int x0, int len, int y, const float* Dprev, const float* w,
                                           int16_t* spare, float* s_of, int* ps_of) {
  const uint32_t stride = dist.dim_x_;
  const int sentinel = m + 1;
  for (int i = 0; i < len; ++i) {
    const int x = x0 + i;
    Env& ce = cols[x];
    Step<ColumnD> col{ce, ColumnD{dist.numbers + x, stride}, w, spare};
    s_of[i] = col(y, Dprev[x], sentinel);
    ps_of[i] = ce.actual + 1;
  }
}

// The row minima and the choice of the cells x0 .. x0 + len - 1 of row y:
// D values and edge records. Returns the value of the last cell.
__attribute__((noinline)) float row_pass(RowCtx& rc, Env& re_io, int x0, int len, int y) {
  Env re = re_io;  // a local copy the compiler may keep in registers
  Step<RowD> row{re, RowD{rc.Drow}, rc.w, rc.spare};
  const int sentinel = n + 1;
  bool sub_used = false;
  float best = 0.0f;
  for (int i = 0; i < len; ++i) {
    const int x = x0 + i;
    const float z = row(x, rc.Drow[x - 1], sentinel);
    const float d = rc.Dprev[x - 1] + cell_score(rc, x, y, &sub_used);
    int code;
    best = choose(rc, x, y, d, rc.s_of[i], z, &code);
    rc.Drow[x] = best;
    write_record(rc, x, y, code, rc.ps_of[i], re.actual + 1);
  }
  re_io = re;
  if (sub_used) rc.sub_used = true;
  return best;
}

// The envelopes of the sweep for any concave cost: one record per column,
// and one for the row being swept.
struct EnvelopePasses {
  std::vector<Env> cols;
  Env re;
  int16_t spare[2];

  EnvelopePasses() : cols(size_t(n) + 1) {
    for (int x = 1; x <= n; ++x) take(cols[size_t(x)], Ss[x], Ls[x], ColumnD{dist.numbers + x, dist.dim_x_});
  }
  void begin_row(int y, RowCtx& rc) { take(re, Sz[y], Lz[y], RowD{rc.Drow}); }
  float stretch(RowCtx& rc, float* s_of, int* ps_of, int x0, int len, int y) {
    column_pass(cols.data(), x0, len, y, rc.Dprev, rc.w, spare, s_of, ps_of);
    return row_pass(rc, re, x0, len, y);
  }
  void end_row(int y) { put_back(re, Sz[y], Lz[y]); }
  void end() {
    for (int x = 1; x <= n; ++x) put_back(cols[size_t(x)], Ss[x], Ls[x]);
  }
};

}  // namespace

// ---- structures ----

namespace {

// One block holds the pairs of every row and column stack and list (each
// part starts on a cache line): a single allocation instead of one per
// object, and the parts the sweep never reaches are never touched.
int16_t* list_block = nullptr;
uint64_t list_block_bytes = 0;

// Pairs reserved for a list of capacity len (a multiple of 16 pairs,
// 64 bytes), and for a stack at first.
inline uint64_t slot_pairs(int len) { return (uint64_t(len) + 15) & ~uint64_t(15); }
constexpr uint64_t kStackSlot = 8;

}  // namespace

void concave_setup() {
  concave_release();
  const int nn = n < 0 ? 0 : n, mm = m < 0 ? 0 : m;
  Sz = new stack_list[mm + 1];
  Lz = new double_list[mm + 1];
  Ss = new stack_list[nn + 1];
  Ls = new double_list[nn + 1];
  const uint64_t row_slot = slot_pairs(nn + 1), col_slot = slot_pairs(mm + 1);
  const uint64_t stacks = uint64_t(mm + 1) + uint64_t(nn + 1);
  const uint64_t pairs = uint64_t(mm + 1) * row_slot + uint64_t(nn + 1) * col_slot + stacks * kStackSlot;
  // Aligned to a cache line (16 spare pairs, 64 bytes, cover the shift).
  list_block = VD_NEW_ARRAY(int16_t, 2 * (pairs + 16), "concave.cpp", "concave_setup", "list_block!=0");
  list_block_bytes = 2 * (pairs + 16) * sizeof(int16_t);
  int16_t* next = reinterpret_cast<int16_t*>((reinterpret_cast<uintptr_t>(list_block) + 63) & ~uintptr_t(63));
  auto lend = [&next](auto& obj, uint64_t slot, uint64_t len) {
    obj.use_block(next, uint16_t(len));
    next += 2 * slot;
  };
  // The lists first, each in a slot of its full length; then the stacks,
  // each in a small slot of its own, side by side: a stack is mostly a few
  // intervals deep, and one that needs more grows (grow_stack).
  for (int j = 0; j <= mm; ++j) {
    lend(Lz[j], row_slot, nn + 1);
    Lz[j].push(0);
  }
  for (int i = 0; i <= nn; ++i) {
    lend(Ls[i], col_slot, mm + 1);
    Ls[i].push(0);
  }
  for (int j = 0; j <= mm; ++j) {
    lend(Sz[j], kStackSlot, std::min<uint64_t>(kStackSlot, uint64_t(nn) + 1));
    Sz[j].push(int16_t(nn + 1), 0);
  }
  for (int i = 0; i <= nn; ++i) {
    lend(Ss[i], kStackSlot, std::min<uint64_t>(kStackSlot, uint64_t(mm) + 1));
    Ss[i].push(int16_t(mm + 1), 0);
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
  // Every w(k), k = 1 .. L + 1, is evaluated once; w(L + 1) only serves the
  // test. No gap of an alignment is longer than L, so a fault of w(L + 1)
  // (a logarithm that reaches 0 just there) is no fault of the computation:
  // it only skips the test at k = L.
  std::vector<double> wk(size_t(L) + 2, 0.0);
  for (int k = 1; L >= 1 && k <= L; ++k) wk[size_t(k)] = gap_cost(k);
  bool test_at_L = L >= 1;
  if (L >= 1) {
    const bool fault_before = fp_error() != 0;
    wk[size_t(L) + 1] = gap_cost(L + 1);
    if (!fault_before && fp_error()) {
      fp_err_clear();
      test_at_L = false;
    }
  }
  for (int k = 1; k <= L; ++k) fu_res.set(uint32_t(k), float(wk[size_t(k)]));
  auto fails_test = [&](int k) {
    if (k == L && !test_at_L) return false;
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
  if (last_linear) last_linear = sweep_linear(sw);
  if (!last_linear) {
    EnvelopePasses passes;
    sweep_rows(sw, passes);
  }
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
