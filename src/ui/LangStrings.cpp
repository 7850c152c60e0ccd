// Language strings: texts by key from the user's section of a payload language block.
#include "ui/LangStrings.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <utility>

#include "ui/SLangId.h"
#include "util/KSUB.h"
#include "util/Utils.h"

namespace {

// The section chosen at the first lookup; it then serves every reader for the rest of the run.
struct SelectedSection {
  bool chosen = false;
  std::string text;  // the section's own list, or "*" when none fitted
};

SelectedSection& Selected() {
  static SelectedSection selected;
  return selected;
}

// The first section of the block named languageName (case and outer blanks ignored), else its
// only section. The sections are the fields of a list whose separator is the block's first
// character. One pass, nothing kept per section: the block comes from the payload and may hold
// any number of separators.
std::optional<std::string> FindSection(const std::string& block, const std::string& languageName) {
  if (block.size() < 2 || block.front() != block.back()) return std::nullopt;
  const char separator = block.front();
  std::size_t count = 0;
  std::string first;
  for (std::size_t start = 1, end = block.find(separator, start); end != std::string::npos;
       start = end + 1, end = block.find(separator, start)) {
    std::string section = block.substr(start, end - start);
    if (SameTextTrimmed(SUB::Field(section, 0, ""), languageName)) return section;
    if (++count == 1) first = std::move(section);
  }
  if (count == 1) return first;
  return std::nullopt;
}

// A decimal integer (blanks around it allowed) that fits an int, else def.
int IntOr(const std::string& text, int def) {
  std::int64_t value = 0;
  if (!TryTextToInt64(text, value) || value < INT_MIN || value > INT_MAX) return def;
  return static_cast<int>(value);
}

}  // namespace

std::string ChooseLangSection(const std::string& langBlock, const std::string& languageName) {
  std::optional<std::string> section = FindSection(langBlock, languageName);
  if (!section) section = FindSection(langBlock, "English");
  return section ? *section : "*";
}

void ResetLangSection() {
  Selected() = SelectedSection();
}

std::string GetLangString(const std::string& langBlock, const std::string& key,
                          const std::string& def, const LanguageNameProvider& userLanguage) {
  SelectedSection& selected = Selected();
  if (!selected.chosen) {
    selected.text = ChooseLangSection(langBlock, userLanguage ? userLanguage() : "");
    selected.chosen = true;
  }
  // "*" (nothing chosen) and an empty section hold no items.
  if (selected.text.size() <= 1) return def;
  return SUB::NameValue(selected.text, key, def, "");
}

std::string GetLangString(const std::string& langBlock, const std::string& key,
                          const std::string& def) {
  return GetLangString(langBlock, key, def, UserLanguageName);
}

int GetLangCharset(const std::string& langBlock) {
  return IntOr(GetLangString(langBlock, "Charset", "0"), 0);
}

int GetLangFontSize(const std::string& langBlock) {
  return IntOr(GetLangString(langBlock, "FontSize", "8"), 8);
}

std::string GetLangFontName(const std::string& langBlock) {
  return GetLangString(langBlock, "FontName", "Tahoma");
}
