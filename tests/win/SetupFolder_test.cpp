// The extraction folder, the roomier-drive fallback and the temporary-drive question under Wine,
// on real folders that each test removes.
#include "payload/win/SetupFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoxDriver.h"
#include "ScratchTree.h"
#include "TestInstaller.h"
#include "payload/PayloadFormat.h"
#include "payload/TGFileInfo.h"
#include "payload/win/Files.h"
#include "ui/LangStrings.h"

namespace {

// Every test starts and ends as a new run would: no folders chosen yet.
class SetupFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTempFolderState(); }
  void TearDown() override { ResetTempFolderState(); }
};

using Scratch = wintest::ScratchTree;

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

bool AllDigitsInRange(const std::string& digits) {
  if (digits.size() < 5 || digits.size() > 6 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const long n = std::stol(digits);
  return n >= 10000 && n <= 100000;
}

TEST_F(SetupFolderTest, NamedAfterTheProgramTimeEmptiedOnFirstUseAndKept) {
  const std::string expected =
      SystemTempFolder() + "SETUP_" + std::to_string(FileDosDateTime(ProgramFile()) & 0xFFFF);
  // A leftover of an earlier run, read-only file included.
  ForceDirectories(expected + "\\old");
  WriteStringToFile(expected + "\\old\\left.txt", "x", 0, false);
  SetFileAttributesA((expected + "\\old\\left.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_EQ(SetupFolder(), expected);
  EXPECT_TRUE(DirectoryExists(expected));
  EXPECT_TRUE(Entries(expected).size() == 2) << "only . and .. are left";
  WriteStringToFile(expected + "\\mine.txt", "x", 0, false);
  EXPECT_EQ(SetupFolder(), expected);
  EXPECT_TRUE(FileExists(expected + "\\mine.txt")) << "later calls keep the folder as it is";
  EXPECT_TRUE(RemoveTree(expected, true));
}

TEST_F(SetupFolderTest, CopiesOfOneInstallerShareTheFolderOthersDoNot) {
  Scratch dir;
  const std::uint32_t day = ((2005 - 1980) << 9 | 4 << 5 | 20) << 16;
  const std::string a = dir.At("a.exe");
  const std::string b = dir.At("b.exe");
  const std::string copy = dir.At("Y_a.exe");
  WriteStringToFile(a, "a", day | (13 << 11 | 45 << 5 | 15), false);
  WriteStringToFile(b, "b", day | (13 << 11 | 46 << 5 | 15), false);
  ASSERT_TRUE(CopyFileA(a.c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(SetupFolderFor(a), SetupFolderFor(copy));
  EXPECT_NE(SetupFolderFor(a), SetupFolderFor(b));
  EXPECT_EQ(SetupFolderFor(a),
            SystemTempFolder() + "SETUP_" + std::to_string(13 << 11 | 45 << 5 | 15));
  EXPECT_FALSE(DirectoryExists(SetupFolderFor(a))) << "naming creates nothing";
}

TEST_F(SetupFolderTest, EnoughTempSpace) {
  Scratch dir;
  const std::string installer = dir.At("setup.exe");
  ASSERT_TRUE(wintest::WriteInstaller(installer, {}));
  EXPECT_TRUE(EnoughTempSpace(dir.Path(), installer));
  EXPECT_FALSE(EnoughTempSpace(dir.At("missing"), installer)) << "the folder must exist";
  EXPECT_FALSE(EnoughTempSpace("Q:\\nothere", installer)) << "free space unknown";
}

TEST_F(SetupFolderTest, ProbesLeaveTheDriveAsTheyFoundIt) {
  const std::string temp = "C:\\TEMP";
  const bool hadTemp = DirectoryExists(temp);
  const std::vector<std::string> before = Entries(temp);
  EXPECT_GT(ProbeDriveFreeSpace('C'), 0);
  EXPECT_EQ(DirectoryExists(temp), hadTemp) << "a probe at C:\\TEMP itself is removed again";
  EXPECT_EQ(Entries(temp), before);

  // With C:\TEMP there, the probe goes into a fresh folder inside it and leaves the rest alone.
  ForceDirectories(temp);
  WriteStringToFile(temp + "\\tarvo_keep.txt", "keep", 0, false);
  const std::vector<std::string> withKeep = Entries(temp);
  EXPECT_GT(ProbeDriveFreeSpace('C'), 0);
  EXPECT_EQ(Entries(temp), withKeep);
  EXPECT_EQ(ReadFileBytes(temp + "\\tarvo_keep.txt", 0, 0), "keep");
  DeleteFileA((temp + "\\tarvo_keep.txt").c_str());
  if (!hadTemp) RemoveDirectoryA(temp.c_str());

  EXPECT_EQ(ProbeDriveFreeSpace('Q'), 0) << "no such drive";
  EXPECT_EQ(ProbeDriveFreeSpace('1'), 0) << "not a letter";
}

TEST_F(SetupFolderTest, FindRoomierDrive) {
  const std::string temp = SystemTempFolder();
  const bool onlyTheTempDrive = GetDriveTypeA("D:\\") != DRIVE_FIXED &&
                                GetDriveTypeA("E:\\") != DRIVE_FIXED && temp.rfind("C:", 0) == 0;
  if (onlyTheTempDrive) {
    EXPECT_FALSE(FindRoomierDrive()) << "the temporary drive is the roomiest";
    EXPECT_EQ(AlternativeFolder(), "");
  }
  ResetTempFolderState("D:\\TEMP");
  EXPECT_TRUE(FindRoomierDrive()) << "a root once chosen stays";
}

TEST_F(SetupFolderTest, AlternativeFolderIsMadeOnceAndRemoved) {
  Scratch dir;
  ResetTempFolderState(dir.At("TEMP"));
  const std::string folder = AlternativeFolder();
  const std::string prefix = dir.At("TEMP_");
  ASSERT_EQ(folder.rfind(prefix, 0), 0u) << folder;
  EXPECT_TRUE(AllDigitsInRange(folder.substr(prefix.size()))) << folder;
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(AlternativeFolder(), folder) << "kept for the run";
  WriteStringToFile(folder + "\\part.bin", "x", 0, false);
  RemoveAlternativeFolder();
  EXPECT_FALSE(DirectoryExists(folder));

  ResetTempFolderState();
  EXPECT_EQ(AlternativeFolder(), "") << "no root chosen";
  RemoveAlternativeFolder();  // nothing to do
}

TEST_F(SetupFolderTest, ConfirmTempSpaceAsksWhenItShould) {
  Scratch dir;
  struct Case {
    const char* name;
    std::uint8_t flags;
    std::vector<std::pair<std::string, std::string>> language;
    std::string folder;
    int click;  // 0 Yes, 1 No
    bool expectBox, answer;
    std::vector<std::string> shown;  // pieces of the box text, in order
    std::string caption, buttons;
  } cases[] = {
      {"no notice flag, enough room", 0, {}, dir.Path(), 0, false, true, {}, "", ""},
      {"notice flag, enough room, Yes",
       payload::kFlagTempNotice,
       {},
       dir.Path(),
       0,
       true,
       true,
       {"CONFIRM", "Tarvo will extract files to your Temp Drive (C:)",
        "Estimated space required on your Temp drive is:", " MB",
        "Free space available on your Temp drive is:", "Continue with Setup?"},
       "Confirm",
       "[&Yes][&No]"},
      {"notice flag, No",
       payload::kFlagTempNotice,
       {},
       dir.Path(),
       1,
       true,
       false,
       {},
       "Confirm",
       "[&Yes][&No]"},
      {"free space unknown",
       0,
       {},
       "q:\\nothere",
       0,
       true,
       true,
       {"Limited Free Space on your Temp Drive! (Q:)", "0.000 MB", "0.000 MB"},
       "Confirm",
       "[&Yes][&No]"},
      {"the language's texts",
       payload::kFlagTempNotice,
       {{"s2", "Entpacken nach <DRIVE>"},
        {"s4", " | <SPACE_REQ>"},
        {"s5", " | frei"},
        {"s6", " | Weiter?"},
        {"Confirm", "Frage"},
        {"BtnText", "|O|A|&Ja|&Nein|"}},
       dir.Path(),
       1,
       true,
       false,
       {"Frage", "Entpacken nach C: | 0.000 | frei | Weiter?"},
       "Frage",
       "[&Ja][&Nein]"},
  };
  for (const Case& c : cases) {
    const std::string installer = dir.At("setup.exe");
    wintest::InstallerSpec recipe;
    recipe.flags = c.flags;
    recipe.language = c.language;
    ASSERT_TRUE(wintest::WriteInstaller(installer, recipe)) << c.name;
    ResetLangSection();
    const TGFileInfo reader(installer);
    const boxdriver::Driven d = boxdriver::ShowAndDrive(
        [&] { return int{ConfirmTempSpace(c.folder, installer, reader)}; },
        [&](HWND box, const boxdriver::BoxContents&) { boxdriver::ClickButton(box, c.click); });
    EXPECT_EQ(d.found, c.expectBox) << c.name;
    EXPECT_FALSE(d.rescued) << c.name;
    EXPECT_EQ(d.result, c.answer ? 1 : 0) << c.name;
    if (!c.expectBox) continue;
    std::size_t at = 0;
    for (const std::string& piece : c.shown) {
      const std::size_t found = d.contents.text.find(piece, at);
      EXPECT_NE(found, std::string::npos) << c.name << ": '" << piece << "' in " << d.contents.text;
      if (found != std::string::npos) at = found + piece.size();
    }
    EXPECT_EQ(d.contents.caption, c.caption) << c.name;
    std::string buttons;
    for (const std::string& b : d.contents.buttons) buttons += "[" + b + "]";
    EXPECT_EQ(buttons, c.buttons) << c.name;
  }
  ResetLangSection();
}

}  // namespace
