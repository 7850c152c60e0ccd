// TestInstaller: small installers for the Wine tests (a copy of the built stub with header blocks
// and a trailer, no entries), and the running stub processes the tests start and end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "util/win/WinHandles.h"

namespace wintest {

struct InstallerSpec {
  // Items of the one language section, "English" (key, value).
  std::vector<std::pair<std::string, std::string>> language;
  std::string agentFile = ".exe";  // parameter block field 2
  std::uint8_t flags = 0;          // trailer flags byte
  bool agent = false;              // trailer agent byte
  // The checksum field: "disabled" by default; any other value makes the file damaged, so that
  // the setup path stops at its error message and the run stays in its window.
  std::uint32_t checksum = 1234;
};

// Writes the installer to path; false when the stub cannot be read or the file not written.
bool WriteInstaller(const std::string& path, const InstallerSpec& recipe);

// One started program; ended (terminated when still running) when the object goes.
class StubProcess {
 public:
  // Starts the command line; Started() says whether it worked.
  explicit StubProcess(const std::string& commandLine);
  ~StubProcess();
  StubProcess(const StubProcess&) = delete;
  StubProcess& operator=(const StubProcess&) = delete;

  bool Started() const { return static_cast<bool>(process_); }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.get(); }
  // The exit code once it has ended within timeoutMs, else 0xFFFFFFFF (it keeps running).
  DWORD WaitExit(DWORD timeoutMs);
  bool Running() const;
  void Terminate();

 private:
  win::UniqueHandle process_;
  DWORD id_ = 0;
};

// Waits until a top-level window of this class exists; null after timeoutMs.
HWND WaitForWindowClass(const std::string& windowClass, DWORD timeoutMs);

}  // namespace wintest
