// Checks the trace stream's delivery to a ".KDebug." window under Wine: the pieces, the atoms,
// and that tracing never waits for a viewer that is missing or stuck.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "TraceCapture.h"
#include "core/KDebug.h"
#include "core/win/KDebugOutput.h"

namespace {

// A line no other code of the suite writes: its pieces must arrive exactly as cut.
std::string LongLine() {
  std::string text;
  for (int i = 0; text.size() < 300; ++i) text += static_cast<char>('A' + i % 26);
  return text;
}

TEST(KDebugWin, A300CharacterLineArrivesAsThreePieces) {
  InstallTraceStream();
  wintest::TraceCapture capture;
  ASSERT_TRUE(capture.Ready());
  const std::string text = LongLine();
  Trace() << text << EndLine;  // the send is synchronous: the pieces are there when it returns
  const auto pieces = capture.Pieces();
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0], text.substr(0, 128));
  EXPECT_EQ(pieces[1], text.substr(128, 128));
  EXPECT_EQ(pieces[2], text.substr(256) + "\n");
  EXPECT_EQ(pieces[2].size(), 45u);
  EXPECT_EQ(capture.Lines(), std::vector<std::string>{text});
  // Each piece's atom is gone once its send has returned.
  for (const auto& piece : pieces) EXPECT_EQ(GlobalFindAtomA(piece.c_str()), 0) << piece;
}

TEST(KDebugWin, AnEmptyLineIsOnePieceWithTheLineFeed) {
  InstallTraceStream();
  wintest::TraceCapture capture;
  Trace() << EndLine;
  EXPECT_EQ(capture.Pieces(), std::vector<std::string>{"\n"});
}

TEST(KDebugWin, WithoutViewerPiecesAreDroppedAtOnce) {
  InstallTraceStream();
  ASSERT_EQ(FindWindowA(kdebug::kViewerClass, nullptr), nullptr);
  const std::string text = LongLine();
  const DWORD start = GetTickCount();
  for (int i = 0; i < 200; ++i) Trace() << text << EndLine;
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_EQ(GlobalFindAtomA(text.substr(0, 128).c_str()), 0) << "no atom is left behind";
}

TEST(KDebugWin, AStuckViewerDoesNotHoldTheTracerForever) {
  InstallTraceStream();
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> state{0};  // 1: the window is up, 2: it could not be made
  std::thread stuck([&] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kdebug::kViewerClass;
    RegisterClassA(&wc);  // may exist already from the capture: either way the class is there
    HWND wnd = CreateWindowExA(0, kdebug::kViewerClass, "stuck", WS_OVERLAPPED, 0, 0, 10, 10,
                               nullptr, nullptr, wc.hInstance, nullptr);
    state = wnd != nullptr ? 1 : 2;
    WaitForSingleObject(release, 20000);  // never pumps while the tracer sends
    DestroyWindow(wnd);
  });
  while (state == 0) Sleep(10);
  if (state != 1) {
    SetEvent(release);
    stuck.join();
    CloseHandle(release);
    FAIL() << "no stuck viewer window";
  }
  const DWORD start = GetTickCount();
  Trace() << "to a viewer that does not answer" << EndLine;
  const DWORD took = GetTickCount() - start;
  SetEvent(release);
  stuck.join();
  CloseHandle(release);
  EXPECT_LT(took, 8000u);
  EXPECT_EQ(GlobalFindAtomA("to a viewer that does not answer\n"), 0);
}

}  // namespace
