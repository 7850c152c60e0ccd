// Checks the agent log under Wine: which runs write it, its file name, and the stamp, thread id
// and prefix of every line.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TestInstaller.h"
#include "TraceCapture.h"
#include "WinTempFolder.h"
#include "payload/PayloadFormat.h"

namespace {

using wintest::InstallerSpec;
using wintest::StubProcess;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  if (at < text.size()) lines.push_back(text.substr(at) + " <no line end>");
  return lines;
}

std::string PaddedId(DWORD id) {
  std::string s = std::to_string(id);
  return s.size() < 5 ? std::string(5 - s.size(), ' ') + s : s;
}

// Starts the agent build under name; a run with a main window is ended by two close requests.
DWORD RunAgent(const wintest::TempFolder& folder, const std::string& name,
               const InstallerSpec& recipe, const std::string& marker, DWORD* threadId) {
  const std::string path = folder.File(name);
  if (!wintest::WriteInstaller(path, recipe)) return 0xFFFFFFFF;
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // The agent's first check is put off for an hour: the run waits for the test's close requests.
  std::string line = "\"" + path + "\" /SleepX=3600";
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  *threadId = pi.dwThreadId;
  win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  if (!marker.empty()) {
    HWND wnd = wintest::WaitForWindowClass(marker, 20000);
    if (wnd != nullptr) {
      PostMessageA(wnd, WM_CLOSE, 0, 0);
      PostMessageA(wnd, WM_CLOSE, 0, 0);
    }
  }
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.get(), &code);
  } else {
    TerminateProcess(process.get(), 0xDEAD);
    WaitForSingleObject(process.get(), 5000);
  }
  return code;
}

TEST(AgentLogWin, LinesOfEachKindOfAgentRun) {
  struct Case {
    const char* what;
    const char* name;
    const char* agentFile;
    const char* logName;
    const char* prefix;
    const char* marker;                // the main window's class; empty when the run has no window
    std::vector<std::string> inOrder;  // messages that must appear, in this order
  } cases[] = {
      {"agent under another name",
       "Other.exe",
       "Foo.AutoUpdate.exe",
       "X_Other.log",
       "   ",
       ".AutoUpdate.Other",
       {"", "", "=== START === <path>", "CommandLine=\"<path>\" /SleepX=3600",
        "Agent Version=1.0.0.1", "DoRunStubWin() --- Start", "X_ExeIsRunning=FALSE",
        "ThisIs_Plain_AutoUpdate_Exe=FALSE", "ThisIs_X_AutoUpdate_Exe=FALSE",
        ".. CloseMainWindow() - Start", ".. CloseMainWindow() - End",
        ".. DestroyMainWindow() - Start", ".. DestroyMainWindow() - End", "DoRunStubWin() --- End",
        "=== EXIT === <path>", ""}},
      {"working copy",
       "X_Foo.AutoUpdate.exe",
       "Foo.AutoUpdate.exe",
       "X_Foo.AutoUpdate.log",
       " X ",
       ".AutoUpdate.X_Foo.AutoUpdate",
       {"=== START === <path>", "ThisIs_X_AutoUpdate_Exe=TRUE", "CheckTestMode", "WinMain",
        "DeleteMySelf", "DoRunStubWin() --- End", "=== EXIT === <path>"}},
      {"lower-case working copy",
       "x_foo.exe",
       "foo.exe",
       "X_x_foo.log",
       " X ",
       ".AutoUpdate.x_foo",
       {"ThisIs_X_AutoUpdate_Exe=TRUE", "WinMain"}},
      {"plain agent",
       "Foo.AutoUpdate.exe",
       "Foo.AutoUpdate.exe",
       "X_Foo.AutoUpdate.log",
       "   ",
       "",
       {"DoRunStubWin() --- Start", "ThisIs_Plain_AutoUpdate_Exe=TRUE", "DoRunStubWin() --- End",
        "=== EXIT === <path>"}},
  };
  const std::regex stamp(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d )");
  for (const auto& c : cases) {
    wintest::TempFolder folder;
    InstallerSpec recipe;
    recipe.agent = true;
    recipe.flags = payload::kFlagAgentLog;
    recipe.agentFile = c.agentFile;
    DWORD thread = 0;
    EXPECT_EQ(RunAgent(folder, c.name, recipe, c.marker, &thread), 0u) << c.what;

    const auto lines = SplitCrLf(wintest::TempFolder::Read(folder.File(c.logName)));
    ASSERT_FALSE(lines.empty()) << c.what << ": no " << c.logName;
    const std::string head = PaddedId(thread) + c.prefix;
    std::vector<std::string> messages;
    for (const auto& line : lines) {
      ASSERT_GE(line.size(), 18u + head.size()) << c.what << ": " << line;
      EXPECT_TRUE(std::regex_match(line.substr(0, 18), stamp)) << c.what << ": " << line;
      EXPECT_EQ(line.substr(18, head.size()), head) << c.what << ": " << line;
      messages.push_back(line.substr(18 + head.size()));
    }
    size_t from = 0;
    for (std::string want : c.inOrder) {
      for (size_t p; (p = want.find("<path>")) != std::string::npos;)
        want.replace(p, 6, folder.File(c.name));
      auto at = std::find(messages.begin() + static_cast<long>(from), messages.end(), want);
      EXPECT_NE(at, messages.end()) << c.what << ": missing or out of order: \"" << want << "\"";
      if (at != messages.end()) from = static_cast<size_t>(at - messages.begin()) + 1;
    }
  }
}

TEST(AgentLogWin, NoLogWithoutTheFlagOrForAnInstaller) {
  struct Case {
    const char* what;
    bool agent;
    std::uint8_t flags;
    const char* marker;
  } cases[] = {
      {"agent without the log flag", true, 0, ".AutoUpdate.Other"},
      {"installer with the log flag", false, payload::kFlagAgentLog, ""},
  };
  for (const auto& c : cases) {
    wintest::TempFolder folder;
    InstallerSpec recipe;
    recipe.agent = c.agent;
    recipe.flags = c.flags;
    recipe.agentFile = "Foo.exe";
    const std::string marker = *c.marker ? c.marker : folder.File("Other.exe");
    DWORD thread = 0;
    EXPECT_EQ(RunAgent(folder, "Other.exe", recipe, marker, &thread), 0u) << c.what;
    EXPECT_EQ(GetFileAttributesA(folder.File("X_Other.log").c_str()), INVALID_FILE_ATTRIBUTES)
        << c.what;
  }
}

TEST(AgentLogWin, AgentRunTracesItsKind) {
  wintest::TraceCapture capture;
  wintest::TempFolder folder;
  InstallerSpec recipe;
  recipe.agent = true;
  recipe.agentFile = "Foo.exe";
  const std::string path = folder.File("Foo.exe");
  ASSERT_TRUE(wintest::WriteInstaller(path, recipe));
  StubProcess plain("\"" + path + "\"");
  ASSERT_EQ(plain.WaitExit(15000), 0u) << "the plain agent has no window of its own";
  const auto lines = capture.LinesOf(plain.Id());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], " ==== ThisIs_AutoUpdateProg=TRUE");
  EXPECT_NE(std::find(lines.begin(), lines.end(), " CreateAndRun_X_Exe: not built yet"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), " HandleParamOK: not built yet"), lines.end());
}

}  // namespace
