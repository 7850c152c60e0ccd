// SysInfoRules: the portable arithmetic and text rules behind the system-information queries,
// so that they are tested natively with the system's answers passed in as values.
#pragma once

#include <cstdint>
#include <string>

// The key that holds the registered owner and organisation; "Windows NT" on the NT platform.
std::string CurrentVersionKeyFor(bool windowsNT);

// A system message without its trailing line break, blanks and full stops.
std::string CleanSystemMessage(const std::string& message);

// "major.minor.release.build" from the two 32-bit words of a fixed file version.
std::string FormatFileVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// points * pixelsPerInch / 72 rounded to the nearest integer, halves away from zero; clamped to
// the int range.
int PointsToPixelsAt(int points, int pixelsPerInch);

struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct ScreenPoint {
  int left = 0, top = 0;
};

// Where a width x height window goes to sit in the middle of the area; each half of the
// difference truncates toward zero, so a window larger than the area starts at its edge or
// slightly before it.
ScreenPoint CenterInArea(const ScreenRect& area, int width, int height);

// The diagnostic switch is on for exactly this value of its environment variable.
bool DiagnosticValueOn(const std::string& value);
