// The process's own switches: a probe program reads them from its real command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "WinTestSupport.h"

namespace {

TEST(WinSwitches, ProbeReadsItsOwnCommandLine) {
  const std::string exe = wintest::BesideTests("switch_probe.exe");
  struct Case {
    const char* what;
    std::string line;
    DWORD want;
  } cases[] = {
      {"quoted path", "\"" + exe + "\" /exit=5 /plus", 1005},
      {"unquoted path", exe + " /EXIT=6", 6},
      {"no arguments", "\"" + exe + "\"", 77},
      {"flag at the end only", "\"" + exe + "\" /plusx /exit=\"8\"", 8},
  };
  for (const auto& c : cases) EXPECT_EQ(wintest::RunAndWait(c.line, 20000), c.want) << c.what;
}

}  // namespace
