// Files, leaving the machine: the script that deletes the program after it has ended, and the
// CD tray that opens before the next disk of a spanned set is asked for.
#include "payload/win/Files.h"

#include <winioctl.h>

#include <cstdint>
#include <exception>
#include <vector>

#include "core/KDebug.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

// The command interpreter of the system folder, so that no cmd.exe beside the program is used.
std::string CommandInterpreter() {
  char folder[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return "cmd.exe";
  return JoinPath(std::string(folder, n), "cmd.exe");
}

// Starts the script hidden and does not wait. /D skips AutoRun commands, /V:OFF keeps "!" in
// paths literal; the outer quotes are the pair that /C strips.
bool StartScriptHidden(const std::string& script, const std::string& folder) {
  const std::string interpreter = CommandInterpreter();
  std::string line = "\"" + interpreter + "\" /D /V:OFF /C \"\"" + script + "\"\"";
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(interpreter.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &startup, &started)) {
    return false;
  }
  const win::UniqueHandle process(started.hProcess);
  const win::UniqueHandle thread(started.hThread);
  return true;
}

// The script as the command interpreter reads it: batch files are in the OEM code page, the paths
// in the ANSI one. False when a character has no OEM form.
bool ToOemText(const std::string& ansi, std::string& oem) {
  const int n = static_cast<int>(ansi.size());
  std::wstring wide(ansi.size(), L'\0');
  const int wn = MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, wide.data(), n);
  if (wn != n && n != 0) return false;
  std::string out(ansi.size() * 2, '\0');
  BOOL usedDefault = FALSE;
  const int on = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), wn, out.data(),
                                     static_cast<int>(out.size()), nullptr, &usedDefault);
  if ((on == 0 && n != 0) || usedDefault) return false;
  oem.assign(out.data(), static_cast<std::size_t>(on));
  return true;
}

// The short form of a path when the system has one, else the path itself.
std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH + 1);
  return n == 0 || n > MAX_PATH ? path : std::string(buffer, n);
}

// The script text in the OEM code page; a path with a character the OEM code page lacks is
// written in its short form, which the system makes from such characters.
std::string ScriptText(const std::string& program, const std::string& folder,
                       const std::string& script, bool removeFolder) {
  const std::string ansi = DeleteMeScript(program, folder, script, removeFolder);
  std::string oem;
  if (ToOemText(ansi, oem)) return oem;
  const std::string shortScript =
      JoinPath(ShortPath(script.substr(0, script.find_last_of('\\'))), kDeleteMeScriptName);
  const std::string shortText =
      DeleteMeScript(ShortPath(program), ShortPath(folder), shortScript, removeFolder);
  return ToOemText(shortText, oem) ? oem : ansi;
}

std::string HandleText(HANDLE h) {
  return std::to_string(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(h)));
}

win::UniqueFile OpenDevice(const std::string& device, DWORD access) {
  return win::UniqueFile(CreateFileA(device.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
}

}  // namespace

void DeleteMySelf(bool removeFolder) {
  const std::string temp = SystemTempFolder();
  const std::string program = ProgramFile();
  if (temp.empty() || program.empty()) return;
  const std::string folder = program.substr(0, program.find_last_of('\\'));
  const std::string script = temp + kDeleteMeScriptName;
  const std::string tempFolder = SetTrailingBackslash(temp, false);
  SetCurrentDirectoryA(tempFolder.c_str());
  if (!WriteStringToFile(script, ScriptText(program, folder, script, removeFolder), 0, false)) {
    TracePid() << " DeleteMySelf: cannot write " << script << EndLine;
    return;
  }
  if (!StartScriptHidden(script, tempFolder)) {
    TracePid() << " DeleteMySelf: cannot start " << script << EndLine;
  }
}

bool EjectCD(const std::string& path) {
  try {
    if (path.empty()) return false;
    const char letter = UpperCase(path.substr(0, 1))[0];
    if (letter < 'A' || letter > 'Z') return false;
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) != DRIVE_CDROM) return false;
    const std::string device = "\\\\.\\" + std::string(1, letter) + ":";
    win::UniqueFile drive = OpenDevice(device, GENERIC_READ | GENERIC_WRITE);
    TraceLine("EjectCD-2: " + device + " " + HandleText(drive.get()));
    if (!drive) drive = OpenDevice(device, GENERIC_READ);
    TraceLine("EjectCD-3: " + device + " " + HandleText(drive.get()));
    if (!drive) return false;
    DWORD returned = 0;
    return DeviceIoControl(drive.get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0,
                           &returned, nullptr) != 0;
  } catch (const std::exception&) {
    return false;
  }
}
