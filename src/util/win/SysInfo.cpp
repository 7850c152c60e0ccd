// SysInfo: platform, user, error, version, screen, shell and library queries.
#include "util/win/SysInfo.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "util/Utils.h"
#include "util/win/Registry.h"

namespace {

constexpr char kErrorLookupFailed[] = "Failed to get the system error message";

// Text of a zero-terminated buffer that the system may have filled without a terminator.
std::string BufferText(const char* buffer, std::size_t capacity) {
  return std::string(buffer, strnlen(buffer, capacity));
}

bool Loaded(HMODULE module) {
  return reinterpret_cast<UINT_PTR>(module) > 32;
}

bool HasFolder(const std::string& name) {
  return name.find_first_of("\\/:") != std::string::npos;
}

HMODULE LoadWithFlags(const std::string& name, DWORD flags) {
  DWORD oldMode = 0;
  // A missing library must not pop up a system error box in front of the user.
  const BOOL modeSet =
      SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  HMODULE module = LoadLibraryExA(name.c_str(), nullptr, flags);
  const DWORD error = GetLastError();
  if (modeSet) SetThreadErrorMode(oldMode, nullptr);
  SetLastError(error);
  return module;
}

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return std::string();
  return std::string(folder, n);
}

// The running program's full path, however long.
std::string OwnProgramPath() {
  std::vector<char> path(MAX_PATH);
  while (path.size() <= 32768) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) return std::string(path.data(), n);
    path.resize(path.size() * 2);
  }
  return std::string();
}

// The version functions are bound at run time from the system folder: a static import of
// version.dll would be resolved from the program's own folder first.
using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

std::string FixedVersionOf(const std::string& path) {
  win::UniqueModule library;
  const auto sizeOf = ProcAs<GetFileVersionInfoSizeFn>(
      GetProcFromLibrary("version.dll", "GetFileVersionInfoSizeA", library));
  const auto infoOf =
      ProcAs<GetFileVersionInfoFn>(GetProcAddress(library.get(), "GetFileVersionInfoA"));
  const auto query = ProcAs<VerQueryValueFn>(GetProcAddress(library.get(), "VerQueryValueA"));
  if (!sizeOf || !infoOf || !query) return std::string();

  DWORD ignored = 0;
  const DWORD size = sizeOf(path.c_str(), &ignored);
  // A version resource is small; refuse what no real one needs.
  if (size == 0 || size > (1u << 20)) return std::string();
  std::vector<BYTE> data(size);
  if (!infoOf(path.c_str(), 0, size, data.data())) return std::string();
  void* block = nullptr;
  UINT length = 0;
  if (!query(data.data(), "\\", &block, &length) || !block || length < sizeof(VS_FIXEDFILEINFO))
    return std::string();
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
  if (fixed->dwSignature != 0xFEEF04BD) return std::string();
  return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

int AskPixelsPerInch() {
  const win::UniqueScreenDC screen(GetDC(nullptr));
  const int ppi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  // Without an answer, the common 96 keeps font sizes sane instead of zero.
  return ppi > 0 ? ppi : 96;
}

bool ReadDiagnosticSwitch() {
  char value[8] = {};
  const DWORD n = GetEnvironmentVariableA("DVX", value, sizeof(value));
  if (n == 0 || n >= sizeof(value)) return false;
  return DiagnosticValueOn(std::string(value, n));
}

}  // namespace

// ---- Platform and registration --------------------------------------------

