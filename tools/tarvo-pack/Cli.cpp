// Cli: dispatch of the tarvo-pack subcommands and the overall help (see Cli.h).
#include "tarvo-pack/Cli.h"

#include <algorithm>
#include <functional>

#include "tarvo-pack/CliArgs.h"

namespace tarvopack {

namespace {

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>&, CliContext&);
};

const Command kCommands[] = {
    {"build", "build an installer from a project file (and command-line overrides)", CommandBuild},
    {"agent", "build an update agent: the stub with the project's blocks and the agent flag",
     CommandAgent},
    {"split", "cut an installer into a spanned set: launcher, .001, .002, ...", CommandSplit},
    {"inform", "write an INFORM notice file for update agents", CommandInform},
    {"inspect", "show everything about an installer file and whether it can be trusted",
     CommandInspect},
    {"list", "list the files an installer (or spanned set) extracts", CommandList},
    {"verify", "check an installer (or spanned set); exit 0 only when it is sound", CommandVerify},
    {"extract", "extract an installer's files into a folder, as the stub would", CommandExtract},
};

std::string OverallHelp() {
  std::string text =
      "usage: tarvo-pack <command> [options] [operands]\n\n"
      "Builds and examines installers of the Tarvo installation suite.\n\ncommands:\n";
  for (const Command& c : kCommands) {
    std::string name = std::string("  ") + c.name;
    name.resize(12, ' ');
    text += name + c.summary + "\n";
  }
  text += "\n'tarvo-pack <command> --help' describes a command's options.\n";
  return text;
}

}  // namespace

int Fail(CliContext& context, const std::string& message) {
  context.err << "tarvo-pack: error: " << message << "\n";
  return kExitFailed;
}

int Usage(CliContext& context, const std::string& message) {
  context.err << "tarvo-pack: " << message << "\n";
  return kExitUsage;
}

std::optional<int> StartCommand(const CommandSpec& cmdSpec, const std::vector<std::string>& argv,
                                CliContext& context, ParsedArgs& args) {
  const bool help = std::any_of(argv.begin(), argv.end(),
                                [](const std::string& a) { return a == "--help" || a == "-h"; });
  if (help) {
    context.out << HelpText(cmdSpec);
    return kExitOk;
  }
  std::string error;
  if (!ParseArgs(cmdSpec, argv, args, error)) return Usage(context, error);
  return std::nullopt;
}

std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), ",");
  return digits;
}

int RunTarvoPack(const std::vector<std::string>& args, CliContext& context) {
  if (args.empty()) {
    context.err << OverallHelp();
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    if (args.size() > 1) return RunTarvoPack({args[1], "--help"}, context);
    context.out << OverallHelp();
    return kExitOk;
  }
  for (const Command& c : kCommands) {
    if (name == c.name)
      return c.run(std::vector<std::string>(args.begin() + 1, args.end()), context);
  }
  return Usage(context, "unknown command \"" + name + "\" (try tarvo-pack --help)");
}

}  // namespace tarvopack
