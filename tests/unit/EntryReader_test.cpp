// Tests of the entry walker: record counting, header splitting, streaming inflate and damaged
// input.
#include "payload/EntryReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "PayloadTestImage.h"
#include "TempDir.h"
#include "payload/Inflater.h"
#include "payload/TrailerReader.h"

namespace {

using payload::EntryInfo;
using payload::EntryWalker;
using payload::kTrailerSize;
using payload::MemorySource;
using payload::Trailer;
using namespace payload_test;

struct SeenEntry {
  EntryInfo info;
  std::string content;
  bool ended = false;
  bool ok = false;
  std::string error;
};

class RecordingSink : public payload::EntrySink {
 public:
  std::vector<SeenEntry> entries;
  size_t largestChunk = 0;
  int pumps = 0;
  int cancelAfterPumps = -1;  // -1: never

  bool Pump() override { return cancelAfterPumps < 0 || ++pumps <= cancelAfterPumps; }
  void Begin(const EntryInfo& entry) override { entries.push_back({entry, "", false, false, ""}); }
  void Data(const char* bytes, size_t size) override {
    EXPECT_FALSE(entries.empty());
    EXPECT_GT(size, 0u);
    largestChunk = std::max(largestChunk, size);
    entries.back().content.append(bytes, size);
  }
  void End(bool ok, const std::string& error) override {
    entries.back().ended = true;
    entries.back().ok = ok;
    entries.back().error = error;
  }
};

Trailer TrailerOf(const std::string& image) {
  Trailer record{};
  payload::ReadTrailer(MemorySource(image), record);
  return record;
}

struct WalkOutcome {
  bool ok;
  RecordingSink sink;
  EntryWalker walker;
};

WalkOutcome WalkImage(const std::string& image, int cancelAfterPumps = -1) {
  WalkOutcome out{false, {}, {}};
  out.sink.cancelAfterPumps = cancelAfterPumps;
  out.ok = out.walker.Walk(MemorySource(image), TrailerOf(image), out.sink);
  return out;
}

// Bytes that compress well but are not all alike.
std::string Pattern(size_t size) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 7 + i / 1000) & 0xff);
  return out;
}

ImageRecipe RichRecipe() {
  ImageRecipe recipe;
  recipe.records = {
      CompressedRecord(Decoded("|Engine.exe* /S  |1113170880|", "MZengine")),
      StoredRecord(Decoded("|00001#readme.txt|0|", "stored bytes")),
      CompressedRecord(Decoded("|big.bin|42|", Pattern(300000))),
      StoredRecord(Decoded("|big.stored|x|", Pattern(140000))),
      CompressedRecord(Decoded("|empty.txt||", "")),
      U32(0),                                                   // L = 0: no data, no header
      CompressedRecord(Decoded("", "content without header")),  // empty header
      CompressedRecord("no byte zero at all"),
      StoredRecord(std::string(70000, 'h') + '\0' + "over-long header"),
      CompressedRecord(Decoded("|00001#readme.txt|7|", " second piece")),
  };
  recipe.filesCount = static_cast<uint32_t>(recipe.records.size());
  return recipe;
}

void ExpectRichWalk(const WalkOutcome& out, const std::string& name) {
  ASSERT_TRUE(out.ok) << name << ": " << out.walker.Error();
  const auto& e = out.sink.entries;
  ASSERT_EQ(e.size(), 6u) << name;
  EXPECT_EQ(e[0].info.name, "Engine.exe") << name;
  EXPECT_TRUE(e[0].info.isEngine) << name;
  EXPECT_EQ(e[0].info.extraArgs, "/S") << name;
  EXPECT_EQ(e[0].info.engineEntry, "Engine.exe* /S  ") << name;
  EXPECT_EQ(e[0].info.dosTime, 1113170880u) << name;
  EXPECT_EQ(e[0].content, "MZengine") << name;
  EXPECT_EQ(e[1].info.name, "00001#readme.txt") << name;
  EXPECT_EQ(e[1].content, "stored bytes") << name;
  EXPECT_EQ(e[2].content, Pattern(300000)) << name;
  EXPECT_EQ(e[2].info.dosTime, 42u) << name;
  EXPECT_EQ(e[3].content, Pattern(140000)) << name;
  EXPECT_EQ(e[3].info.dosTime, 0u) << name;
  EXPECT_EQ(e[4].info.name, "empty.txt") << name;
  EXPECT_EQ(e[4].content, "") << name;
  EXPECT_EQ(e[5].info.name, "00001#readme.txt") << name;  // a second piece of the same file
  EXPECT_EQ(e[5].content, " second piece") << name;
  for (const auto& entry : e)
    EXPECT_TRUE(entry.ended && entry.ok) << name << ": " << entry.info.name;
  EXPECT_LE(out.sink.largestChunk, payload::Inflater::kChunkSize) << name;
  EXPECT_EQ(out.walker.Blocks(), 12u) << name;
  EXPECT_EQ(out.walker.Entries(), 10u) << name;
  EXPECT_EQ(out.walker.EngineEntry(), "Engine.exe* /S  ") << name;
}

