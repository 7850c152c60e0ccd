// MainWindowLayout: the sizes, styles and child positions of the stub's main window, and the
// mirrored layout for right-to-left character sets.
#pragma once

#include <cstdint>

namespace mainwindow {

constexpr int kWidth = 492;
constexpr int kHeight = 110;
constexpr std::uint32_t kStyle = 0x02C80000;  // caption, system menu, clip children; hidden
constexpr std::uint32_t kClassStyle = 8;      // double clicks are reported
constexpr unsigned kTimerId = 1;
constexpr unsigned kTimerPeriodMs = 1000;
constexpr std::uint32_t kChildVisible = 0x50000000;  // child, visible
constexpr std::uint32_t kChildHidden = 0x40000000;   // child, not visible
constexpr int kIconLeft = 18;
constexpr int kIconTop = 20;
constexpr const char* kLabelFontFace = "Tahoma";
constexpr int kLabelFontHeight = 11;
constexpr const char* kDefaultTitle = "Tarvo Installation Suite";

struct ChildRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct ChildLayout {
  ChildRect label;        // "Static", the caption
  ChildRect mainBar;      // "msctls_progress32", visible
  ChildRect activityBar;  // "msctls_progress32", hidden until asked for
};

// Hebrew (177) and Arabic (178) read from right to left.
bool IsRightToLeftCharset(int charset);
// The children in client coordinates; mirrored for right-to-left character sets: the activity bar
// moves to the left and the label to its right.
ChildLayout ChildLayoutFor(int charset);

}  // namespace mainwindow
