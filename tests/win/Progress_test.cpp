// Checks the progress procedure, the relay and the caption under Wine, on real controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui/KProgBar.h"
#include "ui/win/ProgressBars.h"
#include "ui/win/ProgressCaption.h"
#include "util/win/SysInfo.h"

namespace {

struct Bars {
  Bars() {
    INITCOMMONCONTROLSEX cc{sizeof(cc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&cc);
    parent = CreateWindowExA(0, "Static", "", WS_OVERLAPPED, 0, 0, 500, 120, nullptr, nullptr,
                             nullptr, nullptr);
    label = CreateWindowExA(0, "Static", "", 0x50000000, 70, 20, 340, 18, parent, nullptr, nullptr,
                            nullptr);
    main = CreateWindowExA(0, PROGRESS_CLASSA, "", 0x50000000, 70, 38, 392, 13, parent, nullptr,
                           nullptr, nullptr);
    activity = CreateWindowExA(0, PROGRESS_CLASSA, "", 0x40000000, 416, 20, 46, 13, parent, nullptr,
                               nullptr, nullptr);
    AttachProgressBars(main, activity);
  }
  ~Bars() {
    AttachProgressBars(nullptr, nullptr);
    DestroyWindow(parent);
  }
  HWND parent, label, main, activity;
};

int Pos(HWND bar) {
  return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
}
int High(HWND bar) {
  return static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
}

TEST(ProgressWin, SetAndStepDriveBothBars) {
  Bars b;
  ASSERT_NE(b.main, nullptr);
  ProgressProc(progress::kSet, 0, 70000, 3, 2, "not shown");
  EXPECT_EQ(High(b.main), 4464) << "the maximum travels as 16 bits";
  EXPECT_EQ(Pos(b.main), 3);
  EXPECT_EQ(High(b.activity), 5);
  EXPECT_EQ(Pos(b.activity), 0);

  ProgressProc(progress::kSet, 0, 100, 3, 2, "");
  int counter = ActivityCounter();
  for (int i = 0; i < 6; ++i) {
    ProgressProc(progress::kStep, 0, 0, 0, 0, "");
    counter = progress::NextActivity(counter);
    EXPECT_EQ(Pos(b.activity), counter) << "step " << i;
  }
  EXPECT_EQ(Pos(b.main), 3 + 6 * 2);
  EXPECT_EQ(ActivityCounter(), counter) << "six steps come round to where they started";

  // A new range restarts the activity bar but not the counter.
  ProgressProc(progress::kSet, 0, 10, 0, 1, "");
  EXPECT_EQ(Pos(b.activity), 0);
  ProgressProc(progress::kStep, 0, 0, 0, 0, "");
  EXPECT_EQ(Pos(b.activity), progress::NextActivity(counter));

  ProgressProc(7, 0, 50, 9, 9, "");  // other kinds do nothing
  EXPECT_EQ(High(b.main), 10);
  EXPECT_EQ(Pos(b.main), 1);
}

TEST(ProgressWin, RelayDrivesTheProcedure) {
  Bars b;
  ProgBar().SetRange(4, 20);
  EXPECT_EQ(High(b.main), 20);
  EXPECT_EQ(Pos(b.main), 4);
  ProgBar().StepIt();
  EXPECT_EQ(Pos(b.main), 5);
  ProgBar().Idle();  // one pump: must return
}

LOGFONTA FontOf(HWND label) {
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf;
}

TEST(ProgressWin, CaptionTakesTheLanguagesFontAndDirection) {
  Bars b;
  struct Case {
    int charset;
    LONG exStyle, style;
  } cases[] = {{177, WS_EX_RTLREADING, 0x50000002},
               {0, 0, 0x50000000},
               {178, WS_EX_RTLREADING, 0x50000002},
               {1, 0, 0x50000000}};
  HGDIOBJ previous = nullptr;
  for (const auto& c : cases) {
    SetProgressCaption(b.label, "Extracting Files...", "Arial", c.charset, 10);
    EXPECT_EQ(GetWindowLongA(b.label, GWL_EXSTYLE), c.exStyle) << c.charset;
    EXPECT_EQ(GetWindowLongA(b.label, GWL_STYLE), c.style) << c.charset;
    char text[64] = {};
    GetWindowTextA(b.label, text, sizeof(text));
    EXPECT_STREQ(text, "Extracting Files...");
    const LOGFONTA lf = FontOf(b.label);
    EXPECT_EQ(lf.lfCharSet, c.charset);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -PointsToPixels(10));
    if (previous != nullptr) {
      EXPECT_EQ(GetObjectType(previous), 0u) << "the old font is released";
    }
    previous = reinterpret_cast<HGDIOBJ>(SendMessageA(b.label, WM_GETFONT, 0, 0));
  }
}

}  // namespace
