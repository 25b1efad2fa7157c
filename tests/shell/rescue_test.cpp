// The text window's content survives an allocation that fails although the
// memory guard let the operation start: it is saved to the rescue file.
#include "tests/shell/shell_fixture.h"

#include <new>

#include "containers/alloc_check.h"

namespace shell_test {
namespace {

TEST_F(ShellTest, FailedAllocationSavesTheText) {
  const std::string home = temp_path("home");
  mkdir(home.c_str(), 0700);
  setenv("HOME", home.c_str(), 1);
  install_rescue_handler();
  const std::string path = rescue_path();
  EXPECT_EQ(path.rfind(home + "/vardane-rescue-", 0), 0u) << path;
  textsw->set_text("ACGT\nmy notes, not saved anywhere else\n");
  EXPECT_EXIT(vd::alloc_failed("matrix.cpp", 57, "float_matrix::change_dim", "b!=0"),
              ::testing::ExitedWithCode(4), "saved to " + path);
  EXPECT_EQ(read_file(path), "ACGT\nmy notes, not saved anywhere else\n");
  std::remove(path.c_str());
#ifndef VARDANE_SANITIZE
  // operator new: the sanitizers report a failing new themselves.
  EXPECT_EXIT(
      {
        volatile size_t huge = size_t(1) << 62;
        char* p = new char[huge];
        p[0] = 1;
      },
      ::testing::ExitedWithCode(4), "saved to");
  EXPECT_EQ(read_file(path), "ACGT\nmy notes, not saved anywhere else\n");
  std::remove(path.c_str());
#endif
  rmdir(home.c_str());
  vd::set_alloc_failure_handler(nullptr);
  std::set_new_handler(nullptr);
}

}  // namespace
}  // namespace shell_test
