// End-to-end runs of web installers built with tarvo-pack under Wine, against real HTTP servers on
// 127.0.0.1 that the tests start and stop: the question with the size, the download with the
// progress window, the token check, the run of the setup file and its deletion; "/hide"; a setup
// file beside the web installer; the agent copy; and every failure the user gets to see.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "HttpTestServer.h"
#include "InstallerRun.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "payload/TempSpace.h"
#include "payload/win/Files.h"
#include "tarvo-pack/Cli.h"

namespace {

using wintest::HttpReply;
using wintest::HttpRequest;
using wintest::HttpTestServer;

struct WebBuild {
  std::string address;  // [Web] Address
  bool alwaysDownload = false;
  bool ask = true;
  bool makeAgent = false;
  std::string token;  // [Web] Token; empty: drawn
};

// One built web installer: the setup file in the server's folder, the web installer beside the
// report folder, and a file name no other test uses (the download lands in the shared temporary
// folder).
struct WebSite {
  WebSite() {
    static unsigned counter = 0;
    folder = SystemTempFolder() + "tarvo_web_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++counter);
    RemoveTree(folder, true);
    ForceDirectories(folder);
  }
  ~WebSite() { RemoveTree(folder, true); }
  WebSite(const WebSite&) = delete;
  WebSite& operator=(const WebSite&) = delete;
  std::string File(const std::string& name) const { return folder + "\\" + name; }

  std::string folder, serverFolder, report, setupName, setup, web;
};

WebBuild From(const std::string& address) {
  WebBuild b;
  b.address = address;
  return b;
}

std::string Q(const std::string& path) {
  return "\"" + path + "\"";
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string UniqueSetupName() {
  static int counter = 0;
  return "WebSetupH" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) +
         ".exe";
}

// Builds with tarvo-pack's own command line, in this process; empty when built, else why not.
std::string Build(WebSite& site, const WebBuild& b) {
  site.serverFolder = site.File("srv");
  site.report = site.File("report");
  CreateDirectoryA(site.serverFolder.c_str(), nullptr);
  CreateDirectoryA(site.report.c_str(), nullptr);
  site.setupName = UniqueSetupName();
  site.setup = site.serverFolder + "\\" + site.setupName;
  site.web = site.File("Web.exe");
  const std::string readme = site.File("readme.txt");
  WriteStringToFile(readme, "Read me.", 0, false);
  std::ostringstream ini;
  ini << "[Installer]\nStub = " << wintest::BesideTests("tarvostub.exe")
      << "\nOutput = " << site.setup << "\nMakeAgent = " << (b.makeAgent ? 1 : 0) << "\n"
      << "[Engine]\nFile = " << wintest::BesideTests("engine_standin.exe")
      << "\nArguments = /E_report=" << site.report << "\n"
      << "[Product Files]\nFile = " << readme << "\n"
      << "[Update]\nAgentFile = Agent.exe\n"
      << "[Web]\nAddress = " << b.address << "\nFileName = " << site.setupName
      << "\nOutput = " << site.web << "\nAlwaysDownload = " << (b.alwaysDownload ? 1 : 0)
      << "\nAskBeforeDownload = " << (b.ask ? 1 : 0) << "\n";
  if (!b.token.empty()) ini << "Token = " << b.token << "\n";
  const std::string project = site.File("web.tarvo");
  WriteStringToFile(project, ini.str(), 0, false);
  std::ostringstream out, err;
  tarvopack::CliContext context{out, err, false, std::nullopt, 0, 1};
  const int code = tarvopack::RunTarvoPack({"build", project, "--seed", "7"}, context);
  return code == 0 ? "" : "tarvo-pack: " + err.str();
}

std::string TempCopy(const std::string& name) {
  return SystemTempFolder() + name;
}

// Requests for the setup file (the warm-up and the download each make one).
int SetupRequests(const HttpTestServer& server, const std::string& name) {
  int n = 0;
  for (const HttpRequest& r : server.Requests()) n += r.target == "/dl/" + name ? 1 : 0;
  return n;
}

int AnswerYes(const boxdriver::BoxContents& box) {
  const int yes = e2e::ButtonIndex(box, "Yes");
  return yes >= 0 ? yes : 0;
}

TEST(WebSetup, AsksWithTheSizeDownloadsChecksTheTokenRunsTheSetupAndDeletesTheDownload) {
  WebSite site;
  HttpTestServer files(HttpTestServer::Files(site.File("srv")));
  ASSERT_EQ(Build(site, From(files.Url("/dl"))), "");
  const std::int64_t size = FileSizeByName(site.setup);
  ASSERT_GT(size, 0);

  wintest::TraceCapture capture;
  const auto run = e2e::RunInstaller(capture, Q(site.web), site.web, AnswerYes);
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.boxes.size(), 1u);
  const boxdriver::BoxContents& question = run.boxes[0].contents;
  EXPECT_EQ(question.caption, "Confirm");
  EXPECT_TRUE(Has(question.text, "INTERNET DOWNLOAD")) << question.text;
  EXPECT_TRUE(Has(question.text, "Size: " + FormatMB(static_cast<double>(size)) + " MB"))
      << question.text;
  EXPECT_TRUE(run.windowShown) << "the download shows the progress window";
  EXPECT_EQ(SetupRequests(files, site.setupName), 2) << "the warm-up and the download";
  const std::vector<HttpRequest> requests = files.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().Header("User-Agent"), "HTTP_Connect_3");

  const e2e::EngineReport engine = e2e::ReadEngineReport(site.report);
  ASSERT_TRUE(engine.present) << "the downloaded setup file ran through RunSetup";
  EXPECT_EQ(engine.show, SW_SHOW);
  EXPECT_TRUE(engine.files.count("00001#readme.txt")) << "the product file came with it";
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(FileExists(TempCopy(site.setupName))) << "the download is deleted afterwards";
}

