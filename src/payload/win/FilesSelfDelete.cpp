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
  if (!WriteStringToFile(script, DeleteMeScript(program, folder, script, removeFolder), 0, false)) {
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
