// The registry reader against real values that the test writes under HKCU\Software\TarvoTest.
#include "util/win/Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "util/win/WinHandles.h"

namespace {

using namespace std::string_literals;

constexpr char kTestKey[] = "Software\\TarvoTest";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    key_.reset(created);
  }
  void TearDown() override {
    key_.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }

  void Set(const char* name, DWORD type, const std::string& data) {
    ASSERT_EQ(RegSetValueExA(key_.get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS)
        << name;
  }

  win::UniqueKey key_;
};

TEST_F(RegistryTest, ValueTypesAndSizes) {
  Set("Five", REG_DWORD, "\x05\0\0\0"s);
  Set("AllBits", REG_DWORD, "\xFF\xFF\xFF\xFF"s);
  Set("ShortDword", REG_DWORD, "ab"s);
  Set("Multi", REG_MULTI_SZ, "x\0y\0z\0\0"s);
  Set("MultiEmpty", REG_MULTI_SZ, "\0\0"s);
  Set("Text", REG_SZ, "hello\0"s);
  Set("EmptyText", REG_SZ, "\0"s);
  Set("Unterminated", REG_SZ, "abc"s);
  Set("Expand", REG_EXPAND_SZ, "%TEMP%\\x\0"s);
  Set("Binary", REG_BINARY, "hi\0x"s);
  Set("", REG_SZ, "unnamed\0"s);
  Set("Fits", REG_SZ, std::string(kRegValueBufferSize - 1, 'f') + '\0');
  Set("TooLong", REG_SZ, std::string(kRegValueBufferSize, 't') + '\0');

  const struct {
    const char* name;
    const char* want;
  } cases[] = {
      {"Five", "5"},          {"AllBits", "4294967295"}, {"ShortDword", "ab"},
      {"Multi", "x<0>y<0>z"}, {"MultiEmpty", ""},        {"Text", "hello"},
      {"EmptyText", ""},      {"Unterminated", "abc"},   {"Expand", "%TEMP%\\x"},
      {"Binary", "hi"},       {"", "unnamed"},           {"TooLong", "default"},
      {"Missing", "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadRegString("HKCU\\Software\\TarvoTest", c.name, "default", DefaultRegView), c.want)
        << '"' << c.name << '"';
  EXPECT_EQ(ReadRegString("HKCU\\Software\\TarvoTest", "Fits", "default", DefaultRegView),
            std::string(kRegValueBufferSize - 1, 'f'));
}

TEST_F(RegistryTest, PathForms) {
  Set("Five", REG_DWORD, "\x05\0\0\0"s);
  HKEY deeper = nullptr;
  ASSERT_EQ(RegCreateKeyExA(key_.get(), "Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deeper,
                            nullptr),
            ERROR_SUCCESS);
  win::UniqueKey deeperKey(deeper);
  ASSERT_EQ(RegSetValueExA(deeper, "Level", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2),
            ERROR_SUCCESS);

  const struct {
    const char* path;
    const char* name;
    bool view64;
    const char* want;
  } cases[] = {
      {"HKCU\\Software\\TarvoTest", "Five", false, "5"},
      {"HKEY_CURRENT_USER\\Software\\TarvoTest", "Five", false, "5"},
      {"  hkcu\\SOFTWARE\\tarvotest  ", "Five", false, "5"},
      {"Software\\TarvoTest", "Five", false, "5"},
      {"HKXY\\Software\\TarvoTest", "Five", false, "5"},
      {"HKCU\\Software\\TarvoTest", "Five", true, "5"},
      {"HKCU\\Software\\TarvoTest\\Deeper", "Level", false, "2"},
      {"HKCU\\Software\\TarvoTest\\NoSuchKey", "Five", false, "default"},
      {"HKLM\\Software\\TarvoTest", "Five", false, "default"},
      {"HKDD\\Software\\TarvoTest", "Five", false, "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadRegString(c.path, c.name, "default", c.view64), c.want)
        << c.path << (c.view64 ? " (64-bit view)" : "");
}

TEST(Registry, ReadsSystemValuesUnderLocalMachine) {
  EXPECT_NE(ReadRegString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                          "CurrentVersion", "", DefaultRegView),
            "");
}

}  // namespace
