// Tests of the spanned launcher's copy path and command line.
#include "payload/SpanRules.h"

#include <gtest/gtest.h>

namespace {

TEST(SpanRules, CopyPathAndCommandLine) {
  EXPECT_EQ(SpanCopyPath("C:\\T\\SETUP_9", "D:\\cd\\Setup.exe"), "C:\\T\\SETUP_9\\Y_Setup.exe");
  EXPECT_EQ(SpanCopyPath("C:\\T\\SETUP_9\\", "Setup.exe"), "C:\\T\\SETUP_9\\Y_Setup.exe");

  const std::string args = SpanCopyArguments("/hide", "D:\\cd\\Setup.exe");
  EXPECT_EQ(args,
            "/hide /SpanCdLvl=2 /SpanDiskFName1=\"D:\\cd\\Setup.exe.001\""
            " /OriginExe=\"D:\\cd\\Setup.exe\"");
  EXPECT_EQ(SpanCopyCommandLine("C:\\T\\Y_Setup.exe", SpanCopyArguments("", "D:\\S.exe")),
            "C:\\T\\Y_Setup.exe /SpanCdLvl=2 /SpanDiskFName1=\"D:\\S.exe.001\""
            " /OriginExe=\"D:\\S.exe\"")
      << "no arguments of its own: no leading blank";
  // The launcher's own level switch comes first and so wins when the copy reads it.
  EXPECT_EQ(SpanCopyArguments("/SpanCdLvl=1", "S.exe").rfind("/SpanCdLvl=1 ", 0), 0u);
}

}  // namespace
