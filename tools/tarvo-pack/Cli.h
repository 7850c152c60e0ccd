// Cli: the tarvo-pack command line: subcommands build, agent, split, inform, inspect, list,
// verify and extract. main() only gathers the system facts below; tests drive RunTarvoPack
// in-process.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvopack {

struct CommandSpec;
class ParsedArgs;

struct CliContext {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;                  // progress redraws one line instead of printing many
  std::optional<std::string> sourceDateEpoch;  // the SOURCE_DATE_EPOCH variable, when set
  uint64_t clockSeed = 0;                      // the clock, for builds without a seed
  unsigned hardwareThreads = 1;
};

// Exit codes: 0 success, 1 failure (a build error, a file that fails its checks), 2 bad usage.
int RunTarvoPack(const std::vector<std::string>& args, CliContext& context);

// Subcommands, each given the arguments after its name.
int CommandBuild(const std::vector<std::string>& args, CliContext& context);
int CommandAgent(const std::vector<std::string>& args, CliContext& context);
int CommandSplit(const std::vector<std::string>& args, CliContext& context);
int CommandInform(const std::vector<std::string>& args, CliContext& context);
int CommandInspect(const std::vector<std::string>& args, CliContext& context);
int CommandList(const std::vector<std::string>& args, CliContext& context);
int CommandVerify(const std::vector<std::string>& args, CliContext& context);
int CommandExtract(const std::vector<std::string>& args, CliContext& context);

// Shared by the subcommands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
int Fail(CliContext& context, const std::string& message);   // "tarvo-pack: error: ...", 1
int Usage(CliContext& context, const std::string& message);  // "tarvo-pack: ...", 2
// The opening every subcommand shares: with --help/-h anywhere prints the help and answers
// kExitOk, else parses the arguments into args and answers kExitUsage when they do not fit.
// Nothing (go on) when args is ready.
std::optional<int> StartCommand(const CommandSpec& cmdSpec, const std::vector<std::string>& argv,
                                CliContext& context, ParsedArgs& args);
// "1,234,567"
std::string Grouped(uint64_t value);

}  // namespace tarvopack
