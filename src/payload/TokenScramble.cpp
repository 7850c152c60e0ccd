// TokenScramble: encoder for stored tokens and scrambled texts (see TokenScramble.h).
#include "payload/TokenScramble.h"

#include "util/Utils.h"

namespace payload {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr uint8_t kLetterShift = 50;  // each hex digit's code is raised by this much

void AppendShiftedHex(std::string& out, uint8_t byte) {
  out.push_back(static_cast<char>(kHexDigits[byte >> 4] + kLetterShift));
  out.push_back(static_cast<char>(kHexDigits[byte & 0x0F] + kLetterShift));
}

}  // namespace

std::string CheckPlainToken(const std::string& token) {
  if (token.empty()) return "the token is empty";
  if (token.size() > kMaxTokenLength)
    return "the token is longer than " + std::to_string(kMaxTokenLength) + " characters";
  for (char c : token) {
    const auto b = static_cast<uint8_t>(c);
    if (b <= 32 || b >= 127)
      return "the token may hold only printable ASCII characters without blanks";
  }
  return "";
}

std::string ScrambleTokenWith(const std::string& token, const TokenScrambleParts& parts) {
  if (parts.prefixFiller.size() > 255 || parts.suffixFiller.size() > 254) return "";
  // Plain layout between the keys: P, S, prefix filler, token, S - 1 filler bytes.
  std::string middle;
  middle.push_back(static_cast<char>(parts.prefixFiller.size()));
  middle.push_back(static_cast<char>(parts.suffixFiller.size() + 1));
  middle += parts.prefixFiller;
  middle += token;
  middle += parts.suffixFiller;

  const uint8_t mask = parts.key1 ^ parts.key2;
  std::string stored;
  stored.push_back(static_cast<char>(parts.key1));
  for (char c : middle) stored.push_back(static_cast<char>(static_cast<uint8_t>(c) ^ mask));
  // The check byte is the sum of every other stored byte, itself stored unmasked.
  uint8_t check = parts.key2;
  for (char c : stored) check = static_cast<uint8_t>(check + static_cast<uint8_t>(c));
  stored.push_back(static_cast<char>(check));
  stored.push_back(static_cast<char>(parts.key2));

  std::string out;
  out.reserve(stored.size() * 2);
  for (char c : stored) AppendShiftedHex(out, static_cast<uint8_t>(c));
  return out;
}

std::string ScrambleToken(const std::string& token, BuildRandom& random) {
  TokenScrambleParts parts;
  parts.key1 = random.Byte();
  do {
    parts.key2 = random.Byte();
  } while (parts.key2 == parts.key1);
  parts.prefixFiller = random.Bytes(random.Range(1, 4));
  parts.suffixFiller = random.Bytes(random.Range(0, 4));
  return ScrambleTokenWith(token, parts);
}

std::string RandomPlainToken(BuildRandom& random, size_t length) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string out;
  for (size_t i = 0; i < length; ++i) out.push_back(kAlphabet[random.Range(0, 35)]);
  return out;
}

std::string ScrambleTextWithKey(const std::string& text, uint8_t key, bool hexadecimal) {
  const std::string out =
      "Scrambled=01" + std::string(1, static_cast<char>(key)) + ScrambleBody(text, key);
  return hexadecimal ? HexDump(out, false, false) : out;
}

}  // namespace payload
