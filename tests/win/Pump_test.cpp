// Checks the message pumps and the AutoPlay refusal's registration under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/KMsgBoxAutoPlay.h"
#include "ui/KMsgBoxPump.h"

namespace {

constexpr UINT kCount = WM_APP + 11;
int counted = 0;

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCount) {
    ++counted;
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

struct CountingWindow {
  CountingWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarvoPumpTest";
    RegisterClassA(&wc);
    wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          wc.hInstance, nullptr);
  }
  ~CountingWindow() { DestroyWindow(wnd); }
  HWND wnd = nullptr;
};

TEST(Pump, YieldXDispatchesEveryPendingMessage) {
  CountingWindow w;
  ASSERT_NE(w.wnd, nullptr);
  counted = 0;
  for (int i = 0; i < 5; ++i) PostMessageA(w.wnd, kCount, 0, 0);
  YieldX(0);
  EXPECT_EQ(counted, 5);
}

TEST(Pump, YieldXLeavesTheQuitMessageForTheMainLoop) {
  CountingWindow w;
  counted = 0;
  PostMessageA(w.wnd, kCount, 0, 0);
  PostQuitMessage(7);
  YieldX(0);
  EXPECT_EQ(counted, 1);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(Pump, YieldWaitPumpsForTheWholeDuration) {
  CountingWindow w;
  counted = 0;
  const DWORD start = GetTickCount();
  PostMessageA(w.wnd, kCount, 0, 0);
  YieldWait(0, 300);
  const DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 280u);
  EXPECT_LT(took, 2000u);
  EXPECT_EQ(counted, 1);
  // A zero duration still pumps once.
  PostMessageA(w.wnd, kCount, 0, 0);
  YieldWait(0, 0);
  EXPECT_EQ(counted, 2);
}

TEST(Pump, AutoPlayRefusalRegistersTheShellsMessage) {
  EnableAutoPlayCancel();
  EXPECT_EQ(AutoPlayCancelMessage(), RegisterWindowMessageA("QueryCancelAutoPlay"));
  EXPECT_NE(AutoPlayCancelMessage(), 0u);
}

}  // namespace
