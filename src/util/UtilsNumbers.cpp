// Utils, numbers: padding, number and size formatting, hex, random numbers, the clock, scrambling.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/SysFacts.h"
#include "util/Utils.h"

namespace {

const char kDigits[] = "0123456789ABCDEF";
const std::string kScramblePrefix = "Scrambled=01";

std::string PadTo(const std::string& text, std::int64_t width, char pad) {
  if (width <= static_cast<std::int64_t>(text.size())) return text;
  return std::string(static_cast<std::size_t>(width) - text.size(), pad) + text;
}

std::string Fixed(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 18);
  // Round halves away from zero, as people expect ("2.5" -> "3"); to_chars alone rounds ties to
  // even.
  const double scale = std::pow(10.0, decimals);
  if (std::isfinite(value) && std::fabs(value * scale) < 1e15) {
    value = std::round(value * scale) / scale;
    if (value == 0) value = 0;  // no "-0"
  }
  char buf[400];  // the largest double in fixed notation with 18 decimals fits
  const auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, decimals);
  return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string();
}

// splitmix64: a small, well-mixed generator; one step per seed is all the callers need.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Whether text is scrambled; with hexadecimal set, its hexadecimal decoding counts as well.
bool IsScrambled(const std::string& text, bool hexadecimal) {
  return StartsWith(kScramblePrefix, text, false) ||
         (hexadecimal && StartsWith(kScramblePrefix, HexDecode(text), false));
}

}  // namespace

// ---- Padding --------------------------------------------------------------

std::string PadLeft(const std::string& text, int width, char pad) {
  if (width == -1 || width == -2) return text;
  if (width >= 0) return PadTo(text, width, pad);
  // A width of -3 or less is a fixed width: longer texts are cut and marked with '.'.
  const std::int64_t fixed = -static_cast<std::int64_t>(width);
  if (static_cast<std::int64_t>(text.size()) > fixed)
    return text.substr(0, static_cast<std::size_t>(fixed - 1)) + ".";
  return PadTo(text, fixed, pad);
}

std::string ZeroPad(const std::string& text, int width) {
  return PadTo(text, width, '0');
}

std::string IntToZeroPad(std::int64_t value, int width) {
  return ZeroPad(std::to_string(value), width);
}

// ---- Numbers and sizes ------------------------------------------------------

std::string GroupThousands(const std::string& numberText) {
  // A leading sign is not a digit and stays outside the groups.
  const std::size_t signLen =
      (!numberText.empty() && (numberText[0] == '-' || numberText[0] == '+')) ? 1 : 0;
  std::size_t intEnd = numberText.find('.');
  if (intEnd == std::string::npos) intEnd = numberText.size();
  std::string r = numberText;
  for (std::size_t cut = intEnd; cut > signLen + 3; cut -= 3) r.insert(cut - 3, 1, ',');
  return r;
}

std::string SizeText(std::int64_t bytes, std::int64_t unit, int fractional, bool group) {
  if (unit <= 0) unit = 1;  // no division by zero, whatever the caller passes
  std::string r;
  if (fractional > 0) {
    r = Fixed(bytes == 0 ? 0.0 : static_cast<double>(bytes) / static_cast<double>(unit), 1);
  } else {
    std::int64_t q = bytes / unit;
    if (q * unit < bytes) ++q;  // round up
    r = std::to_string(q);
  }
  return group ? GroupThousands(r) : r;
}

std::string SizeInKB(std::int64_t bytes, int fractional, bool group) {
  return SizeText(bytes, 1024, fractional, group);
}

std::string SizeInMB(std::int64_t bytes, int fractional, bool group) {
  return SizeText(bytes, 1048576, fractional, group);
}

std::string FixedText(double value, int decimals) {
  return FixedTextWith(value, decimals, SysFacts::DecimalSeparator());
}

std::string FixedTextWith(double value, int decimals, const std::string& decimalSeparator) {
  return ReplaceAll(Fixed(value, decimals), ".", decimalSeparator);
}

std::string BoolToText(bool value) {
  return value ? "TRUE" : "FALSE";
}

