// The distance sweep of the concave engine for exact linear gap costs.
//
// When every sum is exact and w(j) = w(1) + (j - 1) d (exact_linear in
// concave.cpp), the value of candidate k at target t is
//   D(k) + w(t - k) = (w(1) - d + t d) + (D(k) - k d),
// so the minimum of a column or row over its candidates so far is w(1) - d +
// t d plus the smallest D(k) - k d seen so far, one running minimum per
// column and one along the row. The envelopes still have to be kept, since
// the edge records point into their lists; but a step only changes them when
// the new candidate ties with the minimum (a member joins) or beats it (a
// group opens), and which of the two it is follows from the same running
// minimum. So the values come from the running minima, and the lists and
// stacks change only at these events, by the same steps the envelope records
// of concave.cpp take there (the tests hold the two against each other).
//
// Memory: every step of the n + 1 columns touches its column's lane, list
// and stack, so the lanes are kept small (16-bit fields, the blocks found
// from the column's number), and the top two intervals of a stack live in
// its lane only: the stack's block is written when an interval sinks below
// them and when the sweep ends. A group opening in its usual course leaves
// the stack's depth at two and touches nothing but its list.
#include <immintrin.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "engine/concave/sweep.h"

namespace concave_sweep {

namespace {

// The state of one column's or row's envelope besides its blocks.
struct Lane {
  float pm;        // smallest D(k) - k d over the candidates k so far
  int16_t actual;  // list top, DL_EMPTY when empty
  int16_t free;    // next free list pair
  int16_t sp;      // number of stack pairs
  // The top interval (sp >= 1) and the one below it (sp >= 2): end, head
  // position, head candidate, the head's link. They are the stack's pairs
  // sp - 1 and sp - 2, which the block may not hold yet.
  int16_t h, hp, hc, below;
  int16_t h2, hp2, hc2, below2;
  bool below_zero;  // the element at `below` is candidate 0
  bool usual;       // an open takes its usual course (usual_course)
};

// An open on its usual course: the top group (head candidate >= 1) lies on
// the interval of candidate 0, which ends at h2, the element below its head
// (`below`) is candidate 0, and the new candidate t - 1 (value dn) does not
// beat candidate 0 (value d0) at h2. Then the top group goes, candidate 0
// stays, and the new group takes the top group's place: one list pair and
// the top interval change. False, with nothing changed, off that course.
template <class T>
inline bool usual_open(T& actual, T& free, T& h, T& hp, T& hc, int below, int h2, bool usual, int cap, int16_t* ln,
                       int t, float dn, float d0, const float* w) {
  if (!usual || free >= cap) return false;
  const float zero_end = d0 + w[h2], new_end = dn + w[h2 - t + 1];
  if (zero_end > new_end) return false;
  const bool first = d0 + w[t] >= dn + w[1];
  const int pos = free;
  h = T(first ? h2 - int(!(zero_end >= new_end)) : t);
  hp = T(pos);
  hc = T(t - 1);
  ln[2 * pos] = int16_t(-(t - 1));
  ln[2 * pos + 1] = int16_t(below);
  actual = T(pos);
  free = T(pos + 1);
  return true;
}

// A lane with its list pairs and capacity, its stack, and D along the
// column or row. The stack's block is only read or written off the usual
// course (it may grow there, see grow_stack).
template <class DA>
struct Env {
  Lane& e;
  int16_t* ln;
  stack_list& S;
  int cap;
  DA D;

