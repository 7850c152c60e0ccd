// Tests for reading switches from a raw command line.
#include "core/Switches.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kPath = "C:\\Program Files\\Acme\\setup.exe";

CommandLine Line(const std::string& raw) {
  return CommandLine{raw, kPath};
}

TEST(Switches, CommandArguments) {
  struct Case {
    const char* what;
    CommandLine line;
    std::string want;
  } cases[] = {
      {"quoted path", Line("\"C:\\Program Files\\Acme\\setup.exe\" /hide"), "/hide"},
      {"unquoted path", Line("C:\\Progra~1\\Acme\\setup.exe /hide"), "/hide"},
      {"name only", Line("setup.exe /hide"), "/hide"},
      {"name in other case", Line("\"c:\\program files\\acme\\SETUP.EXE\"  /a /b "), "/a /b"},
      {"no arguments", Line("\"C:\\Program Files\\Acme\\setup.exe\""), ""},
      {"no arguments, trailing blank", Line("\"C:\\Program Files\\Acme\\setup.exe\" "), ""},
      {"one character left is dropped", Line("setup.exe\" x"), ""},
      {"short path kept", Line("C:\\PROGRA~1\\ACME\\SETUP~1.EXE /hide"),
       "C:\\PROGRA~1\\ACME\\SETUP~1.EXE /hide"},
      {"relative name without extension kept", Line("setup /hide"), "setup /hide"},
      {"empty line", Line(""), ""},
      {"empty program path", CommandLine{"  x.exe /a  ", ""}, "x.exe /a"},
      {"full path match when name has no file part", CommandLine{"C:\\dir\\ /x", "C:\\dir\\"},
       "/x"},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandArguments(c.line), c.want) << c.what;
}

TEST(Switches, SwitchList) {
  EXPECT_EQ(SwitchList("/a=1 /b=\"x y\"", '/'),
            "\x01\x01"
            "a=1\x01"
            "b=x y\x01");
  EXPECT_EQ(SwitchList("-a -b", '-'),
            "\x01\x01"
            "a\x01"
            "b\x01");
  EXPECT_EQ(SwitchList("", '/'), "\x01 \x01");
}

TEST(Switches, GetSwitch) {
  const std::string exe = "\"" + kPath + "\" ";
  struct Case {
    const char* what;
    std::string args, name, def, want;
  } cases[] = {
      {"quoted path with a blank", "/SpanCdLvl=2 /SpanDiskFName1=\"D:\\My Disk\\setup.exe\"",
       "/SpanDiskFName1=", "?", "D:\\My Disk\\setup.exe"},
      {"name in lower case", "/spancdlvl=2", "/SpanCdLvl=", "?", "2"},
      {"value keeps its case", "/Dir=AbC", "/dir=", "?", "AbC"},
      {"absent", "/a=1", "/b=", "?", "?"},
      {"absent, default trimmed", "/a=1", "/b=", " d ", "d"},
      {"present but empty", "/SpanCdLvl= /hide", "/SpanCdLvl=", "?", ""},
      {"present but empty at end", "/SpanCdLvl=", "/SpanCdLvl=", "?", ""},
      {"blanks around '='", "/SpanCdLvl = 2", "/SpanCdLvl=", "?", "2"},
      {"name without '='", "/SleepX=5", "/SleepX", "?", "5"},
      {"name without prefix", "/SleepX=5", "SleepX=", "?", "5"},
      {"dash prefix", "-level=3 -x /level=4", "-level=", "?", "3"},
      {"other prefix does not end a value", "-level=3 /level=4", "-level=", "?", "3 /level=4"},
      {"slash prefix ignores dashes", "-level=3 /level=4", "/level=", "?", "4"},
      {"first occurrence wins", "/a=1 /a=2", "/a=", "?", "1"},
      {"value with blanks", "/msg=hello big world /x=1", "/msg=", "?", "hello big world"},
      {"value cut at blank and prefix", "/p=C:\\a /b\\c", "/p=", "?", "C:\\a"},
      {"rest of a cut value is a switch", "/p=C:\\a /b=c", "/b=", "?", "c"},
      {"needs blank before prefix", "/x=a/b=1", "/b=", "?", "?"},
      {"no partial name", "/xa=1", "/a=", "?", "?"},
      {"value trimmed", "/a=  v  /b=1", "/a=", "?", "v"},
      {"flag is not a value switch", "/hide", "/hide", "?", "?"},
      {"empty name", "/a=1", "  ", "?", "?"},
      {"prefix only", "/a=1", "/", "?", "?"},
      {"equals in value", "/WM_MSG=1:2=3", "/WM_MSG=", "?", "1:2=3"},
      {"program path is not a switch", "", "/hide", "?", "?"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetSwitch(Line(exe + c.args), c.name, c.def), c.want) << c.what;
}

TEST(Switches, SwitchesAfterUnmatchedProgramPath) {
  // A short 8.3 path stays in the argument text, but the switches after it are still found.
  const CommandLine line{"C:\\PROGRA~1\\ACME\\SETUP~1.EXE /SpanCdLvl=2 /hide", kPath};
  EXPECT_EQ(GetSwitchInt(line, "/SpanCdLvl=", 1), 2);
  EXPECT_TRUE(HasSwitch(line, "/hide"));
}

TEST(Switches, GetSwitchInt) {
  struct Case {
    const char* what;
    std::string args, name;
    std::int64_t def, want;
  } cases[] = {
      {"value", "/SpanCdLvl=2 /SpanDiskFName1=\"D:\\a b\"", "/SpanCdLvl=", 1, 2},
      {"absent", "/hide", "/SpanCdLvl=", 1, 1},
      {"empty", "/SpanCdLvl=", "/SpanCdLvl=", 1, 1},
      {"negative", "/STOP=-1", "/STOP=", 7, -1},
      {"not a number", "/WAIT=ten", "/WAIT=", 0, 0},
      {"trailing text", "/WAIT=10s", "/WAIT=", 0, 0},
      {"blanks around '='", "/SpanCdLvl = 2", "/SpanCdLvl=", 1, 2},
      {"quoted number", "/SleepX=\"30\"", "/SleepX=", -1, 30},
      {"too large", "/TEST=99999999999999999999", "/TEST=", -1, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetSwitchInt(Line("\"" + kPath + "\" " + c.args), c.name, c.def), c.want) << c.what;
}

TEST(Switches, HasSwitch) {
  struct Case {
    const char* what;
    std::string raw, name;
    bool want;
  } cases[] = {
      {"at the end", "setup.exe /a /hide", "/hide", true},
      {"in the middle", "setup.exe /hide /a", "/hide", true},
      {"other case", "setup.exe /HIDE", "/hide", true},
      {"longer flag", "setup.exe /hidden", "/hide", false},
      {"absent", "setup.exe /a", "/hide", false},
      {"name trimmed", "setup.exe /hide", "  /hide ", true},
      {"empty name", "setup.exe /a b", "", false},
      {"blank name", "setup.exe /a b", "   ", false},
      {"no arguments", "setup.exe", "/hide", false},
      {"quotes are kept for the test", "setup.exe \"/hide\"", "/hide", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasSwitch(Line(c.raw), c.name), c.want) << c.what;
}

}  // namespace
