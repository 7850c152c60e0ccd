// The payload readers on Windows: the real stub with a payload appended, files above 4 GiB through
// the 32-bit runtime, a file held open by another writer, and the drive's cluster size.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../unit/PayloadTestImage.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "payload/Checksum.h"
#include "payload/ClusterSize.h"
#include "payload/EntryReader.h"
#include "payload/StubImage.h"
#include "payload/TGFileInfo.h"
#include "payload/TrailerReader.h"
#include "util/win/WinHandles.h"

namespace {

using namespace payload_test;

class CollectSink : public payload::EntrySink {
 public:
  std::string names;
  std::string content;
  void Begin(const payload::EntryInfo& entry) override { names += entry.name + ";"; }
  void Data(const char* bytes, size_t size) override { content.append(bytes, size); }
  void End(bool ok, const std::string&) override { names += ok ? "ok;" : "failed;"; }
};

TEST(PayloadReader, RealStubWithAPayloadAppended) {
  const std::string stub = wintest::TempFolder::Read(wintest::BesideTests("tarvostub.exe"));
  ASSERT_GT(stub.size(), 0x400u);
  wintest::TempFolder folder;
  const std::string bare = folder.Write("bare.exe", stub);
  EXPECT_TRUE(payload::IsStubImage(bare));
  EXPECT_EQ(payload::ReadRealEnd(bare), 0);  // an unbuilt stub records no length

  ImageRecipe recipe;
  recipe.stub = stub;
  recipe.records = {CompressedRecord(Decoded("|Engine.exe*|0|", std::string(100000, 'e'))),
                    StoredRecord(Decoded("|a.txt|0|", "hello"))};
  recipe.filesCount = 2;
  const std::string image = BuildImage(recipe);
  const std::string path = folder.Write("setup.exe", image + "appended after the real end");
  EXPECT_EQ(payload::ReadRealEnd(path), static_cast<int64_t>(image.size()));

  const TGFileInfo info(path);
  EXPECT_EQ(info.FilesCount(), 2u);
  EXPECT_EQ(info.GetAgentFileName(), "App.exe");
  EXPECT_EQ(payload::FileChecksum(path, info.Record().trailerSize), +info.Record().checksum);

  payload::Trailer record{};
  payload::ReadTrailer(path, record);
  payload::EntryWalker walker;
  CollectSink sink;
  EXPECT_TRUE(walker.Walk(payload::FileSource(path), record, sink)) << walker.Error();
  EXPECT_EQ(sink.names, "Engine.exe;ok;a.txt;ok;");
  EXPECT_EQ(sink.content, std::string(100000, 'e') + "hello");
}

TEST(PayloadReader, FileOpenForWritingElsewhereCanStillBeRead) {
  wintest::TempFolder folder;
  const std::string path = folder.Write("open.exe", BuildImage(ImageRecipe{}));
  const win::UniqueFile writer(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_EQ(TGFileInfo(path).GetAgentFileName(), "App.exe");
}

TEST(PayloadReader, FilesAboveFourGibibytes) {
  wintest::TempFolder folder;
  ImageRecipe recipe;
  recipe.stub = std::string(300, 'S');
  recipe.recordRealEnd = false;
  recipe.filesCount = 77;
  const std::string image = BuildImage(recipe);
  const std::string path = folder.File("big.bin");
  {
    const win::UniqueFile h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(h);
    LARGE_INTEGER at{};
    at.QuadPart = 5LL << 30;
    ASSERT_TRUE(SetFilePointerEx(h.get(), at, nullptr, FILE_BEGIN));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(h.get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr));
  }
  const payload::FileSource file(path);
  EXPECT_EQ(file.Size(), (5ull << 30) + image.size());
  payload::Trailer record{};
  payload::ReadTrailer(file, record);
  EXPECT_EQ(+record.magic, payload::kMagic);
  EXPECT_EQ(+record.filesCount, 77u);
  EXPECT_EQ(payload::FileChecksum(path, payload::kTrailerSize), payload::kChecksumDisabled);
  DeleteFileA(path.c_str());
}

std::string UnusedDriveRoot() {
  const DWORD used = GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter) {
    if (!(used & (1u << (letter - 'A')))) return std::string(1, letter) + ":\\";
  }
  return "";
}

TEST(ClusterSize, DriveRootsAndOtherPaths) {
  wintest::TempFolder folder;
  const uint32_t temp = payload::GetClusterSize(folder.Path());
  EXPECT_GE(temp, 512u);
  EXPECT_EQ(temp & (temp - 1), 0u) << temp;  // a power of two
  EXPECT_EQ(payload::GetClusterSize("\\\\server\\share\\setup"), 0u);
  EXPECT_EQ(payload::GetClusterSize(""), 0u);
  const std::string unused = UnusedDriveRoot();
  if (!unused.empty()) {
    EXPECT_EQ(payload::GetClusterSize(unused + "x"), 0u) << unused;
  }

  ImageRecipe recipe;
  for (int i = 0; i < 9; ++i) recipe.requiredSpace[i] = 100u + static_cast<uint32_t>(i);
  const TGFileInfo info{payload::MemorySource(BuildImage(recipe))};
  EXPECT_EQ(info.GetRequiredSpace(folder.Path()), info.RequiredSpaceForCluster(temp));
  EXPECT_EQ(info.GetRequiredSpace("\\\\server\\share"), 100.0);
}

}  // namespace
