// Program entry of tarvostub.exe: the hardened start, the run, and the run's exit code.
#include <windows.h>

#include "core/KDebug.h"
#include "core/StubState.h"
#include "core/win/Global.h"
#include "core/win/StubMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RunStartup();
  StubMain();
  Trace().Flush();
  return StubExitCode();
}
