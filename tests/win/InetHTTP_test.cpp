// The HTTP client under Wine against real servers on 127.0.0.1 that the tests start and stop:
// downloads into files and memory, chunks and progress, the request's details, the partial file,
// every failure text, the abort flag, chunked transfers, https addresses and the size query.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "HttpTestServer.h"
#include "TraceCapture.h"
#include "WinTempFolder.h"
#include "core/win/KDebugOutput.h"
#include "net/CommUtils.h"
#include "net/win/InetHTTP.h"
#include "payload/win/Files.h"
#include "ui/KProgBar.h"

namespace {

using wintest::HttpReply;
using wintest::HttpRequest;
using wintest::HttpTestServer;
using wintest::TempFolder;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  unsigned seed = static_cast<unsigned>(size);
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return bytes;
}

// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const win::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!find) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (FindNextFileA(find.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

// Every reply the same.
wintest::HttpHandler Always(const HttpReply& reply) {
  return [reply](const HttpRequest&) { return reply; };
}

struct ProgressCall {
  int kind;
  std::int64_t maximum, position, step;
};
std::vector<ProgressCall> progressCalls;

void RecordProgress(int kind, int, std::int64_t maximum, std::int64_t position, std::int64_t step,
                    const std::string&) {
  progressCalls.push_back({kind, maximum, position, step});
}

int Steps() {
  return static_cast<int>(std::count_if(progressCalls.begin(), progressCalls.end(),
                                        [](const ProgressCall& c) { return c.kind == 1; }));
}

// A download into folder\name (or memory when name is empty) with a recording relay.
struct Outcome {
  bool ok = false;
  std::string error, memory;
};
Outcome Fetch(const std::string& url, const std::string& destination, HWND window = nullptr) {
  progressCalls.clear();
  SetDownloadAbort(false);
  TProgBar relay(&RecordProgress);
  Outcome o;
  o.ok = HTTP_DownloadFile(window, url, destination, o.memory, &relay, o.error);
  return o;
}

TEST(InetHTTP, DownloadsIntoAFileOrIntoMemoryWithTheAgentNamesAndTheWindowShown) {
  const std::string body = Pattern(1000);
  HttpReply reply;
  reply.body = body;
  HttpTestServer server(Always(reply));
  ASSERT_TRUE(server.Ready());
  TempFolder dir;
  const HWND window = CreateWindowA("STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                    nullptr, nullptr, nullptr);

  const Outcome toFile = Fetch(server.Url("/dl/Setup.exe"), dir.File("Setup.exe"), window);
  EXPECT_TRUE(toFile.ok) << toFile.error;
  EXPECT_EQ(toFile.error, "");
  EXPECT_EQ(TempFolder::Read(dir.File("Setup.exe")), body);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"Setup.exe"}) << "no partial file left";
  EXPECT_TRUE(IsWindowVisible(window)) << "the owner window is shown";
  DestroyWindow(window);

  const std::vector<HttpRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u) << "the warm-up, then the download";
  EXPECT_EQ(requests[0].Header("User-Agent"), "HTTP_Connect_2");
  EXPECT_EQ(requests[1].Header("User-Agent"), "HTTP_Connect_3");
  for (const HttpRequest& r : requests) {
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.target, "/dl/Setup.exe");
  }

  const Outcome toMemory = Fetch(server.Url("/info.txt"), "");
  EXPECT_TRUE(toMemory.ok) << toMemory.error;
  EXPECT_EQ(toMemory.memory, body);
  EXPECT_EQ(FilesIn(dir.Path()).size(), 1u) << "nothing written for a download into memory";
}

