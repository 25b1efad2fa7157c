// Runs the check of the SVG pictures (tests/cli/svg_check.py) with Debian's
// Python: random cases of every mode, tie-heavy ones among them, and a pair
// beyond the 32767 pixels of a window picture.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

#ifdef VARDANE_SANITIZE
constexpr int kCases = 15;  // the instrumented tool is slow to start
#else
constexpr int kCases = 60;
#endif

TEST(SvgPictures, EveryModeParsesAndCountsTheOptimalGraph) {
  const char* e = std::getenv("VARDANE_ALIGN");
  const std::string tool = e ? e : VARDANE_BINARY_DIR "/vardane-align";
  const std::string cmd = "/usr/bin/python3 " VARDANE_SOURCE_DIR "/tests/cli/svg_check.py --large --tool '" + tool +
                          "' --cases " + std::to_string(kCases) + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
  const int st = pclose(p);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << out;
  std::printf("%s", out.c_str());
}

}  // namespace
