// Speed of the general-cost engine on random DNA: distance graph, marking of
// the optimal graph (headless, so no drawing), extraction of one alignment
// and release of the edge records; candidates per second in the distance
// computation (n*m*(n+m) / time), the memory the records take, and how many
// times faster than one thread the distance computation is on every core.
// Prints its figures, never fails.
//
//   bench_general [reps] [sizes...]      defaults: 3 repetitions, 1000 2000
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "bench/bench_util.h"

namespace {

std::string random_dna(int len, std::mt19937& rng) {
  std::string s;
  for (int i = 0; i < len; ++i) s += "ACGT"[rng() % 4];
  return s;
}

const char* kernel_name(ScanKernel k) {
  switch (k) {
    case ScanKernel::reference: return "reference";
    case ScanKernel::scalar: return "scalar";
    case ScanKernel::avx2: return "avx2";
    case ScanKernel::avx512: return "avx512";
    default: return "automatic";
  }
}

struct Times {
  double dist, mark, extract, release;
};

Times run_once(const std::string& a, const std::string& b) {
  seq1 = String(a.c_str());
  seq2 = String(b.c_str());
  n = int(a.size());
  m = int(b.size());
  Times t{};
  double t0 = now();
  release_general_graph();
  t.release = now() - t0;
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  help_l.change_length(uint16_t(n + m + 2));
  fp_err_clear();
  computing = 1;
  t0 = now();
  wert = min_distance();
  t.dist = now() - t0;
  dist.change_dim(1, 1);
  t0 = now();
  choose_your_alignment();
  t.mark = now() - t0;
  t0 = now();
  make_alignment();
  t.extract = now() - t0;
  computing = 0;
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 2000};
  const int all = general_thread_count();

  const ScanKernel best = scan_kernel_in_use();
  std::printf("general engine, median of %d; kernel in use: %s; %d cores\n", reps, kernel_name(best), all);
  std::printf("%-6s %-11s %-9s %7s %9s %9s %9s %9s %12s %10s %8s\n", "n=m", "gap cost", "kernel", "threads",
              "dist s", "mark s", "extract s", "release s", "cand/s", "records MB", "speed-up");
  std::mt19937 rng(20240501);
  for (int size : sizes) {
    std::string a = random_dna(size, rng), b = random_dna(size, rng);
    for (int cost = 0; cost < 2; ++cost) {
      cost_reset();
      if (cost == 1) func = 1;  // a+b*log(k)
      // (kernel, threads); the runs of one size and cost alternate, so that
      // the machine's load falls on all of them alike.
      std::vector<std::pair<ScanKernel, int>> cases{{ScanKernel::automatic, 1}};
      if (all > 1) cases.push_back({ScanKernel::automatic, all});
      if (size <= 1000) {
        cases.push_back({ScanKernel::scalar, 1});
        if (scan_kernel_supported(ScanKernel::avx2)) cases.push_back({ScanKernel::avx2, 1});
      }
      std::vector<std::vector<Times>> runs(cases.size());
      float value = 0.0f;
      for (int r = 0; r < reps; ++r) {
        for (size_t c = 0; c < cases.size(); ++c) {
          scan_kernel = cases[c].first;
          general_threads = cases[c].second;
          runs[c].push_back(run_once(a, b));
          value = wert;
        }
      }
      const double one = [&] {
        std::vector<double> d;
        for (const Times& t : runs[0]) d.push_back(t.dist);
        return median(d);
      }();
      for (size_t c = 0; c < cases.size(); ++c) {
        std::vector<double> d, mk, ex, rl;
        for (const Times& t : runs[c]) {
          d.push_back(t.dist);
          mk.push_back(t.mark);
          ex.push_back(t.extract);
          rl.push_back(t.release);
        }
        const double cand = double(size) * size * (2.0 * size) / median(d);
        std::printf("%-6d %-11s %-9s %7d %9.3f %9.3f %9.4f %9.3f %12.3e %10.1f %8.2f   (distance %.1f, %llu edges)\n",
                    size, cost ? "a+b*log(k)" : "a+b*k",
                    kernel_name(cases[c].first == ScanKernel::automatic ? best : cases[c].first),
                    cases[c].second, median(d), median(mk), median(ex), median(rl), cand,
                    double(dist_gr.stored_bytes()) / 1048576.0, one / median(d), double(value),
                    (unsigned long long)gesamtkanten);
        std::fflush(stdout);
      }
    }
  }
  scan_kernel = ScanKernel::automatic;
  general_threads = 0;
  release_general_graph();
  return 0;
}
