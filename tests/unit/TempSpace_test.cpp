// The portable rules behind the extraction folder and the temporary-drive question.
#include "payload/TempSpace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>

namespace {

TEST(TempSpace, FormatMB) {
  struct Case {
    double bytes;
    const char* expected;
  } cases[] = {
      {0, "0.000"},
      {-1, "0.000"},
      {-5e9, "0.000"},
      {std::nan(""), "0.000"},
      {1, "0.000"},
      {524288, "0.500"},
      {1048575, "1.000"},
      {1048576, "1.00"},
      {1107321, "1.06"},
      {10485760, "10.00"},
      {10485761, "10.0"},
      {52428800, "50.0"},
      {1099511627776.0, "1048576.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatMB(c.bytes), c.expected) << c.bytes;
}

TEST(TempSpace, SetupFolderNameUsesTheTimeOfDayHalf) {
  // 2005-04-20 13:45:30 and the same time on another day share the folder; another time does not.
  const std::uint32_t time = 13 << 11 | 45 << 5 | 15;
  const std::uint32_t day1 = ((2005 - 1980) << 9 | 4 << 5 | 20) << 16;
  const std::uint32_t day2 = ((2011 - 1980) << 9 | 1 << 5 | 2) << 16;
  EXPECT_EQ(SetupFolderName("C:\\Temp\\", day1 | time), "C:\\Temp\\SETUP_" + std::to_string(time));
  EXPECT_EQ(SetupFolderName("C:\\Temp\\", day1 | time), SetupFolderName("C:\\Temp\\", day2 | time));
  EXPECT_NE(SetupFolderName("C:\\Temp\\", day1 | time),
            SetupFolderName("C:\\Temp\\", day1 | (time + 1)));
  EXPECT_EQ(SetupFolderName("C:\\T\\", 0), "C:\\T\\SETUP_0");
}

TEST(TempSpace, FreshNumberedNameSkipsNamesThatExist) {
  std::set<std::string> taken;
  auto exists = [&](const std::string& name) { return taken.count(name) != 0; };
  EXPECT_EQ(FreshNumberedName("D:\\TEMP_", 12345, exists), "D:\\TEMP_12345");
  taken = {"D:\\TEMP_12345", "D:\\TEMP_12346"};
  EXPECT_EQ(FreshNumberedName("D:\\TEMP_", 12345, exists), "D:\\TEMP_12347");
  taken = {"X100000"};
  EXPECT_EQ(FreshNumberedName("X", 100000, exists), "X10000") << "wraps within the range";
  for (std::int64_t first :
       {std::int64_t{-7}, std::int64_t{5}, std::int64_t{100001}, std::int64_t{1} << 40}) {
    const std::int64_t n = std::stoll(FreshNumberedName("X", first, exists).substr(1));
    EXPECT_TRUE(n >= 10000 && n <= 100000) << first << " gave " << n;
  }
  EXPECT_EQ(FreshNumberedName("X", 0, [](const std::string&) { return true; }), "")
      << "gives up instead of taking over a folder";
}

TEST(TempSpace, RoomierDriveLetter) {
  struct Case {
    const char* name;
    char temp;
    double c, d, e;
    char expected;
  } cases[] = {
      {"another drive has more room", 'C', 1e9, 5e9, 0, 'D'},
      {"the temp drive has the most", 'C', 9e9, 5e9, 1e9, 'C'},
      {"a tie goes to the earlier letter", 'E', 0, 5e9, 5e9, 'D'},
      {"no drive could be probed", 'D', 0, 0, 0, 'D'},
      {"failed queries count as nothing", 'C', -1, -1, -1, 'C'},
      {"lower-case temp letter", 'c', 0, 0, 0, 'C'},
      {"temp drive outside C to E", 'F', 3e9, 0, 0, 'C'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoomierDriveLetter(c.temp, {{'C', c.c}, {'D', c.d}, {'E', c.e}}), c.expected)
        << c.name;
  }
}

TEST(TempSpace, AlternativeRootOn) {
  EXPECT_EQ(AlternativeRootOn('D', false), "D:\\TEMP");
  EXPECT_EQ(AlternativeRootOn('D', true), "D:\\TEMP\\TEMP");
}

// Looks keys up in a table; unknown keys give the caller's default.
LangLookup Table(std::map<std::string, std::string> texts) {
  return [texts](const std::string& key, const std::string& def) {
    const auto it = texts.find(key);
    return it == texts.end() ? def : it->second;
  };
}

TEST(TempSpace, TempNoticeText) {
  const LangLookup defaults = Table({});
  const std::string tail =
      "<P>Estimated space required on your Temp drive is: <T>  1.06 MB<P>"
      "Free space available on your Temp drive is: <T>  50.0 MB<P>"
      "<P>Continue with Setup?<P>";
  struct Case {
    const char* name;
    bool show;
    double required, free;
    std::string expected;
  } cases[] = {
      {"no notice, enough room", false, 1107321, 52428800, ""},
      {"notice, enough room", true, 1107321, 52428800,
       "Tarvo will extract files to your Temp Drive (C:)<P>" + tail},
      {"not enough room", false, 1107321, 1107321,
       "Limited Free Space on your Temp Drive! (C:)<P>"
       "<P>Estimated space required on your Temp drive is: <T>  1.06 MB<P>"
       "Free space available on your Temp drive is: <T>  1.06 MB<P><P>Continue with Setup?<P>"},
      {"free space unknown", true, 0, -1,
       "Limited Free Space on your Temp Drive! (C:)<P>"
       "<P>Estimated space required on your Temp drive is: <T>  0.000 MB<P>"
       "Free space available on your Temp drive is: <T>  0.000 MB<P><P>Continue with Setup?<P>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TempNoticeText(c.show, c.required, c.free, "c:\\temp\\SETUP_1", defaults), c.expected)
        << c.name;
  }
  const LangLookup custom = Table({{"s3", "Voll <DRIVE> <drive>|"},
                                   {"s4", "<SPACE_REQ>|"},
                                   {"s5", "<SPACE_AVAIL>|<DRIVE>|"},
                                   {"s6", "?"}});
  EXPECT_EQ(TempNoticeText(true, 2097152, 1048576, "d:\\x", custom),
            "Voll D: <drive>|2.00|1.00|D:|?")
      << "the language's texts, replacement by exact case";
  EXPECT_EQ(TempNoticeText(true, 2097152, 1048576, "", custom), "Voll  <drive>|2.00|1.00||?")
      << "no folder, no drive";
  EXPECT_EQ(TempNoticeText(true, 1, 2, "C:\\", Table({{"s2", ""}})), "")
      << "an empty notice text asks nothing";
}

}  // namespace
