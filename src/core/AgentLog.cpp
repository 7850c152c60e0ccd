// AgentLog: the update agent's log file, one stamped line per message.
#include "core/AgentLog.h"

#include <fstream>

#include "core/ProcessFacts.h"
#include "util/Utils.h"

namespace {

constexpr const char* kInitialPrefix = "   ";

bool enabled = false;
std::string prefix = kInitialPrefix;
std::string fileName;

}  // namespace

void SetLogEnabled(bool on) {
  enabled = on;
}

bool LogEnabled() {
  return enabled;
}

void SetLogPrefix(const std::string& text) {
  prefix = text;
}

std::string LogFileName() {
  if (fileName.empty()) fileName = AgentLogFileNameFor(ProgramFullPath());
  return fileName;
}

void LogMsg(const std::string& text) {
  if (!enabled) return;
  try {
    const std::string line =
        AgentLogLine(DateTimeStamp(false, NowDateTime()), CurrentThreadId(), prefix, text);
    // Opened and closed for every line, so the file can be read or deleted at any time.
    std::ofstream out(LogFileName(), std::ios::binary | std::ios::app);
    out << line;
  } catch (...) {
    // The log never changes the program's course.
  }
}

std::string AgentLogLine(const std::string& stamp, std::uint32_t threadId,
                         const std::string& linePrefix, const std::string& text) {
  return stamp + " " + PadLeft(std::to_string(threadId), 5, ' ') + linePrefix + text + "\r\n";
}

std::string AgentLogFileNameFor(const std::string& programFullPath) {
  const std::size_t cut = programFullPath.find_last_of("\\:");
  const std::string folder =
      cut == std::string::npos ? std::string() : programFullPath.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? programFullPath : programFullPath.substr(cut + 1);
  if (name.compare(0, 2, "X_") != 0) name = "X_" + name;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return SetTrailingBackslash(folder, true) + name + ".log";
}

void ResetAgentLog() {
  enabled = false;
  prefix = kInitialPrefix;
  fileName.clear();
}
