// The SVG documents of the optimal graph and the dot matrix: one element per
// edge, node, path node and equal pair, where the windows draw them; write
// failures reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "engine/common/graph_picture.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "tests/support/program_reset.h"
#include "views/svg.h"

namespace {

class Svg : public ::testing::Test {
 protected:
  void SetUp() override { reset_program(); }
  void TearDown() override { reset_program(); }
};

// The edges the fake results hand out.
std::vector<std::vector<int>> g_edges;
void fake_edges(const OptEdgeVisitor& edge) {
  for (const auto& e : g_edges) edge(e[0], e[1], e[2], e[3]);
}
const ResultEngine kFake = {false, nullptr, nullptr, nullptr, nullptr, fake_edges};

std::string written(bool (*write)(std::FILE*), bool* ok) {
  std::FILE* f = std::tmpfile();
  *ok = write(f);
  std::string s(size_t(std::ftell(f)), '\0');
  std::rewind(f);
  s.resize(std::fread(&s[0], 1, s.size(), f));
  std::fclose(f);
  return s;
}

// The elements of class `cls`, each as the values of `attrs` in order.
std::vector<std::vector<std::string>> elements(const std::string& doc, const std::string& cls,
                                               const std::vector<std::string>& attrs) {
  std::vector<std::vector<std::string>> out;
  const std::regex el("<[a-z]+ class=\"" + cls + "\"([^>]*)>");
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), el); it != std::sregex_iterator(); ++it) {
    const std::string a = (*it)[1];
    std::vector<std::string> v;
    for (const std::string& name : attrs) {
      std::smatch mv;
      const std::regex av(" " + name + "=\"([^\"]*)\"");
      v.push_back(std::regex_search(a, mv, av) ? mv[1].str() : "?");
    }
    out.push_back(v);
  }
  return out;
}

std::vector<std::string> at(int x, int y) { return {std::to_string(node_px(x)), std::to_string(node_py(y))}; }

// A graph of AGT against AT: the diagonal path with a deletion of G, and a
// second way through (1, 0) and a vertical edge.
void fake_results() {
  seq1 = String("AGT");
  seq2 = String("AT");
  n = 3;
  m = 2;
  hilfs_gr.change_dim(3, 2);
  hilfs_gr = 0;
  for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {3, 2}, {1, 2}}) hilfs_gr.set(uint32_t(x), uint32_t(y), 1);
  g_edges = {{0, 0, 1, 1}, {1, 0, 1, 1}, {1, 1, 2, 1}, {2, 1, 3, 2}, {1, 0, 1, 2}, {1, 2, 3, 2}};
  hilfs_al.change_length(16);
  const int path[] = {3, 2, 2, 1, 1, 1, -1};
  for (uint32_t k = 0; k < 7; ++k) hilfs_al.set(k, int16_t(path[k]));
  gl_opt_edges = g_edges.size();
  result_engine = &kFake;
}

}  // namespace