TEST(EntryWalker, RoundTripOfEveryKindOfEntry) {
  const ImageRecipe recipe = RichRecipe();
  const std::string image = BuildImage(recipe);
  ImageRecipe plainRecipe = recipe;
  plainRecipe.recordRealEnd = false;
  std::string otherSize = image;
  PutU32(otherSize, otherSize.size() - 4, 10);  // the walk ends 74 bytes before the end regardless
  struct Case {
    const char* name;
    std::string image;
  };
  const Case cases[] = {
      {"as built", image},
      {"bytes appended after the real end", image + std::string(1000, '\x03')},
      {"real end 0: read to the physical end", BuildImage(plainRecipe)},
  };
  for (const auto& c : cases) ExpectRichWalk(WalkImage(c.image), c.name);
  // The trailer size field is not consulted for where the entries stop.
  EntryWalker walker;
  RecordingSink sink;
  EXPECT_TRUE(walker.Walk(MemorySource(otherSize), TrailerOf(image), sink)) << walker.Error();
  EXPECT_EQ(sink.entries.size(), 6u);
  // The entries start right after the header blocks.
  const auto out = WalkImage(image);
  const size_t entriesStart =
      recipe.stub.size() + 8 + recipe.blocks[0].size() + recipe.blocks[1].size();
  EXPECT_EQ(out.walker.EntriesStart(), static_cast<int64_t>(entriesStart));
}

TEST(EntryWalker, FromAFileOnDisk) {
  TempDir dir;
  const std::string image = BuildImage(RichRecipe());
  const std::string path = dir.Write("setup.exe", image);
  EntryWalker walker;
  RecordingSink sink;
  Trailer record{};
  payload::ReadTrailer(path, record);
  ExpectRichWalk(WalkOutcome{walker.Walk(payload::FileSource(path), record, sink), sink, walker},
                 "file");
}

TEST(EntryWalker, HeaderBlockCountDecidesWhichRecordsAreSkipped) {
  struct Case {
    uint8_t count;
    size_t blocksInFile;
    size_t entriesSeen;
  };
  for (const Case c : {Case{0, 2, 1}, Case{2, 2, 1}, Case{3, 3, 1}, Case{3, 2, 0}}) {
    ImageRecipe recipe;
    recipe.headerBlocks = c.count;
    if (c.blocksInFile == 3) recipe.blocks.push_back("|http://x|Setup.exe|0|tok|1|");
    recipe.records = {CompressedRecord(Decoded("|a.txt|0|", "a"))};
    const auto out = WalkImage(BuildImage(recipe));
    EXPECT_TRUE(out.ok) << int(c.count) << ": " << out.walker.Error();
    EXPECT_EQ(out.sink.entries.size(), c.entriesSeen) << int(c.count);
    EXPECT_EQ(out.walker.Blocks(), c.blocksInFile + 1) << int(c.count);
  }
}

TEST(EntryWalker, BlockCounterRunsOnAcrossTheFilesOfASpannedSet) {
  ImageRecipe first;
  first.records = {CompressedRecord(Decoded("|Engine.exe*|0|", "e")),
                   StoredRecord(Decoded("|data.bin|0|", "12"))};
  ImageRecipe second;
  second.blocks = {};  // further files hold only entries
  second.records = {CompressedRecord(Decoded("|data.bin|0|", "34")),
                    CompressedRecord(Decoded("|z|0|", "z"))};
  const std::string one = BuildImage(first);
  const std::string two = BuildImage(second);
  EntryWalker walker;
  RecordingSink sink;
  ASSERT_TRUE(walker.Walk(MemorySource(one), TrailerOf(one), sink)) << walker.Error();
  const int64_t start = walker.EntriesStart();
  ASSERT_TRUE(walker.Walk(MemorySource(two), TrailerOf(two), sink)) << walker.Error();
  ASSERT_EQ(sink.entries.size(), 4u);
  EXPECT_EQ(sink.entries[2].info.name, "data.bin");
  EXPECT_EQ(sink.entries[2].content, "34");
  EXPECT_EQ(walker.Blocks(), 6u);
  EXPECT_EQ(walker.Entries(), 4u);
  EXPECT_EQ(walker.EntriesStart(), start);  // only the first file's header blocks count
}

