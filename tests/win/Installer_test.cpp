// End-to-end runs of test installers under Wine: extraction with file times and appends, the
// engine's command line and show state, its exit code and hand-off atom, the dialog wait, the
// shortcut removal, and the damaged setup files.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "InstallerRun.h"
#include "TestInstaller.h"
#include "WinTempFolder.h"
#include "payload/PayloadWriter.h"
#include "payload/win/SetupFolder.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

using e2e::Contains;
using e2e::Pattern;
using e2e::Payload;
using e2e::Quoted;
using e2e::Stage;

std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return payload::PackDosDateTime({year, month, day, hour, minute, second});
}

std::string CurrentFolder() {
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  return cwd;
}

// The thread tag the stub gave the engine ("_" and digits), from the engine's command line.
std::string TagOf(const std::string& cmdline) {
  const std::string key = "/TH_ID=";
  const size_t at = cmdline.find(key);
  if (at == std::string::npos) return "";
  return cmdline.substr(at + key.size(), cmdline.find(' ', at) - at - key.size());
}

int CountOf(const std::string& text, const std::string& needle) {
  int n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

int AnswerFirst(const boxdriver::BoxContents&) {
  return 0;
}

TEST(Installer, NormalRunExtractsStartsTheEngineAndTakesItsExitCode) {
  const Stage stage;
  const std::string& report = stage.report;
  const std::string& installer = stage.installer;
  const std::string big = Pattern(300000, 7);
  Payload p;
  p.engineArgs = stage.ReportArg() + " /E_exit=7";
  p.files = {
      {"readme.txt", "Read me first.\r\n", Dos(2021, 3, 4, 5, 6, 8), ""},
      {"00001#data.bin", Pattern(70000, 3), Dos(2019, 12, 31, 23, 59, 58), ""},
      {"big.dat", big.substr(0, 100000), Dos(2020, 1, 1, 0, 0, 0), ""},
      {"big.dat", big.substr(100000), Dos(2022, 2, 2, 2, 2, 2), ""},  // appended to the first
      {"empty.txt", "", Dos(2018, 6, 7, 8, 9, 10), ""},
  };
  ASSERT_EQ(stage.Write(p), "");
  const std::string folder = SetupFolderFor(installer);

  const auto run =
      e2e::RunInstaller(stage.capture, Quoted(installer) + " /Lang=1", installer, nullptr);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 7u) << "the engine's exit code becomes the stub's";
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(run.windowShown) << "the progress window shows in the foreground";

  const e2e::EngineReport engine = e2e::ReadEngineReport(report);
  ASSERT_TRUE(engine.present);
  const std::string tag = TagOf(engine.cmdline);
  ASSERT_GT(tag.size(), 1u);
  EXPECT_EQ(tag[0], '_');
  EXPECT_EQ(engine.cmdline, folder + "\\Engine.exe /Lang=1 /E_report=" + report +
                                " /E_exit=7 /TH_ID=" + tag + " /OriginExe=\"" + installer + "\"")
      << "own arguments, the entry's text, the thread tag, the origin: in that order";
  EXPECT_TRUE(Contains(run.lines, " ==== WinExec(Engine.exe) >>" + engine.cmdline + "<<"));
  EXPECT_EQ(SameText(engine.program, folder + "\\Engine.exe"), true) << engine.program;
  EXPECT_EQ(engine.cwd, CurrentFolder()) << "the engine runs in the stub's current folder";
  EXPECT_EQ(engine.show, SW_SHOW);
  EXPECT_TRUE(engine.atomFound) << "the hand-off atom exists when the engine starts";

  struct Expected {
    const char* name;
    std::string content;
    std::uint32_t dosTime;
  };
  const Expected files[] = {
      {"readme.txt", p.files[0].content, p.files[0].dosTime},
      {"00001#data.bin", p.files[1].content, p.files[1].dosTime},
      {"big.dat", big, p.files[3].dosTime},  // both pieces, the later time
      {"empty.txt", "", p.files[4].dosTime},
  };
  EXPECT_EQ(engine.files.size(), 5u) << "the engine and four files";
  ASSERT_TRUE(engine.files.count("Engine.exe"));
  EXPECT_EQ(engine.files.at("Engine.exe").dosTime, e2e::kEngineDosTime);
  for (const Expected& f : files) {
    ASSERT_TRUE(engine.files.count(f.name)) << f.name;
    const e2e::FileFacts& got = engine.files.at(f.name);
    EXPECT_EQ(got.size, f.content.size()) << f.name;
    EXPECT_EQ(got.crc, e2e::Crc32(f.content)) << f.name;
    EXPECT_EQ(got.dosTime, f.dosTime) << f.name;
  }

  const auto all = stage.capture.Lines();
  EXPECT_TRUE(Contains(all, "FileInfo.FilesCount=6"));
  EXPECT_TRUE(Contains(all, "========= ForegroundOp=TRUE =========="));
  EXPECT_FALSE(e2e::LineStarting(all, "UnCompressTime: ").empty());
  EXPECT_FALSE(e2e::FolderExists(folder)) << "the setup folder is removed afterwards";
  EXPECT_EQ(GlobalFindAtomA(("AutoUpdateAtomTokenByTarvo" + tag).c_str()), 0);
}

