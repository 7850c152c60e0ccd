// Switches: reading named switches ("/SpanCdLvl=2", "/hide") from a raw command line.
#include "core/Switches.h"

#include "util/KSUB.h"
#include "util/Utils.h"

namespace {

const char kSwitchSeparator = '\x01';

// Deletes line up to and including the match at 1-based pos of length len; a lone leftover
// character (a closing quote, say) means there are no arguments.
std::string CutThrough(const std::string& line, std::size_t pos, std::size_t len) {
  std::string rest = line.substr(pos - 1 + len);
  return Trim(rest).size() == 1 ? std::string() : rest;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CommandArguments(const CommandLine& line) {
  const std::string name = FileNameOf(line.programPath);
  std::string result = line.raw;
  if (const std::size_t p = PosText(name + "\"", line.raw); !name.empty() && p != 0) {
    result = CutThrough(line.raw, p, name.size() + 1);
  } else if (const std::size_t q = PosText(name, line.raw); q != 0) {
    result = CutThrough(line.raw, q, name.size());
  } else if (const std::size_t r = PosText(line.programPath, line.raw); r != 0) {
    result.erase(r - 1, line.programPath.size());
  }
  return Trim(result);
}

std::string SwitchList(const std::string& arguments, char prefix) {
  const std::string unquoted = ReplaceAll(" " + arguments, "\"", "");
  return kSwitchSeparator +
         ReplaceAll(unquoted, std::string(" ") + prefix, std::string(1, kSwitchSeparator)) +
         kSwitchSeparator;
}

std::string GetSwitch(const CommandLine& line, const std::string& name, const std::string& def) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) return def;
  const char prefix = (trimmed[0] == '-' || trimmed[0] == '/') ? trimmed[0] : '/';
  std::string key;
  for (char c : trimmed)
    if (c != prefix) key += c;
  // The first occurrence wins; a present switch with nothing after '=' reads as empty, not def.
  return Trim(SUB::NameValue(SwitchList(CommandArguments(line), prefix), key, def, std::string()));
}

std::int64_t GetSwitchInt(const CommandLine& line, const std::string& name, std::int64_t def) {
  return TextToInt64Def(GetSwitch(line, name, std::string()), def);
}

bool HasSwitch(const CommandLine& line, const std::string& name) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) return false;  // a blank name would match any argument text
  return PosText(trimmed + " ", CommandArguments(line) + " ") != 0;
}
