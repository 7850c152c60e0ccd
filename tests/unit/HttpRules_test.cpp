// Tests for the HTTP client's portable rules: addresses, chunks, progress range, partial files and
// the failure texts.
#include "net/HttpRules.h"

#include <gtest/gtest.h>

namespace {

TEST(HttpRules, RequestUrlKeepsAnExplicitSchemeAndAddsHttpOtherwise) {
  struct Case {
    const char* name;
    const char* url;
    const char* want;
  } cases[] = {
      {"plain http", "http://host/a.exe", "http://host/a.exe"},
      {"http in capitals", "HTTP://host/a.exe", "HTTP://host/a.exe"},
      {"https stays https", "https://host/a.exe", "https://host/a.exe"},
      {"https in mixed case", "HtTpS://host/a.exe", "HtTpS://host/a.exe"},
      {"no scheme", "host/a.exe", "http://host/a.exe"},
      {"http only later in the text", "host/get?from=http://x", "http://host/get?from=http://x"},
      {"empty", "", "http://"},
  };
  for (const Case& c : cases) EXPECT_EQ(http::RequestUrl(c.url), c.want) << c.name;
}

TEST(HttpRules, DisplayNameIsTheLastPathElement) {
  struct Case {
    const char* url;
    const char* want;
  } cases[] = {
      {"http://host/dl/Setup.exe", "Setup.exe"},
      {"http://host/dl/", ""},
      {"http://host", "host"},
      {"C:\\folder\\Setup.exe", "Setup.exe"},
      {"Setup.exe", "Setup.exe"},
      {"http://host/get?x=1", "get?x=1"},
  };
  for (const Case& c : cases) EXPECT_EQ(http::DisplayName(c.url), c.want) << c.url;
}

TEST(HttpRules, ChunksAreATenthWithinOneTo8192AndTheBarHasOneStepMore) {
  struct Case {
    std::uint32_t size;
    std::uint32_t chunk;
    std::int64_t maximum;
  } cases[] = {
      {1000, 100, 11},  // ten chunks and one
      {1005, 100, 12},  // a short last chunk counts
      {5, 1, 6},        // below ten bytes: one byte at a time
      {1, 1, 2},
      {81920, 8192, 11},         // exactly the largest chunk
      {10 << 20, 8192, 1281},    // 10 MB
      {200000000, 8192, 24416},  // the bar's range is cut to 16 bits by the bar itself
      {http::kUnknownSize, 8192, http::kUnknownProgressMaximum},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(http::ChunkSize(c.size), c.chunk) << c.size;
    EXPECT_EQ(http::ProgressMaximum(c.size, http::ChunkSize(c.size)), c.maximum) << c.size;
  }
}

TEST(HttpRules, PartialFileNameAddsSizeAndDateModulo2To32) {
  EXPECT_EQ(http::PartialFileName("C:\\t\\Setup.exe", 1000, 0x5A2B6C3D),
            "C:\\t\\Setup.exe." + std::to_string(1000u + 0x5A2B6C3Du));
  EXPECT_EQ(http::PartialFileName("a", 0xFFFFFFFF, 2), "a.1") << "wraps, printed unsigned";
  EXPECT_EQ(http::PartialFileName("a", 7, 0), "a.7") << "no date";
}

TEST(HttpRules, OnlyTheDestinationNameWithADotAndDigitsIsAPartialFile) {
  struct Case {
    const char* candidate;
    bool partial;
  } cases[] = {
      {"Setup.exe.123", true},  {"SETUP.EXE.4294967295", true},
      {"Setup.exe.0", true},    {"Setup.exe", false},         // the destination itself
      {"Setup.exe.", false},    {"Setup.exe.config", false},  // somebody else's file
      {"Setup.exe.12a", false}, {"Setup.exe.1.2", false},
      {"XSetup.exe.1", false},  {"Setup.exe1", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(http::IsPartialFileName("Setup.exe", c.candidate), c.partial) << c.candidate;
  EXPECT_FALSE(http::IsPartialFileName("", ".1"));
}

TEST(HttpRules, FailureTexts) {
  struct Case {
    const char* name;
    std::string got;
    const char* want;
  } cases[] = {
      {"init", http::InitErrorText(), "Unable to initialize \"WinINet.dll\""},
      {"open", http::OpenErrorText("http://h/a"), "Unable to open Internet Connection: http://h/a"},
      {"not found", http::NotFoundText("http://h/a"), "http://h/a --- File Not Found !"},
      {"aborted", http::AbortedText(), "Download Aborted"},
      {"read, system text", http::ReadErrorText("a.exe", "The operation timed out", "HTTP/1.1"),
       "a.exe --- Error downloading file (The operation timed out)"},
      {"read, server text", http::ReadErrorText("a.exe", "", "550 no"),
       "a.exe --- Error downloading file (550 no)"},
      {"read, no detail", http::ReadErrorText("a.exe", "", ""), "a.exe --- Error downloading file"},
      {"incomplete", http::IncompleteText("a.exe", 500, 1000),
       "a.exe --- Error downloading file (500 of 1000 bytes received)"},
      {"too large", http::TooLargeText("i.txt"),
       "i.txt --- Error downloading file (more than 32 MB to keep in memory)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

}  // namespace
