// InetSteps: the HTTP client's steps that the program shell calls and that are not built yet;
// each says so in the trace and does nothing else.
#include "net/InetSteps.h"

#include "core/KDebug.h"

void UnloadWinINet() {
  TracePid() << " UnloadWinINet: not built yet" << EndLine;
}
