// Small helpers shared by the Wine test suites.
#include "WinTestSupport.h"

#include <vector>

#include "util/win/WinHandles.h"

namespace wintest {

std::string BesideTests(const std::string& name) {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  dir.erase(dir.find_last_of("\\/") + 1);
  return dir + name;
}

DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.get(), &code);
  } else {
    TerminateProcess(process.get(), 0xFFFFFFFF);
  }
  return code;
}

}  // namespace wintest
