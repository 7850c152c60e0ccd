// WebSetupRules: the portable rules of the web installer: the download question, where a setup
// file beside the program is looked for, and the bytes of the web installer's agent copy.
#pragma once

#include <cstddef>
#include <string>

namespace websetup {

// Bytes after the recorded real end up to which the agent copy is cut back to that end.
constexpr std::size_t kAgentCutLimit = 10000;

// question with every "<SIZE>" (exact case) replaced by the megabytes of webFileSize, a decimal
// number of bytes (0 when it is not one).
std::string DownloadQuestion(const std::string& question, const std::string& webFileSize);

// The setup file inside a folder or beside an address: address, a "\" unless it ends with one,
// and the file name.
std::string LocalSetupFile(const std::string& address, const std::string& fileName);
// The folder of a program path, without its final "\" (empty when the path has none).
std::string FolderOfProgram(const std::string& programPath);

// The agent copy of a web installer's whole image: cut back to its recorded real end when fewer
// than kAgentCutLimit bytes follow it, then the trailer's agent flag (the fifth byte from the
// real end) set to 1. An image without a usable real end gets the flag at the fifth byte from
// its own end.
std::string WebAgentImage(std::string image);

}  // namespace websetup
