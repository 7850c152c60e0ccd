// Spanner: cutting an installer into a spanned set (see Spanner.h).
#include "tarvo-pack/Spanner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "payload/Checksum.h"
#include "payload/PayloadWriter.h"
#include "tarvo-pack/HostFiles.h"
#include "tarvo-pack/InstallerScan.h"

namespace tarvopack {

namespace {

constexpr uint64_t kMinEntryRoom = 4096;

struct SizedJob {
  payload::EntryJob job;
  uint64_t size = 0;
};

// Removes the scratch file of re-cut entries when the split ends, however it ends.
class ScratchFile {
 public:
  explicit ScratchFile(std::string path) : path_(std::move(path)) {}
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }
  // Appends a record and returns where it starts.
  bool Append(const std::string& record, uint64_t& offset) {
    if (!out_.is_open()) out_.open(path_, std::ios::binary | std::ios::trunc);
    offset = size_;
    out_.write(record.data(), static_cast<std::streamsize>(record.size()));
    size_ += record.size();
    return static_cast<bool>(out_);
  }
  bool Close() {
    if (out_.is_open()) out_.close();
    return !out_.fail();
  }

 private:
  std::string path_;
  std::ofstream out_;
  uint64_t size_ = 0;
};

bool CheckSplittable(const FileScan& scan, std::string& error) {
  const std::string& path = scan.path;
  if (!scan.magicOk)
    error = path + " is not an installer (no trailer)";
  else if (scan.continuation || (scan.trailer.flags & payload::kFlagNextDisk))
    error = path + " is a disk of a spanned set, not a whole installer";
  else if (!scan.isStub)
    error = path + " does not start with a stub";
  else if (scan.trailer.flags & payload::kFlagSpanFirstLevel)
    error = path + " is a spanned launcher already";
  else if (scan.trailer.webInstaller)
    error = path + " is a web installer (it carries no files)";
  else if (scan.trailer.agent)
    error = path + " is an update agent (it carries no files)";
  else if (scan.trailer.headerBlocks > 3)
    error = path + " has more header blocks than this builder knows";
  else if (!payload::ChecksumPasses(scan.computedChecksum, scan.trailer.checksum))
    error = path + " fails its checksum";
  else if (!scan.walkError.empty())
    error = path + ": " + scan.walkError;
  for (const RecordScan& r : scan.records) {
    if (error.empty() && !r.error.empty())
      error = path + ", entry at offset " + std::to_string(r.offset) + ": " + r.error;
  }
  return error.empty();
}

uint64_t RecordSize(const RecordScan& r) {
  return 4 + static_cast<uint64_t>(r.length > 0 ? r.length : -static_cast<int64_t>(r.length));
}

// Decodes an entry that is larger than a disk and stores it again as pieces of the same name that
// fit (stored as is when compressing does not help, so each piece's size is bounded).
bool RecutEntry(const FileScan& scan, const RecordScan& r, uint64_t room, int level,
                ScratchFile& scratch, std::vector<SizedJob>& jobs, std::string& error) {
  if (!r.hasHeader) {
    error = "the entry at offset " + std::to_string(r.offset) +
            " has no header and is larger than a disk";
    return false;
  }
  std::string content;
  if (!ReadEntryContent(scan.path, r, content, error)) return false;
  uint64_t at = 0;
  do {
    const std::string header =
        at == 0 ? r.info.header : payload::EntryHeader(r.info.name, r.info.dosTime);
    const uint64_t piece = std::min<uint64_t>(content.size() - at, room - 4 - header.size() - 1);
    std::string record;
    if (!payload::EncodeEntryRecord(header + std::string(1, '\0') + content.substr(at, piece),
                                    level, record)) {
      error = "cannot encode a piece of " + r.info.name;
      return false;
    }
    SizedJob sized;
    sized.job.kind = payload::EntryJob::Kind::FileRecord;
    sized.job.sourcePath = scratch.Path();
    sized.job.length = record.size();
    sized.size = record.size();
    if (!scratch.Append(record, sized.job.offset)) {
      error = "cannot write " + scratch.Path();
      return false;
    }
    jobs.push_back(std::move(sized));
    at += piece;
  } while (at < content.size());
  return true;
}

payload::ContainerPlan BasePlan(const FileScan& scan, const SplitSettings& settings) {
  payload::ContainerPlan plan;
  plan.trailer = scan.trailer;
  plan.trailer.flags &=
      static_cast<uint8_t>(~(payload::kFlagNextDisk | payload::kFlagSpanFirstLevel));
  plan.buildBytes = scan.buildBytes;
  plan.checksum = scan.trailer.checksum != payload::kChecksumDisabled;
  plan.threads = settings.threads;
  return plan;
}

}  // namespace

