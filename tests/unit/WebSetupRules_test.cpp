// Tests for the web installer's portable rules: the question's size, the local setup file and
// the agent copy's bytes.
#include "payload/WebSetupRules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(WebSetupRules, QuestionShowsTheSizeInMegabytes) {
  struct Case {
    const char* size;
    const char* want;
  } cases[] = {
      {"52428800", "Size: 50.0 MB <SIZE2> 50.0"}, {"1107321", "Size: 1.06 MB <SIZE2> 1.06"},
      {"1000", "Size: 0.001 MB <SIZE2> 0.001"},   {"", "Size: 0.000 MB <SIZE2> 0.000"},
      {"12 MB", "Size: 0.000 MB <SIZE2> 0.000"},  // not a number
      {"-5", "Size: 0.000 MB <SIZE2> 0.000"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(websetup::DownloadQuestion("Size: <SIZE> MB <SIZE2> <SIZE>", c.size), c.want)
        << c.size;
  EXPECT_EQ(websetup::DownloadQuestion("<size>", "1000"), "<size>") << "exact case only";
}

TEST(WebSetupRules, LocalSetupFileAndProgramFolder) {
  EXPECT_EQ(websetup::LocalSetupFile("C:\\dl", "Setup.exe"), "C:\\dl\\Setup.exe");
  EXPECT_EQ(websetup::LocalSetupFile("C:\\dl\\", "Setup.exe"), "C:\\dl\\Setup.exe");
  EXPECT_EQ(websetup::LocalSetupFile("http://h/dl", "Setup.exe"), "http://h/dl\\Setup.exe");
  EXPECT_EQ(websetup::FolderOfProgram("C:\\a b\\Web.exe"), "C:\\a b");
  EXPECT_EQ(websetup::FolderOfProgram("Web.exe"), "");
}

// An image of size bytes whose header records realEnd at 0xF8..0xFF, filled with 0x11.
std::string Image(std::size_t size, std::uint64_t realEnd) {
  std::string image(size, '\x11');
  for (int i = 0; i < 8; ++i) {
    const int shift = i < 4 ? 32 + 8 * i : 8 * (i - 4);  // high half at 0xF8, low half at 0xFC
    image[0xF8 + i] = static_cast<char>((realEnd >> shift) & 0xFF);
  }
  return image;
}

TEST(WebSetupRules, AgentImageIsCutAtTheRealEndAndFlagged) {
  struct Case {
    const char* name;
    std::size_t size;
    std::uint64_t realEnd;
    std::size_t wantSize;
    std::size_t flagAt;  // index of the byte set to 1
  } cases[] = {
      {"ends at its real end", 50000, 50000, 50000, 49995},
      {"9999 bytes appended: cut", 59999, 50000, 50000, 49995},
      {"10000 bytes appended: kept, flag in the trailer", 60000, 50000, 60000, 49995},
      {"real end beyond the image: flag at the end", 40000, 50000, 40000, 39995},
      {"no real end: flag at the end", 40000, 0, 40000, 39995},
  };
  for (const Case& c : cases) {
    const std::string image = Image(c.size, c.realEnd);
    const std::string copy = websetup::WebAgentImage(image);
    ASSERT_EQ(copy.size(), c.wantSize) << c.name;
    EXPECT_EQ(copy[c.flagAt], 1) << c.name;
    std::string expected = image.substr(0, c.wantSize);
    expected[c.flagAt] = 1;
    EXPECT_EQ(copy, expected) << c.name << ": only the flag changes";
  }
  EXPECT_EQ(websetup::WebAgentImage("12345"), "12345") << "too short for a flag";
  EXPECT_EQ(websetup::WebAgentImage("123456"), std::string("1\x01"
                                                           "3456"));
}

}  // namespace
