// Tests of the installer file checksum over images in memory and over real files.
#include "payload/Checksum.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PayloadTestImage.h"
#include "TempDir.h"

namespace {

using payload::ChecksumOfImage;
using payload::FileChecksum;
using payload::kChecksumDisabled;
using payload::kTrailerSize;
using namespace payload_test;

uint32_t SumOf(const std::string& image, uint32_t trailerSize = kTrailerSize) {
  return ChecksumOfImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), trailerSize);
}

uint32_t StoredChecksum(const std::string& image) {
  uint32_t value = 0;
  std::memcpy(&value, image.data() + image.size() - kTrailerSize + 16, 4);
  return value;
}

// Words of value 1, so a sum counts the words taken (plus 1234 per read that lies before the
// trailer).
std::string WordsOfOne(size_t bytes) {
  std::string out;
  while (out.size() + 4 <= bytes) out += U32(1);
  out.append(bytes - out.size(), '\0');
  return out;
}

TEST(Checksum, PinnedSums) {
  std::string stubWithEnd = MakeStub(512) + WordsOfOne(8192 + kTrailerSize);
  PutU32(stubWithEnd, payload::kRealEndLowOffset, static_cast<uint32_t>(stubWithEnd.size()));
  struct Case {
    const char* name;
    std::string image;
    uint32_t trailerSize;
    uint32_t expected;
  };
  const Case cases[] = {
      // 8192 bytes before the trailer: the first read takes all 1024 words and adds 1234, the
      // second
      // stops two words short of the trailer, the third (the trailer) adds nothing.
      {"plain file, two full reads", WordsOfOne(8192 + kTrailerSize), kTrailerSize,
       1024 + 1022 + 1234},
      // With the real end set the first 512 bytes are skipped: the same words follow them.
      {"stub image with real end", stubWithEnd, kTrailerSize, 1024 + 1022 + 1234},
      {"short file", WordsOfOne(16 + kTrailerSize), kTrailerSize, 2},
      {"empty file", std::string(), kTrailerSize, 0},
      {"smaller trailer size counts further", WordsOfOne(16 + kTrailerSize), 10, 2 + 16},
      {"trailer size above the file", WordsOfOne(64), 1000, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(SumOf(c.image, c.trailerSize), c.expected) << c.name;
}

TEST(Checksum, BuiltImageMatchesStoredValueInMemoryAndOnDisk) {
  TempDir dir;
  ImageRecipe recipe;
  recipe.records = {CompressedRecord(Decoded("|Engine.exe*|0|", std::string(5000, 'e'))),
                    StoredRecord(Decoded("|a.txt|0|", "hello"))};
  const std::string image = BuildImage(recipe);
  ASSERT_NE(StoredChecksum(image), kChecksumDisabled);
  const std::string appended = image + std::string(3000, '\x7f');
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {{"as built", image}, {"bytes appended after the real end", appended}};
  for (const auto& c : cases) {
    EXPECT_EQ(SumOf(c.bytes), StoredChecksum(image)) << c.name;
    EXPECT_EQ(FileChecksum(dir.Write("f.exe", c.bytes), kTrailerSize), StoredChecksum(image))
        << c.name;
  }
}

TEST(Checksum, WithoutRealEndTheFileIsSummedToItsPhysicalEnd) {
  ImageRecipe recipe;
  recipe.recordRealEnd = false;
  recipe.records = {StoredRecord(Decoded("|a.txt|0|", std::string(9000, 'x')))};
  const std::string image = BuildImage(recipe);
  EXPECT_EQ(SumOf(image), StoredChecksum(image));
  // Appended bytes now lie before the (physical) trailer position and change the sum.
  EXPECT_NE(SumOf(image + std::string(4096, '\x11')), StoredChecksum(image));
}

TEST(Checksum, FilesAboveFiftyMebibytesAreNotSummed) {
  TempDir dir;
  struct Case {
    const char* name;
    uint64_t size;
    bool disabled;
  };
  const Case cases[] = {{"exactly 50 MiB", payload::kChecksumSizeLimit, false},
                        {"one byte more", payload::kChecksumSizeLimit + 1, true}};
  for (const auto& c : cases) {
    const std::string path = dir.Write("big.bin", std::string(4, '\x05'));
    std::filesystem::resize_file(path, c.size);  // sparse: cheap to make
    const uint32_t sum = FileChecksum(path, kTrailerSize);
    EXPECT_EQ(sum == kChecksumDisabled, c.disabled) << c.name;
    if (!c.disabled) {
      EXPECT_EQ(sum, 0x05050505u + (payload::kChecksumSizeLimit / 4096 - 1) * kChecksumDisabled)
          << c.name;
    }
    std::filesystem::remove(path);
  }
}

TEST(Checksum, MissingFileSumsAsEmpty) {
  TempDir dir;
  EXPECT_EQ(FileChecksum(dir.File("missing.exe"), kTrailerSize), 0u);
}

TEST(Checksum, CheckPassesOnMatchOrWhenEitherSideIsDisabled) {
  struct Case {
    uint32_t computed, stored;
    bool passes;
  };
  const Case cases[] = {
      {7, 7, true}, {7, 8, false}, {kChecksumDisabled, 8, true}, {7, kChecksumDisabled, true}};
  for (const auto& c : cases)
    EXPECT_EQ(payload::ChecksumPasses(c.computed, c.stored), c.passes)
        << c.computed << " vs " << c.stored;
}

}  // namespace
