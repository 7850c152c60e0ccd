// RegistryText: root names, path split and value-to-text rules of the registry reader.
#include "util/RegistryText.h"

#include <array>

#include "util/Utils.h"

namespace {

struct RootName {
  const char* full;
  const char* abbreviation;
  RegRoot root;
};

constexpr std::array<RootName, 6> kRootNames{{
    {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
    {"HKEY_USERS", "HKU", RegRoot::Users},
    {"HKEY_CURRENT_CONFIG", "HKCC", RegRoot::CurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", RegRoot::DynData},
}};

std::string DwordText(const std::string& data) {
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(data[i]);
  return std::to_string(v);
}

std::string MultiStringText(const std::string& data) {
  std::size_t end = data.size();
  while (end > 0 && data[end - 1] == '\0') --end;
  std::string text;
  text.reserve(end);
  for (std::size_t i = 0; i < end; ++i) {
    if (data[i] == '\0')
      text += "<0>";
    else
      text += data[i];
  }
  return text;
}

}  // namespace

RegRoot RegRootFromName(const std::string& name) {
  for (const RootName& r : kRootNames)
    if (SameText(name, r.full) || SameText(name, r.abbreviation)) return r.root;
  return RegRoot::CurrentUser;
}

RegPathParts SplitRegPath(const std::string& path) {
  const std::string p = Trim(path);
  if (!StartsWith("HK", p, true)) return {RegRoot::CurrentUser, p};
  const std::size_t slash = p.find('\\');
  if (slash == std::string::npos) return {RegRootFromName(p), std::string()};
  return {RegRootFromName(p.substr(0, slash)), p.substr(slash + 1)};
}

std::string RegValueText(std::uint32_t type, const std::string& data) {
  if (type == kRegTypeDword && data.size() == 4) return DwordText(data);
  if (type == kRegTypeMultiString && data.size() > 2) return MultiStringText(data);
  return data.substr(0, data.find('\0'));
}
