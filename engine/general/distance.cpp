// Distance computation of the general-cost engine: dist(i, j) for every node
// together with the record of all optimal predecessor edges.
//
// Recurrence (single-precision sums, compared exactly, no tolerance):
//   dist(0, 0) = 0, dist(i, 0) = g(i), dist(0, j) = g(j)
//   dist(i, j) = min( dist(k, j) + g(i - k)  for s0 <= k < i   (horizontal, deletion)
//                     dist(i, k) + g(j - k)  for z0 <= k < j   (vertical, insertion)
//                     dist(i-1, j-1) + s(seq1[i], seq2[j]) )   (diagonal)
// Candidates are taken in the order horizontal (k increasing), vertical
// (k increasing), diagonal; a smaller candidate restarts the list of optimal
// predecessors, an equal one is appended. s0 and z0 are 0, or cut to the
// global gap length limit gl_kl.
//
// reference_cell() applies this rule candidate by candidate. The scan
// kernels get exactly the same outcome faster: per direction they first take
// the minimum of all candidates (a vectorised pass over a row of dist and a
// reversed copy of g, resp. a column of a transposed copy of dist), noting
// the minimum of every chunk of 128 candidates, and then collect the
// positions equal to the overall minimum in increasing order, looking only
// into the chunks whose minimum it is. Sequential "less restarts, equal
// appends" leaves precisely those positions, in that order, provided the very
// first candidate is a number; a cell whose first candidate is NaN goes the
// reference way. Without a gap length limit the 16 cells of a band (below)
// at one column scan the same stretches, and with AVX-512 they take their
// minima together (band_min_avx512), loading the shared operand once.
//
// Order and threads. The rows are taken in bands of kBand rows (the first
// one a row shorter: band b holds rows b kBand .. b kBand + kBand - 1), each
// band column by column, and within a column row by row. Cell (i, j) needs
// the row to its left (done earlier in the band) and column i above it: the
// rows of the band above j (done just before) and the bands above, final
// once the band above has passed column i (it waited for its own band above
// in the same way). A band reads column i once for all its rows, and writes
// a whole cache line of the transposed copy's column. Band b is computed by
// thread b mod T; each band publishes how many of its columns are final,
// and the next band's thread waits for that count where it has to. Every
// cell is computed from the same values by the same steps whichever thread
// computes it and in whichever order: the table, the records and the figures
// do not depend on the number of threads. Only the calling thread
// dispatches events, draws progress and polls the interrupt (every 20 of its
// cells, as one thread does); it tells the others to stop through a flag
// they test at every cell.
#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "containers/alloc_check.h"
#include "cost/cost.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "engine/general/records.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/progress.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// ---- scan kernels ----
//
// min(a, b, len, cm): the minimum of a[t] + b[t], t < len (NaN never wins;
// +inf when there is no number), and in cm the minimum of every chunk of
// kChunk positions (per vector lane for the vector kernels).
// eq(a, b, len, v, cm, out): the positions t with a[t] + b[t] == v in
// increasing order, where v is at most the minimum; only chunks whose noted
// minimum equals v are looked into.
constexpr int kChunk = 128;
constexpr int kChunkFloats = 16;  // floats noted per chunk (the widest vector)

float min_scalar(const float* a, const float* b, int len, float* cm) {
  float mn = kInf;
  for (int c = 0; c * kChunk < len; ++c) {
    const int end = std::min(len, (c + 1) * kChunk);
    float cmin = kInf;
    for (int t = c * kChunk; t < end; ++t) {
      const float x = a[t] + b[t];
      if (x < cmin) cmin = x;
    }
    cm[c * kChunkFloats] = cmin;
    if (cmin < mn) mn = cmin;
  }
  return mn;
}

int eq_scalar(const float* a, const float* b, int len, float v, const float* cm, int* out) {
  int cnt = 0;
  for (int c = 0; c * kChunk < len; ++c) {
    if (!(cm[c * kChunkFloats] == v)) continue;
    const int end = std::min(len, (c + 1) * kChunk);
    for (int t = c * kChunk; t < end; ++t)
      if (a[t] + b[t] == v) out[cnt++] = t;
  }
  return cnt;
}

// The vector kernels keep the accumulator as the second operand of every
// min: min_ps(x, acc) returns acc when x is NaN, so NaN never enters.
__attribute__((target("avx2"), always_inline)) inline __m256 sum8(const float* a, const float* b, int at) {
  return _mm256_add_ps(_mm256_loadu_ps(a + at), _mm256_loadu_ps(b + at));
}

