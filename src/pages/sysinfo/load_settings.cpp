// "Sys Info": filling the nine fields once, while the main window is created. Nothing here is
// read again later; after "&Set" the fields keep what the user typed.
#include "app/tfrm_main.h"
#include "pages/sysinfo/settings_catalogue.h"

using namespace sysinfo;

namespace {

// Room the system calls are given for the computer name and the Windows directory.
constexpr unsigned kSystemTextRoom = 260;

// A setting stored under one of two names. A key holding neither leaves the field as it was.
// True when the key holds the setting.
bool LoadTwoNameSetting(RegistryAccess& registry, const TwoNameSetting& setting, TextControl& field) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  const std::string name = NameToRead(registry, setting);
  if (!name.empty()) field.SetText(registry.ReadString(name));
  registry.CloseKey();
  return !name.empty();
}

// A setting under one name; an absent value shows as an empty field. True when it is stored.
bool LoadOneNameSetting(RegistryAccess& registry, const char* name, TextControl& field) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  std::string text;
  const bool stored = registry.ReadStringIfExists(name, text);
  field.SetText(text);
  registry.CloseKey();
  return stored;
}

}  // namespace

void TfrmMain::LoadSystemSettings(RegistryAccess& registry) {
  // The order is fixed: a value of the wrong type raises out of here and ends the creation
  // at that point, so every field after it stays empty. A field stands for its setting only when
  // the setting is stored: a save must not create the values of a system that has none (an
  // empty WallPaperDir would become "\", the root of the drive), unless the user types there.
  std::string owner, company;
  bool ownerStored = false, companyStored = false;
  if (ReadOwnerAndCompany(owner, company, ownerStored, companyStored)) {
    txtUserName.SetText(owner);
    txtCompanyName.SetText(company);
  }
  if (ownerStored) MarkSettingLoaded(txtUserName);
  if (companyStored) MarkSettingLoaded(txtCompanyName);

  txtBootFrom.SetText(System.GetWindowsDirectoryA(kSystemTextRoom));
  MarkSettingLoaded(txtBootFrom);
  txtComputerName.SetText(System.GetComputerNameA(kSystemTextRoom));
  MarkSettingLoaded(txtComputerName);

  std::string installerPath;
  bool installerStored = false;
  if (ReadInstallerPath(installerPath, installerStored)) txtWinInstpath.SetText(installerPath);
  if (installerStored) MarkSettingLoaded(txtWinInstpath);

  if (LoadTwoNameSetting(registry, kProgramFiles, txtProgramFiles)) MarkSettingLoaded(txtProgramFiles);
  if (LoadOneNameSetting(registry, kWallPaperDir, txtWallpaperDir)) MarkSettingLoaded(txtWallpaperDir);
  if (LoadOneNameSetting(registry, kDevicePath, txtDevicePath)) MarkSettingLoaded(txtDevicePath);
  if (LoadTwoNameSetting(registry, kCommonFiles, txtCommonFilesPath)) MarkSettingLoaded(txtCommonFilesPath);
}

bool TfrmMain::ReadOwnerAndCompany(std::string& owner, std::string& company, bool& ownerStored,
                                   bool& companyStored) {
  const char* key = OwnerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  // Read into locals first: if the owner turns out to be unreadable, the caller's texts are
  // left as they were rather than half filled.
  std::string readCompany, readOwner;
  const bool hasCompany = registry.ReadStringIfExists(kRegisteredOrganization, readCompany);
  const bool hasOwner = registry.ReadStringIfExists(kRegisteredOwner, readOwner);
  registry.CloseKey();
  companyStored = hasCompany;
  ownerStored = hasOwner;
  company = std::move(readCompany);
  owner = std::move(readOwner);
  return true;
}

bool TfrmMain::ReadInstallerPath(std::string& path, bool& stored) {
  const char* key = InstallerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  std::string read;
  stored = registry.ReadStringIfExists(kSourcePath, read);
  registry.CloseKey();
  path = std::move(read);
  return true;
}
