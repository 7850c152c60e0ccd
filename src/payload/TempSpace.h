// TempSpace: the portable rules behind the extraction folder and the free-space check: megabyte
// texts, folder names, the choice of a roomier drive and the text of the temporary-drive question.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Bytes as megabytes: negative counts as 0; 1 decimal above 10 MB, 2 from 1 MB, 3 below; a point
// as separator (0 gives "0.000", 1107321 gives "1.06", 52428800 gives "50.0").
std::string FormatMB(double bytes);

// tempFolder (with its final "\"), "SETUP_" and the time-of-day half of the program file's packed
// DOS date-time in decimal: every copy of one installer file names the same folder.
std::string SetupFolderName(const std::string& tempFolder, std::uint32_t programDosDateTime);

// Random numbers in folder names lie in this range.
constexpr std::int64_t kFolderNumberLow = 10000;
constexpr std::int64_t kFolderNumberHigh = 100000;

// prefix + a number, the first of first, first + 1, ... (wrapping within the range) whose name
// exists() denies; empty when 100 of them all exist. A folder that is already there is never
// taken over (and so never deleted) as if it were a fresh one.
std::string FreshNumberedName(const std::string& prefix, std::int64_t first,
                              const std::function<bool(const std::string&)>& exists);

// What a probe found on one drive; 0 or below when it could not be written or asked.
struct DriveRoom {
  char letter = 'C';
  double freeBytes = 0;
};
// The drive with strictly the most free bytes above 0, the earlier one on a tie; the temporary
// drive's letter (upper-cased) when no drive has more than 0.
char RoomierDriveLetter(char tempDriveLetter, const std::vector<DriveRoom>& drives);
// The alternative root on a drive: letter ":\TEMP", with "\TEMP" added when that folder exists.
std::string AlternativeRootOn(char letter, bool tempFolderExists);

// Language lookup: the text for key, or def.
using LangLookup = std::function<std::string(const std::string& key, const std::string& def)>;

// The temporary-drive question for a folder, or empty when none is due: "s2" when showNotice,
// replaced by "s3" when required is at least free; then "s4", "s5" and "s6" with <DRIVE>,
// <SPACE_REQ> and <SPACE_AVAIL> filled in.
std::string TempNoticeText(bool showNotice, double required, double free, const std::string& folder,
                           const LangLookup& lang);
