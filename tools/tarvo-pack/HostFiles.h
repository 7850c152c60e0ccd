// HostFiles: the few file-system facts tarvo-pack needs (whole-file reads, sizes, times, folder
// listings), kept apart so the rest of the tool is plain data handling.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvopack {

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error);
// The first `count` bytes (fewer when the file is shorter).
bool ReadFileHead(const std::string& path, size_t count, std::string& bytes, std::string& error);
bool RegularFileSize(const std::string& path, uint64_t& size, std::string& error);

// The file's modification time as a DOS date-time in the local time zone of this machine (the
// form a Windows file-age call returns; the stub gives the extracted file that local time back).
bool FileDosTime(const std::string& path, uint32_t& dosTime, std::string& error);
// Sets the modification time from a DOS date-time read as local time; false for an invalid value.
bool SetFileDosTime(const std::string& path, uint32_t dosTime);
// Sets the modification time to seconds since 1970 (for SOURCE_DATE_EPOCH).
bool SetFileUnixTime(const std::string& path, int64_t seconds);
// Seconds since 1970 as a DOS date-time in local time.
uint32_t UnixToDosTime(int64_t seconds);

// Regular files directly inside folder (no subfolders), sorted by name as bytes.
bool ListFolderFiles(const std::string& folder, std::vector<std::string>& files,
                     std::string& error);

// folder/name, or name itself when it is absolute or folder is empty.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string FolderOf(const std::string& path);
std::string BaseName(const std::string& path);

}  // namespace tarvopack
