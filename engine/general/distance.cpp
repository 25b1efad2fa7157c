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
// min_cost() applies this rule candidate by candidate. min_distance() gets
// exactly the same outcome faster: per direction it first takes the minimum of
// all candidates (a vectorised pass over a row of dist and a reversed copy of
// g, resp. a column of a transposed copy of dist), and then collects the
// positions equal to the overall minimum in increasing order. Sequential
// "less restarts, equal appends" leaves precisely those positions, in that
// order, provided the very first candidate is a number; a cell whose first
// candidate is NaN goes through min_cost().
#include <immintrin.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "containers/alloc_check.h"
#include "cost/cost.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/progress.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// ---- scan kernels: minimum of a[t] + b[t], and positions equal to a value ----

float min_scalar(const float* a, const float* b, int len) {
  float mn = kInf;
  for (int t = 0; t < len; ++t) {
    float c = a[t] + b[t];
    if (c < mn) mn = c;  // NaN never wins
  }
  return mn;
}

int eq_scalar(const float* a, const float* b, int len, float v, int* out) {
  int cnt = 0;
  for (int t = 0; t < len; ++t)
    if (a[t] + b[t] == v) out[cnt++] = t;
  return cnt;
}

__attribute__((target("avx2"))) float min_avx2(const float* a, const float* b, int len) {
  __m256 m0 = _mm256_set1_ps(kInf), m1 = m0, m2 = m0, m3 = m0;
  int t = 0;
  // _mm256_min_ps(c, acc) returns acc when c is NaN, so NaN never wins here either.
  for (; t + 32 <= len; t += 32) {
    m0 = _mm256_min_ps(_mm256_add_ps(_mm256_loadu_ps(a + t), _mm256_loadu_ps(b + t)), m0);
    m1 = _mm256_min_ps(_mm256_add_ps(_mm256_loadu_ps(a + t + 8), _mm256_loadu_ps(b + t + 8)), m1);
    m2 = _mm256_min_ps(_mm256_add_ps(_mm256_loadu_ps(a + t + 16), _mm256_loadu_ps(b + t + 16)), m2);
    m3 = _mm256_min_ps(_mm256_add_ps(_mm256_loadu_ps(a + t + 24), _mm256_loadu_ps(b + t + 24)), m3);
  }
  for (; t + 8 <= len; t += 8)
    m0 = _mm256_min_ps(_mm256_add_ps(_mm256_loadu_ps(a + t), _mm256_loadu_ps(b + t)), m0);
  m0 = _mm256_min_ps(_mm256_min_ps(m0, m1), _mm256_min_ps(m2, m3));
  __m128 h = _mm_min_ps(_mm256_castps256_ps128(m0), _mm256_extractf128_ps(m0, 1));
  h = _mm_min_ps(h, _mm_movehl_ps(h, h));
  h = _mm_min_ss(h, _mm_shuffle_ps(h, h, 1));
  float mn = _mm_cvtss_f32(h);
  for (; t < len; ++t) {
    float c = a[t] + b[t];
    if (c < mn) mn = c;
  }
  return mn;
}

__attribute__((target("avx2,bmi"))) int eq_avx2(const float* a, const float* b, int len, float v,
                                                int* out) {
  const __m256 vv = _mm256_set1_ps(v);
  int cnt = 0, t = 0;
  for (; t + 8 <= len; t += 8) {
    __m256 c = _mm256_add_ps(_mm256_loadu_ps(a + t), _mm256_loadu_ps(b + t));
    unsigned mask = unsigned(_mm256_movemask_ps(_mm256_cmp_ps(c, vv, _CMP_EQ_OQ)));
    while (mask) {
      out[cnt++] = t + int(_tzcnt_u32(mask));
      mask &= mask - 1;
    }
  }
  for (; t < len; ++t)
    if (a[t] + b[t] == v) out[cnt++] = t;
  return cnt;
}

