// Spanned: StartSpanCopy (the launcher's whole work) and the ForcePrompt registry switch.
#include "payload/win/Spanned.h"

#include <windows.h>

#include "core/KDebug.h"
#include "core/ProcessFacts.h"
#include "core/win/ProcessSwitches.h"
#include "payload/SetupSteps.h"
#include "payload/SpanRules.h"
#include "payload/win/SetupFolder.h"
#include "util/RegistryText.h"
#include "util/win/Registry.h"

bool IsForcePrompt() {
  return ReadRegString("HKEY_CURRENT_USER\\Software\\Velmora\\Tarvo\\SpanDisk", "ForcePrompt", "0",
                       DefaultRegView) == "1";
}

void StartSpanCopy() {
  const std::string program = ProgramFullPath();
  const std::string copy = SpanCopyPath(SetupFolder(), program);
  // The copy keeps the file time, so it computes the same setup folder.
  if (!CopyFileA(program.c_str(), copy.c_str(), FALSE)) {
    TracePid() << " StartSpanCopy: cannot copy to " << copy << " (error " << GetLastError() << ")"
               << EndLine;
    return;
  }
  std::string line = SpanCopyCommandLine(copy, SpanCopyArguments(CommandArguments(), program));
  TracePid() << " StartSpanCopy: " << line << EndLine;
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  // Named on its own as well: the setup folder may hold blanks.
  if (CreateProcessA(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    TracePid() << " StartSpanCopy: the copy did not start (error " << GetLastError() << ")"
               << EndLine;
  }
}
