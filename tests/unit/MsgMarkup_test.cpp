// Tests for the message-box markup: escapes, bold runs and the mode-0 heading.
#include "ui/MsgMarkup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "util/Utils.h"

namespace {

std::string Show(const std::vector<BoldRange>& ranges) {
  std::string s;
  for (const auto& r : ranges)
    s += "(" + std::to_string(r.start) + "," + std::to_string(r.end) + ")";
  return s;
}

// The bold-tag rule done the plain way: search the whole text from its start every time.
std::vector<BoldRange> ReferenceBoldRanges(std::string& text) {
  std::vector<BoldRange> ranges;
  for (;;) {
    const std::size_t p = UpperCase(text).find("<B>");
    if (p == std::string::npos) break;
    text.erase(p, 3);
    const std::size_t q = UpperCase(text).find("</B>");
    if (q != std::string::npos && p < q) {
      text.erase(q, 4);
      ranges.push_back({static_cast<std::uint16_t>(p), static_cast<std::uint16_t>(q)});
    }
  }
  for (std::size_t c; (c = UpperCase(text).find("</B>")) != std::string::npos;) text.erase(c, 4);
  return ranges;
}

TEST(MsgMarkup, ExpandMarkupEscapes) {
  struct Case {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"paragraph tag, any case", "a<p>b<P>c", "a\r\nb\r\nc"},
      {"tab tag, any case", "a<t>b<T>c", "a\tb\tc"},
      {"two backslashes and n", "one\\\\ntwo", "one\r\ntwo"},
      {"two backslashes and t inside a word", "wo\\\\trd", "wo\trd"},
      {"capital N is no escape", "one\\\\Ntwo", "one\\\\Ntwo"},
      {"capital T is no escape", "a\\\\Tb", "a\\\\Tb"},
      {"a single backslash is no escape", "a\\nb\\tc", "a\\nb\\tc"},
      {"other tags stay", "<b>x</b><br>", "<b>x</b><br>"},
      {"tag after a lone angle", "<<P>", "<\r\n"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandMarkupEscapes(c.in), c.out) << c.name;
}

TEST(MsgMarkup, ExpandMarkupEscapesAgreesWithReplacingInTurn) {
  std::mt19937 rng(7);
  const std::string alphabet = "\\\\nNtT<<pPT>x";
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    const int len = static_cast<int>(rng() % 16);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
    std::string want = ReplaceAll(text, "\\\\n", "\r\n");
    want = ReplaceAll(want, "\\\\t", "\t");
    want = ReplaceAllText(want, "<P>", "\r\n");
    want = ReplaceAllText(want, "<T>", "\t");
    ASSERT_EQ(ExpandMarkupEscapes(text), want) << "input '" << text << "'";
  }
}

TEST(MsgMarkup, ExtractBoldRanges) {
  struct Case {
    const char* name;
    std::string in, text, ranges;
  } cases[] = {
      {"one bold word", "a <b>bold</b> c", "a bold c", "(2,6)"},
      {"upper-case tags", "<B>x</B>y", "xy", "(0,1)"},
      {"mixed-case tags", "<B>x</b>", "x", "(0,1)"},
      {"two runs", "<b>a</b> <b>bc</b>", "a bc", "(0,1)(2,4)"},
      {"opening tag without closing tag", "a<B>b", "ab", ""},
      {"stray closing tag", "a</b>b", "ab", ""},
      {"stray closing tag before a pair", "</b>w1<b>w2</b>", "w1w2", ""},
      {"stray closing tag spoils every later pair", "</b>a<b>b</b>c<b>d</b>", "abcd", ""},
      {"empty run is no run", "x<b></b>y", "xy", ""},
      // Offsets are those of the moment a run is recorded.
      {"nested pairs", "<b><b>x</b></b>", "x", "(0,4)(0,1)"},
      {"tag joined by a cut", "<<b>b>x", "x", ""},
      {"closing tag joined by the last sweep", "a<</b>/b>", "a", ""},
      {"closing tag joined by a cut is found first", "<<b>/b>x<b>y</b>", "xy", ""},
      {"empty", "", "", ""},
      {"no tags", "plain", "plain", ""},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    const auto ranges = ExtractBoldRanges(text);
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(Show(ranges), c.ranges) << c.name;
  }
}

TEST(MsgMarkup, ExtractBoldRangesAgreesWithThePlainRule) {
  // Short texts over an alphabet of tag characters hit every way cuts can join new tags.
  std::mt19937 rng(20240611);
  const std::string alphabet = "<<</bB>x";
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    const int len = static_cast<int>(rng() % 24);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
    std::string mine = text, plain = text;
    const auto got = ExtractBoldRanges(mine);
    const auto want = ReferenceBoldRanges(plain);
    ASSERT_EQ(mine, plain) << "input '" << text << "'";
    ASSERT_EQ(Show(got), Show(want)) << "input '" << text << "'";
  }
}

TEST(MsgMarkup, LongTextsStayFastAndBounded) {
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"deeply nested",
       [] {
         std::string s;
         for (int i = 0; i < 9000; ++i) s += "<b>";
         s += "x";
         for (int i = 0; i < 9000; ++i) s += "</b>";
         return s;
       }()},
      {"many pairs",
       [] {
         std::string s;
         for (int i = 0; i < 10000; ++i) s += "<b>x</b>";
         return s;
       }()},
  };
  for (const auto& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const RenderedMarkup r = RenderMarkup(c.text);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LE(r.text.size(), kMaxMarkupText) << c.name;
    for (const auto& b : r.bold) EXPECT_LE(b.start, b.end) << c.name;
    EXPECT_LT(seconds.count(), 10.0) << c.name;
  }
}

TEST(MsgMarkup, HeadingMarkup) {
  struct Case {
    const char* caption;
    std::string heading;
  } cases[] = {
      {"Error", "ERROR"}, {"Attention", "ATTENTION"}, {"Confirm", "CONFIRM"},
      {"tent", "TENT"},                        // any piece of the default caption list
      {"Setup", "Setup"}, {"error", "error"},  // the piece test minds the letter case
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HeadingMarkup(c.caption, "Text"), "<<b>" + c.heading + "</b><P><P>Text<P>")
        << c.caption;
}

TEST(MsgMarkup, RenderMarkup) {
  struct Case {
    const char* name;
    std::string in, text, ranges;
  } cases[] = {
      {"mode-0 heading", HeadingMarkup("Attention", "Go on?"), "ATTENTION\r\n\r\nGo on?\r\n",
       "(0,9)"},
      {"line break and bold", "Insert <B>DISK #2</B><p>and press OK",
       "Insert DISK #2\r\nand press OK", "(7,14)"},
      {"only a leading double angle loses its first character", "x<<b>y</b>", "x<y", "(2,3)"},
      {"tags split by escapes stay text", "<<P>b>", "<\r\nb>", ""},
  };
  for (const auto& c : cases) {
    const RenderedMarkup r = RenderMarkup(c.in);
    EXPECT_EQ(r.text, c.text) << c.name;
    EXPECT_EQ(Show(r.bold), c.ranges) << c.name;
  }
}

}  // namespace