  // The head at list position p of an interval: its candidate and link.
  void head_of(int p, int16_t* hc, int16_t* below) const {
    const bool in = p >= 0 && p < cap;
    *hc = int16_t(in ? std::abs(int(ln[2 * p])) : 0);
    *below = int16_t(in ? ln[2 * p + 1] : DL_EMPTY);
  }
  bool usual_course() const {
    return e.sp == 2 && e.hc >= 1 && e.hc2 == 0 && e.below_zero && e.actual >= 0 && e.hp >= 0 && e.hp < cap;
  }
  void take(const double_list& L, float d0) {
    const int16_t* sn = S.numbers;
    e.actual = L.actual_;
    e.free = L.free_;
    e.sp = int16_t(S.sp_);
    e.h = e.hp = e.hc = e.h2 = e.hp2 = e.hc2 = 0;
    e.below = e.below2 = DL_EMPTY;
    if (e.sp >= 1) {
      e.h = sn[2 * (e.sp - 1)];
      e.hp = sn[2 * (e.sp - 1) + 1];
      head_of(e.hp, &e.hc, &e.below);
    }
    if (e.sp >= 2) {
      e.h2 = sn[2 * (e.sp - 2)];
      e.hp2 = sn[2 * (e.sp - 2) + 1];
      head_of(e.hp2, &e.hc2, &e.below2);
    }
    e.below_zero = e.below >= 0 && e.below < cap && ln[2 * e.below] == 0;
    e.usual = usual_course();
    e.pm = d0;  // the structures start with candidate 0 alone
  }
  // The top two intervals into the block, and the pointers into the objects.
  void put_back(double_list& L) const {
    put_back_top();
    L.actual_ = e.actual;
    L.free_ = e.free;
    S.sp_ = uint16_t(e.sp);
  }
  // The top two intervals into the block.
  void put_back_top() const {
    int16_t* sn = S.numbers;
    if (e.sp >= 1) {
      sn[2 * (e.sp - 1)] = e.h;
      sn[2 * (e.sp - 1) + 1] = e.hp;
    }
    if (e.sp >= 2) {
      sn[2 * (e.sp - 2)] = e.h2;
      sn[2 * (e.sp - 2) + 1] = e.hp2;
    }
  }

  void pop_interval() {
    --e.sp;
    e.h = e.h2;
    e.hp = e.hp2;
    e.hc = e.hc2;
    e.below = e.below2;
    if (e.sp >= 2) {  // the pair below the new top lies in the block
      e.h2 = S.numbers[2 * (e.sp - 2)];
      e.hp2 = S.numbers[2 * (e.sp - 2) + 1];
      head_of(e.hp2, &e.hc2, &e.below2);
    }
  }
  // Pushes the interval (h, p) whose head is candidate c with link `below`
  // (refused when the stack is full; the top is then set all the same, as
  // the envelope records do).
  void push_interval(int h, int p, int c, int below) {
    if (e.sp >= int(S.capacity())) {
      put_back_top();  // the block grows with the whole stack in it
      grow_stack(S, cap);
    }
    if (e.sp < int(S.capacity())) {
      if (e.sp >= 2) {  // the second sinks into the block
        S.numbers[2 * (e.sp - 2)] = e.h2;
        S.numbers[2 * (e.sp - 2) + 1] = e.hp2;
      }
      ++e.sp;
      e.h2 = e.h;
      e.hp2 = e.hp;
      e.hc2 = e.hc;
      e.below2 = e.below;
    }
    e.h = int16_t(h);
    e.hp = int16_t(p);
    e.hc = int16_t(c);
    e.below = int16_t(below);
  }
  void push_element(int v) {
    const int f = e.free;
    if (f >= cap) return;
    ln[2 * f] = int16_t(v);
    ln[2 * f + 1] = e.actual;
    e.actual = int16_t(f);
    e.free = int16_t(f + 1);
  }

  // Groups whose stretch ended before t leave: members, head, interval.
  // (Under exact linear costs every interval reaches the last target; kept
  // for the envelope's sake.)
  __attribute__((noinline)) void expire(int t) {
    while (e.sp > 0 && t > e.h) {
      while (e.actual >= 0 && ln[2 * e.actual] > 0) e.actual = ln[2 * e.actual + 1];
      if (e.actual >= 0) e.actual = ln[2 * e.actual + 1];
      pop_interval();
    }
    e.usual = usual_course();
  }