__attribute__((target("avx2"))) float min_avx2(const float* a, const float* b, int len, float* cm) {
  const __m256 inf = _mm256_set1_ps(kInf);
  __m256 g = inf;
  int t = 0, c = 0;
  for (; t + kChunk <= len; t += kChunk, ++c) {
    __m256 c0 = inf, c1 = inf, c2 = inf, c3 = inf;
    for (int u = 0; u < kChunk; u += 32) {
      c0 = _mm256_min_ps(sum8(a, b, t + u), c0);
      c1 = _mm256_min_ps(sum8(a, b, t + u + 8), c1);
      c2 = _mm256_min_ps(sum8(a, b, t + u + 16), c2);
      c3 = _mm256_min_ps(sum8(a, b, t + u + 24), c3);
    }
    const __m256 cmv = _mm256_min_ps(_mm256_min_ps(c0, c1), _mm256_min_ps(c2, c3));
    _mm256_storeu_ps(cm + c * kChunkFloats, cmv);
    g = _mm256_min_ps(cmv, g);
  }
  if (t < len) {
    __m256 c0 = inf;
    for (; t + 8 <= len; t += 8) c0 = _mm256_min_ps(sum8(a, b, t), c0);
    if (t < len) {
      alignas(32) float x[8];
      for (int u = 0; u < 8; ++u) x[u] = t + u < len ? a[t + u] + b[t + u] : kInf;
      c0 = _mm256_min_ps(_mm256_load_ps(x), c0);
    }
    _mm256_storeu_ps(cm + c * kChunkFloats, c0);
    g = _mm256_min_ps(c0, g);
  }
  __m128 h = _mm_min_ps(_mm256_castps256_ps128(g), _mm256_extractf128_ps(g, 1));
  h = _mm_min_ps(h, _mm_movehl_ps(h, h));
  h = _mm_min_ss(h, _mm_shuffle_ps(h, h, 1));
  return _mm_cvtss_f32(h);
}

__attribute__((target("avx2,bmi"))) int eq_avx2(const float* a, const float* b, int len, float v,
                                                const float* cm, int* out) {
  const __m256 vv = _mm256_set1_ps(v);
  int cnt = 0;
  for (int c = 0; c * kChunk < len; ++c) {
    const __m256 m = _mm256_cmp_ps(_mm256_loadu_ps(cm + c * kChunkFloats), vv, _CMP_EQ_OQ);
    if (_mm256_movemask_ps(m) == 0) continue;
    const int end = std::min(len, (c + 1) * kChunk);
    int t = c * kChunk;
    for (; t + 8 <= end; t += 8) {
      __m256 x = _mm256_add_ps(_mm256_loadu_ps(a + t), _mm256_loadu_ps(b + t));
      unsigned mask = unsigned(_mm256_movemask_ps(_mm256_cmp_ps(x, vv, _CMP_EQ_OQ)));
      while (mask) {
        out[cnt++] = t + int(_tzcnt_u32(mask));
        mask &= mask - 1;
      }
    }
    for (; t < end; ++t)
      if (a[t] + b[t] == v) out[cnt++] = t;
  }
  return cnt;
}

// GCC 12's AVX-512 intrinsics start from a deliberately undefined register
// value, which its own uninitialised-use warning reports at every inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f"), always_inline)) inline __m512 sum16(const float* a, const float* b, int at) {
  return _mm512_add_ps(_mm512_loadu_ps(a + at), _mm512_loadu_ps(b + at));
}

__attribute__((target("avx512f"))) float min_avx512(const float* a, const float* b, int len, float* cm) {
  const __m512 inf = _mm512_set1_ps(kInf);
  __m512 g = inf;
  int t = 0, c = 0;
  for (; t + kChunk <= len; t += kChunk, ++c) {
    __m512 c0 = _mm512_min_ps(sum16(a, b, t), inf), c1 = _mm512_min_ps(sum16(a, b, t + 16), inf);
    __m512 c2 = _mm512_min_ps(sum16(a, b, t + 32), inf), c3 = _mm512_min_ps(sum16(a, b, t + 48), inf);
    c0 = _mm512_min_ps(sum16(a, b, t + 64), c0);
    c1 = _mm512_min_ps(sum16(a, b, t + 80), c1);
    c2 = _mm512_min_ps(sum16(a, b, t + 96), c2);
    c3 = _mm512_min_ps(sum16(a, b, t + 112), c3);
    const __m512 cmv = _mm512_min_ps(_mm512_min_ps(c0, c1), _mm512_min_ps(c2, c3));
    _mm512_storeu_ps(cm + c * kChunkFloats, cmv);
    g = _mm512_min_ps(cmv, g);
  }
  if (t < len) {
    __m512 c0 = inf;
    for (; t + 16 <= len; t += 16) c0 = _mm512_min_ps(sum16(a, b, t), c0);
    if (t < len) {
      const __mmask16 k = __mmask16((1u << (len - t)) - 1);
      const __m512 x = _mm512_add_ps(_mm512_maskz_loadu_ps(k, a + t), _mm512_maskz_loadu_ps(k, b + t));
      c0 = _mm512_mask_min_ps(c0, k, x, c0);
    }
    _mm512_storeu_ps(cm + c * kChunkFloats, c0);
    g = _mm512_min_ps(c0, g);
  }
  return _mm512_reduce_min_ps(g);
}

