// Fuzz target over the payload readers: trailer, header blocks, checksum, tokens and the entry
// walk.
#include <cstddef>
#include <cstdint>

#include "payload/Checksum.h"
#include "payload/EntryReader.h"
#include "payload/StubImage.h"
#include "payload/TGFileInfo.h"
#include "payload/TrailerReader.h"

namespace {

// Touches every byte it is handed, so a read past a buffer shows up under the sanitizers.
class CountingSink : public payload::EntrySink {
 public:
  void Begin(const payload::EntryInfo& entry) override {
    sum_ += entry.name.size() + entry.dosTime;
  }
  void Data(const char* bytes, size_t size) override {
    for (size_t i = 0; i < size; ++i) sum_ += static_cast<unsigned char>(bytes[i]);
  }
  void End(bool ok, const std::string& error) override { sum_ += ok ? 1 : error.size(); }
  uint64_t Sum() const { return sum_; }

 private:
  uint64_t sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const payload::MemorySource source(data, size);
  const TGFileInfo info(source);
  volatile size_t sink = info.GetBuildToken(true).size() + info.GetWebToken(true).size() +
                         info.GetOriginalFileName().size() + info.GetWebFileSize().size() +
                         static_cast<size_t>(info.RequiredSpaceForCluster(4096));
  sink = sink + payload::ChecksumOf(source, info.Record().trailerSize) +
         static_cast<size_t>(payload::RealEndOfImage(data, size));

  // Walk as the extraction does, whatever the magic says, and once more as a further disk of a set.
  payload::Trailer record{};
  payload::ReadTrailer(source, record);
  payload::EntryWalker walker;
  CountingSink entries;
  walker.Walk(source, record, entries);
  walker.Walk(source, record, entries);
  sink = sink + entries.Sum() + walker.Blocks();
  (void)sink;
  return 0;
}
