// Checks what tarvostub.exe carries as a file: header layout, version, manifest, icon; and that it runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BoxDriver.h"
#include "payload/UnPackRules.h"
#include "TestInstaller.h"
#include "WinTestSupport.h"

namespace {

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StubImage, PeSignatureAt0x100WithFreeBuilderArea) {
  auto bytes = ReadAll(wintest::BesideTests("tarvostub.exe"));
  ASSERT_GT(bytes.size(), 0x400u);
  EXPECT_EQ(bytes[0], 'M');
  EXPECT_EQ(bytes[1], 'Z');
  EXPECT_EQ(std::string(bytes.begin() + 0x100, bytes.begin() + 0x104), std::string("PE\0\0", 4));
  for (size_t i = 0x40; i < 0x100; ++i) EXPECT_EQ(bytes[i], 0) << "byte at 0x" << std::hex << i;
}

TEST(StubImage, CarriesFourPartVersionManifestAndIcon) {
  std::string path = wintest::BesideTests("tarvostub.exe");
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);

  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
  std::string xml(text, SizeofResource(image, manifest));
  EXPECT_NE(xml.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(FindResourceA(image, "MainIcon", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  FreeLibrary(image);
}

TEST(StubImage, BareStubRunsAndReportsItsMissingPayload) {
  // A stub without a payload is a damaged installer: it says so in its error box and ends with
  // the damaged-setup exit code, never with a success.
  wintest::StubProcess stub("\"" + wintest::BesideTests("tarvostub.exe") + "\"");
  ASSERT_TRUE(stub.Started());
  HWND box = boxdriver::WaitForBox(20000, stub.Id());
  ASSERT_NE(box, nullptr) << "no error box";
  boxdriver::BoxContents contents;
  ASSERT_TRUE(boxdriver::ReadBox(box, contents));
  ASSERT_EQ(contents.buttons.size(), 1u);
  EXPECT_TRUE(boxdriver::ClickButton(box, 0));
  EXPECT_EQ(stub.WaitExit(20000), static_cast<DWORD>(kDamagedSetupExitCode));
}

}  // namespace
