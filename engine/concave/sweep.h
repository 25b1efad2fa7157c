// The distance sweep of the concave engine, shared by its two forms: the
// envelope records for any concave cost (concave.cpp) and the one for exact
// linear costs (linear_sweep.cpp). Both walk the rows in stretches that end
// where the event check falls; this header holds that walk, the choice of a
// cell's steps and the writing of its edge record.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "cost/cost.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/progress.h"

namespace concave_sweep {

// Edge record codes of component 0.
constexpr int16_t EDGE_DIAGONAL = 32767;
constexpr int16_t EDGE_START = 32766;

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

// A full stack that may still grow up to `limit` pairs (its length as the
// envelope needs it: one interval per target and the sentinel's) moves into
// a block of twice its length. concave_setup gives the stacks small blocks,
// since they are mostly a few intervals deep.
inline bool grow_stack(stack_list& S, int limit) {
  if (S.capacity() >= limit) return false;
  S.change_length(uint16_t(std::min(2 * int(S.capacity()), limit)));
  return true;
}

// What the chain along one row reads besides the row's own envelope.
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

// The pair score of cell (x, y) and whether it is a missing table entry.
inline float cell_score(const RowCtx& rc, int x, int y, bool* sub_used) {
  const int a = rc.a1[x];
  if (a < 26 && rc.b_letter) {
    *sub_used |= rc.fill_row[a];
    return rc.sc_row[a];
  }
  return pair_score(rc.s1[x - 1], rc.s2[y - 1]);
}

// Mode 8: a cell whose best is above 0 starts a subalignment instead (value
// 0, code 8), and the end cell follows the smallest value, the last in sweep
// order on ties.
inline void subalignment_step(RowCtx& rc, int x, int y, float* best, int* code) {
  if (*best > 0.0f) {
    *best = 0.0f;
    *code = 8;
  }
  if (*best <= rc.run_min) {
    rc.run_min = *best;
    l_i = x;
    l_j = y;
  }
}

// The choice of cell (x, y) among the diagonal d, the column minimum s and
// the row minimum z (code bits: 1 diagonal, 2 column, 4 row; exact ties keep
// every step; mode 8 clamps at 0 with code 8 and follows the smallest value).
// The outcomes are data-dependent: computed without branches.
inline float choose(RowCtx& rc, int x, int y, float d, float s, float z, int* code_out) {
  const bool d_lt = d < s, d_gt = d > s;
  int code = 3 - 2 * int(d_lt) - int(d_gt);
  float best = d_gt ? s : d;
  const bool z_lt = best > z, z_eq = best == z;
  code = pick(z_lt, 4, code + 4 * int(z_eq));
  best = z_lt ? z : best;
  if (rc.mode == 8) subalignment_step(rc, x, y, &best, &code);
  *code_out = code;
  return best;
}

// The two components of an edge record from the cell's code and the lists'
// pointer codes (top positions + 1) after its steps.
inline void record_codes(int code, int ps, int pz, int16_t* rec) {
  if (code == 8) {
    rec[0] = EDGE_START;
    rec[1] = 0;
  } else {
    // Column chain p, or -p with the diagonal; the diagonal alone
    // 32767. The lists are never empty after a step, so p >= 1.
    rec[0] = int16_t(kC0Sign[code] * ps + kC0Diag[code]);
    rec[1] = int16_t((code >> 2) * pz);
  }
}

// The edge record of cell (x, y), into its row or through the checks.
inline void write_record(const RowCtx& rc, int x, int y, int code, int ps, int pz) {
  if (rc.Erow) {
    record_codes(code, ps, pz, rc.Erow + 2 * x);
  } else {
    int16_t rec[2];
    record_codes(code, ps, pz, rec);
    edge_m.set(uint32_t(x), uint32_t(y), 0, rec[0]);
    edge_m.set(uint32_t(x), uint32_t(y), 1, rec[1]);
  }
}

// D(x, y) = min(D(x-1, y-1) + score(x, y), S(x, y), Z(x, y)) for 1 <= x <= n,
// 1 <= y <= m, further min(..., 0) in mode 8; S and Z are the envelope
// minima of the column and the row. Every exact tie keeps its step.
//
// Cells are taken in stretches that end where the event check falls (every
// 20 cells, counted across rows): first the column minima of the stretch,
// which depend on earlier rows only, then the chain along the row. So the
// structures are at every check what the cell-by-cell order leaves there.
// `Passes` holds the envelopes: begin_row(y, rc) before a row, stretch(rc,
// x0, len, y) for its cells (column minima into rc.s_of and rc.ps_of, then
// the row; returns the value of the last cell), end_row(y) after it, and
// end() when the sweep ends (also before the program ends).
template <class Passes>
void sweep_rows(Sweep& sw, Passes& passes) {
  const char* s1 = seq1.c_str();
  const char* s2 = seq2.c_str();
  // Letters of seq1 as table indices (26: not a letter).
  std::vector<uint8_t> a1(size_t(n) + 1, 26);
  for (int x = 1; x <= n; ++x) {
    const int a = s1[x - 1] - 'A';
    a1[size_t(x)] = uint8_t(a >= 0 && a < 26 ? a : 26);
  }
  // Edge records are written straight into their rows when the matrix has
  // the size the sweep needs.
  const bool edge_rows = edge_m.dim_x_ >= uint32_t(n) + 1 && edge_m.dim_y_ >= uint32_t(m) + 1;
  int counter = 0;
  float s_of[kMaxStretch];
  int ps_of[kMaxStretch];
  int16_t spare[2];
  RowCtx rc{};
  rc.mode = sw.mode;
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
    const int b = s2[y - 1] - 'A';
    const bool b_letter = b >= 0 && b < 26;
    rc.Drow = dist.row(uint32_t(y));
    rc.Dprev = dist.row(uint32_t(y - 1));
    rc.Erow = edge_rows ? edge_m.numbers + 2 * uint64_t(y) * edge_m.dim_x_ : nullptr;
    rc.b_letter = b_letter;
    rc.sc_row = sw.score[b_letter ? b : 0];
    rc.fill_row = sw.fill[b_letter ? b : 0];
    passes.begin_row(y, rc);
    for (int x0 = 1; x0 <= n;) {
      const int len = std::min(n - x0 + 1, kMaxStretch - counter);
      sw.last = passes.stretch(rc, s_of, ps_of, x0, len, y);
      x0 += len;
      counter += len;
      if (counter == kMaxStretch) {
        counter = 0;
        if (rc.sub_used) sub_t = 1;
        sw.run_min = rc.run_min;
        notify_dispatch();
        if (!main_window_shown()) {
          passes.end_row(y);
          passes.end();
          alles_aus();
        }
        if (fp_error() || computing == 0) {
          sw.stopped = true;
          break;
        }
      }
    }
    passes.end_row(y);
  }
  if (rc.sub_used) sub_t = 1;
  sw.run_min = rc.run_min;
  passes.end();
}

// The sweep for exact linear costs (exact_linear in concave.cpp holds).
// False, without touching anything, when the structures are not laid out as
// concave_setup lends them.
bool sweep_linear(Sweep& sw);

}  // namespace concave_sweep
