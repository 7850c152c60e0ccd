// InformFile: the text of an INFORM notice file, as update agents split it: an ignored field, the
// stored build token, two ignored fields, then the notice text; optionally scrambled as a whole.
#pragma once

#include <cstdint>
#include <string>

namespace tarvopack {

struct InformSettings {
  std::string storedToken;             // the build token in stored (scrambled) form
  std::string notice;                  // rich text; may hold "|"
  std::string field1, field3, field4;  // not read by agents; must not hold "|"
  bool scrambled =
      false;         // the "Scrambled=01" form (not the hexadecimal one: agents read only this)
  uint8_t key = 33;  // scrambling key, 33..122
};

bool BuildInformText(const InformSettings& settings, std::string& text, std::string& error);

}  // namespace tarvopack
