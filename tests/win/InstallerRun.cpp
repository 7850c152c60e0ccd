// InstallerRun: builds test installers with the builder library, runs them like a user and reads
// the engine stand-in's report.
#include "InstallerRun.h"

#include <zlib.h>

#include <algorithm>

#include "TestInstaller.h"
#include "WinTempFolder.h"
#include "WinTestSupport.h"
#include "payload/win/Files.h"
#include "util/KSUB.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace e2e {
namespace {

payload::EntryJob MemoryJob(const std::string& header, const std::string& content) {
  payload::EntryJob job;
  job.kind = payload::EntryJob::Kind::Memory;
  job.header = header;
  job.bytes = content;
  return job;
}

}  // namespace

bool WriteTestInstaller(const std::string& path, const Payload& p, std::string& error) {
  payload::ContainerPlan plan;
  plan.stub = wintest::TempFolder::Read(wintest::BesideTests("tarvostub.exe"));
  if (plan.stub.empty()) {
    error = "the built stub cannot be read";
    return false;
  }
  const std::string language =
      payload::BuildLanguageBlock({payload::LanguageSection{"English", p.language}}, error);
  const std::string parameters = payload::BuildParameterBlock(p.parameters, error);
  if (language.empty() || parameters.empty()) return false;
  plan.blocks = {language, parameters};

  std::vector<std::uint64_t> sizes;
  if (p.withEngine) {
    const std::string engine =
        wintest::TempFolder::Read(wintest::BesideTests("engine_standin.exe"));
    if (engine.empty()) {
      error = "the engine stand-in cannot be read";
      return false;
    }
    plan.entries.push_back(MemoryJob(
        payload::EntryHeader("Engine.exe*" + (p.engineArgs.empty() ? "" : " " + p.engineArgs),
                             kEngineDosTime),
        engine));
    sizes.push_back(engine.size());
  }
  for (const Entry& e : p.files) {
    if (!e.record.empty()) {
      payload::EntryJob job;
      job.kind = payload::EntryJob::Kind::Record;
      job.bytes = e.record;
      plan.entries.push_back(job);
    } else {
      plan.entries.push_back(MemoryJob(payload::EntryHeader(e.name, e.dosTime), e.content));
      sizes.push_back(e.content.size());
    }
  }
  payload::RequiredSpace space = payload::ComputeRequiredSpace(sizes, 0);
  if (p.requiredSpace != 0) space.fill(p.requiredSpace);
  for (size_t i = 0; i < space.size(); ++i) plan.trailer.requiredSpace[i] = space[i];
  plan.trailer.flags = p.flags;
  plan.trailer.makeAgent = p.makeAgent ? 1 : 0;
  plan.checksum = p.checksum;
  plan.level = 6;
  payload::ContainerStats stats;
  return payload::WriteContainer(path, plan, nullptr, stats, error);
}

Stage::Stage(const std::string& installerName)
    : scratch("e2e"), report(scratch.At("report")), installer(scratch.At(installerName)) {
  CreateDirectoryA(report.c_str(), nullptr);
}

std::string Stage::Write(const Payload& p) const {
  std::string error;
  if (WriteTestInstaller(installer, p, error)) return "";
  return error.empty() ? "the installer could not be written" : error;
}

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(seed >> 16);
  }
  return bytes;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::uint32_t Crc32(const std::string& bytes) {
  return static_cast<std::uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

namespace {

EngineReport ReadReportFile(const std::string& file) {
  EngineReport report;
  const std::string text = wintest::TempFolder::Read(file);
  report.present = !text.empty();
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 2;
    const std::string key = line.substr(0, line.find('='));
    const std::string value = line.substr(std::min(line.size(), key.size() + 1));
    if (key == "cmdline") report.cmdline = value;
    if (key == "program") report.program = value;
    if (key == "cwd") report.cwd = value;
    if (key == "show") report.show = static_cast<int>(TextToInt64Def(value, -1));
    if (key == "atom") report.atomFound = value == "found";
    if (key == "file") {
      const std::string list = "|" + value + "|";
      report.files[SUB::Field(list, 0, "")] = {
          static_cast<std::uint64_t>(SUB::FieldInt(list, 1, 0)),
          static_cast<std::uint32_t>(SUB::FieldInt(list, 2, 0)),
          static_cast<std::uint32_t>(SUB::FieldInt(list, 3, 0))};
    }
  }
  return report;
}

}  // namespace

