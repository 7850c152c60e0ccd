// SetupFolder: the extraction folder under the temporary folder, the fallback folder on a roomier
// fixed drive, and the question about the temporary drive's room. Each folder is chosen once per
// run and kept.
#pragma once

#include <string>

class TGFileInfo;

// The temporary folder, "SETUP_" and the time-of-day half of the program file's DOS date-time,
// without a final "\". The first call empties a leftover of an earlier run (read-only files too)
// and creates it.
std::string SetupFolder();
// The same folder name for any program file (nothing is created).
std::string SetupFolderFor(const std::string& programFile);

// The extraction of sourceFile fits on folder's drive (required space for its cluster size below
// the free space) and folder exists.
bool EnoughTempSpace(const std::string& folder, const std::string& sourceFile);

// Probes the fixed drives C, D and E and chooses the roomiest as the alternative root unless that
// is the temporary drive; once chosen, it stays. True when an alternative root is set.
bool FindRoomierDrive();
// Free bytes a probe folder on a fixed drive reports after a small file was written there; 0 for
// any other drive or when the probe could not be written. The probe is removed again and never
// takes the name of a folder that already exists.
double ProbeDriveFreeSpace(char letter);

// The alternative root, "_" and a number from 10000 to 100000, created on first use under a name
// that did not exist yet; empty when no alternative root was chosen (or, against all odds, no
// free name was found: the caller then stays with the setup folder).
std::string AlternativeFolder();
// Deletes the alternative folder with its contents, if one was made (read-only files stay).
void RemoveAlternativeFolder();

// Asks about the temporary drive when reader's notice flag is set or the extraction does not fit;
// true to go on (also when nothing was asked).
bool ConfirmTempSpace(const std::string& folder, const std::string& sourceFile,
                      const TGFileInfo& reader);

// Forgets the folders chosen so far, as a new run would; alternativeRoot presets the root that
// FindRoomierDrive would choose. For tests.
void ResetTempFolderState(const std::string& alternativeRoot = "");