TEST(WebSetup, HiddenRunsAskNothingAndRunTheSetupHidden) {
  WebSite site;
  HttpTestServer files(HttpTestServer::Files(site.File("srv")));
  ASSERT_EQ(Build(site, From(files.Url("/dl"))), "");
  wintest::TraceCapture capture;
  const auto run = e2e::RunInstaller(capture, Q(site.web) + " /hide", site.web, AnswerYes);
  ASSERT_TRUE(run.ended);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_FALSE(run.windowShown) << "no owner window for the download";
  const e2e::EngineReport engine = e2e::ReadEngineReport(site.report);
  ASSERT_TRUE(engine.present);
  EXPECT_EQ(engine.show, SW_HIDE);
  EXPECT_EQ(SetupRequests(files, site.setupName), 2);
  EXPECT_FALSE(FileExists(TempCopy(site.setupName)));
}

// A setup file beside the web installer is used as it is, unless the web block says to download
// anyway.
TEST(WebSetup, ASetupFileBesideTheWebInstallerIsUsedUnlessAlwaysDownload) {
  struct Case {
    const char* name;
    bool alwaysDownload;
    int requests;
    size_t boxes;
  } cases[] = {{"beside: used, no question", false, 0, 0}, {"always download", true, 2, 1}};
  for (const Case& c : cases) {
    WebSite site;
    HttpTestServer files(HttpTestServer::Files(site.File("srv")));
    WebBuild b = From(files.Url("/dl"));
    b.alwaysDownload = c.alwaysDownload;
    ASSERT_EQ(Build(site, b), "") << c.name;
    const std::string beside = site.File(site.setupName);
    ASSERT_TRUE(CopyFileA(site.setup.c_str(), beside.c_str(), FALSE)) << c.name;
    wintest::TraceCapture capture;
    const auto run = e2e::RunInstaller(capture, Q(site.web), site.web, AnswerYes);
    ASSERT_TRUE(run.ended) << c.name;
    EXPECT_EQ(run.boxes.size(), c.boxes) << c.name;
    EXPECT_EQ(SetupRequests(files, site.setupName), c.requests) << c.name;
    EXPECT_TRUE(e2e::ReadEngineReport(site.report).present) << c.name;
    EXPECT_TRUE(FileExists(beside)) << c.name << ": the file beside it is never deleted";
    EXPECT_FALSE(FileExists(TempCopy(site.setupName))) << c.name;
  }
}

