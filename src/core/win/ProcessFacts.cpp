// ProcessFacts: process and thread id and the program file, from the system (Windows).
#include "core/ProcessFacts.h"

#include <windows.h>

#include "core/win/ProcessSwitches.h"

std::uint32_t CurrentProcessId() {
  return GetCurrentProcessId();
}

std::uint32_t CurrentThreadId() {
  return GetCurrentThreadId();
}

std::string ProgramFullPath() {
  return OwnCommandLine().programPath;
}
