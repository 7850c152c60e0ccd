// Tests of tarvo-pack driven in-process through its command line, with the results read back by
// the stub's own reader code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TempDir.h"
#include "payload/ByteSource.h"
#include "payload/BuildRandom.h"
#include "payload/Checksum.h"
#include "payload/PayloadFormat.h"
#include "payload/StubImage.h"
#include "payload/TGFileInfo.h"
#include "payload/Token.h"
#include "payload/TrailerReader.h"
#include "tarvo-pack/Cli.h"
#include "tarvo-pack/HostFiles.h"
#include "util/Utils.h"

namespace {

namespace fs = std::filesystem;
using payload_test::TempDir;

constexpr int64_t kInputTime = 1700000000;  // an even second: DOS times keep two-second steps

std::string ReadAll(const std::string& path) {
  std::string bytes, error;
  tarvopack::ReadWholeFile(path, bytes, error);
  return bytes;
}

int64_t MTime(const std::string& path) {
  const auto when = fs::last_write_time(path);
  return std::chrono::floor<std::chrono::seconds>(
             fs::file_time_type::clock::to_sys(when).time_since_epoch())
      .count();
}

payload::Trailer TrailerOf(const std::string& path) {
  payload::Trailer t{};
  payload::ReadTrailer(path, t);
  return t;
}

class TarvoPack : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string stub(3000, '\xCC');
    stub[0] = 'M';
    stub[1] = 'Z';
    std::fill(stub.begin() + 0x40, stub.begin() + 0x100, '\0');
    stub.replace(0x100, 4, std::string("PE\0\0", 4));
    Input("stub.exe", stub);
    payload::BuildRandom random(11);
    Input("Engine.exe", random.Bytes(5000) + std::string(7000, 'E'));
    Input("setup/project.ini", "[Setup]\nName=Widget\n");
    Input("files/readme.txt", std::string(3000, 'r'));
    Input("files/big.bin", random.Bytes(9000) + std::string(9000, 'b'));
    Input("files/empty.dat", "");
    WriteProject("");
  }

  void Input(const std::string& name, const std::string& bytes) {
    fs::create_directories(fs::path(dir_.File(name)).parent_path());
    dir_.Write(name, bytes);
    tarvopack::SetFileUnixTime(dir_.File(name), kInputTime);
  }

  void WriteProject(const std::string& extra) {
    dir_.Write("project.ini",
               "; test project\n"
               "[Installer]\n"
               "Stub = stub.exe\n"
               "Output = out/Setup.exe\n"
               "Token = ACME-WIDGET-1\n"
               "ActivityBar = 1\n"
               "PieceSize = 8K\n"
               "\n[Engine]\nFile = Engine.exe\nArguments = /Q\n"
               "\n[Setup Files]\nFile = setup/project.ini\n"
               "\n[Product Files]\nFolder = files\n"
               "\n[Update]\nServer = http://updates.example.com\nInfoFile = Widget.info\nAgentFile "
               "= WidgetAgent.exe\n"
               "\n[Language English]\ns1 = Unpacking...\nFontName = Tahoma\n" +
                   extra);
  }

  int Run(std::vector<std::string> args,
          std::optional<std::string> sourceDateEpoch = std::nullopt) {
    out_.str("");
    err_.str("");
    tarvopack::CliContext context{out_, err_, false, sourceDateEpoch, 99, 2};
    return tarvopack::RunTarvoPack(args, context);
  }

  int Build(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"build", dir_.File("project.ini"), "--seed", "5", "-q"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }

  std::string Out() const { return out_.str(); }
  std::string Err() const { return err_.str(); }
  std::string Setup() const { return dir_.File("out/Setup.exe"); }

  TempDir dir_;
  std::ostringstream out_, err_;
};

