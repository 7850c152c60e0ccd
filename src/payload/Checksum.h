// The installer file checksum that the trailer stores at offset 16 and the extraction verifies.
#pragma once

#include <cstdint>
#include <string>

#include "payload/ByteSource.h"

namespace payload {

// Files above this size are not summed: their checksum is kChecksumDisabled (1234).
constexpr uint64_t kChecksumSizeLimit = 52428800;  // 50 MiB

// The value the trailer's checksum field must hold for this file. Sums the little-endian words from
// offset 0 (from 512 when the stub header records a real end at 0xFC) up to shortly before the
// trailer, plus 1234 for every 4096-byte read that still lies before it. trailerSize is the
// record's trailer size.
uint32_t ChecksumOf(const ByteSource& file, uint32_t trailerSize);

// The same over a finished installer image in memory (the builder's form).
uint32_t ChecksumOfImage(const uint8_t* data, uint64_t size, uint32_t trailerSize);

// The same over a file given by name; a file that cannot be opened sums as empty (0).
uint32_t FileChecksum(const std::string& fileName, uint32_t trailerSize);

// The extraction's test: the stored value matches, or either side is 1234.
bool ChecksumPasses(uint32_t computed, uint32_t stored);

}  // namespace payload
