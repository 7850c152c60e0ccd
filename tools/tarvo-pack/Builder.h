// Builder: turns a checked Project into installer files: the installer itself, for web builds the
// setup file and the web installer, and update-agent builds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "payload/BuildRandom.h"
#include "payload/PayloadWriter.h"
#include "tarvo-pack/Project.h"

namespace tarvopack {

// Progress of one file being written: its path, entries written, all entries, decoded bytes.
using BuildProgressFn =
    std::function<void(const std::string& path, uint32_t done, uint32_t total, uint64_t bytes)>;

struct BuildSettings {
  uint64_t seed = 0;
  unsigned threads = 1;
  BuildProgressFn progress;
};

struct BuiltFile {
  std::string path;
  std::string role;  // "installer", "web installer", "update agent", "launcher", "disk 1", ...
  payload::ContainerStats stats;
};

struct BuildResult {
  std::vector<BuiltFile> files;
  std::string plainToken;
  bool tokenDrawn = false;  // no Token in the project: this build's token came from the seed
  std::string scrambledToken;
  payload::RequiredSpace space{};
  uint32_t entries = 0;
};

// The per-build values every file of one build shares, all drawn from the seed.
struct BuildIdentity {
  std::string plainToken;
  bool tokenDrawn = false;
  std::string scrambledToken;
  std::string plainWebToken;
  std::array<uint8_t, payload::kBuildBytesSize> buildBytes{};
  payload::BuildRandom webScramble{0};
};
BuildIdentity MakeIdentity(const Project& project, uint64_t seed);

// The entry jobs of a project, engine first, each file cut into pieces of the project's size.
std::vector<payload::EntryJob> PlanEntries(const Project& project);

// Writes the installer (and for a [Web] project the web installer after it; for a DiskSize the
// spanned set instead of one file).
bool BuildInstaller(const Project& project, const BuildSettings& settings, BuildResult& result,
                    std::string& error);

// Writes an update agent: the stub with the project's blocks, no entries and the agent flag.
bool BuildAgent(const Project& project, const BuildSettings& settings,
                const std::string& outputPath, BuildResult& result, std::string& error);

}  // namespace tarvopack
