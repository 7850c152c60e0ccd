// InstallerScan: reading an existing installer for inspect, list and split (see InstallerScan.h).
#include "tarvo-pack/InstallerScan.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "payload/ByteSource.h"
#include "payload/Checksum.h"
#include "payload/Inflater.h"
#include "payload/StubImage.h"
#include "payload/TGFileInfo.h"
#include "payload/TrailerReader.h"

namespace tarvopack {

namespace {

constexpr size_t kReadSize = 65536;
constexpr size_t kMaxHeader = 65536;

// Collects what one entry decodes to: the header text, then the size and CRC of the file bytes.
class DecodedEntry {
 public:
  explicit DecodedEntry(std::string* keep = nullptr) : keep_(keep) {}

  void Feed(const char* bytes, size_t size) {
    if (inHeader_) {
      const auto* zero = static_cast<const char*>(std::memchr(bytes, 0, size));
      const size_t take = zero ? static_cast<size_t>(zero - bytes) : size;
      if (header_.size() + take > kMaxHeader) {
        inHeader_ = false;  // no byte 0 early enough: the reader skips such an entry
        noHeader_ = true;
        return;
      }
      header_.append(bytes, take);
      if (!zero) return;
      inHeader_ = false;
      bytes = zero + 1;
      size -= take + 1;
    }
    if (noHeader_ || size == 0) return;
    crc_ = static_cast<uint32_t>(
        crc32(crc_, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(size)));
    contentSize_ += size;
    if (keep_ != nullptr) keep_->append(bytes, size);
  }

  void Finish(RecordScan& record) const {
    record.hasHeader = !inHeader_ && !noHeader_ && payload::ParseEntryHeader(header_, record.info);
    if (!record.hasHeader) record.info = payload::EntryInfo{};
    record.info.header = header_;
    record.contentSize = contentSize_;
    record.crc32 = crc_;
  }

 private:
  std::string* keep_;
  std::string header_;
  bool inHeader_ = true;
  bool noHeader_ = false;
  uint64_t contentSize_ = 0;
  uint32_t crc_ = 0;
};

void DecodeEntry(const payload::ByteSource& file, RecordScan& record,
                 std::string* content = nullptr) {
  const bool compressed = record.length > 0;
  uint64_t left = compressed ? static_cast<uint64_t>(record.length)
                             : static_cast<uint64_t>(-static_cast<int64_t>(record.length));
  uint64_t at = record.offset + 4;
  DecodedEntry decoded(content);
  payload::Inflater inflater;
  bool ended = !compressed;
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(left, kReadSize)));
  bool first = true;
  while (left > 0 && record.error.empty() && !(compressed && ended)) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
    if (file.ReadAt(at, buffer.data(), want) != want) {
      record.error = "the file ends inside the entry";
      break;
    }
    if (compressed && first)
      record.zlibHeaderAsWritten = want >= 2 && buffer[0] == '\x78' && buffer[1] == '\x01';
    first = false;
    at += want;
    left -= want;
    if (!compressed) {
      decoded.Feed(buffer.data(), want);
      continue;
    }
    const auto status = inflater.Feed(buffer.data(), want, [&](const char* bytes, size_t size) {
      decoded.Feed(bytes, size);
      return true;
    });
    if (status == payload::Inflater::Status::kStreamEnd) ended = true;
    if (status == payload::Inflater::Status::kError)
      record.error = "damaged zlib stream: " + inflater.Error();
  }
  if (record.error.empty() && !ended) record.error = "the zlib stream ends early";
  decoded.Finish(record);
}

