// Files: sizes, seeks, path facts, whole reads and writes and free space on the ANSI file
// interface.
#include "payload/win/Files.h"

#include <algorithm>
#include <exception>

#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::int64_t Join64(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

// Sets the last-write time from a packed DOS date-time read as local time.
void SetFileDosDate(HANDLE file, std::uint32_t dosDateTime) {
  FILETIME local{};
  FILETIME utc{};
  if (DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local) &&
      LocalFileTimeToFileTime(&local, &utc)) {
    SetFileTime(file, nullptr, nullptr, &utc);
  }
}

// Writes size bytes in one call; the count written.
std::int64_t WriteOnce(HANDLE file, const char* data, std::int64_t size) {
  DWORD written = 0;
  if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr)) return 0;
  return written;
}

// Writes all of data, in pieces when it is large; the count written.
std::int64_t WriteAll(HANDLE file, const std::string& data) {
  const auto total = static_cast<std::int64_t>(data.size());
  if (total <= kWholeWriteLimit) return WriteOnce(file, data.data(), total);
  const std::int64_t chunk = WriteChunkSize(total);
  std::int64_t done = 0;
  while (done < total) {
    const std::int64_t n = WriteOnce(file, data.data() + done, std::min(chunk, total - done));
    if (n == 0) break;
    done += n;
  }
  return done;
}

// Reads exactly count bytes from the current position; false on a short read.
bool ReadExactly(HANDLE file, std::string& bytes, std::int64_t count) {
  try {
    bytes.resize(static_cast<std::size_t>(count));
  } catch (const std::exception&) {
    return false;  // more than this process can hold
  }
  std::int64_t done = 0;
  while (done < count) {
    const DWORD want = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 24));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, want, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

}  // namespace

std::int64_t FileSeek64(HANDLE file, int origin, std::int64_t distance) {
  LONG high = static_cast<LONG>(distance >> 32);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(distance & 0xFFFFFFFF), &high,
                                   static_cast<DWORD>(origin));
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
  return Join64(static_cast<DWORD>(high), low);
}

std::int64_t FileSizeByName(const std::string& fileName) {
  WIN32_FIND_DATAA found{};
  const HANDLE first = FindFirstFileA(fileName.c_str(), &found);
  const win::UniqueFindHandle find(first);
  return find ? Join64(found.nFileSizeHigh, found.nFileSizeLow) : 0;
}

std::int64_t FileSizeByHandle(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return -1;
  return size.QuadPart;
}

bool FileExists(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& folder) {
  const std::string path = SetTrailingBackslash(folder, false);
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  const std::size_t cut = path.find_last_of('\\');
  // Stops at a drive ("C:") or a share root, which cannot be made.
  if (cut != std::string::npos && cut > 0 && path[cut - 1] != ':' && path[cut - 1] != '\\') {
    ForceDirectories(path.substr(0, cut));
  }
  CreateDirectoryA(path.c_str(), nullptr);
  return DirectoryExists(path);
}

std::uint32_t FileDosDateTime(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data) ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return 0;
  }
  return (static_cast<std::uint32_t>(date) << 16) | time;
}

std::string SystemTempFolder() {
  char temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return "";
  return SetTrailingBackslash(std::string(temp, n), true);
}

std::string ProgramFile() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return "";
  return std::string(path, n);
}

std::string ReadFileBytes(const std::string& fileName, std::int64_t limit, std::int64_t offset) {
  std::string bytes;
  const win::UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_READ, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return bytes;
  const std::int64_t size = FileSizeByHandle(file.get());
  std::int64_t count = size - offset;
  if (limit > 0 && count > limit) count = limit;
  if (offset < 0 || offset >= size || count <= 0) return bytes;
  if (FileSeek64(file.get(), 0, offset) != offset || !ReadExactly(file.get(), bytes, count)) {
    return std::string();
  }
  return bytes;
}

bool WriteStringToFile(const std::string& fileName, const std::string& data, std::uint32_t fileDate,
                       bool append) {
  const DWORD share = append ? kShareAll : FILE_SHARE_READ;
  const win::UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_WRITE, share, nullptr,
                                         append ? OPEN_ALWAYS : CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  if (append && FileSeek64(file.get(), 2, 0) < 0) return false;
  const bool whole = WriteAll(file.get(), data) == static_cast<std::int64_t>(data.size());
  if (whole && fileDate != 0) SetFileDosDate(file.get(), fileDate);
  return whole;
}

bool AppendStringToFile(const std::string& fileName, const std::string& data,
                        std::uint32_t fileDate) {
  const win::UniqueFile file(CreateFileA(fileName.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || FileSeek64(file.get(), 2, 0) < 0) return false;
  const auto size = static_cast<std::int64_t>(data.size());
  const bool whole = WriteOnce(file.get(), data.data(), size) == size;
  if (whole && fileDate != 0) SetFileDosDate(file.get(), fileDate);
  return whole;
}

namespace {

using FreeSpaceExFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Looked up once per process: systems before it lack the 64-bit query.
FreeSpaceExFn FreeSpaceEx() {
  static const FreeSpaceExFn fn = [] {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC proc = kernel ? GetProcAddress(kernel, "GetDiskFreeSpaceExA") : nullptr;
    return reinterpret_cast<FreeSpaceExFn>(reinterpret_cast<void (*)()>(proc));
  }();
  return fn;
}

bool FreeToCaller(FreeSpaceExFn query, const std::string& root, double& bytes) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  if (root.empty() || !query(root.c_str(), &available, &total, &free)) return false;
  bytes = static_cast<double>(available.QuadPart);
  return true;
}

}  // namespace

double DiskFreeSpace(const std::string& path) {
  double bytes = -1;
  if (const FreeSpaceExFn query = FreeSpaceEx()) {
    if (!FreeToCaller(query, DriveRootOf(path, false), bytes)) {
      FreeToCaller(query, DriveRootOf(path, true), bytes);
    }
    return bytes;
  }
  const std::string root = DriveRootOf(path, true);
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!root.empty() && GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector,
                                         &freeClusters, &totalClusters)) {
    bytes = static_cast<double>(sectorsPerCluster) * bytesPerSector * freeClusters;
  }
  return bytes;
}
