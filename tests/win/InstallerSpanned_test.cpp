// End-to-end: a spanned set of three files (launcher, .001, .002). The launcher starts its copy
// "Y_" in the setup folder with the spanned switches; the copy walks the disks, asks for a missing
// one ("DISK #2") until it is there or the user cancels, runs the engine and deletes itself and its
// folder afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallerRun.h"
#include "WinTempFolder.h"
#include "payload/win/SetupFolder.h"
#include "tarvo-pack/Spanner.h"

namespace {

using e2e::Contains;
using e2e::Pattern;

// The set: scratch\cd\Setup.exe, Setup.exe.001 and Setup.exe.002.
class SpannedSet {
 public:
  SpannedSet() {
    report_ = scratch_.At("report");
    CreateDirectoryA(report_.c_str(), nullptr);
    CreateDirectoryA(scratch_.At("cd").c_str(), nullptr);
    launcher_ = scratch_.At("cd\\Setup.exe");
  }

  // False with a reason when the set could not be made as three files.
  bool Make(std::string& error) {
    e2e::Payload p;
    p.engineArgs = "/E_report=" + report_;
    p.files = {{"one.bin", Pattern(300000, 1), 0, ""},
               {"two.bin", Pattern(300000, 2), 0, ""},
               {"three.txt", "three", 0, ""}};
    const std::string whole = scratch_.At("whole.exe");
    if (!e2e::WriteTestInstaller(whole, p, error)) return false;
    files_ = p.files;
    tarvopack::SplitSettings settings;
    // The first disk carries the stub and the header blocks as well.
    settings.diskSize = wintest::TempFolder::Read(whole).size() - 400000;
    std::vector<tarvopack::BuiltFile> built;
    if (!tarvopack::SplitInstaller(whole, launcher_, settings, built, error)) return false;
    if (built.size() != 3) {
      error = "the split made " + std::to_string(built.size()) + " files";
      return false;
    }
    return true;
  }

  const std::string& Launcher() const { return launcher_; }
  std::string Disk(int n) const { return launcher_ + ".00" + std::to_string(n); }
  const std::string& Report() const { return report_; }
  const std::vector<e2e::Entry>& Files() const { return files_; }