__attribute__((target("avx512f,bmi"))) int eq_avx512(const float* a, const float* b, int len, float v,
                                                     const float* cm, int* out) {
  const __m512 vv = _mm512_set1_ps(v);
  int cnt = 0;
  for (int c = 0; c * kChunk < len; ++c) {
    if (_mm512_cmp_ps_mask(_mm512_loadu_ps(cm + c * kChunkFloats), vv, _CMP_EQ_OQ) == 0) continue;
    const int end = std::min(len, (c + 1) * kChunk);
    for (int t = c * kChunk; t < end; t += 16) {
      const __mmask16 k = end - t >= 16 ? __mmask16(0xffff) : __mmask16((1u << (end - t)) - 1);
      const __m512 x = _mm512_add_ps(_mm512_maskz_loadu_ps(k, a + t), _mm512_maskz_loadu_ps(k, b + t));
      unsigned mask = _mm512_mask_cmp_ps_mask(k, x, vv, _CMP_EQ_OQ);
      while (mask) {
        out[cnt++] = t + int(_tzcnt_u32(mask));
        mask &= mask - 1;
      }
    }
  }
  return cnt;
}

// The minima of the R cells of a band at one column (R <= 16): cell r's
// candidates are a_r[t] + b_r[t], t < len, where one operand is the same
// for every cell (the column, resp. the reversed costs) and the other moves
// with r. The shared operand is loaded once for all cells, so a step of 16
// candidates costs R + 1 loads instead of 2 R. Chunk minima go to cm + r cms
// as min_avx512 writes them, and cell r's minimum to mins[r].
template <int R, bool SharedA>
__attribute__((target("avx512f"))) void band_min_avx512(const float* a, ptrdiff_t as, const float* b, ptrdiff_t bs,
                                                        int len, float* cm, size_t cms, float* mins) {
  const __m512 inf = _mm512_set1_ps(kInf);
  __m512 acc[R];
#pragma GCC unroll 16
  for (int r = 0; r < R; ++r) acc[r] = inf;
  int t = 0, c = 0;
  auto step = [&](int at, __mmask16 k) __attribute__((always_inline, target("avx512f"))) {
    if (SharedA) {
      const __m512 x = _mm512_maskz_loadu_ps(k, a + at);
#pragma GCC unroll 16
      for (int r = 0; r < R; ++r)
        acc[r] = _mm512_mask_min_ps(acc[r], k, _mm512_add_ps(x, _mm512_maskz_loadu_ps(k, b + r * bs + at)), acc[r]);
    } else {
      const __m512 y = _mm512_maskz_loadu_ps(k, b + at);
#pragma GCC unroll 16
      for (int r = 0; r < R; ++r)
        acc[r] = _mm512_mask_min_ps(acc[r], k, _mm512_add_ps(_mm512_maskz_loadu_ps(k, a + r * as + at), y), acc[r]);
    }
  };
  auto flush = [&]() __attribute__((always_inline, target("avx512f"))) {
#pragma GCC unroll 16
    for (int r = 0; r < R; ++r) {
      _mm512_storeu_ps(cm + r * cms + size_t(c) * kChunkFloats, acc[r]);
      acc[r] = inf;
    }
    ++c;
  };
  for (; t + 16 <= len; t += 16) {
    step(t, __mmask16(0xffff));
    if (((t + 16) & (kChunk - 1)) == 0) flush();
  }
  if (t < len) step(t, __mmask16((1u << (len - t)) - 1));
  if (len & (kChunk - 1)) flush();
#pragma GCC unroll 16
  for (int r = 0; r < R; ++r) {
    __m512 v = inf;
    for (int k = 0; k < c; ++k) v = _mm512_min_ps(_mm512_loadu_ps(cm + r * cms + size_t(k) * kChunkFloats), v);
    mins[r] = _mm512_reduce_min_ps(v);
  }
}
#pragma GCC diagnostic pop

using min_fn = float (*)(const float*, const float*, int, float*);
using eq_fn = int (*)(const float*, const float*, int, float, const float*, int*);

bool cpu_has(ScanKernel k) {
  switch (k) {
    case ScanKernel::avx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
    case ScanKernel::avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("bmi");
    default:
      return true;
  }
}

// Letters of the two sequences as indices into a small score table, so that
// the inner loop needs no branch for the pair score rule.
struct PairTable {
  std::vector<uint8_t> c1, c2;   // per position (1-based) the letter index
  std::vector<float> score;      // na1 x na2
  std::vector<uint8_t> fill;     // pair score came from table/mat and equals 5000
  int na2 = 0;

