// Tests for the message box's default-button cycling and keyboard decisions.
#include "ui/KMsgBoxKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace msgbox;

TEST(KMsgBoxKeys, DefaultSlot) {
  struct Case {
    int index, count, slot;
  } cases[] = {
      {0, 1, 0}, {1, 1, 0},  {-1, 1, 0}, {-2, 1, 0}, {0, 2, 0}, {1, 2, 1},
      {2, 2, 0}, {-1, 2, 1}, {-2, 2, 0}, {-3, 2, 1}, {5, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DefaultSlot(c.index, c.count), c.slot) << c.index << " of " << c.count;
}

TEST(KMsgBoxKeys, AccessKey) {
  EXPECT_EQ(AccessKey("&No"), 'N');
  EXPECT_EQ(AccessKey("OK"), 'O');
  EXPECT_EQ(AccessKey("Can&cel"), 'C');
  EXPECT_EQ(AccessKey("a&b&c"), 'B');
  EXPECT_EQ(AccessKey("&&x"), '&');
  EXPECT_EQ(AccessKey("x&"), '\0');
  EXPECT_EQ(AccessKey(""), '\0');
}

TEST(KMsgBoxKeys, DecideKey) {
  const std::vector<std::string> yesNo = {"&Yes", "&No"};
  const std::vector<std::string> okOnly = {"OK"};
  const std::vector<std::string> same = {"&Yes", "&Yup"};
  const std::vector<std::string> lower = {"&yes", "&no"};
  constexpr auto down = KeyMessage::kPlain;
  constexpr auto alt = KeyMessage::kWithAlt;
  constexpr auto choose = KeyAction::kChoose;
  constexpr auto move = KeyAction::kMoveDefault;
  struct Case {
    const char* name;
    KeyMessage message;
    unsigned key;
    const std::vector<std::string>* captions;
    int focused;
    KeyDecision decision;
  } cases[] = {
      {"N chooses No", down, 'N', &yesNo, 0, {choose, 1}},
      {"Alt+N chooses No", alt, 'N', &yesNo, 0, {choose, 1}},
      {"Y chooses Yes", down, 'Y', &yesNo, 1, {choose, 0}},
      {"other letter", down, 'Q', &yesNo, 0, {}},
      {"O chooses a caption without &", down, 'O', &okOnly, 0, {choose, 0}},
      {"Alt+K chooses a caption without &", alt, 'K', &okOnly, 0, {choose, 0}},
      {"Alt+O does not", alt, 'O', &okOnly, 0, {}},
      {"plain key: slot 1 wins", down, 'Y', &same, 0, {choose, 1}},
      {"Alt key: slot 0 wins", alt, 'Y', &same, 0, {choose, 0}},
      {"lower-case caption, letter key", down, 'N', &lower, 0, {choose, 1}},
      {"lower-case caption, Alt key", alt, 'N', &lower, 0, {choose, 1}},
      {"numeric keypad 3 (code of 'c') is no letter", down, 0x63, &yesNo, 0, {}},
      {"numeric keypad . (code of 'n') is no letter", down, 0x6E, &yesNo, 0, {}},
      {"F10 (code of 'y') is no Alt key", alt, 0x79, &lower, 0, {}},
      {"Enter on the focused button", down, kKeyReturn, &yesNo, 1, {choose, 1}},
      {"Enter with no focus", down, kKeyReturn, &yesNo, -1, {}},
      {"Escape", down, kKeyEscape, &yesNo, 0, {}},
      {"Right on the right button wraps left", down, kKeyRight, &yesNo, 1, {move, 0}},
      {"Left on the left button wraps right", down, kKeyLeft, &yesNo, 0, {move, 1}},
      {"Down", down, kKeyDown, &yesNo, 0, {move, 1}},
      {"Up", down, kKeyUp, &yesNo, 1, {move, 0}},
      {"Tab", down, kKeyTab, &yesNo, 0, {move, 1}},
      {"Tab on a single button", down, kKeyTab, &okOnly, 0, {move, 0}},
      {"Right with no focus", down, kKeyRight, &yesNo, -1, {move, 0}},
      {"Left with no focus", down, kKeyLeft, &yesNo, -1, {move, 0}},
      {"arrows under Alt do nothing", alt, kKeyRight, &yesNo, 0, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecideKey(c.message, c.key, *c.captions, c.focused), c.decision) << c.name;
}

}  // namespace
