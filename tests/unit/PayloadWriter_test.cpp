// Tests of the payload writer and the token encoder, read back through the reader's own code.
#include "payload/PayloadWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "PayloadTestImage.h"
#include "TempDir.h"
#include "payload/ByteSource.h"
#include "payload/Checksum.h"
#include "payload/EntryReader.h"
#include "payload/Inflater.h"
#include "payload/StubImage.h"
#include "payload/TGFileInfo.h"
#include "payload/Token.h"
#include "payload/TokenScramble.h"
#include "payload/TrailerReader.h"
#include "util/Utils.h"

namespace {

using namespace payload;
using payload_test::TempDir;

// A stub as the real one looks to the builder: "MZ", zeros from 0x40 to 0xFF, "PE\0\0" at 0x100.
std::string FakeStub(size_t size = 2048) {
  std::string stub(size, '\xCC');
  stub[0] = 'M';
  stub[1] = 'Z';
  std::fill(stub.begin() + 0x40, stub.begin() + 0x100, '\0');
  stub.replace(0x100, 4, std::string("PE\0\0", 4));
  return stub;
}

std::string ReadAll(const std::string& path) {
  const FileSource file(path);
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  file.ReadAt(0, bytes.data(), bytes.size());
  return bytes;
}

// Packed trailer fields are copied before gtest binds references to them.
template <typename T>
T Copy(T value) {
  return value;
}

std::string NoisyBytes(size_t size, uint64_t seed) {
  BuildRandom random(seed);
  return random.Bytes(size);
}

std::string Inflate(const std::string& stream) {
  Inflater inflater;
  std::string out;
  const auto status = inflater.Feed(stream.data(), stream.size(), [&](const char* b, size_t n) {
    out.append(b, n);
    return true;
  });
  return status == Inflater::Status::kStreamEnd ? out
                                                : "<inflate failed: " + inflater.Error() + ">";
}

// Collects what the reader's entry walk delivers.
struct CollectSink : EntrySink {
  std::vector<std::pair<EntryInfo, std::string>> entries;
  void Begin(const EntryInfo& entry) override { entries.push_back({entry, ""}); }
  void Data(const char* bytes, size_t size) override { entries.back().second.append(bytes, size); }
  void End(bool ok, const std::string& error) override {
    if (!ok) entries.back().second += "<" + error + ">";
  }
};

TEST(TokenScramble, DescramblesToTheTokenForEverySeed) {
  const std::string tokens[] = {"A", "ACME-WIDGET-1", "0123456789",
                                std::string(kMaxTokenLength, 'z'), "~!@#$%^&*()"};
  for (const std::string& token : tokens) {
    for (uint64_t seed = 0; seed < 40; ++seed) {
      BuildRandom random(seed);
      const std::string stored = ScrambleToken(token, random);
      SCOPED_TRACE("token " + token + ", seed " + std::to_string(seed) + ", stored " + stored);
      EXPECT_EQ(DescrambleToken(stored), token);
      EXPECT_EQ(stored.size() % 2, 0u);
      for (char c : stored) EXPECT_TRUE(c >= 'a' && c <= 'z');
      if (token.size() == 10) {
        EXPECT_GE(stored.size(), 32u);
        EXPECT_LE(stored.size(), 46u);
      }
    }
  }
}

TEST(TokenScramble, ExplicitLayouts) {
  struct Case {
    const char* name;
    TokenScrambleParts parts;
  };
  const Case cases[] = {
      {"no fillers, equal keys (no mask)", {0x41, 0x41, "", ""}},
      {"no prefix, long suffix", {0x00, 0xFF, "", std::string(254, '\x7F')}},
      {"long prefix", {0x12, 0x34, std::string(255, '\0'), "x"}},
      {"fillers holding the separator bytes", {0x80, 0x01, "|\x01\x02", "|"}},
  };
  for (const Case& c : cases) {
    const std::string stored = ScrambleTokenWith("TOKEN", c.parts);
    EXPECT_EQ(DescrambleToken(stored), "TOKEN") << c.name;
    EXPECT_EQ(stored.size(),
              2 * (5 + c.parts.prefixFiller.size() + 5 + c.parts.suffixFiller.size()))
        << c.name;
  }
  EXPECT_EQ(ScrambleTokenWith("T", {1, 2, std::string(256, 'p'), ""}), "")
      << "prefix too long for its byte";
}

TEST(TokenScramble, DamagedTokensDoNotDescramble) {
  BuildRandom random(7);
  const std::string stored = ScrambleToken("ACME-WIDGET-1", random);
  std::string tampered = stored;
  tampered[7] = tampered[7] == 'b' ? 'c' : 'b';  // one hex digit of a masked byte
  EXPECT_NE(DescrambleToken(tampered), "ACME-WIDGET-1");
  EXPECT_NE(DescrambleToken(stored.substr(0, stored.size() - 2)), "ACME-WIDGET-1")
      << "key byte cut off";
}

TEST(TokenScramble, CheckPlainToken) {
  EXPECT_EQ(CheckPlainToken("ACME-1"), "");
  EXPECT_NE(CheckPlainToken(""), "");
  EXPECT_NE(CheckPlainToken("two words"), "");
  EXPECT_NE(CheckPlainToken("tab\there"), "");
  EXPECT_NE(CheckPlainToken(std::string(kMaxTokenLength + 1, 'x')), "");
}

TEST(TokenScramble, ScrambledTextDecodesWithTheAgentsDecoder) {
  const std::string texts[] = {"|token|a|b|Line one|Line two", std::string("bin\0ary\xff", 8), "x"};
  for (const std::string& text : texts) {
    for (uint8_t key : {uint8_t{33}, uint8_t{77}, uint8_t{122}}) {
      const std::string plain = ScrambleTextWithKey(text, key, false);
      EXPECT_EQ(plain.substr(0, 12), "Scrambled=01");
      EXPECT_EQ(plain[12], static_cast<char>(key));
      EXPECT_EQ(Scramble(plain, false, false), text) << "key " << int{key};
      EXPECT_EQ(Scramble(ScrambleTextWithKey(text, key, true), false, true), text)
          << "hex, key " << int{key};
    }
  }
}

TEST(PayloadWriter, DosDateTimes) {
  struct Case {
    const char* name;
    CalendarTime in;
    const char* shown;
  };
  const Case cases[] = {
      {"ordinary", {2005, 4, 6, 18, 8, 0}, "2005-04-06 18:08:00"},
      {"odd seconds are halved down", {2024, 2, 29, 23, 59, 59}, "2024-02-29 23:59:58"},
      {"before 1980 becomes its first moment", {1970, 1, 1, 0, 0, 0}, "1980-01-01 00:00:00"},
      {"after 2107 becomes its last moment", {2200, 6, 1, 12, 0, 0}, "2107-12-31 23:59:58"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDosDateTime(PackDosDateTime(c.in)), c.shown) << c.name;
  // The engine example of the format: |Engine.exe*|1113170880|.
  EXPECT_EQ(FormatDosDateTime(1113170880u), "2013-02-25 20:30:00");
  EXPECT_EQ(PackDosDateTime({2013, 2, 25, 20, 30, 0}), 1113170880u);
  CalendarTime t;
  EXPECT_FALSE(UnpackDosDateTime(0, t)) << "month 0";
  EXPECT_EQ(FormatDosDateTime(0), "-");
}

TEST(PayloadWriter, HeaderBlocks) {
  std::string error;
  const std::string lang = BuildLanguageBlock(
      {{"English", {{"s1", "Extracting Files..."}, {"BtnText", "|&OK|&Cancel|"}}}, {"Spanish", {}}},
      error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(lang,
            "\x02\x01"
            "English\x01s1=Extracting Files...\x01"
            "BtnText=|&OK|&Cancel|\x01\x02\x01"
            "Spanish\x01\x02");
  EXPECT_EQ(BuildLanguageBlock({}, error), "\x02");

  struct Refused {
    const char* name;
    LanguageSection section;
  };
  const Refused refused[] = {
      {"value with byte 1", {"English", {{"s1", "a\x01z"}}}},
      {"value with byte 2", {"English", {{"s1", "a\x02z"}}}},
      {"key with =", {"English", {{"s=1", "x"}}}},
      {"empty key", {"English", {{"", "x"}}}},
      {"empty language name", {"", {}}},
      {"language name with byte 2", {"Eng\x02", {}}},
  };
  for (const Refused& r : refused) {
    EXPECT_EQ(BuildLanguageBlock({r.section}, error), "") << r.name;
    EXPECT_NE(error, "") << r.name;
  }

  ParameterFields fields;
  fields.scrambledToken = "bbcc";
  EXPECT_EQ(BuildParameterBlock(fields, error), "|http:|.info|.exe|bbcc|0|") << "fixed fragments";
  fields.updateServer = "http://u|pdates";
  EXPECT_EQ(BuildParameterBlock(fields, error), "");
  EXPECT_NE(error.find("update server"), std::string::npos) << error;

  WebFields web{"http://host/dl", "Setup.exe", true, "bbcc", "1234"};
  EXPECT_EQ(BuildWebBlock(web, error), "|http://host/dl|Setup.exe|1|bbcc|1234|");
}

TEST(PayloadWriter, EntryNames) {
  const char* good[] = {"Engine.exe", "00001#read me.txt", "a.b.c", "x"};
  for (const char* name : good) EXPECT_EQ(CheckEntryName(name), "") << name;
  const char* bad[] = {"",      ".",  "..",  "dir\\file", "dir/file",  "c:file", "star*",
                       "pi|pe", "q?", "lt<", "tab\t",     "trailing.", " lead",  "trail "};
  for (const char* name : bad) EXPECT_NE(CheckEntryName(name), "") << name;
  EXPECT_EQ(EntryHeader("Engine.exe* /Q", 1113170880u), "|Engine.exe* /Q|1113170880|");
}

TEST(PayloadWriter, EntryRecords) {
  const std::string text = "|readme.txt|0|" + std::string(1, '\0') + std::string(5000, 'a');
  const std::string noise = "|noise.bin|0|" + std::string(1, '\0') + NoisyBytes(5000, 3);
  struct Case {
    const char* name;
    std::string decoded;
    int level;
    bool compressed;
  };
  const Case cases[] = {
      {"compressible, level 9", text, 9, true},
      {"compressible, level 1", text, 1, true},
      {"compressible, level 6", text, 6, true},
      {"level 0 stores", text, 0, false},
      {"noise is stored, not enlarged", noise, 9, false},
      {"header only", "|empty.dat|0|" + std::string(1, '\0'), 9, false},
  };
  for (const Case& c : cases) {
    std::string record;
    ASSERT_TRUE(EncodeEntryRecord(c.decoded, c.level, record)) << c.name;
    int32_t length = 0;
    std::memcpy(&length, record.data(), 4);
    const std::string body = record.substr(4);
    EXPECT_EQ(length > 0, c.compressed) << c.name;
    if (length > 0) {
      EXPECT_EQ(static_cast<size_t>(length), body.size()) << c.name;
      EXPECT_EQ(body.substr(0, 2), "\x78\x01")
          << c.name << ": the format's zlib header at every level";
      EXPECT_EQ(Inflate(body), c.decoded) << c.name;
      EXPECT_LT(body.size(), c.decoded.size()) << c.name;
    } else {
      EXPECT_EQ(static_cast<size_t>(-static_cast<int64_t>(length)), body.size()) << c.name;
      EXPECT_EQ(body, c.decoded) << c.name;
    }
  }
}

TEST(PayloadWriter, RequiredSpace) {
  struct Case {
    const char* name;
    std::vector<uint64_t> sizes;
    uint64_t extra;
    RequiredSpace expected;
  };
  const uint32_t kMax = 0xFFFFFFFF;
  const Case cases[] = {
      {"nothing", {}, 0, {}},
      {"one empty file takes no cluster", {0}, 0, {}},
      {"one byte takes one cluster of each size",
       {1},
       0,
       {1, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536}},
      {"files are rounded one by one",
       {513, 1},
       0,
       {514, 1536, 2048, 4096, 8192, 16384, 32768, 65536, 131072}},
      {"extra bytes count like a file",
       {4096},
       100,
       {4196, 4608, 5120, 6144, 8192, 16384, 32768, 65536, 131072}},
      {"sums beyond 32 bits stay at the maximum",
       {3000000000ull, 3000000000ull},
       0,
       {kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax, kMax}},
  };
  for (const Case& c : cases) {
    const RequiredSpace space = ComputeRequiredSpace(c.sizes, c.extra);
    EXPECT_EQ(space, c.expected) << c.name;
    for (size_t i = 1; i < space.size(); ++i)
      EXPECT_GE(space[i], space[i - 1]) << c.name << ", element " << i;
  }
}

TEST(PayloadWriter, StubChecks) {
  struct Case {
    const char* name;
    std::string stub;
    bool accepted;
  };
  std::string noMz = FakeStub();
  noMz[0] = 'X';
  std::string peElsewhere = FakeStub();
  peElsewhere.replace(0x100, 4, std::string(4, '\0'));
  peElsewhere.replace(0x80, 4, std::string("PE\0\0", 4));
  std::string buildBytesSet = FakeStub();
  buildBytesSet[0x90] = 1;
  std::string realEndSet = FakeStub();
  realEndSet[0xFC] = 1;
  const Case cases[] = {
      {"the real stub's layout", FakeStub(), true},
      {"no MZ", noMz, false},
      {"PE signature not at 0x100", peElsewhere, false},
      {"per-build bytes not zero", buildBytesSet, false},
      {"real end already set (an installer)", realEndSet, false},
      {"too short", FakeStub().substr(0, 0x102), false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckStubImage(c.stub).empty(), c.accepted) << c.name;
}

class WrittenFile : public ::testing::Test {
 protected:
  ContainerPlan SamplePlan() {
    ContainerPlan plan;
    plan.stub = FakeStub();
    std::string error;
    plan.blocks = {
        BuildLanguageBlock({{"English", {{"s1", "Unpacking"}}}}, error),
        BuildParameterBlock({"http://u", "App.info", "AppAgent.exe", "bbcc", true}, error)};
    const std::string piecePath =
        dir_.Write("big.bin", NoisyBytes(10000, 5) + std::string(20000, 'q'));
    plan.entries.push_back(MemoryJob("|Engine.exe* /Q|1113170880|", std::string(3000, 'e')));
    plan.entries.push_back(PieceJob("|00001#big.bin|1113170880|", piecePath, 0, 12000));
    plan.entries.push_back(PieceJob("|00001#big.bin|1113170880|", piecePath, 12000, 18000));
    plan.entries.push_back(MemoryJob("|00002#empty.dat|0|", ""));
    plan.trailer.flags = kFlagActivityBar | kFlagTempNotice;
    plan.trailer.requiredSpace[0] = 33000;
    for (size_t i = 0; i < plan.buildBytes.size(); ++i)
      plan.buildBytes[i] = static_cast<uint8_t>(i + 1);
    return plan;
  }

  static EntryJob MemoryJob(const std::string& header, const std::string& content) {
    EntryJob job;
    job.header = header;
    job.bytes = content;
    return job;
  }
  static EntryJob PieceJob(const std::string& header, const std::string& path, uint64_t offset,
                           uint64_t length) {
    EntryJob job;
    job.kind = EntryJob::Kind::FilePiece;
    job.header = header;
    job.sourcePath = path;
    job.offset = offset;
    job.length = length;
    return job;
  }

  TempDir dir_;
};

TEST_F(WrittenFile, ReadsBackThroughTheReader) {
  const ContainerPlan plan = SamplePlan();
  const std::string path = dir_.File("Setup.exe");
  ContainerStats stats;
  std::string error;
  ASSERT_TRUE(WriteContainer(path, plan, {}, stats, error)) << error;
  const std::string image = ReadAll(path);
  EXPECT_EQ(stats.fileSize, image.size());
  EXPECT_EQ(stats.entries, 4u);
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));

  // Stub header: the length at 0xFC, 0 at 0xF8, the per-build bytes at 0x90.
  EXPECT_EQ(RealEndOfImage(image), static_cast<int64_t>(image.size()));
  EXPECT_EQ(image.substr(0xF8, 4), std::string(4, '\0'));
  EXPECT_EQ(static_cast<uint8_t>(image[0x90]), 1);
  EXPECT_EQ(static_cast<uint8_t>(image[0xCF]), 64);
  EXPECT_EQ(image.substr(0, 0x90), plan.stub.substr(0, 0x90));

  Trailer trailer{};
  ReadTrailer(path, trailer);
  EXPECT_EQ(Copy(trailer.magic), kMagic);
  EXPECT_EQ(trailer.format, 1);
  EXPECT_EQ(trailer.headerBlocks, 2);
  EXPECT_EQ(Copy(trailer.startOffset), static_cast<int32_t>(plan.stub.size()));
  EXPECT_EQ(Copy(trailer.filesCount), 4u);
  EXPECT_EQ(Copy(trailer.trailerSize), kTrailerSize);
  EXPECT_EQ(trailer.flags, kFlagActivityBar | kFlagTempNotice);
  EXPECT_EQ(Copy(trailer.requiredSpace[0]), 33000u);
  EXPECT_EQ(Copy(trailer.checksum), stats.checksum);
  EXPECT_EQ(FileChecksum(path, kTrailerSize), Copy(trailer.checksum));
  EXPECT_NE(Copy(trailer.checksum), kChecksumDisabled);

  const TGFileInfo info(path);
  EXPECT_EQ(info.GetUpdateServer(), "http://u");
  EXPECT_EQ(info.GetAgentFileName(), "AppAgent.exe");
  EXPECT_TRUE(info.IsHidden());
  EXPECT_TRUE(info.ShowActivityBar());
  EXPECT_EQ(info.LanguageBlock(), plan.blocks[0]);

  CollectSink sink;
  EntryWalker walker;
  ASSERT_TRUE(walker.Walk(FileSource(path), trailer, sink)) << walker.Error();
  ASSERT_EQ(sink.entries.size(), 4u);
  EXPECT_TRUE(sink.entries[0].first.isEngine);
  EXPECT_EQ(sink.entries[0].first.extraArgs, "/Q");
  EXPECT_EQ(sink.entries[0].second, std::string(3000, 'e'));
  EXPECT_EQ(sink.entries[1].second + sink.entries[2].second, ReadAll(dir_.File("big.bin")));
  EXPECT_EQ(sink.entries[2].first.dosTime, 1113170880u);
  EXPECT_EQ(sink.entries[3].first.name, "00002#empty.dat");
  EXPECT_EQ(sink.entries[3].second, "");

  // Bytes appended after the recorded end change nothing the stub reads.
  dir_.Write("Longer.exe", image + std::string(5000, 'x'));
  Trailer again{};
  ReadTrailer(dir_.File("Longer.exe"), again);
  EXPECT_EQ(std::memcmp(&again, &trailer, sizeof trailer), 0);
  EXPECT_EQ(FileChecksum(dir_.File("Longer.exe"), kTrailerSize), Copy(trailer.checksum));
}

TEST_F(WrittenFile, SameBytesWhateverTheThreadCount) {
  ContainerPlan plan = SamplePlan();
  for (int i = 0; i < 40; ++i)
    plan.entries.push_back(MemoryJob("|00003#f" + std::to_string(i) + "|0|",
                                     NoisyBytes(100 + i * 97, i) + std::string(i * 300, 'z')));
  std::string first;
  for (unsigned threads : {1u, 2u, 4u, 7u}) {
    plan.threads = threads;
    const std::string path = dir_.File("t" + std::to_string(threads) + ".exe");
    ContainerStats stats;
    std::string error;
    std::vector<uint32_t> progress;
    ASSERT_TRUE(WriteContainer(
        path, plan, [&](uint32_t done, uint32_t, uint64_t) { progress.push_back(done); }, stats,
        error))
        << error;
    const std::string image = ReadAll(path);
    if (first.empty()) first = image;
    EXPECT_EQ(image, first) << threads << " threads";
    ASSERT_EQ(progress.size(), plan.entries.size()) << threads << " threads";
    for (size_t i = 0; i < progress.size(); ++i)
      EXPECT_EQ(progress[i], i + 1) << "progress in entry order";
  }
}

TEST_F(WrittenFile, ChecksumSwitchedOffAndHeadlessFiles) {
  ContainerPlan plan = SamplePlan();
  plan.checksum = false;
  ContainerStats stats;
  std::string error;
  ASSERT_TRUE(WriteContainer(dir_.File("a.exe"), plan, {}, stats, error)) << error;
  Trailer trailer{};
  ReadTrailer(dir_.File("a.exe"), trailer);
  EXPECT_EQ(Copy(trailer.checksum), kChecksumDisabled);

  // A further disk of a spanned set: no stub, no blocks; found from the physical end.
  plan.stub.clear();
  plan.blocks.clear();
  plan.checksum = true;
  plan.trailer.headerBlocks = 3;
  ASSERT_TRUE(WriteContainer(dir_.File("a.exe.002"), plan, {}, stats, error)) << error;
  ReadTrailer(dir_.File("a.exe.002"), trailer);
  EXPECT_EQ(Copy(trailer.startOffset), 0);
  EXPECT_EQ(trailer.headerBlocks, 3);
  EXPECT_EQ(FileChecksum(dir_.File("a.exe.002"), kTrailerSize), Copy(trailer.checksum));
}

TEST_F(WrittenFile, FailuresLeaveNoFileBehind) {
  struct Case {
    const char* name;
    std::function<void(ContainerPlan&)> spoil;
    const char* message;
  };
  const Case cases[] = {
      {"missing source file",
       [&](ContainerPlan& p) {
         p.entries.push_back(PieceJob("|x|0|", dir_.File("gone.bin"), 0, 10));
       },
       "gone.bin"},
      {"source shorter than its piece",
       [&](ContainerPlan& p) {
         p.entries.push_back(PieceJob("|x|0|", dir_.File("big.bin"), 29000, 2000));
       },
       "shorter"},
      {"stub without the PE signature at 0x100", [](ContainerPlan& p) { p.stub[0x100] = 'X'; },
       "0x100"},
  };
  for (const Case& c : cases) {
    ContainerPlan plan = SamplePlan();
    plan.threads = 3;
    c.spoil(plan);
    const std::string path = dir_.File("bad.exe");
    ContainerStats stats;
    std::string error;
    EXPECT_FALSE(WriteContainer(path, plan, {}, stats, error)) << c.name;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    EXPECT_FALSE(std::filesystem::exists(path)) << c.name;
    EXPECT_FALSE(std::filesystem::exists(path + ".part")) << c.name;
  }
}

}  // namespace
