#include "pages/sysinfo/settings_catalogue.h"

#include "platform/os_family.h"
#include "platform/registry_api.h"

namespace sysinfo {

const char* OwnerKeyFor(int osFamily) {
  switch (osFamily) {
    case os_family::kWin9x:
      return kWindowsCurrentVersion;
    case os_family::kWin2000:
    case os_family::kWinXp:
    case os_family::kWin2003:
      return kWindowsNtCurrentVersion;
    default:
      return nullptr;
  }
}

const char* InstallerKeyFor(int osFamily) {
  switch (osFamily) {
    case os_family::kWin9x:
      return kWindowsSetup;
    case os_family::kWin2000:
    case os_family::kWinXp:
    case os_family::kWin2003:
      return kWindowsNtCurrentVersion;
    default:
      return nullptr;
  }
}

void OpenSettingsKey(RegistryAccess& registry, const char* path) {
  // Every setting starts again from the root: a key left open by the one before must not
  // become the base of this walk.
  registry.CloseKey();
  registry.SetRootKey(reg::kHkeyLocalMachine);
  // A key that does not open as a whole holds nothing for us. Reading or writing in whichever
  // key above it did open would show another key's value, or store the setting where Windows
  // never looks while the user is told nothing; with no key open, reads give empty texts and a
  // write is reported as failed.
  if (!OpenPiecewise(registry, path, true)) registry.CloseKey();
}

std::string NameToRead(RegistryAccess& registry, const TwoNameSetting& setting) {
  if (registry.ValueExists(setting.pathName)) return setting.pathName;
  if (registry.ValueExists(setting.dirName)) return setting.dirName;
  return std::string();
}

const char* NameToWrite(bool dirExists, bool pathExists, const TwoNameSetting& setting) {
  return dirExists && !pathExists ? setting.dirName : setting.pathName;
}

const char* NameToWrite(RegistryAccess& registry, const TwoNameSetting& setting) {
  const bool dirExists = registry.ValueExists(setting.dirName);
  const bool pathExists = registry.ValueExists(setting.pathName);
  return NameToWrite(dirExists, pathExists, setting);
}

std::string WallpaperDirToStore(const std::string& typed, const CodePage& codePage) {
  if (codePage.EndsWith(typed, '\\')) return typed;
  return typed + '\\';
}

void WriteSetting(RegistryAccess& registry, const std::string& name, const std::string& text) {
  if (registry.GetDataType(name) == reg::kRegExpandSz)
    registry.WriteExpandString(name, text);
  else
    registry.WriteString(name, text);
}

}  // namespace sysinfo
