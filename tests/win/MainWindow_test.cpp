// Checks the stub's main window under Wine: class, title, style, size and place, the children
// and their mirrored layout, close requests and the control messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestInstaller.h"
#include "TraceCapture.h"
#include "WinTempFolder.h"
#include "core/MainWindowLayout.h"
#include "core/win/StubWin.h"
#include "net/DownloadAbort.h"
#include "ui/KMsgBoxAutoPlay.h"

namespace {

using wintest::InstallerSpec;

// A stub started from a scratch folder, with its main window found by its class (the instance
// marker). Everything ends with the object.
struct RunningInstaller {
  explicit RunningInstaller(const InstallerSpec& recipe, const std::string& name = "setup.exe",
                            const std::string& marker = "", const std::string& arguments = "")
      : path(folder.File(name)) {
    if (!wintest::WriteInstaller(path, recipe)) return;
    process = std::make_unique<wintest::StubProcess>("\"" + path + "\"" + arguments);
    if (process->Started())
      window = wintest::WaitForWindowClass(marker.empty() ? path : marker, 20000);
  }
  wintest::TempFolder folder;
  std::string path;
  std::unique_ptr<wintest::StubProcess> process;
  HWND window = nullptr;
};

struct Child {
  std::string windowClass;
  RECT rect{};  // in the parent's client area
  LONG style = 0;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* children = reinterpret_cast<std::vector<Child>*>(param);
  Child c;
  char name[64] = {};
  GetClassNameA(child, name, sizeof(name));
  c.windowClass = name;
  GetWindowRect(child, &c.rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&c.rect), 2);
  c.style = GetWindowLongA(child, GWL_STYLE);
  children->push_back(c);
  return TRUE;
}

bool At(const RECT& r, const mainwindow::ChildRect& want) {
  return r.left == want.left && r.top == want.top && r.right - r.left == want.width &&
         r.bottom - r.top == want.height;
}

TEST(MainWindow, ClassTitleStyleSizeAndChildren) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> language;
    const char* title;
    int labelLeft, activityLeft;  // mirrored for right-to-left character sets
  } cases[] = {
      {"no s0", {}, "Tarvo Installation Suite", 70, 416},
      {"s0 and Arabic", {{"s0", "Acme Setup"}, {"Charset", "178"}}, "Acme Setup", 122, 70},
      {"Hebrew", {{"Charset", "177"}}, "Tarvo Installation Suite", 122, 70},
      {"Greek", {{"Charset", "161"}}, "Tarvo Installation Suite", 70, 416},
  };
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (const auto& c : cases) {
    InstallerSpec recipe;
    recipe.language = c.language;
    RunningInstaller run(recipe);
    ASSERT_NE(run.window, nullptr) << c.what;

    char name[MAX_PATH + 1] = {};
    GetClassNameA(run.window, name, sizeof(name));
    EXPECT_EQ(std::string(name), run.path) << c.what << ": the class is the instance marker";
    char title[256] = {};
    GetWindowTextA(run.window, title, sizeof(title));
    EXPECT_STREQ(title, c.title) << c.what;

    const LONG style = GetWindowLongA(run.window, GWL_STYLE);
    // The system adds clip-siblings to every top-level window.
    EXPECT_EQ(style & ~WS_CLIPSIBLINGS, 0x02C80000) << c.what << std::hex << " style " << style;
    EXPECT_EQ(GetWindowLongA(run.window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0) << c.what;
    EXPECT_FALSE(IsWindowVisible(run.window)) << c.what;

    RECT r{};
    GetWindowRect(run.window, &r);
    EXPECT_EQ(r.right - r.left, 492) << c.what;
    EXPECT_EQ(r.bottom - r.top, 110) << c.what;
    EXPECT_EQ(r.left, work.left + (work.right - work.left - 492) / 2) << c.what;
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 110) / 2) << c.what;

    std::vector<Child> children;
    EnumChildWindows(run.window, CollectChild, reinterpret_cast<LPARAM>(&children));
    ASSERT_EQ(children.size(), 3u) << c.what;
    const mainwindow::ChildRect label{c.labelLeft, 20, 340, 18};
    const mainwindow::ChildRect mainBar{70, 38, 392, 13};
    const mainwindow::ChildRect activityBar{c.activityLeft, 20, 46, 13};
    int labels = 0, mainBars = 0, activityBars = 0;
    for (const Child& child : children) {
      if (child.windowClass == "Static") {
        ++labels;
        EXPECT_TRUE(At(child.rect, label)) << c.what << ": label at " << child.rect.left;
        EXPECT_EQ(child.style, 0x50000000) << c.what;
      } else if (child.windowClass == "msctls_progress32" && (child.style & WS_VISIBLE)) {
        ++mainBars;
        EXPECT_TRUE(At(child.rect, mainBar)) << c.what << ": main bar";
        EXPECT_EQ(child.style, 0x50000000) << c.what;
      } else if (child.windowClass == "msctls_progress32") {
        ++activityBars;
        EXPECT_TRUE(At(child.rect, activityBar))
            << c.what << ": activity bar at " << child.rect.left;
        EXPECT_EQ(child.style, 0x40000000) << c.what;
      }
    }
    EXPECT_EQ(labels, 1) << c.what;
    EXPECT_EQ(mainBars, 1) << c.what;
    EXPECT_EQ(activityBars, 1) << c.what;
  }
}

