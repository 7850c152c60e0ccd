// Spanner: cuts a finished installer into a spanned set: a launcher (the stub with the header
// blocks and the launcher flag) and the files .001, .002, ... each no larger than one disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tarvo-pack/Builder.h"

namespace tarvopack {

struct SplitSettings {
  uint64_t diskSize = 0;
  int level = 9;  // for entries that must be cut into smaller pieces
  unsigned threads = 1;
  BuildProgressFn progress;
};

// The launcher goes to launcherPath, the disks to launcherPath.001 and on (the launcher starts
// its copy with the name of the .001 file next to it). Entries are copied unchanged; an entry
// larger than a disk is decoded and stored again in pieces that fit. files receives the launcher
// and every disk, in order.
bool SplitInstaller(const std::string& input, const std::string& launcherPath,
                    const SplitSettings& settings, std::vector<BuiltFile>& files,
                    std::string& error);

}  // namespace tarvopack
