// StubSetup: SetupTick, RunSetup and the engine hand-off, and the setup folder's removal at the
// main window's teardown.
#include "payload/win/StubSetup.h"

#include <windows.h>

#include "core/KDebug.h"
#include "core/MainWindowLayout.h"
#include "core/ProcessFacts.h"
#include "core/RunMode.h"
#include "core/StubState.h"
#include "core/win/ProcessSwitches.h"
#include "core/win/StubWin.h"
#include "payload/EngineCommand.h"
#include "payload/SetupSteps.h"
#include "payload/TGFileInfo.h"
#include "payload/UnPackRules.h"
#include "payload/win/Files.h"
#include "payload/win/SetupFolder.h"
#include "payload/win/Spanned.h"
#include "payload/win/UnPack.h"
#include "payload/win/WebSetup.h"
#include "ui/KMsgBox.h"
#include "ui/KMsgBoxPump.h"
#include "ui/KProgBar.h"
#include "ui/win/ProgressCaption.h"
#include "util/win/IniFiles.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

constexpr const char* kDefaultButtons = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
constexpr const char* kDefaultDiskPrompt =
    "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue";
constexpr const char* kDefaultBadCrc =
    "Bad CRC!<P>This indicates that your setup file might be corrupted...";

// The product's shortcuts named by the agent's settings files beside the program.
struct Shortcuts {
  std::string startUp;
  std::string checkForUpdate;
};

std::string ProgramFolder() {
  const std::string program = ProgramFullPath();
  return program.substr(0, program.size() - runmode::FileNameOf(program).size());
}

Shortcuts RememberShortcuts() {
  const std::string original = ProgramFolder() + FileInfo().GetOriginalFileName();
  return {ReadIniString(original, "UnInstall", "StartUpLink", ""),
          ReadIniString(original, "UnInstall", "CheckforNewUpdateLink", "")};
}

void RemoveShortcut(const std::string& info, const char* key, const std::string& link) {
  if (ReadIniString(info, "NewSetup", key, "0") == "1" && !link.empty() && FileExists(link))
    DeleteFileA(link.c_str());
}

void RemoveShortcuts(const Shortcuts& links) {
  const std::string info = ProgramFolder() + FileInfo().GetInfoFileName();
  RemoveShortcut(info, "RemoveStartUpShortcut", links.startUp);
  RemoveShortcut(info, "RemoveCheckForNewUpdateShortcut", links.checkForUpdate);
}

// Pumps until the process has ended. The handle is asked, not the exit code: an engine that ends
// with 259 (the code of a running process) must not keep the stub waiting for ever.
void WaitForProcess(HANDLE process) {
  do {
    YieldWait(0, 500);
  } while (process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT);
}

// Starts the engine shown or hidden; the process handle, or none with the system's error code.
win::UniqueHandle StartEngine(const std::string& program, const std::string& commandLine,
                              bool foreground, DWORD& error) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = foreground ? SW_SHOW : SW_HIDE;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  // The program is named on its own as well: the folder may hold blanks, and the unquoted path at
  // the head of the line must not make the system try shorter names first.
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi)) {
    error = GetLastError();
    TracePid() << " RunSetup: the engine did not start (error " << error << ")" << EndLine;
    return win::UniqueHandle();
  }
  CloseHandle(pi.hThread);
  error = 0;
  return win::UniqueHandle(pi.hProcess);
}

