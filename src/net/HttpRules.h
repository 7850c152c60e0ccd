// HttpRules: the portable rules of the HTTP client: the address a request opens, the chunk size
// and progress range of a download, the partial file's name and the texts that report failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace http {

// Agent names: size queries and the warm-up request, and the downloads.
constexpr const char* kProbeAgent = "HTTP_Connect_2";
constexpr const char* kDownloadAgent = "HTTP_Connect_3";
// Connect, send and receive time-outs of a download: a stalled connection ends after this.
constexpr std::uint32_t kTimeoutMs = 180000;
// A read never asks for more than this.
constexpr std::uint32_t kMaxChunk = 8192;
// The content length as the download sees it when the server gave none (the query's -1 taken as
// an unsigned number): such a response is read to its end.
constexpr std::uint32_t kUnknownSize = 0xFFFFFFFF;
// Downloads into memory (information files, notices) stop with an error beyond this many bytes,
// so that a misbehaving server cannot exhaust the process's memory.
constexpr std::size_t kMemoryLimit = 32u << 20;
// While the total is unknown the main bar runs over this many steps and starts again.
constexpr std::int64_t kUnknownProgressMaximum = 100;

// The address a download opens: "http://" is put in front unless it already begins with
// "http://" or "https://" (any letter case).
std::string RequestUrl(const std::string& url);
// The last path element of the address, "/" and "\" both read as separators.
std::string DisplayName(const std::string& url);

// A tenth of the size, at least 1 byte and at most kMaxChunk.
std::uint32_t ChunkSize(std::uint32_t size);
// Steps of the progress bar: one per chunk (rounded up) and one more; kUnknownProgressMaximum for
// an unknown size.
std::int64_t ProgressMaximum(std::uint32_t size, std::uint32_t chunk);

// destination + "." + (size + date) modulo 2^32 in decimal: a changed file on the server gets
// another partial name.
std::string PartialFileName(const std::string& destination, std::uint32_t size, std::uint32_t date);
// candidate (a bare file name) is destinationName + "." + one or more decimal digits; the name
// part compares ignoring ASCII case. Only such files count as partial files of a destination.
bool IsPartialFileName(const std::string& destinationName, const std::string& candidate);

// ---- Failure texts ------------------------------------------------------------

std::string InitErrorText();
std::string OpenErrorText(const std::string& url);
std::string NotFoundText(const std::string& url);
std::string AbortedText();
// displayName + " --- Error downloading file", then " (" + detail + ")" where the detail is the
// system's text or, when that is empty, the server's last response text; no parentheses when
// both are empty.
std::string ReadErrorText(const std::string& displayName, const std::string& systemText,
                          const std::string& serverText);
// The transfer ended before the announced size arrived.
std::string IncompleteText(const std::string& displayName, std::uint64_t received,
                           std::uint32_t expected);
// A download into memory went beyond kMemoryLimit.
std::string TooLargeText(const std::string& displayName);

}  // namespace http
