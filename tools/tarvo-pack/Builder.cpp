// Builder: installer, web installer and update-agent builds (see Builder.h).
#include "tarvo-pack/Builder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "payload/TokenScramble.h"
#include "tarvo-pack/HostFiles.h"
#include "tarvo-pack/Spanner.h"

namespace tarvopack {

namespace {

// Purposes of the generators forked from the seed; fixed so that one draw never shifts another.
enum : uint64_t {
  kForkTokenScramble = 1,
  kForkBuildBytes = 2,
  kForkDrawnToken = 3,
  kForkWebToken = 4,
  kForkWebScramble = 5,
};

constexpr size_t kDrawnTokenLength = 10;
constexpr uint64_t kMaxStubSize = 64ull << 20;  // the stub is read whole; it is about 2 MB

bool LoadStub(const std::string& path, std::string& stub, std::string& error) {
  uint64_t size = 0;
  if (RegularFileSize(path, size, error) && size > kMaxStubSize) {
    error = "stub " + path + " is " + std::to_string(size) + " bytes: that is no stub";
    return false;
  }
  if (!ReadWholeFile(path, stub, error)) {
    error = "stub: " + error;
    return false;
  }
  const std::string why = payload::CheckStubImage(stub);
  if (!why.empty()) {
    error = "stub " + path + ": " + why;
    return false;
  }
  return true;
}

// Language and parameter blocks; every file of one build carries the same two.
bool MakeBaseBlocks(const Project& p, const BuildIdentity& id, std::vector<std::string>& blocks,
                    std::string& error) {
  payload::ParameterFields fields;
  fields.updateServer = p.updateServer;
  fields.infoFile = p.infoFile;
  fields.agentFile = p.agentFile;
  fields.scrambledToken = id.scrambledToken;
  fields.hidden = p.hidden;
  blocks = {payload::BuildLanguageBlock(p.languages, error)};
  if (!error.empty()) return false;
  blocks.push_back(payload::BuildParameterBlock(fields, error));
  return error.empty();
}

std::string MakeWebBlock(const Project& p, const std::string& scrambledToken,
                         const std::string& size, std::string& error) {
  payload::WebFields web;
  web.address = p.webAddress;
  web.fileName = p.webFileName;
  web.alwaysDownload = p.webAlwaysDownload;
  web.scrambledToken = scrambledToken;
  web.fileSize = size;
  return payload::BuildWebBlock(web, error);
}

payload::Trailer BaseTrailer(const Project& p, const payload::RequiredSpace& space) {
  payload::Trailer t{};
  if (p.tempNotice) t.flags |= payload::kFlagTempNotice;
  if (p.activityBar) t.flags |= payload::kFlagActivityBar;
  if (p.agentLog) t.flags |= payload::kFlagAgentLog;
  t.makeAgent = p.makeAgent ? 1 : 0;
  std::memcpy(t.requiredSpace, space.data(), sizeof t.requiredSpace);
  return t;
}

payload::RequiredSpace SpaceOf(const Project& p) {
  std::vector<uint64_t> sizes = {p.engine.size};
  for (const InputFile& f : p.setupFiles) sizes.push_back(f.size);
  for (const InputFile& f : p.productFiles) sizes.push_back(f.size);
  return payload::ComputeRequiredSpace(sizes, p.extraSpace);
}

payload::ProgressFn ProgressFor(const BuildSettings& settings, const std::string& path) {
  if (!settings.progress) return {};
  return [&settings, path](uint32_t done, uint32_t total, uint64_t bytes) {
    settings.progress(path, done, total, bytes);
  };
}

bool Write(const std::string& path, const std::string& role, const payload::ContainerPlan& plan,
           const BuildSettings& settings, BuildResult& result, std::string& error) {
  const std::string folder = FolderOf(path);
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  BuiltFile file{path, role, {}};
  if (!payload::WriteContainer(path, plan, ProgressFor(settings, path), file.stats, error)) {
    error = path + ": " + error;
    return false;
  }
  result.files.push_back(file);
  return true;
}

void AddPieces(const InputFile& file, const std::string& firstName, uint64_t pieceSize,
               std::vector<payload::EntryJob>& jobs) {
  uint64_t offset = 0;
  do {
    payload::EntryJob job;
    job.kind = payload::EntryJob::Kind::FilePiece;
    // Only the first piece of the engine carries the "*": later pieces append to its file.
    job.header = payload::EntryHeader(offset == 0 ? firstName : file.name, file.dosTime);
    job.sourcePath = file.path;
    job.offset = offset;
    job.length = std::min(pieceSize, file.size - offset);
    jobs.push_back(std::move(job));
    offset += pieceSize;
  } while (offset < file.size);
}

}  // namespace

BuildIdentity MakeIdentity(const Project& project, uint64_t seed) {
  const payload::BuildRandom root(seed);
  BuildIdentity id;
  id.plainToken = project.token;
  if (id.plainToken.empty()) {
    payload::BuildRandom drawn = root.Fork(kForkDrawnToken);
    id.plainToken = payload::RandomPlainToken(drawn, kDrawnTokenLength);
    id.tokenDrawn = true;
  }
  payload::BuildRandom scramble = root.Fork(kForkTokenScramble);
  id.scrambledToken = payload::ScrambleToken(id.plainToken, scramble);
  payload::BuildRandom bytes = root.Fork(kForkBuildBytes);
  for (uint8_t& b : id.buildBytes) b = bytes.Byte();
  id.plainWebToken = project.webToken;
  if (id.plainWebToken.empty()) {
    payload::BuildRandom web = root.Fork(kForkWebToken);
    id.plainWebToken = payload::RandomPlainToken(web, kDrawnTokenLength);
  }
  id.webScramble = root.Fork(kForkWebScramble);
  return id;
}

std::vector<payload::EntryJob> PlanEntries(const Project& project) {
  std::vector<payload::EntryJob> jobs;
  std::string engineName = project.engine.name + "*";
  if (!project.engineArguments.empty()) engineName += " " + project.engineArguments;
  AddPieces(project.engine, engineName, project.pieceSize, jobs);
  for (const InputFile& f : project.setupFiles) AddPieces(f, f.name, project.pieceSize, jobs);
  for (const InputFile& f : project.productFiles) AddPieces(f, f.name, project.pieceSize, jobs);
  return jobs;
}

bool BuildInstaller(const Project& p, const BuildSettings& settings, BuildResult& result,
                    std::string& error) {
  result = BuildResult{};
  BuildIdentity id = MakeIdentity(p, settings.seed);
  result.plainToken = id.plainToken;
  result.tokenDrawn = id.tokenDrawn;
  result.scrambledToken = id.scrambledToken;
  result.space = SpaceOf(p);

  payload::ContainerPlan plan;
  if (!LoadStub(p.stubPath, plan.stub, error) || !MakeBaseBlocks(p, id, plan.blocks, error))
    return false;
  if (p.hasWeb) {
    // The setup file carries the web token too: the web installer accepts only this build's file.
    plan.blocks.push_back(
        MakeWebBlock(p, payload::ScrambleToken(id.plainWebToken, id.webScramble), "", error));
    if (!error.empty()) return false;
  }
  plan.entries = PlanEntries(p);
  plan.trailer = BaseTrailer(p, result.space);
  plan.buildBytes = id.buildBytes;
  plan.checksum = p.checksum;
  plan.level = p.level;
  plan.threads = settings.threads;
  result.entries = static_cast<uint32_t>(plan.entries.size());

  if (p.diskSize > 0) {
    // Build the whole installer beside the launcher, then cut it into the set.
    const std::string whole = p.outputPath + ".whole";
    BuildResult scratch;
    if (!Write(whole, "installer", plan, settings, scratch, error)) return false;
    SplitSettings split;
    split.diskSize = p.diskSize;
    split.level = p.level;
    split.threads = settings.threads;
    split.progress = settings.progress;
    const bool ok = SplitInstaller(whole, p.outputPath, split, result.files, error);
    std::remove(whole.c_str());
    if (!ok) return false;
  } else if (!Write(p.outputPath, "installer", plan, settings, result, error)) {
    return false;
  }
  if (!p.hasWeb) return true;

  payload::ContainerPlan web;
  web.stub = plan.stub;
  web.blocks = {plan.blocks[0], plan.blocks[1]};
  uint64_t setupSize = 0;
  if (!RegularFileSize(p.outputPath, setupSize, error)) return false;
  web.blocks.push_back(MakeWebBlock(p, payload::ScrambleToken(id.plainWebToken, id.webScramble),
                                    std::to_string(setupSize), error));
  if (!error.empty()) return false;
  web.trailer = BaseTrailer(p, result.space);
  web.trailer.webInstaller = 1;
  web.trailer.askBeforeDownload = p.webAskBeforeDownload ? 1 : 0;
  web.buildBytes = id.buildBytes;
  web.checksum = p.checksum;
  return Write(p.webOutputPath, "web installer", web, settings, result, error);
}

bool BuildAgent(const Project& p, const BuildSettings& settings, const std::string& outputPath,
                BuildResult& result, std::string& error) {
  result = BuildResult{};
  const BuildIdentity id = MakeIdentity(p, settings.seed);
  result.plainToken = id.plainToken;
  result.tokenDrawn = id.tokenDrawn;
  result.scrambledToken = id.scrambledToken;
  payload::ContainerPlan plan;
  if (!LoadStub(p.stubPath, plan.stub, error) || !MakeBaseBlocks(p, id, plan.blocks, error))
    return false;
  plan.trailer = BaseTrailer(p, {});
  plan.trailer.makeAgent = 0;
  plan.trailer.agent = 1;
  plan.buildBytes = id.buildBytes;
  plan.checksum = p.checksum;
  return Write(outputPath, "update agent", plan, settings, result, error);
}

}  // namespace tarvopack
