// SysFacts (Windows): locale texts, lead bytes and clocks straight from the system.
#include "util/SysFacts.h"

#include <windows.h>

namespace SysFacts {

namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
  char buf[128] = {};
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, static_cast<int>(sizeof(buf)));
  if (n <= 1) return fallback;  // n counts the terminating zero
  return std::string(buf, static_cast<std::size_t>(n - 1));
}

}  // namespace

bool IsLeadByte(char c) {
  return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE;
}

std::string DecimalSeparator() {
  return LocaleText(LOCALE_SDECIMAL, ".");
}

DateLocale UserDateLocale() {
  static const char* const kFallback[12] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  DateLocale loc;
  loc.dateSeparator = LocaleText(LOCALE_SDATE, "/");
  loc.timeSeparator = LocaleText(LOCALE_STIME, ":");
  for (int i = 0; i < 12; ++i)
    loc.longMonthNames[static_cast<std::size_t>(i)] =
        LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i), kFallback[i]);
  return loc;
}

LocalTime LocalNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

std::int64_t PerformanceCounter() {
  LARGE_INTEGER v{};
  QueryPerformanceCounter(&v);
  return v.QuadPart;
}

std::int64_t PerformanceFrequency() {
  LARGE_INTEGER v{};
  if (!QueryPerformanceFrequency(&v) || v.QuadPart <= 0) return 1000;  // never divide by zero
  return v.QuadPart;
}

std::uint64_t RandomSeedTick() {
  return GetTickCount();
}

}  // namespace SysFacts
