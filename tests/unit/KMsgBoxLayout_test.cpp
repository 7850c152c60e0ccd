// Tests for the message box's text measurement, width search and geometry.
#include "ui/KMsgBoxLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace msgbox;

// Every character is 7 pixels wide, and the pieces asked for are recorded.
struct FixedWidth {
  std::vector<std::string>* pieces;
  int operator()(const std::string& piece) const {
    pieces->push_back(piece);
    return static_cast<int>(piece.size()) * 7;
  }
};

TEST(KMsgBoxLayout, LineHeight) {
  EXPECT_EQ(LineHeight(13, 0, "Tahoma"), 13);
  EXPECT_EQ(LineHeight(13, 2, "Tahoma"), 15);
  EXPECT_EQ(LineHeight(13, 2, "MS PGothic"), 16);
  EXPECT_EQ(LineHeight(13, 2, "  ms pgothic "), 16);
  EXPECT_EQ(LineHeight(13, 2, "MS Gothic"), 15);
}

TEST(KMsgBoxLayout, MeasureText) {
  struct Case {
    const char* name;
    std::string text;
    Extent size;
    std::vector<std::string> pieces;
  } cases[] = {
      {"empty text is one space", "", {17, 13}, {" "}},
      {"one line", "abc", {31, 13}, {"abc"}},
      {"widest line counts", "ab\r\nabcd\r\na", {38, 39}, {"ab", "abcd", "a"}},
      {"empty line in the middle", "a\r\n\r\nb", {17, 39}, {"a", "", "b"}},
      {"line end at the very end adds nothing", "a\r\n", {17, 13}, {"a"}},
      {"two line ends at the end add one empty line", "a\r\n\r\n", {17, 26}, {"a", ""}},
      {"lone line feed does not cut", "a\nb", {31, 13}, {"a\nb"}},
      // 86 characters are 602 pixels: two lines, width capped at 600.
      {"a long line wraps", std::string(86, 'x'), {600, 26}, {std::string(86, 'x')}},
      {"just under the wrap", std::string(85, 'x'), {600, 13}, {std::string(85, 'x')}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> pieces;
    EXPECT_EQ(MeasureText(c.text, 13, FixedWidth{&pieces}), c.size) << c.name;
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

TEST(KMsgBoxLayout, SearchTextWidth) {
  struct Case {
    const char* name;
    int fitsFrom;        // the first width that needs no more height; 0: none does
    int requestedWidth;  // what the control asks for when it does not fit
    WidthChoice choice;
    int probes;
  } cases[] = {
      {"fits at once", 100, 120, {true, 100}, 1},
      {"fits after three steps", 130, 120, {true, 130}, 4},
      {"never fits: widest request plus 10", 0, 150, {false, 160}, 21},
      {"never fits, requests narrower than measured", 0, 50, {false, 110}, 21},
  };
  for (const auto& c : cases) {
    int probes = 0;
    const auto probe = [&](int width) {
      ++probes;
      const bool fits = c.fitsFrom != 0 && width >= c.fitsFrom;
      return Extent{c.requestedWidth, fits ? 40 : 60};
    };
    const WidthChoice got = SearchTextWidth({100, 40}, probe);
    EXPECT_EQ(got.fits, c.choice.fits) << c.name;
    EXPECT_EQ(got.width, c.choice.width) << c.name;
    EXPECT_EQ(probes, c.probes) << c.name;
  }
}

TEST(KMsgBoxLayout, BoxSizeAndPlacement) {
  const FrameMetrics frame{4, 4, 19};
  struct Case {
    const char* name;
    Extent text;
    Extent box;
  } cases[] = {
      // Margins 64 and 45 for small text; the minimum width of 360 takes over.
      {"one space", {10, 13}, {360, 13 + 36 + 90 + 8 + 19}},
      {"narrow text", {190, 38}, {190 + 54 + 128 + 8, 38 + 36 + 90 + 8 + 19}},
      {"wide text, tall text", {250, 39}, {250 + 54 + 64 + 8, 39 + 36 + 64 + 8 + 19}},
      {"widest text", {600, 300}, {600 + 54 + 64 + 8, 300 + 36 + 64 + 8 + 19}},
  };
  for (const auto& c : cases) EXPECT_EQ(BoxSize(c.text, frame), c.box) << c.name;

  EXPECT_EQ(CenteredBox({0, 0, 1024, 738}, {361, 201}), (Rect{331, 268, 361, 201}));
  EXPECT_EQ(CenteredBox({100, 30, 800, 600}, {900, 700}), (Rect{50, -20, 900, 700}));

  // Client 352 x 183 around a 10 x 13 control.
  EXPECT_EQ(TextPlacement({352, 183}, {10, 13}), (Rect{198, 67, 10, 77}));
  EXPECT_EQ(TextPlacement({400, 100}, {400, 90}), (Rect{27, -13, 400, 74}));
}

TEST(KMsgBoxLayout, ButtonRect) {
  const Extent client{352, 183};
  EXPECT_EQ(ButtonRect(0, 1, client), (Rect{272, 154, 70, 23}));
  EXPECT_EQ(ButtonRect(1, 2, client), (Rect{272, 154, 70, 23}));
  EXPECT_EQ(ButtonRect(0, 2, client), (Rect{202, 154, 70, 23}));
}

}  // namespace
