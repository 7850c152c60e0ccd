// Files, portable rules: write pieces, drive roots, path joining, the self-deletion script.
#include "payload/Files.h"

#include <algorithm>

#include "util/Utils.h"

std::int64_t WriteChunkSize(std::int64_t total) {
  const std::int64_t tenth = total / 10;
  if (tenth <= 1024) return std::min<std::int64_t>(1024, total);
  return std::min(tenth, kWholeWriteLimit);
}

std::string DriveRootOf(const std::string& path, bool forceLetter) {
  const std::string p = ReplaceChar(path, '/', '\\');
  if (p.empty()) return "";
  if (forceLetter || p.size() < 3) return UpperCase(p.substr(0, 1)) + ":\\";
  std::size_t seen = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (p[i] == '\\' && ++seen == 4) return p.substr(0, i);
  }
  return p;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

std::string BatchQuoted(const std::string& path) {
  return "\"" + ReplaceAll(path, "%", "%%") + "\"";
}

std::string DeleteMeScript(const std::string& programFile, const std::string& programFolder,
                           const std::string& scriptFile, bool removeFolder) {
  const std::string program = BatchQuoted(programFile);
  // /F: a program copied from a CD keeps its read-only attribute, and a plain DEL would then
  // fail for ever while the loop below spins.
  std::string text = ":START\r\n";
  text += "DEL /F " + program + "\r\n";
  text += "IF exist " + program + " GOTO START\r\n";
  if (removeFolder) text += "RD " + BatchQuoted(programFolder) + "\r\n";
  text += "DEL " + BatchQuoted(scriptFile) + "\r\n";
  return text;
}
