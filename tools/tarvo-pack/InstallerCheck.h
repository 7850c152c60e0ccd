// InstallerCheck: the judgement on scanned installer files: what kind each is, what is wrong with
// it (problems fail `verify`) and what is merely worth knowing (notes).
#pragma once

#include <string>
#include <vector>

#include "tarvo-pack/InstallerScan.h"

namespace tarvopack {

struct Verdict {
  std::vector<std::string> problems;
  std::vector<std::string> notes;
  bool Sound() const { return problems.empty(); }
};

// "installer", "web installer", "update agent", "spanned launcher", "disk N of a spanned set".
std::string KindOf(const FileScan& scan, int diskNumber);

// Checks one file on its own: trailer, checksum, records, names, blocks, token, required space.
Verdict CheckFile(const FileScan& scan);

// Checks a spanned set or a single installer as a whole: exactly one engine, and it comes first;
// flags that chain the disks. disks are the data files in order (for a plain installer, itself).
Verdict CheckSet(const std::vector<FileScan>& disks, const FileScan* launcher);

// The stored build token decodes to the same text every time (a failed decode gives a random
// number).
bool TokenDescrambles(const std::string& stored, std::string& plain);

// The decoded content sizes of the entries, summed per file name (what extraction creates).
uint64_t ContentBytes(const std::vector<FileScan>& disks);

}  // namespace tarvopack
