// SysInfo: small queries about the machine, the user and the running program, each a thin call
// to the system with a defined result for failure.
#pragma once

#include <windows.h>

#include <string>

#include "util/SysInfoRules.h"
#include "util/win/WinHandles.h"

// ---- Platform and registration --------------------------------------------

bool IsWindowsNT();
std::string CurrentVersionKey();
// Trimmed; the logged-on user's name when the value is missing.
std::string RegisteredOwner();
// Trimmed; empty when the value is missing.
std::string RegisteredOrganization();

// ---- User, computer and domain (empty when the system cannot say) ---------

std::string LoggedUserName();
std::string ComputerName();
std::string AccountDomain(const std::string& accountName);
std::string CurrentDomainName();

// ---- Errors and versions ----------------------------------------------------

// The system's sentence for the calling thread's last error code, without its line break and
// final full stop; the last error code is left as it was.
std::string LastErrorText();
// "a.b.c.d" from the file's fixed version; empty names the running program, and a file without
// a version resource gives the empty text.
std::string FileVersionText(const std::string& file);

// ---- Screen and windows -----------------------------------------------------

// Vertical logical pixels per inch of the screen, asked once per run.
int ScreenPixelsPerInch();
int PointsToPixels(int points);
// Top-left corner that centres a window of this size in the primary screen's work area.
ScreenPoint CenterInWorkArea(int width, int height);
// At most 1023 characters; empty for no window.
std::string WindowTextOf(HWND window);

// ---- Shell and libraries ----------------------------------------------------

// The shell's default verb on file, owned by the desktop window; true when the shell reports
// success.
bool ShellOpen(const std::string& file, const std::string& parameters, int showCommand);

// Loads a system library from the system folder only, so that a DLL planted beside the program
// is never picked up; a name with a folder in it is loaded from that path. Null on failure.
HMODULE LoadSystemLibrary(const std::string& name);

// The function's address in the library (loaded by LoadSystemLibrary), or null; this form keeps
// the library loaded for the rest of the run.
FARPROC GetProcFromLibrary(const std::string& library, const std::string& function);
// The same, handing the library to module so that it is released with it.
FARPROC GetProcFromLibrary(const std::string& library, const std::string& function,
                           win::UniqueModule& module);

// Casts a looked-up address to the function type the caller knows it has.
template <typename Fn>
Fn ProcAs(FARPROC proc) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// ---- Diagnostic switch ------------------------------------------------------

// True when the environment variable "DVX" holds exactly "679"; read on the first call and kept.
bool DiagnosticMode();
