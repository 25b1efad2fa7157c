// The alignment and information text blocks, byte for byte.
#include <gtest/gtest.h>

#include "engine/common/results.h"
#include "state/state.h"
#include "views/texts.h"
#include "tests/support/program_reset.h"

namespace {

class TextBlocks : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() { reset_program(); }
  static void figures(float w, uint64_t edges, uint64_t b, uint64_t s, uint64_t i, uint64_t d,
                      uint64_t opt, int code) {
    wert = w;
    gesamtkanten = edges;
    bytes = b;
    gl_sub = s;
    gl_ins = i;
    gl_del = d;
    gl_opt_edges = opt;
    comp_o = code;
  }
};

TEST_F(TextBlocks, InformationBlockIsExact) {
  figures(2.5f, 0, 1048576, 1, 0, 1, 3, 1);
  EXPECT_STREQ(infos_text().c_str(),
               "\nAlignment information:\n\nThe minimal edit distance is 2.5.\n"
               "The whole distance graph is stored,\n"
               "therefor approximately 1024 KBytes of memory are used.\n"
               "The current alignment consists of 1 substitutions, 0 inserts and 1 deletes, "
               "i.e. 2 edges.\n"
               "The whole stored optimal graph has 3 edges.\n('global case')\n\n");

  // With an edge count the second piece continues on the line of the memory figure;
  // 1049600 bytes are 1025 KBytes, just above the MBytes threshold.
  figures(-3.25f, 7, 1049600, 4, 2, 3, 11, 8);
  EXPECT_STREQ(infos_text().c_str(),
               "\nAlignment information:\n\nThe minimal edit distance is -3.25.\n"
               "The whole distance graph has 7 edges, "
               "therefor approximately 1.001 MBytes of memory are used.\n"
               "The current alignment consists of 4 substitutions, 2 inserts and 3 deletes, "
               "i.e. 9 edges.\n"
               "The whole stored optimal graph has 11 edges.\n"
               "('subalignments, concave cost')\n\n");

  std::vector<std::string> w = info_window_lines();
  ASSERT_EQ(w.size(), 7u);
  EXPECT_EQ(w[0], "The minimal edit distance is -3.25.");
  EXPECT_EQ(w[1], "The whole stored distance graph has 7 edges,");
  EXPECT_EQ(w[2], "therefor approximately 1.001 MBytes of memory are used.");
  EXPECT_EQ(w[4], "2 inserts and 3 deletes, i.e. 9 edges.");
  EXPECT_EQ(w[6], "('subalignments, concave cost')");
}

TEST_F(TextBlocks, FiguresBeyondThirtyTwoBits) {
  // Counters of large tables exceed 2^32: they must neither wrap nor lose digits.
  EXPECT_STREQ(figure_text(0).c_str(), "0");
  EXPECT_STREQ(figure_text(4294967295ULL).c_str(), "4294967295");
  EXPECT_STREQ(figure_text(5000000000ULL).c_str(), "5000000000");
  EXPECT_STREQ(figure_text(12345678901234ULL).c_str(), "12345678901234");
  figures(1, 6000000000ULL, 40ULL << 30, 3000000000ULL, 3000000000ULL, 0, 7000000001ULL, 6);
  std::string t = infos_text().c_str();
  EXPECT_NE(t.find("has 6000000000 edges, therefor approximately 40960 MBytes"), std::string::npos)
      << t;
  EXPECT_NE(t.find("i.e. 6000000000 edges."), std::string::npos) << t;
  EXPECT_NE(t.find("optimal graph has 7000000001 edges."), std::string::npos) << t;

  bool mb = true;
  EXPECT_STREQ(memory_figure(1023, &mb).c_str(), "0");
  EXPECT_FALSE(mb);
  EXPECT_STREQ(memory_figure(1048576 + 1023, &mb).c_str(), "1024");  // K = 1024
  EXPECT_FALSE(mb);
  EXPECT_STREQ(memory_figure(uint64_t(1264) << 10, &mb).c_str(), "1.2344");  // 5 digits
  EXPECT_TRUE(mb);
}

TEST_F(TextBlocks, CaseLinesAndAlignmentBlock) {
  EXPECT_STREQ(case_line(1).c_str(), "('global case')");
  EXPECT_STREQ(case_line(6).c_str(), "('global case, concave cost')");
  EXPECT_STREQ(case_line(7).c_str(), "('short in long, concave cost')");
  EXPECT_STREQ(case_line(8).c_str(), "('subalignments, concave cost')");
  EXPECT_STREQ(case_line(-1).c_str(), "");
  EXPECT_STREQ(case_line(2).c_str(), "");

  EXPECT_STREQ(alignment_text().c_str(), "\nAlignment:\n\n\n\n\n\n");
  al_seq1 = String("AAB");
  al_seq2 = String("--B");
  EXPECT_STREQ(alignment_text().c_str(), "\nAlignment:\n\nAAB\n\n--B\n\n");
  // One line per sequence however long.
  std::string longer(5000, 'A');
  al_seq1 = String(longer.c_str());
  al_seq2 = String(longer.c_str());
  EXPECT_EQ(std::string(alignment_text().c_str()), "\nAlignment:\n\n" + longer + "\n\n" + longer + "\n\n");
}

}  // namespace
