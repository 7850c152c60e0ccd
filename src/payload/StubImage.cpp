// Facts about the stub at the head of an installer file: whether it is one, and the real end it
// records.
#include "payload/StubImage.h"

#include <algorithm>
#include <limits>

#include "payload/PayloadFormat.h"

namespace payload {

namespace {

int64_t CombineRealEnd(uint32_t high, uint32_t low) {
  return static_cast<int64_t>(static_cast<uint64_t>(high) << 32 | low);
}

}  // namespace

bool IsStubImage(const ByteSource& file) {
  char mz[2] = {};
  char pe[2] = {};
  return file.ReadAt(0, mz, 2) == 2 && mz[0] == 'M' && mz[1] == 'Z' &&
         file.ReadAt(kPeSignatureOffset, pe, 2) == 2 && pe[0] == 'P' && pe[1] == 'E';
}

bool IsStubImage(const std::string& fileName) {
  return IsStubImage(FileSource(fileName));
}

int64_t ReadRealEnd(const ByteSource& file) {
  if (file.Size() < kRealEndLowOffset + 4) return 0;
  return CombineRealEnd(ReadU32At(file, kRealEndHighOffset), ReadU32At(file, kRealEndLowOffset));
}

int64_t ReadRealEnd(const std::string& fileName) {
  return ReadRealEnd(FileSource(fileName));
}

int64_t RealEndOfImage(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kRealEndLowOffset + 4) return 0;
  return ReadRealEnd(MemorySource(data, size));
}

int64_t RealEndOfImage(const std::string& bytes) {
  return RealEndOfImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

int64_t PayloadEnd(const ByteSource& file) {
  const uint64_t physical = std::min<uint64_t>(file.Size(), std::numeric_limits<int64_t>::max());
  if (IsStubImage(file)) {
    const int64_t realEnd = ReadRealEnd(file);
    if (realEnd > 0) return realEnd;
  }
  return static_cast<int64_t>(physical);
}

}  // namespace payload
