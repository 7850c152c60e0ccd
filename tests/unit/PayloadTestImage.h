// Test-side composer of small installer images, so reader tests need no builder.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "payload/Checksum.h"
#include "payload/PayloadFormat.h"

namespace payload_test {

inline std::string U32(uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
  return out;
}

inline void PutU32(std::string& image, size_t offset, uint32_t value) {
  image.replace(offset, 4, U32(value));
}

// A stand-in stub: "MZ" at 0, "PE" at 0x100, filler elsewhere.
inline std::string MakeStub(size_t size = 1024) {
  std::string stub(size, '\x90');
  stub[0] = 'M';
  stub[1] = 'Z';
  stub[payload::kPeSignatureOffset] = 'P';
  stub[payload::kPeSignatureOffset + 1] = 'E';
  for (size_t i = payload::kRealEndHighOffset; i < payload::kRealEndLowOffset + 4; ++i) stub[i] = 0;
  return stub;
}

inline std::string Block(const std::string& bytes) {
  return U32(static_cast<uint32_t>(bytes.size())) + bytes;
}

inline std::string Compress(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), 1);
  out.resize(size);
  return out;
}

// An entry record: positive length and a zlib stream, or minus the length and the bytes as they
// are.
inline std::string CompressedRecord(const std::string& decoded) {
  const std::string stream = Compress(decoded);
  return U32(static_cast<uint32_t>(stream.size())) + stream;
}
inline std::string StoredRecord(const std::string& decoded) {
  return U32(static_cast<uint32_t>(-static_cast<int32_t>(decoded.size()))) + decoded;
}
inline std::string Decoded(const std::string& header, const std::string& content) {
  return header + std::string(1, '\0') + content;
}

// A token in the scrambled form that the token descrambler accepts (documented in payload/Token.h).
inline std::string ScrambleToken(const std::string& token, uint8_t prefix = 3, uint8_t suffix = 2,
                                 uint8_t keyA = 0x5a, uint8_t keyB = 0x1c) {
  const auto key = static_cast<uint8_t>(keyA ^ keyB);
  std::vector<uint8_t> d = {keyA, static_cast<uint8_t>(prefix ^ key),
                            static_cast<uint8_t>(suffix ^ key)};
  for (int i = 0; i < prefix; ++i) d.push_back(static_cast<uint8_t>((0x30 + i) ^ key));
  for (char c : token) d.push_back(static_cast<uint8_t>(static_cast<uint8_t>(c) ^ key));
  for (int i = 1; i < suffix; ++i) d.push_back(static_cast<uint8_t>((0x60 + i) ^ key));
  uint8_t check = keyB;
  for (uint8_t b : d) check = static_cast<uint8_t>(check + b);
  d.push_back(check);
  d.push_back(keyB);
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : d) {
    out += static_cast<char>(kHex[b >> 4] + 50);
    out += static_cast<char>(kHex[b & 15] + 50);
  }
  return out;
}

struct ImageRecipe {
  std::string stub = MakeStub();
  std::vector<std::string> blocks = {
      "\x02\x01"
      "English\x01s1=Extracting Files...\x01\x02",
      "|http://|App.info|App.exe|bbbb|0|"};
  std::vector<std::string> records;
  uint8_t headerBlocks = 2;
  uint32_t filesCount = 0;
  uint32_t magic = payload::kMagic;
  uint32_t requiredSpace[9] = {};
  uint8_t flags = 0;
  uint8_t bytes66to69[4] = {};
  bool recordRealEnd = true;  // write the length at 0xFC
  bool storeChecksum = true;  // else the checksum field keeps `checksum`
  uint32_t checksum = payload::kChecksumDisabled;
};

inline std::string TrailerBytes(const ImageRecipe& recipe, uint32_t startOffset) {
  payload::Trailer t{};
  t.format = 1;
  t.headerBlocks = recipe.headerBlocks;
  t.startOffset = static_cast<int32_t>(startOffset);
  t.filesCount = recipe.filesCount;
  t.magic = recipe.magic;
  t.checksum = recipe.checksum;
  std::memcpy(t.requiredSpace, recipe.requiredSpace, sizeof t.requiredSpace);
  t.flags = recipe.flags;
  t.webInstaller = recipe.bytes66to69[0];
  t.askBeforeDownload = recipe.bytes66to69[1];
  t.makeAgent = recipe.bytes66to69[2];
  t.agent = recipe.bytes66to69[3];
  t.trailerSize = payload::kTrailerSize;
  return std::string(reinterpret_cast<const char*>(&t), sizeof t);
}

// Stub, blocks, records and trailer, with the real end and the checksum filled in as the builder
// does.
inline std::string BuildImage(const ImageRecipe& recipe) {
  std::string image = recipe.stub;
  const auto start = static_cast<uint32_t>(image.size());
  for (const auto& block : recipe.blocks) image += Block(block);
  for (const auto& record : recipe.records) image += record;
  image += TrailerBytes(recipe, start);
  if (recipe.recordRealEnd)
    PutU32(image, payload::kRealEndLowOffset, static_cast<uint32_t>(image.size()));
  if (recipe.storeChecksum) {
    const uint32_t sum = payload::ChecksumOfImage(reinterpret_cast<const uint8_t*>(image.data()),
                                                  image.size(), payload::kTrailerSize);
    PutU32(image, image.size() - payload::kTrailerSize + 16, sum);
  }
  return image;
}

}  // namespace payload_test
