// KMsgBoxPump: the message pumps that keep the program's windows alive on the one thread.
#include "ui/KMsgBoxPump.h"

#include <windows.h>

#include <exception>

#include "core/KDebug.h"
#include "util/Utils.h"

void YieldX(std::uint32_t ms) {
  try {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Not ours to consume: the main loop must still see it once this step returns.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (const std::exception& e) {
    TraceException("YieldX", "", e.what());
  } catch (...) {
    TraceException("YieldX", "", "unknown exception");
  }
  Sleep(ms);
}

void YieldWait(std::uint32_t stepMs, std::int64_t durationMs) {
  const std::uint32_t step = YieldWaitStep(stepMs, durationMs);
  const std::int64_t deadline = MillisecondClock() + durationMs;
  do {
    YieldX(step);
  } while (MillisecondClock() < deadline);
}
