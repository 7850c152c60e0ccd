// AgentLog: the update agent's log file "X_<name>.log" beside the program, one stamped line per
// message; silent for every run that does not enable it.
#pragma once

#include <cstdint>
#include <string>

// Written only while enabled (an agent build whose trailer asks for logging).
void SetLogEnabled(bool enabled);
bool LogEnabled();
// Replaces the text between the thread id and the message; "   " at start.
void SetLogPrefix(const std::string& prefix);
// The log file's full path, computed from the program's own path on first use and kept.
std::string LogFileName();
// Appends one line to the log file when logging is enabled; errors are ignored.
void LogMsg(const std::string& text);

// "dd/mm/yy HH:NN:SS", a space, the thread id padded on the left to 5 characters, the prefix,
// the text and CR LF.
std::string AgentLogLine(const std::string& stamp, std::uint32_t threadId,
                         const std::string& prefix, const std::string& text);
// The folder of the program with a trailing backslash, then its file name with "X_" in front
// (unless it already starts with "X_", case-sensitively) and ".log" for its extension.
std::string AgentLogFileNameFor(const std::string& programFullPath);

// Forgets the enabled state, the prefix and the file name (tests act as a new run).
void ResetAgentLog();
