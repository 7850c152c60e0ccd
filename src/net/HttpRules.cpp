// HttpRules: the portable rules of the HTTP client (see HttpRules.h).
#include "net/HttpRules.h"

#include "util/Utils.h"

namespace http {

std::string RequestUrl(const std::string& url) {
  // An address that already names its scheme is opened as it is: "https://" must not become
  // "http://https://".
  if (StartsWith("http://", url, true) || StartsWith("https://", url, true)) return url;
  return "http://" + url;
}

std::string DisplayName(const std::string& url) {
  const std::size_t cut = url.find_last_of("/\\");
  return cut == std::string::npos ? url : url.substr(cut + 1);
}

std::uint32_t ChunkSize(std::uint32_t size) {
  const std::uint32_t tenth = size / 10;
  if (tenth < 1) return 1;
  return tenth > kMaxChunk ? kMaxChunk : tenth;
}

std::int64_t ProgressMaximum(std::uint32_t size, std::uint32_t chunk) {
  if (size == kUnknownSize) return kUnknownProgressMaximum;
  if (chunk == 0) chunk = 1;
  return (static_cast<std::int64_t>(size) + chunk - 1) / chunk + 1;
}

std::string PartialFileName(const std::string& destination, std::uint32_t size,
                            std::uint32_t date) {
  const std::uint32_t tag = size + date;  // unsigned: wraps modulo 2^32
  return destination + "." + std::to_string(tag);
}

bool IsPartialFileName(const std::string& destinationName, const std::string& candidate) {
  const std::size_t n = destinationName.size();
  if (n == 0 || candidate.size() < n + 2 || candidate[n] != '.') return false;
  if (!SameText(candidate.substr(0, n), destinationName)) return false;
  for (std::size_t i = n + 1; i < candidate.size(); ++i)
    if (candidate[i] < '0' || candidate[i] > '9') return false;
  return true;
}

std::string InitErrorText() {
  return "Unable to initialize \"WinINet.dll\"";
}

std::string OpenErrorText(const std::string& url) {
  return "Unable to open Internet Connection: " + url;
}

std::string NotFoundText(const std::string& url) {
  return url + " --- File Not Found !";
}

std::string AbortedText() {
  return "Download Aborted";
}

std::string ReadErrorText(const std::string& displayName, const std::string& systemText,
                          const std::string& serverText) {
  const std::string detail = systemText.empty() ? serverText : systemText;
  std::string text = displayName + " --- Error downloading file";
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

std::string IncompleteText(const std::string& displayName, std::uint64_t received,
                           std::uint32_t expected) {
  return ReadErrorText(
      displayName, std::to_string(received) + " of " + std::to_string(expected) + " bytes received",
      "");
}

std::string TooLargeText(const std::string& displayName) {
  return ReadErrorText(
      displayName, "more than " + std::to_string(kMemoryLimit >> 20) + " MB to keep in memory", "");
}

}  // namespace http
