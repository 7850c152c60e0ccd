// Tests for the choice of the run mode and the instance marker.
#include "core/RunMode.h"

#include <gtest/gtest.h>

namespace {

using runmode::RunMode;

TEST(RunMode, ChoiceFollowsTheFixedOrder) {
  struct Case {
    const char* what;
    runmode::RunFacts facts;
    RunMode want;
  } cases[] = {
      {"plain installer", {false, false, 1, "setup.exe", ".exe"}, RunMode::Installer},
      {"spanned first level", {false, true, 1, "setup.exe", ".exe"}, RunMode::SpanLauncher},
      {"spanned copy", {false, true, 2, "Y_setup.exe", ".exe"}, RunMode::SpanCopy},
      {"level 2 without spanned flags", {false, false, 2, "setup.exe", ".exe"}, RunMode::SpanCopy},
      {"level 3 is an installer", {false, true, 3, "setup.exe", ".exe"}, RunMode::Installer},
      {"plain agent",
       {true, false, 1, "Foo.AutoUpdate.exe", "Foo.AutoUpdate.exe"},
       RunMode::PlainAgent},
      {"plain agent, other case and blanks",
       {true, false, 1, "foo.autoupdate.EXE", " Foo.AutoUpdate.exe "},
       RunMode::PlainAgent},
      {"working copy",
       {true, false, 1, "X_Foo.AutoUpdate.exe", "Foo.AutoUpdate.exe"},
       RunMode::AgentWorkingCopy},
      {"working copy, lower-case x",
       {true, false, 1, "x_foo.autoupdate.exe", "Foo.AutoUpdate.exe"},
       RunMode::AgentWorkingCopy},
      {"agent under another name runs the window",
       {true, false, 1, "Other.exe", "Foo.exe"},
       RunMode::Installer},
      {"agent flag wins over the spanned launcher",
       {true, true, 1, "Foo.exe", "Foo.exe"},
       RunMode::PlainAgent},
      {"agent under another name can be a launcher",
       {true, true, 1, "Other.exe", "Foo.exe"},
       RunMode::SpanLauncher},
      {"agent names without the agent flag",
       {false, false, 1, "Foo.exe", "Foo.exe"},
       RunMode::Installer},
      {"X_ name without the agent flag",
       {false, false, 1, "X_Foo.exe", "Foo.exe"},
       RunMode::Installer},
      {"empty agent name", {true, false, 1, "X_", ""}, RunMode::AgentWorkingCopy},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runmode::RunModeName(runmode::ChooseRunMode(c.facts)),
              std::string(runmode::RunModeName(c.want)))
        << c.what;
}

TEST(RunMode, InstanceMarker) {
  struct Case {
    bool agent;
    const char* path;
    const char* want;
  } cases[] = {
      {false, "C:\\Temp\\Setup.exe", "C:\\Temp\\Setup.exe"},
      {false, "c:\\temp\\SETUP.EXE", "c:\\temp\\SETUP.EXE"},
      {true, "C:\\App\\Foo.AutoUpdate.exe", ".AutoUpdate.Foo.AutoUpdate"},
      {true, "C:\\App\\X_Foo.AutoUpdate.exe", ".AutoUpdate.X_Foo.AutoUpdate"},
      {true, "C:\\App\\noext", ".AutoUpdate.noext"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runmode::InstanceMarkerFor(c.agent, c.path), c.want) << c.path;
}

TEST(RunMode, WorkingCopyClassMatchesTheCopysMarker) {
  // The plain agent finds its running copy by the class the copy registers as its marker.
  for (const char* agent : {"Product.AutoUpdate.exe", "Agent.exe", "a.b.c.exe"}) {
    EXPECT_EQ(runmode::WorkingCopyWindowClass(agent),
              runmode::InstanceMarkerFor(true, std::string("C:\\App\\X_") + agent))
        << agent;
  }
  EXPECT_EQ(runmode::WorkingCopyWindowClass("Product.AutoUpdate.exe"),
            ".AutoUpdate.X_Product.AutoUpdate");
}

TEST(RunMode, FileNameOf) {
  EXPECT_EQ(runmode::FileNameOf("C:\\a\\b.exe"), "b.exe");
  EXPECT_EQ(runmode::FileNameOf("C:b.exe"), "b.exe");
  EXPECT_EQ(runmode::FileNameOf("b.exe"), "b.exe");
  EXPECT_EQ(runmode::FileNameOf("C:\\a\\"), "");
}

}  // namespace
