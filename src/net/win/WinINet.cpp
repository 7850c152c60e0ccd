// WinINet: the internet library bound by name (see WinINet.h), and its release at the end of the
// run.
#include "net/win/WinINet.h"

#include <array>

#include "util/win/SysInfo.h"
#include "util/win/WinHandles.h"

namespace wininet {
namespace {

enum Fn : int {
  kGetConnectedState,
  kCloseHandle,
  kOpen,
  kOpenUrl,
  kQueryInfo,
  kReadFile,
  kSetOption,
  kGetLastResponseInfo,
  kFnCount
};

constexpr std::array<const char*, kFnCount> kNames = {"InternetGetConnectedState",
                                                      "InternetCloseHandle",
                                                      "InternetOpenA",
                                                      "InternetOpenUrlA",
                                                      "HttpQueryInfoA",
                                                      "InternetReadFile",
                                                      "InternetSetOptionA",
                                                      "InternetGetLastResponseInfoA"};

// The library and the entry points looked up so far; all of it goes with UnloadWinINet.
struct Binding {
  win::UniqueModule module;
  bool loadTried = false;
  std::array<FARPROC, kFnCount> procs{};
  std::array<bool, kFnCount> looked{};
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

// The entry point, loading the library on the first call.
FARPROC WinINetProc(Fn fn) {
  Binding& b = TheBinding();
  if (!b.loadTried) {
    b.loadTried = true;
    b.module.reset(LoadSystemLibrary("wininet.dll"));
  }
  if (!b.module) return nullptr;
  if (!b.looked[fn]) {
    b.looked[fn] = true;
    b.procs[fn] = GetProcAddress(b.module.get(), kNames[fn]);
  }
  return b.procs[fn];
}

template <typename F>
F Bound(Fn fn) {
  F f = ProcAs<F>(WinINetProc(fn));
  if (f == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return f;
}

}  // namespace

BOOL GetConnectedState(DWORD* flags, DWORD reserved) {
  using F = BOOL(WINAPI*)(DWORD*, DWORD);
  const F f = Bound<F>(kGetConnectedState);
  return f != nullptr ? f(flags, reserved) : FALSE;
}

HINTERNET Open(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
               DWORD flags) {
  using F = HINTERNET(WINAPI*)(const char*, DWORD, const char*, const char*, DWORD);
  const F f = Bound<F>(kOpen);
  return f != nullptr ? f(agent, accessType, proxy, proxyBypass, flags) : nullptr;
}

HINTERNET OpenUrl(HINTERNET internet, const char* url, const char* headers, DWORD headersLength,
                  DWORD flags, DWORD_PTR context) {
  using F = HINTERNET(WINAPI*)(HINTERNET, const char*, const char*, DWORD, DWORD, DWORD_PTR);
  const F f = Bound<F>(kOpenUrl);
  return f != nullptr ? f(internet, url, headers, headersLength, flags, context) : nullptr;
}

BOOL QueryInfo(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
               DWORD* index) {
  using F = BOOL(WINAPI*)(HINTERNET, DWORD, void*, DWORD*, DWORD*);
  const F f = Bound<F>(kQueryInfo);
  return f != nullptr ? f(request, infoLevel, buffer, bufferLength, index) : FALSE;
}

BOOL ReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* read) {
  using F = BOOL(WINAPI*)(HINTERNET, void*, DWORD, DWORD*);
  const F f = Bound<F>(kReadFile);
  return f != nullptr ? f(request, buffer, toRead, read) : FALSE;
}

BOOL CloseHandle(HINTERNET handle) {
  using F = BOOL(WINAPI*)(HINTERNET);
  const F f = Bound<F>(kCloseHandle);
  return f != nullptr ? f(handle) : FALSE;
}

BOOL SetOption(HINTERNET internet, DWORD option, void* buffer, DWORD bufferLength) {
  using F = BOOL(WINAPI*)(HINTERNET, DWORD, void*, DWORD);
  const F f = Bound<F>(kSetOption);
  return f != nullptr ? f(internet, option, buffer, bufferLength) : FALSE;
}

BOOL GetLastResponseInfo(DWORD* error, char* buffer, DWORD* bufferLength) {
  using F = BOOL(WINAPI*)(DWORD*, char*, DWORD*);
  const F f = Bound<F>(kGetLastResponseInfo);
  return f != nullptr ? f(error, buffer, bufferLength) : FALSE;
}

HMODULE Module() {
  return TheBinding().module.get();
}

}  // namespace wininet

void UnloadWinINet() {
  // Handles live only inside one operation, so none is open here; the next use loads anew.
  wininet::TheBinding() = wininet::Binding{};
}
