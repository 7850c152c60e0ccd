// SLangId: the table of Windows primary language identifiers and the user's language name.
#pragma once

#include <string>

// The language table: one "|" list of 51 rows "NAME   = id" (names padded with blanks).
const std::string& LanguageTable();

// Name of the first table row whose text holds the identifier's decimal digits (at least two,
// so 9 is "09"); a substring test, so 43 gives DUTCH(STANDARD). Empty when no row holds them.
std::string LanguageNameFromId(int id);

// Primary language identifier of the thread locale (identifier and 1023), taken at program start.
// A system fact: the Windows build asks the system, the native build uses a stand-in.
int UserPrimaryLanguageId();

// LanguageNameFromId of the user's primary language identifier.
std::string UserLanguageName();
