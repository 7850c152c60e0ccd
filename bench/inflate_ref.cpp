// inflate_ref: the plain extraction loop (read record, inflate, write file) that the stub's
// extraction is measured against; built natively and with mingw from the same source.
//   inflate_ref INSTALLER OUTDIR
// Prints "entries=N bytes=N ms=N" (the loop's own wall time, opening the file included).
// Only the trailer and the payload end come from the project's reader code; the hot path is zlib
// and stdio with 64 KiB buffers and nothing else, so it is the limit the stub can approach.
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "payload/ByteSource.h"
#include "payload/PayloadFormat.h"
#include "payload/StubImage.h"
#include "payload/TrailerReader.h"

namespace {

constexpr size_t kBuf = 65536;

struct Closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, Closer>;

bool SeekTo(std::FILE* f, int64_t offset) {
#ifdef _WIN32
  return fseeko64(f, offset, SEEK_SET) == 0;
#else
  return fseeko(f, offset, SEEK_SET) == 0;
#endif
}

// Writes the decoded bytes of one entry: the header text up to the first byte 0 names the file.
class EntryOut {
 public:
  explicit EntryOut(const std::string& dir) : dir_(dir) {}
  bool Put(const char* p, size_t n) {
    if (!out_) {
      const char* zero = static_cast<const char*>(std::memchr(p, 0, n));
      const size_t take = zero ? static_cast<size_t>(zero - p) : n;
      header_.append(p, take);
      if (!zero) return true;
      if (!Open()) return false;
      p = zero + 1;
      n -= take + 1;
    }
    bytes_ += n;
    return n == 0 || std::fwrite(p, 1, n, out_.get()) == n;
  }
  uint64_t Bytes() const { return bytes_; }

 private:
  // "|name|time|", the name possibly followed by "*" and the engine's arguments.
  bool Open() {
    std::string name = header_.size() > 1 ? header_.substr(1) : "";
    name = name.substr(0, name.find('|'));
    name = name.substr(0, name.find('*'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return false;
    // Pieces of one name follow each other: append, like the stub.
    out_.reset(std::fopen((dir_ + "/" + name).c_str(), "ab"));
    return out_ != nullptr;
  }
  std::string dir_;
  std::string header_;
  File out_;
  uint64_t bytes_ = 0;
};

bool Stored(std::FILE* in, uint32_t size, EntryOut& out, std::vector<char>& buf) {
  while (size > 0) {
    const size_t want = size < kBuf ? size : kBuf;
    if (std::fread(buf.data(), 1, want, in) != want || !out.Put(buf.data(), want)) return false;
    size -= static_cast<uint32_t>(want);
  }
  return true;
}

// left: the record's bytes after the end of the stream (a shorter stream), not read.
bool Inflated(std::FILE* in, uint32_t size, EntryOut& out, std::vector<char>& buf,
              std::vector<char>& outBuf, uint32_t& left) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  int rc = Z_OK;
  while (size > 0 && rc != Z_STREAM_END) {
    const size_t want = size < kBuf ? size : kBuf;
    if (std::fread(buf.data(), 1, want, in) != want) break;
    size -= static_cast<uint32_t>(want);
    z.next_in = reinterpret_cast<Bytef*>(buf.data());
    z.avail_in = static_cast<uInt>(want);
    do {
      z.next_out = reinterpret_cast<Bytef*>(outBuf.data());
      z.avail_out = static_cast<uInt>(outBuf.size());
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) break;
      if (!out.Put(outBuf.data(), outBuf.size() - z.avail_out)) rc = Z_ERRNO;
    } while (z.avail_out == 0 && rc == Z_OK);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
  }
  inflateEnd(&z);
  left = size;
  return rc == Z_STREAM_END;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: inflate_ref INSTALLER OUTDIR\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  payload::Trailer record{};
  int64_t end = 0;
  {
    const payload::FileSource source(argv[1]);
    payload::ReadTrailer(source, record);
    end = payload::PayloadEnd(source) - payload::kTrailerSize;
  }
  const File in(std::fopen(argv[1], "rb"));
  if (!in || record.magic != payload::kMagic || !SeekTo(in.get(), record.startOffset)) {
    std::fprintf(stderr, "inflate_ref: %s is no installer\n", argv[1]);
    return 1;
  }
  std::vector<char> buf(kBuf), outBuf(kBuf);
  const int headerBlocks = record.headerBlocks == 0 ? 2 : record.headerBlocks;
  int64_t at = record.startOffset;
  uint64_t entries = 0, bytes = 0;
  for (int block = 1; at < end; ++block) {
    unsigned char raw[4];
    if (std::fread(raw, 1, 4, in.get()) != 4) break;
    const int32_t length = static_cast<int32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 |
                                                static_cast<uint32_t>(raw[3]) << 24);
    const uint32_t size = length < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(length))
                                     : static_cast<uint32_t>(length);
    at += 4 + static_cast<int64_t>(size);
    if (block <= headerBlocks) {
      if (!SeekTo(in.get(), at)) return 1;
      continue;
    }
    EntryOut out(argv[2]);
    uint32_t left = 0;
    bool ok = length > 0 ? Inflated(in.get(), size, out, buf, outBuf, left)
                         : Stored(in.get(), size, out, buf);
    if (ok && left > 0) ok = SeekTo(in.get(), at);
    if (!ok) {
      std::fprintf(stderr, "inflate_ref: entry %llu is damaged\n",
                   static_cast<unsigned long long>(entries + 1));
      return 1;
    }
    ++entries;
    bytes += out.Bytes();
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - started)
                      .count();
  std::printf("entries=%llu bytes=%llu ms=%lld\n", static_cast<unsigned long long>(entries),
              static_cast<unsigned long long>(bytes), static_cast<long long>(ms));
  return 0;
}
