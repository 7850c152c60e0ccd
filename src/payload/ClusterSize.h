// Bytes per cluster of the drive that holds a path: a system fact the required-space choice depends
// on.
#pragma once

#include <cstdint>
#include <string>

namespace payload {

// Windows: the cluster size of the drive root named by the first three characters of path ("C:\");
// 0 when the system cannot tell (a network path, a missing drive). Natively: the block size of the
// file system that holds path, 0 when it cannot be asked.
uint32_t GetClusterSize(const std::string& path);

}  // namespace payload
