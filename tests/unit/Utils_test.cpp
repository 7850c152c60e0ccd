// Tests for the text, number, date and scrambling helpers of Utils (native system facts).
#include "util/Utils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <set>
#include <string>
#include <thread>

namespace {

using namespace std::string_literals;

template <typename T>
struct Case {
  const char* what;
  T got, want;
};

// Each table names its case in the failure message.
template <typename T>
void Check(std::initializer_list<Case<T>> cases) {
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

double Day(int y, int m, int d, int hh = 0, int nn = 0, int ss = 0) {
  double dt = 0;
  EXPECT_TRUE(TryEncodeDateTime(DateTimeParts{y, m, d, hh, nn, ss, 0}, dt));
  return dt;
}

TEST(Utils, TrimAndCase) {
  Check<std::string>({
      {"trim blanks and controls", Trim(" \t\r\n a b \x01"), "a b"},
      {"trim keeps code 255", Trim("\xFF x \xFF"), "\xFF x \xFF"},
      {"trim code 0", Trim("\0a\0"s), "a"},
      {"trim all", Trim("  "), ""},
      {"upper folds ASCII only", UpperCase("abz\xE9{"), "ABZ\xE9{"},
  });
  Check<bool>({
      {"SameText", SameText("aBc", "AbC"), true},
      {"SameText non-ASCII by code", SameText("\xE9", "\xC9"), false},
      {"SameTextTrimmed", SameTextTrimmed(" Abc\t", "aBC"), true},
      {"SameTextTrimmed inner blank", SameTextTrimmed("a b", "ab"), false},
  });
}

TEST(Utils, TextToInt64) {
  Check<std::int64_t>({
      {"plain", TextToInt64Def("123", -1), 123},
      {"negative", TextToInt64Def("-45", -1), -45},
      {"plus", TextToInt64Def("+7", -1), 7},
      {"blanks around", TextToInt64Def(" 8 ", -1), 8},
      {"empty", TextToInt64Def("", -1), -1},
      {"sign only", TextToInt64Def("-", -1), -1},
      {"trailing junk", TextToInt64Def("12a", -1), -1},
      {"hex is not decimal", TextToInt64Def("0x10", -1), -1},
      {"max", TextToInt64Def("9223372036854775807", -1), INT64_MAX},
      {"min", TextToInt64Def("-9223372036854775808", -1), INT64_MIN},
      {"overflow", TextToInt64Def("9223372036854775808", -1), -1},
      {"underflow", TextToInt64Def("-9223372036854775809", -1), -1},
  });
}

TEST(Utils, Searching) {
  Check<std::size_t>({
      {"PosText ignores case", PosText("B", "abcb"), 2},
      {"PosText empty needle", PosText("", "abc"), 0},
      {"PosText longer needle", PosText("abcd", "abc"), 0},
      {"PosStr case-sensitive", PosStr("B", "abcB"), 4},
      {"PosFrom start 1", PosFrom("b", "abcb", 1, false), 2},
      {"PosFrom start 0", PosFrom("b", "abcb", 0, false), 2},
      {"PosFrom negative start", PosFrom("b", "abcb", -5, false), 2},
      {"PosFrom start 3", PosFrom("b", "abcb", 3, false), 4},
      {"PosFrom start at last", PosFrom("b", "abcb", 4, false), 4},
      {"PosFrom start past end", PosFrom("b", "abcb", 5, false), 0},
      {"PosFrom huge start", PosFrom("b", "abcb", INT64_MAX, false), 0},
      {"PosFrom code 0 ends text", PosFrom("b", "xa\0b"s, 2, false), 0},
      {"PosFrom whole text passes code 0", PosFrom("b", "xa\0b"s, 1, false), 4},
      {"PosFrom ignoring case", PosFrom("B", "abc", 2, true), 2},
      {"PosFrom with case", PosFrom("B", "abc", 2, false), 0},
      {"PosFrom empty needle", PosFrom("", "abc", 2, false), 0},
      {"PosTextFrom", PosTextFrom("AB", "abxab", 2), 4},
      {"LastPos", LastPos("ab", "abcab"), 4},
      {"LastPos absent", LastPos("x", "abc"), 0},
      {"LastPos empty", LastPos("", "abc"), 0},
      {"ReversePosText at end", ReversePosText("LO", "hello"), 1},
      {"ReversePosText at start", ReversePosText("he", "hello"), 4},
      {"ReversePosText empty", ReversePosText("", "x"), 0},
  });
  Check<bool>({
      {"StartsWith empty prefix", StartsWith("", "abc", false), false},
      {"StartsWith", StartsWith("ab", "abc", false), true},
      {"StartsWith case", StartsWith("AB", "abc", false), false},
      {"StartsWith ignoring case", StartsWith("AB", "abc", true), true},
      {"StartsWith longer prefix", StartsWith("abcd", "abc", true), false},
      {"EndsWith empty suffix", EndsWith("", "abc", false), true},
      {"EndsWith", EndsWith("bc", "abc", false), true},
      {"EndsWith case", EndsWith("BC", "abc", false), false},
      {"EndsWith ignoring case", EndsWith("BC", "abc", true), true},
      {"EndsWith longer suffix", EndsWith("zabc", "abc", true), false},
  });
}

TEST(Utils, CuttingAndReplacing) {
  Check<std::string>({
      {"TextBefore", TextBefore("key=value=x", "=", "d"), "key"},
      {"TextAfter", TextAfter("key=value=x", "=", "d"), "value=x"},
      {"TextBefore absent", TextBefore("novalue", "=", "d"), "d"},
      {"TextAfter absent", TextAfter("novalue", "=", "d"), "d"},
      {"TextAfter multi-char", TextAfter("a==b", "==", "d"), "b"},
      {"TextAfter empty separator", TextAfter("abc", "", "d"), "d"},
      {"ReplaceAll never rescans", ReplaceAll("aaa", "a", "aa"), "aaaaaa"},
      {"ReplaceAll shrinking", ReplaceAll("aaaa", "aa", "a"), "aa"},
      {"ReplaceAll case-sensitive", ReplaceAll("xAx", "a", "b"), "xAx"},
      {"ReplaceAllText", ReplaceAllText("xAx", "a", "b"), "xbx"},
      {"ReplaceAllText keeps case", ReplaceAllText("AbcABC", "b", "x"), "AxcAxC"},
      {"ReplaceAllText words", ReplaceAllText("Hello HELLO", "hello", "bye"), "bye bye"},
      {"ReplaceAll empty old", ReplaceAll("abc", "", "x"), "abc"},
      {"ReplaceAll absent", ReplaceAll("abc", "z", "x"), "abc"},
      {"ReplaceAll deletion joins", ReplaceAll("aabb", "ab", ""), ""},
      {"ReplaceAll overlapping", ReplaceAll("aaa", "aa", "b"), "ba"},
      {"ReplaceAll code 0", ReplaceAll("a\0b"s, "\0"s, "-"), "a-b"},
      {"ReplaceAll new holds old", ReplaceAll("ab", "ab", "xaby"), "xaby"},
      {"ReplaceChar", ReplaceChar("a.b.c", '.', '\\'), "a\\b\\c"},
      {"ReplaceChar equal", ReplaceChar("a.b", '.', '.'), "a.b"},
      {"ReverseText", ReverseText("abc"), "cba"},
      {"IfThenStr", IfThenStr(true, "a", "b") + IfThenStr(false, "a", "b"), "ab"},
  });
}

TEST(Utils, ReplaceAllStaysLinear) {
  // Large inputs with many matches and cascading deletions must finish quickly.
  const std::string big = std::string(50000, 'a') + std::string(50000, 'b');
  EXPECT_EQ(ReplaceAll(big, "ab", ""), "");
  EXPECT_EQ(ReplaceAll(std::string(100000, 'a'), "a", "bb"), std::string(200000, 'b'));
  EXPECT_EQ(ReplaceAllText(std::string(100000, 'A'), std::string(50000, 'a') + "b", "x"),
            std::string(100000, 'A'));
}

TEST(Utils, Quotes) {
  Check<std::string>({
      {"both ends", StripQuotes("\"\"abc\"", '"', false, false), "abc"},
      {"once", StripQuotes("\"\"abc\"", '"', false, true), "\"abc"},
      {"lone quote", StripQuotes("\"", '"', false, false), ""},
      {"two quotes", StripQuotes("\"\"", '"', false, false), ""},
      {"only at end", StripQuotes("abc\"", '"', false, false), "abc\""},
      {"only at end forced", StripQuotes("abc\"", '"', true, false), "abc"},
      {"forced start", StripQuotes("\"abc", '"', true, true), "abc"},
      {"single char kept", StripQuotes("x", '"', true, false), "x"},
      {"other quote", StripQuotes("'a'", '\'', false, false), "a"},
      {"empty", StripQuotes("", '"', true, false), ""},
      {"UnquoteTrimmed", UnquoteTrimmed("  \"C:\\a b\"  ", false), "C:\\a b"},
      {"UnquoteTrimmed half", UnquoteTrimmed(" \"C:\\a", false), "\"C:\\a"},
      {"UnquoteTrimmed forced", UnquoteTrimmed(" \"C:\\a", true), "C:\\a"},
  });
}

TEST(Utils, Paths) {
  Check<std::string>({
      {"last extension", FileNameNoExt("C:\\dir\\setup.tar.gz", false), "setup.tar"},
      {"all extensions", FileNameNoExt("C:\\dir\\setup.tar.gz", true), "setup"},
      {"after colon", FileNameNoExt("C:file.txt", false), "file"},
      {"dot name", FileNameNoExt(".hidden", false), ""},
      {"dotted folder", FileNameNoExt("dir.d\\name", false), "name"},
      {"no extension", FileNameNoExt("noext", true), "noext"},
      {"slash is not a separator", FileNameNoExt("a/b.c", false), "a/b"},
      {"drive root without", SetTrailingBackslash("C:\\", false), "C:"},
      {"drive root with", SetTrailingBackslash("C:\\", true), "C:\\"},
      {"lone backslash kept", SetTrailingBackslash("\\", true), "\\\\"},
      {"two chars kept", SetTrailingBackslash("a\\", false), "a\\"},
      {"double loses one", SetTrailingBackslash("C:\\dir\\\\", false), "C:\\dir\\"},
      {"appended", SetTrailingBackslash("C:\\dir", true), "C:\\dir\\"},
      {"empty with", SetTrailingBackslash("", true), "\\"},
  });
  EXPECT_FALSE(IsLeadByte('A'));
}

TEST(Utils, Padding) {
  Check<std::string>({
      {"pad", PadLeft("12", 5, ' '), "   12"},
      {"fixed width cuts", PadLeft("abcdef", -4, ' '), "abc."},
      {"fixed width pads", PadLeft("ab", -4, '*'), "**ab"},
      {"fixed width exact", PadLeft("abcd", -4, ' '), "abcd"},
      {"fixed width 3", PadLeft("abcdef", -3, ' '), "ab."},
      {"width -1", PadLeft("abcdef", -1, ' '), "abcdef"},
      {"width -2", PadLeft("abcdef", -2, ' '), "abcdef"},
      {"never shortens", PadLeft("abc", 2, ' '), "abc"},
      {"width 0", PadLeft("", 0, ' '), ""},
      {"ZeroPad", ZeroPad("7", 3), "007"},
      {"ZeroPad long", ZeroPad("1234", 2), "1234"},
      {"IntToZeroPad", IntToZeroPad(42, 5), "00042"},
      {"IntToZeroPad zero width", IntToZeroPad(0, 0), "0"},
  });
}

TEST(Utils, NumberFormatting) {
  Check<std::string>({
      {"group 7 digits", GroupThousands("1234567"), "1,234,567"},
      {"group million", GroupThousands("1000000"), "1,000,000"},
      {"group fraction untouched", GroupThousands("1234.5678"), "1,234.5678"},
      {"group 3 digits", GroupThousands("456"), "456"},
      {"group 4 digits", GroupThousands("1234"), "1,234"},
      {"group 6 digits", GroupThousands("123456"), "123,456"},
      {"group sign", GroupThousands("-123456"), "-123,456"},
      {"group empty", GroupThousands(""), ""},
      {"KB fractional grouped", SizeInKB(1536000, 1, true), "1,500.0"},
      {"KB rounds up", SizeInKB(1025, 0, false), "2"},
      {"KB exact", SizeInKB(1024, 0, false), "1"},
      {"KB zero", SizeInKB(0, 0, false), "0"},
      {"MB zero fractional", SizeInMB(0, 1, true), "0.0"},
      {"MB half", SizeInMB(1572864, 1, false), "1.5"},
      {"KB one decimal", SizeInKB(1075, 1, false), "1.0"},
      {"KB big grouped", SizeInKB(1536000000, 0, true), "1,500,000"},
      {"TB in MB", SizeInMB(INT64_C(5497558138880), 0, true), "5,242,880"},
      {"unit 0 taken as 1", SizeText(5, 0, 0, false), "5"},
      {"negative unit taken as 1", SizeText(5, -3, 1, false), "5.0"},
      {"Fixed", FixedTextWith(3.14159, 2, ","), "3,14"},
      {"Fixed half up", FixedTextWith(2.5, 0, "."), "3"},
      {"Fixed negative half", FixedTextWith(-2.5, 0, "."), "-3"},
      {"Fixed no minus zero", FixedTextWith(-0.004, 2, "."), "0.00"},
      {"Fixed pads decimals", FixedTextWith(1, 3, "."), "1.000"},
      {"Fixed no grouping", FixedTextWith(1234567.891, 1, "."), "1234567.9"},
      {"Fixed negative decimals", FixedTextWith(7.6, -2, "."), "8"},
      {"Fixed huge", FixedTextWith(1e20, 1, ".").substr(0, 5), "10000"},
      {"FixedText C locale", FixedText(0.25, 1), "0.3"},
      {"BoolToText", BoolToText(true) + BoolToText(false), "TRUEFALSE"},
  });
}

TEST(Utils, ParsingHex) {
  Check<std::int64_t>({
      {"hex lower", ParseNumber("ff", 16), 255},
      {"hex trimmed", ParseNumber(" 1A ", 16), 26},
      {"empty", ParseNumber("", 16), 0},
      {"wraps to -1", ParseNumber("FFFFFFFFFFFFFFFF", 16), -1},
      {"wraps past 64 bits", ParseNumber("10000000000000001", 16), 1},
      {"decimal", ParseNumber("12", 10), 12},
      {"bad character", ParseNumber("G", 16), 0},
      {"digit not below base", ParseNumber("19", 8), 0},
      {"inner blank", ParseNumber("1 2", 16), 0},
      {"bad base", ParseNumber("1", 1), 0},
      {"HexToInt64 0x", HexToInt64("0x1F"), 31},
      {"HexToInt64 0X", HexToInt64("0X1f"), 31},
      {"HexToInt64 bare", HexToInt64("1F"), 31},
      {"HexToInt64 prefix only", HexToInt64("0x"), 0},
      {"Min64", Min64(-3, 2), -3},
      {"Max64", Max64(-3, 2), 2},
      {"Clamp64 inside", Clamp64(5, 1, 10), 5},
      {"Clamp64 low", Clamp64(-5, 1, 10), 1},
      {"Clamp64 high", Clamp64(50, 1, 10), 10},
      {"Clamp64 high wins over low", Clamp64(5, 10, 1), 1},
  });
  Check<std::string>({
      {"dump", HexDump("AB", false, false), "4142"},
      {"dump spaced", HexDump("AB", true, false), "41 42 "},
      {"dump prefix", HexDump("\0\xFF"s, false, true), "0x000xFF"},
      {"dump eighth byte", HexDump("123456789", true, false), "31 32 33 34 35 36 37 38  39 "},
      {"dump prefix spaced", HexDump("A", true, true), "0x41 "},
      {"decode", HexDecode("4142"), "AB"},
      {"decode lower", HexDecode("6a6B"), "jk"},
      {"decode odd", HexDecode("414"), "A"},
      {"decode one digit", HexDecode("4"), "\x04"},
      {"decode empty", HexDecode(""), "\0"s},
      {"decode bad pair", HexDecode("zz41"), "\0A"s},
  });
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(HexDecode(HexDump(all, false, false)), all);
}

TEST(Utils, Random) {
  EXPECT_EQ(RandomFromSeed(12345, 1, 1000), RandomFromSeed(12345, 1, 1000));
  EXPECT_EQ(RandomFromSeed(1, 7, 7), 7);
  EXPECT_EQ(RandomFromSeed(1, 9, 3), 9);  // an empty range gives its low end
  std::set<std::int64_t> seen;
  for (std::uint64_t seed = 0; seed < 2000; ++seed) {
    const std::int64_t v = RandomFromSeed(seed, 33, 122);
    ASSERT_GE(v, 33) << "seed " << seed;
    ASSERT_LE(v, 122) << "seed " << seed;
    seen.insert(v);
    const std::int64_t w = RandomFromSeed(seed, INT64_MIN, INT64_MAX);
    ASSERT_GE(w, INT64_MIN);
    const std::int64_t x = RandomFromSeed(seed, -5, -4);
    ASSERT_TRUE(x == -5 || x == -4) << "seed " << seed;
  }
  EXPECT_EQ(seen.size(), 90u);  // both ends and everything between are reachable
  const std::int64_t r = RandomInRange(10, 20);
  EXPECT_GE(r, 10);
  EXPECT_LE(r, 20);
  EXPECT_EQ(RandomText(5, 5), "5");
}

TEST(Utils, MillisecondClock) {
  const std::int64_t a = MillisecondClock();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::int64_t b = MillisecondClock();
  EXPECT_GE(b - a, 25);
  EXPECT_LT(b - a, 5000);
}

TEST(Utils, DateScale) {
  Check<std::int64_t>({
      {"day 0", static_cast<std::int64_t>(Day(1899, 12, 30)), 0},
      {"unix epoch", static_cast<std::int64_t>(Day(1970, 1, 1)), 25569},
      {"leap day", static_cast<std::int64_t>(Day(2000, 2, 29)), 36585},
      {"first day", static_cast<std::int64_t>(Day(1, 1, 1)), -693593},
      {"last day", static_cast<std::int64_t>(Day(9999, 12, 31)), 2958465},
  });
  double dt = 1;
  const DateTimeParts bad[] = {{2001, 2, 29}, {2000, 13, 1},    {0, 1, 1},
                               {10000, 1, 1}, {2000, 1, 1, 24}, {2000, 1, 0}};
  for (const auto& p : bad) {
    EXPECT_FALSE(TryEncodeDateTime(p, dt)) << p.year << "-" << p.month << "-" << p.day;
    EXPECT_EQ(dt, 0);
  }
  DateTimeParts p;
  ASSERT_TRUE(DecodeDateTime(Day(2026, 12, 9, 8, 3, 57), p));
  EXPECT_EQ(p.year * 10000 + p.month * 100 + p.day, 20261209);
  EXPECT_EQ(p.hour * 10000 + p.minute * 100 + p.second, 80357);
}

TEST(Utils, DateFormats) {
  const double dec9 = Day(2026, 12, 9, 8, 3, 57);
  const SysFacts::DateLocale german{".",
                                    "-",
                                    {"Januar", "Februar", "Marz", "April", "Mai", "Juni", "Juli",
                                     "August", "September", "Oktober", "November", "Dezember"}};
  Check<std::string>({
      {"DateDMonY", DateDMonY(dec9), "09-DEC-2026"},
      {"DateTimeDMonY", DateTimeDMonY(dec9), "09-DEC-2026 08:03:57"},
      {"stamp", DateTimeStamp(false, dec9), "09/12/26 08:03:57"},
      {"stamp four digits", DateTimeStamp(true, dec9), "09/12/2026 08:03:57"},
      {"day 0", DateTimeDMonY(0), "30-DEC-1899 00:00:00"},
      {"before day 0", DateTimeDMonY(-1.25), "29-DEC-1899 06:00:00"},
      {"January", DateDMonY(Day(2024, 1, 5)), "05-JAN-2024"},
      {"first year", DateDMonY(-693593), "01-JAN-0001"},
      {"last second", DateTimeDMonY(Day(9999, 12, 31, 23, 59, 59)), "31-DEC-9999 23:59:59"},
      {"rounds into next day", DateTimeDMonY(Day(2000, 2, 28) + 0.9999999999),
       "29-FEB-2000 00:00:00"},
      {"after the calendar", DateTimeDMonY(2958466.5), ""},
      {"before the calendar", DateDMonY(-700000), ""},
      {"NaN", DateTimeStamp(false, std::nan("")), ""},
      {"infinity", DateTimeStamp(true, HUGE_VAL), ""},
      {"huge", DateDMonY(1e300), ""},
      {"month name", FormatDateTime("mmmm yyyy", dec9), "December 2026"},
      {"locale separators", FormatDateTime("dd/mm/yy hh:nn:ss", dec9, german), "09.12.26 08-03-57"},
      {"locale month name", FormatDateTime("d MMMM", dec9, german), "d Dezember"},
      {"other characters copied", FormatDateTime("[yyyy] x", dec9), "[2026] x"},
      {"odd letters", FormatDateTime("yyy", dec9), "26y"},
  });
}

TEST(Utils, Now) {
  const double now = NowDateTime();
  DateTimeParts p;
  ASSERT_TRUE(DecodeDateTime(now, p));
  EXPECT_GE(p.year, 2020);
  const std::int64_t secs = NowSeconds();
  EXPECT_LE(std::llabs(secs - std::llround(now * 86400.0)), 2);
}

TEST(Utils, ScrambleRoundTrips) {
  const std::string texts[] = {"a", "Hello, World!", "x\0y\xFF\x80"s, std::string(300, 'q')};
  for (const auto& plain : texts) {
    for (bool hex : {false, true}) {
      const std::string enc = Scramble(plain, true, hex);
      const std::string raw = hex ? HexDecode(enc) : enc;
      ASSERT_EQ(raw.size(), plain.size() + 13) << plain << " hex " << hex;
      EXPECT_EQ(raw.substr(0, 12), "Scrambled=01");
      EXPECT_GE(raw[12], 33);
      EXPECT_LE(raw[12], 122);
      if (hex) {
        EXPECT_EQ(enc, HexDump(raw, false, false));
      }
      EXPECT_EQ(Scramble(enc, false, hex), plain) << plain << " hex " << hex;
      EXPECT_EQ(Scramble(enc, true, hex), enc) << "already scrambled, hex " << hex;
    }
  }
}

TEST(Utils, ScrambleFixedForms) {
  // Key 'A' (65): position 1 XORs with 1+65 = 0x42, position 2 with (2-65) & 0xFF = 0xC1.
  const std::string encoded = "Scrambled=01A\x03\x83";
  Check<std::string>({
      {"body transform", ScrambleBody("AB", 'A'), "\x03\x83"},
      {"decode known", Scramble(encoded, false, false), "AB"},
      {"decode known hex", Scramble(HexDump(encoded, false, false), false, true), "AB"},
      {"empty", Scramble("", true, true), ""},
      {"decode plain unchanged", Scramble("plain", false, false), "plain"},
      {"decode non-hex unchanged", Scramble("plain", false, true), "plain"},
      {"decode unscrambled hex unchanged", Scramble("4142", false, true), "4142"},
      {"bare prefix decodes to empty", Scramble("Scrambled=01", false, false), ""},
      {"prefix and key only", Scramble("Scrambled=01A", false, false), ""},
      {"encode plain scrambled with hex", Scramble(encoded, true, true), encoded},
  });
}

}  // namespace