TEST_F(Svg, GraphElementsSitInTheWindowsFrame) {
  fake_results();
  bool ok = false;
  const std::string doc = written([](std::FILE* f) { return write_graph_svg(f); }, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << doc;
  EXPECT_NE(doc.find("width=\"56\" height=\"48\" viewBox=\"0 0 56 48\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("<title>All optimal alignments &amp; current alignment</title>"), std::string::npos);
  EXPECT_NE(doc.find("at (8x + 25, 8y + 15)"), std::string::npos);

  std::vector<std::vector<std::string>> want;
  for (const auto& e : g_edges) {
    auto a = at(e[0], e[1]), b = at(e[2], e[3]);
    want.push_back({a[0], a[1], b[0], b[1]});
  }
  EXPECT_EQ(elements(doc, "edge", {"x1", "y1", "x2", "y2"}), want);
  // The marked nodes row by row, then the border nodes edges start from.
  EXPECT_EQ(elements(doc, "node", {"cx", "cy"}),
            (std::vector<std::vector<std::string>>{at(1, 1), at(2, 1), at(1, 2), at(3, 2), at(0, 0), at(1, 0)}));
  EXPECT_EQ(elements(doc, "path", {"cx", "cy", "r"}),
            (std::vector<std::vector<std::string>>{{"49", "31", "2.5"}, {"41", "23", "2.5"}, {"33", "23", "2.5"}}));
  // The letters between the columns (rows) of nodes their edges join.
  EXPECT_EQ(elements(doc, "letter", {"x", "y"}),
            (std::vector<std::vector<std::string>>{{"29", "9"}, {"37", "9"}, {"45", "9"}, {"17", "21"}, {"17", "29"}}));
  EXPECT_NE(doc.find(">G</text>"), std::string::npos);

  GraphSvgCounts c;
  std::FILE* f = std::tmpfile();
  ASSERT_TRUE(write_graph_svg(f, &c));
  std::fclose(f);
  EXPECT_EQ(c.edges, 6u);
  EXPECT_EQ(c.nodes, 6u);
  EXPECT_EQ(c.path, 3u);

  // The small spacing of the window draws in its own frame.
  big = 2;
  const std::string small = written([](std::FILE* f) { return write_graph_svg(f); }, &ok);
  EXPECT_NE(small.find("viewBox=\"0 0 28 24\""), std::string::npos);
  EXPECT_EQ(elements(small, "path", {"cx", "cy", "r"})[0], (std::vector<std::string>{"25", "15", "2"}));
}

TEST_F(Svg, NoResultsAndWriteFailures) {
  bool ok = true;
  written([](std::FILE* f) { return write_graph_svg(f); }, &ok);
  EXPECT_FALSE(ok);  // nothing computed
  fake_results();
  hilfs_gr.change_dim(2, 2);  // results of other lengths
  written([](std::FILE* f) { return write_graph_svg(f); }, &ok);
  EXPECT_FALSE(ok);

  fake_results();
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(write_graph_svg(full));
  DotPlot p;
  p.s1 = "ACGT";
  p.s2 = "ACGT";
  p.rows = 4;
  EXPECT_FALSE(write_dot_matrix_svg(full, p));
  std::fclose(full);
}

TEST_F(Svg, DotMatrixMarksEveryEqualPairInBothStyles) {
  static DotPlot p;
  p.s1 = "GATTACA";
  p.s2 = "TACCA";
  p.rows = 5;
  std::set<std::vector<std::string>> small_want, big_want;
  for (int j = 1; j <= 5; ++j)
    for (int i = 1; i <= 7; ++i)
      if (p.s1[size_t(i - 1)] == p.s2[size_t(j - 1)]) {
        small_want.insert({std::to_string(2 * i + 20), std::to_string(2 * j + 15), "2", "2"});
        big_want.insert({std::to_string(8 * i + 21), std::to_string(12 * j + 13)});
      }
  ASSERT_EQ(small_want.size(), 10u);

  p.small = true;
  bool ok = false;
  std::string doc = written([](std::FILE* f) { return write_dot_matrix_svg(f, p); }, &ok);
  ASSERT_TRUE(ok);
  EXPECT_NE(doc.find("viewBox=\"0 0 300 60\""), std::string::npos) << doc;
  EXPECT_NE(doc.find(">Sequence1 &gt;, Sequence2 v</text>"), std::string::npos);
  auto dots = elements(doc, "dot", {"x", "y", "width", "height"});
  EXPECT_EQ(dots.size(), 10u);
  EXPECT_EQ(std::set<std::vector<std::string>>(dots.begin(), dots.end()), small_want);
  EXPECT_TRUE(elements(doc, "letter", {"x"}).empty());

  p.small = false;
  doc = written([](std::FILE* f) { return write_dot_matrix_svg(f, p); }, &ok);
  ASSERT_TRUE(ok);
  EXPECT_NE(doc.find("viewBox=\"0 0 106 110\""), std::string::npos) << doc;
  dots = elements(doc, "dot", {"x", "y"});
  EXPECT_EQ(dots.size(), 10u);
  EXPECT_EQ(std::set<std::vector<std::string>>(dots.begin(), dots.end()), big_want);
  EXPECT_EQ(elements(doc, "letter", {"x", "y"}).size(), 12u);
  EXPECT_NE(doc.find("<text class=\"letter\" x=\"28\" y=\"12\">G</text>"), std::string::npos);
  EXPECT_NE(doc.find("<text class=\"letter\" x=\"10\" y=\"24\">T</text>"), std::string::npos);
  // The grid: the two frame lines, one right of every column, one below every row.
  size_t lines = 0;
  for (size_t at = doc.find("<line "); at != std::string::npos; at = doc.find("<line ", at + 1)) ++lines;
  EXPECT_EQ(lines, 2u + 7u + 5u);
  EXPECT_NE(doc.find("<line x1=\"26\" y1=\"14\" x2=\"83\" y2=\"14\"/>"), std::string::npos);
}