// An agent build under a name of its own runs the main window with the agent's ticks; its
// first check is put off for an hour, so the window waits for the test.
InstallerSpec IdleAgent() {
  InstallerSpec recipe;
  recipe.agent = true;
  recipe.agentFile = "Product.AutoUpdate.exe";
  return recipe;
}
constexpr const char* kIdleAgentName = "Idle.exe";
constexpr const char* kIdleAgentMarker = ".AutoUpdate.Idle";
constexpr const char* kIdleAgentArguments = " /SleepX=3600";

TEST(MainWindow, FirstCloseRequestOnlyAbortsTheSecondEndsTheRun) {
  wintest::TraceCapture capture;
  RunningInstaller run(IdleAgent(), kIdleAgentName, kIdleAgentMarker, kIdleAgentArguments);
  ASSERT_NE(run.window, nullptr);
  PostMessageA(run.window, WM_CLOSE, 0, 0);
  Sleep(1500);
  EXPECT_TRUE(run.process->Running()) << "the first close request only sets the abort flag";
  EXPECT_TRUE(IsWindow(run.window));
  EXPECT_FALSE(capture.WaitForLine("- wm_Destroy -", 0));

  PostMessageA(run.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.process->WaitExit(15000), 0u);
  EXPECT_TRUE(capture.WaitForLine("- wm_Destroy -", 5000));
  const auto lines = capture.LinesOf(run.process->Id());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), " ==== STUB END ====> \"" + run.path + "\"" + kIdleAgentArguments + "<");
}

// A window of the test thread that collects what the stub posts to it.
struct Listener {
  static constexpr UINT kMessage = WM_APP + 40;
  Listener() {
    wnd = CreateWindowExA(0, "Static", "listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          nullptr, nullptr);
  }
  ~Listener() { DestroyWindow(wnd); }
  // The notifications received within timeoutMs, stopping once count have come.
  std::vector<std::pair<WPARAM, LPARAM>> Collect(size_t count, DWORD timeoutMs) {
    std::vector<std::pair<WPARAM, LPARAM>> got;
    const DWORD start = GetTickCount();
    while (got.size() < count && GetTickCount() - start < timeoutMs) {
      MSG msg{};
      if (PeekMessageA(&msg, wnd, kMessage, kMessage, PM_REMOVE)) {
        got.emplace_back(msg.wParam, msg.lParam);
      } else {
        Sleep(20);
      }
    }
    return got;
  }
  HWND wnd = nullptr;
};

TEST(MainWindow, ControlMessages) {
  RunningInstaller run(IdleAgent(), kIdleAgentName, kIdleAgentMarker, kIdleAgentArguments);
  ASSERT_NE(run.window, nullptr);
  EXPECT_EQ(SendMessageA(run.window, StubWin::kAgentMessage, 9999, 5), 0)
      << "an unknown agent command answers 0";
  const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
  EXPECT_EQ(SendMessageA(run.window, autoPlay, 0, 0), 0)
      << "before any disk prompt the AutoPlay question gets the default answer";

  Listener listener;
  ASSERT_NE(listener.wnd, nullptr);
  SendMessageA(run.window, StubWin::kLocalMessage, reinterpret_cast<WPARAM>(listener.wnd),
               Listener::kMessage);
  const auto hello = listener.Collect(2, 5000);
  ASSERT_EQ(hello.size(), 2u);
  EXPECT_EQ(hello[0].first, 50u);
  EXPECT_EQ(reinterpret_cast<HWND>(hello[0].second), run.window);
  EXPECT_EQ(hello[1].first, 51u);
  EXPECT_EQ(hello[1].second, 1125);

  PostMessageA(run.window, WM_CLOSE, 0, 0);
  PostMessageA(run.window, WM_CLOSE, 0, 0);
  const auto bye = listener.Collect(1, 15000);
  ASSERT_EQ(bye.size(), 1u) << "the end of the message loop is announced";
  EXPECT_EQ(bye[0].first, 43u);
  EXPECT_EQ(bye[0].second, 0);
  EXPECT_EQ(run.process->WaitExit(15000), 0u);
}

// The window procedure itself, on a window of the test process.
TEST(MainWindow, ProcedureRefusesAutoPlayOnceRegisteredAndGuardsTheClose) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = StubWin::WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvoMainProcTest";
  RegisterClassA(&wc);
  SetDownloadAbort(false);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", 0x02C80000, 0, 0, 492, 110, nullptr, nullptr,
                             wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  KillTimer(wnd, 1);  // no ticks in the test process

  EnableAutoPlayCancel();
  EXPECT_EQ(SendMessageA(wnd, AutoPlayCancelMessage(), 0, 0), 1);
  EXPECT_EQ(SendMessageA(wnd, StubWin::kAgentMessage, 12345, 0), 0);

  EXPECT_EQ(SendMessageA(wnd, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(wnd));
  EXPECT_TRUE(DownloadAborted());
  SendMessageA(wnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(wnd)) << "the second close request destroys the window";
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "the teardown posts the quit message";
  SetDownloadAbort(false);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
