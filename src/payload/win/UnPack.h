// UnPack: UnPackSetup, the extraction of an installer (or a spanned set, file by file) into the
// extraction folder: the checksum test, the entries with their file times, the progress steps,
// the update-agent copy of the stub, and the prompt for each further disk.
#pragma once

#include <string>

#include "ui/KProgBar.h"

// The question shown for a missing disk of a spanned set.
struct DiskPrompt {
  std::string text;  // "<DISK_NUM>" stands for the disk number
  std::string caption;
  std::string buttons;  // the message box's caption list
  int charset = 0;
};

// Extracts sourceFile (a single installer or the first file of a spanned set) into destFolder.
// checksumOK: the checksum test of the last file examined passed. engineEntry: the name field of
// the engine entry ("Engine.exe*" and any extra text); empty when none was met, a disk prompt was
// cancelled or a damaged record stopped the extraction. agentName: file name of the update-agent
// copy to write beside the entries (empty: none). forcePrompt asks for every further disk even
// when its file is there. False when a damaged record (a broken stream, an unsafe name) stopped
// the extraction; the user has then been told in an error box.
bool UnPackSetup(const std::string& sourceFile, const std::string& destFolder,
                 const std::string& agentName, bool& checksumOK, ProgressCallback progress,
                 const DiskPrompt& prompt, bool forcePrompt, std::string& engineEntry);

// Failed file writes of this process so far; only the first one is reported.
int FailedWriteCount();
