// StubMain: the program body: the own-file reader, the run mode and the single-instance rule.
#include "core/win/StubMain.h"

#include <windows.h>

#include "agent/AgentSteps.h"
#include "core/AgentLog.h"
#include "core/KDebug.h"
#include "core/RunMode.h"
#include "core/StubState.h"
#include "core/win/ProcessSwitches.h"
#include "core/win/StubWin.h"
#include "payload/SetupSteps.h"
#include "util/Utils.h"
#include "util/win/SysInfo.h"

namespace {

runmode::RunFacts CurrentRunFacts(const std::string& programPath) {
  runmode::RunFacts facts;
  facts.agent = FileInfo().IsAgent();
  facts.spanFirstLevel = FileInfo().IsSpanFirstLevel();
  facts.spanCdLvl = GetSwitchInt("/SpanCdLvl=", 1);
  facts.ownFileName = runmode::FileNameOf(programPath);
  facts.agentFileName = FileInfo().GetAgentFileName();
  return facts;
}

void RunWorkingCopy() {
  LogMsg("CheckTestMode");
  CheckTestMode(true);
  const std::string transient = GetSwitch("/TRANSIENTx=", "");
  if (!transient.empty()) TakeTransientList(transient);
  LogMsg("WinMain");
  StubWin::WinMain();
  LogMsg("DeleteMySelf");
  DeleteMySelf(false);
}

void RunChosenMode(runmode::RunMode mode) {
  switch (mode) {
    case runmode::RunMode::PlainAgent:
      CreateAndRun_X_Exe();
      break;
    case runmode::RunMode::AgentWorkingCopy:
      RunWorkingCopy();
      break;
    case runmode::RunMode::SpanLauncher:
      StartSpanCopy();
      break;
    case runmode::RunMode::SpanCopy:
      StubWin::WinMain();
      DeleteMySelf(true);
      break;
    case runmode::RunMode::Installer:
      StubWin::WinMain();
      break;
  }
}

}  // namespace

void DoRunStubWin() {
  LogMsg("DoRunStubWin() --- Start");
  const std::string programPath = OwnCommandLine().programPath;
  SetInstanceMarker(runmode::InstanceMarkerFor(ThisIs_AutoUpdateProg(), programPath));
  const bool copyWasRunning = X_ExeIsRunning();
  LogMsg("X_ExeIsRunning=" + BoolToText(X_ExeIsRunning()));
  LogMsg("ThisIs_Plain_AutoUpdate_Exe=" + BoolToText(ThisIs_Plain_AutoUpdate_Exe()));
  LogMsg("ThisIs_X_AutoUpdate_Exe=" + BoolToText(ThisIs_X_AutoUpdate_Exe()));
  // A window of our class means this very program already runs: do nothing more.
  if (FindWindowA(InstanceMarker().c_str(), nullptr) == nullptr)
    RunChosenMode(runmode::ChooseRunMode(CurrentRunFacts(programPath)));
  if (ThisIs_Plain_AutoUpdate_Exe()) HandleParamOK(copyWasRunning);
  LogMsg("DoRunStubWin() --- End");
}

void StubMain() {
  const CommandLine line = OwnCommandLine();
  TracePid() << " ==== STUB START ====> " << line.raw << '<' << EndLine;
  CreateFileInfo(line.programPath);
  SetLogEnabled(ThisIs_AutoUpdateProg() && FileInfo().IsLogEnabled());
  if (ThisIs_X_AutoUpdate_Exe()) SetLogPrefix(" X ");
  LogMsg("");
  LogMsg("");
  LogMsg("=== START === " + line.programPath);
  LogMsg("CommandLine=" + line.raw);
  if (LogEnabled()) LogMsg("Agent Version=" + FileVersionText(""));
  TracePid() << " ==== ThisIs_AutoUpdateProg=" << ThisIs_AutoUpdateProg() << EndLine;
  DoRunStubWin();
  FreeFileInfo();
  TracePid() << " ==== STUB END ====> " << line.raw << '<' << EndLine;
  Trace() << EndLine;
  LogMsg("=== EXIT === " + line.programPath);
  LogMsg("");
}
