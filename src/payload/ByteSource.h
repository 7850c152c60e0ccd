// Random-access byte sources for the payload readers: a file opened for one operation, or bytes in
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace payload {

// Readers see a file only through this interface, so tests and the fuzzer can feed memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies up to size bytes from offset; returns how many were copied (0 past the end or on
  // failure).
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t size) const = 0;
};

// Bytes owned by the caller; they must outlive the source.
class MemorySource final : public ByteSource {
 public:
  MemorySource(const void* data, uint64_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit MemorySource(const std::string& bytes) : MemorySource(bytes.data(), bytes.size()) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) const override;

 private:
  const uint8_t* data_;
  uint64_t size_;
};

// A file opened for reading (others may still read and write it); closed when the source goes.
// A file that cannot be opened reads as empty.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) const override;

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  uint64_t size_ = 0;
};

// Little-endian u32 at offset; 0 when the four bytes are not all there.
uint32_t ReadU32At(const ByteSource& source, uint64_t offset);

}  // namespace payload
