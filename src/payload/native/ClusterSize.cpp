// Native stand-in for the cluster size: the block size of the file system that holds the path.
#include <sys/statvfs.h>

#include "payload/ClusterSize.h"

namespace payload {

uint32_t GetClusterSize(const std::string& path) {
  struct statvfs info {};
  if (path.empty() || statvfs(path.c_str(), &info) != 0) return 0;
  return info.f_frsize > UINT32_MAX ? 0 : static_cast<uint32_t>(info.f_frsize);
}

}  // namespace payload
