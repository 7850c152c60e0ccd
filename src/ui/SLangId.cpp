// SLangId: the table of Windows primary language identifiers and the user's language name.
#include "ui/SLangId.h"

#include "util/KSUB.h"
#include "util/Utils.h"

const std::string& LanguageTable() {
  // Padded so that "=" stands in one column; the blanks mean nothing because names are trimmed.
  static const std::string table =
      "|AFRIKAANS    = 54"
      "|ALBANIAN     = 28"
      "|ARABIC       = 01"
      "|BASQUE       = 45"
      "|BELARUSIAN   = 35"
      "|BULGARIAN    = 02"
      "|CATALAN      = 03"
      "|CHINESE      = 04"
      "|CROATIAN     = 26"
      "|CZECH        = 05"
      "|DANISH       = 06"
      "|DUTCH        = 19"
      "|ENGLISH      = 09"
      "|ESTONIAN     = 37"
      "|FAEROESE     = 56"
      "|FARSI        = 41"
      "|FINNISH      = 11"
      "|FRENCH       = 12"
      "|GERMAN       = 07"
      "|GREEK        = 08"
      "|HEBREW       = 13"
      "|HUNGARIAN    = 14"
      "|ICELANDIC    = 15"
      "|INDONESIAN   = 33"
      "|ITALIAN      = 16"
      "|JAPANESE     = 17"
      "|KOREAN       = 18"
      "|LATVIAN      = 38"
      "|LITHUANIAN   = 39"
      "|NORWEGIAN    = 20"
      "|POLISH       = 21"
      "|PORTUGUESE   = 22"
      "|ROMANIAN     = 24"
      "|RUSSIAN      = 25"
      "|SERBIAN      = 26"
      "|SLOVAK       = 27"
      "|SLOVENIAN    = 36"
      "|SPANISH      = 10"
      "|SWEDISH      = 29"
      "|THAI         = 30"
      "|TURKISH      = 31"
      "|UKRAINIAN    = 34"
      "|VIETNAMESE   = 42"
      "|CHINESE(SIMPLIFIED)  = 2052"
      "|CHINESE(TRADITIONAL) = 1028"
      "|DUTCH(FLEMISH)       = 2067"
      "|DUTCH(STANDARD)      = 1043"
      "|PORTUGUESE(PORTUGAL) = 2070"
      "|PORTUGUESE(BRAZIL)   = 1046"
      "|SERBIAN(LATIN)       = 2074"
      "|SERBIAN(CYRILIC)     = 3098"
      "|";
  return table;
}

namespace {

// Decimal digits with at least two of them: 9 is "09".
std::string IdDigits(int id) {
  std::string digits = std::to_string(id);
  if (digits.size() < 2) digits.insert(0, 1, '0');
  return digits;
}

}  // namespace

std::string LanguageNameFromId(int id) {
  const std::string digits = IdDigits(id);
  const std::string& table = LanguageTable();
  const int rows = SUB::FieldCount(table);
  for (int i = 0; i < rows; ++i) {
    const std::string row = SUB::Field(table, i, "");
    const std::size_t equals = row.find('=');
    // The whole row is searched, so the digits may sit inside a longer identifier.
    if (row.find(digits) != std::string::npos && equals != std::string::npos && equals > 0) {
      return Trim(row.substr(0, equals));
    }
  }
  return "";
}

std::string UserLanguageName() {
  return LanguageNameFromId(UserPrimaryLanguageId());
}
