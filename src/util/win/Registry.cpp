// Registry: opens the key named by a registry path read-only and turns one value into text.
#include "util/win/Registry.h"

#include "util/win/WinHandles.h"

HKEY RootKeyOf(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
      return HKEY_USERS;
    case RegRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RegRoot::DynData:
      return HKEY_DYN_DATA;
    case RegRoot::CurrentUser:
      break;
  }
  return HKEY_CURRENT_USER;
}

std::string ReadRegString(const std::string& path, const std::string& valueName,
                          const std::string& def, bool view64) {
  const RegPathParts parts = SplitRegPath(path);
  const REGSAM access = KEY_READ | (view64 ? KEY_WOW64_64KEY : 0);
  HKEY opened = nullptr;
  if (RegOpenKeyExA(RootKeyOf(parts.root), parts.keyPath.c_str(), 0, access, &opened) !=
      ERROR_SUCCESS)
    return def;
  const win::UniqueKey key(opened);

  BYTE buffer[kRegValueBufferSize];
  DWORD type = REG_NONE;
  DWORD size = sizeof(buffer);
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, buffer, &size) !=
      ERROR_SUCCESS)
    return def;
  // The size is the system's word; never trust it beyond the buffer we handed over.
  if (size > sizeof(buffer)) return def;
  return RegValueText(type, std::string(reinterpret_cast<const char*>(buffer), size));
}
