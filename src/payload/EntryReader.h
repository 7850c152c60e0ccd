// Walks the records of an installer file (header blocks, then entries) and streams each entry's
// file bytes to a sink in bounded chunks, inflating compressed entries on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "payload/ByteSource.h"
#include "payload/EntryHeader.h"
#include "payload/PayloadFormat.h"

namespace payload {

// Receives the entries of a walk. An entry without a header (no byte 0 within kMaxHeaderSize bytes,
// an empty header or an empty name) reaches the sink not at all.
class EntrySink {
 public:
  virtual ~EntrySink() = default;
  // Called before every record and after every chunk read or produced, so a caller can keep its
  // window alive; false stops the walk as cancelled.
  virtual bool Pump() { return true; }
  virtual void Begin(const EntryInfo& entry) = 0;
  // The entry's file bytes, in order, at most Inflater::kChunkSize at a time (possibly none at
  // all).
  virtual void Data(const char* bytes, size_t size) = 0;
  // ok: every byte was delivered. Otherwise error says why the content is incomplete, and the walk
  // stops after this entry.
  virtual void End(bool ok, const std::string& error) = 0;
};

// One walker serves a whole spanned set: its block counter runs on from file to file, so only the
// first file's leading records count as header blocks.
class EntryWalker {
 public:
  static constexpr size_t kReadSize = 65536;
  static constexpr size_t kMaxHeaderSize = 65536;

  // Walks one file from record.startOffset until the payload end (the recorded real end, else the
  // physical end) is at most 74 bytes away. The first record.headerBlocks records of the set are
  // header blocks and are skipped. True when the walk reached the trailer; false when a record is
  // damaged or runs past the payload (Error()) or the sink cancelled (Cancelled()). The caller has
  // checked the record's magic and the file's checksum; records are bounded by the file regardless.
  bool Walk(const ByteSource& file, const Trailer& record, EntrySink& sink);

  uint64_t Blocks() const { return blocks_; }
  uint64_t Entries() const { return entries_; }
  // Offset just after the last header block of the first file; 0 until it has been passed.
  int64_t EntriesStart() const { return entriesStart_; }
  // The name field of the last engine entry met ("Engine.exe*" plus any extra text); empty if none.
  const std::string& EngineEntry() const { return engineEntry_; }
  const std::string& Error() const { return error_; }
  bool Cancelled() const { return cancelled_; }

 private:
  bool WalkEntry(const ByteSource& file, uint64_t offset, int32_t length, EntrySink& sink);
  bool Fail(int64_t offset, const std::string& why);

  uint64_t blocks_ = 0;
  uint64_t entries_ = 0;
  int64_t entriesStart_ = 0;
  std::string engineEntry_;
  std::string error_;
  bool cancelled_ = false;
};

}  // namespace payload
