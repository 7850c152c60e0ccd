// TempSpace: megabyte texts, extraction folder names, the roomier-drive choice and the
// temporary-drive question, all from values the caller gathered.
#include "payload/TempSpace.h"

#include <cmath>

#include "util/Utils.h"

namespace {

constexpr const char* kNoticeS2 = "Tarvo will extract files to your Temp Drive (<DRIVE>)<P>";
constexpr const char* kNoticeS3 = "Limited Free Space on your Temp Drive! (<DRIVE>)<P>";
constexpr const char* kNoticeS4 =
    "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>";
constexpr const char* kNoticeS5 =
    "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>";
constexpr const char* kNoticeS6 = "<P>Continue with Setup?<P>";

constexpr int kNameAttempts = 100;

}  // namespace

std::string FormatMB(double bytes) {
  double value = (std::isnan(bytes) || bytes < 0) ? 0 : bytes;
  if (value != 0) value /= 1048576;
  const int decimals = value > 10 ? 1 : (value >= 1 ? 2 : 3);
  return FixedTextWith(value, decimals, ".");
}

std::string SetupFolderName(const std::string& tempFolder, std::uint32_t programDosDateTime) {
  return tempFolder + "SETUP_" + std::to_string(programDosDateTime & 0xFFFF);
}

std::string FreshNumberedName(const std::string& prefix, std::int64_t first,
                              const std::function<bool(const std::string&)>& exists) {
  const std::int64_t span = kFolderNumberHigh - kFolderNumberLow + 1;
  std::int64_t offset = ((first - kFolderNumberLow) % span + span) % span;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = prefix + std::to_string(kFolderNumberLow + offset);
    if (!exists(name)) return name;
    offset = (offset + 1) % span;
  }
  return "";
}

char RoomierDriveLetter(char tempDriveLetter, const std::vector<DriveRoom>& drives) {
  char best = UpperCase(std::string(1, tempDriveLetter))[0];
  double most = 0;
  for (const DriveRoom& d : drives) {
    if (d.freeBytes > most) {
      most = d.freeBytes;
      best = d.letter;
    }
  }
  return best;
}

std::string AlternativeRootOn(char letter, bool tempFolderExists) {
  const std::string root = std::string(1, letter) + ":\\TEMP";
  return tempFolderExists ? root + "\\TEMP" : root;
}

std::string TempNoticeText(bool showNotice, double required, double free, const std::string& folder,
                           const LangLookup& lang) {
  std::string text;
  if (showNotice) text = lang("s2", kNoticeS2);
  if (required >= free) text = lang("s3", kNoticeS3);
  if (text.empty()) return text;
  text += lang("s4", kNoticeS4) + lang("s5", kNoticeS5) + lang("s6", kNoticeS6);
  const std::string drive = folder.empty() ? "" : UpperCase(folder.substr(0, 1)) + ":";
  text = ReplaceAll(text, "<DRIVE>", drive);
  text = ReplaceAll(text, "<SPACE_REQ>", FormatMB(required));
  return ReplaceAll(text, "<SPACE_AVAIL>", FormatMB(free));
}
