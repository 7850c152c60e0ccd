// ProcessSwitches: the switches of this process's own command line (Windows).
#include "core/win/ProcessSwitches.h"

#include <windows.h>

namespace {

// The program file's full path; long paths are read into a growing buffer.
std::string ProgramPath() {
  std::string buf(MAX_PATH, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buf.size());
    const DWORD n = GetModuleFileNameA(nullptr, buf.data(), size);
    if (n == 0) return std::string();
    if (n < size) return buf.substr(0, n);
    if (buf.size() >= 32768) return std::string();  // no Windows path is longer
    buf.resize(buf.size() * 2);
  }
}

}  // namespace

CommandLine OwnCommandLine() {
  const char* raw = GetCommandLineA();
  return CommandLine{raw != nullptr ? raw : "", ProgramPath()};
}

std::string CommandArguments() {
  return CommandArguments(OwnCommandLine());
}

std::string GetSwitch(const std::string& name, const std::string& def) {
  return GetSwitch(OwnCommandLine(), name, def);
}

std::int64_t GetSwitchInt(const std::string& name, std::int64_t def) {
  return GetSwitchInt(OwnCommandLine(), name, def);
}

bool HasSwitch(const std::string& name) {
  return HasSwitch(OwnCommandLine(), name);
}
