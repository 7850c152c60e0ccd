// ProcessFacts: process and thread id and the program file (native stand-in for the unit tests).
#include "core/ProcessFacts.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <climits>

std::uint32_t CurrentProcessId() {
  return static_cast<std::uint32_t>(getpid());
}

std::uint32_t CurrentThreadId() {
  return static_cast<std::uint32_t>(syscall(SYS_gettid));
}

std::string ProgramFullPath() {
  char path[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}
