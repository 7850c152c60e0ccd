// System-information queries under Wine, checked against the system's own answers reached by a
// different road where there is one.
#include "util/win/SysInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "util/Utils.h"
#include "util/win/Registry.h"

namespace {

std::string Env(const char* name) {
  char value[1024] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  return n > 0 && n < sizeof(value) ? std::string(value, n) : std::string();
}

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  return std::string(folder, GetSystemDirectoryA(folder, MAX_PATH));
}

// The domain of the account this process runs as, asked through its token and security id.
std::string TokenUserDomain() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return "?";
  const win::UniqueHandle token(opened);
  std::vector<BYTE> info(1024);
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenUser, info.data(), static_cast<DWORD>(info.size()),
                           &size))
    return "?";
  char name[256] = {}, domain[256] = {};
  DWORD nameSize = sizeof(name), domainSize = sizeof(domain);
  SID_NAME_USE use{};
  if (!LookupAccountSidA(nullptr, reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, name,
                         &nameSize, domain, &domainSize, &use))
    return "?";
  return domain;
}

// The version as the string table of the same resource gives it.
std::string StringTableVersion(const std::string& file) {
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeA(file.c_str(), &ignored));
  if (data.empty() ||
      !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
    return "?";
  void* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\FileVersion", &text, &length))
    return "?";
  return static_cast<const char*>(text);
}

TEST(SysInfo, PlatformAndRegistration) {
  EXPECT_TRUE(IsWindowsNT());
  const std::string key = CurrentVersionKey();
  EXPECT_EQ(key, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");

  // Owner and organisation, with the stored value and without it (the test prefix is private,
  // and the values are put back afterwards).
  const std::string kMissing = "\x01missing";
  const std::string owner = ReadRegString(key, "RegisteredOwner", kMissing, DefaultRegView);
  const std::string organisation =
      ReadRegString(key, "RegisteredOrganization", kMissing, DefaultRegView);
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                          KEY_READ | KEY_SET_VALUE, &opened),
            ERROR_SUCCESS);
  const win::UniqueKey cv(opened);
  auto put = [&](const char* name, const std::string& value) {
    if (value == kMissing)
      RegDeleteValueA(cv.get(), name);
    else
      RegSetValueExA(cv.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  };

  put("RegisteredOwner", "  Jane Owner \t");
  put("RegisteredOrganization", " Velmora Ltd ");
  EXPECT_EQ(RegisteredOwner(), "Jane Owner");
  EXPECT_EQ(RegisteredOrganization(), "Velmora Ltd");
  put("RegisteredOwner", kMissing);
  put("RegisteredOrganization", kMissing);
  EXPECT_EQ(RegisteredOwner(), LoggedUserName());
  EXPECT_EQ(RegisteredOrganization(), "");

  put("RegisteredOwner", owner);
  put("RegisteredOrganization", organisation);
}

TEST(SysInfo, UserComputerAndDomain) {
  EXPECT_NE(LoggedUserName(), "");
  EXPECT_EQ(LoggedUserName(), Env("USERNAME"));
  EXPECT_NE(ComputerName(), "");
  EXPECT_TRUE(SameText(ComputerName(), Env("COMPUTERNAME")))
      << ComputerName() << " / " << Env("COMPUTERNAME");
  EXPECT_NE(CurrentDomainName(), "");
  EXPECT_EQ(CurrentDomainName(), TokenUserDomain());
  EXPECT_EQ(AccountDomain("tarvo-no-such-account-4711"), "");
}

