// The header text in front of an entry's file bytes: file name, DOS file time and the engine
// marker.
#include "payload/EntryHeader.h"

#include "util/KSUB.h"
#include "util/Utils.h"

namespace payload {

namespace {

// Decimal text of a non-zero 32-bit value, else 0 (a non-number keeps the system's time).
uint32_t DosTimeOf(const std::string& field) {
  int64_t value = 0;
  if (!TryTextToInt64(field, value) || value <= 0 || value > static_cast<int64_t>(UINT32_MAX))
    return 0;
  return static_cast<uint32_t>(value);
}

}  // namespace

bool ParseEntryHeader(const std::string& header, EntryInfo& info) {
  info = EntryInfo{};
  info.header = header;
  if (header.empty()) return false;
  const std::string nameField = SUB::Field(header, 0, "");
  info.dosTime = DosTimeOf(SUB::Field(header, 1, ""));
  const size_t star = nameField.find('*');
  if (star == std::string::npos) {
    info.name = nameField;
  } else {
    info.isEngine = true;
    info.engineEntry = nameField;
    info.name = Trim(nameField.substr(0, star));
    info.extraArgs = Trim(nameField.substr(star + 1));
  }
  return !info.name.empty();
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty()) return false;
  // The system drops trailing dots and blanks, so "..." or ".. " would name a folder, not a file.
  if (name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    for (char bad : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) {
      if (c == bad) return false;
    }
  }
  return true;
}

}  // namespace payload