  // The new candidate t - 1 (value dn) opens a group: the top group goes as
  // a whole (its members tied with its head, which lost at t), then
  // whatever the new candidate beats at the end of the top interval; the
  // new interval ends where the candidate below stops being beaten, decided
  // by two probes (exact linear sums change the outcome nowhere inside an
  // interval, only at the sentinel read past the table).
  __attribute__((noinline)) void open_steps(int t, float dn, int sentinel, const float* w) {
    if (e.sp >= 1 && e.actual >= 0 && e.hc >= 1 && e.hp >= 0 && e.hp < cap) {
      e.actual = e.below;
      pop_interval();
    }
    while (e.actual >= 0 && e.sp >= 1) {
      const int tv = ln[2 * e.actual], tk = std::abs(tv);
      if (!(D(tk) + w[e.h - tk] > dn + w[e.h - t + 1])) break;
      if (tv <= 0) pop_interval();
      e.actual = ln[2 * e.actual + 1];
    }
    int r = sentinel;
    if (e.sp >= 1) {
      const int k = e.hc;
      const float dk = D(k);
      const bool first = dk + w[t - k] >= dn + w[1];
      const bool last = dk + w[e.h - k] >= dn + w[e.h - t + 1];
      r = first ? e.h - int(!last) : t;
    }
    push_interval(r, e.free, t - 1, e.actual);
    e.below_zero = e.actual >= 0 && e.actual < cap && ln[2 * e.actual] == 0;
    push_element(-(t - 1));
    e.usual = usual_course();
  }

  // The same steps, on their usual course without the steps (usual_open).
  void open(int t, float dn, int sentinel, const float* w) {
    if (!usual_open(e.actual, e.free, e.h, e.hp, e.hc, e.below, e.h2, e.usual, cap, ln, t, dn, D(0), w))
      open_steps(t, dn, sentinel, w);
  }
  // The new candidate t - 1 ties with the minimum: it joins the top group.
  void join(int t) { push_element(t - 1); }
};

struct LinearPasses {
  const float* w;
  float c0, d;               // w(1) - d and d
  std::vector<Lane> cols;
  int16_t* cl0;              // column 0's list block; column x's lies a
  ptrdiff_t cstride;         // fixed stride further
  Lane row{};
  int16_t* rl = nullptr;
  int ry = 0;
  float q_prev = 0.0f;       // D(x - 1, y) - (x - 1) d of the row's last cell
  int ccap, rcap;            // list and stack capacities of columns and rows

  explicit LinearPasses(const float* wpad)
      : w(wpad), c0(wpad[1] - (wpad[2] - wpad[1])), d(wpad[2] - wpad[1]), cols(size_t(n) + 1),
        cl0(Ls[0].numbers), cstride(n >= 1 ? Ls[1].numbers - Ls[0].numbers : 0),
        ccap(m + 1), rcap(n + 1) {
    if (std::max(n, m) < 2) {  // a single gap length: no step to take
      d = 0.0f;
      c0 = wpad[1];
    }
    for (int x = 1; x <= n; ++x) column(x).take(Ls[x], dist(uint32_t(x), 0));
  }
  // Whether every column's blocks lie the stride apart (as concave_setup
  // lends them); the sweep relies on it.
  static bool blocks_fit() {
    if (n < 1) return true;
    const ptrdiff_t s = Ls[1].numbers - Ls[0].numbers;
    for (int x = 0; x <= n; ++x)
      if (Ls[x].numbers != Ls[0].numbers + x * s || Ls[x].capacity_ != m + 1) return false;
    return true;
  }

  Env<ColumnD> column(int x) {
    return Env<ColumnD>{cols[size_t(x)], cl0 + x * cstride, Ss[x], ccap, ColumnD{dist.numbers + x, dist.dim_x_}};
  }
  Env<RowD> row_env(Lane& lane, const float* Drow) { return Env<RowD>{lane, rl, Sz[ry], rcap, RowD{Drow}}; }

