// Small helpers shared by the Wine test suites: where the built programs are, running them.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

// Full path of a file in the folder of the running test executable (the build folder).
std::string BesideTests(const std::string& name);

// Starts a command line and waits for it; the exit code, or 0xFFFFFFFF when it could not start
// or did not end within the timeout (then it is terminated).
DWORD RunAndWait(const std::string& commandLine, DWORD timeoutMs);

}  // namespace wintest
