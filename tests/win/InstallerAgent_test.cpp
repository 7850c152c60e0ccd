// End-to-end: an installer with the make-agent flag leaves an update-agent copy of its stub beside
// the entries, which the builder's inspector reads as an agent build with the installer's blocks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include "InstallerRun.h"
#include "WinTempFolder.h"
#include "payload/TGFileInfo.h"
#include "payload/TokenScramble.h"
#include "tarvo-pack/Cli.h"

namespace {

TEST(InstallerAgent, MakeAgentFlagWritesAnAgentCopyOfTheSameBlocks) {
  const e2e::Stage stage("Product Setup.exe");
  const std::string& report = stage.report;
  const std::string& installer = stage.installer;
  const std::string agentName = "Product.AutoUpdate.exe";
  e2e::Payload p;
  p.engineArgs = stage.ReportArg() + " /E_keep=" + agentName;
  p.makeAgent = true;
  p.parameters.updateServer = "http://updates.example.com/product";
  p.parameters.infoFile = "Product.info";
  p.parameters.agentFile = agentName;
  p.parameters.scrambledToken =
      payload::ScrambleTokenWith("PRODUCT-TOKEN-1", {0x11, 0x5A, "ab", "cd"});
  p.language = {{"s1", "Unpacking..."}};
  p.files = {{"a.txt", "a", 0, ""}};
  ASSERT_EQ(stage.Write(p), "");

  const auto run = e2e::RunInstaller(stage.capture, e2e::Quoted(installer) + " /hide", "", nullptr);
  ASSERT_TRUE(run.ended);
  const e2e::EngineReport engine = e2e::ReadEngineReport(report);
  ASSERT_TRUE(engine.present);
  ASSERT_TRUE(engine.files.count(agentName)) << "the copy lies beside the entries";
  const std::string folder = engine.program.substr(0, engine.program.find_last_of('\\'));
  EXPECT_FALSE(e2e::LineStarting(run.lines, " New AU-Agent: ").empty());
  EXPECT_EQ(e2e::LineStarting(run.lines, " New AU-Agent: ").substr(15), folder + "\\" + agentName);

  // The stub and its header blocks, the real end cleared, then the agent's trailer.
  const std::string agent = report + "\\" + agentName;
  const std::string copy = wintest::TempFolder::Read(agent);
  const std::string original = wintest::TempFolder::Read(installer);
  const TGFileInfo source(installer);
  const auto entriesStart = static_cast<size_t>(source.Record().startOffset);
  ASSERT_EQ(copy.size(), entriesStart + payload::kTrailerSize);
  std::string head = original.substr(0, entriesStart);
  std::memset(head.data() + payload::kRealEndLowOffset, 0, 4);
  EXPECT_EQ(copy.substr(0, entriesStart), head);

  const TGFileInfo agentInfo(agent);
  EXPECT_TRUE(agentInfo.IsAgent());
  EXPECT_EQ(agentInfo.LanguageBlock(), source.LanguageBlock());
  EXPECT_EQ(agentInfo.ParameterBlock(), source.ParameterBlock());
  EXPECT_EQ(agentInfo.GetAgentFileName(), agentName);

  EXPECT_EQ(agentInfo.GetBuildToken(true), "PRODUCT-TOKEN-1");

  // The builder's inspector names the kind; the copy keeps the installer's checksum field and
  // entry count as the stub found them, which the inspector may point out.
  std::ostringstream out, err;
  tarvopack::CliContext context{out, err, false, std::nullopt, 1, 1};
  tarvopack::RunTarvoPack({"inspect", agent}, context);
  const std::string text = out.str();
  EXPECT_NE(text.find("\nkind            update agent\n"), std::string::npos) << text << err.str();
  EXPECT_NE(text.find("agent file      " + agentName), std::string::npos) << text;
}

}  // namespace
