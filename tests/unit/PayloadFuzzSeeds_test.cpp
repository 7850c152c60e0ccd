// Seed images for the payload fuzz target: each must be a small, well-formed installer the readers
// accept. With TARVO_WRITE_FUZZ_SEEDS set to a folder (tests/fuzz/corpus/payload) they are written
// there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "PayloadTestImage.h"
#include "payload/EntryReader.h"
#include "payload/TGFileInfo.h"
#include "payload/TrailerReader.h"

namespace {

using namespace payload_test;

class NullSink : public payload::EntrySink {
 public:
  int begun = 0;
  void Begin(const payload::EntryInfo&) override { ++begun; }
  void Data(const char*, size_t) override {}
  void End(bool, const std::string&) override {}
};

struct Seed {
  const char* name;
  std::string image;
  int entriesWritten;
};

std::vector<Seed> Seeds() {
  ImageRecipe installer;
  installer.stub = MakeStub(264);
  installer.headerBlocks = 3;
  installer.blocks.push_back("|http://x/d|Setup.exe|1|" + ScrambleToken("web") + "|4096|");
  installer.blocks[1] = "|http://up|App.info|Agent.exe|" + ScrambleToken("build") + "|0|";
  installer.records = {
      CompressedRecord(Decoded("|Engine.exe* /S|1113170880|", std::string(300, 'E'))),
      StoredRecord(Decoded("|00001#a.txt|0|", "abc")),
      CompressedRecord(Decoded("|00001#a.txt|0|", "def"))};
  installer.filesCount = 3;
  installer.flags = 0x09;

  ImageRecipe agent;
  agent.stub = MakeStub(264);
  agent.bytes66to69[3] = 1;

  ImageRecipe odd;
  odd.stub = MakeStub(264);
  odd.recordRealEnd = false;
  odd.records = {U32(0), CompressedRecord("no zero"), StoredRecord(Decoded("", "headless")),
                 StoredRecord(Decoded("|b|x|", ""))};
  return {{"installer", BuildImage(installer), 3},
          {"agent", BuildImage(agent), 0},
          {"odd-entries", BuildImage(odd), 1}};
}

TEST(PayloadFuzzSeeds, AreSmallWellFormedInstallers) {
  const char* folder = std::getenv("TARVO_WRITE_FUZZ_SEEDS");
  for (const auto& seed : Seeds()) {
    EXPECT_LT(seed.image.size(), 2048u) << seed.name;
    const payload::MemorySource source(seed.image);
    payload::Trailer record{};
    payload::ReadTrailer(source, record);
    EXPECT_EQ(+record.magic, payload::kMagic) << seed.name;
    payload::EntryWalker walker;
    NullSink sink;
    EXPECT_TRUE(walker.Walk(source, record, sink)) << seed.name << ": " << walker.Error();
    EXPECT_EQ(sink.begun, seed.entriesWritten) << seed.name;
    if (folder != nullptr) {
      std::ofstream out(std::filesystem::path(folder) / seed.name, std::ios::binary);
      out.write(seed.image.data(), static_cast<std::streamsize>(seed.image.size()));
    }
  }
}

}  // namespace
