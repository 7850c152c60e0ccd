// Checks a whole run of the stub under Wine: its start and end lines in the viewer, the exit
// code, and the single-instance rule by full path.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstaller.h"
#include "TraceCapture.h"
#include "WinTempFolder.h"

namespace {

using wintest::InstallerSpec;
using wintest::StubProcess;

TEST(StubRun, PlainRunTracesStartAndEndLines) {
  wintest::TraceCapture capture;
  wintest::TempFolder folder;
  const std::string path = folder.File("setup.exe");
  ASSERT_TRUE(wintest::WriteInstaller(path, InstallerSpec{}));
  const std::string raw = "\"" + path + "\" /hide /Extra=\"a b\"";
  StubProcess stub(raw);
  ASSERT_TRUE(stub.Started());
  HWND wnd = wintest::WaitForWindowClass(path, 20000);
  ASSERT_NE(wnd, nullptr);
  PostMessageA(wnd, WM_CLOSE, 0, 0);
  PostMessageA(wnd, WM_CLOSE, 0, 0);
  ASSERT_EQ(stub.WaitExit(15000), 0u);

  const std::string start = " ==== STUB START ====> " + raw + "<";
  const std::string end = " ==== STUB END ====> " + raw + "<";
  const auto lines = capture.LinesOf(stub.Id());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), start);
  EXPECT_EQ(lines[1], " ==== ThisIs_AutoUpdateProg=FALSE");
  EXPECT_EQ(lines.back(), end);
  // The run ends with an empty line after its end line.
  const auto all = capture.Lines();
  const std::string endLine = std::to_string(stub.Id()) + end;
  auto at = std::find(all.begin(), all.end(), endLine);
  ASSERT_NE(at, all.end());
  ASSERT_NE(at + 1, all.end());
  EXPECT_EQ(*(at + 1), "");
}

TEST(StubRun, SecondStartFromTheSamePathEndsAtOnce) {
  wintest::TraceCapture capture;
  wintest::TempFolder folder;
  const std::string path = folder.File("setup.exe");
  InstallerSpec damaged;  // the first run stays in its window (at the latest with its error box)
  damaged.checksum = 0xBAD;
  ASSERT_TRUE(wintest::WriteInstaller(path, damaged));
  StubProcess first("\"" + path + "\"");
  ASSERT_NE(wintest::WaitForWindowClass(path, 20000), nullptr);

  const std::string raw = "\"" + path + "\" /again";
  StubProcess second(raw);
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.WaitExit(15000), 0u);
  EXPECT_EQ(capture.LinesOf(second.Id()),
            (std::vector<std::string>{" ==== STUB START ====> " + raw + "<",
                                      " ==== ThisIs_AutoUpdateProg=FALSE",
                                      " ==== STUB END ====> " + raw + "<"}))
      << "a second instance does nothing but its start and end lines";
  EXPECT_TRUE(first.Running());

  // A copy of the same installer under another path is another program.
  const std::string copy = folder.File("setup-copy.exe");
  ASSERT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
  StubProcess other("\"" + copy + "\"");
  EXPECT_NE(wintest::WaitForWindowClass(copy, 20000), nullptr);
  EXPECT_TRUE(other.Running());
}

}  // namespace
