// KMsgBoxPump: the message pumps that keep the program's windows alive while a step works on
// the one thread (extraction, downloads, waits for other programs).
#pragma once

#include <cstdint>

// Dispatches every pending message of the thread, then sleeps ms milliseconds. A failure while
// dispatching ends the pumping and is traced; YieldX itself always returns normally.
void YieldX(std::uint32_t ms);
// Pumps with YieldX(step) until durationMs have passed on the millisecond clock; at least once.
// A step of 0 becomes the duration divided by 10, kept within 1 to 25.
void YieldWait(std::uint32_t stepMs, std::int64_t durationMs);

// The step YieldWait pumps with.
std::uint32_t YieldWaitStep(std::uint32_t stepMs, std::int64_t durationMs);
