// IniFiles: reads and writes INI values through the private-profile functions.
#include "util/win/IniFiles.h"

#include <windows.h>

#include "core/KDebug.h"
#include "util/Utils.h"
#include "util/win/SysInfo.h"

namespace {

std::string QueryIniString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) {
  char buffer[kIniValueMax + 1];
  // The caller's default is applied here rather than by the system, which would strip its
  // trailing blanks and cut it to the buffer.
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                           static_cast<DWORD>(sizeof(buffer)), file.c_str());
  if (n == 0 || n > kIniValueMax) return def;
  return std::string(buffer, n);
}

}  // namespace

std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def) {
  if (section.empty()) return def;
  try {
    return QueryIniString(file, section, key, def);
  } catch (...) {
    try {
      TraceLine("EXCEPTION --- Utils.ReadIniString()  " + LastErrorText());
    } catch (...) {
      // Tracing is best effort; the reader still answers with the default.
    }
  }
  return def;
}

std::int64_t ReadIniInt64(const std::string& file, const std::string& section,
                          const std::string& key, std::int64_t def) {
  return TextToInt64Def(ReadIniString(file, section, key, std::to_string(def)), def);
}

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

bool WriteIniInt64(const std::string& file, const std::string& section, const std::string& key,
                   std::int64_t value) {
  return WriteIniString(file, section, key, std::to_string(value));
}