TEST(InetHTTP, AThousandBytesComeInTenChunksOnAnElevenStepBar) {
  struct Case {
    std::size_t size;
    std::int64_t maximum;
    int steps;
  } cases[] = {{1000, 11, 10}, {5, 6, 5}, {100000, 14, 13}};
  for (const Case& c : cases) {
    HttpReply reply;
    reply.body = Pattern(c.size);
    HttpTestServer server(Always(reply));
    TempFolder dir;
    const Outcome o = Fetch(server.Url("/f.bin"), dir.File("f.bin"));
    EXPECT_TRUE(o.ok) << c.size << ": " << o.error;
    ASSERT_FALSE(progressCalls.empty()) << c.size;
    EXPECT_EQ(progressCalls[0].kind, 0) << c.size;
    EXPECT_EQ(progressCalls[0].position, 1) << c.size;
    EXPECT_EQ(progressCalls[0].maximum, c.maximum) << c.size;
    EXPECT_EQ(progressCalls[0].step, 1) << c.size;
    EXPECT_EQ(Steps(), c.steps) << c.size << ": one step per chunk of a tenth (at most 8192)";
  }
}

// Replies that must not become the destination, and the texts they give.
TEST(InetHTTP, FailuresLeaveTheDestinationAsItWasAndSayWhy) {
  const std::string body = Pattern(5000);
  HttpReply empty;
  empty.declaredLength = 0;
  HttpReply cut;
  cut.body = body;
  cut.cutAfter = 2000;
  struct Case {
    const char* name;
    HttpReply reply;
    bool server;
    std::string path;
    std::string wantError;  // "*" followed by text: the error starts with the text
    bool partialLeft;
  } cases[] = {
      {"content length 0", empty, true, "/zero.exe", "{url} --- File Not Found !", false},
      {"no server", {}, false, "/gone.exe", "Unable to open Internet Connection: {url}", false},
      {"connection closed mid-body", cut, true, "/cut.exe", "*cut.exe --- Error downloading file (",
       true},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const std::string destination = dir.Write("Setup.exe", "the old file");
    const unsigned short closed = HttpTestServer::ClosedPort();
    HttpTestServer server(Always(c.reply));
    const std::string url =
        c.server ? server.Url(c.path) : "http://127.0.0.1:" + std::to_string(closed) + c.path;
    wintest::TraceCapture capture;
    InstallTraceStream();
    const Outcome o = Fetch(url, destination);
    std::string want = c.wantError;
    const std::size_t at = want.find("{url}");
    if (at != std::string::npos) want.replace(at, 5, url);
    EXPECT_FALSE(o.ok) << c.name;
    if (want[0] == '*')
      EXPECT_EQ(o.error.rfind(want.substr(1), 0), 0u) << c.name << ": " << o.error;
    else
      EXPECT_EQ(o.error, want) << c.name;
    EXPECT_EQ(TempFolder::Read(destination), "the old file") << c.name;
    EXPECT_EQ(FilesIn(dir.Path()).size(), c.partialLeft ? 2u : 1u) << c.name;
    EXPECT_TRUE(capture.WaitForLine(
        std::to_string(GetCurrentProcessId()) + " HTTP_DownloadFile_Incremental: " + o.error, 2000))
        << c.name << ": the error is traced";
  }
}

TEST(InetHTTP, AnHtmlErrorPageIsDownloadedAndThenRecognised) {
  HttpTestServer server(HttpTestServer::Files("C:\\nowhere"));
  TempFolder dir;
  const std::string url = server.Url("/Setup.exe");
  const Outcome o = Fetch(url, dir.File("Setup.exe"));
  EXPECT_TRUE(o.ok) << "the client takes any complete reply: " << o.error;
  std::string error;
  EXPECT_TRUE(CheckHtmlErrorPage(dir.File("Setup.exe"), "", url, error, "Bad Secret Token!"));
  EXPECT_EQ(error, HtmlNotFoundText(url));
}