// GCC 12's AVX-512 intrinsics start from a deliberately undefined register
// value, which its own uninitialised-use warning reports at every inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f"))) float min_avx512(const float* a, const float* b, int len) {
  __m512 m0 = _mm512_set1_ps(kInf), m1 = m0, m2 = m0, m3 = m0;
  int t = 0;
  for (; t + 64 <= len; t += 64) {
    m0 = _mm512_min_ps(_mm512_add_ps(_mm512_loadu_ps(a + t), _mm512_loadu_ps(b + t)), m0);
    m1 = _mm512_min_ps(_mm512_add_ps(_mm512_loadu_ps(a + t + 16), _mm512_loadu_ps(b + t + 16)), m1);
    m2 = _mm512_min_ps(_mm512_add_ps(_mm512_loadu_ps(a + t + 32), _mm512_loadu_ps(b + t + 32)), m2);
    m3 = _mm512_min_ps(_mm512_add_ps(_mm512_loadu_ps(a + t + 48), _mm512_loadu_ps(b + t + 48)), m3);
  }
  for (; t + 16 <= len; t += 16)
    m0 = _mm512_min_ps(_mm512_add_ps(_mm512_loadu_ps(a + t), _mm512_loadu_ps(b + t)), m0);
  if (t < len) {
    __mmask16 k = __mmask16((1u << (len - t)) - 1);
    __m512 c = _mm512_add_ps(_mm512_maskz_loadu_ps(k, a + t), _mm512_maskz_loadu_ps(k, b + t));
    m1 = _mm512_mask_min_ps(m1, k, c, m1);
  }
  m0 = _mm512_min_ps(_mm512_min_ps(m0, m1), _mm512_min_ps(m2, m3));
  return _mm512_reduce_min_ps(m0);
}

__attribute__((target("avx512f,bmi"))) int eq_avx512(const float* a, const float* b, int len,
                                                     float v, int* out) {
  const __m512 vv = _mm512_set1_ps(v);
  int cnt = 0, t = 0;
  for (; t < len; t += 16) {
    __mmask16 k = len - t >= 16 ? __mmask16(0xffff) : __mmask16((1u << (len - t)) - 1);
    __m512 c = _mm512_add_ps(_mm512_maskz_loadu_ps(k, a + t), _mm512_maskz_loadu_ps(k, b + t));
    unsigned mask = _mm512_mask_cmp_ps_mask(k, c, vv, _CMP_EQ_OQ);
    while (mask) {
      out[cnt++] = t + int(_tzcnt_u32(mask));
      mask &= mask - 1;
    }
  }
  return cnt;
}

#pragma GCC diagnostic pop

using min_fn = float (*)(const float*, const float*, int);
using eq_fn = int (*)(const float*, const float*, int, float, int*);

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

// A new edge record with all bits clear. Allocation failure ends the
// program through the containers' allocation check, as everywhere else.
list* new_record(int l1, int l2) {
  list* r = new (std::nothrow) list(uint16_t(l1 + l2), uint16_t(l1));
  if (r == nullptr) vd::alloc_failed("distance.cpp", __LINE__, "min_cost", "b!=0");
  *r = 0;
  return r;
}

int first_column(int i) {
  if (gl_kl > 0) return (i - gl_kl + 1 > 1 ? i - gl_kl + 1 : 1) - 1;
  return 0;
}

}  // namespace

bool scan_kernel_supported(ScanKernel k) { return cpu_has(k); }

ScanKernel scan_kernel_in_use() {
  if (scan_kernel != ScanKernel::automatic)
    return cpu_has(scan_kernel) ? scan_kernel : ScanKernel::scalar;
  if (cpu_has(ScanKernel::avx512)) return ScanKernel::avx512;
  if (cpu_has(ScanKernel::avx2)) return ScanKernel::avx2;
  return ScanKernel::scalar;
}