std::int64_t ParseNumber(const std::string& text, int base) {
  if (base < 2 || base > 16) return 0;
  const std::string t = Trim(UpperCase(text));
  // Only digits of the base count; any other character makes the text not a number (0).
  std::uint64_t result = 0;  // unsigned: the arithmetic wraps like the signed form is meant to
  for (char c : t) {
    const char* hit = std::char_traits<char>::find(kDigits, static_cast<std::size_t>(base), c);
    if (hit == nullptr) return 0;
    result = result * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(hit - kDigits);
  }
  return static_cast<std::int64_t>(result);
}

std::int64_t HexToInt64(const std::string& text) {
  const bool prefixed = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  return ParseNumber(prefixed ? text.substr(2) : text, 16);
}

std::string HexDump(const std::string& text, bool spaced, bool withPrefix) {
  std::string r;
  r.reserve(text.size() * (spaced ? 5 : 2));
  std::size_t n = 0;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (withPrefix) r += "0x";
    r += kDigits[c >> 4];
    r += kDigits[c & 15];
    if (spaced) {
      r += ' ';
      if (++n % 8 == 0) r += ' ';
    }
  }
  return r;
}

std::string HexDecode(const std::string& text) {
  std::string r;
  r.reserve(text.size() / 2 + 1);
  // The first pair is always taken; a further one only when it starts before the last character.
  for (std::size_t start = 0; start == 0 || start + 1 < text.size(); start += 2)
    r += static_cast<char>(HexToInt64(text.substr(start, 2)) & 0xFF);
  return r;
}

std::int64_t Min64(std::int64_t a, std::int64_t b) {
  return a < b ? a : b;
}

std::int64_t Max64(std::int64_t a, std::int64_t b) {
  return a > b ? a : b;
}

std::int64_t Clamp64(std::int64_t value, std::int64_t low, std::int64_t high) {
  return Min64(Max64(value, low), high);
}

// ---- Random numbers and the clock ---------------------------------------------

std::int64_t RandomFromSeed(std::uint64_t seed, std::int64_t low, std::int64_t high) {
  if (high <= low) return low;
  const std::uint64_t span = std::min<std::uint64_t>(
      static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low), 0xFFFFFFFFull);
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) + Mix(seed) % (span + 1));
}

std::int64_t RandomInRange(std::int64_t low, std::int64_t high) {
  return RandomFromSeed(SysFacts::RandomSeedTick(), low, high);
}

std::string RandomText(std::int64_t low, std::int64_t high) {
  return std::to_string(RandomInRange(low, high));
}

std::int64_t MillisecondClock() {
  static const double scale = 1000.0 / static_cast<double>(SysFacts::PerformanceFrequency());
  return std::llround(static_cast<double>(SysFacts::PerformanceCounter()) * scale);
}

// ---- Scrambled text -----------------------------------------------------------

std::string ScrambleBody(const std::string& text, unsigned char key) {
  std::string r = text;
  for (std::size_t i = 1; i <= r.size(); ++i) {
    // The key is added at odd positions and subtracted at even ones; only the low byte counts.
    const std::uint64_t mask = (i % 2 == 1) ? i + key : i - key;
    r[i - 1] = static_cast<char>(static_cast<unsigned char>(r[i - 1]) ^ (mask & 0xFF));
  }
  return r;
}

std::string Scramble(const std::string& text, bool encode, bool hexadecimal) {
  if (text.empty()) return text;
  std::string work = (!encode && hexadecimal) ? HexDecode(text) : text;
  if (IsScrambled(work, encode && hexadecimal) == encode) return text;
  if (!encode) {
    // A bare prefix carries no key and no body: it stands for the empty text.
    if (work.size() <= kScramblePrefix.size()) return std::string();
    const unsigned char key = static_cast<unsigned char>(work[kScramblePrefix.size()]);
    return ScrambleBody(work.substr(kScramblePrefix.size() + 1), key);
  }
  const auto key = static_cast<unsigned char>(RandomInRange(33, 122));
  work = kScramblePrefix + static_cast<char>(key) + ScrambleBody(work, key);
  return hexadecimal ? HexDump(work, false, false) : work;
}
