// InstallerScan: everything tarvo-pack reports about an existing installer file: stub header,
// trailer, checksum, header blocks and one line per record, each entry decoded to check it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "payload/EntryHeader.h"
#include "payload/PayloadFormat.h"

namespace tarvopack {

struct RecordScan {
  uint64_t offset = 0;
  int32_t length = 0;    // as stored: above 0 compressed, else stored
  bool isBlock = false;  // one of the leading header blocks
  // Entries only:
  bool hasHeader = false;  // a header text naming a file (else the reader skips the entry)
  payload::EntryInfo info;
  uint64_t contentSize = 0;
  uint32_t crc32 = 0;               // of the file bytes
  bool zlibHeaderAsWritten = true;  // a compressed record starts with 0x78 0x01
  std::string error;                // damaged stream, ...
};

struct FileScan {
  std::string path;
  uint64_t physicalSize = 0;
  bool isStub = false;
  int64_t realEnd = 0;     // as recorded at 0xF8/0xFC (0: not set)
  int64_t payloadEnd = 0;  // where the trailer ends
  uint32_t trailerSizeField = 0;
  payload::Trailer trailer{};  // as ReadTrailer gives it (start offset not advanced)
  bool magicOk = false;
  uint32_t computedChecksum = 0;
  bool continuation = false;  // a further file of a spanned set: no header blocks of its own
  std::string languageBlock, parameterBlock, webBlock;
  std::array<uint8_t, payload::kBuildBytesSize> buildBytes{};
  std::vector<RecordScan> records;
  std::string walkError;  // the record chain is broken here
};

// The file bytes of one entry record of the scanned file, decoded whole into memory (the builder
// keeps entries to one piece, so this is bounded by the piece size). False with a reason.
bool ReadEntryContent(const std::string& path, const RecordScan& record, std::string& content,
                      std::string& error);

// A further file of a spanned set is named like the first with ".002", ".003", ... at the end.
bool IsContinuationName(const std::string& path);

// Reads one file completely (streaming; memory stays bounded whatever the entries' sizes).
// False only when the file cannot be opened; damage is reported inside the scan.
bool ScanInstaller(const std::string& path, FileScan& scan, std::string& error);

// The files of the set that starts at path: a launcher leads to path.001, and every file whose
// next-disk flag is set to the following number. Stops at the first missing file (reported).
std::vector<std::string> SeriesFrom(const std::string& path, std::string& missing);

// The name of disk `number` of the set whose first file is base + ".001".
std::string DiskFileName(const std::string& base, int number);

}  // namespace tarvopack
