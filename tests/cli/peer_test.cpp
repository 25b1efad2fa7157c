// Runs the peer check (tests/cli/peer_check.py) with Debian's Python and
// Biopython: one interpreter per mode, many random cases each.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string tool_path() {
  const char* e = std::getenv("VARDANE_ALIGN");
  return e ? e : VARDANE_BINARY_DIR "/vardane-align";
}

bool have_biopython() {
  return std::system("/usr/bin/python3 -c 'import Bio.Align' >/dev/null 2>&1") == 0;
}

#ifdef VARDANE_SANITIZE
constexpr int kCases = 40;  // the instrumented tool is slow to start
#else
constexpr int kCases = 200;
#endif

void peer(const char* mode, int cases) {
  if (!have_biopython()) GTEST_SKIP() << "python3-biopython is not installed";
  std::string cmd = "/usr/bin/python3 " VARDANE_SOURCE_DIR "/tests/cli/peer_check.py --tool '" +
                    tool_path() + "' --mode " + mode + " --cases " + std::to_string(cases) +
                    " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
  int st = pclose(p);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << out;
  std::printf("%s", out.c_str());
}

TEST(PeerCheck, GeneralEngineGlobal) { peer("global", kCases); }
TEST(PeerCheck, ConcaveEngineGlobal) { peer("concave", kCases); }
TEST(PeerCheck, ShortInLong) { peer("short-in-long", kCases); }
TEST(PeerCheck, Subalignment) { peer("subalignment", kCases); }
TEST(PeerCheck, MaximalGapLengthAgainstRecurrence) { peer("maxgap", kCases); }
TEST(PeerCheck, CountOfOptimalAlignments) { peer("count", kCases / 2); }

}  // namespace
