// Walks the records of an installer file (header blocks, then entries) and streams each entry's
// file bytes to a sink in bounded chunks, inflating compressed entries on the way.
#include "payload/EntryReader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "payload/Inflater.h"
#include "payload/StubImage.h"

namespace payload {

namespace {

// Decoded bytes of one entry: the header text up to the first byte 0, then the file's bytes.
class EntrySplitter {
 public:
  explicit EntrySplitter(EntrySink& sink) : sink_(sink) {}

  // False when the header names a file outside the extraction folder (error() says which).
  bool Feed(const char* bytes, size_t size) {
    if (state_ == State::kHeader) return FeedHeader(bytes, size);
    if (state_ == State::kContent && size > 0) sink_.Data(bytes, size);
    return true;
  }
  bool Begun() const { return state_ == State::kContent; }
  const EntryInfo& Info() const { return info_; }
  const std::string& Error() const { return error_; }

 private:
  enum class State { kHeader, kContent, kSkip };

  bool FeedHeader(const char* bytes, size_t size) {
    const auto* zero = static_cast<const char*>(std::memchr(bytes, 0, size));
    const size_t take = zero ? static_cast<size_t>(zero - bytes) : size;
    if (header_.size() + take > EntryWalker::kMaxHeaderSize) return Skip();  // treated as no byte 0
    header_.append(bytes, take);
    if (!zero) return true;
    if (!ParseEntryHeader(header_, info_)) return Skip();
    if (!IsPlainFileName(info_.name)) {
      error_ = "the entry's file name \"" + info_.name + "\" is not a plain file name";
      Skip();
      return false;
    }
    state_ = State::kContent;
    sink_.Begin(info_);
    return Feed(zero + 1, size - take - 1);
  }

  bool Skip() {
    state_ = State::kSkip;
    header_.clear();
    return true;
  }

  EntrySink& sink_;
  State state_ = State::kHeader;
  std::string header_;
  EntryInfo info_;
  std::string error_;
};

}  // namespace

bool EntryWalker::Fail(int64_t offset, const std::string& why) {
  error_ =
      "record " + std::to_string(blocks_) + " at offset " + std::to_string(offset) + ": " + why;
  return false;
}

bool EntryWalker::Walk(const ByteSource& file, const Trailer& record, EntrySink& sink) {
  error_.clear();
  cancelled_ = false;
  const int64_t payloadEnd = PayloadEnd(file) - static_cast<int64_t>(kTrailerSize);
  // Records must lie inside the file and before the trailer.
  const int64_t limit = std::min<int64_t>(
      payloadEnd, static_cast<int64_t>(std::min<uint64_t>(file.Size(), INT64_MAX)));
  const uint8_t headerBlocks = record.headerBlocks == 0 ? 2 : record.headerBlocks;
  int64_t position = record.startOffset;
  if (position < 0 || position > payloadEnd) {
    error_ = "the start offset " + std::to_string(position) + " lies outside the payload";
    return false;
  }
  while (position < payloadEnd) {
    if (!sink.Pump()) {
      cancelled_ = true;
      return false;
    }
    ++blocks_;
    if (position + 4 > limit) return Fail(position, "the file ends inside the record's length");
    int32_t length = 0;
    const uint32_t raw = ReadU32At(file, static_cast<uint64_t>(position));
    std::memcpy(&length, &raw, sizeof length);
    const int64_t size = length > 0 ? length : -static_cast<int64_t>(length);
    if (size > limit - position - 4)
      return Fail(position, "the record runs past the end of the payload");
    const int64_t next = position + 4 + size;
    if (blocks_ == headerBlocks) entriesStart_ = next;
    if (blocks_ > headerBlocks) {
      ++entries_;
      if (!WalkEntry(file, static_cast<uint64_t>(position), length, sink)) return false;
    }
    position = next;
  }
  return true;
}

bool EntryWalker::WalkEntry(const ByteSource& file, uint64_t offset, int32_t length,
                            EntrySink& sink) {
  const bool compressed = length > 0;
  uint64_t left = compressed ? static_cast<uint64_t>(length)
                             : static_cast<uint64_t>(-static_cast<int64_t>(length));
  uint64_t at = offset + 4;
  EntrySplitter splitter(sink);
  std::optional<Inflater> inflater;  // only compressed entries pay for zlib's state
  if (compressed) inflater.emplace();
  std::string failure;
  bool streamEnded = !compressed;
  auto pass = [&](const char* bytes, size_t size) {
    if (!splitter.Feed(bytes, size)) {
      failure = splitter.Error();
      return false;
    }
    if (!sink.Pump()) {
      cancelled_ = true;
      return false;
    }
    return true;
  };
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(left, kReadSize)));
  while (left > 0 && failure.empty() && !cancelled_ && !(compressed && streamEnded)) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
    if (file.ReadAt(at, buffer.data(), want) != want) {
      failure = "the file ends inside the entry";
      break;
    }
    at += want;
    left -= want;
    if (!compressed) {
      pass(buffer.data(), want);
      continue;
    }
    switch (inflater->Feed(buffer.data(), want, pass)) {
      case Inflater::Status::kStreamEnd:
        streamEnded = true;
        break;
      case Inflater::Status::kError:
        failure = "damaged zlib stream: " + inflater->Error();
        break;
      case Inflater::Status::kNeedInput:
      case Inflater::Status::kStopped:
        break;
    }
  }
  if (failure.empty() && !cancelled_ && !streamEnded) failure = "the zlib stream ends early";
  if (splitter.Begun()) {
    if (splitter.Info().isEngine) engineEntry_ = splitter.Info().engineEntry;
    sink.End(failure.empty() && !cancelled_, cancelled_ ? "cancelled" : failure);
  }
  if (cancelled_) return false;
  if (!failure.empty()) return Fail(static_cast<int64_t>(offset), failure);
  return true;
}

}  // namespace payload