// The agent copy lies in the setup folder beside the engine, which reports it.
TEST(WebSetup, TheAgentCopyIsCutAtTheRealEndWhenLittleFollowsIt) {
  struct Case {
    const char* name;
    size_t appended;
    bool cut;
  } cases[] = {{"nothing appended", 0, true},
               {"9999 bytes appended: cut", 9999, true},
               {"12000 bytes appended: kept", 12000, false}};
  for (const Case& c : cases) {
    WebSite site;
    HttpTestServer files(HttpTestServer::Files(site.File("srv")));
    WebBuild b = From(files.Url("/dl"));
    b.makeAgent = true;
    ASSERT_EQ(Build(site, b), "") << c.name;
    const std::string built = wintest::TempFolder::Read(site.web);
    const std::string image = built + std::string(c.appended, '\x5A');
    ASSERT_TRUE(WriteStringToFile(site.web, image, 0, false)) << c.name;
    std::string expected = c.cut ? built : image;
    expected[built.size() - 5] = 1;  // the trailer's agent flag
    wintest::TraceCapture capture;
    const auto run = e2e::RunInstaller(capture, Q(site.web) + " /hide", site.web, AnswerYes);
    ASSERT_TRUE(run.ended) << c.name;
    const e2e::EngineReport engine = e2e::ReadEngineReport(site.report);
    ASSERT_TRUE(engine.present) << c.name;
    ASSERT_TRUE(engine.files.count("Agent.exe")) << c.name;
    EXPECT_EQ(engine.files.at("Agent.exe").size, expected.size()) << c.name;
    EXPECT_EQ(engine.files.at("Agent.exe").crc, e2e::Crc32(expected)) << c.name;
  }
}

// What the user is told when the setup file cannot be had; nothing runs.
TEST(WebSetup, FailuresEndInAnErrorBoxAndRunNothing) {
  HttpReply zero;
  zero.declaredLength = 0;
  HttpReply foreign;
  foreign.body = std::string("MZ") + std::string(3000, '\x90');
  HttpReply brokenOff;  // chunked, stopped halfway: the truncated file fails its token check
  brokenOff.chunked = true;
  brokenOff.piece = 4096;
  struct Case {
    const char* name;
    int kind;  // 0 scripted reply, 1 file server without the file, 2 no server
    HttpReply reply;
    std::string want;  // {url} stands for the setup file's address
    bool fileLeft;     // the download stays in the temporary folder
  } cases[] = {
      {"content length 0", 0, zero, "{url} --- File Not Found !", false},
      {"404 page", 1, {}, "404 File Not Found...\r\n\r\nURL:  {url}.", false},
      {"foreign file", 0, foreign, "Bad Secret Token!", false},
      {"chunked, broken off", 0, brokenOff, "Bad Secret Token!", false},
      {"no server", 2, {}, "Unable to open Internet Connection: {url}", false},
  };
  for (Case& c : cases) {
    WebSite site;
    HttpTestServer files(HttpTestServer::Files(site.File("srv")));
    std::string setupBytes;
    HttpTestServer scripted([&c, &setupBytes](const HttpRequest&) {
      HttpReply r = c.reply;
      if (c.reply.chunked) {
        r.body = setupBytes;
        r.cutAfter = setupBytes.size() / 2;
      }
      return r;
    });
    const std::string base =
        c.kind == 0   ? scripted.Url("/dl")
        : c.kind == 1 ? files.Url("/dl")
                      : "http://127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort()) + "/dl";
    WebBuild b = From(base);
    b.ask = false;
    ASSERT_EQ(Build(site, b), "") << c.name;
    setupBytes = wintest::TempFolder::Read(site.setup);
    if (c.kind == 1) DeleteFileA(site.setup.c_str());
    const std::string url = base + "/" + site.setupName;
    std::string want = c.want;
    if (want.find("{url}") != std::string::npos) want.replace(want.find("{url}"), 5, url);

    wintest::TraceCapture capture;
    const auto run = e2e::RunInstaller(capture, Q(site.web), site.web, AnswerYes);
    ASSERT_TRUE(run.ended) << c.name;
    ASSERT_EQ(run.boxes.size(), 1u) << c.name;
    EXPECT_EQ(run.boxes[0].contents.caption, "Error") << c.name;
    EXPECT_TRUE(Has(run.boxes[0].contents.text, want))
        << c.name << ": " << run.boxes[0].contents.text;
    EXPECT_FALSE(e2e::ReadEngineReport(site.report).present) << c.name << ": nothing ran";
    EXPECT_EQ(FileExists(TempCopy(site.setupName)), c.fileLeft) << c.name;
    DeleteFileA(TempCopy(site.setupName).c_str());
  }
}

