// UnPack: UnPackSetup, the walk over an installer (or a spanned set) into the extraction folder.
#include "payload/win/UnPack.h"

#include <windows.h>

#include <cstdint>

#include "core/KDebug.h"
#include "core/RunMode.h"
#include "payload/ByteSource.h"
#include "payload/Checksum.h"
#include "payload/EntryReader.h"
#include "payload/StubImage.h"
#include "payload/TrailerReader.h"
#include "payload/UnPackRules.h"
#include "payload/win/Files.h"
#include "ui/KMsgBox.h"
#include "ui/KMsgBoxAutoPlay.h"
#include "ui/KMsgBoxPump.h"
#include "util/win/SysInfo.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

int failedWrites = 0;  // for the whole process: only the first failure of a run is shown

std::string SystemErrorText(DWORD code) {
  SetLastError(code);
  return LastErrorText();
}

void SetFileDosTime(HANDLE file, std::uint32_t dosDateTime) {
  FILETIME local{};
  FILETIME utc{};
  if (DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local) &&
      LocalFileTimeToFileTime(&local, &utc)) {
    SetFileTime(file, nullptr, nullptr, &utc);
  }
}

void ReportFailedWrite(const std::string& path, std::uint64_t dataSize, DWORD error, int charset) {
  TracePid() << " UnPackSetup: unable to save " << path << " (error " << error << ")" << EndLine;
  if (++failedWrites != 1) return;
  const std::string report = WriteFailureReport(SystemErrorText(error), dataSize,
                                                FileSizeByName(path), DiskFreeSpace(path));
  ShowErrorBox(0, WriteFailureText(path, report), "", "", charset);
}

// Writes each entry into the folder as it streams in: a name met for the first time makes a new
// file and one progress step, a name met again is appended to. The file gets the entry's time
// once all of its bytes are written.
class FolderSink final : public payload::EntrySink {
 public:
  FolderSink(const std::string& folder, ProgressCallback progress, int charset)
      : folder_(folder), progress_(progress), charset_(charset) {}

  // The walker asks after every record and every 64 KiB; a message pump costs tens of
  // microseconds, so the queue is emptied at most every kPumpIntervalMs, which keeps the
  // windows just as responsive without slowing a payload of many small files.
  bool Pump() override {
    const DWORD now = GetTickCount();
    if (pumped_ && now - lastPump_ < kPumpIntervalMs) return true;
    pumped_ = true;
    lastPump_ = now;
    YieldX(0);
    return true;
  }

