// Tests for the language table, the identifier-to-name lookup and the user's language name.
#include "ui/SLangId.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/native/UserLanguage.h"
#include "util/KSUB.h"
#include "util/Utils.h"

namespace {

// The rows as they must stand, in order: the order decides which row a substring hit reaches.
const std::vector<std::pair<std::string, int>> kRows = {
    {"AFRIKAANS", 54},
    {"ALBANIAN", 28},
    {"ARABIC", 1},
    {"BASQUE", 45},
    {"BELARUSIAN", 35},
    {"BULGARIAN", 2},
    {"CATALAN", 3},
    {"CHINESE", 4},
    {"CROATIAN", 26},
    {"CZECH", 5},
    {"DANISH", 6},
    {"DUTCH", 19},
    {"ENGLISH", 9},
    {"ESTONIAN", 37},
    {"FAEROESE", 56},
    {"FARSI", 41},
    {"FINNISH", 11},
    {"FRENCH", 12},
    {"GERMAN", 7},
    {"GREEK", 8},
    {"HEBREW", 13},
    {"HUNGARIAN", 14},
    {"ICELANDIC", 15},
    {"INDONESIAN", 33},
    {"ITALIAN", 16},
    {"JAPANESE", 17},
    {"KOREAN", 18},
    {"LATVIAN", 38},
    {"LITHUANIAN", 39},
    {"NORWEGIAN", 20},
    {"POLISH", 21},
    {"PORTUGUESE", 22},
    {"ROMANIAN", 24},
    {"RUSSIAN", 25},
    {"SERBIAN", 26},
    {"SLOVAK", 27},
    {"SLOVENIAN", 36},
    {"SPANISH", 10},
    {"SWEDISH", 29},
    {"THAI", 30},
    {"TURKISH", 31},
    {"UKRAINIAN", 34},
    {"VIETNAMESE", 42},
    {"CHINESE(SIMPLIFIED)", 2052},
    {"CHINESE(TRADITIONAL)", 1028},
    {"DUTCH(FLEMISH)", 2067},
    {"DUTCH(STANDARD)", 1043},
    {"PORTUGUESE(PORTUGAL)", 2070},
    {"PORTUGUESE(BRAZIL)", 1046},
    {"SERBIAN(LATIN)", 2074},
    {"SERBIAN(CYRILIC)", 3098},
};

TEST(SLangId, TableHoldsTheRowsInOrder) {
  const std::string& table = LanguageTable();
  ASSERT_EQ(SUB::FieldCount(table), static_cast<int>(kRows.size()));
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    const std::string row = SUB::Field(table, static_cast<int>(i), "");
    EXPECT_EQ(Trim(TextBefore(row, "=", "")), kRows[i].first) << "row " << i << " '" << row << "'";
    EXPECT_EQ(TextToInt64Def(TextAfter(row, "=", ""), -1), kRows[i].second)
        << "row " << i << " '" << row << "'";
  }
}

TEST(SLangId, EveryRowIsFoundByItsOwnIdentifier) {
  for (const auto& [name, id] : kRows) {
    // SERBIAN shares 26 with the earlier CROATIAN row, which wins.
    const std::string expected = name == "SERBIAN" ? "CROATIAN" : name;
    EXPECT_EQ(LanguageNameFromId(id), expected) << "id " << id;
  }
}

TEST(SLangId, NameFromIdentifier) {
  struct Case {
    int id;
    std::string expected;
  } cases[] = {
      // One digit is written with a leading zero: without it 9 would reach DUTCH (19)
      // and 2 ALBANIAN (28).
      {9, "ENGLISH"},
      {2, "BULGARIAN"},
      {1, "ARABIC"},
      {10, "SPANISH"},
      {22, "PORTUGUESE"},
      // The digits may sit anywhere in a row, so some identifiers reach rows of other numbers.
      {26, "CROATIAN"},
      {43, "DUTCH(STANDARD)"},
      {104, "DUTCH(STANDARD)"},
      {46, "PORTUGUESE(BRAZIL)"},
      {52, "CHINESE(SIMPLIFIED)"},
      {205, "CHINESE(SIMPLIFIED)"},
      {67, "DUTCH(FLEMISH)"},
      {206, "DUTCH(FLEMISH)"},
      {70, "PORTUGUESE(PORTUGAL)"},
      {207, "PORTUGUESE(PORTUGAL)"},
      {74, "SERBIAN(LATIN)"},
      {98, "SERBIAN(CYRILIC)"},
      {309, "SERBIAN(CYRILIC)"},
      {102, "CHINESE(TRADITIONAL)"},
      {20, "NORWEGIAN"},  // also inside 2052, 2067, ...; the earlier row wins
      // No row holds the digits.
      {0, ""},
      {99, ""},
      {100, ""},
      {1023, ""},
      {-1, ""},
      {-26, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageNameFromId(c.id), c.expected) << "id " << c.id;
}

TEST(SLangId, UserLanguageNameFollowsThePrimaryIdentifier) {
  struct Case {
    int id;
    std::string expected;
  } cases[] = {
      {9, "ENGLISH"},
      {10, "SPANISH"},
      {43, "DUTCH(STANDARD)"},
      {99, ""},
  };
  for (const auto& c : cases) {
    SetUserPrimaryLanguageId(c.id);
    EXPECT_EQ(UserLanguageName(), c.expected) << "id " << c.id;
  }
  SetUserPrimaryLanguageId(9);
}

}  // namespace
