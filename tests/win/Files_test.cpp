// The file and disk helpers on real folders under Wine: sizes and seeks, reads and writes, free
// space, deletion by mask and of trees (links included), searches and the self-deletion script.
#include "payload/win/Files.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchTree.h"
#include "WinTestSupport.h"
#include "util/win/WinHandles.h"

namespace {

using Scratch = wintest::ScratchTree;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

void MakeReadOnly(const std::string& file) {
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
}

TEST(Files, SizesAndSeeks) {
  Scratch dir;
  const std::string file = dir.Put("sized.bin", Pattern(3000));
  EXPECT_EQ(FileSizeByName(file), 3000);
  EXPECT_EQ(FileSizeByName(dir.At("missing.bin")), 0);
  const win::UniqueFile h(
      CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(h);
  EXPECT_EQ(FileSizeByHandle(h.get()), 3000);
  EXPECT_EQ(FileSeek64(h.get(), 0, 100), 100);
  EXPECT_EQ(FileSeek64(h.get(), 1, 50), 150);
  EXPECT_EQ(FileSeek64(h.get(), 2, -1000), 2000);
  // The high half travels: a position past 4 GiB is legal without any data there.
  const std::int64_t beyond = (std::int64_t{5} << 30) + 7;
  EXPECT_EQ(FileSeek64(h.get(), 0, beyond), beyond);
  EXPECT_EQ(FileSeek64(h.get(), 0, -1), -1) << "before the start";
  EXPECT_EQ(FileSizeByHandle(INVALID_HANDLE_VALUE), -1);
}

TEST(Files, ReadFileBytesCases) {
  Scratch dir;
  const std::string bytes = Pattern(300);
  const std::string file = dir.Put("r.bin", bytes);
  struct Case {
    const char* name;
    std::int64_t limit, offset;
    std::string expected;
  } cases[] = {
      {"whole file", 0, 0, bytes},
      {"limit above the size", 1000, 0, bytes},
      {"limit and offset", 50, 100, bytes.substr(100, 50)},
      {"offset to the end", 0, 250, bytes.substr(250)},
      {"last byte", 0, 299, bytes.substr(299)},
      {"offset at the end", 0, 300, ""},
      {"offset beyond the end", 0, 301, ""},
      {"negative offset", 0, -1, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadFileBytes(file, c.limit, c.offset), c.expected) << c.name;
  EXPECT_EQ(ReadFileBytes(dir.At("missing.bin"), 0, 0), "");
  EXPECT_EQ(ReadFileBytes(dir.Put("empty.bin", ""), 0, 0), "");
  // Others keep their access: a file held open for writing is still read.
  const win::UniqueFile writer(CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_EQ(ReadFileBytes(file, 10, 0), bytes.substr(0, 10));
}

TEST(Files, WriteAppendAndDate) {
  Scratch dir;
  const std::string file = dir.At("w.txt");
  EXPECT_TRUE(WriteStringToFile(file, "first", 0, false));
  EXPECT_TRUE(WriteStringToFile(file, "second", 0, false));
  EXPECT_EQ(ReadFileBytes(file, 0, 0), "second") << "truncated";
  EXPECT_TRUE(WriteStringToFile(file, "+more", 0, true));
  EXPECT_EQ(ReadFileBytes(file, 0, 0), "second+more");
  EXPECT_TRUE(WriteStringToFile(dir.At("new.txt"), "made", 0, true)) << "append creates";
  EXPECT_TRUE(AppendStringToFile(dir.At("log.txt"), "a\r\n", 0));
  EXPECT_TRUE(AppendStringToFile(dir.At("log.txt"), "b\r\n", 0));
  EXPECT_EQ(ReadFileBytes(dir.At("log.txt"), 0, 0), "a\r\nb\r\n");
  EXPECT_TRUE(WriteStringToFile(dir.At("empty.txt"), "", 0, false));
  EXPECT_TRUE(FileExists(dir.At("empty.txt")));
  EXPECT_FALSE(WriteStringToFile(dir.At("no\\such\\folder.txt"), "x", 0, false));
  EXPECT_FALSE(AppendStringToFile(dir.At("no\\such\\folder.txt"), "x", 0));

  // 2005-04-20 13:45:30 local, packed: the date the entries of an installer carry.
  const std::uint32_t dosDate =
      (((2005 - 1980) << 9 | 4 << 5 | 20) << 16) | (13 << 11 | 45 << 5 | 15);
  EXPECT_TRUE(WriteStringToFile(dir.At("dated.txt"), "x", dosDate, false));
  EXPECT_EQ(FileDosDateTime(dir.At("dated.txt")), dosDate);
  EXPECT_TRUE(AppendStringToFile(dir.At("dated2.txt"), "x", dosDate));
  EXPECT_EQ(FileDosDateTime(dir.At("dated2.txt")), dosDate);
  EXPECT_TRUE(WriteStringToFile(dir.At("dated.txt"), "y", 0, true));
  EXPECT_NE(FileDosDateTime(dir.At("dated.txt")), dosDate)
      << "a write without a date leaves the system's time (now)";
  EXPECT_EQ(FileDosDateTime(dir.At("missing.txt")), 0u);
}

TEST(Files, LargeWritesGoInPiecesAndArriveWhole) {
  Scratch dir;
  for (std::size_t size : {std::size_t{1048576}, std::size_t{1048577}, std::size_t{3 << 20} + 5}) {
    const std::string bytes = Pattern(size);
    const std::string file = dir.At("big" + std::to_string(size) + ".bin");
    EXPECT_TRUE(WriteStringToFile(file, bytes, 0, false)) << size;
    EXPECT_TRUE(WriteStringToFile(file, "tail", 0, true)) << size;
    EXPECT_EQ(ReadFileBytes(file, 0, 0), bytes + "tail") << size;
  }
}

TEST(Files, DiskFreeSpaceCases) {
  Scratch dir;
  const std::string file = dir.Put("f.txt", "x");
  struct Case {
    const char* name;
    std::string path;
    bool expectSpace;
  } cases[] = {
      {"temporary folder", dir.Path(), true},
      {"a file: the letter's root answers", file, true},
      {"drive root", "C:\\", true},
      {"two-character drive", "c:", true},
      {"forward slashes", "C:/windows", true},
      {"unknown share", "\\\\nosuchserver\\share\\dir", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    const double free = DiskFreeSpace(c.path);
    if (c.expectSpace) {
      EXPECT_GT(free, 0) << c.name;
    } else {
      EXPECT_EQ(free, -1) << c.name;
    }
  }
}

TEST(Files, DeleteFilesByMaskKeepsFoldersAndReadOnlyWithoutTheFlag) {
  Scratch dir;
  dir.Put("a.txt", "a");
  dir.Put("b.txt", "b");
  dir.Put("c.log", "c");
  MakeReadOnly(dir.Put("r.txt", "r"));
  ForceDirectories(dir.At("folder.txt"));
  EXPECT_TRUE(DeleteFilesByMask(dir.At("*.txt"), false));
  EXPECT_FALSE(FileExists(dir.At("a.txt")));
  EXPECT_FALSE(FileExists(dir.At("b.txt")));
  EXPECT_TRUE(FileExists(dir.At("r.txt"))) << "read-only stays without the flag";
  EXPECT_TRUE(FileExists(dir.At("c.log")));
  EXPECT_TRUE(DirectoryExists(dir.At("folder.txt")));
  EXPECT_TRUE(DeleteFilesByMask(dir.At("*.txt"), true));
  EXPECT_FALSE(FileExists(dir.At("r.txt"))) << "the flag clears read-only";
  EXPECT_FALSE(DeleteFilesByMask(dir.At("*.txt"), true)) << "nothing matches any more";
  EXPECT_FALSE(DeleteFilesByMask(dir.At("nothere\\*.*"), true));
}

TEST(Files, RemoveTreeCases) {
  {
    Scratch dir;
    dir.Put("t\\a.txt", "a");
    dir.Put("t\\s1\\s2\\deep.txt", "d");
    MakeReadOnly(dir.Put("t\\s1\\ro.txt", "r"));
    EXPECT_FALSE(RemoveTree(dir.At("t"), false)) << "a read-only file keeps the tree";
    EXPECT_TRUE(FileExists(dir.At("t\\s1\\ro.txt")));
    EXPECT_FALSE(FileExists(dir.At("t\\a.txt"))) << "the rest is deleted";
    EXPECT_FALSE(DirectoryExists(dir.At("t\\s1\\s2")));
    EXPECT_TRUE(RemoveTree(dir.At("t"), true));
    EXPECT_FALSE(DirectoryExists(dir.At("t")));
    EXPECT_FALSE(RemoveTree(dir.At("t"), true)) << "no longer there";
    EXPECT_FALSE(RemoveTree("", true));
  }
  {
    Scratch dir;
    dir.Put("t\\a.txt", "a");
    const std::string busy = dir.Put("t\\sub\\busy.txt", "b");
    const win::UniqueFile hold(CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    EXPECT_FALSE(RemoveTree(dir.At("t"), true)) << "a file in use";
    EXPECT_FALSE(FileExists(dir.At("t\\a.txt")));
    EXPECT_TRUE(FileExists(busy));
  }
  {
    Scratch dir;
    const std::string trailing = dir.At("t") + "\\";
    dir.Put("t\\x\\y.txt", "y");
    EXPECT_TRUE(RemoveTree(trailing, false)) << "a final backslash";
  }
}

// ---- Links --------------------------------------------------------------------------------------

using UnixNameFn = char*(CDECL*)(LPCWSTR);

// Wine maps Windows paths onto its host; null on Windows itself.
UnixNameFn UnixNameOf() {
  const FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  return reinterpret_cast<UnixNameFn>(reinterpret_cast<void (*)()>(proc));
}

std::string UnixPath(const std::string& path) {
  const UnixNameFn toUnix = UnixNameOf();
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  char* unix = toUnix ? toUnix(wide) : nullptr;
  if (!unix) return "";
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// A junction (Windows) from link to target.
bool MakeJunction(const std::string& link, const std::string& target) {
  if (!CreateDirectoryA(link.c_str(), nullptr)) return false;
  win::UniqueFile h(CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  wchar_t wide[MAX_PATH + 1] = {};
  MultiByteToWideChar(CP_ACP, 0, ("\\??\\" + target).c_str(), -1, wide, MAX_PATH);
  const std::wstring substitute(wide);
  const auto bytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  std::vector<BYTE> buffer(16 + bytes + 2 * sizeof(wchar_t), 0);
  auto put16 = [&](std::size_t at, WORD v) { memcpy(buffer.data() + at, &v, 2); };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  memcpy(buffer.data(), &tag, 4);
  put16(4, static_cast<WORD>(buffer.size() - 8));
  put16(8, 0);
  put16(10, bytes);
  put16(12, static_cast<WORD>(bytes + 2));
  put16(14, 0);
  memcpy(buffer.data() + 16, substitute.c_str(), bytes);
  DWORD returned = 0;
  const bool made =
      h && DeviceIoControl(h.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                           static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  h.reset();  // an open folder is not removed at once
  if (!made) RemoveDirectoryA(link.c_str());
  return made;
}

// A link to a folder by whatever means this system has: a junction on Windows, a host symbolic
// link under Wine (Wine's own API creates neither). Empty when none could be made; otherwise how
// it was made.
std::string MakeFolderLink(const std::string& link, const std::string& target) {
  if (MakeJunction(link, target)) return "junction";
  const std::string unixLink = UnixPath(link);
  const std::string unixTarget = UnixPath(target);
  // Wine hands a host program its arguments with any quotes left in, so only plain paths work.
  if (unixLink.empty() || unixTarget.empty() ||
      (unixLink + unixTarget).find(' ') != std::string::npos) {
    return "";
  }
  wintest::RunAndWait("/bin/ln -s " + unixTarget + " " + unixLink, 10000);
  for (int wait = 0; wait < 100; ++wait) {  // the host program's end cannot be waited for
    const DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      return "host symlink";
    }
    Sleep(20);
  }
  return "";
}

// Removes a link left behind (Wine cannot remove a host symbolic link through the API).
void DropFolderLink(const std::string& link) {
  if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (RemoveDirectoryA(link.c_str())) return;
  const std::string unixLink = UnixPath(link);
  if (unixLink.empty()) return;
  wintest::RunAndWait("/bin/rm -f " + unixLink, 10000);
  for (int wait = 0; wait < 100 && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
       ++wait) {
    Sleep(20);
  }
}

TEST(Files, RemoveTreeNeverFollowsALinkOutOfTheTree) {
  Scratch outside("outside");
  const std::string keep = outside.Put("keep\\precious.txt", "keep me");
  Scratch dir;
  dir.Put("tree\\plain.txt", "p");
  ForceDirectories(dir.At("tree\\sub"));
  const std::string link = dir.At("tree\\sub\\link");
  const std::string how = MakeFolderLink(link, outside.At("keep"));
  if (how.empty()) GTEST_SKIP() << "no folder link can be made here";
  ASSERT_TRUE(FileExists(link + "\\precious.txt")) << how << " reaches its target";

  const bool removed = RemoveTree(dir.At("tree"), true);
  EXPECT_TRUE(FileExists(keep)) << how << ": the target's file survives";
  EXPECT_TRUE(DirectoryExists(outside.At("keep"))) << how;
  EXPECT_FALSE(FileExists(dir.At("tree\\plain.txt"))) << how;
  if (how == "junction") {
    EXPECT_TRUE(removed) << "Windows removes the junction itself";
  } else {
    // Wine 8 reports the host link as a reparse point but can neither remove it with
    // RemoveDirectory (ERROR_DIR_NOT_EMPTY) nor delete it, so the tree stays with just the link.
    EXPECT_EQ(removed, !DirectoryExists(dir.At("tree"))) << how;
  }
  DropFolderLink(link);

  // The folder given may itself be the link: only the link goes.
  const std::string top = dir.At("toplink");
  if (!MakeFolderLink(top, outside.At("keep")).empty()) {
    RemoveTree(top, true);
    EXPECT_TRUE(FileExists(keep)) << how << ": link given as the tree";
    DropFolderLink(top);
  }
}

TEST(Files, SearchesDoNotEnterLinks) {
  Scratch outside("outside");
  outside.Put("keep\\linked_only.dat", "x");
  Scratch dir;
  dir.Put("a\\b\\found.dat", "x");
  const std::string how = MakeFolderLink(dir.At("a\\link"), outside.At("keep"));
  if (how.empty()) GTEST_SKIP() << "no folder link can be made here";
  EXPECT_EQ(FindFileInTree(dir.Path(), "found.dat"), dir.At("a\\b\\found.dat"));
  EXPECT_EQ(FindFileInTree(dir.Path(), "linked_only.dat"), "") << how;
  EXPECT_EQ(FindDirInTree(dir.Path(), "keep"), "") << how;
  DropFolderLink(dir.At("a\\link"));
}

// ---- Searches -----------------------------------------------------------------------------------

TEST(Files, FindInTreeCases) {
  Scratch dir;
  dir.Put("top.txt", "t");
  dir.Put("one\\two\\deep.txt", "d");
  dir.Put("one\\Three\\x.txt", "x");
  ForceDirectories(dir.At("one\\name.txt"));
  struct Case {
    const char* name;
    std::string folder, target, expected;
    bool file;
  } cases[] = {
      {"file at the top", dir.Path(), "top.txt", dir.At("top.txt"), true},
      {"file deep down", dir.Path(), "deep.txt", dir.At("one\\two\\deep.txt"), true},
      {"file with a relative part", dir.Path(), "two\\deep.txt", dir.At("one\\two\\deep.txt"),
       true},
      {"a folder is no file", dir.Path(), "name.txt", "", true},
      {"missing file", dir.Path(), "none.txt", "", true},
      {"empty file name", dir.Path(), "", "", true},
      {"folder by name, other case", dir.Path(), "three", dir.At("one\\Three"), false},
      {"folder path itself", dir.At("one"), "ONE", dir.At("one"), false},
      {"folder by a path tail", dir.Path(), "one\\two", dir.At("one\\two"), false},
      {"missing folder", dir.Path(), "four", "", false},
      {"missing tree", dir.At("nothing"), "x", "", false},
  };
  for (const Case& c : cases) {
    const std::string got =
        c.file ? FindFileInTree(c.folder, c.target) : FindDirInTree(c.folder, c.target);
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(Files, FindOnDrivesCases) {
  Scratch dir;
  // Unique names, so the first hit is ours; the temporary folder lies on a fixed drive.
  const std::string fileName = "tarvo_unique_" + std::to_string(GetTickCount()) + ".dat";
  const std::string dirName = "tarvo_unique_dir_" + std::to_string(GetTickCount());
  const std::string file = dir.Put("x\\" + fileName, "x");
  ForceDirectories(dir.At("y\\" + dirName));
  ASSERT_EQ(GetDriveTypeA(dir.Path().substr(0, 3).c_str()), static_cast<UINT>(DRIVE_FIXED));

  EXPECT_EQ(FindFileOnDrives(fileName, DRIVE_FIXED), file);
  EXPECT_EQ(FindDirOnDrives(dirName, DRIVE_FIXED), dir.At("y\\" + dirName));
  struct Case {
    const char* name;
    std::string found;
  } empty[] = {
      {"negative type, file", FindFileOnDrives(fileName, -1)},
      {"negative type, folder", FindDirOnDrives(dirName, -1)},
      {"no drive of that type", FindFileOnDrives(fileName, DRIVE_RAMDISK)},
      {"path on a drive of another type", FindDirOnDrives(dir.Path(), DRIVE_CDROM)},
      {"path that does not exist", FindDirOnDrives(dir.At("nope"), DRIVE_FIXED)},
      {"path of a file", FindDirOnDrives(file, DRIVE_FIXED)},
  };
  for (const Case& c : empty) EXPECT_EQ(c.found, "") << c.name;
  EXPECT_EQ(FindDirOnDrives(dir.At("y"), DRIVE_FIXED), dir.At("y")) << "a path is taken as it is";
}

// ---- Self-deletion and the CD tray --------------------------------------------------------------

bool GoneWithin(const std::string& path, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
  return true;
}

TEST(Files, DeleteMySelfRemovesTheEndedProgram) {
  const std::string probe = wintest::BesideTests("del_me_probe.exe");
  ASSERT_TRUE(FileExists(probe));
  const std::string script = SystemTempFolder() + kDeleteMeScriptName;
  struct Case {
    const char* name;
    const char* folderTag;  // cmd.exe must read these names literally
    const char* switches;
    bool readOnly;
  } cases[] = {
      {"keep folder", "plain", "", false},
      {"remove folder", "plain", " /rd", false},
      // Batch files are read in the OEM code page, the paths are ANSI.
      {"ANSI letters with an OEM form", "caf\xe9 \xc4\xdf", " /rd", false},
      {"ANSI signs without an OEM form (short name)", "cost \x80\xa4", " /rd", false},
      {"percent signs", "50%PATH%off", " /rd", false},
      {"percent, ampersand, caret, bang", "a%%b & c^d !e!", " /rd", false},
      {"read-only copy, still running a while", "ro(1)", " /rd /stay=700", true},
  };
  for (const Case& c : cases) {
    Scratch dir("del");
    const std::string folder = dir.At(c.folderTag);
    ASSERT_TRUE(ForceDirectories(folder)) << c.name;
    const std::string copy = folder + "\\Y_probe.exe";
    ASSERT_TRUE(CopyFileA(probe.c_str(), copy.c_str(), FALSE)) << c.name;
    if (c.readOnly) MakeReadOnly(copy);
    EXPECT_EQ(wintest::RunAndWait("\"" + copy + "\"" + c.switches, 20000), 0u) << c.name;
    EXPECT_TRUE(GoneWithin(copy, 20000)) << c.name << ": program file";
    const bool removeFolder = std::string(c.switches).find("/rd") != std::string::npos;
    if (removeFolder) {
      EXPECT_TRUE(GoneWithin(folder, 5000)) << c.name << ": folder";
    } else {
      EXPECT_TRUE(DirectoryExists(folder)) << c.name << ": folder stays";
    }
    EXPECT_TRUE(GoneWithin(script, 5000)) << c.name << ": the script removes itself";
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(Files, EjectCDOnlyForCdDrives) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  struct Case {
    const char* name;
    std::string path;
  } cases[] = {
      {"hard disk", temp},
      {"network path", "\\\\server\\share\\setup.exe.002"},
      {"empty", ""},
      {"not a letter", "1:\\x"},
      {"drive that does not exist", "Q:\\setup.exe"},
  };
  for (const Case& c : cases) EXPECT_FALSE(EjectCD(c.path)) << c.name;
}

}  // namespace
