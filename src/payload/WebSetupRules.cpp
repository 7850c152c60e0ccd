// WebSetupRules: the portable rules of the web installer (see WebSetupRules.h).
#include "payload/WebSetupRules.h"

#include <cstdint>

#include "payload/StubImage.h"
#include "payload/TempSpace.h"
#include "util/Utils.h"

namespace websetup {

std::string DownloadQuestion(const std::string& question, const std::string& webFileSize) {
  const std::int64_t bytes = TextToInt64Def(webFileSize, 0);
  return ReplaceAll(question, "<SIZE>", FormatMB(static_cast<double>(bytes)));
}

std::string LocalSetupFile(const std::string& address, const std::string& fileName) {
  return SetTrailingBackslash(address, true) + fileName;
}

std::string FolderOfProgram(const std::string& programPath) {
  const std::size_t cut = programPath.find_last_of('\\');
  return cut == std::string::npos ? "" : programPath.substr(0, cut);
}

std::string WebAgentImage(std::string image) {
  const std::uint32_t realEnd =
      static_cast<std::uint32_t>(static_cast<std::uint64_t>(payload::RealEndOfImage(image)));
  std::size_t end = image.size();
  // The flag belongs to the trailer, which ends at the real end; a real end of 0 is no end at all.
  if (realEnd > 0 && realEnd <= image.size()) {
    end = realEnd;
    if (image.size() - realEnd < kAgentCutLimit) image.resize(realEnd);
  }
  if (end > 5) image[end - 5] = 1;
  return image;
}

}  // namespace websetup
