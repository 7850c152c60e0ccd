// Tests of the byte sources the payload readers read through: bounds, missing files, 64-bit
// offsets.
#include "payload/ByteSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PayloadTestImage.h"
#include "TempDir.h"
#include "payload/Checksum.h"
#include "payload/TrailerReader.h"

namespace {

using payload::FileSource;
using payload::MemorySource;
using namespace payload_test;

TEST(ByteSource, ReadsStopAtTheEnd) {
  const std::string bytes = "0123456789";
  TempDir dir;
  const std::string path = dir.Write("ten.bin", bytes);
  struct Case {
    uint64_t offset;
    size_t want;
    std::string got;
  };
  const Case cases[] = {{0, 4, "0123"}, {8, 4, "89"}, {10, 1, ""},    {11, 1, ""},
                        {~0ull, 4, ""}, {3, 0, ""},   {0, 100, bytes}};
  const MemorySource memory(bytes);
  const FileSource file(path);
  ASSERT_TRUE(file.IsOpen());
  for (const auto& c : cases) {
    for (const payload::ByteSource* source : {static_cast<const payload::ByteSource*>(&memory),
                                              static_cast<const payload::ByteSource*>(&file)}) {
      std::string buffer(c.want, '\0');
      buffer.resize(source->ReadAt(c.offset, buffer.data(), c.want));
      EXPECT_EQ(buffer, c.got) << c.offset << "+" << c.want;
    }
  }
  EXPECT_EQ(payload::ReadU32At(memory, 6), 0x39383736u);
  EXPECT_EQ(payload::ReadU32At(memory, 7), 0u);  // only three bytes left
}

TEST(ByteSource, WhatIsNotARegularFileReadsAsEmpty) {
  TempDir dir;
  for (const std::string& path : {dir.File("missing.bin"), dir.File("")}) {
    const FileSource file(path);
    EXPECT_FALSE(file.IsOpen()) << path;
    EXPECT_EQ(file.Size(), 0u) << path;
    char c = 0;
    EXPECT_EQ(file.ReadAt(0, &c, 1), 0u) << path;
  }
}

// A sparse file above 4 GiB with an installer image at its very end: sizes and offsets stay 64-bit.
TEST(ByteSource, FilesAboveFourGibibytes) {
  TempDir dir;
  ImageRecipe recipe;
  recipe.stub =
      std::string(300, 'S');  // not a stub image: the trailer is found at the physical end
  recipe.recordRealEnd = false;
  recipe.filesCount = 77;
  const std::string image = BuildImage(recipe);
  const uint64_t gap = 5ull << 30;
  const std::string path = dir.File("big.bin");
  { std::ofstream out(path, std::ios::binary); }
  std::filesystem::resize_file(path, gap);
  {
    std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::ate);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
  }
  const FileSource file(path);
  ASSERT_EQ(file.Size(), gap + image.size());
  std::string tail(image.size(), '\0');
  EXPECT_EQ(file.ReadAt(gap, tail.data(), tail.size()), image.size());
  EXPECT_EQ(tail, image);
  payload::Trailer record{};
  payload::ReadTrailer(file, record);
  EXPECT_EQ(+record.magic, payload::kMagic);
  EXPECT_EQ(+record.filesCount, 77u);
  EXPECT_EQ(payload::FileChecksum(path, payload::kTrailerSize), payload::kChecksumDisabled);
  std::filesystem::remove(path);
}

}  // namespace
