// Runs one of the Python checks of tests/cli with Debian's interpreter and
// the built tool: passes when the script ends with status 0, and prints
// what it reported.
#pragma once
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string tool_path() {
  const char* e = std::getenv("VARDANE_ALIGN");
  return e ? e : VARDANE_BINARY_DIR "/vardane-align";
}

// `script` is a file of tests/cli, `args` follow "--tool PATH".
inline void run_check_script(const std::string& script, const std::string& args) {
  const std::string cmd = "/usr/bin/python3 " VARDANE_SOURCE_DIR "/tests/cli/" + script + " --tool '" + tool_path() +
                          "' " + args + " 2>&1";
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