  void begin_row(int y, RowCtx& rc) {
    ry = y;
    rl = Lz[y].numbers;
    rcap = Lz[y].capacity_;
    row_env(row, rc.Drow).take(Lz[y], rc.Drow[0]);
    q_prev = rc.Drow[0];
  }
  void end_row(int y) { row_env(row, dist.row(uint32_t(y))).put_back(Lz[y]); }
  void end() {
    for (int x = 1; x <= n; ++x) column(x).put_back(Ls[x]);
  }

  float stretch(RowCtx& rc, float* s_of, int* ps_of, int x0, int len, int y) {
    column_minima(rc.Dprev, s_of, ps_of, x0, len, y);
    return rc.mode == 8 ? row_chain<true>(rc, s_of, ps_of, x0, len, y) : row_chain<false>(rc, s_of, ps_of, x0, len, y);
  }

  // Column minima: the running minimum of each column meets D(x, y - 1);
  // then the pushes of its ties and new groups.
  void column_minima(const float* Dprev, float* s_of, int* ps_of, int x0, int len, int y) {
    int ties[kMaxStretch], opens[kMaxStretch];
    int n_ties = 0, n_opens = 0;
    const float qy = float(y - 1) * d;      // (y - 1) d
    const float cy = c0 + float(y) * d;     // w(1) - d + y d
    for (int i = 0; i < len; ++i) {
      Lane& c = cols[size_t(x0 + i)];
      if (y > c.h) column(x0 + i).expire(y);
      const float q = Dprev[x0 + i] - qy;
      const float old = c.pm;
      const float low = q < old ? q : old;
      s_of[i] = cy + low;
      ps_of[i] = c.actual + 1;  // the pushes below change it
      c.pm = low;
      ties[n_ties] = i;
      n_ties += int(q == old);
      opens[n_opens] = i;
      n_opens += int(q < old);
    }
    for (int j = 0; j < n_ties; ++j) {
      const int i = ties[j], x = x0 + i;
      Lane& c = cols[size_t(x)];
      const int f = c.free;
      if (f < ccap) {
        int16_t* ln = cl0 + x * cstride;
        ln[2 * f] = int16_t(y - 1);
        ln[2 * f + 1] = c.actual;
        c.actual = int16_t(f);
        c.free = int16_t(f + 1);
      }
      ps_of[i] = c.actual + 1;
    }
    const float* D0 = dist.numbers;  // row 0: D(x, 0)
    for (int j = 0; j < n_opens; ++j) {
      const int i = opens[j], x = x0 + i;
      Lane& c = cols[size_t(x)];
      const float dn = Dprev[x];
      // The usual course without building the Env.
      if (!usual_open(c.actual, c.free, c.h, c.hp, c.hc, c.below, c.h2, c.usual, ccap, cl0 + x * cstride, y, dn,
                      D0[x], w))
        column(x).open_steps(y, dn, m + 1, w);
      ps_of[i] = c.actual + 1;
    }
  }

