// The general recurrence written as plainly as possible: the yardstick for
// the general engine's speed. Distance only: no edge records, no ties, no
// event checks, one thread, the project's -O2 and nothing else.
//
//   plain_loop SEQ1 SEQ2 [a b sub match]
//
// SEQ1, SEQ2: FASTA or plain text files (letters only are read). The gap cost
// is a + b*log10(k) (default a = 3, b = 1, the benchmarks' logarithmic cost),
// the pair scores sub and match (default 2 and 0). Prints the distance and
// the seconds of the computation; time the whole process to compare it with
// vardane-align on the same files.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string read_letters(const char* path) {
  std::ifstream f(path);
  std::string line, s;
  while (std::getline(f, line)) {
    if (!line.empty() && line[0] == '>') continue;
    for (char c : line)
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) s.push_back(char(c & ~0x20));
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: plain_loop SEQ1 SEQ2 [a b sub match]\n");
    return 1;
  }
  const std::string s1 = read_letters(argv[1]), s2 = read_letters(argv[2]);
  const double a = argc > 3 ? std::atof(argv[3]) : 3.0, b = argc > 4 ? std::atof(argv[4]) : 1.0;
  const float sub = argc > 5 ? float(std::atof(argv[5])) : 2.0f;
  const float mat = argc > 6 ? float(std::atof(argv[6])) : 0.0f;
  const int n = int(s1.size()), m = int(s2.size());
  const int lmax = n > m ? n : m;
  const auto t0 = std::chrono::steady_clock::now();

  std::vector<float> g(size_t(lmax) + 1, 0.0f);
  for (int k = 1; k <= lmax; ++k) g[size_t(k)] = float(a + b * std::log10(double(k)));
  const size_t W = size_t(n) + 1;
  std::vector<float> d(W * (size_t(m) + 1));
  d[0] = 0.0f;
  for (int i = 1; i <= n; ++i) d[size_t(i)] = g[size_t(i)];
  for (int j = 1; j <= m; ++j) d[size_t(j) * W] = g[size_t(j)];
  for (int j = 1; j <= m; ++j) {
    for (int i = 1; i <= n; ++i) {
      float best = d[(j - 1) * W + (i - 1)] + (s1[size_t(i - 1)] == s2[size_t(j - 1)] ? mat : sub);
      for (int k = 0; k < i; ++k) {
        const float c = d[j * W + k] + g[size_t(i - k)];
        if (c < best) best = c;
      }
      for (int k = 0; k < j; ++k) {
        const float c = d[k * W + i] + g[size_t(j - k)];
        if (c < best) best = c;
      }
      d[j * W + i] = best;
    }
  }

  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("distance %.9g  n %d  m %d  %.3f s\n", double(d[size_t(m) * W + size_t(n)]), n, m, secs);
  return 0;
}
