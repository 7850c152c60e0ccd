// CliArgs: the option parser of tarvo-pack's subcommands, with the help text made from the same
// table so the two cannot drift apart.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tarvopack {

struct OptionSpec {
  std::string name;       // long name without "--"
  char shortName = 0;     // 0: none
  std::string valueName;  // empty: a flag without value
  std::string help;
};

struct CommandSpec {
  std::string name;
  std::string usage;  // after "tarvo-pack <name> "
  std::string summary;
  std::string details;  // printed after the options, may be empty
  std::vector<OptionSpec> options;
  size_t minPositional = 0;
  size_t maxPositional = 0;
};

class ParsedArgs {
 public:
  bool Has(const std::string& name) const { return values_.count(name) > 0; }
  std::string Get(const std::string& name, const std::string& def = "") const;
  const std::vector<std::string>& All(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return positional_; }
  // Options in the order given, for overrides whose order matters.
  const std::vector<std::pair<std::string, std::string>>& InOrder() const { return ordered_; }

 private:
  friend bool ParseArgs(const CommandSpec&, const std::vector<std::string>&, ParsedArgs&,
                        std::string&);
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::pair<std::string, std::string>> ordered_;
  std::vector<std::string> positional_;
};

// "--name value", "--name=value", "-x value", "--flag"; "--" ends the options. False with a
// message for an unknown option, a missing value or a wrong number of operands.
bool ParseArgs(const CommandSpec& cmdSpec, const std::vector<std::string>& args, ParsedArgs& parsed,
               std::string& error);

std::string HelpText(const CommandSpec& cmdSpec);

}  // namespace tarvopack
