// SpanRules: the spanned launcher's copy of itself as text: the copy's path in the setup folder
// and the command line that starts it on the first file of the series.
#pragma once

#include <string>

// setupFolder, "\", "Y_" and the launcher's file name.
std::string SpanCopyPath(const std::string& setupFolder, const std::string& programPath);
// The launcher's own arguments, then " /SpanCdLvl=2 /SpanDiskFName1=" with the quoted first file
// (programPath ".001") and " /OriginExe=" with the quoted launcher path.
std::string SpanCopyArguments(const std::string& arguments, const std::string& programPath);
// The copy's path (unquoted), a blank and the arguments trimmed.
std::string SpanCopyCommandLine(const std::string& copyPath, const std::string& arguments);
