// Utils: text, number and date helpers shared by every unit; pure functions unless noted.
#pragma once

#include <cstdint>
#include <string>

#include "util/SysFacts.h"

// ---- Basic text helpers -------------------------------------------------

// Removes every character with a code of 32 or less from both ends.
std::string Trim(const std::string& text);
// Folds the ASCII letters a-z onto A-Z; other characters keep their code.
std::string UpperCase(const std::string& text);
bool SameText(const std::string& a, const std::string& b);
// Optional sign and decimal digits, blanks around allowed; false when not a valid 64-bit integer.
bool TryTextToInt64(const std::string& text, std::int64_t& value);
std::int64_t TextToInt64Def(const std::string& text, std::int64_t def);

// ---- Searching and comparing (positions are 1-based, 0 = not found) -----

// Case-sensitive first occurrence.
std::size_t PosStr(const std::string& needle, const std::string& text);
std::size_t PosText(const std::string& needle, const std::string& text);
std::size_t PosFrom(const std::string& needle, const std::string& text, std::int64_t start,
                    bool ignoreCase);
std::size_t PosTextFrom(const std::string& needle, const std::string& text, std::int64_t start);
std::size_t LastPos(const std::string& needle, const std::string& text);
std::size_t ReversePosText(const std::string& needle, const std::string& text);
bool StartsWith(const std::string& prefix, const std::string& text, bool ignoreCase);
bool EndsWith(const std::string& suffix, const std::string& text, bool ignoreCase);
bool SameTextTrimmed(const std::string& a, const std::string& b);

// ---- Cutting and changing -----------------------------------------------

std::string TextBefore(const std::string& text, const std::string& separator,
                       const std::string& def);
std::string TextAfter(const std::string& text, const std::string& separator,
                      const std::string& def);
std::string ReplaceAll(const std::string& text, const std::string& oldText,
                       const std::string& newText);
std::string ReplaceAllText(const std::string& text, const std::string& oldText,
                           const std::string& newText);
std::string ReplaceChar(const std::string& text, char oldChar, char newChar);
std::string StripQuotes(const std::string& text, char quote, bool force, bool once);
std::string UnquoteTrimmed(const std::string& text, bool force);
std::string ReverseText(const std::string& text);
std::string IfThenStr(bool condition, const std::string& a, const std::string& b);
std::string FileNameNoExt(const std::string& path, bool allExtensions);
std::string SetTrailingBackslash(const std::string& path, bool withBackslash);
// Lead byte of a double-byte character in the system's ANSI code page (system fact).
bool IsLeadByte(char c);

// ---- Padding and numbers ------------------------------------------------

std::string PadLeft(const std::string& text, int width, char pad);
std::string ZeroPad(const std::string& text, int width);
std::string IntToZeroPad(std::int64_t value, int width);
std::string GroupThousands(const std::string& numberText);
std::string SizeText(std::int64_t bytes, std::int64_t unit, int fractional, bool group);
std::string SizeInKB(std::int64_t bytes, int fractional, bool group);
std::string SizeInMB(std::int64_t bytes, int fractional, bool group);
// Fixed notation with the locale's decimal separator (system fact) and no thousands separators.
std::string FixedText(double value, int decimals);
std::string FixedTextWith(double value, int decimals, const std::string& decimalSeparator);
std::string BoolToText(bool value);
std::int64_t ParseNumber(const std::string& text, int base);
std::int64_t HexToInt64(const std::string& text);
std::string HexDump(const std::string& text, bool spaced, bool withPrefix);
std::string HexDecode(const std::string& text);
std::int64_t Min64(std::int64_t a, std::int64_t b);
std::int64_t Max64(std::int64_t a, std::int64_t b);
std::int64_t Clamp64(std::int64_t value, std::int64_t low, std::int64_t high);
// The number RandomInRange draws for one seed: equal seeds give equal numbers.
std::int64_t RandomFromSeed(std::uint64_t seed, std::int64_t low, std::int64_t high);
// Reseeds from the clock tick (system fact) on every call.
std::int64_t RandomInRange(std::int64_t low, std::int64_t high);
std::string RandomText(std::int64_t low, std::int64_t high);
// The performance counter in milliseconds (system fact).
std::int64_t MillisecondClock();

// ---- Dates: days since 30 December 1899, time of day as the fraction ----

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// False (and 0) for fields outside the calendar of years 1 to 9999.
bool TryEncodeDateTime(const DateTimeParts& parts, double& dateTime);
// False for values outside years 1 to 9999 and for NaN or infinity.
bool DecodeDateTime(double dateTime, DateTimeParts& parts);
// Patterns: dd mm yy yyyy hh nn ss mmmm (any case), '/' and ':' for the locale's separators;
// other characters are copied. An undecodable date-time gives an empty text.
std::string FormatDateTime(const std::string& pattern, double dateTime,
                           const SysFacts::DateLocale& locale);
std::string FormatDateTime(const std::string& pattern, double dateTime);
std::string DateDMonY(double dateTime);
std::string DateTimeDMonY(double dateTime);
std::string DateTimeStamp(bool fourDigitYear, double dateTime);
// The local clock (system fact) as a date-time, and as whole seconds on the same scale.
double NowDateTime();
std::int64_t NowSeconds();

// ---- Scrambled text ("Scrambled=01", key character, body) ---------------

std::string Scramble(const std::string& text, bool encode, bool hexadecimal);
// The per-character transform of the scrambled form; applying it twice with one key restores the
// text.
std::string ScrambleBody(const std::string& text, unsigned char key);
