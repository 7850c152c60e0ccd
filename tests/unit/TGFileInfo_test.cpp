// Tests of the own-file reader: trailer location, header blocks and the answers drawn from them.
#include "payload/TGFileInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "PayloadTestImage.h"
#include "TempDir.h"
#include "payload/Checksum.h"
#include "payload/ClusterSize.h"
#include "payload/StubImage.h"
#include "payload/TrailerReader.h"
#include "ui/LangStrings.h"

namespace {

using payload::kTrailerSize;
using payload::MemorySource;
using payload::Trailer;
using namespace payload_test;

const std::string kLang =
    "\x02\x01"
    "English\x01s1=Extracting Files...\x01"
    "FontSize=9\x01\x02";

ImageRecipe FullRecipe() {
  ImageRecipe recipe;
  recipe.blocks = {kLang,
                   "|https://up.example|Foo.Bar.info|Agent.exe|" + ScrambleToken("build-7") + "|1|",
                   "|http://dl.example/x|Setup.exe|1|" + ScrambleToken("web-42") + "|123456|"};
  recipe.headerBlocks = 3;
  recipe.records = {CompressedRecord(Decoded("|Engine.exe*|0|", "engine")),
                    StoredRecord(Decoded("|a|0|", "a"))};
  recipe.filesCount = 2;
  for (int i = 0; i < 9; ++i) recipe.requiredSpace[i] = 1000u + 100u * static_cast<uint32_t>(i);
  recipe.flags = 0x1f;
  recipe.bytes66to69[0] = recipe.bytes66to69[1] = recipe.bytes66to69[2] = recipe.bytes66to69[3] = 1;
  return recipe;
}

std::string TrailerBytes(const TGFileInfo& info) {
  return std::string(reinterpret_cast<const char*>(&info.Record()), sizeof(Trailer));
}

void ExpectSameReading(const TGFileInfo& a, const TGFileInfo& b, const std::string& name) {
  EXPECT_EQ(TrailerBytes(a), TrailerBytes(b)) << name;
  EXPECT_EQ(a.LanguageBlock(), b.LanguageBlock()) << name;
  EXPECT_EQ(a.ParameterBlock(), b.ParameterBlock()) << name;
  EXPECT_EQ(a.WebBlock(), b.WebBlock()) << name;
}

TEST(TGFileInfo, RoundTripOfAFullImage) {
  const ImageRecipe recipe = FullRecipe();
  const std::string image = BuildImage(recipe);
  const TGFileInfo info{MemorySource(image)};
  EXPECT_EQ(info.LanguageBlock(), recipe.blocks[0]);
  EXPECT_EQ(info.ParameterBlock(), recipe.blocks[1]);
  EXPECT_EQ(info.WebBlock(), recipe.blocks[2]);
  EXPECT_EQ(info.FilesCount(), 2u);
  EXPECT_EQ(uint32_t{info.Record().trailerSize}, kTrailerSize);
  EXPECT_EQ(+info.Record().magic, payload::kMagic);
  // The start offset now points at the first entry.
  const size_t entries = recipe.stub.size() + 12 + recipe.blocks[0].size() +
                         recipe.blocks[1].size() + recipe.blocks[2].size();
  EXPECT_EQ(+info.Record().startOffset, static_cast<int32_t>(entries));
  EXPECT_EQ(info.GetUpdateServer(), "https://up.example");
  EXPECT_EQ(info.GetInfoFileName(), "Foo.Bar.info");
  EXPECT_EQ(info.GetOriginalFileName(), "Foo.original");
  EXPECT_EQ(info.GetAgentFileName(), "Agent.exe");
  EXPECT_EQ(info.GetBuildToken(false), ScrambleToken("build-7"));
  EXPECT_EQ(info.GetBuildToken(true), "build-7");
  EXPECT_TRUE(info.IsHidden());
  EXPECT_EQ(info.GetWebAddress(), "http://dl.example/x");
  EXPECT_EQ(info.GetWebFileName(), "Setup.exe");
  EXPECT_TRUE(info.IsWebAlwaysDownload());
  EXPECT_EQ(info.GetWebToken(true), "web-42");
  EXPECT_EQ(info.GetWebFileSize(), "123456");
  EXPECT_EQ(payload::ChecksumOfImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(),
                                     info.Record().trailerSize),
            +info.Record().checksum);
}

