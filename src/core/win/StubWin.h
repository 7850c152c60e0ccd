// StubWin: the program's one hidden main window with its caption label and progress bars, its
// one-second timer and the only message loop of the run.
#pragma once

#include <windows.h>

namespace StubWin {

constexpr UINT kShutDownMessage = WM_USER + 99;  // "wm_ShutDown", 1123
constexpr UINT kLocalMessage = WM_USER + 100;    // "wm_LocalMsg", 1124
constexpr UINT kAgentMessage = WM_USER + 101;    // "wm_AgentMsg", 1125

// Creates the window (class = the instance marker) and runs the message loop until the work
// posts the quit message or the window is gone; then stops the timer and the downloads.
void WinMain();
LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// A close request; true when the window may be destroyed. The first request of a run only
// aborts a running download.
bool CloseMainWindow();
// Teardown when the window is destroyed: abort downloads, remove the setup folder, end the loop.
void DestroyMainWindow();

HWND MainWindow();
HWND CaptionLabel();
HWND MainBar();
HWND ActivityBar();

}  // namespace StubWin
