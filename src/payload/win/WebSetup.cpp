// WebSetup: the web installer's branch is not built yet; it says so in the trace and does nothing
// else, so a web installer ends without running anything.
#include "payload/win/WebSetup.h"

#include "core/KDebug.h"

void WebSetupTick() {
  TracePid() << " WebSetupTick: not built yet" << EndLine;
}
