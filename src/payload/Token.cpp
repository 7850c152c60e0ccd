// Descrambling of the build and web tokens that the builder stores in the parameter and web blocks.
#include "payload/Token.h"

#include <cstdint>
#include <random>
#include <vector>

#include "util/Utils.h"

namespace payload {

namespace {

constexpr int kDigitShift = 50;

// One process-wide generator: reseeding from the clock per call would make two failures within one
// clock tick compare equal.
std::string RandomFailureToken() {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> below99999(0, 99998);
  return std::to_string(below99999(generator));
}

// A piece read as a hexadecimal number the way the text helpers read one; only its low byte counts.
uint8_t HexPieceValue(const std::string& piece) {
  return static_cast<uint8_t>(HexToInt64(piece) & 0xFF);
}

std::vector<uint8_t> UnshiftedBytes(const std::string& text) {
  std::string shifted = text;
  for (char& c : shifted) c = static_cast<char>(static_cast<uint8_t>(c) - kDigitShift);
  std::vector<uint8_t> bytes;
  bytes.reserve(shifted.size() / 2 + 1);
  for (size_t at = 0; at < shifted.size(); at += 2)
    bytes.push_back(HexPieceValue(shifted.substr(at, 2)));
  return bytes;
}

bool CheckByteMatches(const std::vector<uint8_t>& d) {
  const size_t checkAt = d.size() - 2;
  uint8_t sum = 0;
  for (size_t i = 0; i < d.size(); ++i) {
    if (i != checkAt) sum = static_cast<uint8_t>(sum + d[i]);
  }
  return sum == d[checkAt];
}

}  // namespace

std::string DescrambleToken(const std::string& text) {
  std::vector<uint8_t> d = UnshiftedBytes(text);
  const size_t n = d.size();
  if (n <= 4 || !CheckByteMatches(d)) return RandomFailureToken();
  const uint8_t key = static_cast<uint8_t>(d[0] ^ d[n - 1]);
  for (size_t i = 1; i <= n - 2; ++i) d[i] = static_cast<uint8_t>(d[i] ^ key);
  const int64_t prefix = d[1];
  const int64_t suffix = d[2];
  const int64_t count = static_cast<int64_t>(n) - prefix - suffix - 4;
  if (count <= 0) return std::string();
  const auto from = static_cast<size_t>(prefix + 3);
  return std::string(d.begin() + static_cast<std::ptrdiff_t>(from),
                     d.begin() + static_cast<std::ptrdiff_t>(from + static_cast<size_t>(count)));
}

}  // namespace payload
