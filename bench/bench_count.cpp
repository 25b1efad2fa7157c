// Speed of counting the optimal alignments exactly on the tie-heaviest input:
// A x n against C x n with the gap cost k and substitutions at 2, under which
// every path through the distance graph is optimal (the count has about
// 1.01 n decimal digits). The engine runs first (not timed here); then the
// count of the general engine (global mode) and of the concave engine (mode
// 6, which goes on past its warning for w(0) = 0). Median of the repetitions;
// prints figures, never fails.
//
//   bench_count [reps] [sizes...]      defaults: 3 repetitions, 1000
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/notice.h"
#include "bench/bench_util.h"

namespace {

int go_on(const NoticeRequest&) { return 0; }  // " Go on computing " at the concavity warning

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000};
  set_notice_responder(go_on);
  func = 4, aa = am = 0.0, bb = bm = 1.0, sub = subm = 2.0, mat = matm = 0.0;

  std::printf("count of optimal alignments, A x n against C x n, cost=a+b*k, a=0, b=1, subst.=2, match=0\n");
  std::printf("%6s  %-8s %10s %10s %8s\n", "n", "engine", "engine s", "count s", "digits");
  for (int size : sizes) {
    const std::string a(size_t(size), 'A'), c(size_t(size), 'C');
    for (int mode : {1, 6}) {
      std::vector<double> te, tc;
      size_t digits = 0;
      for (int r = 0; r < reps; ++r) {
        seq1 = String(a.c_str());
        seq2 = String(c.c_str());
        n = m = size;
        ms1 = ms2 = String();
        computing = mode;
        double t0 = now();
        OpResult res = mode == 1 ? run_general_alignment() : run_concave_alignment(mode);
        double t1 = now();
        if (res != OpResult::computed) {
          std::printf("%6d  %-8s the engine did not finish\n", size, mode == 1 ? "general" : "concave");
          break;
        }
        std::string count = (mode == 1 ? count_general_paths() : count_con_paths()).to_string();
        double t2 = now();
        te.push_back(t1 - t0);
        tc.push_back(t2 - t1);
        digits = count.size();
      }
      if (!tc.empty())
        std::printf("%6d  %-8s %10.3f %10.3f %8zu\n", size, mode == 1 ? "general" : "concave", median(te),
                    median(tc), digits);
      std::fflush(stdout);
    }
  }
  return 0;
}