  void build() {
    int idx1[256], idx2[256];
    std::vector<char> l1, l2;
    std::memset(idx1, -1, sizeof idx1);
    std::memset(idx2, -1, sizeof idx2);
    c1.assign(size_t(n) + 1, 0);
    c2.assign(size_t(m) + 1, 0);
    for (int i = 1; i <= n; ++i) {
      unsigned char ch = (unsigned char)seq1.Str[i - 1];
      if (idx1[ch] < 0) { idx1[ch] = int(l1.size()); l1.push_back(char(ch)); }
      c1[i] = uint8_t(idx1[ch]);
    }
    for (int j = 1; j <= m; ++j) {
      unsigned char ch = (unsigned char)seq2.Str[j - 1];
      if (idx2[ch] < 0) { idx2[ch] = int(l2.size()); l2.push_back(char(ch)); }
      c2[j] = uint8_t(idx2[ch]);
    }
    na2 = int(l2.size());
    score.assign(l1.size() * l2.size(), 0.0f);
    fill.assign(l1.size() * l2.size(), 0);
    for (size_t a = 0; a < l1.size(); ++a)
      for (size_t b = 0; b < l2.size(); ++b) {
        bool f = false;
        score[a * na2 + b] = pair_score_peek(l1[a], l2[b], &f);
        fill[a * na2 + b] = f ? 1 : 0;
      }
  }
};

// Tabulates fu_res and the border of dist (steps 2 and 3 of the computation).
void tabulate_gap_costs() {
  int lmax = n > m ? n : m;
  fu_res.change_length(uint32_t(lmax) + 1);
  fu_res.set(0, 0.0f);
  dist.set(0, 0, 0.0f);
  for (int k = 1; k <= n; ++k) {
    fu_res.set(uint32_t(k), float(gap_cost(k)));
    dist.set(uint32_t(k), 0, fu_res[uint32_t(k)]);
  }
  for (int k = 1; k <= m; ++k) {
    if (k > n) fu_res.set(uint32_t(k), float(gap_cost(k)));
    dist.set(0, uint32_t(k), fu_res[uint32_t(k)]);
  }
}

int first_column(int i) {
  if (gl_kl > 0) return (i - gl_kl + 1 > 1 ? i - gl_kl + 1 : 1) - 1;
  return 0;
}

constexpr int kBand = 16;  // rows of a band: a cache line of the transposed copy

// Band progress, one cache line per band so that neighbouring bands' threads
// do not share a line.
struct alignas(64) BandProgress {
  std::atomic<int> done{0};  // columns 1 .. done of the band are final
};

// What every thread reads; nothing here changes while the threads run.
struct Sweep {
  float* dist;          // rows of dist, width W
  uint64_t W;
  float* dT;            // the transposed copy: column i at dT + i * H (H a multiple of 16)
  uint64_t H;
  const float* rev;     // rev[t] = g(lmax - t)
  int lmax;
  const PairTable* pt;
  min_fn vmin;
  eq_fn veq;
  bool reference;       // every cell the reference way
  bool bands_vector;    // a band's cells take their minima together (band_min_avx512)
  size_t bcm_stride;    // floats of one cell's chunk minima in Worker::bcmh, bcmv
  BandProgress* bands;  // bands + 1 entries; entry 0 stands for row 0, final
  int nbands;
  int threads;
  std::atomic<bool> stop{false};     // every thread leaves at its next cell
  std::atomic<bool> no_room{false};  // a record could not be stored
};

// One thread's work space and figures (allocated by the calling thread).
struct Worker {
  explicit Worker(PredGraph& g) : writer(g) {}
  RecordWriter writer;
  std::vector<int> pos;       // positions of a cell's optimal candidates
  std::vector<float> cmh, cmv;  // chunk minima of the two directions
  std::vector<float> bcmh, bcmv;  // the same for the cells of a band (kBand blocks)
  float bmh[kBand], bmv[kBand];   // a band's horizontal and shared vertical minima
  std::vector<int> codes;     // the reference form's predecessor codes
  uint64_t edges = 0, bytes = 0, cells = 0;
  bool sub_used = false;
  bool failed = false;        // a record could not be stored
  std::atomic<bool> finished{false};  // the thread has left its rows
};

