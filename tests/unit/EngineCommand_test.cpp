// Tests of the engine's command line, RemoveSwitch and the hand-off names.
#include "payload/EngineCommand.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineCommand, RemoveSwitch) {
  struct Case {
    const char* name;
    const char* text;
    const char* sw;
    const char* expected;
  };
  const Case cases[] = {
      {"value and the blank after it go", "Engine.exe /hide /SpanCdLvl=2 /TH_ID=_12",
       "/SpanCdLvl=", "Engine.exe /hide /TH_ID=_12"},
      {"at the end, the blank before stays", "Engine.exe /hide /SpanCdLvl=2",
       "/SpanCdLvl=", "Engine.exe /hide "},
      {"quoted value with blanks", "E.exe /SpanDiskFName1=\"C:\\a b\\s.exe.001\" /OriginExe=\"x\"",
       "/SpanDiskFName1=", "E.exe /OriginExe=\"x\""},
      {"only the first occurrence", "E.exe /SpanCdLvl=2 /SpanCdLvl=3",
       "/SpanCdLvl=", "E.exe /SpanCdLvl=3"},
      {"exact case only", "E.exe /spancdlvl=2 /Q", "/SpanCdLvl=", "E.exe /spancdlvl=2 /Q"},
      {"absent switch", "E.exe /Q", "/SpanCdLvl=", "E.exe /Q"},
      {"empty switch", "E.exe /Q", "", "E.exe /Q"},
      {"empty text", "", "/SpanCdLvl=", ""},
      {"whole text is the switch", "/SpanCdLvl=2", "/SpanCdLvl=", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveSwitch(c.text, c.sw), c.expected) << c.name;
}

TEST(EngineCommand, HandOffNames) {
  EXPECT_EQ(ThreadTag(4242), "_4242");
  EXPECT_EQ(HandOffAtomName("_7"), "AutoUpdateAtomTokenByTarvo_7");
  EXPECT_EQ(EngineDialogClass("_7"), ".SDialog_Class_Name._7");
}

TEST(EngineCommand, CommandLine) {
  struct Case {
    const char* name;
    EngineLaunch launch;
    const char* expected;
  };
  const Case cases[] = {
      {"plain engine, no arguments",
       {"C:\\T\\SETUP_1", "Engine.exe*", "", "_12", "C:\\in\\setup.exe", false},
       "C:\\T\\SETUP_1\\Engine.exe /TH_ID=_12 /OriginExe=\"C:\\in\\setup.exe\""},
      {"folder with its backslash",
       {"C:\\T\\SETUP_1\\", "Engine.exe*", "", "_12", "C:\\in\\setup.exe", false},
       "C:\\T\\SETUP_1\\Engine.exe /TH_ID=_12 /OriginExe=\"C:\\in\\setup.exe\""},
      {"own arguments, then the entry's text",
       {"C:\\T\\S", "Engine.exe* /Q ", "/hide /L=1", "_3", "C:\\in\\setup.exe", false},
       "C:\\T\\S\\Engine.exe /hide /L=1 /Q /TH_ID=_3 /OriginExe=\"C:\\in\\setup.exe\""},
      {"engine name trimmed",
       {"C:\\T\\S", " Engine.exe *", "", "_3", "C:\\in\\setup.exe", false},
       "C:\\T\\S\\Engine.exe /TH_ID=_3 /OriginExe=\"C:\\in\\setup.exe\""},
      {"caller's origin passes once",
       {"C:\\T\\S", "Engine.exe*", "/OriginExe=\"D:\\x.exe\"", "_3", "C:\\in\\setup.exe", false},
       "C:\\T\\S\\Engine.exe /OriginExe=\"D:\\x.exe\" /TH_ID=_3"},
      {"lower-case origin is another switch",
       {"C:\\T\\S", "Engine.exe*", "/originexe=a", "_3", "C:\\in\\setup.exe", false},
       "C:\\T\\S\\Engine.exe /originexe=a /TH_ID=_3 /OriginExe=\"C:\\in\\setup.exe\""},
      {"update agent",
       {"C:\\T\\S", "Engine.exe*", "", "_3", "C:\\in\\setup.exe", true},
       "C:\\T\\S\\Engine.exe /TH_ID=_3 /OriginExe=\"C:\\in\\setup.exe\" /AutoUpdateProg"},
      {"spanned switches never reach the engine",
       {"C:\\T\\S", "Engine.exe*",
        "/SpanCdLvl=2 /SpanDiskFName1=\"C:\\in\\setup.exe.001\" /OriginExe=\"C:\\in\\setup.exe\"",
        "_3", "C:\\T\\S\\Y_setup.exe", false},
       "C:\\T\\S\\Engine.exe /OriginExe=\"C:\\in\\setup.exe\" /TH_ID=_3"},
  };
  for (const Case& c : cases) EXPECT_EQ(EngineCommandLine(c.launch), c.expected) << c.name;
}

TEST(EngineCommand, EntryParts) {
  EXPECT_EQ(EngineFileName("Engine.exe* /Q"), "Engine.exe");
  EXPECT_EQ(EngineArguments("Engine.exe* /Q ", "/hide"), "/hide /Q");
  EXPECT_EQ(EngineArguments("Engine.exe*", " /hide "), "/hide");
  EXPECT_EQ(EngineArguments("Engine.exe* /Q", ""), "/Q");
}

}  // namespace
