// Utils, dates: the day-number scale from 30 December 1899 and the program's date patterns.
#include <cmath>

#include "util/KSUB.h"
#include "util/SysFacts.h"
#include "util/Utils.h"

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569;  // 1 January 1970 on the 1899 scale
constexpr double kFirstDay = -693593.0;        // 1 January 0001
constexpr double kDayAfterLast = 2958466.0;    // 1 January 10000

// Days since 1 January 1970 for a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

std::string Two(int v) {
  return IntToZeroPad(v, 2);
}

// The text of the pattern token at pos (any case) and its length; length 0 when none starts there.
struct TokenText {
  std::size_t length = 0;
  std::string text;
};

TokenText Token(const std::string& pattern, std::size_t pos, const DateTimeParts& p,
                const SysFacts::DateLocale& loc) {
  const std::string four = UpperCase(pattern.substr(pos, 4));
  const std::string two = four.substr(0, 2);
  if (four == "YYYY") return {4, IntToZeroPad(p.year, 4)};
  if (four == "MMMM") return {4, loc.longMonthNames[static_cast<std::size_t>(p.month - 1)]};
  if (two == "YY") return {2, Two(p.year % 100)};
  if (two == "MM") return {2, Two(p.month)};
  if (two == "DD") return {2, Two(p.day)};
  if (two == "HH") return {2, Two(p.hour)};
  if (two == "NN") return {2, Two(p.minute)};
  if (two == "SS") return {2, Two(p.second)};
  if (pattern[pos] == '/') return {1, loc.dateSeparator};
  if (pattern[pos] == ':') return {1, loc.timeSeparator};
  return {};
}

}  // namespace

bool TryEncodeDateTime(const DateTimeParts& p, double& dateTime) {
  dateTime = 0;
  if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
      p.minute > 59 || p.second < 0 || p.second > 59 || p.millisecond < 0 || p.millisecond > 999)
    return false;
  const double days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) + kUnixEpochDay);
  const double time =
      static_cast<double>(((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond) /
      static_cast<double>(kMsPerDay);
  // Before the scale's day 0 the time still counts forward from midnight: -1.25 is 06:00.
  dateTime = days < 0 ? days - time : days + time;
  return true;
}

bool DecodeDateTime(double dateTime, DateTimeParts& p) {
  if (!std::isfinite(dateTime) || dateTime <= kFirstDay - 1 || dateTime >= kDayAfterLast)
    return false;
  const std::int64_t totalMs = std::llround(dateTime * static_cast<double>(kMsPerDay));
  std::int64_t day = totalMs / kMsPerDay;
  std::int64_t ms = std::llabs(totalMs % kMsPerDay);
  if (day < static_cast<std::int64_t>(kFirstDay) || day >= static_cast<std::int64_t>(kDayAfterLast))
    return false;
  CivilFromDays(day - kUnixEpochDay, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  p.second = static_cast<int>(ms % 60);
  ms /= 60;
  p.minute = static_cast<int>(ms % 60);
  p.hour = static_cast<int>(ms / 60);
  return true;
}

std::string FormatDateTime(const std::string& pattern, double dateTime,
                           const SysFacts::DateLocale& locale) {
  DateTimeParts p;
  if (!DecodeDateTime(dateTime, p)) return std::string();
  std::string r;
  for (std::size_t pos = 0; pos < pattern.size();) {
    const TokenText token = Token(pattern, pos, p, locale);
    if (token.length == 0) {
      r += pattern[pos++];
    } else {
      r += token.text;
      pos += token.length;
    }
  }
  return r;
}

std::string FormatDateTime(const std::string& pattern, double dateTime) {
  return FormatDateTime(pattern, dateTime, SysFacts::UserDateLocale());
}

std::string DateDMonY(double dateTime) {
  DateTimeParts p;
  if (!DecodeDateTime(dateTime, p)) return std::string();
  // The abbreviations are fixed, whatever the locale says.
  const std::string months = "||JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC|";
  return Two(p.day) + "-" + SUB::Field(months, p.month, "") + "-" + IntToZeroPad(p.year, 4);
}

std::string DateTimeDMonY(double dateTime) {
  const std::string date = DateDMonY(dateTime);
  return date.empty() ? date : date + " " + FormatDateTime("HH:NN:SS", dateTime);
}

std::string DateTimeStamp(bool fourDigitYear, double dateTime) {
  const std::string pattern = "dd/mm/yy HH:NN:SS";
  return FormatDateTime(fourDigitYear ? ReplaceAll(pattern, "yy", "yyyy") : pattern, dateTime);
}

double NowDateTime() {
  const SysFacts::LocalTime t = SysFacts::LocalNow();
  DateTimeParts p{t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond};
  double dt = 0;
  TryEncodeDateTime(p, dt);
  return dt;
}

std::int64_t NowSeconds() {
  return std::llround(NowDateTime() * 86400.0);
}