// The reference way: candidate by candidate, in the order of the recurrence,
// with the predecessor codes of help_l (here the worker's own list).
bool reference_cell(const Sweep& s, Worker& wk, int i, int j) {
  const float* d = s.dist;
  const uint64_t w = s.W;
  const float* g = fu_res.numbers;
  int* code = wk.codes.data();
  int cnt = 0;
  float M;
  int ks, kz = -1;

  // 1. horizontal candidates
  const int s0 = first_column(i);
  M = d[uint64_t(j) * w + s0] + g[i - s0];
  code[cnt++] = s0;
  ks = s0;
  for (int k = s0 + 1; k < i; ++k) {
    const float c = d[uint64_t(j) * w + k] + g[i - k];
    if (c < M) {
      M = c;
      cnt = 0;
      code[cnt++] = k;
      ks = k;
    } else if (c == M) {
      code[cnt++] = k;
    }
  }
  // 2. vertical candidates
  const int z0 = first_column(j);
  for (int k = z0; k < j; ++k) {
    const float c = d[uint64_t(k) * w + i] + g[j - k];
    const int cd = k == 0 ? CODE_ROW0 : -k;
    if (c < M) {
      M = c;
      cnt = 0;
      code[cnt++] = cd;
      kz = k;
      ks = i;
    } else if (c == M) {
      code[cnt++] = cd;
      if (kz < 0) kz = k;
    }
  }
  if (kz < 0) kz = j;
  // 3. diagonal candidate
  bool fill = false;
  const float c = d[uint64_t(j - 1) * w + (i - 1)] + pair_score_peek(seq1.Str[i - 1], seq2.Str[j - 1], &fill);
  if (fill) wk.sub_used = true;
  if (c < M) {
    M = c;
    cnt = 0;
    code[cnt++] = CODE_DIAGONAL;
    ks = i;
    kz = j;
  } else if (c == M) {
    code[cnt++] = CODE_DIAGONAL;
  }
  // 4.-6. value, record, figures. The codes come horizontal (ascending),
  // vertical (ascending), diagonal.
  s.dist[uint64_t(j) * w + i] = M;
  if (s.dT) s.dT[uint64_t(i) * s.H + j] = M;
  wk.edges += uint64_t(cnt);
  wk.bytes += uint64_t((j - kz + 1 + i - ks - 1) >> 3) + 1;
  int* h = wk.pos.data();
  int hc = 0, vc = 0;
  bool diag = false;
  for (int e = 0; e < cnt; ++e) {
    if (code[e] == CODE_DIAGONAL) diag = true;
    else if (code[e] >= 0) h[hc++] = code[e];
  }
  int* v = h + hc;
  for (int e = 0; e < cnt; ++e)
    if (code[e] != CODE_DIAGONAL && code[e] < 0) v[vc++] = code[e] == CODE_ROW0 ? 0 : -code[e];
  return wk.writer.put(i, j, diag, 0, v, vc, 0, h, hc);
}

// The diagonal candidate of cell (i, j), col being column i of the
// transposed copy: dist(i - 1, j - 1) is read from the copy, since the row
// above may be the last row of the band above, whose line another thread
// may be writing right now.
inline float diagonal_candidate(const Sweep& s, Worker& wk, int i, int j, const float* col) {
  const PairTable& pt = *s.pt;
  const int pidx = pt.c1[i] * pt.na2 + pt.c2[j];
  if (pt.fill[pidx]) wk.sub_used = true;
  return col[j - 1 - s.H] + pt.score[pidx];
}

// Stores cell (i, j) once its optimal candidates are known: horizontally
// the hc columns s0 + hp[e] (candidates ha[hp[e]] + hb[hp[e]]), vertically
// the vc rows z0 + vp[e] (va[vp[e]] + vb[vp[e]]), the diagonal cd when diag.
// The value is that of the first candidate reaching the minimum (which of
// +0 and -0 the sequential rule keeps).
inline bool store_cell(const Sweep& s, Worker& wk, int i, int j, const float* ha, const float* hb, int s0,
                       const int* hp, int hc, const float* va, const float* vb, int z0, const int* vp, int vc,
                       float cd, bool diag) {
  const float val = hc ? ha[hp[0]] + hb[hp[0]] : vc ? va[vp[0]] + vb[vp[0]] : cd;
  s.dist[uint64_t(j) * s.W + i] = val;
  s.dT[uint64_t(i) * s.H + j] = val;
  wk.edges += uint64_t(hc + vc + (diag ? 1 : 0));
  const int ks = hc ? s0 + hp[0] : i;
  const int kz = vc ? z0 + vp[0] : j;
  wk.bytes += uint64_t((j - kz + 1 + i - ks - 1) >> 3) + 1;
  return wk.writer.put(i, j, diag, z0, vp, vc, s0, hp, hc);
}