TEST(Installer, HiddenRunAsksNothingShowsNothingAndKeepsTheCallersOrigin) {
  const Stage stage;
  Payload p;
  p.engineArgs = stage.ReportArg();
  p.flags = payload::kFlagTempNotice;  // would ask in the foreground
  p.files = {{"a.txt", "a", 0, ""}};
  ASSERT_EQ(stage.Write(p), "");

  const std::string origin = "/OriginExe=\"C:\\media\\Original Setup.exe\"";
  const auto run = e2e::RunInstaller(stage.capture, Quoted(stage.installer) + " /hide " + origin,
                                     stage.installer, AnswerFirst);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.boxes.empty()) << "no space question when hidden";
  EXPECT_FALSE(run.windowShown);
  const e2e::EngineReport engine = e2e::ReadEngineReport(stage.report);
  ASSERT_TRUE(engine.present);
  EXPECT_EQ(engine.show, SW_HIDE) << "the engine starts hidden";
  EXPECT_EQ(CountOf(engine.cmdline, "/OriginExe="), 1) << engine.cmdline;
  EXPECT_NE(engine.cmdline.find(" /hide " + origin + " /E_report="), std::string::npos)
      << engine.cmdline;
  EXPECT_TRUE(Contains(stage.capture.Lines(), "========= ForegroundOp=FALSE =========="));
  EXPECT_FALSE(e2e::FolderExists(SetupFolderFor(stage.installer)));
}

// The engine's success signal (the atom deleted) decides the shortcut removal that the agent's
// settings files ask for; the exit code is the engine's either way.
TEST(Installer, AtomDecidesTheShortcutRemoval) {
  struct Case {
    const char* name;
    const char* atom;
    const char* exit;
    bool linkRemoved;
    DWORD exitCode;
  };
  const Case cases[] = {
      {"atom deleted: success", "", "0", true, 0},
      {"atom kept: no success", " /E_atom=keep", "5", false, 5},
  };
  for (const Case& c : cases) {
    const Stage stage;
    const e2e::Scratch& scratch = stage.scratch;
    const std::string link = scratch.At("Product start.lnk");
    const std::string other = scratch.At("Check.lnk");
    WritePrivateProfileStringA("UnInstall", "StartUpLink", link.c_str(),
                               scratch.At("Product.original").c_str());
    WritePrivateProfileStringA("UnInstall", "CheckforNewUpdateLink", other.c_str(),
                               scratch.At("Product.original").c_str());
    WritePrivateProfileStringA("NewSetup", "RemoveStartUpShortcut", "1",
                               scratch.At("Product.info").c_str());
    for (const std::string& f : {link, other}) {
      HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(h);
    }
    Payload p;
    p.engineArgs = stage.ReportArg() + c.atom + " /E_exit=" + c.exit;
    p.parameters.infoFile = "Product.info";
    ASSERT_EQ(stage.Write(p), "") << c.name;

    const auto run =
        e2e::RunInstaller(stage.capture, Quoted(stage.installer) + " /hide", "", nullptr);
    ASSERT_TRUE(run.ended) << c.name;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
    const e2e::EngineReport engine = e2e::ReadEngineReport(stage.report);
    ASSERT_TRUE(engine.present) << c.name;
    EXPECT_EQ(GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES, c.linkRemoved) << c.name;
    EXPECT_NE(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES)
        << c.name << ": the INFO file does not ask for the second one";
    EXPECT_EQ(GlobalFindAtomA(("AutoUpdateAtomTokenByTarvo" + TagOf(engine.cmdline)).c_str()), 0)
        << c.name << ": the stub deletes an atom the engine left";
  }
}