// Damaged files: the walk reports an error and never reads outside the file.
TEST(EntryWalker, DamagedRecordsAreReportedNotIgnored) {
  const std::string engine = CompressedRecord(Decoded("|Engine.exe*|0|", Pattern(200000)));
  std::string flipped = engine;  // late in the deflate data, so the header has been delivered
  flipped[flipped.size() - 20] = static_cast<char>(flipped[flipped.size() - 20] ^ 0x55);
  std::string badAdler = engine;
  badAdler.back() = static_cast<char>(badAdler.back() ^ 1);
  std::string cutStream = engine.substr(0, engine.size() - 10);
  PutU32(cutStream, 0, static_cast<uint32_t>(cutStream.size() - 4));
  struct Case {
    const char* name;
    std::vector<std::string> records;
    std::function<void(std::string&)> damage;
    size_t begun;          // entries that reached the sink
    const char* errorHas;  // part of the walker's error
  };
  const Case cases[] = {
      {"damaged deflate data", {flipped}, nullptr, 1, "damaged zlib stream"},
      {"wrong Adler-32", {badAdler}, nullptr, 1, "damaged zlib stream"},
      {"stream cut short inside its record", {cutStream}, nullptr, 1, "ends early"},
      {"not a zlib stream at all", {U32(5) + "hello"}, nullptr, 0, "damaged zlib stream"},
      {"entry length past the payload end", {U32(0x7FFFFFFF) + "xx"}, nullptr, 0, "runs past"},
      {"stored length of -2^31", {U32(0x80000000u) + "xx"}, nullptr, 0, "runs past"},
      // 9 bytes of its own, the 31 of the record after it, and 10 of the trailer.
      {"entry reaching into the trailer",
       {U32(static_cast<uint32_t>(-50)) + std::string("|a|0|\0abc", 9)},
       nullptr,
       0,
       "runs past"},
      {"header-block length past the end",
       {},
       [](std::string& img) { PutU32(img, 1024, 0xFFFFFF00u); },
       0,
       "runs past"},
      {"start offset negative",
       {},
       [](std::string& img) { PutU32(img, img.size() - kTrailerSize + 4, 0xFFFFFFF0u); },
       0,
       "start offset"},
      {"start offset inside the trailer",
       {},
       [](std::string& img) {
         PutU32(img, img.size() - kTrailerSize + 4, static_cast<uint32_t>(img.size() - 10));
       },
       0,
       "start offset"},
      {"real end beyond the file: the last record is cut",
       {},
       [](std::string& img) { img.resize(img.size() - 80); },
       0,
       "runs past"},
      {"folder part in a name",
       {StoredRecord(Decoded("|..\\evil.exe|0|", "x"))},
       nullptr,
       0,
       "plain file name"},
      {"drive in a name",
       {StoredRecord(Decoded("|C:evil.exe|0|", "x"))},
       nullptr,
       0,
       "plain file name"},
  };
  for (const auto& c : cases) {
    ImageRecipe recipe;
    recipe.records = c.records;
    recipe.records.push_back(StoredRecord(Decoded("|after.txt|0|", "never reached")));
    const std::string good = BuildImage(recipe);
    ASSERT_EQ(recipe.records.back().size(), 31u);
    std::string image = good;
    if (c.damage) c.damage(image);
    // Walk with the trailer as found, or as built when the damage took the trailer away.
    Trailer record = TrailerOf(image);
    if (record.magic != payload::kMagic) record = TrailerOf(good);
    WalkOutcome out{false, {}, {}};
    out.ok = out.walker.Walk(MemorySource(image), record, out.sink);
    EXPECT_FALSE(out.ok) << c.name;
    EXPECT_NE(out.walker.Error().find(c.errorHas), std::string::npos)
        << c.name << ": " << out.walker.Error();
    ASSERT_EQ(out.sink.entries.size(), c.begun) << c.name;
    for (const auto& e : out.sink.entries) {
      EXPECT_TRUE(e.ended) << c.name;
      EXPECT_FALSE(e.ok) << c.name;
      EXPECT_FALSE(e.error.empty()) << c.name;
      EXPECT_LE(e.content.size(), 200000u) << c.name;
    }
  }
}