TEST(InetHTTP, ResponsesWithoutALengthAreReadToTheirEnd) {
  const std::string body = Pattern(30000);
  HttpReply chunked;
  chunked.body = body;
  chunked.chunked = true;
  chunked.piece = 7000;
  HttpReply closeDelimited;
  closeDelimited.body = body;
  closeDelimited.contentLength = false;
  // Wine's library reports the end of a chunked transfer that the server broke off (no final
  // empty chunk) exactly like a proper end, so the client cannot tell: what came is taken, and
  // the callers' content checks (token, checksum) have the last word.
  HttpReply chunkedCut = chunked;
  chunkedCut.cutAfter = 14000;
  struct Case {
    const char* name;
    HttpReply reply;
    std::string got;
  } cases[] = {{"chunked", chunked, body},
               {"ended by closing", closeDelimited, body},
               {"chunked, broken off", chunkedCut, body.substr(0, 14000)}};
  for (const Case& c : cases) {
    HttpTestServer server(Always(c.reply));
    TempFolder dir;
    const Outcome o = Fetch(server.Url("/s.exe"), dir.File("s.exe"));
    EXPECT_TRUE(o.ok) << c.name << ": " << o.error;
    EXPECT_EQ(TempFolder::Read(dir.File("s.exe")), c.got) << c.name;
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"s.exe"}) << c.name;
    EXPECT_EQ(progressCalls.at(0).maximum, http::kUnknownProgressMaximum) << c.name;
    const Outcome m = Fetch(server.Url("/s.txt"), "");
    EXPECT_EQ(m.memory, c.got) << c.name << ": into memory";
    EXPECT_EQ(HTTP_GetFileSize(server.Url("/s.exe")), -1) << c.name << ": no size announced";
  }
}

TEST(InetHTTP, EarlierPartialFilesAreDeletedBeforeANewDownload) {
  HttpReply good;
  good.body = Pattern(3000);
  HttpReply cut = good;
  cut.cutAfter = 1000;
  struct Case {
    const char* name;
    HttpReply reply;
    std::string destination;  // afterwards
  } cases[] = {{"download completes", good, good.body}, {"download fails", cut, "old"}};
  for (const Case& c : cases) {
    TempFolder dir;
    dir.Write("Setup.exe", "old");
    dir.Write("Setup.exe.123", "partial 1");
    dir.Write("SETUP.EXE.4000000000", "partial 2");
    dir.Write("Setup.exe.config", "not ours");
    dir.Write("Setup.exe.1a", "not ours either");
    HttpTestServer server(Always(c.reply));
    Fetch(server.Url("/Setup.exe"), dir.File("Setup.exe"));
    std::vector<std::string> files = FilesIn(dir.Path());
    files.erase(std::remove_if(
                    files.begin(), files.end(),
                    [](const std::string& f) { return http::IsPartialFileName("Setup.exe", f); }),
                files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Setup.exe", "Setup.exe.1a", "Setup.exe.config"}))
        << c.name;
    EXPECT_EQ(TempFolder::Read(dir.File("Setup.exe")), c.destination) << c.name;
    EXPECT_EQ(TempFolder::Read(dir.File("Setup.exe.123")), "") << c.name;
    EXPECT_EQ(TempFolder::Read(dir.File("SETUP.EXE.4000000000")), "") << c.name;
  }
}

void CALLBACK AbortSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SetDownloadAbort(true);
}

TEST(InetHTTP, TheAbortFlagEndsADownloadAndKeepsTheDestination) {
  HttpReply slow;
  slow.body = Pattern(10000);
  slow.piece = 100;
  slow.pauseMs = 30;  // three seconds in all
  slow.headers = {{"Last-Modified", "Tue, 15 Nov 1994 08:12:31 GMT"}};
  HttpTestServer server(Always(slow));
  TempFolder dir;
  const std::string destination = dir.Write("Setup.exe", "the old file");
  progressCalls.clear();
  SetDownloadAbort(false);
  SetTimer(nullptr, 0, 400, &AbortSoon);  // fires in the download's message pumping
  TProgBar relay(&RecordProgress);
  std::string memory, error;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(
      HTTP_DownloadFile(nullptr, server.Url("/Setup.exe"), destination, memory, &relay, error));
  EXPECT_LT(GetTickCount() - start, 2500u) << "ended long before the server would have";
  EXPECT_EQ(error, "Download Aborted");
  SetDownloadAbort(false);
  EXPECT_EQ(TempFolder::Read(destination), "the old file");
  // The partial file stays, named with size plus the server's date (1994-11-15 08:12:31).
  const std::uint32_t dosDate = ((1994 - 1980) << 9) | (11 << 5) | 15;
  const std::uint32_t dosTime = (8 << 11) | (12 << 5) | (31 / 2);
  const std::string partial = http::PartialFileName(destination, 10000, (dosDate << 16) | dosTime);
  const std::string got = TempFolder::Read(partial);
  EXPECT_GT(got.size(), 0u) << partial;
  EXPECT_LT(got.size(), 10000u);
  EXPECT_EQ(got, slow.body.substr(0, got.size()));
}

