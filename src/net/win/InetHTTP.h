// InetHTTP: the HTTP client: connection state, size queries and downloads in chunks, into a file
// (through a partial file that takes the destination's name only when complete) or into memory,
// with progress, message pumping between chunks and the abort flag. Failures come back as texts.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

#include "net/DownloadAbort.h"
#include "net/HttpRules.h"
#include "net/InetSteps.h"
#include "net/win/WinINet.h"

class TProgBar;

// True when the system reports a connection; otherwise error is the system's text for it.
bool IsInternetConnected(std::string& error);

// The content length the server announces for url (opened as given); -1 when it cannot be
// opened or gives none. Traced as "HTTP_GetFileSize=<n>  <url>".
std::int64_t HTTP_GetFileSize(const std::string& url);

// Downloads url into destination, or into memory when destination is empty. window: shown when
// the download starts (null or a value up to 10: none). relay: progress, may be null. error is
// emptied and set on failure; true when it stays empty. A file download replaces destination
// only when the whole file arrived; a failed or aborted one leaves destination as it was.
bool HTTP_DownloadFile(HWND window, const std::string& url, const std::string& destination,
                       std::string& memory, TProgBar* relay, std::string& error);
bool HTTP_DownloadFile_Incremental(HWND window, const std::string& url,
                                   const std::string& destination, std::string& memory,
                                   TProgBar* relay, std::string& error);

// ---- Steps of the operations, open for the tests ------------------------------------------

// Opens and closes url once with the probe agent; failures are ignored.
void HTTP_WarmUp(const std::string& url);
// An internet handle with the given agent name and the system's proxy settings.
wininet::Handle HTTP_OpenInternet(const char* agent);
// A GET request for http::RequestUrl(url), always from the server and never into the cache.
wininet::Handle HTTP_OpenUrl(HINTERNET internet, const std::string& url);
// The announced content length; -1 when there is none.
std::int64_t HTTP_ContentLength(HINTERNET request);
// The last-modified time as a packed DOS date-time (date high, time low, no zone conversion); 0
// when there is none or it has no DOS form.
std::uint32_t HTTP_LastModified(HINTERNET request);
// Connect, send and receive time-outs (and the data time-outs) all set to ms.
void SetInternetTimeouts(HINTERNET internet, DWORD ms);
// Deletes the earlier partial files of destination (destination + "." + digits).
void DeletePartialFiles(const std::string& destination);
