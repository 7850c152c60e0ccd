// InstallerCheck: problems and notes about scanned installer files (see InstallerCheck.h).
#include "tarvo-pack/InstallerCheck.h"

#include "payload/Checksum.h"
#include "payload/Token.h"
#include "util/KSUB.h"

namespace tarvopack {

namespace {

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

bool CarriesEntries(const FileScan& scan) {
  return !scan.trailer.webInstaller && !scan.trailer.agent &&
         !(scan.trailer.flags & payload::kFlagSpanFirstLevel);
}

void CheckTrailer(const FileScan& s, Verdict& v) {
  if (s.trailerSizeField != payload::kTrailerSize)
    v.problems.push_back("the trailer size field holds " + std::to_string(s.trailerSizeField) +
                         ", not 74");
  if (s.trailer.flags & 0xE0) v.problems.push_back("unknown trailer flags are set (bits 5 to 7)");
  if (s.realEnd > static_cast<int64_t>(s.physicalSize))
    v.problems.push_back("the file is shorter (" + std::to_string(s.physicalSize) +
                         " bytes) than its recorded length " + std::to_string(s.realEnd) +
                         ": it was cut off");
  if (s.realEnd > 0 && s.realEnd < static_cast<int64_t>(s.physicalSize))
    v.notes.push_back(std::to_string(s.physicalSize - static_cast<uint64_t>(s.realEnd)) +
                      " bytes follow the recorded end; the stub ignores them");
  if (s.isStub && s.realEnd == 0)
    v.notes.push_back("the stub header records no length: read to the physical end");
  const uint32_t stored = s.trailer.checksum;
  if (!payload::ChecksumPasses(s.computedChecksum, stored))
    v.problems.push_back("checksum mismatch: stored " + Hex32(stored) + ", computed " +
                         Hex32(s.computedChecksum) + " (the stub refuses to extract it)");
  else if (stored == payload::kChecksumDisabled)
    v.notes.push_back("the checksum is switched off (1234): damage would go unnoticed");
  else if (s.computedChecksum == payload::kChecksumDisabled)
    v.notes.push_back("the file is larger than 50 MiB: the stub does not check its checksum");
  for (size_t i = 1; i < 9; ++i) {
    if (s.trailer.requiredSpace[i] < s.trailer.requiredSpace[i - 1]) {
      v.problems.push_back("the required-space figures decrease at element " + std::to_string(i));
      break;
    }
  }
}

void CheckBlocks(const FileScan& s, Verdict& v) {
  if (s.continuation) return;
  const int blocks = s.trailer.headerBlocks;
  if (blocks != 2 && blocks != 3)
    v.problems.push_back("header-block count " + std::to_string(blocks) + " (2 or 3 expected)");
  if (s.trailer.webInstaller && blocks < 3)
    v.problems.push_back("a web installer without a web block");
  const std::string& lang = s.languageBlock;
  if (lang.size() < 2 || lang.front() != '\x02' || lang.back() != '\x02')
    v.problems.push_back("the language block is not a list of 0x02-separated sections");
  std::string plain;
  if (s.parameterBlock.empty())
    v.problems.push_back("no parameter block");
  else if (!TokenDescrambles(SUB::Field(s.parameterBlock, 3, ""), plain))
    v.problems.push_back("the build token (parameter field 3) does not descramble");
  if (blocks >= 3 && !TokenDescrambles(SUB::Field(s.webBlock, 3, ""), plain))
    v.problems.push_back("the web token (web block field 3) does not descramble");
}

void CheckRecords(const FileScan& s, Verdict& v) {
  if (!s.walkError.empty()) v.problems.push_back(s.walkError);
  uint32_t entries = 0;
  for (const RecordScan& r : s.records) {
    if (r.isBlock) continue;
    ++entries;
    const std::string where =
        "entry " + std::to_string(entries) + " at offset " + std::to_string(r.offset);
    if (!r.error.empty()) v.problems.push_back(where + ": " + r.error);
    if (!r.hasHeader) {
      v.notes.push_back(where + " has no header: the stub skips it");
      continue;
    }
    if (!payload::IsPlainFileName(r.info.name))
      v.problems.push_back(where + ": \"" + r.info.name + "\" is not a plain file name");
    if (r.length > 0 && !r.zlibHeaderAsWritten)
      v.notes.push_back(where + ": zlib header other than 0x78 0x01");
  }
  if (s.walkError.empty() && entries != s.trailer.filesCount)
    v.problems.push_back("the trailer counts " + std::to_string(s.trailer.filesCount) +
                         " entries, the file holds " + std::to_string(entries));
  if (!CarriesEntries(s) && entries > 0)
    v.notes.push_back("a file of this kind carries entries the stub never reads");
}

}  // namespace

bool TokenDescrambles(const std::string& stored, std::string& plain) {
  plain = payload::DescrambleToken(stored);
  return !stored.empty() && plain == payload::DescrambleToken(stored);
}

std::string KindOf(const FileScan& s, int diskNumber) {
  if (!s.magicOk) return "not an installer";
  if (s.trailer.flags & payload::kFlagSpanFirstLevel) return "spanned launcher";
  if (s.trailer.agent) return "update agent";
  if (s.trailer.webInstaller) return "web installer";
  if (diskNumber > 0) return "disk " + std::to_string(diskNumber) + " of a spanned set";
  return "installer";
}

Verdict CheckFile(const FileScan& s) {
  Verdict v;
  if (!s.magicOk) {
    if (s.realEnd > static_cast<int64_t>(s.physicalSize))
      v.problems.push_back("the file is shorter (" + std::to_string(s.physicalSize) +
                           " bytes) than its recorded length " + std::to_string(s.realEnd) +
                           ": it was cut off");
    v.problems.push_back("no trailer with the magic 0x4A3B2C1D: not an installer of this suite");
    return v;
  }
  CheckTrailer(s, v);
  CheckBlocks(s, v);
  CheckRecords(s, v);
  return v;
}

Verdict CheckSet(const std::vector<FileScan>& disks, const FileScan* launcher) {
  Verdict v;
  if (disks.empty()) return v;
  if (launcher != nullptr && launcher->trailer.filesCount != 0)
    v.notes.push_back("the launcher carries entries; the stub never extracts them");
  if (!CarriesEntries(disks.front())) return v;
  int engines = 0;
  bool first = true;
  for (size_t d = 0; d < disks.size(); ++d) {
    const bool last = d + 1 == disks.size();
    const bool next = (disks[d].trailer.flags & payload::kFlagNextDisk) != 0;
    if (next == last)
      v.problems.push_back(disks[d].path + (last ? ": the last disk announces another"
                                                 : ": the next-disk flag is missing"));
    for (const RecordScan& r : disks[d].records) {
      if (r.isBlock || !r.hasHeader) continue;
      if (r.info.isEngine) {
        ++engines;
        if (!first) v.problems.push_back("the engine " + r.info.name + " is not the first entry");
      }
      first = false;
    }
  }
  if (engines == 0)
    v.problems.push_back("no entry is marked as the engine (\"*\"): the stub would start nothing");
  if (engines > 1)
    v.problems.push_back(std::to_string(engines) + " entries are marked as the engine");
  return v;
}

uint64_t ContentBytes(const std::vector<FileScan>& disks) {
  uint64_t total = 0;
  for (const FileScan& d : disks) {
    for (const RecordScan& r : d.records) {
      if (!r.isBlock && r.hasHeader) total += r.contentSize;
    }
  }
  return total;
}

}  // namespace tarvopack
