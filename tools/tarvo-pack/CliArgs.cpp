// CliArgs: the option parser of tarvo-pack's subcommands (see CliArgs.h).
#include "tarvo-pack/CliArgs.h"

namespace tarvopack {

namespace {

const OptionSpec* FindOption(const CommandSpec& cmdSpec, const std::string& name, char shortName) {
  for (const OptionSpec& o : cmdSpec.options) {
    if ((!name.empty() && o.name == name) || (shortName != 0 && o.shortName == shortName))
      return &o;
  }
  return nullptr;
}

}  // namespace

std::string ParsedArgs::Get(const std::string& name, const std::string& def) const {
  const auto it = values_.find(name);
  return it == values_.end() || it->second.empty() ? def : it->second.back();
}

const std::vector<std::string>& ParsedArgs::All(const std::string& name) const {
  static const std::vector<std::string> none;
  const auto it = values_.find(name);
  return it == values_.end() ? none : it->second;
}

bool ParseArgs(const CommandSpec& cmdSpec, const std::vector<std::string>& args, ParsedArgs& parsed,
               std::string& error) {
  parsed = ParsedArgs{};
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name;
    std::string value;
    bool hasValue = false;
    const OptionSpec* option = nullptr;
    if (arg[1] == '-') {
      const size_t equals = arg.find('=');
      name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        hasValue = true;
      }
      option = FindOption(cmdSpec, name, 0);
    } else {
      option = FindOption(cmdSpec, "", arg[1]);
      if (option != nullptr && arg.size() > 2) {
        if (option->valueName.empty()) option = nullptr;  // no bundled flags
        value = arg.substr(2);                            // "-j4"
        hasValue = true;
      }
    }
    if (option == nullptr) {
      error = "unknown option " + arg + " (see tarvo-pack " + cmdSpec.name + " --help)";
      return false;
    }
    if (option->valueName.empty()) {
      if (hasValue) {
        error = "--" + option->name + " takes no value";  // "--quiet=1"
        return false;
      }
    } else if (!hasValue) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value (" + option->valueName + ")";
        return false;
      }
      value = args[++i];
    }
    parsed.values_[option->name].push_back(value);
    parsed.ordered_.emplace_back(option->name, value);
  }
  if (parsed.positional_.size() < cmdSpec.minPositional ||
      parsed.positional_.size() > cmdSpec.maxPositional) {
    error = "usage: tarvo-pack " + cmdSpec.name + " " + cmdSpec.usage;
    return false;
  }
  return true;
}

std::string HelpText(const CommandSpec& cmdSpec) {
  std::string text =
      "usage: tarvo-pack " + cmdSpec.name + " " + cmdSpec.usage + "\n\n" + cmdSpec.summary + "\n";
  if (!cmdSpec.options.empty()) {
    text += "\noptions:\n";
    for (const OptionSpec& o : cmdSpec.options) {
      std::string left = "  ";
      left += o.shortName != 0 ? std::string("-") + o.shortName + ", " : "    ";
      left += "--" + o.name;
      if (!o.valueName.empty()) left += " " + o.valueName;
      if (left.size() < 30)
        left.resize(30, ' ');
      else
        left += "\n" + std::string(30, ' ');
      text += left + o.help + "\n";
    }
  }
  if (!cmdSpec.details.empty()) text += "\n" + cmdSpec.details;
  return text;
}

}  // namespace tarvopack
