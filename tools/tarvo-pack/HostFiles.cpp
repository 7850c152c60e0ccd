// HostFiles: file-system facts for tarvo-pack (see HostFiles.h).
#include "tarvo-pack/HostFiles.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "payload/PayloadWriter.h"

namespace tarvopack {

namespace fs = std::filesystem;

namespace {

bool LocalCalendar(std::time_t seconds, std::tm& out) {
#if defined(_WIN32)
  return localtime_s(&out, &seconds) == 0;
#else
  return localtime_r(&seconds, &out) != nullptr;
#endif
}

fs::file_time_type FromUnix(int64_t seconds) {
  const auto sys = std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
  return fs::file_time_type::clock::from_sys(sys);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  uint64_t size = 0;
  if (!RegularFileSize(path, size, error)) return false;
  return ReadFileHead(path, static_cast<size_t>(size), bytes, error);
}

bool ReadFileHead(const std::string& path, size_t count, std::string& bytes, std::string& error) {
  bytes.clear();
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  bytes.resize(count);
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool RegularFileSize(const std::string& path, uint64_t& size, std::string& error) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    error = path + ": no such file";
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = path + " is not a regular file";
    return false;
  }
  size = fs::file_size(path, ec);
  if (ec) {
    error = path + ": " + ec.message();
    return false;
  }
  return true;
}

uint32_t UnixToDosTime(int64_t seconds) {
  std::tm tm{};
  if (!LocalCalendar(static_cast<std::time_t>(seconds), tm)) return payload::PackDosDateTime({});
  return payload::PackDosDateTime(
      {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

bool FileDosTime(const std::string& path, uint32_t& dosTime, std::string& error) {
  std::error_code ec;
  const fs::file_time_type when = fs::last_write_time(path, ec);
  if (ec) {
    error = path + ": " + ec.message();
    return false;
  }
  const auto sys = fs::file_time_type::clock::to_sys(when);
  dosTime = UnixToDosTime(std::chrono::floor<std::chrono::seconds>(sys.time_since_epoch()).count());
  return true;
}

bool SetFileDosTime(const std::string& path, uint32_t dosTime) {
  payload::CalendarTime t;
  if (!payload::UnpackDosDateTime(dosTime, t)) return false;
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&tm);
  if (seconds == static_cast<std::time_t>(-1)) return false;
  return SetFileUnixTime(path, static_cast<int64_t>(seconds));
}

bool SetFileUnixTime(const std::string& path, int64_t seconds) {
  std::error_code ec;
  fs::last_write_time(path, FromUnix(seconds), ec);
  return !ec;
}

bool ListFolderFiles(const std::string& folder, std::vector<std::string>& files,
                     std::string& error) {
  files.clear();
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    error = folder + ": " + ec.message();
    return false;
  }
  for (const fs::directory_entry& entry : it) {
    if (entry.is_regular_file(ec)) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || fs::path(name).is_absolute()) return name;
  return (fs::path(folder) / name).string();
}

std::string FolderOf(const std::string& path) {
  return fs::path(path).parent_path().string();
}

std::string BaseName(const std::string& path) {
  return fs::path(path).filename().string();
}

}  // namespace tarvopack
