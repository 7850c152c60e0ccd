// Descrambling of the build and web tokens that the builder stores in the parameter and web blocks.
#pragma once

#include <string>

namespace payload {

// Returns the token hidden in Text, or, when Text is not a valid scrambled token, the decimal text
// of a random number from 0 to 99998 (so two failed descramblings compare unequal, except by rare
// chance).
//
// Scrambled form accepted (what the builder must write):
//   bytes D[0..n-1], n >= 5:
//     D[0]          key byte A (any value)
//     D[1]          P xor K            P = number of filler bytes before the token
//     D[2]          S xor K            S = 1 + number of filler bytes after the token (S >= 1 is
//     usual) D[3..]        P filler bytes, the token's bytes, S - 1 filler bytes, each xor K D[n-2]
//     check byte C = sum modulo 256 of every other byte of D, as stored (after masking) D[n-1] key
//     byte B, chosen so that K = A xor B
//   so n = P + T + S + 4 for a token of T bytes. Each byte is written as two upper-case hexadecimal
//   digits, and every digit character's code is raised by 50 ('0'..'9' -> 'b'..'k', 'A'..'F' ->
//   's'..'x'). The result is an even number of lower-case letters.
std::string DescrambleToken(const std::string& text);

}  // namespace payload
