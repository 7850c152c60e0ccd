// Tests of the token descrambler, against hand-made vectors and a test-side scrambler.
#include "payload/Token.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "PayloadTestImage.h"

namespace {

using payload::DescrambleToken;
using payload_test::ScrambleToken;

bool IsFailureNumber(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoi(text) <= 99998;
}

TEST(DescrambleToken, ValidTokens) {
  struct Case {
    const char* name;
    std::string scrambled;
    std::string expected;
  };
  const Case cases[] = {
      {"hand-made, key 0", "cbbbbcgjikcb", "X"},
      {"hand-made, key 1", "dcbcbbgkktdb", "X"},
      {"typical build token", ScrambleToken("7f3a9c0e-build-42", 5, 4, 0x9d, 0x3c),
       "7f3a9c0e-build-42"},
      {"no filler", ScrambleToken("abc", 0, 1, 0x00, 0xff), "abc"},
      {"bytes 0 and 255 in the token", ScrambleToken(std::string("\0\xff", 2), 2, 2, 7, 7),
       std::string("\0\xff", 2)},
      {"empty token", ScrambleToken("", 1, 1, 1, 2), ""},
      // Five zero bytes (the odd last digit is a piece of its own): the check holds, one token
      // byte.
      {"odd number of digits", "bbbbbbbbb", std::string(1, '\0')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DescrambleToken(c.scrambled), c.expected) << c.name;
  }
}

TEST(DescrambleToken, ScrambledFormIsAnEvenNumberOfLowerCaseLetters) {
  const std::string text = ScrambleToken("token", 3, 2, 0x41, 0x17);
  EXPECT_EQ(text.size() % 2, 0u);
  for (char c : text) EXPECT_TRUE(c >= 'a' && c <= 'z') << text;
}

TEST(DescrambleToken, LengthsThatLeaveNoTokenGiveEmptyText) {
  // n = 6 here; P + S + 4 >= n leaves nothing.
  struct Case {
    uint8_t prefix, suffix;
  };
  for (const Case c : {Case{1, 1}, Case{2, 0}, Case{255, 255}}) {
    std::vector<uint8_t> d = {0, c.prefix, c.suffix, 'Z', 0, 0};
    uint8_t check = 0;
    for (size_t i = 0; i < d.size(); ++i) {
      if (i != 4) check = static_cast<uint8_t>(check + d[i]);
    }
    d[4] = check;
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : d) {
      text += static_cast<char>(kHex[b >> 4] + 50);
      text += static_cast<char>(kHex[b & 15] + 50);
    }
    EXPECT_EQ(DescrambleToken(text), "") << int(c.prefix) << "/" << int(c.suffix);
  }
}

TEST(DescrambleToken, FailuresGiveRandomNumbersBelow99999) {
  std::string badCheck = ScrambleToken("abc", 1, 1, 5, 9);
  badCheck[badCheck.size() - 3] =
      badCheck[badCheck.size() - 3] == 'b' ? 'c' : 'b';  // alter the check byte
  const struct {
    const char* name;
    std::string text;
  } cases[] = {{"empty", ""},
               {"four bytes", "bbbbbbbb"},
               {"check byte wrong", badCheck},
               {"last byte breaks the check", "bbbbbbbbbc"}};
  for (const auto& c : cases) {
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
      const std::string got = DescrambleToken(c.text);
      EXPECT_TRUE(IsFailureNumber(got)) << c.name << ": " << got;
      seen.insert(got);
    }
    // Two failures in a row must not compare equal as a rule.
    EXPECT_GT(seen.size(), 1u) << c.name;
  }
}

}  // namespace