void ScanRecords(const payload::ByteSource& file, FileScan& scan) {
  const int64_t entriesEnd = scan.payloadEnd - static_cast<int64_t>(payload::kTrailerSize);
  const int64_t limit = std::min<int64_t>(entriesEnd, static_cast<int64_t>(scan.physicalSize));
  const int blocks = scan.continuation ? 0 : scan.trailer.headerBlocks;
  int64_t position = scan.trailer.startOffset;
  if (position < 0 || position > entriesEnd) {
    scan.walkError = "the start offset " + std::to_string(position) + " lies outside the payload";
    return;
  }
  while (position < entriesEnd) {
    const std::string where = "record at offset " + std::to_string(position) + ": ";
    if (position + 4 > limit) {
      scan.walkError = where + "the file ends inside its length";
      return;
    }
    RecordScan record;
    record.offset = static_cast<uint64_t>(position);
    const uint32_t raw = payload::ReadU32At(file, record.offset);
    std::memcpy(&record.length, &raw, sizeof raw);
    const int64_t size = record.length > 0 ? record.length : -static_cast<int64_t>(record.length);
    if (size > limit - position - 4) {
      scan.walkError =
          where + "its " + std::to_string(size) + " bytes run past the end of the payload";
      return;
    }
    record.isBlock = static_cast<int>(scan.records.size()) < blocks;
    if (!record.isBlock) DecodeEntry(file, record);
    scan.records.push_back(std::move(record));
    position += 4 + size;
  }
}

}  // namespace

bool ReadEntryContent(const std::string& path, const RecordScan& record, std::string& content,
                      std::string& error) {
  content.clear();
  const payload::FileSource file(path);
  RecordScan again;
  again.offset = record.offset;
  again.length = record.length;
  DecodeEntry(file, again, &content);
  if (!file.IsOpen()) again.error = "cannot open " + path;
  if (again.error.empty()) return true;
  error = path + ", entry at offset " + std::to_string(record.offset) + ": " + again.error;
  return false;
}

bool IsContinuationName(const std::string& path) {
  if (path.size() < 4 || path[path.size() - 4] != '.') return false;
  const std::string digits = path.substr(path.size() - 3);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  return std::stoi(digits) >= 2;
}

std::string DiskFileName(const std::string& base, int number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return base + "." + digits;
}

bool ScanInstaller(const std::string& path, FileScan& scan, std::string& error) {
  scan = FileScan{};
  scan.path = path;
  const payload::FileSource file(path);
  if (!file.IsOpen()) {
    error = "cannot open " + path;
    return false;
  }
  scan.physicalSize = file.Size();
  scan.isStub = payload::IsStubImage(file);
  scan.realEnd = scan.isStub ? payload::ReadRealEnd(file) : 0;
  scan.payloadEnd = payload::PayloadEnd(file);
  scan.trailerSizeField = scan.payloadEnd >= 4
                              ? payload::ReadU32At(file, static_cast<uint64_t>(scan.payloadEnd - 4))
                              : 0;
  payload::ReadTrailer(file, scan.trailer);
  scan.magicOk = scan.trailer.magic == payload::kMagic;
  scan.computedChecksum = payload::ChecksumOf(file, scan.trailer.trailerSize);
  scan.continuation = IsContinuationName(path);
  if (scan.isStub) {
    file.ReadAt(payload::kBuildBytesOffset, scan.buildBytes.data(), scan.buildBytes.size());
  }
  if (!scan.magicOk) return true;
  if (!scan.continuation) {
    const TGFileInfo info(file);
    scan.languageBlock = info.LanguageBlock();
    scan.parameterBlock = info.ParameterBlock();
    scan.webBlock = info.WebBlock();
  }
  ScanRecords(file, scan);
  return true;
}

std::vector<std::string> SeriesFrom(const std::string& path, std::string& missing) {
  missing.clear();
  payload::Trailer trailer{};
  payload::ReadTrailer(path, trailer);
  std::string current = path;
  if (trailer.magic == payload::kMagic && (trailer.flags & payload::kFlagSpanFirstLevel) != 0)
    current = path + ".001";
  const std::string suffix = ".001";
  const std::string base = current.size() > suffix.size() && current.ends_with(suffix)
                               ? current.substr(0, current.size() - suffix.size())
                               : current;
  std::vector<std::string> files;
  for (int disk = 1;; ++disk) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(current, ec)) {
      missing = current;
      break;
    }
    files.push_back(current);
    payload::ReadTrailer(current, trailer);
    if (trailer.magic != payload::kMagic || (trailer.flags & payload::kFlagNextDisk) == 0 ||
        disk >= 999)
      break;
    current = DiskFileName(base, disk + 1);
  }
  return files;
}

}  // namespace tarvopack
