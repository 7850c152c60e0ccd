// The installer file checksum that the trailer stores at offset 16 and the extraction verifies.
#include "payload/Checksum.h"

#include <array>

#include "payload/PayloadFormat.h"
#include "payload/StubImage.h"

namespace payload {

namespace {

constexpr size_t kReadSize = 4096;
constexpr uint64_t kSkippedHeader = 512;  // holds the real end and the per-build bytes

uint32_t WordAt(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

uint32_t ChecksumOf(const ByteSource& file, uint32_t trailerSize) {
  const uint64_t physical = file.Size();
  if (physical > kChecksumSizeLimit) return kChecksumDisabled;
  // Only the low half of the real end counts here: the whole file is below 50 MiB anyway.
  const uint32_t realEnd = IsStubImage(file) ? ReadU32At(file, kRealEndLowOffset) : 0;
  const int64_t size = realEnd > 0 ? static_cast<int64_t>(realEnd) : static_cast<int64_t>(physical);
  int64_t remaining = size - static_cast<int64_t>(trailerSize);
  uint64_t offset = 0;
  if (realEnd > 0) {
    remaining -= static_cast<int64_t>(kSkippedHeader);
    offset = kSkippedHeader;
  }
  uint32_t sum = 0;
  std::array<uint8_t, kReadSize> block{};
  size_t got = 0;
  do {
    got = file.ReadAt(offset, block.data(), block.size());
    offset += got;
    for (size_t at = 0; at + 4 <= got; at += 4) {
      remaining -= 4;
      if (remaining > 4) sum += WordAt(block.data() + at);
    }
    if (remaining > 4) sum += kChecksumDisabled;
  } while (got == kReadSize);
  return sum;
}

uint32_t ChecksumOfImage(const uint8_t* data, uint64_t size, uint32_t trailerSize) {
  if (data == nullptr) size = 0;
  return ChecksumOf(MemorySource(data, size), trailerSize);
}

uint32_t FileChecksum(const std::string& fileName, uint32_t trailerSize) {
  return ChecksumOf(FileSource(fileName), trailerSize);
}

bool ChecksumPasses(uint32_t computed, uint32_t stored) {
  return computed == stored || computed == kChecksumDisabled || stored == kChecksumDisabled;
}

}  // namespace payload
