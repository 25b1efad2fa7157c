// Runs the peer check (tests/cli/peer_check.py) with Debian's Python and
// Biopython: one interpreter per mode, many random cases each.
#include <cstdlib>
#include <string>

#include "tests/cli/check_script.h"

namespace {

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
  run_check_script("peer_check.py", std::string("--mode ") + mode + " --cases " + std::to_string(cases));
}

TEST(PeerCheck, GeneralEngineGlobal) { peer("global", kCases); }
TEST(PeerCheck, ConcaveEngineGlobal) { peer("concave", kCases); }
TEST(PeerCheck, ShortInLong) { peer("short-in-long", kCases); }
TEST(PeerCheck, Subalignment) { peer("subalignment", kCases); }
TEST(PeerCheck, MaximalGapLengthAgainstRecurrence) { peer("maxgap", kCases); }
TEST(PeerCheck, CountOfOptimalAlignments) { peer("count", kCases / 2); }

}  // namespace
