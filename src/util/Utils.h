// Utils: text, number and date helpers shared by every unit; pure functions unless noted.
#pragma once

#include <cstdint>
#include <string>

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
