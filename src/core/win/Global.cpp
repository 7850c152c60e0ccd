// Global: the program's start before StubMain: safe library loading, preloads, trace stream.
#include "core/win/Global.h"

#include <windows.h>

#include "core/win/KDebugOutput.h"
#include "util/win/SysInfo.h"

namespace {

constexpr UINT kNoOpenFileErrorBox = 0x8000;   // SEM_NOOPENFILEERRORBOX
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

constexpr const char* kPreloads[] = {"shell32.dll", "USP10.dll", "MSLS31.dll", "RICHED32.DLL"};

}  // namespace

bool RestrictLibrarySearch() {
  // The folder a downloaded installer sits in (often Downloads) must never supply a system
  // library, so the current folder leaves the search order as well.
  SetDllDirectoryA("");
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return false;
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault =
      ProcAs<SetDefaultDllDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories"));
  return setDefault != nullptr && setDefault(kSearchSystem32) != FALSE;
}

void PreloadSystemLibraries() {
  for (const char* name : kPreloads) {
    const UINT previous = SetErrorMode(kNoOpenFileErrorBox);
    LoadSystemLibrary(name);  // kept until the process ends
    SetErrorMode(previous);
  }
}

void RunStartup() {
  RestrictLibrarySearch();
  PreloadSystemLibraries();
  InstallTraceStream();
}
