// ScratchTree: a fresh folder under the temporary folder for the Wine suites, which may hold
// subfolders; removed with everything in it when the test ends.
#pragma once

#include <windows.h>

#include <string>

#include "payload/win/Files.h"

namespace wintest {

class ScratchTree {
 public:
  // tag names the folder ("tarvo_<tag>_<process>_<n>"), to tell which suite left one behind.
  explicit ScratchTree(const std::string& tag = "tree") {
    static unsigned counter = 0;
    path_ = SystemTempFolder() + "tarvo_" + tag + "_" + std::to_string(GetCurrentProcessId()) +
            "_" + std::to_string(++counter);
    RemoveTree(path_, true);  // what an earlier process with the same id left
    ForceDirectories(path_);
  }
  ~ScratchTree() { RemoveTree(path_, true); }
  ScratchTree(const ScratchTree&) = delete;
  ScratchTree& operator=(const ScratchTree&) = delete;

  const std::string& Path() const { return path_; }
  std::string At(const std::string& relative) const { return path_ + "\\" + relative; }
  // Writes the bytes as the whole file, making its folders; its full path.
  std::string Put(const std::string& relative, const std::string& bytes) const {
    const std::string file = At(relative);
    ForceDirectories(file.substr(0, file.find_last_of('\\')));
    WriteStringToFile(file, bytes, 0, false);
    return file;
  }

 private:
  std::string path_;
};

}  // namespace wintest
