// Speed and memory of the concave engine on random DNA: the distance sweep,
// the marking of the optimal graph and the extraction of one alignment, for
// n = m = 2000, 5000, 10000 (or the sizes given as arguments) and the gap
// costs a + b*k (a = 0.5 and a = 9, b = 1) and a + b*log(k). Each case runs in
// its own process so that its peak resident memory (ru_maxrss) is its own.
// "linear" says whether the sweep took its shortcut for exact linear costs.
// ns/cell is the whole computation by the clock, cpu ns/c by the processor
// time of the process (less disturbed on a shared machine).
// Prints figures; never fails.
//
//   bench_concave [size ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "state/state.h"
#include "bench/bench_util.h"

namespace {

const char* const kCostNames[] = {"0.5+k", "2+log(k)", "9+k"};

// Processor time of this process (user and system), in seconds: on a shared
// machine it is less disturbed by other processes than the clock.
double cpu_now() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + 1e-6 * double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

void run_case(int size, int cost) {
  std::mt19937 g(uint32_t(size) * 31u + uint32_t(cost));
  std::string a, b;
  for (int i = 0; i < size; ++i) a.push_back("ACGT"[g() % 4]);
  for (int i = 0; i < size; ++i) b.push_back("ACGT"[g() % 4]);
  seq1 = String(a.c_str());
  seq2 = String(b.c_str());
  n = m = size;
  if (cost == 0 || cost == 2) {
    func = 4;  // a + b*k
    aa = cost == 0 ? 0.5 : 9.0;
    bb = 1.0;
  } else {
    func = 1;  // a + b*log10(k)
    aa = 2.0;
    bb = 1.0;
  }

  const double c0 = cpu_now();
  const double t0 = now();
  computing = 6;
  dist.change_dim(uint32_t(n + 1), uint32_t(m + 1));
  help_l.change_length(uint16_t(n + m + 7));
  concave_setup();
  fp_err_clear();
  const double t1 = now();
  wert = concave_distance();
  const double t2 = now();
  con_vorz = 1;
  choose_con_alignment();
  const double t3 = now();
  make_con_alignment();
  const double t4 = now();
  const double c4 = cpu_now();
  computing = 0;

  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  const double cells = double(n) * double(m);
  const double peak = double(ru.ru_maxrss) * 1024.0;
  std::printf("%6d  %-12s %9.3f %9.3f %9.3f %9.3f %9.3f %10.2f %10.2f %10.2f %7s   wert %.1f edges %llu\n", size,
              kCostNames[cost], t1 - t0, t2 - t1, t3 - t2, t4 - t3, t4 - t0, (t4 - t0) * 1e9 / cells,
              (c4 - c0) * 1e9 / cells, peak / cells, concave_linear_used() ? "yes" : "no", double(wert),
              (unsigned long long)gl_opt_edges);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {2000, 5000, 10000};
  std::printf("concave engine, mode 6, random DNA, n = m, sub 2, match 0; times in seconds\n");
  std::printf("%6s  %-12s %9s %9s %9s %9s %9s %10s %10s %10s %7s\n", "n", "gap cost", "setup", "distance",
              "marking", "extract", "total", "ns/cell", "cpu ns/c", "bytes/cell", "linear");
  std::fflush(stdout);
  for (int size : sizes) {
    if (size < 1 || size > CONCAVE_MAX_LEN) continue;
    for (int cost = 0; cost < 3; ++cost) {
      pid_t pid = fork();
      if (pid == 0) {
        run_case(size, cost);
        std::_Exit(0);
      }
      int status = 0;
      if (pid > 0) waitpid(pid, &status, 0);
      if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::printf("%6d  %-12s did not complete\n", size, kCostNames[cost]);
    }
  }
  return 0;
}
