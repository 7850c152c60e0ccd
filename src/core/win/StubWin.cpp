// StubWin: the program's one hidden main window, its timer and the only message loop of the run.
#include "core/win/StubWin.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "agent/AgentSteps.h"
#include "core/AgentLog.h"
#include "core/KDebug.h"
#include "core/MainWindowLayout.h"
#include "core/StubState.h"
#include "core/win/ProcessSwitches.h"
#include "net/DownloadAbort.h"
#include "net/InetSteps.h"
#include "payload/SetupSteps.h"
#include "ui/KMsgBoxAutoPlay.h"
#include "ui/KMsgBoxFont.h"
#include "ui/win/ProgressBars.h"
#include "ui/win/ProgressCaption.h"
#include "util/win/SysInfo.h"

namespace StubWin {
namespace {

HWND mainWindow = nullptr;
HWND captionLabel = nullptr;
HWND mainBar = nullptr;
HWND activityBar = nullptr;
bool windowGone = false;

HICON MainIcon() {
  return LoadIconA(GetModuleHandleA(nullptr), "MainIcon");
}

HWND CreateChild(HWND parent, const char* windowClass, DWORD style,
                 const mainwindow::ChildRect& r) {
  return CreateWindowExA(0, windowClass, "", style, r.left, r.top, r.width, r.height, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

void OnCreate(HWND wnd) {
  const auto layout = mainwindow::ChildLayoutFor(FileInfo().GetLangCharset());
  captionLabel = CreateChild(wnd, "Static", mainwindow::kChildVisible, layout.label);
  mainBar = CreateChild(wnd, PROGRESS_CLASSA, mainwindow::kChildVisible, layout.mainBar);
  activityBar = CreateChild(wnd, PROGRESS_CLASSA, mainwindow::kChildHidden, layout.activityBar);
  AttachProgressBars(mainBar, activityBar);
  SetTimer(wnd, mainwindow::kTimerId, mainwindow::kTimerPeriodMs, nullptr);
  HFONT font = CreateFontA(mainwindow::kLabelFontHeight, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, mainwindow::kLabelFontFace);
  if (font != nullptr) SetCaptionFont(captionLabel, font);
}

void OnPaint(HWND wnd) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(wnd, &ps);
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(wnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  DrawIcon(dc, mainwindow::kIconLeft, mainwindow::kIconTop, MainIcon());
  EndPaint(wnd, &ps);
}

void OnTimer() {
  if (ThisIs_AutoUpdateProg()) {
    AgentTick();
  } else {
    SetupTick();
  }
}

void OnListenerRequest(HWND wnd, WPARAM wp, LPARAM lp) {
  RegisterListener(static_cast<std::uintptr_t>(wp), static_cast<std::uint32_t>(lp));
  NotifyListener(50, reinterpret_cast<std::intptr_t>(wnd));
  NotifyListener(51, kAgentMessage);
}

// The message's own handling; true when its result is final (no default processing).
bool Handle(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  const UINT autoPlay = AutoPlayCancelMessage();
  if (autoPlay != 0 && msg == autoPlay) {
    result = 1;  // refuse AutoPlay while a disk prompt is pending
    return true;
  }
  switch (msg) {
    case WM_CREATE:
      OnCreate(wnd);
      return false;
    case WM_DESTROY:
      TraceLine("- wm_Destroy -");
      DestroyMainWindow();
      return false;
    case WM_PAINT:
      OnPaint(wnd);
      return false;
    case WM_CLOSE:
      if (CloseMainWindow()) return false;
      result = 0;
      return true;
    case WM_QUIT:
      TraceLine("- wm_Quit -");
      DestroyMainWindow();
      return false;
    case WM_TIMER:
      OnTimer();
      return false;
    case kShutDownMessage:
      SetStopCountdown(static_cast<std::int32_t>(wp));
      return false;
    case kLocalMessage:
      OnListenerRequest(wnd, wp, lp);
      return false;
    case kAgentMessage:
      result = RunAgentCommand(static_cast<std::int32_t>(wp), static_cast<std::int32_t>(lp));
      return true;
    default:
      return false;
  }
}

bool RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.style = mainwindow::kClassStyle;
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hIcon = MainIcon();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.lpszClassName = InstanceMarker().c_str();
  return RegisterClassA(&wc) != 0;
}

HWND CreateMainWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterMainClass(instance)) return nullptr;
  const std::string title = FileInfo().GetLangString("s0", mainwindow::kDefaultTitle);
  const ScreenPoint at = CenterInWorkArea(mainwindow::kWidth, mainwindow::kHeight);
  return CreateWindowExA(0, InstanceMarker().c_str(), title.c_str(), mainwindow::kStyle, at.left,
                         at.top, mainwindow::kWidth, mainwindow::kHeight, nullptr, nullptr,
                         instance, nullptr);
}

// The progress bar class comes from the common controls library. It is bound at run time from
// the system folder: a static import would be resolved from the program's own folder first,
// before any of the program's code could stop it.
void InitProgressControls() {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = ProcAs<InitFn>(GetProcFromLibrary("comctl32.dll", "InitCommonControlsEx"));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  if (init != nullptr) init(&controls);
}

void RunMessageLoop() {
  MSG msg{};
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // quit, or no queue to read
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (windowGone) break;
  }
}

}  // namespace

void WinMain() {
  const std::int64_t sleep = GetSwitchInt("/SleepX=", -1);
  if (sleep >= 0)
    SetAutoUpdateTimerCount(sleep > INT32_MAX ? -INT32_MAX : -static_cast<std::int32_t>(sleep));
  InitProgressControls();
  mainWindow = CreateMainWindow();
  SetMessageBoxFont(FileInfo().GetLangFontName(), FileInfo().GetLangFontSize(),
                    FileInfo().GetLangCharset());
  if (mainWindow != nullptr) {
    ShowWindow(mainWindow, SW_HIDE);
    RunMessageLoop();
  }
  KillTimer(mainWindow, mainwindow::kTimerId);
  SetDownloadAbort(true);
  UnloadWinINet();
  NotifyListener(43, 0);
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Nothing may unwind through the system's dispatch code: failures end here, traced.
  try {
    LRESULT result = 0;
    if (Handle(wnd, msg, wp, lp, result)) return result;
  } catch (const std::exception& e) {
    TraceException("WindowProc", "message " + std::to_string(msg), e.what());
  } catch (...) {
    TraceException("WindowProc", "message " + std::to_string(msg), "unknown exception");
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

bool CloseMainWindow() {
  LogMsg(".. CloseMainWindow() - Start");
  const bool result = DownloadAborted();
  if (!result) SetDownloadAbort(true);
  LogMsg(".. CloseMainWindow() - End");
  return result;
}

void DestroyMainWindow() {
  LogMsg(".. DestroyMainWindow() - Start");
  SetDownloadAbort(true);
  RemoveSetupFolder();
  PostQuitMessage(0);
  windowGone = true;
  LogMsg(".. DestroyMainWindow() - End");
}

HWND MainWindow() {
  return mainWindow;
}

HWND CaptionLabel() {
  return captionLabel;
}

HWND MainBar() {
  return mainBar;
}

HWND ActivityBar() {
  return activityBar;
}

}  // namespace StubWin
