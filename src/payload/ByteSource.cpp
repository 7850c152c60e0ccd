// Random-access byte sources for the payload readers: a file opened for one operation, or bytes in
// memory.
#include "payload/ByteSource.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace payload {

namespace {

// 64-bit positioning: the 32-bit Windows runtime's fseek/ftell stop at 2 GiB.
bool SeekTo(std::FILE* file, uint64_t offset, int origin) {
  if (offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
#if defined(_WIN32)
  return _fseeki64(file, static_cast<__int64>(offset), origin) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

// Only regular files are payload sources; some file systems report huge sizes for folders.
bool IsRegularFile(std::FILE* file) {
#if defined(_WIN32)
  (void)file;
  return true;  // opening a folder already fails there
#else
  struct stat info {};
  return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

int64_t TellOf(std::FILE* file) {
#if defined(_WIN32)
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

}  // namespace

size_t MemorySource::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (offset >= size_) return 0;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
  if (count > 0) std::memcpy(buffer, data_ + offset, count);
  return count;
}

FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (!file_) return;
  if (!IsRegularFile(file_.get())) {
    file_.reset();
    return;
  }
  const int64_t end = SeekTo(file_.get(), 0, SEEK_END) ? TellOf(file_.get()) : -1;
  if (end < 0) {
    file_.reset();
    return;
  }
  size_ = static_cast<uint64_t>(end);
}

size_t FileSource::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (!file_ || offset >= size_) return 0;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
  if (count == 0 || !SeekTo(file_.get(), offset, SEEK_SET)) return 0;
  return std::fread(buffer, 1, count, file_.get());
}

uint32_t ReadU32At(const ByteSource& source, uint64_t offset) {
  uint8_t bytes[4] = {};
  if (source.ReadAt(offset, bytes, sizeof bytes) != sizeof bytes) return 0;
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace payload
