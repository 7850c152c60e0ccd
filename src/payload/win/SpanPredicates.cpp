// SpanPredicates: the spanned-set level of this run, from the own file's flag and the command line.
#include "core/RunMode.h"
#include "core/StubState.h"
#include "core/win/ProcessSwitches.h"
#include "payload/SetupSteps.h"

bool IsSpanLauncher() {
  return runmode::IsSpanLauncherLevel(FileInfo().IsSpanFirstLevel(),
                                      GetSwitchInt("/SpanCdLvl=", 1));
}

bool IsSpanCopy() {
  return runmode::IsSpanCopyLevel(GetSwitchInt("/SpanCdLvl=", 1));
}
