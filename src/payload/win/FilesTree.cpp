// Files, folder trees: deletion by mask, whole-tree removal and the drive searches. Links to
// folders are removed as links and never entered, so neither a removal nor a search leaves the
// tree it was given.
#include "payload/win/Files.h"

#include <vector>

#include "ui/KMsgBoxPump.h"
#include "util/Utils.h"
#include "util/win/WinHandles.h"

namespace {

struct Entry {
  std::string name;
  DWORD attributes = 0;
};

bool IsFolder(const Entry& e) {
  return (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && e.name != "." && e.name != "..";
}

bool IsLink(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The entries matching a wildcard pattern, in directory order.
std::vector<Entry> ListEntries(const std::string& pattern) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAA found{};
  const HANDLE first = FindFirstFileA(pattern.c_str(), &found);
  const win::UniqueFindHandle find(first);
  if (!find) return entries;
  do {
    entries.push_back({found.cFileName, found.dwFileAttributes});
  } while (FindNextFileA(find.get(), &found));
  return entries;
}

// The folder part of a mask, with its final "\" (empty for a bare pattern).
std::string MaskFolder(const std::string& mask) {
  const std::size_t cut = mask.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : mask.substr(0, cut + 1);
}

// A link to a folder is removed as a folder entry; should the system refuse (a file-like link),
// it is deleted as a file. What it points to is never opened.
void RemoveLink(const std::string& path) {
  if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
}

void EmptyFolder(const std::string& folder, bool clearAttributes) {
  DeleteFilesByMask(JoinPath(folder, "*.*"), clearAttributes);
  for (const Entry& e : ListEntries(JoinPath(folder, "*.*"))) {
    if (!IsFolder(e)) continue;
    const std::string sub = JoinPath(folder, e.name);
    if (IsLink(e.attributes)) {
      RemoveLink(sub);
    } else {
      EmptyFolder(sub, clearAttributes);
      RemoveDirectoryA(sub.c_str());
    }
  }
}

// Drive roots "C:\" to "Z:\" whose type is driveType, in order.
std::vector<std::string> DriveRootsOfType(int driveType) {
  std::vector<std::string> roots;
  if (driveType < 0) return roots;
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == static_cast<UINT>(driveType)) roots.push_back(root);
  }
  return roots;
}

}  // namespace

bool DeleteFilesByMask(const std::string& mask, bool clearAttributes) {
  const std::string folder = MaskFolder(mask);
  bool any = false;
  for (const Entry& e : ListEntries(mask)) {
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    any = true;
    const std::string file = folder + e.name;
    // The attributes of a link would be set on what it points to, outside the folder.
    if (clearAttributes && !IsLink(e.attributes)) {
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    DeleteFileA(file.c_str());
  }
  return any;
}

bool RemoveTree(const std::string& folder, bool clearAttributes) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  const bool existed = DirectoryExists(folder);
  if (existed && IsLink(attributes)) {
    RemoveLink(folder);
  } else if (existed) {
    EmptyFolder(folder, clearAttributes);
    RemoveDirectoryA(folder.c_str());
  }
  return existed && !DirectoryExists(folder);
}

std::string FindFileInTree(const std::string& folder, const std::string& fileName) {
  if (fileName.empty()) return "";
  const std::string candidate = JoinPath(folder, fileName);
  if (FileExists(candidate)) return candidate;
  for (const Entry& e : ListEntries(JoinPath(folder, "*.*"))) {
    std::string hit;
    if (IsFolder(e) && !IsLink(e.attributes))
      hit = FindFileInTree(JoinPath(folder, e.name), fileName);
    YieldX(0);
    if (!hit.empty()) return hit;
  }
  return "";
}

std::string FindFileOnDrives(const std::string& fileName, int driveType) {
  for (const std::string& root : DriveRootsOfType(driveType)) {
    const std::string hit = FindFileInTree(root, fileName);
    if (!hit.empty()) return hit;
  }
  return "";
}

std::string FindDirInTree(const std::string& folder, const std::string& folderName) {
  if (EndsWith("\\" + folderName, folder, true)) return folder;
  for (const Entry& e : ListEntries(JoinPath(folder, "*.*"))) {
    std::string hit;
    if (IsFolder(e) && !IsLink(e.attributes)) {
      hit = FindDirInTree(JoinPath(folder, e.name), folderName);
    }
    YieldX(0);
    if (!hit.empty()) return hit;
  }
  return "";
}

std::string FindDirOnDrives(const std::string& folder, int driveType) {
  if (folder.size() >= 3 && folder.compare(1, 2, ":\\") == 0) {
    const std::string root = folder.substr(0, 3);
    const bool typeFits =
        driveType >= 0 && GetDriveTypeA(root.c_str()) == static_cast<UINT>(driveType);
    return typeFits && DirectoryExists(folder) ? folder : "";
  }
  for (const std::string& root : DriveRootsOfType(driveType)) {
    const std::string hit = FindDirInTree(root, folder);
    if (!hit.empty()) return hit;
  }
  return "";
}