// Starts the engine, waits for it and its dialogs, takes over its exit code; true when it deleted
// the hand-off atom.
bool RunEngine(const std::string& folder, const std::string& engineEntry,
               const std::string& extraArgs, bool foreground) {
  const std::string tag = ThreadTag(GetCurrentThreadId());
  const EngineLaunch launch{folder, engineEntry,       extraArgs,
                            tag,    ProgramFullPath(), ThisIs_AutoUpdateProg()};
  const Shortcuts links = RememberShortcuts();
  const std::string cmd = EngineCommandLine(launch);
  TracePid() << " ==== WinExec(Engine.exe) >>" << cmd << "<<" << EndLine;
  const std::string atomName = HandOffAtomName(tag);
  GlobalAddAtomA(atomName.c_str());
  DWORD startError = 0;
  const win::UniqueHandle process =
      StartEngine(SetTrailingBackslash(folder, true) + EngineFileName(engineEntry), cmd, foreground,
                  startError);
  ShowWindow(StubWin::MainWindow(), SW_HIDE);
  YieldWait(0, 1000);
  WaitForProcess(process.get());
  DWORD code = 0;
  if (process && GetExitCodeProcess(process.get(), &code)) {
    SetStubExitCode(static_cast<int>(code));
  } else {
    SetStubExitCode(startError != 0 ? static_cast<int>(startError) : 1);
  }
  const std::string dialogClass = EngineDialogClass(tag);
  while (FindWindowA(dialogClass.c_str(), nullptr) != nullptr) YieldX(100);
  YieldWait(0, 1000);
  const ATOM atom = GlobalFindAtomA(atomName.c_str());
  const bool result = atom == 0;
  if (!result) GlobalDeleteAtom(atom);
  if (result) RemoveShortcuts(links);
  return result;
}

}  // namespace

bool RunSetup(const std::string& folder, const std::string& sourceFile,
              const std::string& agentName, bool foreground, const std::string& extraArgs) {
  bool result = false;
  const TGFileInfo reader(sourceFile);
  std::string target = folder;
  if (reader.ShowActivityBar()) ShowWindow(StubWin::ActivityBar(), SW_SHOW);
  SetProgressCaption(StubWin::CaptionLabel(), reader.GetLangString("s1", "Extracting Files..."),
                     reader.GetLangFontName(), reader.GetLangCharset(), reader.GetLangFontSize());
  if (!EnoughTempSpace(target, sourceFile) && FindRoomierDrive()) {
    const std::string alternative = AlternativeFolder();
    if (!alternative.empty()) target = alternative;
  }
  Trace() << "========= ForegroundOp=" << foreground << " ==========" << EndLine;
  const bool go = !foreground || ConfirmTempSpace(target, sourceFile, reader);
  if (go) {
    const std::string buttons = reader.GetLangString("BtnText", kDefaultButtons);
    const DiskPrompt prompt{reader.GetLangString("s8", kDefaultDiskPrompt),
                            reader.GetLangString("Attention", "Attention"), buttons,
                            reader.GetLangCharset()};
    const bool forcePrompt = IsForcePrompt();
    if (foreground) ShowWindow(StubWin::MainWindow(), SW_SHOW);
    YieldWait(0, 1000);
    bool checksumOK = false;
    std::string engineEntry;
    const bool intact = UnPackSetup(sourceFile, target, agentName, checksumOK, &ProgressProc,
                                    prompt, forcePrompt, engineEntry);
    YieldWait(0, 1000);
    if (!engineEntry.empty() && checksumOK)
      result = RunEngine(target, engineEntry, extraArgs, foreground);
    if (!checksumOK) {
      ShowErrorBox(0, reader.GetLangString("s7", kDefaultBadCrc),
                   reader.GetLangString("Error", "Error"), buttons, reader.GetLangCharset());
    }
    if (!checksumOK || !intact) SetStubExitCode(kDamagedSetupExitCode);
  }
  RemoveAlternativeFolder();
  return result;
}

void SetupTick() {
  // Any later tick (every timer identifier counts) finds the work done or under way.
  static bool started = false;
  KillTimer(StubWin::MainWindow(), mainwindow::kTimerId);
  if (started) return;
  started = true;
  const std::string agentName = FileInfo().MakesAgent() ? FileInfo().GetAgentFileName() : "";
  if (FileInfo().IsWebInstaller()) {
    WebSetupTick();
  } else {
    const std::string source = GetSwitch("/SpanDiskFName1=", "");
    const bool hide = HasSwitch("/hide") || FileInfo().IsHidden();
    RunSetup(SetupFolder(), source.empty() ? ProgramFullPath() : source, agentName, !hide,
             CommandArguments());
  }
  RemoveTree(SetupFolder(), false);
  PostQuitMessage(0);
}

void RemoveSetupFolder() {
  RemoveTree(SetupFolder(), false);
}
