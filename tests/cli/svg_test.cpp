// Runs the check of the SVG pictures (tests/cli/svg_check.py): random cases
// of every mode, tie-heavy ones among them, and a pair beyond the 32767
// pixels of a window picture.
#include "tests/cli/check_script.h"

namespace {

#ifdef VARDANE_SANITIZE
constexpr int kCases = 15;  // the instrumented tool is slow to start
#else
constexpr int kCases = 60;
#endif

TEST(SvgPictures, EveryModeParsesAndCountsTheOptimalGraph) {
  run_check_script("svg_check.py", "--large --cases " + std::to_string(kCases));
}

}  // namespace