TEST(TGFileInfo, TrailerBitsAndBytes) {
  struct Case {
    const char* name;
    uint8_t flags;
    int byteIndex;  // 66..69 set to 1, or 0 for none
    std::function<bool(const TGFileInfo&)> answer;
  };
  const Case cases[] = {
      {"ShowTempNotice", 0x01, 0, [](const TGFileInfo& i) { return i.ShowTempNotice(); }},
      {"HasNextDisk", 0x02, 0, [](const TGFileInfo& i) { return i.HasNextDisk(); }},
      {"IsSpanFirstLevel", 0x04, 0, [](const TGFileInfo& i) { return i.IsSpanFirstLevel(); }},
      {"ShowActivityBar", 0x08, 0, [](const TGFileInfo& i) { return i.ShowActivityBar(); }},
      {"IsLogEnabled", 0x10, 0, [](const TGFileInfo& i) { return i.IsLogEnabled(); }},
      {"IsWebInstaller", 0, 66, [](const TGFileInfo& i) { return i.IsWebInstaller(); }},
      {"AskBeforeDownload", 0, 67, [](const TGFileInfo& i) { return i.AskBeforeDownload(); }},
      {"MakesAgent", 0, 68, [](const TGFileInfo& i) { return i.MakesAgent(); }},
      {"IsAgent", 0, 69, [](const TGFileInfo& i) { return i.IsAgent(); }},
  };
  for (const auto& c : cases) {
    ImageRecipe on;
    on.flags = c.flags;
    if (c.byteIndex) on.bytes66to69[c.byteIndex - 66] = 0xff;
    EXPECT_TRUE(c.answer(TGFileInfo{MemorySource(BuildImage(on))})) << c.name;
    ImageRecipe off;  // every other bit and byte set
    off.flags = static_cast<uint8_t>(0xff & ~c.flags);
    for (int b = 66; b <= 69; ++b) off.bytes66to69[b - 66] = b == c.byteIndex ? 0 : 1;
    EXPECT_FALSE(c.answer(TGFileInfo{MemorySource(BuildImage(off))})) << c.name;
  }
}

TEST(TGFileInfo, ReadsLikeTheImageItCameFrom) {
  const std::string image = BuildImage(FullRecipe());
  const TGFileInfo reference{MemorySource(image)};
  ImageRecipe noRealEnd = FullRecipe();
  noRealEnd.recordRealEnd = false;
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    bool fromDisk;
  };
  const Case cases[] = {
      {"same bytes from a file", image, true},
      {"bytes appended after the real end", image + std::string(5000, '\x4a'), false},
      {"bytes appended, from a file", image + std::string(5000, '\x4a'), true},
  };
  for (const auto& c : cases) {
    if (c.fromDisk) {
      ExpectSameReading(TGFileInfo(dir.Write("x.exe", c.bytes)), reference, c.name);
    } else {
      ExpectSameReading(TGFileInfo{MemorySource(c.bytes)}, reference, c.name);
    }
  }
  // Without a recorded real end the trailer is found at the physical end, so the same file reads
  // identically as long as nothing is appended.
  const std::string plain = BuildImage(noRealEnd);
  const TGFileInfo fromPlain{MemorySource(plain)};
  EXPECT_EQ(fromPlain.LanguageBlock(), reference.LanguageBlock());
  EXPECT_EQ(fromPlain.WebBlock(), reference.WebBlock());
  EXPECT_EQ(TGFileInfo{MemorySource(plain + std::string(80, '\0'))}.Record().magic + 0, 0u);
}

TEST(TGFileInfo, MissingFileGivesAnEmptyInstance) {
  TempDir dir;
  const TGFileInfo info(dir.File("none.exe"));
  EXPECT_EQ(TrailerBytes(info), std::string(sizeof(Trailer), '\0'));
  EXPECT_EQ(info.ParameterBlock(), "");
  EXPECT_FALSE(info.ShowTempNotice());
  EXPECT_EQ(info.GetUpdateServer(), "");
  EXPECT_EQ(info.RequiredSpaceForCluster(4096), 0.0);
  EXPECT_EQ(TGFileInfo(dir.File("")).LanguageBlock(), "");  // a folder is not an installer
}

