// "Sys Info": filling the nine fields once, while the main window is created. Nothing here is
// read again later; after "&Set" the fields keep what the user typed.
#include "app/tfrm_main.h"
#include "pages/sysinfo/settings_catalogue.h"

using namespace sysinfo;

namespace {

// Room the system calls are given for the computer name and the Windows directory.
constexpr unsigned kSystemTextRoom = 260;

// A setting stored under one of two names. A key holding neither leaves the field as it was.
void LoadTwoNameSetting(RegistryAccess& registry, const TwoNameSetting& setting, TextControl& field) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  const std::string name = NameToRead(registry, setting);
  if (!name.empty()) field.SetText(registry.ReadString(name));
  registry.CloseKey();
}

// A setting under one name; an absent value shows as an empty field.
void LoadOneNameSetting(RegistryAccess& registry, const char* name, TextControl& field) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  field.SetText(registry.ReadString(name));
  registry.CloseKey();
}

}  // namespace

void TfrmMain::LoadSystemSettings(RegistryAccess& registry) {
  // The order is fixed: a value of the wrong type raises out of here and ends the creation
  // at that point, so every field after it stays empty.
  std::string owner, company;
  if (ReadOwnerAndCompany(owner, company)) {
    txtUserName.SetText(owner);
    txtCompanyName.SetText(company);
  }
  MarkSettingLoaded(txtUserName);
  MarkSettingLoaded(txtCompanyName);

  txtBootFrom.SetText(System.GetWindowsDirectoryA(kSystemTextRoom));
  MarkSettingLoaded(txtBootFrom);
  txtComputerName.SetText(System.GetComputerNameA(kSystemTextRoom));
  MarkSettingLoaded(txtComputerName);

  std::string installerPath;
  if (ReadInstallerPath(installerPath)) txtWinInstpath.SetText(installerPath);
  MarkSettingLoaded(txtWinInstpath);

  LoadTwoNameSetting(registry, kProgramFiles, txtProgramFiles);
  MarkSettingLoaded(txtProgramFiles);
  LoadOneNameSetting(registry, kWallPaperDir, txtWallpaperDir);
  MarkSettingLoaded(txtWallpaperDir);
  LoadOneNameSetting(registry, kDevicePath, txtDevicePath);
  MarkSettingLoaded(txtDevicePath);
  LoadTwoNameSetting(registry, kCommonFiles, txtCommonFilesPath);
  MarkSettingLoaded(txtCommonFilesPath);
}

bool TfrmMain::ReadOwnerAndCompany(std::string& owner, std::string& company) {
  const char* key = OwnerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  // Read into locals first: if the owner turns out to be unreadable, the caller's texts are
  // left as they were rather than half filled.
  std::string readCompany = registry.ReadString(kRegisteredOrganization);
  std::string readOwner = registry.ReadString(kRegisteredOwner);
  registry.CloseKey();
  company = std::move(readCompany);
  owner = std::move(readOwner);
  return true;
}

bool TfrmMain::ReadInstallerPath(std::string& path) {
  const char* key = InstallerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  path = registry.ReadString(kSourcePath);
  registry.CloseKey();
  return true;
}
