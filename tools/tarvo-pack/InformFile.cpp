// InformFile: the text of an INFORM notice file (see InformFile.h).
#include "tarvo-pack/InformFile.h"

#include "payload/PayloadWriter.h"
#include "payload/TokenScramble.h"

namespace tarvopack {

bool BuildInformText(const InformSettings& s, std::string& text, std::string& error) {
  text.clear();
  if (s.storedToken.empty()) {
    error = "the notice needs the product's build token";
    return false;
  }
  for (const auto& [what, value] : {std::pair<std::string, const std::string&>{"field 1", s.field1},
                                    {"the token", s.storedToken},
                                    {"field 3", s.field3},
                                    {"field 4", s.field4}}) {
    error = payload::CheckFieldText(what, value);
    if (!error.empty()) return false;
  }
  if (s.key < 33 || s.key > 122) {
    error = "the scrambling key must lie from 33 to 122";
    return false;
  }
  text = s.field1 + "|" + s.storedToken + "|" + s.field3 + "|" + s.field4 + "|" + s.notice;
  if (s.scrambled) text = payload::ScrambleTextWithKey(text, s.key, false);
  return true;
}

}  // namespace tarvopack
