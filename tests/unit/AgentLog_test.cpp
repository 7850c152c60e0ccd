// Tests for the agent log's line shape and file name.
#include "core/AgentLog.h"

#include <gtest/gtest.h>

namespace {

TEST(AgentLog, LineShape) {
  struct Case {
    const char* what;
    std::uint32_t thread;
    const char* prefix;
    const char* text;
    const char* want;
  } cases[] = {
      {"short id padded", 42, "   ", "=== START === C:\\a.exe",
       "09/12/26 14:05:07    42   === START === C:\\a.exe\r\n"},
      {"working copy prefix", 1234, " X ", "WinMain", "09/12/26 14:05:07  1234 X WinMain\r\n"},
      {"empty message", 7, "   ", "", "09/12/26 14:05:07     7   \r\n"},
      {"long id stays whole", 1234567, "   ", "m", "09/12/26 14:05:07 1234567   m\r\n"},
      {"five digits", 12345, "   ", "m", "09/12/26 14:05:07 12345   m\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AgentLogLine("09/12/26 14:05:07", c.thread, c.prefix, c.text), c.want) << c.what;
}

TEST(AgentLog, FileName) {
  struct Case {
    const char* path;
    const char* want;
  } cases[] = {
      {"C:\\App\\Foo.AutoUpdate.exe", "C:\\App\\X_Foo.AutoUpdate.log"},
      {"C:\\App\\X_Foo.AutoUpdate.exe", "C:\\App\\X_Foo.AutoUpdate.log"},
      {"C:\\App\\x_foo.exe", "C:\\App\\X_x_foo.log"},
      {"C:\\App\\agent", "C:\\App\\X_agent.log"},
      {"C:\\agent.exe", "C:\\X_agent.log"},
  };
  for (const auto& c : cases) EXPECT_EQ(AgentLogFileNameFor(c.path), c.want) << c.path;
}

TEST(AgentLog, SilentUntilEnabled) {
  ResetAgentLog();
  EXPECT_FALSE(LogEnabled());
  LogMsg("nothing happens");  // must not create a file or fail
  SetLogEnabled(true);
  EXPECT_TRUE(LogEnabled());
  ResetAgentLog();
  EXPECT_FALSE(LogEnabled());
}

}  // namespace
