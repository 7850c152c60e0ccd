// Registry: the one registry reader of the program, over a textual registry path.
#pragma once

#include <windows.h>

#include <string>

#include "util/RegistryText.h"

// The predefined key of a root.
HKEY RootKeyOf(RegRoot root);

// The value valueName (empty: the key's unnamed value) of the key at path, as text by the rules
// of RegValueText; def when the key cannot be opened, the value is missing or it is larger than
// kRegValueBufferSize bytes. view64 adds the 64-bit-view access flag (pass DefaultRegView).
std::string ReadRegString(const std::string& path, const std::string& valueName,
                          const std::string& def, bool view64);
