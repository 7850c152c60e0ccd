// PayloadWriter: the builder's half of the payload format: header blocks, entry records, the
// trailer and the finished file with its real end, per-build bytes and checksum.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "payload/PayloadFormat.h"

namespace payload {

// ---- Dates -------------------------------------------------------------------------------

struct CalendarTime {
  int year = 1980, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// Date in the high 16 bits, time in the low 16 bits, seconds halved. Dates before 1980 become
// 1 January 1980 00:00:00 and dates after 2107 the last moment of 2107: the form has no room.
uint32_t PackDosDateTime(const CalendarTime& time);
// The reverse; false when the fields are out of range (month 0, hour 25, ...).
bool UnpackDosDateTime(uint32_t packed, CalendarTime& time);
// "YYYY-MM-DD HH:MM:SS", or "-" for a value that is not a valid DOS date-time.
std::string FormatDosDateTime(uint32_t packed);

// ---- Header blocks -----------------------------------------------------------------------

struct LanguageSection {
  std::string name;                                        // English, Portuguese(Brazil), ...
  std::vector<std::pair<std::string, std::string>> items;  // key=value, in order
};

// Language block: 0x02 sections of 0x01 items. Empty error on success.
std::string BuildLanguageBlock(const std::vector<LanguageSection>& sections, std::string& error);

struct ParameterFields {
  std::string updateServer = "http:";  // the fixed fragments of a build without update settings
  std::string infoFile = ".info";
  std::string agentFile = ".exe";
  std::string scrambledToken;
  bool hidden = false;
};
std::string BuildParameterBlock(const ParameterFields& fields, std::string& error);

struct WebFields {
  std::string address;
  std::string fileName;
  bool alwaysDownload = false;
  std::string scrambledToken;
  std::string fileSize;  // decimal bytes; empty in the setup file's own block
};
std::string BuildWebBlock(const WebFields& fields, std::string& error);

// Empty when text may stand in a "|" list (no "|" and no byte 0), else a message naming what.
std::string CheckFieldText(const std::string& what, const std::string& text);

// ---- Entries -----------------------------------------------------------------------------

// Empty when name is a plain file name the reader can write, else why not.
std::string CheckEntryName(const std::string& name);
// "|name|time|"
std::string EntryHeader(const std::string& name, uint32_t dosTime);

// One record: s32 length, then a zlib stream (header 0x78 0x01) when that is shorter than the
// decoded data, else minus the length and the data as is. Level 0 always stores.
// False when the decoded data is too long for an s32 length or zlib fails.
bool EncodeEntryRecord(const std::string& decoded, int level, std::string& record);

// ---- Trailer and required space --------------------------------------------------------

using RequiredSpace = std::array<uint32_t, 9>;

// Element 0: the sum of the sizes; element i: each size rounded up to clusters of 256 << i bytes.
// Sums that exceed 32 bits stay at 0xFFFFFFFF.
RequiredSpace ComputeRequiredSpace(const std::vector<uint64_t>& fileSizes, uint64_t extraBytes);

std::string EncodeTrailer(const Trailer& trailer);
Trailer DecodeTrailer(const std::string& bytes);  // 74 bytes, else all zero

// Empty when the image can head an installer: "MZ", "PE\0\0" at 0x100 and zero from 0x90 to 0xFF
// (the builder writes there); else the reason.
std::string CheckStubImage(const std::string& stub);

// ---- Whole files -------------------------------------------------------------------------

// One entry of a file being written.
struct EntryJob {
  // FilePiece: content read from a file; Memory: content given; Record: a finished record given;
  // FileRecord: a finished record copied from a file (a spanned set reuses an installer's).
  enum class Kind { FilePiece, Memory, Record, FileRecord };
  Kind kind = Kind::Memory;
  std::string header;      // FilePiece and Memory: the header text
  std::string sourcePath;  // FilePiece, FileRecord: the file to read
  uint64_t offset = 0;     // FilePiece, FileRecord: where the bytes start
  uint64_t length = 0;     // FilePiece, FileRecord: how many bytes
  std::string bytes;       // Memory: the content; Record: the record
};

struct ContainerPlan {
  std::string stub;                 // empty for a further file of a spanned set
  std::vector<std::string> blocks;  // header blocks, each written after its u32 length
  std::vector<EntryJob> entries;
  Trailer trailer{};  // flags, bytes 64..69 and required space; the rest is filled
  std::array<uint8_t, kBuildBytesSize> buildBytes{};
  bool checksum = true;  // false: the field holds 1234
  int level = 9;
  unsigned threads = 1;
};

struct ContainerStats {
  uint64_t fileSize = 0;
  uint32_t checksum = 0;
  uint32_t entries = 0;
  uint64_t decodedBytes = 0;  // header texts, zero bytes and contents
  uint64_t recordBytes = 0;   // what the entries take in the file
};

// Called on the writing thread after each entry: entries written, all entries, decoded bytes.
using ProgressFn = std::function<void(uint32_t done, uint32_t total, uint64_t decodedBytes)>;

// Writes the file through a temporary beside it and renames it into place, so a failed build
// never leaves a half-written installer. Entries are encoded on `threads` threads, a bounded
// number at a time, and written in plan order: the bytes do not depend on the thread count.
bool WriteContainer(const std::string& path, const ContainerPlan& plan, const ProgressFn& progress,
                    ContainerStats& stats, std::string& error);

}  // namespace payload
