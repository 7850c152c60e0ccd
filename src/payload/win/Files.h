// Files: the file-system operations the stub shares: 64-bit sizes and seeks, whole reads and
// writes, free space, deletion by mask and of folder trees, drive searches, self-deletion and
// the CD tray. Failures are reported only by the results (false, empty, 0 or -1).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "payload/Files.h"

// ---- Sizes and seeks ----------------------------------------------------------

// origin 0 start, 1 current, 2 end; the new position, or -1 when the seek fails.
std::int64_t FileSeek64(HANDLE file, int origin, std::int64_t distance);
// From a directory search for the name with all attributes; 0 when nothing is found.
std::int64_t FileSizeByName(const std::string& fileName);
// The system's size of the open file; -1 when it cannot tell.
std::int64_t FileSizeByHandle(HANDLE file);

// ---- Facts about paths --------------------------------------------------------

bool FileExists(const std::string& fileName);
// True also for a link to a folder.
bool DirectoryExists(const std::string& folder);
// Creates the folder and any missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& folder);
// The modification time as a packed DOS date-time in local time (date high, time low); 0 when
// the file is missing or its time has no DOS form.
std::uint32_t FileDosDateTime(const std::string& fileName);
// The system's temporary folder with a final "\".
std::string SystemTempFolder();
// Full path of the running program's file.
std::string ProgramFile();

// ---- Reading and writing ------------------------------------------------------

// The bytes from offset to the end, at most limit of them (0 = no limit), with the file opened
// shared. Empty when the file is missing, the offset is negative or not before the end, the
// bytes do not fit in memory, or fewer bytes than expected could be read.
std::string ReadFileBytes(const std::string& fileName, std::int64_t limit, std::int64_t offset);
// Writes data into a new or truncated file, or with append at the end of the file (made when
// missing). Data above 1 MiB goes in pieces of WriteChunkSize, stopping at a piece that writes
// nothing. With every byte written and fileDate not 0, the file gets that DOS date-time. True
// when every byte was written.
bool WriteStringToFile(const std::string& fileName, const std::string& data, std::uint32_t fileDate,
                       bool append);
// Opens shared for writing or creates, writes data at the end in one call, sets fileDate when
// it is not 0. True when every byte was written.
bool AppendStringToFile(const std::string& fileName, const std::string& data,
                        std::uint32_t fileDate);

// ---- Free space ---------------------------------------------------------------

// Bytes available to the caller on the volume of path (DriveRootOf, then the drive letter's
// root when that fails); -1 when every query fails.
double DiskFreeSpace(const std::string& path);

// ---- Deleting -----------------------------------------------------------------

// Deletes every file (no folder) matching the wildcard mask in the mask's folder; with
// clearAttributes read-only files go too. Errors on single files are ignored. True when any
// file matched.
bool DeleteFilesByMask(const std::string& mask, bool clearAttributes);
// Deletes the folder with all it holds. A link (junction or symbolic link) met inside, or the
// folder itself when it is one, is removed as a link: what it points to is never touched. True
// when the folder existed at the start and is gone at the end.
bool RemoveTree(const std::string& folder, bool clearAttributes);

// ---- Searching ----------------------------------------------------------------
// Depth first in directory order, pumping messages after each entry (YieldX(0)). Links to
// folders are not followed: one pointing at its own ancestor would make the search endless.

// folder\name when it is a file there, else the first hit in the subfolders; empty when none.
std::string FindFileInTree(const std::string& folder, const std::string& fileName);
// FindFileInTree from the root of each drive C to Z whose type (GetDriveType) is driveType; a
// negative type matches no drive.
std::string FindFileOnDrives(const std::string& fileName, int driveType);
// The folder itself when its path ends with "\" + name (any letter case), else the first hit in
// its subfolders; empty when none.
std::string FindDirInTree(const std::string& folder, const std::string& folderName);
// A path with ":\" as its second and third characters: itself when its drive has driveType and
// the folder exists, else empty. Any other text: FindDirInTree from the root of each drive C to Z
// of that type.
std::string FindDirOnDrives(const std::string& folder, int driveType);

// ---- Self-deletion and the CD tray --------------------------------------------

// Writes the self-deletion script into the temporary folder and starts it hidden without
// waiting; it deletes the program file once this process has ended, with removeFolder also the
// program's folder. The current directory becomes the temporary folder.
void DeleteMySelf(bool removeFolder);
// Opens the tray of the CD-ROM drive whose letter starts path; false for any other drive.
bool EjectCD(const std::string& path);
