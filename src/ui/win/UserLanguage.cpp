// The user's primary language identifier, read from the thread locale once when the program starts.
#include <windows.h>

#include "ui/SLangId.h"

namespace {

// Taken during start-up, before anything could change the thread locale.
const int gPrimaryLanguageId = PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale()));

}  // namespace

int UserPrimaryLanguageId() {
  return gPrimaryLanguageId;
}
