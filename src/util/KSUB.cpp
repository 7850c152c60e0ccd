// KSUB: delimited lists ('|a|b|c|'), one text whose first character is the separator.
#include "util/KSUB.h"

#include <algorithm>
#include <vector>

#include "util/Utils.h"

namespace {

// The closed fields of a list: the texts between consecutive separators after the first character.
std::vector<std::string> ClosedFields(const std::string& list) {
  std::vector<std::string> fields;
  if (list.empty()) return fields;
  const char sep = list[0];
  std::size_t from = 1;
  for (;;) {
    const std::size_t next = list.find(sep, from);
    if (next == std::string::npos) break;
    fields.push_back(list.substr(from, next - from));
    from = next + 1;
  }
  return fields;
}

}  // namespace

const std::string& SUB::SeparatorCandidates() {
  static const std::string kCandidates = "|*^!~@#$&\xFF";
  return kCandidates;
}

int SUB::FieldCount(const std::string& list) {
  if (list.empty() || list.front() != list.back()) return 0;
  return static_cast<int>(std::count(list.begin() + 1, list.end(), list.front()));
}

std::string SUB::Field(const std::string& list, int index, const std::string& def) {
  if (list.empty() || index < 0) return def;
  const char sep = list[0];
  std::size_t from = 1;
  for (int k = 0;; ++k) {
    const std::size_t next = list.find(sep, from);
    if (next == std::string::npos) return def;
    if (k == index) return next == from ? def : list.substr(from, next - from);
    from = next + 1;
  }
}

std::int64_t SUB::FieldInt(const std::string& list, int index, std::int64_t def) {
  return TextToInt64Def(Field(list, index, std::string()), def);
}

std::string SUB::NameValue(const std::string& list, const std::string& name,
                           const std::string& notFoundDefault, const std::string& emptyDefault) {
  if (list.size() < 3 || list.front() != list.back()) return notFoundDefault;
  const std::string sep(1, list[0]);
  std::string key = sep + name;
  if (key.back() != '=') key += '=';
  // Blanks after a separator and before '=' do not count (one each), so '| Name =x|' finds 'Name'.
  const std::string copy = ReplaceAll(ReplaceAll(list, sep + " ", sep), " =", "=");
  const std::size_t p = PosText(key, copy);
  if (p == 0) return notFoundDefault;
  const std::size_t from = p - 1 + key.size();
  std::size_t end = copy.find(list[0], from);
  if (end == std::string::npos) end = copy.size();
  return end == from ? emptyDefault : copy.substr(from, end - from);
}

std::string SUB::SetField(const std::string& list, int index, const std::string& value) {
  const std::string source = list.empty() ? std::string("|") : list;
  const char oldSep = source[0];
  const std::vector<std::string> fields = ClosedFields(source);
  const std::int64_t count =
      std::max<std::int64_t>(FieldCount(source), static_cast<std::int64_t>(index) + 1);
  // Build with code 0 as a placeholder separator, then pick a real one that no field contains.
  std::string text(1, '\0');
  for (std::int64_t f = 0; f < count; ++f) {
    if (f == index)
      text += value;
    else if (f < static_cast<std::int64_t>(fields.size()))
      text += fields[static_cast<std::size_t>(f)];
    text += '\0';
  }
  if (text.find(oldSep) == std::string::npos) return ReplaceChar(text, '\0', oldSep);
  return PickSeparator(text);
}

std::string SUB::PickSeparator(const std::string& text) {
  if (text.empty()) return text;
  for (char candidate : SeparatorCandidates()) {
    if (text.find(candidate) == std::string::npos) return ReplaceChar(text, text[0], candidate);
  }
  return text;
}
