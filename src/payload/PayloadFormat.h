// Byte layout of the payload the builder appends to the stub; shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace payload {

// All integers are little-endian. The trailer is the last 74 bytes before the real end.
constexpr uint32_t kMagic = 0x4A3B2C1D;
constexpr uint32_t kTrailerSize = 74;
constexpr uint32_t kChecksumDisabled = 1234;

// Stub header fields (inside the DOS stub area; the stub's PE signature sits at 0x100).
constexpr size_t kPeSignatureOffset = 0x100;
constexpr size_t kRealEndHighOffset = 0xF8;  // u32, high half of the installer's length
constexpr size_t kRealEndLowOffset = 0xFC;   // u32, low half
constexpr size_t kBuildBytesOffset = 0x90;   // 64 per-build bytes, never read by the stub
constexpr size_t kBuildBytesSize = 64;

// Trailer flags (byte 65).
constexpr uint8_t kFlagTempNotice = 0x01;    // always show the temporary-drive notice
constexpr uint8_t kFlagNextDisk = 0x02;      // another disk of a spanned set follows
constexpr uint8_t kFlagSpanFirstLevel = 0x04;
constexpr uint8_t kFlagActivityBar = 0x08;
constexpr uint8_t kFlagAgentLog = 0x10;

// Separators the builder writes.
constexpr char kLangSectionSep = '\x02';
constexpr char kLangItemSep = '\x01';
constexpr char kFieldSep = '|';

#pragma pack(push, 1)
struct Trailer {
  uint8_t format;           // 0: 1, not interpreted
  uint8_t headerBlocks;     // 1: 2, or 3 with the web block; 0 reads as 2
  uint8_t padding[2];       // 2
  int32_t startOffset;      // 4: offset of header block 1 (the stub's size)
  uint32_t filesCount;      // 8: entries in this file
  uint32_t magic;           // 12: kMagic
  uint32_t checksum;        // 16: checksum of the file, or kChecksumDisabled
  uint8_t reserved1[8];     // 20
  uint32_t requiredSpace[9];// 28: [0] unrounded; [i] rounded to clusters of 256 << i bytes
  uint8_t reserved2;        // 64
  uint8_t flags;            // 65: kFlag* bits
  uint8_t webInstaller;     // 66
  uint8_t askBeforeDownload;// 67
  uint8_t makeAgent;        // 68
  uint8_t agent;            // 69
  uint32_t trailerSize;     // 70: 74
};
#pragma pack(pop)

static_assert(sizeof(Trailer) == kTrailerSize, "the trailer is 74 bytes on disk");
static_assert(offsetof(Trailer, startOffset) == 4);
static_assert(offsetof(Trailer, checksum) == 16);
static_assert(offsetof(Trailer, requiredSpace) == 28);
static_assert(offsetof(Trailer, flags) == 65);
static_assert(offsetof(Trailer, trailerSize) == 70);

}  // namespace payload
