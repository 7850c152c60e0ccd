// Checks the debug viewer tarvo-trace.exe under Wine: it receives the trace stream of another
// process and writes whole lines to its standard output and to its file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TraceCapture.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "core/KDebug.h"
#include "core/win/KDebugOutput.h"
#include "util/win/WinHandles.h"

namespace {

// tarvo-trace with its standard output going to a file.
struct Viewer {
  Viewer(const std::string& arguments, const std::string& stdoutFile) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    out = win::UniqueFile(CreateFileA(stdoutFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.get();
    si.hStdError = out.get();
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + wintest::BesideTests("tarvo-trace.exe") + "\" " + arguments;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
      process.reset(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
  ~Viewer() {
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
    }
  }
  DWORD WaitExit(DWORD ms) {
    DWORD code = 0xFFFFFFFF;
    if (process && WaitForSingleObject(process.get(), ms) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.get(), &code);
    return code;
  }
  win::UniqueFile out;
  win::UniqueHandle process;
};

TEST(TarvoTrace, WritesWholeLinesToItsOutputAndFile) {
  InstallTraceStream();
  wintest::TempFolder folder;
  const std::string console = folder.File("console.txt");
  const std::string file = folder.File("trace.txt");
  {
    Viewer viewer("--file \"" + file + "\" --count 3", console);
    ASSERT_TRUE(viewer.process);
    HWND found = nullptr;
    for (int i = 0; i < 400 && found == nullptr; ++i) {
      found = FindWindowA(kdebug::kViewerClass, nullptr);
      if (found == nullptr) Sleep(50);
    }
    ASSERT_NE(found, nullptr);
    const std::string longLine(300, 'x');
    TraceLine("first line");
    Trace() << longLine << EndLine;
    Trace() << EndLine;
    EXPECT_EQ(viewer.WaitExit(15000), 0u) << "it ends after the three lines asked for";
    viewer.out.reset();
    EXPECT_EQ(wintest::TempFolder::Read(console), "first line\n" + longLine + "\n\n");
    EXPECT_EQ(wintest::TempFolder::Read(file), "first line\r\n" + longLine + "\r\n\r\n");
  }
}

TEST(TarvoTrace, ListsTheLinesInItsWindow) {
  InstallTraceStream();
  wintest::TempFolder folder;
  Viewer viewer("--window --quiet --count 2", folder.File("console.txt"));
  ASSERT_TRUE(viewer.process);
  HWND view = nullptr;
  for (int i = 0; i < 400 && view == nullptr; ++i) {
    if (FindWindowA(kdebug::kViewerClass, nullptr) != nullptr)
      view = FindWindowA("TarvoTraceView", nullptr);
    if (view == nullptr) Sleep(50);
  }
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(IsWindowVisible(view));
  HWND list = FindWindowExA(view, nullptr, "ListBox", nullptr);
  ASSERT_NE(list, nullptr);
  TraceLine("shown in the list");
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
  // Read as UTF-16: Wine hands an ANSI reader of another process's list box the wide text.
  wchar_t text[64] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"shown in the list");
  TraceLine("last");
  EXPECT_EQ(viewer.WaitExit(15000), 0u);
  viewer.out.reset();
  EXPECT_EQ(wintest::TempFolder::Read(folder.File("console.txt")), "") << "--quiet";
}

TEST(TarvoTrace, RefusesToRunBesideAnotherViewer) {
  wintest::TraceCapture capture;
  wintest::TempFolder folder;
  const std::string console = folder.File("console.txt");
  Viewer viewer("", console);
  EXPECT_EQ(viewer.WaitExit(15000), 1u);
  viewer.out.reset();
  EXPECT_NE(wintest::TempFolder::Read(console).find("another debug viewer is already running"),
            std::string::npos);
}

}  // namespace
