// A scratch folder under the system's temporary folder for the Wine suites; removed with its
// files when the test ends.
#pragma once

#include <windows.h>

#include <string>

#include "util/win/WinHandles.h"

namespace wintest {

class TempFolder {
 public:
  TempFolder() {
    static unsigned counter = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "tarvo_test_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAA found{};
    const HANDLE first = FindFirstFileA((path_ + "\\*").c_str(), &found);
    // FindFirstFile fails with INVALID_HANDLE_VALUE, not null.
    const win::UniqueFindHandle find(first);
    if (find) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileA(File(found.cFileName).c_str());
      } while (FindNextFileA(find.get(), &found));
    }
    RemoveDirectoryA(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

  // Writes the bytes as the whole file; its full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string file = File(name);
    const win::UniqueFile h(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (h) WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return file;
  }

  // The whole file, or empty when it cannot be read.
  static std::string Read(const std::string& file) {
    std::string bytes;
    const win::UniqueFile h(CreateFileA(file.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(h.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
      bytes.append(chunk, got);
    return bytes;
  }

 private:
  std::string path_;
};

}  // namespace wintest
