// WebSetup: WebSetupTick and WebDownload, the web installer's way to its setup file.
#include "payload/win/WebSetup.h"

#include <windows.h>

#include "core/KDebug.h"
#include "core/ProcessFacts.h"
#include "core/StubState.h"
#include "core/win/ProcessSwitches.h"
#include "core/win/StubWin.h"
#include "net/CommUtils.h"
#include "net/win/InetHTTP.h"
#include "payload/TGFileInfo.h"
#include "payload/WebSetupRules.h"
#include "payload/win/Files.h"
#include "payload/win/SetupFolder.h"
#include "payload/win/StubSetup.h"
#include "ui/KMsgBox.h"
#include "ui/KMsgBoxPump.h"
#include "ui/KProgBar.h"
#include "ui/win/ProgressCaption.h"

namespace {

constexpr const char* kDefaultButtons = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
constexpr const char* kDefaultCaption = "Downloading File...";
constexpr const char* kDefaultQuestion =
    "<b>INTERNET DOWNLOAD</b><p><p>Tarvo will download the Setup File from the Internet...<p>"
    "Please make sure your Internet connection is properly set.<p><p>Continue with Setup?<p><P>"
    "Size: <SIZE> MB<P>";
constexpr const char* kDefaultNoConnection =
    "No valid Internet Connection.<p>Can not Download File!";
constexpr const char* kBadToken = "Bad Secret Token!";
// The answer No: nothing to show unless something else went wrong too.
constexpr const char* kDeclined = "!";

std::string Buttons() {
  return FileInfo().GetLangString("BtnText", kDefaultButtons);
}

// The program file as it is, cut back to its real end when only a little follows it, with the
// agent flag set, beside the extracted files and with the program's date.
void WriteWebAgentCopy(const std::string& agentName) {
  const std::string program = ProgramFullPath();
  const std::string image = ReadFileBytes(program, 0, 0);
  const std::string target = JoinPath(SetupFolder(), agentName);
  if (image.empty() ||
      !WriteStringToFile(target, websetup::WebAgentImage(image), FileDosDateTime(program), false))
    TracePid() << " WebSetupTick: no agent copy written to " << target << EndLine;
}

// The question before a download; false when the user declines.
bool UserAgrees() {
  const TGFileInfo& own = FileInfo();
  const std::string text =
      websetup::DownloadQuestion(own.GetLangString("s11", kDefaultQuestion), own.GetWebFileSize());
  return AskYesNo(0, text, own.GetLangString("Confirm", "Confirm"), Buttons(),
                  own.GetLangCharset());
}

// Asks, checks the connection and downloads url into file; the error text ("!" when the user
// declined).
std::string FetchSetupFile(const std::string& url, const std::string& file, bool hide) {
  const TGFileInfo& own = FileInfo();
  std::string error;
  SetProgressCaption(StubWin::CaptionLabel(), own.GetLangString("s10", kDefaultCaption),
                     own.GetLangFontName(), own.GetLangCharset(), own.GetLangFontSize());
  if (own.AskBeforeDownload() && !hide && !UserAgrees()) error = kDeclined;
  std::string why;
  if (!IsInternetConnected(why)) {
    error = own.GetLangString("s12", kDefaultNoConnection);
    if (!why.empty()) error += "<P><P>" + why;
  }
  SetDownloadAbort(false);
  TProgBar& relay = ProgBar();
  if (error.empty()) {
    std::string memory;
    HTTP_DownloadFile(hide ? nullptr : StubWin::MainWindow(), url, file, memory, &relay, error);
  }
  return error;
}

}  // namespace

void WebSetupTick() {
  const TGFileInfo& own = FileInfo();
  std::string address = own.GetWebAddress();
  const std::string agentName = own.MakesAgent() ? own.GetAgentFileName() : "";
  if (!agentName.empty()) WriteWebAgentCopy(agentName);
  if (!own.IsWebAlwaysDownload()) {
    const std::string folder = websetup::FolderOfProgram(ProgramFullPath());
    if (FileExists(websetup::LocalSetupFile(folder, own.GetWebFileName()))) address = folder;
  }
  WebDownload(SetupFolder(), address, own.GetWebFileName());
}

void WebDownload(const std::string& folder, const std::string& address,
                 const std::string& fileName) {
  const TGFileInfo& own = FileInfo();
  const bool hide = HasSwitch("/hide") || own.IsHidden();
  const std::string url = address + "/" + fileName;
  std::string error;
  bool deleteAfter = false;
  std::string file = websetup::LocalSetupFile(address, fileName);
  if (!FileExists(file)) {
    file = SystemTempFolder() + fileName;
    error = FetchSetupFile(url, file, hide);
    deleteAfter = error.empty();
    YieldWait(0, 300);
    ProgressProc(progress::kSet, 0, 10, 0, 1, "");
    YieldWait(0, 700);
  }
  if (error.empty()) {
    const TGFileInfo setup(file);
    // An HTML error page gets its own text; any other foreign file is refused by its token.
    if (!setup.SameWebToken(own)) CheckHtmlErrorPage(file, "", url, error, kBadToken);
  }
  if (error.empty()) RunSetup(folder, file, "", !hide, CommandArguments());
  if (deleteAfter) DeleteFileA(file.c_str());
  if (!error.empty() && error != kDeclined)
    ShowErrorBox(0, error, own.GetLangString("Error", "Error"), Buttons(), own.GetLangCharset());
}
