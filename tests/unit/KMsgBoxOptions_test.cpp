// Tests for the message box's flags, button sets and default captions.
#include "ui/KMsgBoxOptions.h"

#include <gtest/gtest.h>

namespace {

using namespace msgbox;

TEST(KMsgBoxOptions, ButtonsIconsAndCaptions) {
  struct Case {
    const char* name;
    unsigned flags;
    std::vector<ButtonSpec> buttons;
    int icon;
  } cases[] = {
      {"error box", kErrorBoxFlags, {{0, 1}}, 32513},
      {"attention box", kAttentionBoxFlags, {{0, 1}}, 32515},
      {"yes/no", kYesNoBoxFlags, {{2, 6}, {3, 7}}, 32514},
      {"ok/cancel", kOkCancelBoxFlags, {{0, 1}, {1, 2}}, 32514},
      {"no icon", 0, {{0, 1}}, 0},
      {"unknown set still has a button", 2 | 64, {{0, 1}}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ButtonsForFlags(c.flags), c.buttons) << c.name;
    EXPECT_EQ(StandardIconForFlags(c.flags), c.icon) << c.name;
  }
  EXPECT_EQ(ButtonCaption(kDefaultButtonCaptions, 3), "&No");
  EXPECT_EQ(ButtonCaption("|OK|", 1), "");
}

TEST(KMsgBoxOptions, BoxFlags) {
  struct Case {
    int mode, charset;
    unsigned in, out;
  } cases[] = {
      {0, 0, 36, 36},
      {1, 1, 36, 36},
      {2, 0, 36, 36 | kNoClose},
      {1, 177, 16, 16 | kRightAlign | kRtlReading},
      {2, 178, 0, kNoClose | kRightAlign | kRtlReading},
      {1, 161, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BoxFlags(c.mode, c.charset, c.in), c.out) << c.mode << "/" << c.charset;
}

TEST(KMsgBoxOptions, WrapperDefaults) {
  EXPECT_EQ(WrapperCaption("", kCaptionError), "Error");
  EXPECT_EQ(WrapperCaption("", kCaptionAttention), "Attention");
  EXPECT_EQ(WrapperCaption("", kCaptionConfirm), "Confirm");
  EXPECT_EQ(WrapperCaption("Setup", kCaptionConfirm), "Setup");
  EXPECT_EQ(WrapperButtons(""), kDefaultButtonCaptions);
  EXPECT_EQ(WrapperButtons("|Ja|"), "|Ja|");
}

}  // namespace
