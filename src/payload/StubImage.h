// Facts about the stub at the head of an installer file: whether it is one, and the real end it
// records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "payload/ByteSource.h"

namespace payload {

// True when the file starts with "MZ" and holds "PE" at 0x100.
bool IsStubImage(const ByteSource& file);
bool IsStubImage(const std::string& fileName);

// The installer's length as recorded in the stub header: u32 at 0xFC (low half), u32 at 0xF8 (high
// half). 0 means not set; a value with the top bit set reads as negative and so never counts as set
// either.
int64_t ReadRealEnd(const ByteSource& file);
int64_t ReadRealEnd(const std::string& fileName);

// The same two fields from an image held in memory (offsets 248 to 255); 0 when the image is
// shorter.
int64_t RealEndOfImage(const uint8_t* data, size_t size);
int64_t RealEndOfImage(const std::string& bytes);

// Where the payload ends: the recorded real end of a stub image when it is above 0, else the
// physical size. May lie beyond the physical end of a damaged file; readers bound their reads by
// the physical size.
int64_t PayloadEnd(const ByteSource& file);

}  // namespace payload
