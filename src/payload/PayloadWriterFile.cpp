// PayloadWriter, whole files: entries encoded on worker threads and written in order, then the
// trailer, the stub header fields and the checksum (see PayloadWriter.h).
#include <algorithm>
#include <bit>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "payload/ByteSource.h"
#include "payload/Checksum.h"
#include "payload/PayloadWriter.h"

namespace payload {

static_assert(std::endian::native == std::endian::little, "records are copied as little-endian");

namespace {

// An output file with 64-bit positioning; closed (and, unless kept, removed) when it goes.
class OutputFile {
 public:
  explicit OutputFile(std::string path) : path_(std::move(path)) {
    file_.reset(std::fopen(path_.c_str(), "w+b"));
  }
  ~OutputFile() {
    file_.reset();
    if (!keep_) std::remove(path_.c_str());
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool Write(const void* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file_.get()) == size;
  }
  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  bool WriteAt(uint64_t offset, const void* data, size_t size) {
#if defined(_WIN32)
    if (_fseeki64(file_.get(), static_cast<__int64>(offset), SEEK_SET) != 0) return false;
#else
    if (fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) return false;
#endif
    return Write(data, size);
  }
  bool Flush() {
    return std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
  }
  bool Close() {
    if (!file_) return false;
    const bool ok = Flush();
    return std::fclose(file_.release()) == 0 && ok;
  }
  void Keep() {
    keep_ = true;
  }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
  bool keep_ = false;
};

std::string U32Bytes(uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// One encoded entry waiting to be written.
struct EncodedEntry {
  bool done = false;
  bool ok = false;
  std::string record;
  uint64_t decodedBytes = 0;
  std::string error;
};

// Appends job.length bytes of the job's file from job.offset to out.
bool ReadPiece(const EntryJob& job, std::string& out, std::string& error) {
  FileSource file(job.sourcePath);
  if (!file.IsOpen()) {
    error = "cannot open " + job.sourcePath;
    return false;
  }
  if (job.length > std::numeric_limits<int32_t>::max() - job.header.size() - 8) {
    error = job.sourcePath + ": the piece is too large for one entry";
    return false;
  }
  std::string& decoded = out;
  const size_t start = decoded.size();
  decoded.resize(start + static_cast<size_t>(job.length));
  uint64_t got = 0;
  while (got < job.length) {
    const size_t n =
        file.ReadAt(job.offset + got, decoded.data() + start + got,
                    static_cast<size_t>(std::min<uint64_t>(job.length - got, 1 << 20)));
    if (n == 0) break;
    got += n;
  }
  if (got != job.length) {
    error = job.sourcePath + " became shorter while it was read";
    return false;
  }
  return true;
}

EncodedEntry EncodeJobOrFail(const EntryJob& job, int level) {
  EncodedEntry out;
  if (job.kind == EntryJob::Kind::Record) {
    out.record = job.bytes;
    out.ok = true;
    return out;
  }
  if (job.kind == EntryJob::Kind::FileRecord) {
    out.ok = ReadPiece(job, out.record, out.error);
    return out;
  }
  std::string decoded = job.header;
  decoded.push_back('\0');
  if (job.kind == EntryJob::Kind::FilePiece) {
    if (!ReadPiece(job, decoded, out.error)) return out;
  } else {
    decoded += job.bytes;
  }
  out.decodedBytes = decoded.size();
  out.ok = EncodeEntryRecord(decoded, level, out.record);
  if (!out.ok) out.error = "cannot encode the entry " + job.header;
  return out;
}

// A piece too large for the memory left must fail the build, not end the program.
EncodedEntry EncodeJob(const EntryJob& job, int level) {
  try {
    return EncodeJobOrFail(job, level);
  } catch (const std::bad_alloc&) {
    EncodedEntry out;
    out.error = "out of memory while encoding " +
                (job.header.empty() ? job.sourcePath : job.header) + " (try a smaller piece size)";
    return out;
  }
}

// Encodes the plan's entries on worker threads, at most `window` ahead of the writer, and hands
// them to `write` in plan order on the calling thread.
class EntryPipeline {
 public:
  EntryPipeline(const ContainerPlan& plan) : plan_(plan), slots_(plan.entries.size()) {
    window_ = std::max<size_t>(2, static_cast<size_t>(std::max(1u, plan.threads)) * 2);
  }

  template <typename WriteFn>
  bool Run(WriteFn write) {
    const size_t workers = std::min<size_t>(std::max(1u, plan_.threads), slots_.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < workers; ++i) {
      try {
        threads.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        break;  // fewer threads than asked for still give the same bytes
      }
    }
    if (threads.empty() && !slots_.empty()) return RunInline(write);
    bool ok = true;
    for (size_t i = 0; i < slots_.size() && ok; ++i) {
      EncodedEntry entry;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return slots_[i].done; });
        entry = std::move(slots_[i]);
        slots_[i] = EncodedEntry{};
      }
      ok = write(entry);
      {
        std::lock_guard lock(mutex_);
        written_ = i + 1;
        if (!ok) stop_ = true;
      }
      changed_.notify_all();
    }
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads) thread.join();
    return ok;
  }

 private:
  template <typename WriteFn>
  bool RunInline(WriteFn write) {
    for (const EntryJob& job : plan_.entries) {
      if (!write(EncodeJob(job, plan_.level))) return false;
    }
    return true;
  }

  void Work() {
    for (;;) {
      size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(
            lock, [&] { return stop_ || next_ >= slots_.size() || next_ < written_ + window_; });
        if (stop_ || next_ >= slots_.size()) return;
        index = next_++;
      }
      EncodedEntry entry = EncodeJob(plan_.entries[index], plan_.level);
      entry.done = true;
      {
        std::lock_guard lock(mutex_);
        slots_[index] = std::move(entry);
      }
      changed_.notify_all();
    }
  }

  const ContainerPlan& plan_;
  std::vector<EncodedEntry> slots_;
  size_t window_ = 2;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;
  size_t written_ = 0;
  bool stop_ = false;
};

