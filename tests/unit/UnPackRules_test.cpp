// Tests of the extraction's portable rules: disk names, the prompt, report texts, agent image.
#include "payload/UnPackRules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "payload/TrailerReader.h"
#include "payload/ByteSource.h"

namespace {

TEST(UnPackRules, DiskNames) {
  struct Case {
    const char* name;
    const char* source;
    int disk;
    const char* expected;
  };
  const Case cases[] = {
      {"first file of a series", "C:\\cd\\Setup.exe.001", 2, "C:\\cd\\Setup.exe.002"},
      {"third disk", "C:\\cd\\Setup.exe.001", 3, "C:\\cd\\Setup.exe.003"},
      {"two digits", "C:\\cd\\Setup.exe.001", 12, "C:\\cd\\Setup.exe.012"},
      {"more than three digits", "C:\\cd\\Setup.exe.001", 1000, "C:\\cd\\Setup.exe.1000"},
      {"no .001: the name itself is the base", "C:\\cd\\Setup.exe", 2, "C:\\cd\\Setup.exe.002"},
      {".001 in another case is not cut", "C:\\cd\\Setup.EXE.001x", 2,
       "C:\\cd\\Setup.EXE.001x.002"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DiskFileName(SpanBaseName(c.source), c.disk), c.expected) << c.name;
}

TEST(UnPackRules, DiskPrompt) {
  const std::string prompt = "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue";
  EXPECT_EQ(DiskPromptText(prompt, 2), "Please insert <B>DISK #2</B> and press OK to continue");
  EXPECT_EQ(DiskPromptText("<disk_num>/<Disk_Num>", 10), "10/10") << "any letter case";
  EXPECT_EQ(DiskPromptText("no number", 3), "no number");
}

TEST(UnPackRules, FailureTexts) {
  EXPECT_EQ(WriteFailureReport("Disk full.", 4096, 1024, 512.75),
            "Disk full.<P>  Data Size: <T>4096 Bytes<P>  File Size:  <T>1024 Bytes<P>"
            "  Bytes Free: <T>512 Bytes");
  EXPECT_EQ(WriteFailureReport("", 0, 0, -1),
            "<P>  Data Size: <T>0 Bytes<P>  File Size:  <T>0 Bytes<P>  Bytes Free: <T>-1 Bytes")
      << "a failed free-space query shows -1";
  EXPECT_EQ(WriteFailureReport("x", 1, 2, 1e12),
            "x<P>  Data Size: <T>1 Bytes<P>  File Size:  "
            "<T>2 Bytes<P>  Bytes Free: <T>1000000000000 Bytes");
  EXPECT_EQ(WriteFailureText("C:\\T\\a.dll", "R"),
            "C:\\T\\a.dll<P><P>Unable to save Extracted File!<P><P>R");
  EXPECT_EQ(CreateFolderFailureText("C:\\T", "Access denied."),
            "C:\\T<P><P>Unable to create Directory!<P><P>Access denied.");
}

TEST(UnPackRules, AgentSource) {
  struct Case {
    const char* source;
    bool expected;
  };
  const Case cases[] = {{"C:\\a\\Setup.exe", true},          {"C:\\a\\SETUP.EXE", true},
                        {"C:\\a\\Setup.exe.001", true},      {"C:\\a\\Setup.EXE.001", true},
                        {"C:\\a\\Setup.exe.002", false},     {"C:\\a\\Setup.bin", false},
                        {"C:\\a\\Setup.exe.001.bak", false}, {"", false}};
  for (const Case& c : cases) EXPECT_EQ(IsAgentSource(c.source), c.expected) << c.source;
}

TEST(UnPackRules, AgentImageIsStubBlocksAndAgentTrailer) {
  std::string head(0x200, 'h');
  std::memset(head.data() + 0xF8, 0, 8);
  head[0xFC] = '\x34';
  head[0xFD] = '\x12';
  payload::Trailer record{};
  record.format = 1;
  record.headerBlocks = 2;
  record.startOffset = 0x100;
  record.filesCount = 5;
  record.magic = payload::kMagic;
  record.makeAgent = 1;
  record.trailerSize = 60;
  const std::string image = AgentImage(head, record);
  ASSERT_EQ(image.size(), head.size() + payload::kTrailerSize);
  EXPECT_EQ(image.substr(0, 0xFC), head.substr(0, 0xFC));
  EXPECT_EQ(image.substr(0xFC, 4), std::string(4, '\0')) << "the real end is cleared";
  EXPECT_EQ(image.substr(0x100, head.size() - 0x100), head.substr(0x100));

  payload::Trailer read{};
  payload::ReadTrailer(payload::MemorySource(image), read);
  EXPECT_EQ(read.agent, 1);
  EXPECT_EQ(read.makeAgent, 1);
  // Fields of the packed record are copied out before they are compared.
  const uint32_t trailerSize = read.trailerSize, magic = read.magic;
  const int32_t startOffset = read.startOffset;
  EXPECT_EQ(trailerSize, payload::kTrailerSize);
  EXPECT_EQ(magic, payload::kMagic);
  EXPECT_EQ(startOffset, 0x100);

  // A head too short to hold the header field is copied as it is.
  EXPECT_EQ(AgentImage("MZ", record).substr(0, 2), "MZ");
}

}  // namespace