TEST(SysInfo, LastErrorText) {
  wintest::TempFolder temp;
  const win::UniqueFile missing(CreateFileA(temp.File("missing.txt").c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_FALSE(missing);
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  char raw[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_FILE_NOT_FOUND, 0, raw, sizeof(raw), nullptr);
  SetLastError(ERROR_FILE_NOT_FOUND);
  const std::string text = LastErrorText();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "left as it was";
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::string(raw).substr(0, text.size()), text);
  EXPECT_EQ(std::string(raw).find_first_not_of(". \r\n", text.size()), std::string::npos)
      << "only the full stop and line break are dropped from: " << raw;
  EXPECT_NE(text.back(), '.');

  SetLastError(0x20001234);  // an application-defined code has no system message
  EXPECT_EQ(LastErrorText(), "Failed to get the system error message");
}

TEST(SysInfo, FileVersionText) {
  const std::string stub = wintest::BesideTests("tarvostub.exe");
  EXPECT_EQ(FileVersionText(stub), StringTableVersion(stub));
  const std::regex fourNumbers("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+");
  const std::string kernel =
      FileVersionText(SetTrailingBackslash(SystemFolder(), true) + "kernel32.dll");
  EXPECT_TRUE(std::regex_match(kernel, fourNumbers)) << kernel;
  // The test program carries no version resource: the own-file form reads the same file.
  EXPECT_EQ(FileVersionText(""), FileVersionText(wintest::BesideTests("win_tests.exe")));
  EXPECT_EQ(FileVersionText(""), "");
  EXPECT_EQ(FileVersionText(wintest::BesideTests("no-such-file.exe")), "");
}

TEST(SysInfo, ScreenMetrics) {
  const int ppi = ScreenPixelsPerInch();
  ASSERT_GT(ppi, 0);
  EXPECT_EQ(ScreenPixelsPerInch(), ppi);
  EXPECT_EQ(PointsToPixels(8), PointsToPixelsAt(8, ppi));
  if (ppi == 96) {
    EXPECT_EQ(PointsToPixels(8), 11);
  }

  RECT area{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
  const ScreenPoint p = CenterInWorkArea(492, 110);
  const int leftMargin = p.left - area.left, rightMargin = area.right - (p.left + 492);
  const int topMargin = p.top - area.top, bottomMargin = area.bottom - (p.top + 110);
  EXPECT_GE(rightMargin - leftMargin, 0);
  EXPECT_LE(rightMargin - leftMargin, 1);
  EXPECT_GE(bottomMargin - topMargin, 0);
  EXPECT_LE(bottomMargin - topMargin, 1);
}

TEST(SysInfo, WindowTextOf) {
  HWND window = CreateWindowExA(0, "STATIC", "caption", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowTextOf(window), "caption");
  SetWindowTextA(window, std::string(2000, 'x').c_str());
  EXPECT_EQ(WindowTextOf(window), std::string(1023, 'x'));
  DestroyWindow(window);
  EXPECT_EQ(WindowTextOf(window), "") << "a destroyed window";
  EXPECT_EQ(WindowTextOf(nullptr), "");
}

TEST(SysInfo, ShellOpen) {
  wintest::TempFolder temp;
  const std::string marker = temp.File("marker.txt");
  const std::string script = temp.Write("open.bat", "@echo %1> \"" + marker + "\"\r\n");
  ASSERT_TRUE(ShellOpen(script, "hello", SW_HIDE));
  std::string content;
  for (int i = 0; i < 300 && content.empty(); ++i) {
    Sleep(50);
    content = wintest::TempFolder::Read(marker);
  }
  EXPECT_EQ(Trim(content), "hello");
  Sleep(200);  // let the command interpreter let go of the folder

  EXPECT_FALSE(ShellOpen(temp.File("missing.txt"), "", SW_HIDE));
}

TEST(SysInfo, GetProcFromLibrary) {
  EXPECT_EQ(GetProcFromLibrary("kernel32.dll", "GetTickCount"),
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount"));
  EXPECT_EQ(GetProcFromLibrary("kernel32.dll", "TarvoNoSuchFunction"), nullptr);
  EXPECT_EQ(GetProcFromLibrary("tarvo_no_such_library.dll", "Anything"), nullptr);
  EXPECT_EQ(GetProcFromLibrary("", "Anything"), nullptr);

  // The second form hands the library over; releasing it unloads a library nobody else holds.
  const bool heldBefore = GetModuleHandleA("msimg32.dll") != nullptr;
  {
    win::UniqueModule module;
    const auto gradient = GetProcFromLibrary("msimg32.dll", "GradientFill", module);
    EXPECT_NE(gradient, nullptr);
    EXPECT_TRUE(module);
  }
  if (!heldBefore) {
    EXPECT_EQ(GetModuleHandleA("msimg32.dll"), nullptr);
  }
}

TEST(SysInfo, LibrariesComeFromTheSystemFolderOnly) {
  // A DLL planted in the current folder is found by a plain load but never by ours.
  wintest::TempFolder temp;
  const std::string planted = temp.File("tarvo_planted.dll");
  ASSERT_TRUE(CopyFileA((SetTrailingBackslash(SystemFolder(), true) + "msimg32.dll").c_str(),
                        planted.c_str(), FALSE));
  char previous[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(temp.Path().c_str()));

  EXPECT_EQ(LoadSystemLibrary("tarvo_planted.dll"), nullptr);
  EXPECT_EQ(GetProcFromLibrary("tarvo_planted.dll", "GradientFill"), nullptr);
  // Only now load it the plain way (once loaded, any load by that name finds it in memory).
  {
    const win::UniqueModule plain(LoadLibraryA("tarvo_planted.dll"));
    EXPECT_TRUE(plain) << "the plant must be loadable for this test to mean anything";
  }
  // A name with its folder is loaded from there.
  const win::UniqueModule byPath(LoadSystemLibrary(planted));
  EXPECT_TRUE(byPath);

  SetCurrentDirectoryA(previous);
}

// Runs in a child process (see below), where DiagnosticMode has not been asked yet.
TEST(SysInfoChild, DISABLED_DiagnosticModeKeepsFirstAnswer) {
  const bool want = Env("TARVO_EXPECT_DVX") == "1";
  EXPECT_EQ(DiagnosticMode(), want);
  SetEnvironmentVariableA("DVX", want ? "0" : "679");
  EXPECT_EQ(DiagnosticMode(), want) << "the first answer is kept for the run";
}

TEST(SysInfo, DiagnosticModeFromEnvironment) {
  const struct {
    const char* dvx;  // null: not set
    bool want;
  } cases[] = {{"679", true}, {"6790", false}, {" 679", false}, {nullptr, false}};
  const std::string child = "\"" + wintest::BesideTests("win_tests.exe") +
                            "\" --gtest_brief=1 --gtest_also_run_disabled_tests"
                            " --gtest_filter=SysInfoChild.DISABLED_DiagnosticModeKeepsFirstAnswer";
  for (const auto& c : cases) {
    SetEnvironmentVariableA("DVX", c.dvx);
    SetEnvironmentVariableA("TARVO_EXPECT_DVX", c.want ? "1" : "0");
    EXPECT_EQ(wintest::RunAndWait(child, 60000), 0u) << (c.dvx ? c.dvx : "(not set)");
  }
  SetEnvironmentVariableA("DVX", nullptr);
  SetEnvironmentVariableA("TARVO_EXPECT_DVX", nullptr);
}

}  // namespace
