// RunMode: which of the stub's roles a run takes, decided from the trailer flags of its own file,
// its file name and the spanned-set level of its command line; and the instance marker.
#pragma once

#include <cstdint>
#include <string>

namespace runmode {

enum class RunMode {
  PlainAgent,        // makes and starts its working copy, forwards its switches
  AgentWorkingCopy,  // test-mode check, main window, self-deletion
  SpanLauncher,      // copies itself into the setup folder and starts the copy
  SpanCopy,          // main window, then deletes itself and its folder
  Installer,  // main window (setup path, web download or, for other agent names, the agent cycle)
};

struct RunFacts {
  bool agent = false;           // trailer agent flag
  bool spanFirstLevel = false;  // trailer flag of a spanned set's first level
  std::int64_t spanCdLvl = 1;   // "/SpanCdLvl=", 1 when absent or not a number
  std::string ownFileName;      // the program's file name without folder
  std::string agentFileName;    // parameter block field 2
};

// The part of a path after its last "\" or ":".
std::string FileNameOf(const std::string& path);

// An agent build whose own name is the agent file name (names compared ignoring case and
// surrounding blanks); false for a file that is not an agent build.
bool IsPlainAgentName(bool agent, const std::string& ownFileName, const std::string& agentFileName);
// An agent build whose own name is "X_" followed by the agent file name.
bool IsWorkingCopyName(bool agent, const std::string& ownFileName,
                       const std::string& agentFileName);
bool IsSpanLauncherLevel(bool spanFirstLevel, std::int64_t spanCdLvl);
bool IsSpanCopyLevel(std::int64_t spanCdLvl);

// The first mode that applies, in this order: plain agent, working copy, spanned launcher, then
// the main window (spanned copy when the level is 2, otherwise installer).
RunMode ChooseRunMode(const RunFacts& facts);
const char* RunModeName(RunMode mode);

// The main window's class name, by which a second start finds a running instance: for an agent
// ".AutoUpdate." and the own file name without its last extension, otherwise the full path.
std::string InstanceMarkerFor(bool agent, const std::string& programFullPath);
// The class name of the working copy's main window for an agent file name.
std::string WorkingCopyWindowClass(const std::string& agentFileName);

}  // namespace runmode