bool IsWindowsNT() {
  OSVERSIONINFOA info{};
  static_assert(sizeof(info) == 148, "the version record is passed with its 148-byte size");
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string CurrentVersionKey() {
  return CurrentVersionKeyFor(IsWindowsNT());
}

std::string RegisteredOwner() {
  return Trim(
      ReadRegString(CurrentVersionKey(), "RegisteredOwner", LoggedUserName(), DefaultRegView));
}

std::string RegisteredOrganization() {
  return Trim(ReadRegString(CurrentVersionKey(), "RegisteredOrganization", "", DefaultRegView));
}

// ---- User, computer and domain ----------------------------------------------

std::string LoggedUserName() {
  char name[256] = {};
  DWORD size = sizeof(name);
  if (!GetUserNameA(name, &size)) return std::string();
  return Trim(BufferText(name, sizeof(name)));
}

std::string ComputerName() {
  char name[256] = {};
  DWORD size = sizeof(name);
  if (!GetComputerNameA(name, &size)) return std::string();
  return Trim(BufferText(name, sizeof(name)));
}

std::string AccountDomain(const std::string& accountName) {
  try {
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use = SidTypeUnknown;
    // The first call only learns the sizes.
    LookupAccountNameA(nullptr, accountName.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0 || sidSize > 4096 || domainSize > 32768) return std::string();
    std::vector<BYTE> sid(sidSize);
    std::vector<char> domain(domainSize + 1);
    DWORD domainLength = static_cast<DWORD>(domain.size());
    if (!LookupAccountNameA(nullptr, accountName.c_str(), sid.data(), &sidSize, domain.data(),
                            &domainLength, &use))
      return std::string();
    return BufferText(domain.data(), domain.size());
  } catch (...) {
    return std::string();
  }
}

std::string CurrentDomainName() {
  return AccountDomain(LoggedUserName());
}

// ---- Errors and versions ----------------------------------------------------

std::string LastErrorText() {
  const DWORD code = GetLastError();
  std::string text;
  try {
    char message[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, message, sizeof(message), nullptr);
    text = n > 0 ? CleanSystemMessage(BufferText(message, sizeof(message))) : kErrorLookupFailed;
  } catch (...) {
    text = kErrorLookupFailed;
  }
  SetLastError(code);
  return text;
}

std::string FileVersionText(const std::string& file) {
  try {
    return FixedVersionOf(file.empty() ? OwnProgramPath() : file);
  } catch (...) {
    return std::string();
  }
}

// ---- Screen and windows -----------------------------------------------------

int ScreenPixelsPerInch() {
  static const int ppi = AskPixelsPerInch();
  return ppi;
}

int PointsToPixels(int points) {
  return PointsToPixelsAt(points, ScreenPixelsPerInch());
}

ScreenPoint CenterInWorkArea(int width, int height) {
  RECT area{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return CenterInArea({area.left, area.top, area.right - area.left, area.bottom - area.top}, width,
                      height);
}

std::string WindowTextOf(HWND window) {
  if (!window) return std::string();
  char text[1024] = {};
  const int n = GetWindowTextA(window, text, sizeof(text));
  if (n <= 0) return std::string();
  return BufferText(text, sizeof(text) - 1);
}

// ---- Shell and libraries ----------------------------------------------------

bool ShellOpen(const std::string& file, const std::string& parameters, int showCommand) {
  const HINSTANCE result =
      ShellExecuteA(GetDesktopWindow(), nullptr, file.c_str(),
                    parameters.empty() ? nullptr : parameters.c_str(), nullptr, showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

HMODULE LoadSystemLibrary(const std::string& name) {
  if (name.empty()) return nullptr;
  if (HasFolder(name)) {
    HMODULE module =
        LoadWithFlags(name, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    return LoadWithFlags(name, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  HMODULE module = LoadWithFlags(name, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // Systems without the search flags: name the system folder explicitly.
  const std::string folder = SystemFolder();
  if (folder.empty()) return nullptr;
  return LoadWithFlags(SetTrailingBackslash(folder, true) + name, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC GetProcFromLibrary(const std::string& library, const std::string& function) {
  const HMODULE module = LoadSystemLibrary(library);
  if (!Loaded(module)) return nullptr;
  return GetProcAddress(module, function.c_str());
}

FARPROC GetProcFromLibrary(const std::string& library, const std::string& function,
                           win::UniqueModule& module) {
  module.reset(LoadSystemLibrary(library));
  if (!Loaded(module.get())) return nullptr;
  return GetProcAddress(module.get(), function.c_str());
}

// ---- Diagnostic switch ------------------------------------------------------

bool DiagnosticMode() {
  // 255: not read yet, 1: on, 0: off.
  static std::uint8_t state = 255;
  if (state == 255) state = ReadDiagnosticSwitch() ? 1 : 0;
  return state == 1;
}
