// RegistryText: the textual side of registry access, kept portable so it is tested natively:
// root names and their abbreviations, the split of a registry path, and how a value's bytes
// become the text that ReadRegString hands out.
#pragma once

#include <cstdint>
#include <string>

// The predefined roots a registry path can name.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

// The program-wide registry view: false opens keys in the program's native (32-bit) view.
inline constexpr bool DefaultRegView = false;

// Largest value ReadRegString accepts: a bigger one reads as the default.
inline constexpr std::uint32_t kRegValueBufferSize = 10241;

// Value type codes as the registry stores them.
inline constexpr std::uint32_t kRegTypeDword = 4;
inline constexpr std::uint32_t kRegTypeMultiString = 7;

struct RegPathParts {
  RegRoot root = RegRoot::CurrentUser;
  std::string keyPath;
};

// "HKEY_LOCAL_MACHINE" or "HKLM" (any case) and so on; any other name is the current user.
RegRoot RegRootFromName(const std::string& name);

// Blanks around the path are ignored. "HK..." up to the first backslash names the root, the
// rest is the key path; a path without "HK" in front lies below the current user.
RegPathParts SplitRegPath(const std::string& path);

// The text of a value of the given type whose data are exactly these bytes: a 4-byte double
// word as unsigned decimal, a multi-string with its inner zero bytes shown as "<0>", anything
// else up to its first zero byte.
std::string RegValueText(std::uint32_t type, const std::string& data);
