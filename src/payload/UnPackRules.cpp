// UnPackRules: disk names, the disk prompt, failure texts and the update-agent copy's bytes.
#include "payload/UnPackRules.h"

#include <cmath>
#include <cstring>

#include "util/Utils.h"

std::string SpanBaseName(const std::string& sourceFile) {
  const std::string suffix = ".001";
  if (EndsWith(suffix, sourceFile, false))
    return sourceFile.substr(0, sourceFile.size() - suffix.size());
  return sourceFile;
}

std::string DiskFileName(const std::string& base, int disk) {
  return base + "." + IntToZeroPad(disk, 3);
}

std::string DiskPromptText(const std::string& prompt, int disk) {
  return ReplaceAllText(prompt, "<DISK_NUM>", std::to_string(disk));
}

std::string WriteFailureReport(const std::string& systemError, std::uint64_t dataSize,
                               std::int64_t fileSize, double bytesFree) {
  // Free space is a byte count as a real number (-1 when unknown); its whole part is shown.
  const double whole = std::isfinite(bytesFree) ? std::trunc(bytesFree) : -1;
  return systemError + "<P>" + "  Data Size: <T>" + std::to_string(dataSize) + " Bytes<P>" +
         "  File Size:  <T>" + std::to_string(fileSize) + " Bytes<P>" + "  Bytes Free: <T>" +
         FixedTextWith(whole, 0, ".") + " Bytes";
}

std::string WriteFailureText(const std::string& path, const std::string& report) {
  return path + "<P><P>Unable to save Extracted File!<P><P>" + report;
}

std::string CreateFolderFailureText(const std::string& folder, const std::string& systemError) {
  return folder + "<P><P>Unable to create Directory!<P><P>" + systemError;
}

std::string DamagedSetupText(const std::string& sourceFile, const std::string& why) {
  return sourceFile + "<P><P>Unable to extract the setup files: the file is damaged!<P><P>" + why;
}

bool IsAgentSource(const std::string& sourceFile) {
  return EndsWith(".exe", sourceFile, true) || EndsWith(".exe.001", sourceFile, true);
}

std::string AgentImage(std::string head, payload::Trailer record) {
  if (head.size() >= payload::kRealEndLowOffset + 4)
    std::memset(head.data() + payload::kRealEndLowOffset, 0, 4);
  record.agent = 1;
  record.trailerSize = payload::kTrailerSize;
  std::string trailer(payload::kTrailerSize, '\0');
  std::memcpy(trailer.data(), &record, payload::kTrailerSize);
  return head + trailer;
}