void min_cost(int i, int j) {
  const float* d = dist.numbers;
  const uint64_t w = dist.dim_x();
  int cnt = 0;  // entries of the code list in help_l
  float M;
  int ks, kz = -1;

  // 1. horizontal candidates
  int s0 = first_column(i);
  M = d[uint64_t(j) * w + s0] + fu_res.numbers[i - s0];
  help_l.set(uint32_t(cnt++), int16_t(s0));
  ks = s0;
  for (int k = s0 + 1; k < i; ++k) {
    float c = d[uint64_t(j) * w + k] + fu_res.numbers[i - k];
    if (c < M) {
      M = c;
      cnt = 0;
      help_l.set(uint32_t(cnt++), int16_t(k));
      ks = k;
    } else if (c == M) {
      help_l.set(uint32_t(cnt++), int16_t(k));
    }
  }
  // 2. vertical candidates
  int z0 = first_column(j);
  for (int k = z0; k < j; ++k) {
    float c = d[uint64_t(k) * w + i] + fu_res.numbers[j - k];
    int16_t code = int16_t(k == 0 ? CODE_ROW0 : -k);
    if (c < M) {
      M = c;
      cnt = 0;
      help_l.set(uint32_t(cnt++), code);
      kz = k;
      ks = i;
    } else if (c == M) {
      help_l.set(uint32_t(cnt++), code);
      if (kz < 0) kz = k;
    }
  }
  if (kz < 0) kz = j;
  // 3. diagonal candidate
  float c = d[uint64_t(j - 1) * w + (i - 1)] + pair_score(seq1.Str[i - 1], seq2.Str[j - 1]);
  if (c < M) {
    M = c;
    cnt = 0;
    help_l.set(uint32_t(cnt++), int16_t(CODE_DIAGONAL));
    ks = i;
    kz = j;
  } else if (c == M) {
    help_l.set(uint32_t(cnt++), int16_t(CODE_DIAGONAL));
  }
  // 4.-6. value, record, bits
  dist.set(uint32_t(i), uint32_t(j), M);
  gesamtkanten += uint64_t(cnt);
  list* r = new_record(j - kz + 1, i - ks);
  dist_gr.set(uint32_t(i), uint32_t(j), r);
  bytes += r->block_bytes();
  for (int e = 0; e < cnt; ++e) {
    int code = help_l[uint32_t(e)];
    if (code == CODE_DIAGONAL) r->set1(0, 1);
    else if (code == CODE_ROW0) r->set1(1, 1);
    else if (code < 0) r->set1(uint16_t(-code - kz + 1), 1);
    else r->set2(uint16_t(code - ks), 1);
  }
}

