// Under Wine: the user's language comes from the real thread locale and names a table row.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/SLangId.h"
#include "util/KSUB.h"
#include "util/Utils.h"

namespace {

TEST(SLangIdWin, PrimaryIdentifierIsTheThreadLocales) {
  EXPECT_EQ(UserPrimaryLanguageId(), PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())));
  EXPECT_EQ(UserPrimaryLanguageId() & ~1023, 0);
}

TEST(SLangIdWin, UserLanguageNameIsATableName) {
  const std::string name = UserLanguageName();
  ASSERT_FALSE(name.empty()) << "primary identifier " << UserPrimaryLanguageId();
  const std::string& table = LanguageTable();
  bool found = false;
  for (int i = 0; i < SUB::FieldCount(table) && !found; ++i)
    found = Trim(TextBefore(SUB::Field(table, i, ""), "=", "")) == name;
  EXPECT_TRUE(found) << name;
}

}  // namespace
