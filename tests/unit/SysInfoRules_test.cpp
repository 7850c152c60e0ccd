// Tests for the arithmetic and text rules behind the system-information queries.
#include "util/SysInfoRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(SysInfoRules, CurrentVersionKey) {
  EXPECT_EQ(CurrentVersionKeyFor(false),
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  EXPECT_EQ(CurrentVersionKeyFor(true),
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
}

TEST(SysInfoRules, CleanSystemMessage) {
  const struct {
    const char* message;
    const char* want;
  } cases[] = {
      {"The system cannot find the file specified.\r\n",
       "The system cannot find the file specified"},
      {"Access is denied. \r\n", "Access is denied"},
      {"Ends in dots...", "Ends in dots"},
      {"Inner. Stops stay.\n", "Inner. Stops stay"},
      {"Version 1.2", "Version 1.2"},
      {"\xE9t\xE9.", "\xE9t\xE9"},
      {" .\r\n", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanSystemMessage(c.message), c.want) << c.message;
}

TEST(SysInfoRules, FormatFileVersion) {
  EXPECT_EQ(FormatFileVersion(0x00010002, 0x00030004), "1.2.3.4");
  EXPECT_EQ(FormatFileVersion(0xFFFF0000, 0x0000FFFF), "65535.0.0.65535");
  EXPECT_EQ(FormatFileVersion(0, 0), "0.0.0.0");
}

TEST(SysInfoRules, PointsToPixels) {
  const struct {
    int points, ppi, want;
  } cases[] = {
      {8, 96, 11},
      {8, 120, 13},
      {10, 96, 13},
      {12, 96, 16},
      {0, 96, 0},
      {9, 72, 9},    // exact
      {3, 12, 1},    // 0.5 rounds up
      {-3, 12, -1},  // -0.5 rounds away from zero
      {-8, 96, -11},
      {1, 35, 0},              // 0.486
      {1, 37, 1},              // 0.514
      {INT_MAX, 96, INT_MAX},  // clamped rather than wrapped
      {INT_MIN, 96, INT_MIN},
      {INT_MAX, 72, INT_MAX},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PointsToPixelsAt(c.points, c.ppi), c.want) << c.points << " pt at " << c.ppi;
}

TEST(SysInfoRules, CenterInArea) {
  const struct {
    const char* what;
    ScreenRect area;
    int width, height;
    int left, top;
  } cases[] = {
      {"message box on 1024x738", {0, 0, 1024, 738}, 492, 110, 266, 314},
      {"odd difference truncates", {0, 0, 101, 51}, 10, 10, 45, 20},
      {"area offset by a left task bar", {60, 0, 964, 768}, 400, 300, 342, 234},
      {"area on a screen left of the primary", {-1280, -40, 1280, 1024}, 100, 100, -690, 422},
      {"larger by one truncates toward zero", {0, 0, 100, 100}, 101, 101, 0, 0},
      {"much larger starts before the edge", {10, 10, 100, 100}, 300, 104, -90, 8},
  };
  for (const auto& c : cases) {
    const ScreenPoint p = CenterInArea(c.area, c.width, c.height);
    EXPECT_EQ(p.left, c.left) << c.what;
    EXPECT_EQ(p.top, c.top) << c.what;
  }
}

TEST(SysInfoRules, DiagnosticValue) {
  EXPECT_TRUE(DiagnosticValueOn("679"));
  for (const char* off : {"", "0", "1", "679 ", " 679", "6790", "0679"})
    EXPECT_FALSE(DiagnosticValueOn(off)) << '"' << off << '"';
}

}  // namespace
