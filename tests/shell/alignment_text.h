// What the tests read off an alignment text: the nodes of the graph it
// passes and its cost under the active cost model.
#pragma once
#include <set>
#include <string>
#include <utility>

#include "cost/cost.h"

namespace shell_test {

using Node = std::pair<int, int>;

// The nodes an alignment text passes: the grid position after every column,
// except inside a run of gaps of one direction (one edge of the graph).
inline std::set<Node> text_nodes(const std::string& a1, const std::string& a2) {
  std::set<Node> s{{0, 0}};
  int x = 0, y = 0;
  for (size_t i = 0; i < a1.size(); ++i) {
    x += a1[i] != '-';
    y += a2[i] != '-';
    const bool run_goes_on = i + 1 < a1.size() && ((a1[i] == '-' && a1[i + 1] == '-') ||
                                                  (a2[i] == '-' && a2[i + 1] == '-'));
    if (!run_goes_on) s.insert({x, y});
  }
  return s;
}

// The text's cost: pair scores, and g(k) for every maximal gap run.
inline double text_cost(const std::string& a1, const std::string& a2) {
  double c = 0;
  for (size_t i = 0; i < a1.size();) {
    if (a1[i] != '-' && a2[i] != '-') {
      c += pair_score(a1[i], a2[i]);
      ++i;
      continue;
    }
    const bool del = a2[i] == '-';
    size_t j = i;
    while (j < a1.size() && (del ? a2[j] : a1[j]) == '-') ++j;
    c += gap_cost(static_cast<int>(j - i));
    i = j;
  }
  return c;
}

}  // namespace shell_test
