// StubState: the process-wide state of a run: the reader of the program's own file, whether
// this file is an update agent, the instance marker and the exit code.
#pragma once

#include <string>

#include "payload/TGFileInfo.h"

// The one reader of the program's own file; an empty reader outside its lifetime.
const TGFileInfo& FileInfo();
// Reads the file (StubMain, at its start).
void CreateFileInfo(const std::string& programFullPath);
// Drops the reader (StubMain, after the run).
void FreeFileInfo();

// The own file is an update agent (trailer agent flag), fixed when FileInfo is created.
bool ThisIs_AutoUpdateProg();

// The main window's class name, by which a later start finds this one; fixed by DoRunStubWin.
const std::string& InstanceMarker();
void SetInstanceMarker(const std::string& marker);

// 0 unless the installer engine's exit code is taken over.
int StubExitCode();
void SetStubExitCode(int code);
