// Native stand-in for the user's primary language identifier: English unless a test sets another.
#include "ui/native/UserLanguage.h"
#include "ui/SLangId.h"

namespace {

constexpr int kEnglish = 9;  // what a system without a locale setting reports

int& PrimaryLanguageId() {
  static int id = kEnglish;
  return id;
}

}  // namespace

void SetUserPrimaryLanguageId(int id) {
  PrimaryLanguageId() = id;
}

int UserPrimaryLanguageId() {
  return PrimaryLanguageId();
}