bool SplitInstaller(const std::string& input, const std::string& launcherPath,
                    const SplitSettings& settings, std::vector<BuiltFile>& files,
                    std::string& error) {
  FileScan scan;
  if (!ScanInstaller(input, scan, error) || !CheckSplittable(scan, error)) return false;
  std::string stub;
  if (!ReadFileHead(input, static_cast<size_t>(scan.trailer.startOffset), stub, error))
    return false;
  // Back to the bare stub: the writer puts this build's bytes and the new lengths there.
  std::fill(stub.begin() + payload::kBuildBytesOffset, stub.begin() + payload::kPeSignatureOffset,
            '\0');
  std::vector<std::string> blocks = {scan.languageBlock, scan.parameterBlock};
  if (scan.trailer.headerBlocks >= 3) blocks.push_back(scan.webBlock);

  uint64_t firstOverhead = stub.size() + payload::kTrailerSize;
  for (const std::string& b : blocks) firstOverhead += 4 + b.size();
  if (settings.diskSize < firstOverhead + kMinEntryRoom) {
    error = "a disk of " + std::to_string(settings.diskSize) +
            " bytes is too small: the first disk needs " + std::to_string(firstOverhead) +
            " bytes for the stub, the header blocks and the trailer, and room for entries";
    return false;
  }
  const uint64_t firstRoom = settings.diskSize - firstOverhead;
  const uint64_t room = settings.diskSize - payload::kTrailerSize;

  std::error_code ec;
  if (!FolderOf(launcherPath).empty())
    std::filesystem::create_directories(FolderOf(launcherPath), ec);
  ScratchFile scratch(launcherPath + ".pieces");
  std::vector<SizedJob> jobs;
  for (const RecordScan& r : scan.records) {
    if (r.isBlock) continue;
    if (RecordSize(r) <= room) {
      SizedJob sized;
      sized.job.kind = payload::EntryJob::Kind::FileRecord;
      sized.job.sourcePath = input;
      sized.job.offset = r.offset;
      sized.job.length = RecordSize(r);
      sized.size = sized.job.length;
      jobs.push_back(std::move(sized));
    } else if (!RecutEntry(scan, r, room, settings.level, scratch, jobs, error)) {
      return false;
    }
  }
  if (!scratch.Close()) {
    error = "cannot write " + scratch.Path();
    return false;
  }

  // Fill each disk in entry order.
  std::vector<std::vector<payload::EntryJob>> disks(1);
  uint64_t left = firstRoom;
  for (SizedJob& sized : jobs) {
    if (sized.size > left) {
      disks.emplace_back();
      left = room;
    }
    left -= sized.size;
    disks.back().push_back(std::move(sized.job));
  }

  std::vector<BuiltFile> written;
  for (size_t i = 0; i < disks.size(); ++i) {
    payload::ContainerPlan plan = BasePlan(scan, settings);
    if (i == 0) {
      plan.stub = stub;
      plan.blocks = blocks;
    }
    if (i + 1 < disks.size()) plan.trailer.flags |= payload::kFlagNextDisk;
    plan.entries = std::move(disks[i]);
    BuiltFile file{
        DiskFileName(launcherPath, static_cast<int>(i + 1)), "disk " + std::to_string(i + 1), {}};
    payload::ProgressFn progress;
    if (settings.progress) {
      progress = [&settings, &file](uint32_t done, uint32_t total, uint64_t bytes) {
        settings.progress(file.path, done, total, bytes);
      };
    }
    if (!payload::WriteContainer(file.path, plan, progress, file.stats, error)) {
      error = file.path + ": " + error;
      return false;
    }
    written.push_back(file);
  }

  // The launcher last: it may replace the input file itself.
  payload::ContainerPlan launcher = BasePlan(scan, settings);
  launcher.stub = stub;
  launcher.blocks = blocks;
  launcher.trailer.flags |= payload::kFlagSpanFirstLevel;
  BuiltFile file{launcherPath, "launcher", {}};
  if (!payload::WriteContainer(launcherPath, launcher, {}, file.stats, error)) {
    error = launcherPath + ": " + error;
    return false;
  }
  files.push_back(file);
  files.insert(files.end(), written.begin(), written.end());
  // Disks left over from an earlier, longer set would only confuse whoever copies the set.
  for (int n = static_cast<int>(disks.size()) + 1; n <= 999; ++n)
    std::remove(DiskFileName(launcherPath, n).c_str());
  return true;
}

}  // namespace tarvopack
