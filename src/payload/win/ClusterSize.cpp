// Bytes per cluster of a drive root, from the system's free-space query.
#include "payload/ClusterSize.h"

#include <windows.h>

namespace payload {

uint32_t GetClusterSize(const std::string& path) {
  if (path.empty()) return 0;  // an empty root would name the current drive
  const std::string root = path.substr(0, 3);
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0;
  }
  return sectorsPerCluster * bytesPerSector;
}

}  // namespace payload
