// INI readers and writers against real files through the system's private-profile functions.
#include "util/win/IniFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "WinTempFolder.h"

namespace {

const char kSample[] =
    "[General]\r\n"
    "Name=Tarvo\r\n"
    "Empty=\r\n"
    "Spaced =  padded value  \r\n"
    "Letters=12abc\r\n"
    "Negative=-7\r\n"
    "Padded= 42 \r\n"
    "Largest=9223372036854775807\r\n"
    "Smallest=-9223372036854775808\r\n"
    "TooLarge=9223372036854775808\r\n"
    "Hex=0x10\r\n"
    "[]\r\n"
    "Key=in the nameless section\r\n";

TEST(IniFiles, ReadIniString) {
  wintest::TempFolder temp;
  const std::string file = temp.Write("sample.ini", kSample);
  const struct {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* def;
    const char* want;
  } cases[] = {
      {"plain value", file, "General", "Name", "d", "Tarvo"},
      {"names ignore case", file, "gENERAL", "NAME", "d", "Tarvo"},
      {"empty value gives the default", file, "General", "Empty", "d", "d"},
      {"empty value with empty default", file, "General", "Empty", "", ""},
      {"system trims around key and value", file, "General", "Spaced", "d", "padded value"},
      {"missing key", file, "General", "Missing", "d", "d"},
      {"missing section", file, "Other", "Name", "d", "d"},
      {"missing file", temp.File("none.ini"), "General", "Name", "d", "d"},
      {"default kept whole", file, "General", "Missing", " blanks kept  ", " blanks kept  "},
      {"empty section gives the default", file, "", "Key", "d", "d"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadIniString(c.file, c.section, c.key, c.def), c.want) << c.what;
}

TEST(IniFiles, ReadIniInt64) {
  wintest::TempFolder temp;
  const std::string file = temp.Write("sample.ini", kSample);
  const struct {
    const char* key;
    std::int64_t want;
  } cases[] = {
      {"Letters", 99},
      {"Negative", -7},
      {"Padded", 42},
      {"Largest", LLONG_MAX},
      {"Smallest", LLONG_MIN},
      {"TooLarge", 99},
      {"Hex", 99},
      {"Empty", 99},
      {"Name", 99},
      {"Missing", 99},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadIniInt64(file, "General", c.key, 99), c.want) << c.key;
  EXPECT_EQ(ReadIniInt64(temp.File("none.ini"), "General", "Negative", -1), -1);
}

TEST(IniFiles, WriteThenRead) {
  wintest::TempFolder temp;
  const std::string file = temp.File("new.ini");

  ASSERT_TRUE(WriteIniString(file, "General", "Version", "1.2"));
  EXPECT_EQ(ReadIniString(file, "General", "Version", ""), "1.2");
  ASSERT_TRUE(WriteIniString(file, "GENERAL", "version", "1.3"));  // replaces, ignoring case
  EXPECT_EQ(ReadIniString(file, "General", "Version", ""), "1.3");
  ASSERT_TRUE(WriteIniInt64(file, "Stats", "Count", -7));
  ASSERT_TRUE(WriteIniInt64(file, "Stats", "Largest", LLONG_MAX));
  ASSERT_TRUE(WriteIniString(file, "Stats", "Empty", ""));
  EXPECT_EQ(ReadIniInt64(file, "Stats", "Count", 0), -7);
  EXPECT_EQ(ReadIniInt64(file, "Stats", "Largest", 0), LLONG_MAX);
  EXPECT_EQ(ReadIniString(file, "Stats", "Empty", "d"), "d");

  const std::string bytes = wintest::TempFolder::Read(file);
  EXPECT_NE(bytes.find("[General]"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("1.2"), std::string::npos) << "the old value is replaced: " << bytes;
  EXPECT_NE(bytes.find("Count=-7"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Empty=\r\n"), std::string::npos)
      << "an empty value keeps its key: " << bytes;

  EXPECT_FALSE(WriteIniString(temp.File("no folder\\x.ini"), "General", "Key", "v"));
}

TEST(IniFiles, LongValuesAreCut) {
  wintest::TempFolder temp;
  const std::string file = temp.File("long.ini");
  const std::string fits(kIniValueMax, 'a');
  std::string longer(kIniValueMax + 60, 'b');
  longer[kIniValueMax] = 'c';
  ASSERT_TRUE(WriteIniString(file, "S", "Fits", fits));
  ASSERT_TRUE(WriteIniString(file, "S", "Longer", longer));
  EXPECT_EQ(ReadIniString(file, "S", "Fits", ""), fits);
  EXPECT_EQ(ReadIniString(file, "S", "Longer", ""), longer.substr(0, kIniValueMax));
}

}  // namespace
