// KMsgBoxPump: the step arithmetic of YieldWait (the pumps themselves are in win/).
#include "ui/KMsgBoxPump.h"

std::uint32_t YieldWaitStep(std::uint32_t stepMs, std::int64_t durationMs) {
  if (stepMs != 0) return stepMs;
  const std::int64_t tenth = durationMs / 10;
  if (tenth < 1) return 1;
  if (tenth > 25) return 25;
  return static_cast<std::uint32_t>(tenth);
}
