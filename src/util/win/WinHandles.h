// Owning wrappers for system objects: one type per kind, each with its own invalid value.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

// A value owned until destruction, released through Close; Invalid marks "nothing owned".
template <typename T, T Invalid, typename Close>
class Owned {
 public:
  Owned() = default;
  explicit Owned(T value) : value_(value) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Invalid));
    return *this;
  }
  ~Owned() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid; }
  T release() { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) {
    if (value_ != Invalid) Close{}(value_);
    value_ = value;
  }

 private:
  T value_ = Invalid;
};

struct CloseHandleFn {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct FindCloseFn {
  void operator()(HANDLE h) const { ::FindClose(h); }
};
struct FreeLibraryFn {
  void operator()(HMODULE h) const { ::FreeLibrary(h); }
};
struct DeleteObjectFn {
  void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct RegCloseKeyFn {
  void operator()(HKEY h) const { ::RegCloseKey(h); }
};
struct DeleteDCFn {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ReleaseScreenDCFn {
  void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};

// Kernel objects whose failure value is NULL (processes, threads, events, mappings).
using UniqueHandle = Owned<HANDLE, nullptr, CloseHandleFn>;
using UniqueModule = Owned<HMODULE, nullptr, FreeLibraryFn>;
using UniqueGdiObject = Owned<HGDIOBJ, nullptr, DeleteObjectFn>;
using UniqueKey = Owned<HKEY, nullptr, RegCloseKeyFn>;
// The whole screen's device context from GetDC(nullptr).
using UniqueScreenDC = Owned<HDC, nullptr, ReleaseScreenDCFn>;
// A memory device context from CreateCompatibleDC.
using UniqueMemoryDC = Owned<HDC, nullptr, DeleteDCFn>;

// A window's device context from GetDC(window), given back to that window.
class UniqueWindowDC {
 public:
  explicit UniqueWindowDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
  UniqueWindowDC(const UniqueWindowDC&) = delete;
  UniqueWindowDC& operator=(const UniqueWindowDC&) = delete;
  ~UniqueWindowDC() {
    if (dc_ != nullptr) ::ReleaseDC(wnd_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND wnd_;
  HDC dc_;
};

// An object selected into a device context for a while; the previous one goes back at the end.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Handles whose failure value is INVALID_HANDLE_VALUE (CreateFile, FindFirstFile). That value
// cannot be a template argument, so these get a class of their own; null counts as none too.
template <typename Close>
class InvalidValueHandle {
 public:
  InvalidValueHandle() = default;
  explicit InvalidValueHandle(HANDLE h) : h_(h) {}
  InvalidValueHandle(const InvalidValueHandle&) = delete;
  InvalidValueHandle& operator=(const InvalidValueHandle&) = delete;
  InvalidValueHandle(InvalidValueHandle&& o) noexcept
      : h_(std::exchange(o.h_, INVALID_HANDLE_VALUE)) {}
  InvalidValueHandle& operator=(InvalidValueHandle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  ~InvalidValueHandle() { reset(); }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void reset() {
    if (*this) Close{}(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

// A file or device from CreateFile.
using UniqueFile = InvalidValueHandle<CloseHandleFn>;
// A directory search from FindFirstFile.
using UniqueFindHandle = InvalidValueHandle<FindCloseFn>;

}  // namespace win
