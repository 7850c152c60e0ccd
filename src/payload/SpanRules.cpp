// SpanRules: the path and command line of the spanned launcher's copy.
#include "payload/SpanRules.h"

#include "util/Utils.h"

std::string SpanCopyPath(const std::string& setupFolder, const std::string& programPath) {
  const std::size_t cut = programPath.find_last_of("\\/:");
  const std::string name = cut == std::string::npos ? programPath : programPath.substr(cut + 1);
  return SetTrailingBackslash(setupFolder, true) + "Y_" + name;
}

std::string SpanCopyArguments(const std::string& arguments, const std::string& programPath) {
  return arguments + " /SpanCdLvl=2 /SpanDiskFName1=\"" + programPath + ".001\"" +
         " /OriginExe=\"" + programPath + "\"";
}

std::string SpanCopyCommandLine(const std::string& copyPath, const std::string& arguments) {
  return copyPath + " " + Trim(arguments);
}
