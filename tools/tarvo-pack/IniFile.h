// IniFile: the project-file reader of tarvo-pack: ordered sections of ordered key=value lines,
// with the line numbers kept for error messages.
#pragma once

#include <string>
#include <vector>

namespace tarvopack {

struct IniEntry {
  std::string key;
  std::string value;
  int line = 0;  // 0 for values set from the command line
};

struct IniSection {
  std::string name;
  int line = 0;
  std::vector<IniEntry> entries;
};

// Syntax: "[Section]" lines, "key = value" lines, comment lines starting with ";" or "#", blank
// lines. Keys and values are trimmed; a value in double quotes keeps its blanks (the quotes go).
// Section and key names compare ignoring ASCII case. There are no inline comments: a ";" inside a
// value is part of the value.
class IniFile {
 public:
  // Replaces the contents; false with "line N: ..." in error when the text is not well formed.
  bool Parse(const std::string& text, std::string& error);

  const std::vector<IniSection>& Sections() const { return sections_; }
  const IniSection* Find(const std::string& section) const;
  // The first value of key in section, or def when there is none.
  std::string Value(const std::string& section, const std::string& key,
                    const std::string& def) const;

  // Command-line overrides: Set replaces every value of the key with one, Add appends one.
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void Add(const std::string& section, const std::string& key, const std::string& value);

 private:
  IniSection& Section(const std::string& name);
  std::vector<IniSection> sections_;
};

bool SameName(const std::string& a, const std::string& b);

}  // namespace tarvopack