TEST(TGFileInfo, WrongMagicKeepsTheTrailerButReadsNoBlocks) {
  ImageRecipe recipe = FullRecipe();
  recipe.magic = 0x4A3B2C1E;
  const TGFileInfo info{MemorySource(BuildImage(recipe))};
  EXPECT_TRUE(info.IsAgent());
  EXPECT_TRUE(info.HasNextDisk());
  EXPECT_EQ(info.FilesCount(), 2u);
  EXPECT_EQ(info.LanguageBlock(), "");
  EXPECT_EQ(info.ParameterBlock(), "");
  EXPECT_EQ(info.WebBlock(), "");
}

TEST(TGFileInfo, HeaderBlockCountDecidesTheWebBlock) {
  struct Case {
    uint8_t count;
    uint8_t recordedCount;
    bool web;
  };
  for (const Case c : {Case{0, 2, false}, Case{2, 2, false}, Case{3, 3, true}, Case{7, 7, true}}) {
    ImageRecipe recipe = FullRecipe();
    recipe.headerBlocks = c.count;
    const TGFileInfo info{MemorySource(BuildImage(recipe))};
    EXPECT_EQ(info.Record().headerBlocks, c.recordedCount) << int(c.count);
    EXPECT_EQ(info.WebBlock(), c.web ? recipe.blocks[2] : "") << int(c.count);
  }
}

// Lengths and offsets that point outside the file: blocks keep what is there, nothing else is read.
TEST(TGFileInfo, LengthsPointingOutsideTheFile) {
  const ImageRecipe recipe = FullRecipe();
  const std::string good = BuildImage(recipe);
  const size_t start = recipe.stub.size();
  const size_t trailerAt = good.size() - kTrailerSize;
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    std::function<void(const TGFileInfo&, const std::string&)> check;
  };
  const Case cases[] = {
      {"language block longer than the file",
       [&](std::string& img) { PutU32(img, start, 0xFFFFFFF0u); },
       [&](const TGFileInfo& i, const std::string& img) {
         EXPECT_EQ(i.LanguageBlock(), img.substr(start + 4));
         EXPECT_EQ(i.ParameterBlock(), "");
         EXPECT_EQ(+i.Record().startOffset, static_cast<int32_t>(img.size()));
       }},
      {"start offset beyond the file",
       [&](std::string& img) { PutU32(img, trailerAt + 4, 0x7FFFFFF0u); },
       [&](const TGFileInfo& i, const std::string&) {
         EXPECT_EQ(i.LanguageBlock(), "");
         EXPECT_TRUE(i.IsAgent());
       }},
      {"negative start offset", [&](std::string& img) { PutU32(img, trailerAt + 4, 0xFFFFFF00u); },
       [&](const TGFileInfo& i, const std::string&) { EXPECT_EQ(i.LanguageBlock(), ""); }},
      {"web block cut short by the trailer's end",
       [&](std::string& img) {
         const size_t web = start + 8 + recipe.blocks[0].size() + recipe.blocks[1].size();
         PutU32(img, web, 1000000);
       },
       [&](const TGFileInfo& i, const std::string& img) {
         const size_t web = start + 12 + recipe.blocks[0].size() + recipe.blocks[1].size();
         EXPECT_EQ(i.WebBlock(), img.substr(web));
       }},
  };
  for (const auto& c : cases) {
    std::string image = good;
    c.damage(image);
    c.check(TGFileInfo{MemorySource(image)}, image);
  }
}

