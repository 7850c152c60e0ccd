// TokenScramble: the builder's side of the token scheme: encodes a plain token into the letters
// form that DescrambleToken reads back, and writes the "Scrambled=01" text form.
#pragma once

#include <cstdint>
#include <string>

#include "payload/BuildRandom.h"

namespace payload {

// Every choice the scheme leaves open; ScrambleToken draws them, tests set them.
struct TokenScrambleParts {
  uint8_t key1 = 0;          // first stored byte
  uint8_t key2 = 0;          // last stored byte; key1 XOR key2 masks the bytes between
  std::string prefixFiller;  // P bytes before the token (at most 255)
  std::string suffixFiller;  // S - 1 bytes after the token (at most 254)
};

constexpr size_t kMaxTokenLength = 200;

// Empty when the token may be stored, else the reason it may not.
std::string CheckPlainToken(const std::string& token);

// The stored form for exactly these parts; empty when the fillers are too long.
std::string ScrambleTokenWith(const std::string& token, const TokenScrambleParts& parts);

// The stored form with keys and fillers drawn from `random` (1..4 prefix and 1..5 suffix bytes,
// distinct keys), so a token of ten characters gives 32 to 46 letters.
std::string ScrambleToken(const std::string& token, BuildRandom& random);

// A plain token of `length` characters from A-Z and 0-9.
std::string RandomPlainToken(BuildRandom& random, size_t length);

// "Scrambled=01", the key character and the transformed text; key must lie in 33..122.
// With hexadecimal set the whole result is written as upper-case hex pairs.
std::string ScrambleTextWithKey(const std::string& text, uint8_t key, bool hexadecimal);

}  // namespace payload
