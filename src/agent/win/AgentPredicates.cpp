// AgentPredicates: which copy of the update agent this run is, from the own file's trailer and
// name, and whether a working copy's window is open.
#include <windows.h>

#include "agent/AgentSteps.h"
#include "core/ProcessFacts.h"
#include "core/RunMode.h"
#include "core/StubState.h"

bool ThisIs_Plain_AutoUpdate_Exe() {
  return runmode::IsPlainAgentName(FileInfo().IsAgent(), runmode::FileNameOf(ProgramFullPath()),
                                   FileInfo().GetAgentFileName());
}

bool ThisIs_X_AutoUpdate_Exe() {
  return runmode::IsWorkingCopyName(FileInfo().IsAgent(), runmode::FileNameOf(ProgramFullPath()),
                                    FileInfo().GetAgentFileName());
}

bool X_ExeIsRunning() {
  const std::string windowClass = runmode::WorkingCopyWindowClass(FileInfo().GetAgentFileName());
  return FindWindowA(windowClass.c_str(), nullptr) != nullptr;
}