 private:
  e2e::Scratch scratch_{"e2e"};
  std::string report_;
  std::string launcher_;
  std::vector<e2e::Entry> files_;
};

// The ForcePrompt registry value, set for the guard's life (or absent), removed afterwards.
class ForcePromptValue {
 public:
  explicit ForcePromptValue(bool set) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    if (!set) return;
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(h, "ForcePrompt", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(h);
  }
  ~ForcePromptValue() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  ForcePromptValue(const ForcePromptValue&) = delete;
  ForcePromptValue& operator=(const ForcePromptValue&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Velmora\\Tarvo\\SpanDisk";
};

struct SpannedRun {
  e2e::RunResult launcher;
  e2e::RunResult copy;
  std::string copyStart;  // the copy's start line
};

// Runs the launcher, then follows its copy; answer handles the copy's boxes.
SpannedRun RunSet(const wintest::TraceCapture& capture, const SpannedSet& set,
                  const e2e::BoxAnswer& answer) {
  SpannedRun run;
  run.launcher =
      e2e::RunInstaller(capture, e2e::Quoted(set.Launcher()) + " /Span=x", "", nullptr, 20000);
  const DWORD copyId = e2e::WaitForStubStart(capture, "Y_Setup.exe", 20000);
  if (copyId == 0) return run;
  run.copy = e2e::FollowProcess(capture, copyId, "", answer, 60000);
  if (!run.copy.lines.empty()) run.copyStart = run.copy.lines.front();
  return run;
}

TEST(InstallerSpanned, LauncherStartsItsCopyWhichWalksTheDisks) {
  const ForcePromptValue noForcePrompt(false);
  wintest::TraceCapture capture;
  SpannedSet set;
  std::string error;
  ASSERT_TRUE(set.Make(error)) << error;
  const std::string folder = SetupFolderFor(set.Launcher());

  const SpannedRun run = RunSet(capture, set, nullptr);
  ASSERT_TRUE(run.launcher.ended);
  EXPECT_EQ(run.launcher.exitCode, 0u);
  EXPECT_TRUE(run.launcher.boxes.empty());
  EXPECT_EQ(run.copyStart, " ==== STUB START ====> " + folder + "\\Y_Setup.exe /Span=x" +
                               " /SpanCdLvl=2 /SpanDiskFName1=\"" + set.Disk(1) + "\"" +
                               " /OriginExe=\"" + set.Launcher() + "\"<");
  ASSERT_TRUE(run.copy.ended);
  EXPECT_TRUE(run.copy.boxes.empty()) << "every disk is there";
  EXPECT_EQ(run.copy.exitCode, 0u);

  const e2e::EngineReport engine = e2e::ReadEngineReport(set.Report());
  ASSERT_TRUE(engine.present);
  EXPECT_TRUE(Contains(engine.cmdline, " /Span=x /OriginExe=\"" + set.Launcher() + "\" /E_report="))
      << engine.cmdline;
  EXPECT_FALSE(Contains(engine.cmdline, "/SpanCdLvl=")) << engine.cmdline;
  EXPECT_FALSE(Contains(engine.cmdline, "/SpanDiskFName1=")) << engine.cmdline;
  for (const e2e::Entry& f : set.Files()) {
    ASSERT_TRUE(engine.files.count(f.name)) << f.name;
    EXPECT_EQ(engine.files.at(f.name).crc, e2e::Crc32(f.content)) << f.name;
  }
  EXPECT_TRUE(e2e::WaitUntilGone(folder, 20000)) << "the copy deletes itself and its folder";
}

// Disk 2 missing: the prompt names it; OK without the disk asks again; then either the user puts
// the disk in place and the run goes on, or cancels and no engine runs.
TEST(InstallerSpanned, MissingDiskPromptsUntilItIsThereOrCancelled) {
  struct Case {
    const char* name;
    bool supply;  // put the disk in place at the second prompt, else cancel it
  };
  const Case cases[] = {{"cancelled", false}, {"supplied", true}};
  const ForcePromptValue noForcePrompt(false);
  for (const Case& c : cases) {
    wintest::TraceCapture capture;
    SpannedSet set;
    std::string error;
    ASSERT_TRUE(set.Make(error)) << error;
    const std::string away = set.Disk(2) + ".away";
    ASSERT_TRUE(MoveFileA(set.Disk(2).c_str(), away.c_str()));
    int prompts = 0;
    LRESULT autoPlay = 0;
    const SpannedRun run = RunSet(capture, set, [&](const boxdriver::BoxContents& box) {
      ++prompts;
      // While the prompt is up, the copy's main window refuses AutoPlay.
      const HWND main =
          FindWindowA((SetupFolderFor(set.Launcher()) + "\\Y_Setup.exe").c_str(), nullptr);
      DWORD_PTR answer = 0;
      if (main != nullptr &&
          SendMessageTimeoutA(main, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0,
                              SMTO_ABORTIFHUNG, 2000, &answer))
        autoPlay = static_cast<LRESULT>(answer);
      if (prompts == 1) return e2e::ButtonIndex(box, "OK");
      if (c.supply) {
        MoveFileA(away.c_str(), set.Disk(2).c_str());
        return e2e::ButtonIndex(box, "OK");
      }
      return e2e::ButtonIndex(box, "Cancel");
    });
    ASSERT_TRUE(run.copy.ended) << c.name;
    ASSERT_EQ(run.copy.boxes.size(), 2u) << c.name;
    for (const e2e::SeenBox& box : run.copy.boxes) {
      EXPECT_TRUE(Contains(box.contents.text, "Please insert DISK #2 and press OK to continue"))
          << c.name << ": " << box.contents.text;
      EXPECT_EQ(box.contents.caption, "Attention") << c.name;
    }
    EXPECT_EQ(autoPlay, 1) << c.name << ": AutoPlay is refused during the prompt";
    EXPECT_EQ(e2e::ReadEngineReport(set.Report()).present, c.supply) << c.name;
    EXPECT_EQ(run.copy.exitCode, 0u) << c.name;
    EXPECT_TRUE(e2e::WaitUntilGone(SetupFolderFor(set.Launcher()), 20000)) << c.name;
  }
}

// With the ForcePrompt registry value, disk 2 is asked for even though it is there.
TEST(InstallerSpanned, ForcePromptAsksForAPresentDisk) {
  const ForcePromptValue forcePrompt(true);
  wintest::TraceCapture capture;
  SpannedSet set;
  std::string error;
  ASSERT_TRUE(set.Make(error)) << error;
  const SpannedRun run = RunSet(capture, set, e2e::Press("OK"));
  ASSERT_TRUE(run.copy.ended);
  ASSERT_EQ(run.copy.boxes.size(), 1u);
  EXPECT_TRUE(Contains(run.copy.boxes[0].contents.text, "DISK #2"));
  EXPECT_TRUE(e2e::ReadEngineReport(set.Report()).present);
}

}  // namespace
