// InstallerRun: the end-to-end scenarios' toolkit: builds a test installer from the built stub and
// the engine stand-in with the builder library, runs it like a user (answering its message boxes
// through the box driver, watching its main window), and reads back the stand-in's report.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BoxDriver.h"
#include "ScratchTree.h"
#include "TraceCapture.h"
#include "payload/PayloadWriter.h"

namespace e2e {

// One file of the payload after the engine.
struct Entry {
  std::string name;
  std::string content;
  std::uint32_t dosTime = 0;
  std::string record;  // not empty: this finished record is written instead (damaged, unsafe, ...)
};

struct Payload {
  std::vector<std::pair<std::string, std::string>> language;  // items of the "English" section
  payload::ParameterFields parameters;
  bool withEngine = true;
  std::string engineArgs;  // the engine entry's text after "*"
  std::vector<Entry> files;
  std::uint8_t flags = 0;
  bool makeAgent = false;
  bool checksum = true;
  std::uint32_t requiredSpace = 0;  // 0: the builder's figures for the entries
};

// Engine.exe's entry time in every test installer.
constexpr std::uint32_t kEngineDosTime = 0x5A2B6C3D;

// The built stub, the engine stand-in as "Engine.exe*" first, then the files. False with a reason.
bool WriteTestInstaller(const std::string& path, const Payload& payload, std::string& error);

// A folder under the temporary folder, removed with everything in it when the test ends.
using Scratch = wintest::ScratchTree;

// The usual start of a scenario: the trace capture, a scratch folder with the folder "report"
// made for the engine stand-in's report, and the installer's path beside it.
struct Stage {
  explicit Stage(const std::string& installerName = "setup.exe");
  // "/E_report=<report>": the engine arguments that make the stand-in report there.
  std::string ReportArg() const { return "/E_report=" + report; }
  // Writes p as the installer: empty when written, else the reason.
  std::string Write(const Payload& p) const;

  wintest::TraceCapture capture;
  Scratch scratch;
  const std::string report;
  const std::string installer;
};

// "\"path\"", for a command line.
std::string Quoted(const std::string& path);
// Bytes that do not compress, the same for the same size and seed.
std::string Pattern(size_t size, unsigned seed);
bool Contains(const std::string& text, const std::string& part);
bool Contains(const std::vector<std::string>& lines, const std::string& line);

// What the engine stand-in wrote (see tests/fixtures/engine_standin.cpp).
struct FileFacts {
  std::uint64_t size = 0;
  std::uint32_t dosTime = 0;
  std::uint32_t crc = 0;
};
struct EngineReport {
  bool present = false;
  std::string cmdline, program, cwd;
  int show = -1;
  bool atomFound = false;
  std::map<std::string, FileFacts> files;  // every file beside the engine
};
EngineReport ReadEngineReport(const std::string& folder);
// The files listed in engine_final.txt ("/E_final"); present says whether it was written.
EngineReport ReadEngineFinal(const std::string& folder);
// Waits until the stand-in's report is in folder; false after timeoutMs.
bool WaitForEngineReport(const std::string& folder, DWORD timeoutMs);
std::uint32_t Crc32(const std::string& bytes);

// One box the run showed and how the test answered it.
struct SeenBox {
  boxdriver::BoxContents contents;
  int clicked = -1;
};
// Returns the index of the button to click for a box.
using BoxAnswer = std::function<int(const boxdriver::BoxContents&)>;

struct RunResult {
  bool started = false;
  bool ended = false;  // within the time allowed
  DWORD exitCode = 0xFFFFFFFF;
  DWORD processId = 0;
  std::vector<std::string> lines;  // the process's own trace lines, without its id
  std::vector<SeenBox> boxes;
  bool windowShown = false;  // the main window was seen visible
};

// Starts the command line, answers every box of the process (any process with anyProcess) with
// answer, and waits at most timeoutMs; a process still running then is terminated. mainWindowClass
// names the main window to watch (the installer's full path; empty: not watched).
RunResult RunInstaller(const wintest::TraceCapture& capture, const std::string& commandLine,
                       const std::string& mainWindowClass, const BoxAnswer& answer,
                       DWORD timeoutMs = 60000, bool anyProcess = false);

// Follows a process that is already running (a copy the installer started), the same way.
RunResult FollowProcess(const wintest::TraceCapture& capture, DWORD processId,
                        const std::string& mainWindowClass, const BoxAnswer& answer,
                        DWORD timeoutMs = 60000);
// The id of the first process whose start line ("<id> ==== STUB START ====> ...") contains text;
// 0 when none came within timeoutMs.
DWORD WaitForStubStart(const wintest::TraceCapture& capture, const std::string& text,
                       DWORD timeoutMs);

// Clicks the button whose caption is caption, else the first one.
BoxAnswer Press(const std::string& caption);
// Index of the button whose caption is caption (the "&" dropped); -1 when none.
int ButtonIndex(const boxdriver::BoxContents& box, const std::string& caption);
// A line of lines that starts with prefix; empty when none.
std::string LineStarting(const std::vector<std::string>& lines, const std::string& prefix);
// Waits until the folder is gone; false after timeoutMs.
bool WaitUntilGone(const std::string& folder, DWORD timeoutMs);
bool FolderExists(const std::string& folder);

}  // namespace e2e