// One cell by the scan kernels (see the top of the file).
inline bool scan_cell(const Sweep& s, Worker& wk, int i, int j) {
  float* row = s.dist + uint64_t(j) * s.W;
  const float* prev = row - s.W;
  float* col = s.dT + uint64_t(i) * s.H;
  if (j == 1) col[0] = prev[i];  // the column's border, by the thread that first needs it
  const int s0 = first_column(i), z0 = first_column(j);
  const float* ha = row + s0;
  const float* hb = s.rev + (s.lmax - i + s0);
  const int hl = i - s0;
  const float* va = col + z0;
  const float* vb = s.rev + (s.lmax - j + z0);
  const int vl = j - z0;
  if (std::isnan(ha[0] + hb[0])) return reference_cell(s, wk, i, j);  // the sequential rule keeps a NaN start

  const float mh = s.vmin(ha, hb, hl, wk.cmh.data());
  const float mv = s.vmin(va, vb, vl, wk.cmv.data());
  const float cd = diagonal_candidate(s, wk, i, j, col);
  float M = mh;
  if (mv < M) M = mv;
  if (cd < M) M = cd;
  int* hp = wk.pos.data();
  const int hc = (mh == M) ? s.veq(ha, hb, hl, M, wk.cmh.data(), hp) : 0;
  int* vp = hp + hc;
  const int vc = (mv == M) ? s.veq(va, vb, vl, M, wk.cmv.data(), vp) : 0;
  return store_cell(s, wk, i, j, ha, hb, s0, hp, hc, va, vb, z0, vp, vc, cd, cd == M);
}

// The minima of the cells j0 .. j1 - 1 of column i of a band, together
// (without a gap length limit): horizontally over the whole rows to the
// left, vertically over the column above the band; band_cell finishes each
// cell. True when done, false when the band's shape has no kernel.
bool band_prepare(const Sweep& s, Worker& wk, int i, int j0, int j1) {
  float* col = s.dT + uint64_t(i) * s.H;
  if (j0 == 1) col[0] = s.dist[i];  // the column's border, by the thread that first needs it
  const float* rows = s.dist + uint64_t(j0) * s.W;
  const float* hb = s.rev + (s.lmax - i);
  const float* vb = s.rev + (s.lmax - j0);
  const size_t cs = s.bcm_stride;
  switch (j1 - j0) {
    case kBand:
      band_min_avx512<kBand, false>(rows, ptrdiff_t(s.W), hb, 0, i, wk.bcmh.data(), cs, wk.bmh);
      band_min_avx512<kBand, true>(col, 0, vb, -1, j0, wk.bcmv.data(), cs, wk.bmv);
      return true;
    case kBand - 1:
      band_min_avx512<kBand - 1, false>(rows, ptrdiff_t(s.W), hb, 0, i, wk.bcmh.data(), cs, wk.bmh);
      band_min_avx512<kBand - 1, true>(col, 0, vb, -1, j0, wk.bcmv.data(), cs, wk.bmv);
      return true;
    default:
      return false;
  }
}

// Cell (i, j), the r-th of its band from j0, after band_prepare: the
// vertical candidates within the band come one by one, the rest as in
// scan_cell.
inline bool band_cell(const Sweep& s, Worker& wk, int i, int j, int j0) {
  const int r = j - j0;
  float* row = s.dist + uint64_t(j) * s.W;
  float* col = s.dT + uint64_t(i) * s.H;
  const float* hb = s.rev + (s.lmax - i);
  const float* vb = s.rev + (s.lmax - j);
  if (std::isnan(row[0] + hb[0])) return reference_cell(s, wk, i, j);  // the sequential rule keeps a NaN start
  const float mh = wk.bmh[r], mvs = wk.bmv[r];
  float mv = mvs;
  for (int k = j0; k < j; ++k) {
    const float c = col[k] + vb[k];
    if (c < mv) mv = c;
  }
  const float cd = diagonal_candidate(s, wk, i, j, col);
  float M = mh;
  if (mv < M) M = mv;
  if (cd < M) M = cd;
  int* hp = wk.pos.data();
  const float* cmh = wk.bcmh.data() + size_t(r) * s.bcm_stride;
  const float* cmv = wk.bcmv.data() + size_t(r) * s.bcm_stride;
  const int hc = (mh == M) ? eq_avx512(row, hb, i, M, cmh, hp) : 0;
  int* vp = hp + hc;
  int vc = 0;
  if (mv == M) {
    vc = (mvs == M) ? eq_avx512(col, vb, j0, M, cmv, vp) : 0;
    for (int k = j0; k < j; ++k)
      if (col[k] + vb[k] == M) vp[vc++] = k;
  }
  return store_cell(s, wk, i, j, row, hb, 0, hp, hc, col, vb, 0, vp, vc, cd, cd == M);
}

// Polls of the calling thread: dispatch, the main window, the interrupt and
// the floating-point flag. True when the computation is to stop.
struct MainPoll {
  Sweep& s;
  std::vector<std::thread>& team;
  int counter = 0;

