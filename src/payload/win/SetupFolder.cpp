// SetupFolder: the extraction folder, the roomier-drive fallback and the temporary-drive question.
#include "payload/win/SetupFolder.h"

#include "core/KDebug.h"
#include "payload/TGFileInfo.h"
#include "payload/TempSpace.h"
#include "payload/win/Files.h"
#include "ui/KMsgBox.h"
#include "ui/KMsgBoxOptions.h"
#include "util/Utils.h"

namespace {

// Chosen once per run.
struct TempFolderState {
  std::string setupFolder;
  std::string alternativeRoot;
  std::string alternativeFolder;
};

TempFolderState& State() {
  static TempFolderState state;
  return state;
}

// prefix + a random number from 10000 to 100000 naming nothing that exists yet; empty when no
// free name was found.
std::string FreshFolderName(const std::string& prefix) {
  return FreshNumberedName(prefix, RandomInRange(kFolderNumberLow, kFolderNumberHigh),
                           [](const std::string& name) {
                             return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
                           });
}

}  // namespace

std::string SetupFolderFor(const std::string& programFile) {
  return SetupFolderName(SystemTempFolder(), FileDosDateTime(programFile));
}

std::string SetupFolder() {
  TempFolderState& state = State();
  if (state.setupFolder.empty()) {
    const std::string folder = SetupFolderFor(ProgramFile());
    if (DirectoryExists(folder)) RemoveTree(folder, true);
    ForceDirectories(folder);
    state.setupFolder = folder;
  }
  return state.setupFolder;
}

bool EnoughTempSpace(const std::string& folder, const std::string& sourceFile) {
  const TGFileInfo source(sourceFile);
  return source.GetRequiredSpace(folder) < DiskFreeSpace(folder) && DirectoryExists(folder);
}

double ProbeDriveFreeSpace(char letter) {
  const std::string root = std::string(1, letter) + ":\\";
  if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED) return 0;
  std::string probe = root + "TEMP";
  if (GetFileAttributesA(probe.c_str()) != INVALID_FILE_ATTRIBUTES) {
    probe = FreshFolderName(probe + "\\TEMP");
    if (probe.empty()) return 0;
  }
  ForceDirectories(probe);
  const std::string file = probe + "\\~aa.tmp";
  WriteStringToFile(file, "aa", 0, false);
  const double free = FileExists(file) ? DiskFreeSpace(probe) : 0;
  RemoveTree(probe, false);
  return free;
}

bool FindRoomierDrive() {
  TempFolderState& state = State();
  if (state.alternativeRoot.empty()) {
    std::vector<DriveRoom> drives;
    for (const char letter : {'C', 'D', 'E'})
      drives.push_back({letter, ProbeDriveFreeSpace(letter)});
    const std::string temp = SystemTempFolder();
    const char current = temp.empty() ? ' ' : UpperCase(temp.substr(0, 1))[0];
    const char best = RoomierDriveLetter(current, drives);
    if (best != current) {
      const std::string tempOnBest = std::string(1, best) + ":\\TEMP";
      state.alternativeRoot = AlternativeRootOn(best, DirectoryExists(tempOnBest));
    }
    TracePid() << " FindRoomierDrive: " << state.alternativeRoot << EndLine;
  }
  return !state.alternativeRoot.empty();
}

std::string AlternativeFolder() {
  TempFolderState& state = State();
  if (state.alternativeFolder.empty() && !state.alternativeRoot.empty()) {
    // A folder that cannot be made keeps its name: the extraction then reports the failed write.
    state.alternativeFolder = FreshFolderName(state.alternativeRoot + "_");
    if (!state.alternativeFolder.empty()) ForceDirectories(state.alternativeFolder);
  }
  return state.alternativeFolder;
}

void RemoveAlternativeFolder() {
  const std::string& folder = State().alternativeFolder;
  if (!folder.empty()) RemoveTree(folder, false);
}

bool ConfirmTempSpace(const std::string& folder, const std::string& /*sourceFile*/,
                      const TGFileInfo& reader) {
  const LangLookup lang = [&reader](const std::string& key, const std::string& def) {
    return reader.GetLangString(key, def);
  };
  const std::string text = TempNoticeText(reader.ShowTempNotice(), reader.GetRequiredSpace(folder),
                                          DiskFreeSpace(folder), folder, lang);
  if (text.empty()) return true;
  // Mode 0: no owner of its own; the caption becomes the box's heading.
  return AskYesNo(0, text, lang("Confirm", "Confirm"),
                  lang("BtnText", msgbox::kDefaultButtonCaptions), reader.GetLangCharset());
}

void ResetTempFolderState(const std::string& alternativeRoot) {
  State() = TempFolderState{};
  State().alternativeRoot = alternativeRoot;
}
