// Language strings: texts by key from the user's section of a payload language block.
#pragma once

#include <functional>
#include <string>

// Gives the user's language name (a name of the language table, or empty).
using LanguageNameProvider = std::function<std::string()>;

// Value of key in the selected section; def when there is no section or no such key, empty for an
// empty value. The first call of the process chooses the section from this block and the user's
// language (UserLanguageName).
std::string GetLangString(const std::string& langBlock, const std::string& key,
                          const std::string& def);
// The same with the user's language name supplied by the caller; asked only when the section is
// chosen, so at most once per process.
std::string GetLangString(const std::string& langBlock, const std::string& key,
                          const std::string& def, const LanguageNameProvider& userLanguage);

// "Charset" as an integer; 0 when absent or not a decimal integer.
int GetLangCharset(const std::string& langBlock);
// "FontSize" as an integer; 8 when absent or not a decimal integer.
int GetLangFontSize(const std::string& langBlock);
// "FontName"; "Tahoma" when absent.
std::string GetLangFontName(const std::string& langBlock);

// The section of the block for a language name, falling back to a lone section and then to
// "English"; "*" when none fits. Pure: does not touch the process-wide choice.
std::string ChooseLangSection(const std::string& langBlock, const std::string& languageName);

// Forgets the process-wide choice so that the next lookup chooses again (tests act as a new run).
void ResetLangSection();
