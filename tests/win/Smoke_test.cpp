// Proves the Wine harness: a real window gets created and answers a message sent to it.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr UINT kPing = WM_APP + 7;

LRESULT CALLBACK PingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPing) return static_cast<LRESULT>(wp * 2 + static_cast<WPARAM>(lp));
  return DefWindowProcA(wnd, msg, wp, lp);
}

TEST(Smoke, WindowAnswersSentAndPostedMessages) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvoSmokeWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "smoke", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(SendMessageA(wnd, kPing, 20, 2), 42);
  EXPECT_EQ(FindWindowA("TarvoSmokeWindow", "smoke"), wnd);

  ASSERT_TRUE(PostMessageA(wnd, kPing, 1, 1));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, wnd, kPing, kPing, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  DestroyWindow(wnd);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