  void stop_team() {
    s.stop.store(true, std::memory_order_relaxed);
    for (std::thread& t : team)
      if (t.joinable()) t.join();
  }
  bool check() {
    notify_dispatch();
    if (!main_window_shown()) {
      stop_team();  // no thread may run on while the program ends
      alles_aus();
    }
    return fp_error() != 0 || computing == 0 || s.stop.load(std::memory_order_relaxed);
  }
  // After one cell: every 20 cells a check.
  bool cell_done() {
    if (++counter < 20) return false;
    counter = 0;
    return check();
  }
};

// Waits until band b - 1 has at least `need` final columns; returns the
// count seen, or -1 when the computation is to stop meanwhile. A short spin
// covers the usual wait of a fraction of a column; beyond it the thread
// yields, so that on a busy machine it does not take the time of the thread
// it waits for.
int wait_for(Sweep& s, int b, int need, MainPoll* poll) {
  unsigned spins = 0;
  for (;;) {
    const int done = s.bands[b].done.load(std::memory_order_acquire);  // entry b: band b - 1
    if (done >= need) return done;
    if (s.stop.load(std::memory_order_relaxed)) return -1;
    if (++spins < 128) {
      _mm_pause();
      continue;
    }
    if (poll != nullptr && (spins & 63) == 0 && poll->check()) return -1;
    std::this_thread::yield();
  }
}

// The bands of thread t. `poll` is set for the calling thread only.
void run_bands(Sweep& s, Worker& wk, int t, MainPoll* poll) {
  for (int b = t; b < s.nbands; b += s.threads) {
    const int j0 = std::max(1, b * kBand), j1 = std::min(m + 1, (b + 1) * kBand);
    if (poll != nullptr)
      for (int j = j0; j < j1; ++j) show_time(200u * unsigned(j));
    wk.writer.begin_rows(j0, j1);
    int ready = 0;  // columns of the band above known to be final
    bool stop = false;
    for (int i = 1; i <= n && !stop; ++i) {
      if (ready < i) {
        ready = wait_for(s, b, i, poll);
        if (ready < 0) break;
      }
      const bool together = s.bands_vector && band_prepare(s, wk, i, j0, j1);
      for (int j = j0; j < j1; ++j) {
        const bool ok = s.reference ? reference_cell(s, wk, i, j)
                        : together  ? band_cell(s, wk, i, j, j0)
                                    : scan_cell(s, wk, i, j);
        ++wk.cells;
        if (!ok) {
          wk.failed = true;
          s.no_room.store(true, std::memory_order_relaxed);
          stop = true;
          break;
        }
        if (poll != nullptr ? poll->cell_done() : s.stop.load(std::memory_order_relaxed)) {
          stop = true;
          break;
        }
      }
      if (!stop) s.bands[b + 1].done.store(i, std::memory_order_release);
    }
    wk.writer.end_rows();
    if (stop || ready < 0) {
      s.stop.store(true, std::memory_order_relaxed);
      return;
    }
  }
}

// Figures of the last min_distance for the memory refusal.
uint64_t last_need = 0;

}  // namespace

int general_thread_count() {
  if (general_threads > 0) return general_threads;
  const unsigned h = std::thread::hardware_concurrency();
  return h > 0 ? int(h) : 1;
}

uint64_t general_outgrown_need() { return last_need; }

bool scan_kernel_supported(ScanKernel k) { return cpu_has(k); }

ScanKernel scan_kernel_in_use() {
  if (scan_kernel != ScanKernel::automatic)
    return cpu_has(scan_kernel) ? scan_kernel : ScanKernel::scalar;
  if (cpu_has(ScanKernel::avx512)) return ScanKernel::avx512;
  if (cpu_has(ScanKernel::avx2)) return ScanKernel::avx2;
  return ScanKernel::scalar;
}

