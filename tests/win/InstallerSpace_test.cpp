// End-to-end: the temporary-drive question before the extraction. The notice flag asks the "s2"
// question; too little room on the temporary drive asks the "s3" question whatever the flag (a
// small tmpfs mounted inside drive C serves as the temporary folder); No extracts nothing; Yes
// goes on, and the first write that does not fit is reported with its figures.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "InstallerRun.h"
#include "TestInstaller.h"
#include "payload/win/SetupFolder.h"

namespace {

using e2e::Contains;
using e2e::Quoted;

// The Unix path Wine gives a Windows path; empty outside Wine.
std::string UnixPathOf(const std::string& path) {
  using Fn = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return "";
  std::wstring wide(path.begin(), path.end());
  char* unix = toUnix(wide.c_str());
  if (unix == nullptr) return "";
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Starts a Unix shell command line (Wine starts Unix programs too; their handles do not tell
// when they end).
void RunUnix(const std::string& command) {
  std::string line = "/bin/sh -c \"" + command + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// Waits until the volume of path is a small one of at most 2 MiB (or, with small false, is not).
bool WaitForVolumeSize(const std::string& path, bool small) {
  for (int i = 0; i < 100; ++i) {
    ULARGE_INTEGER total{};
    const bool isSmall = GetDiskFreeSpaceExA(path.c_str(), nullptr, &total, nullptr) &&
                         total.QuadPart <= 2u * 1048576u;
    if (isSmall == small) return true;
    Sleep(50);
  }
  return false;
}

// A folder on drive C with a tmpfs of 1 MiB mounted on it, for the test's life.
class SmallFolder {
 public:
  SmallFolder() {
    path_ = "C:\\tarvo_small_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    unix_ = UnixPathOf(path_);
    if (unix_.empty()) return;
    RunUnix("mount -t tmpfs -o size=1m tarvo_small '" + unix_ + "'");
    mounted_ = WaitForVolumeSize(path_, true);
    CreateDirectoryA(Temp().c_str(), nullptr);
  }
  ~SmallFolder() {
    if (mounted_) {
      RemoveDirectoryA(Temp().c_str());
      RunUnix("umount '" + unix_ + "'");
      WaitForVolumeSize(path_, false);
    }
    RemoveDirectoryA(path_.c_str());
  }
  SmallFolder(const SmallFolder&) = delete;
  SmallFolder& operator=(const SmallFolder&) = delete;

  bool Mounted() const { return mounted_; }
  std::string Temp() const { return path_ + "\\temp"; }

 private:
  std::string path_;
  std::string unix_;
  bool mounted_ = false;
};

// A drive letter mapped (through the prefix's dosdevices) to a tmpfs of 1 MiB, for the test's
// life.
class SmallDrive {
 public:
  SmallDrive() {
    const std::string c = UnixPathOf("C:\\");  // .../dosdevices/c:/
    const size_t cut = c.rfind("c:");
    if (cut == std::string::npos) return;
    for (char letter = 'S'; letter > 'L' && letter_ == 0; --letter) {
      const std::string root = std::string(1, letter) + ":\\";
      if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) letter_ = letter;
    }
    if (letter_ == 0) return;
    link_ = c.substr(0, cut) + static_cast<char>(letter_ - 'A' + 'a') + ":";
    mount_ = "/tmp/tarvo_small_drive_" + std::to_string(GetCurrentProcessId());
    RunUnix("mkdir -p '" + mount_ + "' && mount -t tmpfs -o size=1m tarvo_small '" + mount_ +
            "' && ln -s '" + mount_ + "' '" + link_ + "'");
    mounted_ = WaitForVolumeSize(Root(), true);
  }
  ~SmallDrive() {
    if (link_.empty()) return;
    RunUnix("rm -f '" + link_ + "'; umount '" + mount_ + "'; rmdir '" + mount_ + "'");
    for (int i = 0; i < 100 && GetFileAttributesA(Root().c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
      Sleep(50);
  }
  SmallDrive(const SmallDrive&) = delete;
  SmallDrive& operator=(const SmallDrive&) = delete;

  bool Mounted() const { return mounted_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  char letter_ = 0;
  std::string link_;
  std::string mount_;
  bool mounted_ = false;
};

// The temporary folder the stubs started meanwhile inherit.
class TempVariables {
 public:
  explicit TempVariables(const std::string& folder) {
    for (const char* name : {"TEMP", "TMP"}) {
      char value[MAX_PATH] = {};
      GetEnvironmentVariableA(name, value, MAX_PATH);
      saved_.emplace_back(name, value);
      SetEnvironmentVariableA(name, folder.c_str());
    }
  }
  ~TempVariables() {
    for (const auto& [name, value] : saved_) SetEnvironmentVariableA(name.c_str(), value.c_str());
  }
  TempVariables(const TempVariables&) = delete;
  TempVariables& operator=(const TempVariables&) = delete;

 private:
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST(InstallerSpace, NoticeFlagAsksTheS2Question) {
  struct Case {
    const char* name;
    const char* answer;
    bool extracted;
  };
  const Case cases[] = {{"Yes goes on", "Yes", true}, {"No extracts nothing", "No", false}};
  for (const Case& c : cases) {
    const e2e::Stage stage;
    e2e::Payload p;
    p.engineArgs = stage.ReportArg();
    p.flags = payload::kFlagTempNotice;
    ASSERT_EQ(stage.Write(p), "") << c.name;
    const auto run = e2e::RunInstaller(stage.capture, Quoted(stage.installer), stage.installer,
                                       e2e::Press(c.answer));
    ASSERT_TRUE(run.ended) << c.name;
    ASSERT_EQ(run.boxes.size(), 1u) << c.name;
    const boxdriver::BoxContents& box = run.boxes[0].contents;
    EXPECT_EQ(box.caption, "Confirm") << c.name;
    EXPECT_TRUE(Contains(box.text, "Tarvo will extract files to your Temp Drive (C:)"))
        << c.name << ": " << box.text;
    EXPECT_TRUE(Contains(box.text, "Continue with Setup?")) << c.name << ": " << box.text;
    EXPECT_EQ(e2e::ReadEngineReport(stage.report).present, c.extracted) << c.name;
    EXPECT_EQ(run.exitCode, 0u) << c.name;
    EXPECT_FALSE(e2e::FolderExists(SetupFolderFor(stage.installer))) << c.name;
  }
}

TEST(InstallerSpace, TooLittleRoomAsksTheS3QuestionWhateverTheFlag) {
  SmallFolder small;
  if (!small.Mounted()) GTEST_SKIP() << "no small tmpfs could be mounted inside drive C";
  struct Case {
    const char* name;
    std::uint8_t flags;
    const char* answer;
  };
  const Case cases[] = {{"flag clear, No", 0, "No"},
                        {"flag set, No", payload::kFlagTempNotice, "No"},
                        {"flag clear, Yes", 0, "Yes"}};
  for (const Case& c : cases) {
    const e2e::Stage stage;
    e2e::Payload p;
    p.engineArgs = stage.ReportArg();
    p.flags = c.flags;
    p.requiredSpace = 8u << 20;
    // Neither fits beside the engine; only the first failure is reported.
    p.files = {{"big1.bin", std::string(2u << 20, 'a'), 0, ""},
               {"big2.bin", std::string(2u << 20, 'b'), 0, ""}};
    ASSERT_EQ(stage.Write(p), "") << c.name;

    e2e::RunResult run;
    std::string folder;
    {
      const TempVariables temp(small.Temp());
      folder = SetupFolderFor(stage.installer);
      run = e2e::RunInstaller(stage.capture, Quoted(stage.installer), "", e2e::Press(c.answer));
    }
    ASSERT_TRUE(run.ended) << c.name;
    ASSERT_GE(run.boxes.size(), 1u) << c.name;
    const boxdriver::BoxContents& question = run.boxes[0].contents;
    EXPECT_TRUE(Contains(question.text, "Limited Free Space on your Temp Drive! (C:)"))
        << c.name << ": " << question.text;
    EXPECT_TRUE(Contains(question.text, "8.00 MB")) << c.name << ": " << question.text;
    const bool yes = std::string(c.answer) == "Yes";
    if (yes) {
      ASSERT_EQ(run.boxes.size(), 2u) << c.name << ": one failed write is reported";
      const std::string& text = run.boxes[1].contents.text;
      EXPECT_TRUE(Contains(text, folder + "\\big1.bin")) << text;
      EXPECT_TRUE(Contains(text, "Unable to save Extracted File!")) << text;
      EXPECT_TRUE(Contains(text, "Data Size:")) << text;
      EXPECT_TRUE(Contains(text, "2097152 Bytes")) << text;
      EXPECT_TRUE(Contains(text, "Bytes Free:")) << text;
    } else {
      EXPECT_EQ(run.boxes.size(), 1u) << c.name;
    }
    EXPECT_EQ(e2e::ReadEngineReport(stage.report).present, yes) << c.name;
    EXPECT_FALSE(e2e::FolderExists(folder)) << c.name;
  }
}

// A temporary drive without room, and drive C with plenty: the extraction moves to a folder on C
// without asking, and that folder is removed afterwards.
TEST(InstallerSpace, TooLittleRoomOnTheTempDriveMovesToARoomierDrive) {
  SmallDrive small;
  if (!small.Mounted()) GTEST_SKIP() << "no small drive could be mapped";
  const e2e::Stage stage;
  e2e::Payload p;
  p.engineArgs = stage.ReportArg();
  p.requiredSpace = 8u << 20;
  p.files = {{"a.txt", "a", 0, ""}};
  ASSERT_EQ(stage.Write(p), "");
  e2e::RunResult run;
  {
    const TempVariables temp(small.Root());
    run = e2e::RunInstaller(stage.capture, Quoted(stage.installer), "", nullptr);
  }
  ASSERT_TRUE(run.ended);
  EXPECT_TRUE(run.boxes.empty()) << "the roomier drive needs no question";
  const e2e::EngineReport engine = e2e::ReadEngineReport(stage.report);
  ASSERT_TRUE(engine.present);
  const std::string folder = engine.program.substr(0, engine.program.find_last_of('\\'));
  // "C:\TEMP" and "_" with a number, or "C:\TEMP\TEMP_..." when C:\TEMP exists.
  EXPECT_TRUE(folder.rfind("C:\\TEMP_", 0) == 0 || folder.rfind("C:\\TEMP\\TEMP_", 0) == 0)
      << folder;
  EXPECT_TRUE(engine.files.count("a.txt")) << folder;
  EXPECT_FALSE(e2e::FolderExists(folder)) << "the alternative folder is removed";
}

}  // namespace
