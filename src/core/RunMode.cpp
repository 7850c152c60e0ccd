// RunMode: which of the stub's roles a run takes, and the instance marker.
#include "core/RunMode.h"

#include "util/Utils.h"

namespace runmode {

std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsPlainAgentName(bool agent, const std::string& ownFileName,
                      const std::string& agentFileName) {
  return agent && SameTextTrimmed(ownFileName, agentFileName);
}

bool IsWorkingCopyName(bool agent, const std::string& ownFileName,
                       const std::string& agentFileName) {
  return agent && SameTextTrimmed(ownFileName, "X_" + agentFileName);
}

bool IsSpanLauncherLevel(bool spanFirstLevel, std::int64_t spanCdLvl) {
  return spanFirstLevel && spanCdLvl == 1;
}

bool IsSpanCopyLevel(std::int64_t spanCdLvl) {
  return spanCdLvl == 2;
}

RunMode ChooseRunMode(const RunFacts& facts) {
  if (IsPlainAgentName(facts.agent, facts.ownFileName, facts.agentFileName))
    return RunMode::PlainAgent;
  if (IsWorkingCopyName(facts.agent, facts.ownFileName, facts.agentFileName))
    return RunMode::AgentWorkingCopy;
  if (IsSpanLauncherLevel(facts.spanFirstLevel, facts.spanCdLvl)) return RunMode::SpanLauncher;
  if (IsSpanCopyLevel(facts.spanCdLvl)) return RunMode::SpanCopy;
  return RunMode::Installer;
}

const char* RunModeName(RunMode mode) {
  switch (mode) {
    case RunMode::PlainAgent:
      return "plain agent";
    case RunMode::AgentWorkingCopy:
      return "agent working copy";
    case RunMode::SpanLauncher:
      return "spanned launcher";
    case RunMode::SpanCopy:
      return "spanned copy";
    case RunMode::Installer:
      return "installer";
  }
  return "installer";
}

std::string InstanceMarkerFor(bool agent, const std::string& programFullPath) {
  if (!agent) return programFullPath;
  return ".AutoUpdate." + FileNameNoExt(programFullPath, false);
}

std::string WorkingCopyWindowClass(const std::string& agentFileName) {
  return ".AutoUpdate.X_" + FileNameNoExt(agentFileName, false);
}

}  // namespace runmode
