// SysFacts (native build): the "C" locale and the standard clocks, for tests and the Linux tools.
#include "util/SysFacts.h"

#include <chrono>
#include <ctime>

namespace SysFacts {

bool IsLeadByte(char) {
  return false;
}

std::string DecimalSeparator() {
  return ".";
}

DateLocale UserDateLocale() {
  return DateLocale{"/",
                    ":",
                    {"January", "February", "March", "April", "May", "June", "July", "August",
                     "September", "October", "November", "December"}};
}

LocalTime LocalNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t secs = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&secs, &tm);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.millisecond = static_cast<int>(ms < 0 ? ms + 1000 : ms);
  return t;
}

std::int64_t PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int64_t PerformanceFrequency() {
  return 1000000000;
}

std::uint64_t RandomSeedTick() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace SysFacts