// An engine ending with 259 (the code a running process reports) ends the wait all the same.
TEST(Installer, ExitCode259EndsTheWait) {
  const Stage stage;
  Payload p;
  p.engineArgs = "/E_exit=259";
  ASSERT_EQ(stage.Write(p), "");
  const auto run =
      e2e::RunInstaller(stage.capture, Quoted(stage.installer) + " /hide", "", nullptr, 30000);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exitCode, 259u);
}

// The stub waits while the engine's dialog window is open after the engine has ended.
TEST(Installer, WaitsForTheEnginesDialog) {
  const Stage stage;
  Payload p;
  p.engineArgs = stage.ReportArg() + " /E_dialog=5000 /E_exit=3";
  ASSERT_EQ(stage.Write(p), "");

  wintest::StubProcess stub(Quoted(stage.installer) + " /hide");
  ASSERT_TRUE(stub.Started());
  ASSERT_TRUE(e2e::WaitForEngineReport(stage.report, 15000)) << "the engine ran";
  const ULONGLONG reported = GetTickCount64();
  const std::string dialog =
      ".SDialog_Class_Name." + TagOf(e2e::ReadEngineReport(stage.report).cmdline);
  ASSERT_NE(wintest::WaitForWindowClass(dialog, 5000), nullptr);
  Sleep(2500);
  EXPECT_TRUE(stub.Running()) << "the dialog is still open";
  EXPECT_EQ(stub.WaitExit(20000), 3u);
  EXPECT_EQ(FindWindowA(dialog.c_str(), nullptr), nullptr);
  EXPECT_GE(GetTickCount64() - reported, 5000u);
}

// The main bar counts the files: one step for each name met for the first time.
TEST(Installer, ProgressStepsOncePerNewFile) {
  const Stage stage;
  Payload p;
  p.engineArgs = stage.ReportArg() + " /E_wait=3000";
  p.files = {
      {"a.txt", "a1", 0, ""}, {"b.txt", "b", 0, ""}, {"a.txt", "a2", 0, ""}, {"c.txt", "", 0, ""}};
  ASSERT_EQ(stage.Write(p), "");
  wintest::StubProcess stub(Quoted(stage.installer) + " /hide");
  ASSERT_TRUE(stub.Started());
  ASSERT_TRUE(e2e::WaitForEngineReport(stage.report, 15000)) << "the engine runs";
  const HWND main = FindWindowA(stage.installer.c_str(), nullptr);
  ASSERT_NE(main, nullptr);
  const HWND bar = FindWindowExA(main, nullptr, "msctls_progress32", nullptr);
  ASSERT_NE(bar, nullptr);
  DWORD_PTR position = 0, maximum = 0;
  SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position);
  SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &maximum);
  EXPECT_EQ(maximum, 5u) << "the range is the trailer's count of entries";
  EXPECT_EQ(position, 4u) << "Engine.exe, a.txt, b.txt and c.txt; the second a.txt is appended";
  EXPECT_EQ(stub.WaitExit(20000), 0u);
}

// Destroying the main window removes the setup folder (what the running engine does not hold).
TEST(Installer, WindowTeardownRemovesTheSetupFolder) {
  const Stage stage;
  Payload p;
  p.engineArgs = stage.ReportArg() + " /E_wait=4000 /E_final";
  p.files = {{"a.txt", "a", 0, ""}};
  ASSERT_EQ(stage.Write(p), "");

  wintest::StubProcess stub(Quoted(stage.installer) + " /hide");
  ASSERT_TRUE(stub.Started());
  ASSERT_TRUE(e2e::WaitForEngineReport(stage.report, 15000)) << "the engine runs";
  const HWND main = FindWindowA(stage.installer.c_str(), nullptr);
  ASSERT_NE(main, nullptr);
  // The first close request only stops downloads; the second destroys the window.
  PostMessageA(main, WM_CLOSE, 0, 0);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(stub.WaitExit(30000), 0u) << "the engine's exit code still counts";
  const e2e::EngineReport final = e2e::ReadEngineFinal(stage.report);
  ASSERT_TRUE(final.present);
  EXPECT_EQ(final.files.count("a.txt"), 0u) << "the teardown removed it while the engine ran";
  EXPECT_TRUE(Contains(stage.capture.Lines(), "- wm_Destroy -"));
  EXPECT_FALSE(e2e::FolderExists(SetupFolderFor(stage.installer)));
}