TEST(WebSetup, NoMeansNoDownloadAndNoMessage) {
  WebSite site;
  HttpTestServer files(HttpTestServer::Files(site.File("srv")));
  ASSERT_EQ(Build(site, From(files.Url("/dl"))), "");
  wintest::TraceCapture capture;
  const auto run = e2e::RunInstaller(
      capture, Q(site.web), site.web,
      [](const boxdriver::BoxContents& box) { return e2e::ButtonIndex(box, "No"); });
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.boxes.size(), 1u) << "the question only";
  EXPECT_EQ(SetupRequests(files, site.setupName), 0);
  EXPECT_FALSE(e2e::ReadEngineReport(site.report).present);
}

// The first close request of the main window aborts the download: the user is told, nothing
// runs, and the download's destination does not appear (its partial file stays).
TEST(WebSetup, ClosingTheWindowAbortsTheDownload) {
  WebSite site;
  std::string setupBytes;
  HttpTestServer slow([&setupBytes](const HttpRequest&) {
    HttpReply r;
    r.body = setupBytes;
    r.piece = 2048;
    r.pauseMs = 50;  // far longer than the test waits
    return r;
  });
  WebBuild b = From(slow.Url("/dl"));
  b.ask = false;
  ASSERT_EQ(Build(site, b), "");
  setupBytes = wintest::TempFolder::Read(site.setup);
  std::thread closer([&site] {
    HWND window = nullptr;
    for (int i = 0; i < 400 && (window == nullptr || !IsWindowVisible(window)); ++i) {
      Sleep(50);
      window = FindWindowA(site.web.c_str(), nullptr);
    }
    Sleep(500);  // well into the download
    PostMessageA(window, WM_CLOSE, 0, 0);
  });
  wintest::TraceCapture capture;
  const auto run = e2e::RunInstaller(capture, Q(site.web), site.web, AnswerYes);
  closer.join();
  ASSERT_TRUE(run.ended);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_TRUE(Has(run.boxes[0].contents.text, "Download Aborted")) << run.boxes[0].contents.text;
  EXPECT_FALSE(e2e::ReadEngineReport(site.report).present);
  const std::string destination = TempCopy(site.setupName);
  EXPECT_FALSE(FileExists(destination));
  WIN32_FIND_DATAA found{};
  const win::UniqueFindHandle partial(FindFirstFileA((destination + ".*").c_str(), &found));
  EXPECT_TRUE(partial) << "the partial file stays";
  DeleteFilesByMask(destination + ".*", true);
}

}  // namespace
