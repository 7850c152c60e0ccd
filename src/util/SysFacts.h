// SysFacts: the few system facts the text and date helpers need, one implementation per platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace SysFacts {

// Locale texts used by the number and date formatters.
struct DateLocale {
  std::string dateSeparator;
  std::string timeSeparator;
  std::array<std::string, 12> longMonthNames;
};

// A broken-down local time, fields as the calendar shows them.
struct LocalTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeadByte(char c);
std::string DecimalSeparator();
DateLocale UserDateLocale();
LocalTime LocalNow();
std::int64_t PerformanceCounter();
std::int64_t PerformanceFrequency();
// The clock that seeds the pseudo-random generator; calls within one tick give the same value.
std::uint64_t RandomSeedTick();

}  // namespace SysFacts
