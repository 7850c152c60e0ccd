// Tests for the registry path syntax and the value-to-text rules of the registry reader.
#include "util/RegistryText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(RegistryText, RootNamesAndAbbreviations) {
  const struct {
    const char* name;
    RegRoot want;
  } cases[] = {
      {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
      {"hkcr", RegRoot::ClassesRoot},
      {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
      {"HKCU", RegRoot::CurrentUser},
      {"hkey_local_machine", RegRoot::LocalMachine},
      {"HkLm", RegRoot::LocalMachine},
      {"HKEY_USERS", RegRoot::Users},
      {"HKU", RegRoot::Users},
      {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig},
      {"HKCC", RegRoot::CurrentConfig},
      {"HKEY_DYN_DATA", RegRoot::DynData},
      {"hkdd", RegRoot::DynData},
      // Anything else, a near miss included, falls back to the current user.
      {"HKXY", RegRoot::CurrentUser},
      {"HKEY_PERFORMANCE_DATA", RegRoot::CurrentUser},
      {"HKLM ", RegRoot::CurrentUser},
      {"", RegRoot::CurrentUser},
  };
  for (const auto& c : cases) EXPECT_EQ(RegRootFromName(c.name), c.want) << c.name;
}

TEST(RegistryText, SplitRegPath) {
  const struct {
    const char* path;
    RegRoot root;
    const char* keyPath;
  } cases[] = {
      {"  hklm\\Software\\X ", RegRoot::LocalMachine, "Software\\X"},
      {"HKEY_CURRENT_USER\\Software\\Velmora\\Tarvo\\AutoUpdate", RegRoot::CurrentUser,
       "Software\\Velmora\\Tarvo\\AutoUpdate"},
      {"Software\\X", RegRoot::CurrentUser, "Software\\X"},
      {"HKLM", RegRoot::LocalMachine, ""},
      {"HKLM\\", RegRoot::LocalMachine, ""},
      {"HKXY\\Software", RegRoot::CurrentUser, "Software"},
      {"hk", RegRoot::CurrentUser, ""},
      {"hku\\.DEFAULT\\Control Panel", RegRoot::Users, ".DEFAULT\\Control Panel"},
      {"\tHKCR\\.txt\r\n", RegRoot::ClassesRoot, ".txt"},
      {"", RegRoot::CurrentUser, ""},
      {"Khkcu\\x", RegRoot::CurrentUser, "Khkcu\\x"},
  };
  for (const auto& c : cases) {
    const RegPathParts parts = SplitRegPath(c.path);
    EXPECT_EQ(parts.root, c.root) << '"' << c.path << '"';
    EXPECT_EQ(parts.keyPath, c.keyPath) << '"' << c.path << '"';
  }
}

TEST(RegistryText, ValueText) {
  constexpr std::uint32_t kString = 1, kExpand = 2, kBinary = 3, kQword = 11;
  const struct {
    const char* what;
    std::uint32_t type;
    std::string data;
    std::string want;
  } cases[] = {
      {"double word 5", kRegTypeDword, "\x05\0\0\0"s, "5"},
      {"double word little-endian", kRegTypeDword, "\x01\x02\0\0"s, "513"},
      {"double word all bits", kRegTypeDword, "\xFF\xFF\xFF\xFF", "4294967295"},
      {"double word of 2 bytes is text", kRegTypeDword, "ab", "ab"},
      {"double word of 8 bytes is text", kRegTypeDword, "12\0\0\0\0\0\0"s, "12"},
      {"multi-string x y z", kRegTypeMultiString, "x\0y\0z\0\0"s, "x<0>y<0>z"},
      {"multi-string a b", kRegTypeMultiString, "a\0b\0\0"s, "a<0>b"},
      {"multi-string keeps inner empties", kRegTypeMultiString, "a\0\0b\0\0"s, "a<0><0>b"},
      {"multi-string without terminators", kRegTypeMultiString, "ab\0c"s, "ab<0>c"},
      {"multi-string all zero", kRegTypeMultiString, "\0\0\0"s, ""},
      {"multi-string of 2 bytes is text", kRegTypeMultiString, "a\0"s, "a"},
      {"multi-string of 2 bytes stops at zero", kRegTypeMultiString, "\0b"s, ""},
      {"string", kString, "hello\0"s, "hello"},
      {"string without terminator", kString, "abc", "abc"},
      {"empty string", kString, "\0"s, ""},
      {"no bytes", kString, "", ""},
      {"expandable string unexpanded", kExpand, "%TEMP%\\x\0"s, "%TEMP%\\x"},
      {"binary up to first zero", kBinary, "hi\0x"s, "hi"},
      {"binary high bytes", kBinary, "\xE9\xFF", "\xE9\xFF"},
      {"quad word is bytes", kQword, "12\0\0\0\0\0\0"s, "12"},
  };
  for (const auto& c : cases) EXPECT_EQ(RegValueText(c.type, c.data), c.want) << c.what;
}

}  // namespace
