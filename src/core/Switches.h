// Switches: reading named switches ("/SpanCdLvl=2", "/hide") from a raw command line.
#pragma once

#include <cstdint>
#include <string>

// A process's command line as the system gives it, and the full path of its program file.
struct CommandLine {
  std::string raw;
  std::string programPath;
};

// The raw line without the program's own path or name, blanks trimmed.
std::string CommandArguments(const CommandLine& line);
// The one-string list of the switches with prefix character P ('/' or '-'), code 1 between them.
std::string SwitchList(const std::string& arguments, char prefix);
// Names carry their prefix and, for value switches, their '=': "/SpanCdLvl=".
std::string GetSwitch(const CommandLine& line, const std::string& name, const std::string& def);
std::int64_t GetSwitchInt(const CommandLine& line, const std::string& name, std::int64_t def);
bool HasSwitch(const CommandLine& line, const std::string& name);