TEST(ReadTrailer, TrailerSizeAndRealEndDecideWhatIsRead) {
  const std::string good = BuildImage(FullRecipe());
  Trailer reference{};
  payload::ReadTrailer(MemorySource(good), reference);
  const size_t sizeAt = good.size() - 4;
  struct Case {
    const char* name;
    std::function<void(std::string&)> change;
    uint32_t trailerSize;
    size_t bytesKept;  // leading record bytes equal to the reference (from the same place)
    bool zero;         // everything before the size field is zero
  };
  const Case cases[] = {
      {"as built", [](std::string&) {}, kTrailerSize, 70, false},
      {"size larger than 74 reads 70 bytes from further back",
       [&](std::string& img) { PutU32(img, sizeAt, 80); }, kTrailerSize, 0, false},
      {"size 10 reads 6 bytes", [&](std::string& img) { PutU32(img, sizeAt, 10); }, 10, 0, false},
      {"size 4 reads nothing", [&](std::string& img) { PutU32(img, sizeAt, 4); }, 4, 0, true},
      {"size 2 reads nothing", [&](std::string& img) { PutU32(img, sizeAt, 2); }, 2, 0, true},
      {"size beyond the file start", [&](std::string& img) { PutU32(img, sizeAt, 0xFFFFFFFFu); },
       74, 0, true},
      {"real end beyond the file",
       [&](std::string& img) {
         PutU32(img, payload::kRealEndLowOffset, static_cast<uint32_t>(img.size() + 100));
       },
       0, 0, true},
      {"real end's high half makes it negative: physical end",
       [&](std::string& img) { PutU32(img, payload::kRealEndHighOffset, 0x80000000u); },
       kTrailerSize, 70, false},
      {"real end's high half makes it huge",
       [&](std::string& img) { PutU32(img, payload::kRealEndHighOffset, 1); }, 0, 0, true},
      {"not a stub image: physical end",
       [&](std::string& img) {
         img[0] = 'X';
         img += std::string(200, '\0');
       },
       0, 0, true},
  };
  for (const auto& c : cases) {
    std::string image = good;
    c.change(image);
    Trailer record{};
    std::memset(&record, 0xAB, sizeof record);  // stale bytes must not survive
    payload::ReadTrailer(MemorySource(image), record);
    EXPECT_EQ(uint32_t{record.trailerSize}, c.trailerSize) << c.name;
    EXPECT_EQ(std::memcmp(&record, &reference, c.bytesKept), 0) << c.name;
    if (c.zero) {
      Trailer zero{};
      zero.headerBlocks = 2;
      EXPECT_EQ(std::memcmp(&record, &zero, 70), 0) << c.name;
    }
  }
}

TEST(ReadTrailer, FromAFileByName) {
  TempDir dir;
  const std::string image = BuildImage(FullRecipe());
  Trailer fromFile{}, fromMemory{};
  payload::ReadTrailer(dir.Write("t.exe", image), fromFile);
  payload::ReadTrailer(MemorySource(image), fromMemory);
  EXPECT_EQ(std::memcmp(&fromFile, &fromMemory, sizeof(Trailer)), 0);
  Trailer missing{};
  payload::ReadTrailer(dir.File("missing.exe"), missing);
  EXPECT_EQ(+missing.magic, 0u);
  EXPECT_EQ(missing.headerBlocks, 2);
}