  // The row: its step at target x (candidate x - 1), then the choice among
  // the diagonal, the column and the row minimum. Exact sums tie exactly, so
  // a step is optimal when its value is the minimum.
  template <bool Mode8>
  float row_chain(RowCtx& rc, const float* s_of, const int* ps_of, int x0, int len, int y) {
    if (!Mode8 && rc.Erow != nullptr) return row_fast(rc, s_of, ps_of, x0, len);
    bool sub_used = false;
    float best = 0.0f;
    float q_last = q_prev, pm = row.pm;
    float xd = float(x0) * d;              // x d
    Lane lane = row;                       // a local copy the compiler may keep in registers
    Env<RowD> r = row_env(lane, rc.Drow);
    const float* Dprev = rc.Dprev;
    float* Drow = rc.Drow;
    // Exact linear costs were found for letters A to Z only.
    const uint8_t* a1 = rc.a1;
    const float* sc_row = rc.sc_row;
    for (int i = 0; i < len; ++i, xd += d) {
      const int x = x0 + i;
      if (x > lane.h) r.expire(x);
      if (q_last == pm) {
        r.join(x);
      } else if (q_last < pm) {
        r.open(x, Drow[x - 1], n + 1, w);
        pm = q_last;
      }
      const int a = a1[x];
      sub_used |= rc.fill_row[a];
      const float dg = Dprev[x - 1] + sc_row[a], s = s_of[i], z = (c0 + xd) + pm;
      best = std::min(std::min(dg, s), z);
      int code = int(dg == best) | int(s == best) << 1 | int(z == best) << 2;
      if (Mode8) subalignment_step(rc, x, y, &best, &code);
      Drow[x] = best;
      write_record(rc, x, y, code, ps_of[i], lane.actual + 1);
      q_last = best - xd;
    }
    lane.pm = pm;
    row = lane;
    q_prev = q_last;
    if (sub_used) rc.sub_used = true;
    return best;
  }

  // The same chain in modes 6 and 7 with the edge records written into
  // their row, the row's envelope in local variables (the lane is read and
  // written back only around a step off the usual course).
  __attribute__((noinline)) float row_fast(RowCtx& rc, const float* s_of, const int* ps_of, int x0, int len) {
    const float* Dprev = rc.Dprev;
    float* Drow = rc.Drow;
    int16_t* Erow = rc.Erow;
    int16_t* ln = rl;
    const uint8_t* a1 = rc.a1;
    const float* sc_row = rc.sc_row;
    const bool* fill_row = rc.fill_row;
    const int cap = rcap;
    const float d0 = Drow[0], c0v = c0, dv = d;
    int actual, free, h, hp, hc, below, h2;
    bool usual;
    auto load = [&] {
      actual = row.actual;
      free = row.free;
      h = row.h;
      hp = row.hp;
      hc = row.hc;
      below = row.below;
      h2 = row.h2;
      usual = row.usual;
    };
    auto store = [&] {
      row.actual = int16_t(actual);
      row.free = int16_t(free);
      row.h = int16_t(h);
      row.hp = int16_t(hp);
      row.hc = int16_t(hc);
    };
    load();
    bool sub_used = false;
    float best = 0.0f;
    float q_last = q_prev, pm = row.pm;
    float xd = float(x0) * dv;
    for (int i = 0; i < len; ++i, xd += dv) {
      const int x = x0 + i;
      if (x > h) {  // off the usual course
        store();
        row_env(row, Drow).expire(x);
        load();
      }
      if (q_last == pm) {
        if (free < cap) {
          ln[2 * free] = int16_t(x - 1);
          ln[2 * free + 1] = int16_t(actual);
          actual = free++;
        }
      } else if (q_last < pm) {
        const float dn = Drow[x - 1];
        if (!usual_open(actual, free, h, hp, hc, below, h2, usual, cap, ln, x, dn, d0, w)) {
          store();  // off the usual course
          row_env(row, Drow).open_steps(x, dn, n + 1, w);
          load();
        }
        pm = q_last;
      }
      const int a = a1[x];
      sub_used |= fill_row[a];
      const float dg = Dprev[x - 1] + sc_row[a], s = s_of[i], z = (c0v + xd) + pm;
      best = std::min(std::min(dg, s), z);
      const int code = int(dg == best) | int(s == best) << 1 | int(z == best) << 2;
      Drow[x] = best;
      record_codes(code, ps_of[i], actual + 1, Erow + 2 * x);
      q_last = best - xd;
    }
    store();
    row.pm = pm;
    q_prev = q_last;
    if (sub_used) rc.sub_used = true;
    return best;
  }
};

}  // namespace

bool sweep_linear(Sweep& sw) {
  if (!LinearPasses::blocks_fit()) return false;
  LinearPasses passes(sw.w);
  sweep_rows(sw, passes);
  return true;
}

}  // namespace concave_sweep
