#include "desktop/settings.h"

#include <initializer_list>

#include "winlib/system/registry.h"

namespace {

std::string ReadSetting(std::initializer_list<const char*> levels, const std::string& name,
                        const std::string& defaultValue) {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  // A level that can be neither opened nor created leaves the value unread: reading it
  // from the level above would answer from the wrong key.
  for (const char* level : levels) {
    if (!registry.OpenKey(level, true)) return defaultValue;
  }
  const std::string value = registry.ReadString(name);
  registry.CloseKey();
  return value.empty() ? defaultValue : value;
}

}  // namespace

std::string ReadVBSetting(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
  return ReadSetting(
      {"Software", "VB and VBA Program Settings", application.c_str(), section.c_str()}, key,
      defaultValue);
}

std::string ReadProductSetting(const std::string& name, const std::string& defaultValue) {
  return ReadSetting({"Software", "Tavrin", "Orvel"}, name, defaultValue);
}