float min_distance() {
  // dist must have the problem's size (the driver sizes it; a caller that
  // did not gets it sized here rather than written out of bounds). The
  // graph starts empty.
  const uint32_t Wd = uint32_t(n) + 1, Hd = uint32_t(m) + 1;
  if (dist.dim_x() != Wd || dist.dim_y() != Hd) dist.change_dim(Wd, Hd);
  if (!dist_gr.reset(Wd, Hd)) vd::alloc_failed("distance.cpp", __LINE__, "min_distance", "b!=0");
  if (help_l.length() < uint32_t(n) + uint32_t(m) + 2) help_l.change_length(uint32_t(n + m + 2));
  last_need = 0;
  progress_reset(m);
  sub_t = 0;
  tabulate_gap_costs();
  gesamtkanten = uint64_t(n) + uint64_t(m);
  bytes = 8ull * uint64_t(n) * uint64_t(m);
  flush_display();
  if (n == 0 || m == 0) {
    fu_res.change_length(1);
    return dist(uint32_t(n), uint32_t(m));
  }

  const ScanKernel kern = scan_kernel == ScanKernel::reference ? ScanKernel::reference : scan_kernel_in_use();
  Sweep s;
  s.dist = dist.numbers;
  s.W = Wd;
  s.H = (uint64_t(Hd) + 15) & ~uint64_t(15);
  s.reference = kern == ScanKernel::reference;
  s.vmin = min_scalar;
  s.veq = eq_scalar;
  if (kern == ScanKernel::avx2) { s.vmin = min_avx2; s.veq = eq_avx2; }
  if (kern == ScanKernel::avx512) { s.vmin = min_avx512; s.veq = eq_avx512; }
  PairTable pt;
  std::vector<float> rev;
  std::unique_ptr<float[]> dT;
  s.lmax = n > m ? n : m;
  if (!s.reference) {
    pt.build();
    // rev[t] = g(lmax - t): g(i - k) for k = s0 .. i-1 is rev[lmax - i + k .. lmax - 1]
    rev.resize(size_t(s.lmax));
    for (int t = 0; t < s.lmax; ++t) rev[t] = fu_res.numbers[s.lmax - t];
    // Left uninitialised: each thread touches first the columns it writes.
    // Aligned so that a band's stretch of a column is one cache line.
    dT.reset(new (std::nothrow) float[uint64_t(Wd) * s.H + 16]);
    if (!dT) vd::alloc_failed("distance.cpp", __LINE__, "min_distance", "b!=0");
  }
  s.dT = reinterpret_cast<float*>((reinterpret_cast<uintptr_t>(dT.get()) + 63) & ~uintptr_t(63));
  if (s.dT) {
    for (int j = 0; j <= m; ++j) s.dT[j] = dist(0, uint32_t(j));  // column 0: the border
  }
  s.rev = rev.data();
  s.pt = &pt;
  s.nbands = m / kBand + 1;
  // Without a gap length limit every cell of a band scans the same stretch.
  s.bands_vector = kern == ScanKernel::avx512 && (gl_kl <= 0 || gl_kl >= s.lmax);
  s.bcm_stride = (size_t(s.lmax) / kChunk + 1) * kChunkFloats;
  const int threads = std::max(1, std::min(general_thread_count(), s.nbands));
  s.threads = threads;
  std::unique_ptr<BandProgress[]> bands(new BandProgress[size_t(s.nbands) + 1]);
  bands[0].done.store(n, std::memory_order_relaxed);
  s.bands = bands.get();

  std::vector<std::unique_ptr<Worker>> workers;
  const size_t chunks = size_t(s.lmax) / kChunk + 1;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back(new Worker(dist_gr));
    Worker& wk = *workers.back();
    wk.pos.resize(size_t(n) + size_t(m) + 2);
    wk.cmh.resize(chunks * kChunkFloats);
    wk.cmv.resize(chunks * kChunkFloats);
    if (s.bands_vector) {
      wk.bcmh.resize(kBand * s.bcm_stride);
      wk.bcmv.resize(kBand * s.bcm_stride);
    }
    wk.codes.resize(size_t(n) + size_t(m) + 2);
  }

  std::vector<std::thread> team;
  MainPoll poll{s, team};
  struct Joiner {  // no thread outlives the computation, whatever ends it
    MainPoll& p;
    ~Joiner() { p.stop_team(); }
  } joiner{poll};
  for (int t = 1; t < threads; ++t)
    team.emplace_back([&s, &workers, t] {
      Worker& wk = *workers[size_t(t)];
      run_bands(s, wk, t, nullptr);
      wk.finished.store(true, std::memory_order_release);
    });
  run_bands(s, *workers[0], 0, &poll);
  // The calling thread keeps polling until the others are done.
  for (int t = 1; t < threads; ++t) {
    unsigned spins = 0;
    while (!workers[size_t(t)]->finished.load(std::memory_order_acquire)) {
      if (++spins < 128) {
        _mm_pause();
        continue;
      }
      if ((spins & 63) == 0 && poll.check()) s.stop.store(true, std::memory_order_relaxed);
      std::this_thread::yield();
    }
  }
  poll.stop_team();

  uint64_t cells = 0;
  for (auto& wk : workers) {
    gesamtkanten += wk->edges;
    bytes += wk->bytes;
    cells += wk->cells;
    if (wk->sub_used) sub_t = 1;
  }
  if (s.no_room.load()) {
    // What the whole graph would take at the rate seen so far, and at least
    // what was asked for.
    size_t asked = 0;
    for (auto& wk : workers) asked = std::max(asked, wk->writer.failed_units());
    const uint64_t have = dist_gr.chunk_bytes() + uint64_t(asked) * 2;
    const uint64_t all = uint64_t(n) * uint64_t(m);
    const uint64_t projected = cells > 0 ? uint64_t(double(dist_gr.chunk_bytes()) * double(all) / double(cells)) : 0;
    last_need = std::max(have, projected);
  }
  fu_res.change_length(1);
  return dist(uint32_t(n), uint32_t(m));
}