TEST_F(TarvoPack, BuildInspectAndExtractRoundTrip) {
  ASSERT_EQ(Build(), 0) << Err();
  EXPECT_NE(Out().find("wrote " + Setup() + " (installer)"), std::string::npos) << Out();

  ASSERT_EQ(Run({"inspect", Setup()}), 0) << Out() << Err();
  const std::string report = Out();
  for (const char* fact :
       {"kind            installer", "build token     ACME-WIDGET-1", ": passes",
        "Engine.exe  [engine, arguments: /Q]", "00001#big.bin", "verdict: OK", "s1=Unpacking...",
        "update server   http://updates.example.com", "flags           08 (activity bar)"})
    EXPECT_NE(report.find(fact), std::string::npos) << fact << "\n" << report;

  ASSERT_EQ(Run({"inspect", Setup(), "--json"}), 0);
  EXPECT_NE(Out().find("\"sound\": true"), std::string::npos) << Out();
  EXPECT_NE(Out().find("\"buildToken\": \"ACME-WIDGET-1\""), std::string::npos) << Out();

  ASSERT_EQ(Run({"list", Setup()}), 0);
  EXPECT_NE(Out().find("5 files, 33,020 bytes"), std::string::npos) << Out();

  ASSERT_EQ(Run({"extract", Setup(), dir_.File("x"), "--plain-names"}), 0) << Err();
  const std::pair<const char*, const char*> files[] = {{"Engine.exe", "Engine.exe"},
                                                       {"project.ini", "setup/project.ini"},
                                                       {"big.bin", "files/big.bin"},
                                                       {"empty.dat", "files/empty.dat"},
                                                       {"readme.txt", "files/readme.txt"}};
  for (const auto& [extracted, input] : files) {
    const std::string path = dir_.File(std::string("x/") + extracted);
    ASSERT_TRUE(fs::exists(path)) << extracted;
    EXPECT_EQ(ReadAll(path), ReadAll(dir_.File(input))) << extracted;
    EXPECT_EQ(MTime(path), kInputTime) << extracted;
  }
  ASSERT_EQ(Run({"extract", Setup(), dir_.File("y")}), 0) << Err();
  EXPECT_TRUE(fs::exists(dir_.File("y/00002#empty.dat")))
      << "product names keep their prefix, sorted by name";
  EXPECT_TRUE(fs::exists(dir_.File("y/00003#readme.txt")));

  // Two product files that differ only in folder and case cannot both lose their prefix.
  Input("other/README.TXT", "other");
  ASSERT_EQ(Build({"--product-file", dir_.File("other/README.TXT")}), 0) << Err();
  EXPECT_EQ(Run({"extract", Setup(), dir_.File("z"), "--plain-names"}), 1);
  EXPECT_NE(Err().find("both become"), std::string::npos) << Err();
  ASSERT_EQ(Run({"extract", Setup(), dir_.File("w")}), 0) << Err();
  EXPECT_EQ(ReadAll(dir_.File("w/00004#README.TXT")), "other");
}

TEST_F(TarvoPack, BuildsAreReproducible) {
  ASSERT_EQ(Build({"-j1"}), 0) << Err();
  const std::string one = ReadAll(Setup());
  ASSERT_EQ(Build({"-j", "4"}), 0) << Err();
  EXPECT_EQ(ReadAll(Setup()), one) << "the thread count must not show in the bytes";
  ASSERT_EQ(Build({"--seed", "6"}), 0) << Err();
  EXPECT_NE(ReadAll(Setup()), one) << "another seed, other per-build bytes and token form";

  // Without --seed, SOURCE_DATE_EPOCH is the seed and the time of the files written.
  ASSERT_EQ(Run({"build", dir_.File("project.ini"), "-q"}, "1600000000"), 0) << Err();
  const std::string stamped = ReadAll(Setup());
  EXPECT_EQ(MTime(Setup()), 1600000000);
  ASSERT_EQ(Run({"build", dir_.File("project.ini"), "-q"}, "1600000000"), 0) << Err();
  EXPECT_EQ(ReadAll(Setup()), stamped);
  EXPECT_EQ(Run({"build", dir_.File("project.ini"), "-q"}, "yesterday"), 2);
}

