// Tests for the choice of the language section and the lookups of language strings by key.
#include "ui/LangStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/SLangId.h"
#include "ui/native/UserLanguage.h"

namespace {

// A language section as the builder writes it: item separator 0x01, name first, then key=value.
std::string Section(const std::string& name, const std::vector<std::string>& items = {}) {
  std::string section = "\x01" + name + "\x01";
  for (const std::string& item : items) section += item + "\x01";
  return section;
}

// A language block: section separator 0x02 around every section.
std::string Block(const std::vector<std::string>& sections) {
  std::string block = "\x02";
  for (const std::string& section : sections) block += section + "\x02";
  return block;
}

// The name of a chosen section, or the "*" that stands for none.
std::string ChosenName(const std::string& block, const std::string& languageName) {
  const std::string section = ChooseLangSection(block, languageName);
  if (section == "*" || section.size() < 2) return section;
  return section.substr(1, section.find('\x01', 1) - 1);
}

class LangStrings : public ::testing::Test {
 protected:
  void SetUp() override { ResetLangSection(); }
  void TearDown() override {
    ResetLangSection();
    SetUserPrimaryLanguageId(9);
  }
};

const std::string kThreeLanguages =
    Block({Section("English", {"s1=Extract"}), Section("Portuguese(Brazil)", {"s1=Extrair"}),
           Section("Spanish", {"s1=Extraer"})});

TEST_F(LangStrings, ChoosesTheSectionForALanguageName) {
  struct Case {
    const char* what;
    std::string block, languageName, expected;
  } cases[] = {
      {"same name, other case", kThreeLanguages, "ENGLISH", "English"},
      {"later section", kThreeLanguages, "SPANISH", "Spanish"},
      {"sub-language by its full name", kThreeLanguages, "PORTUGUESE(BRAZIL)",
       "Portuguese(Brazil)"},
      {"no such section: English", kThreeLanguages, "PORTUGUESE", "English"},
      {"empty name: English", kThreeLanguages, "", "English"},
      {"blanks around a section's name", Block({Section("English"), Section(" Spanish ")}),
       "SPANISH", " Spanish "},
      {"first of two equal names", Block({Section("German", {"a=1"}), Section("GERMAN")}), "German",
       "German"},
      {"English anywhere in the block",
       Block({Section("French"), Section("German"), Section("English")}), "SPANISH", "English"},
      {"lone section, other language", Block({Section("Deutsch")}), "SPANISH", "Deutsch"},
      {"lone section, empty name", Block({Section("Deutsch")}), "", "Deutsch"},
      {"two foreign sections", Block({Section("French"), Section("German")}), "SPANISH", "*"},
      {"English is not a prefix", Block({Section("English(UK)"), Section("French")}), "SPANISH",
       "*"},
      {"empty block", "", "ENGLISH", "*"},
      {"separator only", "\x02", "ENGLISH", "*"},
      {"block not closed by its separator", "\x02\x01English\x01", "ENGLISH", "*"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChosenName(c.block, c.languageName), c.expected) << c.what;
}

TEST_F(LangStrings, ChoosesByTheSystemsPrimaryIdentifier) {
  const std::string block =
      Block({Section("English"), Section("Portuguese(Brazil)"), Section("Spanish"),
             Section("Dutch(Standard)"), Section("Serbian"), Section("Croatian")});
  struct Case {
    int id;
    std::string expected;
  } cases[] = {
      {9, "English"},
      {10, "Spanish"},
      {22, "English"},             // PORTUGUESE has no section
      {46, "Portuguese(Brazil)"},  // reached only through the substring hit
      {43, "Dutch(Standard)"},
      {26, "Croatian"},  // not Serbian, which shares the number
      {99, "English"},   // no name at all
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChosenName(block, LanguageNameFromId(c.id)), c.expected) << "id " << c.id;
  }
}

TEST_F(LangStrings, LooksUpKeysInTheChosenSection) {
  const std::string block =
      Block({Section("English", {"s1=Extracting", "s10=", "s11=<b>Go</b><p>Size: <SIZE> MB<P>",
                                 " s2 =Drive", "s3= padded", "s4=a=b", "xs5=wrong"}),
             Section("Spanish", {"s1=Extrayendo"})});
  struct Case {
    std::string key, def, expected;
  } cases[] = {
      {"s1", "d", "Extracting"},
      {"S1", "d", "Extracting"},           // keys ignore case
      {"s10", "Downloading File...", ""},  // present but empty: empty, not the default
      {"S10", "Downloading File...", ""},
      {"s11", "d", "<b>Go</b><p>Size: <SIZE> MB<P>"},  // markup comes back untouched
      {"s2", "d", "Drive"},                            // blanks around the key do not count
      {"s3", "d", " padded"},                          // a blank after "=" belongs to the value
      {"s4", "d", "a=b"},
      {"s5", "d", "d"},       // only a whole key matches
      {"s12", "d", "d"},      // absent
      {"English", "d", "d"},  // the section's name is not an item
  };
  SetUserPrimaryLanguageId(9);
  for (const auto& c : cases) EXPECT_EQ(GetLangString(block, c.key, c.def), c.expected) << c.key;
}

TEST_F(LangStrings, FontAndCharset) {
  struct Case {
    const char* what;
    std::vector<std::string> items;
    int charset, fontSize;
    std::string fontName;
  } cases[] = {
      {"absent", {}, 0, 8, "Tahoma"},
      {"set", {"Charset=178", "FontSize=10", "FontName=Arial"}, 178, 10, "Arial"},
      {"blanks around numbers", {"Charset= 177 ", "FontSize= 9"}, 177, 9, "Tahoma"},
      {"empty values", {"Charset=", "FontSize=", "FontName="}, 0, 8, ""},
      {"not numbers", {"Charset=abc", "FontSize=9pt"}, 0, 8, "Tahoma"},
      {"beyond an int", {"Charset=4294967296", "FontSize=99999999999"}, 0, 8, "Tahoma"},
      {"case of the keys", {"CHARSET=186", "fontsize=12", "fontname=Verdana"}, 186, 12, "Verdana"},
  };
  for (const auto& c : cases) {
    const std::string block = Block({Section("English", c.items)});
    ResetLangSection();
    EXPECT_EQ(GetLangCharset(block), c.charset) << c.what;
    EXPECT_EQ(GetLangFontSize(block), c.fontSize) << c.what;
    EXPECT_EQ(GetLangFontName(block), c.fontName) << c.what;
  }
}

TEST_F(LangStrings, WithoutASectionEveryLookupGivesItsDefault) {
  struct Case {
    const char* what;
    std::string block;
  } cases[] = {
      {"no block", ""},
      {"two foreign sections",
       Block({Section("French", {"s1=Extraction", "Charset=1"}), Section("German", {"s1=x"})})},
      {"a lone empty section", "\x02\x02"},
      {"a lone section without items", Block({Section("French")})},
  };
  for (const auto& c : cases) {
    ResetLangSection();
    EXPECT_EQ(GetLangString(c.block, "s1", "Extracting Files..."), "Extracting Files...") << c.what;
    EXPECT_EQ(GetLangCharset(c.block), 0) << c.what;
    EXPECT_EQ(GetLangFontSize(c.block), 8) << c.what;
    EXPECT_EQ(GetLangFontName(c.block), "Tahoma") << c.what;
  }
}

TEST_F(LangStrings, TheFirstLookupChoosesForTheWholeRun) {
  const std::string spanishFirst =
      Block({Section("Spanish", {"s1=Extrayendo"}), Section("English", {"s1=Extracting"})});
  const std::string otherReader = Block({Section("English", {"s1=Other", "s2=Only here"})});
  int asked = 0;
  const LanguageNameProvider spanish = [&asked] {
    ++asked;
    return std::string("SPANISH");
  };

  EXPECT_EQ(GetLangString(spanishFirst, "s1", "d", spanish), "Extrayendo");
  EXPECT_EQ(GetLangString(spanishFirst, "s1", "d", spanish), "Extrayendo");
  // A later lookup through another reader still uses the section chosen first.
  EXPECT_EQ(GetLangString(otherReader, "s1", "d", spanish), "Extrayendo");
  EXPECT_EQ(GetLangString(otherReader, "s2", "d", spanish), "d");
  EXPECT_EQ(asked, 1);

  // Once nothing fitted, a later block with a fitting section does not change that.
  ResetLangSection();
  EXPECT_EQ(GetLangString("", "s1", "d", spanish), "d");
  EXPECT_EQ(GetLangString(spanishFirst, "s1", "d", spanish), "d");
  EXPECT_EQ(asked, 2);

  ResetLangSection();
  EXPECT_EQ(GetLangString(otherReader, "s1", "d", spanish), "Other");
}

TEST_F(LangStrings, PlainLookupAsksTheUsersLanguage) {
  SetUserPrimaryLanguageId(10);
  EXPECT_EQ(GetLangString(kThreeLanguages, "s1", "d"), "Extraer");
  ResetLangSection();
  SetUserPrimaryLanguageId(46);
  EXPECT_EQ(GetLangString(kThreeLanguages, "s1", "d"), "Extrair");
}

TEST_F(LangStrings, HugeBlocksOfSeparatorsStayCheap) {
  // A payload may carry any bytes: tens of thousands of empty sections or items take well under a
  // second when each is visited once, and minutes when each lookup rescans the block.
  const std::string separators(1 << 16, '\x02');
  const std::string items = "\x02" + std::string(1 << 16, '\x01') + "\x02";
  EXPECT_EQ(ChooseLangSection(separators, "ENGLISH"), "*");
  EXPECT_EQ(GetLangString(items, "s1", "d"), "d");
}

}  // namespace
