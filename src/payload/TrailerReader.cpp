// Locating and reading the 74-byte trailer at the real end of an installer file.
#include "payload/TrailerReader.h"

#include <algorithm>
#include <bit>

#include "payload/StubImage.h"

namespace payload {

static_assert(std::endian::native == std::endian::little,
              "the trailer is copied as it lies on disk");

namespace {

// The trailer size stored in the four bytes before end; 0 when they are not in the file.
uint32_t TrailerSizeBefore(const ByteSource& file, int64_t end) {
  return end >= 4 ? ReadU32At(file, static_cast<uint64_t>(end - 4)) : 0;
}

}  // namespace

void ReadTrailer(const ByteSource& file, Trailer& record) {
  record = Trailer{};
  int64_t end = static_cast<int64_t>(std::min<uint64_t>(file.Size(), INT64_MAX));
  if (IsStubImage(file)) {
    const int64_t realEnd = ReadRealEnd(file);
    if (realEnd > 0) end = realEnd;
  }
  const uint32_t size = TrailerSizeBefore(file, end);
  const int64_t start = end - static_cast<int64_t>(size);
  const uint32_t taken = std::min(kTrailerSize, size);
  if (taken > 4 && start >= 0) file.ReadAt(static_cast<uint64_t>(start), &record, taken - 4);
  record.trailerSize = taken;
  if (record.headerBlocks == 0) record.headerBlocks = 2;
}

void ReadTrailer(const std::string& fileName, Trailer& record) {
  ReadTrailer(FileSource(fileName), record);
}

}  // namespace payload
