// Tests for the main window's child positions and their mirroring.
#include "core/MainWindowLayout.h"

#include <gtest/gtest.h>

namespace {

using mainwindow::ChildRect;

bool Same(const ChildRect& a, const ChildRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST(MainWindowLayout, ChildrenPerCharset) {
  const ChildRect mainBar{70, 38, 392, 13};
  struct Case {
    int charset;
    ChildRect label, activity;
  } cases[] = {
      {0, {70, 20, 340, 18}, {416, 20, 46, 13}},   {1, {70, 20, 340, 18}, {416, 20, 46, 13}},
      {176, {70, 20, 340, 18}, {416, 20, 46, 13}}, {177, {122, 20, 340, 18}, {70, 20, 46, 13}},
      {178, {122, 20, 340, 18}, {70, 20, 46, 13}}, {179, {70, 20, 340, 18}, {416, 20, 46, 13}},
  };
  for (const auto& c : cases) {
    const auto layout = mainwindow::ChildLayoutFor(c.charset);
    EXPECT_TRUE(Same(layout.label, c.label)) << "label, charset " << c.charset;
    EXPECT_TRUE(Same(layout.activityBar, c.activity)) << "activity bar, charset " << c.charset;
    EXPECT_TRUE(Same(layout.mainBar, mainBar)) << "main bar, charset " << c.charset;
    // Mirrored or not, the label and the activity bar never overlap and stay inside the bar's
    // span.
    const auto& l = layout.label;
    const auto& a = layout.activityBar;
    EXPECT_TRUE(l.left + l.width <= a.left || a.left + a.width <= l.left) << c.charset;
    EXPECT_LE(std::max(l.left + l.width, a.left + a.width), mainBar.left + mainBar.width)
        << c.charset;
  }
}

}  // namespace