// A setup file whose bytes do not match its checksum: the "s7" box and no engine.
TEST(Installer, DamagedPayloadShowsBadCrcAndStartsNoEngine) {
  const Stage stage;
  const std::string& installer = stage.installer;
  Payload p;
  p.engineArgs = stage.ReportArg();
  p.files = {{"a.bin", Pattern(50000, 9), 0, ""}};
  ASSERT_EQ(stage.Write(p), "");
  std::string bytes = wintest::TempFolder::Read(installer);
  ASSERT_GT(bytes.size(), 1000u);
  bytes[bytes.size() - 2000] ^= 0x55;  // inside the last entry
  {
    const win::UniqueFile h(CreateFileA(installer.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  const auto run = e2e::RunInstaller(stage.capture, Quoted(installer) + " /hide", "", AnswerFirst);
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].contents.caption, "Error");
  EXPECT_NE(run.boxes[0].contents.text.find("Bad CRC!"), std::string::npos)
      << run.boxes[0].contents.text;
  EXPECT_FALSE(e2e::ReadEngineReport(stage.report).present);
  EXPECT_EQ(e2e::LineStarting(run.lines, " ==== WinExec"), "");
  EXPECT_EQ(run.exitCode, 1392u) << "a damaged setup file is no success";
  EXPECT_FALSE(e2e::FolderExists(SetupFolderFor(installer)));
}

// Damage the checksum cannot see (the test is off): a broken stream, or a name that would leave
// the extraction folder. An error box names it and no engine runs.
TEST(Installer, DamagedEntryShowsAnErrorAndStartsNoEngine) {
  std::string broken;
  ASSERT_TRUE(payload::EncodeEntryRecord(
      payload::EntryHeader("b.bin", 0) + std::string(1, '\0') + std::string(40000, 'z'), 9,
      broken));
  ASSERT_EQ(broken.substr(4, 1), "\x78") << "a compressed record";
  broken[broken.size() / 2] ^= 0x21;
  const std::string escapee = "tarvo_escape_" + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string unsafe = "|..\\" + escapee + "|0|" + std::string(1, '\0') + "x";
  std::string stored(4, '\0');
  const std::int32_t length = -static_cast<std::int32_t>(unsafe.size());
  std::memcpy(stored.data(), &length, 4);
  stored += unsafe;
  struct Case {
    const char* name;
    std::string record;
    const char* why;
  };
  const Case cases[] = {
      {"damaged stream", broken, "zlib"},
      {"name outside the folder", stored, "not a plain file name"},
  };
  for (const Case& c : cases) {
    const Stage stage;
    Payload p;
    p.engineArgs = stage.ReportArg();
    p.checksum = false;
    p.files = {{"a.txt", "a", 0, ""}, {"", "", 0, c.record}, {"c.txt", "c", 0, ""}};
    ASSERT_EQ(stage.Write(p), "") << c.name;
    const std::string folder = SetupFolderFor(stage.installer);
    const auto run =
        e2e::RunInstaller(stage.capture, Quoted(stage.installer), stage.installer, AnswerFirst);
    ASSERT_TRUE(run.ended) << c.name;
    ASSERT_EQ(run.boxes.size(), 1u) << c.name;
    EXPECT_NE(run.boxes[0].contents.text.find(c.why), std::string::npos)
        << c.name << ": " << run.boxes[0].contents.text;
    EXPECT_FALSE(e2e::ReadEngineReport(stage.report).present) << c.name;
    EXPECT_EQ(run.exitCode, 1392u) << c.name;
    const std::string parent = folder.substr(0, folder.find_last_of('\\'));
    EXPECT_EQ(GetFileAttributesA((parent + "\\" + escapee).c_str()), INVALID_FILE_ATTRIBUTES)
        << c.name;
    EXPECT_FALSE(e2e::FolderExists(folder)) << c.name;
  }
}

}  // namespace