EngineReport ReadEngineReport(const std::string& folder) {
  return ReadReportFile(folder + "\\engine_report.txt");
}

EngineReport ReadEngineFinal(const std::string& folder) {
  return ReadReportFile(folder + "\\engine_final.txt");
}

bool WaitForEngineReport(const std::string& folder, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!ReadEngineReport(folder).present) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(50);
  }
  return true;
}

int ButtonIndex(const boxdriver::BoxContents& box, const std::string& caption) {
  for (size_t i = 0; i < box.buttons.size(); ++i)
    if (ReplaceAll(box.buttons[i], "&", "") == caption) return static_cast<int>(i);
  return -1;
}

BoxAnswer Press(const std::string& caption) {
  return [caption](const boxdriver::BoxContents& box) {
    const int index = ButtonIndex(box, caption);
    return index >= 0 ? index : 0;
  };
}

std::string LineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) return line;
  return "";
}

bool FolderExists(const std::string& folder) {
  const DWORD a = GetFileAttributesA(folder.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitUntilGone(const std::string& folder, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (FolderExists(folder)) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(100);
  }
  return true;
}

namespace {

// Answers the boxes of a running process until it ends or the time is up.
void Drive(HANDLE process, DWORD processId, const std::string& mainWindowClass,
           const BoxAnswer& answer, DWORD timeoutMs, bool anyProcess, RunResult& r) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && GetTickCount64() < deadline) {
    if (!mainWindowClass.empty()) {
      const HWND main = FindWindowA(mainWindowClass.c_str(), nullptr);
      if (main != nullptr && IsWindowVisible(main)) r.windowShown = true;
    }
    const HWND box = boxdriver::WaitForBox(100, anyProcess ? 0 : processId);
    if (box == nullptr) continue;
    SeenBox seen;
    boxdriver::ReadBox(box, seen.contents);
    seen.clicked = answer ? answer(seen.contents) : 0;
    boxdriver::ClickButton(box, seen.clicked);
    if (!boxdriver::WaitUntilGone(box, 5000)) PostMessageA(box, WM_CLOSE, 0, 0);
    r.boxes.push_back(seen);
  }
}

}  // namespace

RunResult RunInstaller(const wintest::TraceCapture& capture, const std::string& commandLine,
                       const std::string& mainWindowClass, const BoxAnswer& answer, DWORD timeoutMs,
                       bool anyProcess) {
  RunResult r;
  wintest::StubProcess stub(commandLine);
  r.started = stub.Started();
  r.processId = stub.Id();
  if (!r.started) return r;
  Drive(stub.Handle(), stub.Id(), mainWindowClass, answer, timeoutMs, anyProcess, r);
  r.ended = !stub.Running();
  r.exitCode = stub.WaitExit(0);
  // The last trace pieces travel as sent messages; give the receiver a moment.
  Sleep(200);
  r.lines = capture.LinesOf(stub.Id());
  return r;
}

RunResult FollowProcess(const wintest::TraceCapture& capture, DWORD processId,
                        const std::string& mainWindowClass, const BoxAnswer& answer,
                        DWORD timeoutMs) {
  RunResult r;
  const win::UniqueHandle process(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
  r.started = static_cast<bool>(process);
  r.processId = processId;
  if (!r.started) return r;
  Drive(process.get(), processId, mainWindowClass, answer, timeoutMs, false, r);
  r.ended = WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
  if (!r.ended) {
    TerminateProcess(process.get(), 0xDEAD);
    WaitForSingleObject(process.get(), 5000);
  } else {
    GetExitCodeProcess(process.get(), &r.exitCode);
  }
  Sleep(200);
  r.lines = capture.LinesOf(processId);
  return r;
}

DWORD WaitForStubStart(const wintest::TraceCapture& capture, const std::string& text,
                       DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  const std::string marker = " ==== STUB START ====> ";
  do {
    for (const std::string& line : capture.Lines()) {
      const size_t at = line.find(marker);
      if (at != std::string::npos && line.find(text, at) != std::string::npos)
        return static_cast<DWORD>(TextToInt64Def(line.substr(0, at), 0));
    }
    Sleep(100);
  } while (GetTickCount64() < deadline);
  return 0;
}

}  // namespace e2e
