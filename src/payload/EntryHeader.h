// The header text in front of an entry's file bytes: file name, DOS file time and the engine
// marker.
#pragma once

#include <cstdint>
#include <string>

namespace payload {

struct EntryInfo {
  std::string header;  // the header text as stored, e.g. "|Engine.exe*|1113170880|"
  std::string name;    // the file name to write (for the engine: the text before "*", trimmed)
  uint32_t dosTime =
      0;  // DOS date (high 16 bits) and time (low 16 bits); 0 keeps the system's time
  bool isEngine = false;    // the name field holds "*"
  std::string engineEntry;  // the whole name field of the engine entry, "*" and extra text included
  std::string extraArgs;    // for the engine: the text after "*", trimmed
};

// Splits a header text ("|name|time|"). False when it names no file to write (empty header or
// name).
bool ParseEntryHeader(const std::string& header, EntryInfo& info);

// A name that stays inside the extraction folder: no folder or drive part, no trailing dot or blank
// (so never "." or ".."), and no character the file system refuses in a name.
bool IsPlainFileName(const std::string& name);

}  // namespace payload
