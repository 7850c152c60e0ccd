// SysInfoRules: registry key choice, message cleaning, version text and screen arithmetic.
#include "util/SysInfoRules.h"

#include <climits>
#include <cstdio>

#include "util/Utils.h"

namespace {

int ClampToInt(std::int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

std::string CurrentVersionKeyFor(bool windowsNT) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  return windowsNT ? ReplaceAll(key, "Windows", "Windows NT") : key;
}

std::string CleanSystemMessage(const std::string& message) {
  std::size_t end = message.size();
  while (end > 0) {
    const unsigned char c = static_cast<unsigned char>(message[end - 1]);
    if (c > 32 && c != '.') break;
    --end;
  }
  return message.substr(0, end);
}

std::string FormatFileVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
  char text[48] = {};
  std::snprintf(text, sizeof(text), "%d.%d.%d.%d", static_cast<int>(mostSignificant >> 16),
                static_cast<int>(mostSignificant & 0xFFFF),
                static_cast<int>(leastSignificant >> 16),
                static_cast<int>(leastSignificant & 0xFFFF));
  return text;
}

int PointsToPixelsAt(int points, int pixelsPerInch) {
  const std::int64_t product = static_cast<std::int64_t>(points) * pixelsPerInch;
  std::int64_t quotient = product / 72;
  const std::int64_t remainder = product % 72;
  if (2 * remainder >= 72) ++quotient;
  if (2 * remainder <= -72) --quotient;
  return ClampToInt(quotient);
}

ScreenPoint CenterInArea(const ScreenRect& area, int width, int height) {
  // 64-bit so that extreme sizes cannot overflow before the halving.
  const std::int64_t left = area.left + (static_cast<std::int64_t>(area.width) - width) / 2;
  const std::int64_t top = area.top + (static_cast<std::int64_t>(area.height) - height) / 2;
  return {ClampToInt(left), ClampToInt(top)};
}

bool DiagnosticValueOn(const std::string& value) {
  return value == "679";
}
