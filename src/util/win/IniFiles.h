// IniFiles: the four INI operations of the program, over the system's private-profile functions
// (section and key names match ignoring case; a missing file, section or key reads as the
// default).
#pragma once

#include <cstdint>
#include <string>

// Longest value the readers hand out; longer values are cut to this many characters.
inline constexpr std::size_t kIniValueMax = 10240;

// The value, or def when the section is empty (nothing is read), the key is missing or its
// value is empty.
std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def);
// The value as a signed decimal 64-bit integer; def when it is missing or not such a number.
std::int64_t ReadIniInt64(const std::string& file, const std::string& section,
                          const std::string& key, std::int64_t def);
// Writes Key=value into the section, creating file, section or key as needed; true on success.
bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);
bool WriteIniInt64(const std::string& file, const std::string& section, const std::string& key,
                   std::int64_t value);
