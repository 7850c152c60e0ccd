// InetHTTP: the HTTP client over the internet library (see InetHTTP.h).
#include "net/win/InetHTTP.h"

#include <cstring>
#include <vector>

#include "core/KDebug.h"
#include "payload/win/Files.h"
#include "ui/KMsgBoxPump.h"
#include "ui/KProgBar.h"
#include "util/Utils.h"
#include "util/win/SysInfo.h"
#include "util/win/WinHandles.h"

namespace {

// Always from the server; and a download is written once, into its own file, not also into the
// system's cache.
constexpr DWORD kDownloadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// The text for an error code from the system's table or the internet library's own; empty when
// neither knows it.
std::string SystemMessage(DWORD code) {
  char message[512] = {};
  const HMODULE library = wininet::Module();
  DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (library != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  const DWORD n = FormatMessageA(flags, library, code, 0, message, sizeof(message), nullptr);
  return n > 0 ? CleanSystemMessage(std::string(message, strnlen(message, sizeof(message))))
               : std::string();
}

// What the server said last, as the library keeps it for the thread.
std::string LastResponseText() {
  char buffer[1024] = {};
  DWORD length = sizeof(buffer);
  DWORD code = 0;
  if (!wininet::GetLastResponseInfo(&code, buffer, &length)) return std::string();
  return Trim(std::string(buffer, strnlen(buffer, sizeof(buffer))));
}

// One download: what it fetches, where the bytes go and how far it got.
struct Transfer {
  Transfer(const std::string& address, const std::string& target, std::string& text,
           TProgBar* progress)
      : url(address),
        name(http::DisplayName(address)),
        destination(target),
        memory(text),
        relay(progress) {}

  std::string url;
  std::string name;  // for the texts
  std::string destination;
  std::string partial;
  std::string& memory;
  TProgBar* relay;
  std::uint32_t size = 0;
  std::uint64_t received = 0;
  win::UniqueFile file;
};

bool SizeKnown(const Transfer& t) {
  return t.size != http::kUnknownSize;
}

// Appends a chunk to the partial file or to the memory text; false with the reason.
bool Store(Transfer& t, const char* data, DWORD count, std::string& error) {
  if (t.destination.empty()) {
    if (t.memory.size() + count > http::kMemoryLimit) {
      error = http::TooLargeText(t.name);
      return false;
    }
    t.memory.append(data, count);
  } else {
    DWORD written = 0;
    if (!WriteFile(t.file.get(), data, count, &written, nullptr) || written != count) {
      error = http::ReadErrorText(t.name, SystemMessage(GetLastError()), "");
      return false;
    }
  }
  t.received += count;
  return true;
}

// Reads chunk by chunk until the server has sent everything, a read fails or the download is
// aborted; the error text, empty when the transfer ended cleanly or was aborted.
std::string Fetch(HINTERNET request, std::uint32_t chunk, Transfer& t) {
  std::vector<char> buffer(http::kMaxChunk);
  DWORD got = 0;
  do {
    // Keeps the windows alive and lets a close request set the abort flag. Only what is pending
    // is dispatched: a pause here would cap the transfer rate for no gain.
    YieldX(0);
    got = 0;
    if (!wininet::ReadFile(request, buffer.data(), chunk, &got)) {
      const DWORD code = GetLastError();
      return http::ReadErrorText(t.name, SystemMessage(code), LastResponseText());
    }
    if (got > chunk) got = chunk;  // never trust a count beyond what was asked for
    if (got > 0) {
      std::string error;
      if (!Store(t, buffer.data(), got, error)) return error;
      if (t.relay != nullptr) t.relay->StepIt();
    }
  } while (got > 0 && !DownloadAborted());
  return std::string();
}

// After a clean transfer: the whole announced size must have come, and a file download then
// takes the destination's name.
std::string Finish(Transfer& t) {
  if (SizeKnown(t) && t.received != t.size) return http::IncompleteText(t.name, t.received, t.size);
  if (t.destination.empty()) return std::string();
  const std::int64_t onDisk = FileSizeByName(t.partial);
  if (SizeKnown(t) && onDisk != static_cast<std::int64_t>(t.size))
    return http::IncompleteText(t.name, static_cast<std::uint64_t>(onDisk), t.size);
  // One step: the old destination stays until the new file can take its place.
  if (!MoveFileExA(t.partial.c_str(), t.destination.c_str(), MOVEFILE_REPLACE_EXISTING))
    return http::ReadErrorText(t.name, SystemMessage(GetLastError()), "");
  return std::string();
}

bool OpenPartialFile(Transfer& t, std::string& error) {
  t.file = win::UniqueFile(CreateFileA(t.partial.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (t.file) return true;
  error = http::ReadErrorText(t.name, SystemMessage(GetLastError()), "");
  return false;
}

std::string Download(HWND window, Transfer& t) {
  const wininet::Handle internet = HTTP_OpenInternet(http::kDownloadAgent);
  if (!internet) return http::InitErrorText();
  SetInternetTimeouts(internet.get(), http::kTimeoutMs);
  const wininet::Handle request = HTTP_OpenUrl(internet.get(), t.url);
  if (!request) return http::OpenErrorText(t.url);
  t.size = static_cast<std::uint32_t>(HTTP_ContentLength(request.get()));
  const std::uint32_t date = HTTP_LastModified(request.get());
  if (t.size == 0) return http::NotFoundText(t.url);
  if (reinterpret_cast<std::uintptr_t>(window) > 10) ShowWindow(window, SW_SHOW);
  std::string error;
  if (!t.destination.empty()) {
    // Never continue an earlier partial file: the server's file may have changed since.
    DeletePartialFiles(t.destination);
    t.partial = http::PartialFileName(t.destination, t.size, date);
    if (!OpenPartialFile(t, error)) return error;
  }
  const std::uint32_t chunk = http::ChunkSize(t.size);
  if (t.relay != nullptr) {
    t.relay->SetRange(1, http::ProgressMaximum(t.size, chunk));
    t.relay->Idle();
  }
  error = Fetch(request.get(), chunk, t);
  t.file.reset();
  if (DownloadAborted()) return http::AbortedText();
  if (!error.empty()) return error;
  return Finish(t);
}

}  // namespace

bool IsInternetConnected(std::string& error) {
  DWORD flags = 0;
  if (wininet::GetConnectedState(&flags, 0)) {
    error.clear();
    return true;
  }
  error = LastErrorText();
  return false;
}

std::int64_t HTTP_GetFileSize(const std::string& url) {
  HTTP_WarmUp(url);
  std::int64_t size = -1;
  const wininet::Handle internet = HTTP_OpenInternet(http::kProbeAgent);
  if (internet) {
    const wininet::Handle request(wininet::OpenUrl(internet.get(), url.c_str(), nullptr, 0, 0, 0));
    if (request) size = HTTP_ContentLength(request.get());
  }
  Trace() << "HTTP_GetFileSize=" << size << "  " << url << EndLine;
  return size;
}

bool HTTP_DownloadFile(HWND window, const std::string& url, const std::string& destination,
                       std::string& memory, TProgBar* relay, std::string& error) {
  return HTTP_DownloadFile_Incremental(window, url, destination, memory, relay, error);
}

bool HTTP_DownloadFile_Incremental(HWND window, const std::string& url,
                                   const std::string& destination, std::string& memory,
                                   TProgBar* relay, std::string& error) {
  memory.clear();
  HTTP_WarmUp(url);
  Transfer t(url, destination, memory, relay);
  error = Download(window, t);
  if (!error.empty()) TracePid() << " HTTP_DownloadFile_Incremental: " << error << EndLine;
  return error.empty();
}

void HTTP_WarmUp(const std::string& url) {
  const wininet::Handle internet = HTTP_OpenInternet(http::kProbeAgent);
  if (!internet) return;
  const wininet::Handle request(wininet::OpenUrl(internet.get(), url.c_str(), nullptr, 0, 0, 0));
}

wininet::Handle HTTP_OpenInternet(const char* agent) {
  return wininet::Handle(wininet::Open(agent, INTERNET_OPEN_TYPE_PRECONFIG, "", nullptr, 0));
}

wininet::Handle HTTP_OpenUrl(HINTERNET internet, const std::string& url) {
  const std::string address = http::RequestUrl(url);
  return wininet::Handle(
      wininet::OpenUrl(internet, address.c_str(), nullptr, 0, kDownloadFlags, 0));
}

std::int64_t HTTP_ContentLength(HINTERNET request) {
  DWORD value = 0;
  DWORD length = sizeof(value);
  if (!wininet::QueryInfo(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
                          &length, nullptr))
    return -1;
  return value;
}

std::uint32_t HTTP_LastModified(HINTERNET request) {
  SYSTEMTIME time{};
  DWORD length = sizeof(time);
  FILETIME fileTime{};
  WORD dosDate = 0;
  WORD dosTime = 0;
  if (!wininet::QueryInfo(request, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &time,
                          &length, nullptr) ||
      !SystemTimeToFileTime(&time, &fileTime) ||
      !FileTimeToDosDateTime(&fileTime, &dosDate, &dosTime))
    return 0;
  return (static_cast<std::uint32_t>(dosDate) << 16) | dosTime;
}

void SetInternetTimeouts(HINTERNET internet, DWORD ms) {
  const DWORD options[] = {INTERNET_OPTION_CONNECT_TIMEOUT,  INTERNET_OPTION_RECEIVE_TIMEOUT,
                           INTERNET_OPTION_SEND_TIMEOUT,     INTERNET_OPTION_RECEIVE_TIMEOUT,
                           INTERNET_OPTION_SEND_TIMEOUT,     INTERNET_OPTION_DATA_RECEIVE_TIMEOUT,
                           INTERNET_OPTION_DATA_SEND_TIMEOUT};
  for (const DWORD option : options) {
    DWORD value = ms;
    wininet::SetOption(internet, option, &value, sizeof(value));
  }
}

void DeletePartialFiles(const std::string& destination) {
  const std::size_t cut = destination.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? "" : destination.substr(0, cut + 1);
  const std::string name = destination.substr(folder.size());
  WIN32_FIND_DATAA found{};
  const win::UniqueFindHandle find(FindFirstFileA((destination + ".*").c_str(), &found));
  if (!find) return;
  // The system's pattern also matches the destination itself and names like "Setup.exe.config";
  // only the partial files of this destination go.
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        http::IsPartialFileName(name, found.cFileName))
      DeleteFileA((folder + found.cFileName).c_str());
  } while (FindNextFileA(find.get(), &found));
}
