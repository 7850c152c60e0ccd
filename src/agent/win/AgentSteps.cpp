// AgentSteps: the update agent's steps that the program shell calls and that are not built yet;
// each says so in the trace and does nothing else.
#include "agent/AgentSteps.h"

#include "core/KDebug.h"

namespace {

void NotBuilt(const char* step) {
  TracePid() << ' ' << step << ": not built yet" << EndLine;
}

}  // namespace

void CreateAndRun_X_Exe() {
  NotBuilt("CreateAndRun_X_Exe");
}

bool HandleParamOK(bool) {
  NotBuilt("HandleParamOK");
  return false;
}

bool CheckTestMode(bool) {
  NotBuilt("CheckTestMode");
  return false;
}

void TakeTransientList(const std::string&) {
  NotBuilt("TakeTransientList");
}

void AgentTick() {
  NotBuilt("AgentTick");
}

void SetAutoUpdateTimerCount(std::int32_t) {
  NotBuilt("SetAutoUpdateTimerCount");
}

void SetStopCountdown(std::int32_t) {
  NotBuilt("SetStopCountdown");
}

std::int32_t RunAgentCommand(std::int32_t, std::int32_t) {
  NotBuilt("RunAgentCommand");
  return 0;
}