TEST(InetHTTP, AnHttpsAddressIsOpenedAsHttps) {
  HttpReply reply;
  reply.body = "plain";
  HttpTestServer server(Always(reply));
  const std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/Setup.exe";
  TempFolder dir;
  const Outcome o = Fetch(url, dir.File("Setup.exe"));
  EXPECT_EQ(o.error, "Unable to open Internet Connection: " + url)
      << "a plain server cannot answer a TLS hello";
  // The client spoke TLS to the server's own port: the address was not made "http://https://...".
  bool tlsHello = false;
  for (const std::string& first : server.FirstBytes())
    tlsHello = tlsHello || (first.size() >= 3 && first[0] == 0x16 && first[1] == 0x03);
  EXPECT_TRUE(tlsHello) << server.FirstBytes().size() << " connections";
}

TEST(InetHTTP, SizeQueryConnectionStateTimeoutsAndUnloading) {
  HttpReply reply;
  reply.body = Pattern(1234);
  HttpTestServer server(Always(reply));
  wintest::TraceCapture capture;
  InstallTraceStream();
  const std::string url = server.Url("/App.exe");
  EXPECT_EQ(HTTP_GetFileSize(url), 1234);
  EXPECT_TRUE(capture.WaitForLine("HTTP_GetFileSize=1234  " + url, 2000));
  const std::string nowhere =
      "http://127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort()) + "/App.exe";
  EXPECT_EQ(HTTP_GetFileSize(nowhere), -1);
  EXPECT_EQ(HTTP_GetFileSize("127.0.0.1/no-scheme"), -1) << "the size query opens as given";

  std::string error = "before";
  EXPECT_TRUE(IsInternetConnected(error)) << "Wine reports a connection: " << error;
  EXPECT_EQ(error, "");

  const wininet::Handle internet = HTTP_OpenInternet(http::kDownloadAgent);
  ASSERT_TRUE(internet);
  SetInternetTimeouts(internet.get(), 180000);
  using QueryFn = BOOL(WINAPI*)(HINTERNET, DWORD, void*, DWORD*);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(wininet::Module(), "InternetQueryOptionA")));
  ASSERT_NE(query, nullptr);
  // Wine answers the query for the connect time-out only; the others it takes without telling.
  DWORD value = 0;
  DWORD length = sizeof(value);
  EXPECT_TRUE(query(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &value, &length));
  EXPECT_EQ(value, 180000u);

  UnloadWinINet();
  EXPECT_EQ(wininet::Module(), nullptr);
  EXPECT_EQ(HTTP_GetFileSize(url), 1234) << "a later call loads the library again";
}

TEST(InetHTTP, AMemoryDownloadStopsAtItsLimit) {
  HttpReply big;
  big.body = std::string(http::kMemoryLimit + 1, 'x');
  big.chunked = true;
  big.piece = 1 << 20;
  HttpTestServer server(Always(big));
  const Outcome o = Fetch(server.Url("/info.txt"), "");
  EXPECT_EQ(o.error, http::TooLargeText("info.txt"));
  EXPECT_LE(o.memory.size(), http::kMemoryLimit);
}

}  // namespace