TEST(StubImage, RecognitionAndRealEnd) {
  std::string stub = MakeStub(300);
  PutU32(stub, payload::kRealEndLowOffset, 0x12345678u);
  PutU32(stub, payload::kRealEndHighOffset, 0x2u);
  struct Case {
    const char* name;
    std::string bytes;
    bool isStub;
    int64_t realEnd;
  };
  std::string noPe = stub;
  noPe[0x101] = 'X';
  const Case cases[] = {
      {"stub with both halves", stub, true, 0x212345678LL},
      {"PE missing", noPe, false, 0x212345678LL},
      {"cut before PE", stub.substr(0, 0x101), false, 0x212345678LL},
      {"cut inside the real end", stub.substr(0, 0xFE), false, 0},
      {"empty", "", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(payload::IsStubImage(MemorySource(c.bytes)), c.isStub) << c.name;
    EXPECT_EQ(payload::ReadRealEnd(MemorySource(c.bytes)), c.realEnd) << c.name;
    EXPECT_EQ(payload::RealEndOfImage(c.bytes), c.realEnd) << c.name;
  }
  TempDir dir;
  EXPECT_TRUE(payload::IsStubImage(dir.Write("s.exe", stub)));
  EXPECT_EQ(payload::ReadRealEnd(dir.File("s.exe")), 0x212345678LL);
  EXPECT_FALSE(payload::IsStubImage(dir.File("missing")));
}

TEST(TGFileInfo, RequiredSpaceElementForClusterSize) {
  ImageRecipe recipe;
  for (int i = 0; i < 9; ++i) recipe.requiredSpace[i] = 10u * static_cast<uint32_t>(i) + 1u;
  recipe.requiredSpace[8] = 0xFFFFFFFFu;  // unsigned 32-bit
  const TGFileInfo info{MemorySource(BuildImage(recipe))};
  struct Case {
    uint32_t cluster;
    double expected;
  };
  const Case cases[] = {{0, 1},
                        {511, 1},
                        {512, 11},
                        {1023, 11},
                        {1024, 21},
                        {4096, 41},
                        {8192, 51},
                        {32768, 71},
                        {65536, 4294967295.0},
                        {131072, 4294967295.0}};
  for (const auto& c : cases)
    EXPECT_EQ(info.RequiredSpaceForCluster(c.cluster), c.expected) << c.cluster;
  TempDir dir;
  EXPECT_EQ(info.GetRequiredSpace(dir.File("")),
            info.RequiredSpaceForCluster(payload::GetClusterSize(dir.File(""))));
  EXPECT_EQ(info.GetRequiredSpace(dir.File("no/such/folder")), 1.0);
}

TEST(TGFileInfo, ParameterFieldsAsText) {
  struct Case {
    const char* name;
    std::string params;
    std::string info, original;
    bool hidden;
  };
  const Case cases[] = {
      {"two dots", "|a|Foo.Bar.info|c|t|1|", "Foo.Bar.info", "Foo.original", true},
      {"with folders", "|a|C:\\x\\y\\App.info|c|t|0|", "App.info", "App.original", false},
      {"no dot", "|a|Plain|c|t|1 |", "Plain", "Plain.original", false},
      {"fields missing", "|a|", "", ".original", false},
  };
  for (const auto& c : cases) {
    ImageRecipe recipe;
    recipe.blocks[1] = c.params;
    const TGFileInfo info{MemorySource(BuildImage(recipe))};
    EXPECT_EQ(info.GetInfoFileName(), c.info) << c.name;
    EXPECT_EQ(info.GetOriginalFileName(), c.original) << c.name;
    EXPECT_EQ(info.IsHidden(), c.hidden) << c.name;
  }
}

TEST(TGFileInfo, SameWebToken) {
  auto withWebToken = [](const std::string& token) {
    ImageRecipe recipe;
    recipe.headerBlocks = 3;
    recipe.blocks.push_back("|http://x|Setup.exe|0|" + token + "|1|");
    return TGFileInfo{MemorySource(BuildImage(recipe))};
  };
  const TGFileInfo noWeb{MemorySource(BuildImage(ImageRecipe{}))};
  struct Case {
    const char* name;
    TGFileInfo a, b;
    bool same;
  };
  const Case cases[] = {
      {"same token, scrambled differently", withWebToken(ScrambleToken("tok", 1, 2, 3, 4)),
       withWebToken(ScrambleToken("tok", 5, 1, 9, 200)), true},
      {"different tokens", withWebToken(ScrambleToken("tok")), withWebToken(ScrambleToken("tok2")),
       false},
      {"neither file has a web block", noWeb, noWeb, false},
      {"one side fails to descramble", withWebToken(ScrambleToken("tok")),
       withWebToken("zzzzzzzzzzzz"), false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.a.SameWebToken(c.b), c.same) << c.name;
}

TEST(TGFileInfo, LanguageLookupsUseTheLanguageBlock) {
  ResetLangSection();
  const TGFileInfo info{MemorySource(BuildImage(FullRecipe()))};
  EXPECT_EQ(info.GetLangString("s1", "x"), "Extracting Files...");
  EXPECT_EQ(info.GetLangString("nope", "dflt"), "dflt");
  EXPECT_EQ(info.GetLangFontSize(), 9);
  EXPECT_EQ(info.GetLangFontName(), "Tahoma");
  EXPECT_EQ(info.GetLangCharset(), 0);
  ResetLangSection();
}

}  // namespace