TEST(EntryWalker, CancelStopsTheWalkAndEndsTheOpenEntry) {
  ImageRecipe recipe;
  recipe.records = {CompressedRecord(Decoded("|big.bin|0|", Pattern(1000000))),
                    StoredRecord(Decoded("|after.txt|0|", "x"))};
  const std::string image = BuildImage(recipe);
  struct Case {
    int pumps;
    size_t begun;
  };
  // Pumps: one per header block, one per record, then one per chunk.
  for (const Case c : {Case{0, 0}, Case{2, 0}, Case{3, 1}, Case{6, 1}}) {
    const auto out = WalkImage(image, c.pumps);
    EXPECT_FALSE(out.ok) << c.pumps;
    EXPECT_TRUE(out.walker.Cancelled()) << c.pumps;
    EXPECT_TRUE(out.walker.Error().empty()) << c.pumps;
    ASSERT_EQ(out.sink.entries.size(), c.begun) << c.pumps;
    if (c.begun) {
      EXPECT_FALSE(out.sink.entries[0].ok);
      EXPECT_EQ(out.sink.entries[0].error, "cancelled");
      EXPECT_LT(out.sink.entries[0].content.size(), 1000000u);
    }
  }
}

TEST(EntryWalker, LargeEntryIsInflatedInBoundedChunks) {
  ImageRecipe recipe;
  const std::string content(20 * 1024 * 1024, 'z');  // compresses about a thousandfold
  recipe.records = {CompressedRecord(Decoded("|zeros.bin|0|", content))};
  const auto out = WalkImage(BuildImage(recipe));
  ASSERT_TRUE(out.ok) << out.walker.Error();
  ASSERT_EQ(out.sink.entries.size(), 1u);
  EXPECT_EQ(out.sink.entries[0].content.size(), content.size());
  EXPECT_LE(out.sink.largestChunk, payload::Inflater::kChunkSize);
}

TEST(EntryHeader, ParseEntryHeader) {
  struct Case {
    const char* header;
    bool names;
    const char* name;
    uint32_t time;
    bool engine;
    const char* extra;
  };
  const Case cases[] = {
      {"|Engine.exe*|1113170880|", true, "Engine.exe", 1113170880u, true, ""},
      {"| Engine.exe * /S  /v\"x\" |0|", true, "Engine.exe", 0, true, "/S  /v\"x\""},
      {"|a.txt|abc|", true, "a.txt", 0, false, ""},
      {"|a.txt|-5|", true, "a.txt", 0, false, ""},
      {"|a.txt|4294967295|", true, "a.txt", 4294967295u, false, ""},
      {"|a.txt|4294967296|", true, "a.txt", 0, false, ""},
      {"|a.txt|", true, "a.txt", 0, false, ""},
      {"|00001#Product.dll|5|", true, "00001#Product.dll", 5, false, ""},
      {"", false, "", 0, false, ""},
      {"|", false, "", 0, false, ""},
      {"|*only args|1|", false, "", 1, true, "only args"},
      {"|a.txt", false, "", 0, false, ""},
  };
  for (const auto& c : cases) {
    EntryInfo info;
    EXPECT_EQ(payload::ParseEntryHeader(c.header, info), c.names) << c.header;
    EXPECT_EQ(info.name, c.name) << c.header;
    EXPECT_EQ(info.dosTime, c.time) << c.header;
    EXPECT_EQ(info.isEngine, c.engine) << c.header;
    EXPECT_EQ(info.extraArgs, c.extra) << c.header;
  }
}

TEST(EntryHeader, IsPlainFileName) {
  struct Case {
    const char* name;
    bool plain;
  };
  const Case cases[] = {
      {"setup.ini", true}, {"00001#a b.txt", true}, {"..", false},  {".", false},   {"", false},
      {"a\\b", false},     {"a/b", false},          {"C:x", false}, {"a?b", false}, {"a\tb", false},
      {"...hidden", true}, {"...", false},          {".. ", false}, {"a.", false},  {" a", true}};
  for (const auto& c : cases) EXPECT_EQ(payload::IsPlainFileName(c.name), c.plain) << c.name;
}

}  // namespace
