// Utils: text, number and date helpers shared by every unit; pure functions unless noted.
#include "util/Utils.h"

#include <algorithm>
#include <vector>

#include "util/SysFacts.h"

namespace {

unsigned char Code(char c) {
  return static_cast<unsigned char>(c);
}

char FoldChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// 1-based position of needle in text[from, limit), 0 when absent or needle empty.
std::size_t FindIn(const std::string& needle, const std::string& text, std::size_t from,
                   std::size_t limit, bool ignoreCase) {
  if (needle.empty() || limit > text.size() || from > limit || limit - from < needle.size())
    return 0;
  auto eq = [ignoreCase](char a, char b) {
    return ignoreCase ? FoldChar(a) == FoldChar(b) : a == b;
  };
  auto first = text.begin() + static_cast<std::ptrdiff_t>(from);
  auto last = text.begin() + static_cast<std::ptrdiff_t>(limit);
  auto hit = std::search(first, last, needle.begin(), needle.end(), eq);
  return hit == last ? 0 : static_cast<std::size_t>(hit - text.begin()) + 1;
}

// Replaces every match of oldText, left to right. Text put in is never searched again, but a
// deletion may join the pieces around it into a new match (removing "ab" from "aabb" leaves "").
// A KMP state per output character keeps this linear however large the text is.
std::string ReplaceCore(const std::string& text, const std::string& oldText,
                        const std::string& newText, bool ignoreCase) {
  if (oldText.empty()) return text;
  std::string pattern = ignoreCase ? UpperCase(oldText) : oldText;
  auto fold = [ignoreCase](char c) { return ignoreCase ? FoldChar(c) : c; };
  const std::size_t m = pattern.size();
  std::vector<std::size_t> fail(m + 1, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = fail[k];
    if (pattern[i] == pattern[k]) ++k;
    fail[i + 1] = k;
  }
  std::string result;
  std::vector<std::size_t> state;  // matched length after each result character
  result.reserve(text.size());
  state.reserve(text.size());
  bool replaced = false;
  for (char c : text) {
    std::size_t k = state.empty() ? 0 : state.back();
    if (k == m) k = fail[k];
    const char f = fold(c);
    while (k > 0 && pattern[k] != f) k = fail[k];
    if (pattern[k] == f) ++k;
    result.push_back(c);
    state.push_back(k);
    if (k == m) {
      replaced = true;
      result.resize(result.size() - m);
      state.resize(state.size() - m);
      result += newText;
      state.insert(state.end(), newText.size(), 0);  // inserted text never matches
    }
  }
  return replaced ? result : text;
}

}  // namespace

// ---- Basic text helpers -------------------------------------------------