std::string TempPathFor(const std::string& path) {
  return path + ".part";
}

}  // namespace

bool WriteContainer(const std::string& path, const ContainerPlan& plan, const ProgressFn& progress,
                    ContainerStats& stats, std::string& error) {
  stats = ContainerStats{};
  error.clear();
  if (!plan.stub.empty()) {
    error = CheckStubImage(plan.stub);
    if (!error.empty()) return false;
  }
  if (plan.entries.size() > std::numeric_limits<uint32_t>::max()) {
    error = "too many entries for one file";
    return false;
  }
  const std::string temp = TempPathFor(path);
  OutputFile out(temp);
  if (!out.IsOpen()) {
    error = "cannot create " + temp;
    return false;
  }
  uint64_t size = plan.stub.size();
  bool ok = out.Write(plan.stub);
  for (const std::string& block : plan.blocks) {
    if (block.size() > std::numeric_limits<uint32_t>::max()) {
      error = "a header block is larger than 4 GiB";
      return false;
    }
    ok = ok && out.Write(U32Bytes(static_cast<uint32_t>(block.size()))) && out.Write(block);
    size += 4 + block.size();
  }

  const auto total = static_cast<uint32_t>(plan.entries.size());
  EntryPipeline pipeline(plan);
  ok = ok && pipeline.Run([&](const EncodedEntry& entry) {
    if (!entry.ok) {
      error = entry.error;
      return false;
    }
    if (!out.Write(entry.record)) return false;
    size += entry.record.size();
    stats.decodedBytes += entry.decodedBytes;
    stats.recordBytes += entry.record.size();
    ++stats.entries;
    if (progress) progress(stats.entries, total, stats.decodedBytes);
    return true;
  });

  Trailer trailer = plan.trailer;
  trailer.format = 1;
  if (!plan.blocks.empty()) trailer.headerBlocks = static_cast<uint8_t>(plan.blocks.size());
  if (trailer.headerBlocks == 0) trailer.headerBlocks = 2;
  trailer.startOffset = static_cast<int32_t>(plan.stub.size());
  trailer.filesCount = total;
  trailer.magic = kMagic;
  trailer.checksum = kChecksumDisabled;
  trailer.trailerSize = kTrailerSize;
  const uint64_t trailerAt = size;
  ok = ok && out.Write(EncodeTrailer(trailer));
  size += kTrailerSize;

  // The stub header: per-build bytes and the real end; the checksum skips these 512 bytes.
  if (ok && !plan.stub.empty()) {
    const std::string end =
        U32Bytes(static_cast<uint32_t>(size >> 32)) + U32Bytes(static_cast<uint32_t>(size));
    ok = out.WriteAt(kBuildBytesOffset, plan.buildBytes.data(), plan.buildBytes.size()) &&
         out.WriteAt(kRealEndHighOffset, end.data(), end.size());
  }
  ok = ok && out.Flush();
  if (ok) {
    stats.checksum = plan.checksum ? FileChecksum(temp, kTrailerSize) : kChecksumDisabled;
    ok = out.WriteAt(trailerAt + 16, U32Bytes(stats.checksum).data(), 4);
  }
  ok = out.Close() && ok;
  if (!ok) {
    if (error.empty()) error = "cannot write " + temp + " (disk full?)";
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    error = "cannot rename " + temp + " to " + path + ": " + ec.message();
    return false;
  }
  out.Keep();
  stats.fileSize = size;
  return true;
}

}  // namespace payload
