// Tests for the pump step of YieldWait and the stored message-box font.
#include "ui/KMsgBoxPump.h"

#include <gtest/gtest.h>

#include "ui/KMsgBoxFont.h"

namespace {

TEST(KMsgBoxPump, YieldWaitStep) {
  struct Case {
    std::uint32_t step;
    std::int64_t duration;
    std::uint32_t want;
  } cases[] = {
      {0, 0, 1},    {0, 9, 1},      {0, 10, 1},  {0, 100, 10},  {0, 250, 25},
      {0, 259, 25}, {0, 10000, 25}, {0, -50, 1}, {7, 10000, 7}, {300, 0, 300},
  };
  for (const auto& c : cases)
    EXPECT_EQ(YieldWaitStep(c.step, c.duration), c.want)
        << "step " << c.step << ", duration " << c.duration;
}

TEST(KMsgBoxFont, SizeZeroKeepsTheStoredSize) {
  ResetMessageBoxFont();
  EXPECT_EQ(MessageBoxFont().faceName, "Tahoma");
  EXPECT_EQ(MessageBoxFont().pointSize, 8);
  EXPECT_EQ(MessageBoxFont().charset, 1);
  SetMessageBoxFont("Arial", 10, 178);
  SetMessageBoxFont("", 0, 0);
  EXPECT_EQ(MessageBoxFont().faceName, "") << "the face name is stored unconditionally";
  EXPECT_EQ(MessageBoxFont().pointSize, 10);
  EXPECT_EQ(MessageBoxFont().charset, 0);
  ResetMessageBoxFont();
}

}  // namespace