float min_distance() {
  // The tables must have the problem's size (the driver sizes them; a caller
  // that did not gets them sized here rather than written out of bounds).
  const uint32_t W = uint32_t(n) + 1, Hd = uint32_t(m) + 1;
  if (dist.dim_x() != W || dist.dim_y() != Hd) dist.change_dim(W, Hd);
  if (dist_gr.dim_x() != W || dist_gr.dim_y() != Hd) {
    dist_gr.change_dim(W, Hd);
    dist_gr = nullptr;
  }
  if (help_l.length() < uint32_t(n) + uint32_t(m) + 2) help_l.change_length(uint32_t(n + m + 2));
  progress_reset(m);
  sub_t = 0;
  tabulate_gap_costs();
  gesamtkanten = uint64_t(n) + uint64_t(m);
  bytes = 8ull * uint64_t(n) * uint64_t(m);
  flush_display();

  ScanKernel kern = scan_kernel == ScanKernel::reference ? ScanKernel::reference : scan_kernel_in_use();
  min_fn vmin = min_scalar;
  eq_fn veq = eq_scalar;
  if (kern == ScanKernel::avx2) { vmin = min_avx2; veq = eq_avx2; }
  if (kern == ScanKernel::avx512) { vmin = min_avx512; veq = eq_avx512; }

  PairTable pt;
  std::vector<float> rev, dT;
  std::vector<int> pos;
  const int lmax = n > m ? n : m;
  const uint64_t H = uint64_t(m) + 1;  // column length of the transposed copy
  if (n == 0 || m == 0) kern = ScanKernel::reference;  // no inner node
  if (kern != ScanKernel::reference) {
    pt.build();
    // rev[t] = g(lmax - t): g(i - k) for k = s0 .. i-1 is rev[lmax - i + k .. lmax - 1]
    rev.resize(size_t(lmax));
    for (int t = 0; t < lmax; ++t) rev[t] = fu_res.numbers[lmax - t];
    try {
      dT.assign((uint64_t(n) + 1) * H, 0.0f);
      pos.resize(size_t(n) + size_t(m) + 2);  // horizontal and vertical positions together
    } catch (const std::bad_alloc&) {
      kern = ScanKernel::reference;  // no room for the copies: the slow way needs none
      std::vector<float>().swap(dT);
    }
  }
  if (kern != ScanKernel::reference) {
    for (int i = 0; i <= n; ++i) dT[uint64_t(i) * H] = dist(uint32_t(i), 0);
    for (int j = 0; j <= m; ++j) dT[j] = dist(0, uint32_t(j));
  }

  int counter = 0;
  for (int j = 1; j <= m; ++j) {
    show_time(200u * unsigned(j));
    float* row = dist.row(uint32_t(j));
    const float* prev = dist.row(uint32_t(j - 1));
    const int z0 = first_column(j);
    for (int i = 1; i <= n; ++i) {
      if (kern == ScanKernel::reference) {
        min_cost(i, j);
      } else {
        const int s0 = first_column(i);
        const float* ha = row + s0;
        const float* hb = rev.data() + (lmax - i + s0);
        const int hl = i - s0;
        float* col = dT.data() + uint64_t(i) * H;
        const float* va = col + z0;
        const float* vb = rev.data() + (lmax - j + z0);
        const int vl = j - z0;
        const float first = ha[0] + hb[0];
        if (std::isnan(first)) {
          min_cost(i, j);  // the sequential rule keeps a NaN start: follow it literally
          col[j] = row[i];
        } else {
          const float mh = vmin(ha, hb, hl);
          const float mv = vmin(va, vb, vl);
          const int pidx = pt.c1[i] * pt.na2 + pt.c2[j];
          if (pt.fill[pidx]) sub_t = 1;
          const float cd = prev[i - 1] + pt.score[pidx];
          float M = mh;
          if (mv < M) M = mv;
          if (cd < M) M = cd;
          int* hp = pos.data();
          int hc = (mh == M) ? veq(ha, hb, hl, M, hp) : 0;
          int ks = hc ? s0 + hp[0] : i;
          float val = hc ? ha[hp[0]] + hb[hp[0]] : M;
          int* vp = pos.data() + hc;
          int vc = (mv == M) ? veq(va, vb, vl, M, vp) : 0;
          int kz = vc ? z0 + vp[0] : j;
          if (!hc) val = vc ? va[vp[0]] + vb[vp[0]] : cd;
          const bool diag = (cd == M);
          row[i] = val;
          col[j] = val;
          gesamtkanten += uint64_t(hc + vc + (diag ? 1 : 0));
          const int l1 = j - kz + 1, l2 = i - ks;
          list* r = new_record(l1, l2);
          dist_gr.numbers[uint64_t(j) * dist_gr.dim_x() + uint32_t(i)] = r;
          bytes += r->block_bytes();
          for (int e = 0; e < hc; ++e) r->set2(uint16_t(s0 + hp[e] - ks), 1);
          for (int e = 0; e < vc; ++e) r->set1(uint16_t(z0 + vp[e] - kz + 1), 1);
          if (diag) r->set1(0, 1);
        }
      }
      if (++counter == 20) {
        counter = 0;
        keep_alive();
        if (fp_error() || computing == 0) goto done;
      }
    }
  }
done:
  fu_res.change_length(1);
  return dist(uint32_t(n), uint32_t(m));
}
