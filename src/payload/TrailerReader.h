// Locating and reading the 74-byte trailer at the real end of an installer file.
#pragma once

#include <string>

#include "payload/ByteSource.h"
#include "payload/PayloadFormat.h"

namespace payload {

// Fills record from the end of the file: the trailer size S is the u32 in the last four bytes
// before the real end (the physical end, or the recorded real end of a stub image), the trailer
// starts S bytes before that end, and min(74, S) - 4 bytes of it are copied; the record's trailer
// size becomes min(74, S) and a header-block count of 0 becomes 2. The record is zeroed first;
// bytes that would lie outside the file stay zero. A file that cannot be opened gives a zero record
// (with the count 2).
void ReadTrailer(const ByteSource& file, Trailer& record);
void ReadTrailer(const std::string& fileName, Trailer& record);

}  // namespace payload
