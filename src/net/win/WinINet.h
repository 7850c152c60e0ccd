// WinINet: the system's internet library, loaded by name from the system folder on first use and
// called through entry points looked up by name, so that the program does not import it and
// starts on systems where it is missing or damaged.
#pragma once

#include <windows.h>
#include <wininet.h>  // types and constants only: nothing of it is linked

#include <string>

#include "net/InetSteps.h"

namespace wininet {

// Each wrapper calls the library's function of the same name. When the library or the entry
// point is missing, it calls nothing, sets ERROR_PROC_NOT_FOUND and returns FALSE or null.
BOOL GetConnectedState(DWORD* flags, DWORD reserved);
HINTERNET Open(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
               DWORD flags);
HINTERNET OpenUrl(HINTERNET internet, const char* url, const char* headers, DWORD headersLength,
                  DWORD flags, DWORD_PTR context);
BOOL QueryInfo(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength, DWORD* index);
BOOL ReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* read);
BOOL CloseHandle(HINTERNET handle);
BOOL SetOption(HINTERNET internet, DWORD option, void* buffer, DWORD bufferLength);
BOOL GetLastResponseInfo(DWORD* error, char* buffer, DWORD* bufferLength);

// The loaded library, or null (before the first call, after UnloadWinINet, or when missing).
HMODULE Module();

// An internet, connection or request handle, closed through the library.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HINTERNET h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = other.h_;
      other.h_ = nullptr;
    }
    return *this;
  }
  ~Handle() { reset(); }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset() {
    if (h_ != nullptr) CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HINTERNET h_ = nullptr;
};

}  // namespace wininet
