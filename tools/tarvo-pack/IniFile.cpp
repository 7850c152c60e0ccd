// IniFile: the project-file reader of tarvo-pack (see IniFile.h).
#include "tarvo-pack/IniFile.h"

#include <algorithm>

namespace tarvopack {

namespace {

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

bool IniFile::Parse(const std::string& text, std::string& error) {
  sections_.clear();
  error.clear();
  size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a UTF-8 mark from an editor
  int lineNumber = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string line = TrimBlanks(text.substr(at, end - at));
    at = end + 1;
    ++lineNumber;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') {
        error = where + "a section header must end with \"]\"";
        return false;
      }
      const std::string name = TrimBlanks(line.substr(1, line.size() - 2));
      if (name.empty()) {
        error = where + "empty section name";
        return false;
      }
      if (Find(name) != nullptr) {
        error = where + "section [" + name + "] appears twice";
        return false;
      }
      sections_.push_back({name, lineNumber, {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      error = where + "expected \"key = value\" or \"[Section]\"";
      return false;
    }
    if (sections_.empty()) {
      error = where + "\"" + line + "\" comes before the first [Section]";
      return false;
    }
    const std::string key = TrimBlanks(line.substr(0, equals));
    if (key.empty()) {
      error = where + "a key is missing before \"=\"";
      return false;
    }
    sections_.back().entries.push_back(
        {key, Unquote(TrimBlanks(line.substr(equals + 1))), lineNumber});
  }
  return true;
}

const IniSection* IniFile::Find(const std::string& section) const {
  for (const IniSection& s : sections_) {
    if (SameName(s.name, section)) return &s;
  }
  return nullptr;
}

std::string IniFile::Value(const std::string& section, const std::string& key,
                           const std::string& def) const {
  const IniSection* s = Find(section);
  if (s == nullptr) return def;
  for (const IniEntry& e : s->entries) {
    if (SameName(e.key, key)) return e.value;
  }
  return def;
}

IniSection& IniFile::Section(const std::string& name) {
  for (IniSection& s : sections_) {
    if (SameName(s.name, name)) return s;
  }
  sections_.push_back({name, 0, {}});
  return sections_.back();
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  // The first occurrence keeps its place (the order of language items is kept in the block).
  IniSection& s = Section(section);
  auto first = std::find_if(s.entries.begin(), s.entries.end(),
                            [&](const IniEntry& e) { return SameName(e.key, key); });
  if (first == s.entries.end()) {
    s.entries.push_back({key, value, 0});
    return;
  }
  *first = {first->key, value, 0};
  s.entries.erase(std::remove_if(first + 1, s.entries.end(),
                                 [&](const IniEntry& e) { return SameName(e.key, key); }),
                  s.entries.end());
}

void IniFile::Add(const std::string& section, const std::string& key, const std::string& value) {
  Section(section).entries.push_back({key, value, 0});
}

}  // namespace tarvopack