  void Begin(const payload::EntryInfo& entry) override {
    path_ = SetTrailingBackslash(folder_, true) + entry.name;
    dosTime_ = entry.dosTime;
    dataSize_ = 0;
    error_ = 0;
    failed_ = false;
    file_ = win::UniqueFile(CreateFileA(path_.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    // OPEN_ALWAYS tells whether the name was there already, sparing a look-up per entry.
    const bool isNew = file_ ? GetLastError() != ERROR_ALREADY_EXISTS : !FileExists(path_);
    if (isNew) progress_(progress::kStep, 0, 0, 0, 0, "");
    if (!file_ || FileSeek64(file_.get(), 2, 0) < 0) Fail();
  }

  void Data(const char* bytes, size_t size) override {
    dataSize_ += size;
    while (!failed_ && size > 0) {
      DWORD written = 0;
      const DWORD want = static_cast<DWORD>(size);  // chunks are at most 64 KiB
      if (!WriteFile(file_.get(), bytes, want, &written, nullptr) || written == 0) {
        Fail();
        break;
      }
      bytes += written;
      size -= written;
    }
  }

  void End(bool ok, const std::string&) override {
    if (ok && !failed_ && dosTime_ != 0) SetFileDosTime(file_.get(), dosTime_);
    file_.reset();
    if (failed_) ReportFailedWrite(path_, dataSize_, error_, charset_);
  }

 private:
  void Fail() {
    error_ = GetLastError();
    failed_ = true;
    file_.reset();
  }

  static constexpr DWORD kPumpIntervalMs = 15;

  std::string folder_;
  ProgressCallback progress_;
  int charset_;
  DWORD lastPump_ = 0;
  bool pumped_ = false;
  std::string path_;
  std::uint32_t dosTime_ = 0;
  std::uint64_t dataSize_ = 0;
  DWORD error_ = 0;
  bool failed_ = false;
  win::UniqueFile file_;
};

// The stub and header blocks of the first file with an agent trailer, as agentName beside the
// entries.
void WriteAgentCopy(const std::string& source, const std::string& destFolder,
                    const std::string& agentName, std::int64_t entriesStart) {
  const std::string agentFile = runmode::FileNameOf(agentName);
  if (agentFile.empty() || !IsAgentSource(source)) return;
  if (!payload::IsPlainFileName(agentFile)) {
    TracePid() << " UnPackSetup: no agent copy under the name \"" << agentFile << "\"" << EndLine;
    return;
  }
  payload::Trailer record{};
  payload::ReadTrailer(source, record);
  const std::string head = entriesStart > 0 ? ReadFileBytes(source, entriesStart, 0) : "";
  if (head.empty() || static_cast<std::int64_t>(head.size()) != entriesStart) {
    TracePid() << " UnPackSetup: no agent copy, the header blocks cannot be read" << EndLine;
    return;
  }
  const std::string path = SetTrailingBackslash(destFolder, true) + agentFile;
  WriteStringToFile(path, AgentImage(head, record), FileDosDateTime(source), false);
  TracePid() << " New AU-Agent: " << path << EndLine;
}

// Asks for the file of a further disk until it is there; false when the user cancels.
bool AskForDisk(const std::string& file, int disk, const DiskPrompt& prompt) {
  EjectCD(file);
  bool ok = false;
  do {
    ok = AskOkCancel(0, DiskPromptText(prompt.text, disk), prompt.caption, prompt.buttons,
                     prompt.charset);
    YieldWait(0, 500);
  } while (ok && !FileExists(file));
  return ok;
}

// What happens after one file of the set.
enum class After { kNextDisk, kFinish };

class SetWalk {
 public:
  SetWalk(const std::string& destFolder, const std::string& agentName, ProgressCallback progress,
          const DiskPrompt& prompt)
      : destFolder_(destFolder),
        agentName_(agentName),
        progress_(progress),
        prompt_(prompt),
        sink_(destFolder, progress, prompt.charset) {}

  After ExtractFile(const std::string& source, int disk, payload::Trailer& record,
                    bool& checksumOK) {
    record = payload::Trailer{};
    payload::ReadTrailer(source, record);
    if (disk == 1) Trace() << "FileInfo.FilesCount=" << record.filesCount << EndLine;
    checksumOK =
        payload::ChecksumPasses(payload::FileChecksum(source, record.trailerSize), record.checksum);
    if (!checksumOK) return After::kFinish;
    const payload::FileSource file(source);
    Trace() << "FileLen=" << payload::PayloadEnd(file) << EndLine;
    if (record.magic != payload::kMagic) return After::kNextDisk;
    if (disk == 1) progress_(progress::kSet, 0, record.filesCount, 0, 1, "");
    MakeFolder();
    if (!walker_.Walk(file, record, sink_)) {
      ReportDamage(source);
      return After::kFinish;
    }
    if (disk == 1) WriteAgentCopy(source, destFolder_, agentName_, walker_.EntriesStart());
    return After::kNextDisk;
  }

  bool Intact() const { return intact_; }
  const std::string& EngineEntry() const { return walker_.EngineEntry(); }

 private:
  void MakeFolder() {
    if (ForceDirectories(destFolder_)) return;
    const DWORD error = GetLastError();
    ShowErrorBox(0, CreateFolderFailureText(destFolder_, SystemErrorText(error)), "", "",
                 prompt_.charset);
  }

  void ReportDamage(const std::string& source) {
    intact_ = false;
    TracePid() << " UnPackSetup: " << source << ": " << walker_.Error() << EndLine;
    ShowErrorBox(0, DamagedSetupText(source, walker_.Error()), "", "", prompt_.charset);
  }

  std::string destFolder_;
  std::string agentName_;
  ProgressCallback progress_;
  DiskPrompt prompt_;
  FolderSink sink_;
  payload::EntryWalker walker_;  // one for the set: its block count runs on from file to file
  bool intact_ = true;
};

}  // namespace

int FailedWriteCount() {
  return failedWrites;
}

bool UnPackSetup(const std::string& sourceFile, const std::string& destFolder,
                 const std::string& agentName, bool& checksumOK, ProgressCallback progress,
                 const DiskPrompt& prompt, bool forcePrompt, std::string& engineEntry) {
  const DWORD started = GetTickCount();
  const std::string base = SpanBaseName(sourceFile);
  std::string source = sourceFile;
  int disk = 1;
  bool go = true;
  checksumOK = false;
  engineEntry.clear();
  progress(progress::kSet, 0, 0, 0, 0, "");
  SetWalk walk(destFolder, agentName, progress, prompt);
  for (;;) {
    payload::Trailer record{};
    if (FileExists(source) && walk.ExtractFile(source, disk, record, checksumOK) == After::kFinish)
      break;
    if ((record.flags & payload::kFlagNextDisk) == 0) break;
    EnableAutoPlayCancel();
    source = DiskFileName(base, ++disk);
    if (forcePrompt || !FileExists(source)) go = AskForDisk(source, disk, prompt);
    progress(progress::kStep, 0, 0, 0, 0, "");
    if (!go) break;
  }
  if (go && walk.Intact()) engineEntry = walk.EngineEntry();
  Trace() << "UnCompressTime: " << (GetTickCount() - started) << " MS" << EndLine;
  Trace() << EndLine;
  YieldWait(0, 500);
  return walk.Intact();
}