TEST_F(TarvoPack, RefusesBadInput) {
  struct Case {
    const char* name;
    std::string projectExtra;  // appended to the project
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  std::string badStub = ReadAll(dir_.File("stub.exe"));
  badStub[0x90] = 1;
  dir_.Write("used-stub.exe", badStub);
  std::string peElsewhere = ReadAll(dir_.File("stub.exe"));
  peElsewhere[0x100] = 0;
  dir_.Write("pe-stub.exe", peElsewhere);
  dir_.Write("pi|pe.txt", "x");
  dir_.Write("star*.txt", "x");
  fs::create_directories(dir_.File("dup"));
  dir_.Write("dup/README.TXT", "x");
  const Case cases[] = {
      {"missing stub", "", {"--stub", dir_.File("nope.exe")}, 1, "nope.exe: no such file"},
      {"stub already an installer", "", {"--stub", dir_.File("used-stub.exe")}, 1, "0x90..0xFF"},
      {"stub's PE signature elsewhere", "", {"--stub", dir_.File("pe-stub.exe")}, 1, "0x100"},
      {"missing engine", "", {"--engine", dir_.File("gone.exe")}, 1, "gone.exe: no such file"},
      {"missing product file",
       "",
       {"--product-file", dir_.File("gone.txt")},
       1,
       "gone.txt: no such file"},
      {"name with |", "", {"--product-file", dir_.File("pi|pe.txt")}, 1, "\"|\""},
      {"name with *", "", {"--setup-file", dir_.File("star*.txt")}, 1, "marks the engine"},
      {"engine arguments with *", "", {"--engine-args", "/a*b"}, 1, "\"*\""},
      {"engine arguments with |", "", {"--engine-args", "/a|b"}, 1, "\"|\""},
      {"same name twice",
       "",
       {"--setup-file", dir_.File("dup/README.TXT"), "--setup-file", dir_.File("files/readme.txt")},
       1,
       "a second file named"},
      {"language value with byte 1", "s2 = a\x01z\n", {}, 1, "byte 1 or 2"},
      {"unknown key", "", {"--set", "Installer.Compresion=1"}, 1, "unknown key"},
      {"unknown section", "[Instaler]\nX=1\n", {}, 1, "unknown section [Instaler]"},
      {"bad level", "", {"--level", "12"}, 1, "level from 0"},
      {"piece too small", "", {"--piece-size", "100"}, 1, "from 4K to 1G"},
      {"bad switch value", "", {"--set", "Installer.Hidden=maybe"}, 1, "is not 0 or 1"},
      {"update server with |",
       "",
       {"--set", "Update.Server=http://a|b"},
       1,
       "must not contain \"|\""},
      {"token with a blank", "", {"--token", "two words"}, 1, "printable"},
      {"web together with disks",
       "[Web]\nAddress=http://x\nOutput=out/Web.exe\n",
       {"--disk-size", "1M"},
       1,
       "exclude each other"},
      {"override without a key", "", {"--set", "Installer=1"}, 1, "SECTION.KEY=VALUE"},
      {"unknown option", "", {"--fast"}, 2, "unknown option --fast"},
      {"option without its value", "", {"--seed"}, 2, "needs a value"},
  };
  for (const Case& c : cases) {
    WriteProject(c.projectExtra);
    EXPECT_EQ(Build(c.args), c.exitCode) << c.name << "\n" << Err();
    EXPECT_NE(Err().find(c.message), std::string::npos) << c.name << "\n" << Err();
    EXPECT_FALSE(fs::exists(Setup())) << c.name << ": nothing written";
  }
}

TEST_F(TarvoPack, ProjectOnTheCommandLineAlone) {
  ASSERT_EQ(Run({"build", "-q", "--seed", "1", "--stub", dir_.File("stub.exe"), "--engine",
                 dir_.File("Engine.exe"), "--product-file", dir_.File("files/readme.txt"), "-o",
                 dir_.File("cli/Setup.exe")}),
            0)
      << Err();
  EXPECT_NE(Out().find("drawn from the seed"), std::string::npos) << Out();
  ASSERT_EQ(Run({"list", dir_.File("cli/Setup.exe")}), 0);
  EXPECT_NE(Out().find("00001#readme.txt"), std::string::npos) << Out();
  const TGFileInfo info(dir_.File("cli/Setup.exe"));
  EXPECT_EQ(info.ParameterBlock().substr(0, 15), "|http:|.info|.e")
      << "fixed fragments without [Update]";
  EXPECT_EQ(info.LanguageBlock(),
            "\x02\x01"
            "English\x01"
            "Charset=0\x01"
            "FontSize=8\x01"
            "FontName=Tahoma\x01\x02");
}

TEST_F(TarvoPack, SpannedSets) {
  ASSERT_EQ(Build({"--disk-size", "8K"}), 0) << Err();
  std::vector<std::string> disks;
  for (int n = 1; fs::exists(Setup() + "." + std::string(n < 10 ? "00" : "0") + std::to_string(n));
       ++n)
    disks.push_back(Setup() + "." + std::string(n < 10 ? "00" : "0") + std::to_string(n));
  ASSERT_GE(disks.size(), 3u);
  EXPECT_FALSE(fs::exists(Setup() + ".whole")) << "the intermediate installer is removed";

  const payload::Trailer launcher = TrailerOf(Setup());
  EXPECT_EQ(launcher.flags & (payload::kFlagSpanFirstLevel | payload::kFlagNextDisk),
            payload::kFlagSpanFirstLevel);
  EXPECT_EQ(launcher.filesCount, 0u);
  EXPECT_EQ(TGFileInfo(Setup()).GetBuildToken(true), "ACME-WIDGET-1");
  for (size_t i = 0; i < disks.size(); ++i) {
    const payload::Trailer t = TrailerOf(disks[i]);
    const bool last = i + 1 == disks.size();
    EXPECT_EQ((t.flags & payload::kFlagNextDisk) != 0, !last) << disks[i];
    EXPECT_EQ(t.flags & payload::kFlagSpanFirstLevel, 0) << disks[i];
    EXPECT_EQ(t.flags & payload::kFlagActivityBar, payload::kFlagActivityBar) << disks[i];
    EXPECT_LE(fs::file_size(disks[i]), 8192u) << disks[i];
    EXPECT_EQ(payload::IsStubImage(disks[i]), i == 0)
        << disks[i] << ": only the first disk starts with the stub";
    EXPECT_EQ(payload::FileChecksum(disks[i], payload::kTrailerSize), uint32_t{t.checksum})
        << disks[i];
  }
  ASSERT_EQ(Run({"verify", Setup()}), 0) << Out();
  ASSERT_EQ(Run({"extract", Setup(), dir_.File("x"), "--plain-names"}), 0) << Err();
  EXPECT_EQ(ReadAll(dir_.File("x/big.bin")), ReadAll(dir_.File("files/big.bin")));
  EXPECT_EQ(ReadAll(dir_.File("x/Engine.exe")), ReadAll(dir_.File("Engine.exe")));

  // A missing disk is reported; splitting again with larger disks drops the stale ones.
  fs::rename(disks[1], disks[1] + ".away");
  EXPECT_EQ(Run({"verify", Setup()}), 1);
  EXPECT_NE(Out().find("the next disk " + disks[1] + " is missing"), std::string::npos) << Out();
  ASSERT_EQ(Build(), 0) << Err();
  ASSERT_EQ(Run({"split", Setup(), "--disk-size", "12K", "-q"}), 0) << Err();
  EXPECT_TRUE(fs::exists(disks[1]));
  EXPECT_FALSE(fs::exists(disks.back())) << "stale disks of the longer set are gone";
  EXPECT_EQ(Run({"verify", disks[0]}), 0) << Out();
  EXPECT_EQ(Run({"split", Setup(), "--disk-size", "12K"}), 1) << "a launcher cannot be split again";
  EXPECT_EQ(Run({"split", Setup() + ".001", "--disk-size", "30K", "-o", dir_.File("z/S.exe")}), 1);
  EXPECT_NE(Err().find("is a disk of a spanned set"), std::string::npos) << Err();
  ASSERT_EQ(Build(), 0) << Err();
  EXPECT_EQ(Run({"split", Setup(), "--disk-size", "3K", "-o", dir_.File("z/S.exe")}), 1);
  EXPECT_NE(Err().find("too small"), std::string::npos) << Err();
}

TEST_F(TarvoPack, WebInstallerPair) {
  WriteProject(
      "[Web]\nAddress = http://127.0.0.1:8080/dl\nOutput = out/WebSetup.exe\nAlwaysDownload = 1\n");
  ASSERT_EQ(Build(), 0) << Err();
  const TGFileInfo setup(Setup());
  const TGFileInfo web(dir_.File("out/WebSetup.exe"));
  EXPECT_EQ(setup.Record().headerBlocks, 3);
  EXPECT_FALSE(setup.IsWebInstaller());
  EXPECT_TRUE(web.IsWebInstaller());
  EXPECT_TRUE(web.AskBeforeDownload());
  EXPECT_TRUE(web.IsWebAlwaysDownload());
  EXPECT_EQ(web.FilesCount(), 0u);
  EXPECT_EQ(web.GetWebAddress(), "http://127.0.0.1:8080/dl");
  EXPECT_EQ(web.GetWebFileName(), "Setup.exe");
  EXPECT_EQ(web.GetWebFileSize(), std::to_string(fs::file_size(Setup())));
  EXPECT_TRUE(web.SameWebToken(setup));
  EXPECT_NE(web.GetWebToken(false), setup.GetWebToken(false))
      << "each file has its own stored form";
  EXPECT_EQ(web.GetBuildToken(true), "ACME-WIDGET-1");
  EXPECT_EQ(Run({"verify", dir_.File("out/WebSetup.exe")}), 0) << Out();
}

TEST_F(TarvoPack, UpdateAgent) {
  ASSERT_EQ(Build(), 0) << Err();
  ASSERT_EQ(Run({"agent", dir_.File("project.ini"), "--seed", "9"}), 0) << Err();
  const std::string path = dir_.File("out/WidgetAgent.exe");
  const TGFileInfo agent(path);
  const TGFileInfo setup(Setup());
  EXPECT_TRUE(agent.IsAgent());
  EXPECT_FALSE(agent.MakesAgent());
  EXPECT_EQ(agent.FilesCount(), 0u);
  EXPECT_EQ(agent.GetBuildToken(true), setup.GetBuildToken(true))
      << "updates are matched by this token";
  EXPECT_EQ(agent.GetInfoFileName(), "Widget.info");
  EXPECT_EQ(agent.GetOriginalFileName(), "Widget.original");
  EXPECT_EQ(agent.LanguageBlock(), setup.LanguageBlock());
  EXPECT_EQ(Run({"verify", path}), 0) << Out();
}

TEST_F(TarvoPack, InformNotices) {
  ASSERT_EQ(Build(), 0) << Err();
  // The agent's split: fields closed by "|", the notice is everything after the fourth.
  auto split = [](const std::string& text, std::string& token) {
    std::string rest = text;
    for (int field = 1; field <= 4; ++field) {
      const std::string value = TextBefore(rest, "|", "");
      if (field == 2) token = payload::DescrambleToken(value);
      rest = TextAfter(rest, "|", "");
    }
    return rest;
  };
  const std::string notice = "Line one|Line two <B>bold</B>";
  for (const char* source : {"--from", "--project", "--token"}) {
    const std::string value = std::string(source) == "--from"      ? Setup()
                              : std::string(source) == "--project" ? dir_.File("project.ini")
                                                                   : "ACME-WIDGET-1";
    for (bool scrambled : {false, true}) {
      std::vector<std::string> args = {"inform", "-o",  dir_.File("n.inform"), source, value,
                                       "--text", notice};
      if (scrambled) args.push_back("--scrambled");
      ASSERT_EQ(Run(args), 0) << source << "\n" << Err();
      std::string text = ReadAll(dir_.File("n.inform"));
      EXPECT_EQ(text.rfind("Scrambled=01", 0) == 0, scrambled) << source;
      text = Scramble(text, false, false);
      std::string token;
      EXPECT_EQ(split(text, token), notice) << source << (scrambled ? ", scrambled" : "");
      EXPECT_EQ(token, "ACME-WIDGET-1") << source << (scrambled ? ", scrambled" : "");
    }
  }
  dir_.Write("notoken.ini", "[Installer]\nStub=stub.exe\n");
  EXPECT_EQ(Run({"inform", "-o", dir_.File("n.inform"), "--project", dir_.File("notoken.ini"),
                 "--text", "x"}),
            1);
  EXPECT_NE(Err().find("no [Installer] Token"), std::string::npos) << Err();
  EXPECT_EQ(Run({"inform", "-o", dir_.File("n.inform"), "--text", "x"}), 2)
      << "a token source is needed";
}

TEST_F(TarvoPack, VerifyFindsDamage) {
  struct Case {
    const char* name;
    std::vector<std::string> buildArgs;
    std::function<std::string(std::string)> damage;
    const char* problem;
  };
  const Case cases[] = {
      {"one byte changed",
       {},
       [](std::string b) {
         b[b.size() / 2] ^= 0x20;
         return b;
       },
       "checksum mismatch"},
      {"cut short", {}, [](std::string b) { return b.substr(0, b.size() - 100); }, "cut off"},
      {"compressed byte changed, no checksum",
       {"--no-checksum"},
       [](std::string b) {
         b[3000 + 200] ^= 0x55;  // inside the engine's compressed stream (the stub is 3000 bytes)
         return b;
       },
       "damaged zlib stream"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Build(c.buildArgs), 0) << c.name << Err();
    dir_.Write("out/Setup.exe", c.damage(ReadAll(Setup())));
    EXPECT_EQ(Run({"verify", Setup()}), 1) << c.name;
    EXPECT_NE(Out().find(c.problem), std::string::npos) << c.name << "\n" << Out();
    EXPECT_EQ(Run({"inspect", Setup()}), 1) << c.name;
  }
  ASSERT_EQ(Build(), 0);
  std::string bytes = ReadAll(Setup());
  bytes[bytes.size() / 2] ^= 1;
  dir_.Write("out/Setup.exe", bytes);
  EXPECT_EQ(Run({"extract", Setup(), dir_.File("x")}), 1);
  EXPECT_NE(Err().find("fails its checksum"), std::string::npos) << Err();
  EXPECT_EQ(Run({"verify", dir_.File("stub.exe")}), 1) << "a bare stub is no installer";
}

TEST_F(TarvoPack, HelpForEveryCommand) {
  for (const char* command :
       {"build", "agent", "split", "inform", "inspect", "list", "verify", "extract"}) {
    EXPECT_EQ(Run({command, "--help"}), 0) << command;
    EXPECT_EQ(Out().rfind(std::string("usage: tarvo-pack ") + command, 0), 0u) << command << "\n"
                                                                               << Out();
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(Out().find("extract"), std::string::npos);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_EQ(Run({}), 2);
}

}  // namespace