std::string Trim(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && Code(text[b]) <= 32) ++b;
  while (e > b && Code(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

std::string UpperCase(const std::string& text) {
  std::string r = text;
  for (char& c : r) c = FoldChar(c);
  return r;
}

bool SameText(const std::string& a, const std::string& b) {
  return UpperCase(a) == UpperCase(b);
}

bool TryTextToInt64(const std::string& text, std::int64_t& value) {
  const std::string t = Trim(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return false;
  // Accumulate as a negative number so that the most negative value parses too.
  std::int64_t acc = 0;
  constexpr std::int64_t kMin = INT64_MIN;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    const int d = t[i] - '0';
    if (acc < (kMin + d) / 10) return false;
    acc = acc * 10 - d;
  }
  if (!negative && acc == kMin) return false;
  value = negative ? acc : -acc;
  return true;
}

std::int64_t TextToInt64Def(const std::string& text, std::int64_t def) {
  std::int64_t v = 0;
  return TryTextToInt64(text, v) ? v : def;
}

// ---- Searching and comparing --------------------------------------------

std::size_t PosStr(const std::string& needle, const std::string& text) {
  return FindIn(needle, text, 0, text.size(), false);
}

std::size_t PosText(const std::string& needle, const std::string& text) {
  return FindIn(needle, text, 0, text.size(), true);
}

std::size_t PosFrom(const std::string& needle, const std::string& text, std::int64_t start,
                    bool ignoreCase) {
  if (start <= 1) return FindIn(needle, text, 0, text.size(), ignoreCase);
  if (static_cast<std::uint64_t>(start) > text.size()) return 0;
  const std::size_t from = static_cast<std::size_t>(start - 1);
  // From the start position on, a code-0 character ends the text.
  std::size_t limit = text.find('\0', from);
  if (limit == std::string::npos) limit = text.size();
  return FindIn(needle, text, from, limit, ignoreCase);
}

std::size_t PosTextFrom(const std::string& needle, const std::string& text, std::int64_t start) {
  return PosFrom(needle, text, start, true);
}

std::size_t LastPos(const std::string& needle, const std::string& text) {
  if (needle.empty()) return 0;
  const std::size_t p = text.rfind(needle);
  return p == std::string::npos ? 0 : p + 1;
}

std::size_t ReversePosText(const std::string& needle, const std::string& text) {
  return PosText(ReverseText(needle), ReverseText(text));
}

bool StartsWith(const std::string& prefix, const std::string& text, bool ignoreCase) {
  if (prefix.empty() || prefix.size() > text.size()) return false;
  const std::string head = text.substr(0, prefix.size());
  return ignoreCase ? SameText(head, prefix) : head == prefix;
}

bool EndsWith(const std::string& suffix, const std::string& text, bool ignoreCase) {
  if (suffix.size() > text.size()) return false;
  const std::string tail = text.substr(text.size() - suffix.size());
  return ignoreCase ? SameText(tail, suffix) : tail == suffix;
}

bool SameTextTrimmed(const std::string& a, const std::string& b) {
  return SameText(Trim(a), Trim(b));
}

// ---- Cutting and changing -----------------------------------------------

std::string TextBefore(const std::string& text, const std::string& separator,
                       const std::string& def) {
  const std::size_t p = PosStr(separator, text);
  return p == 0 ? def : text.substr(0, p - 1);
}

std::string TextAfter(const std::string& text, const std::string& separator,
                      const std::string& def) {
  const std::size_t p = PosStr(separator, text);
  return p == 0 ? def : text.substr(p - 1 + separator.size());
}

std::string ReplaceAll(const std::string& text, const std::string& oldText,
                       const std::string& newText) {
  return ReplaceCore(text, oldText, newText, false);
}

std::string ReplaceAllText(const std::string& text, const std::string& oldText,
                           const std::string& newText) {
  return ReplaceCore(text, oldText, newText, true);
}

std::string ReplaceChar(const std::string& text, char oldChar, char newChar) {
  std::string r = text;
  if (oldChar != newChar) std::replace(r.begin(), r.end(), oldChar, newChar);
  return r;
}

std::string StripQuotes(const std::string& text, char quote, bool force, bool once) {
  if (text.size() == 1 && text[0] == quote) return std::string();
  if (text.size() < 2 || !(force || (text.front() == quote && text.back() == quote))) return text;
  std::size_t b = 0, e = text.size();
  if (once) {
    if (text[b] == quote) ++b;
  } else {
    while (b < e && text[b] == quote) ++b;
  }
  if (once) {
    if (e > b && text[e - 1] == quote) --e;
  } else {
    while (e > b && text[e - 1] == quote) --e;
  }
  return text.substr(b, e - b);
}

std::string UnquoteTrimmed(const std::string& text, bool force) {
  return StripQuotes(Trim(text), '"', force, false);
}

std::string ReverseText(const std::string& text) {
  return std::string(text.rbegin(), text.rend());
}

std::string IfThenStr(bool condition, const std::string& a, const std::string& b) {
  return condition ? a : b;
}

std::string FileNameNoExt(const std::string& path, bool allExtensions) {
  const std::size_t slash = path.find_last_of("\\:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = allExtensions ? name.find('.') : name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string SetTrailingBackslash(const std::string& path, bool withBackslash) {
  std::string r = path;
  if (r.size() > 2 && r.back() == '\\' && !IsLeadByte(r[r.size() - 2])) r.pop_back();
  if (withBackslash) r += '\\';
  return r;
}

bool IsLeadByte(char c) {
  return SysFacts::IsLeadByte(c);
}
