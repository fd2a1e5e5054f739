// "Sys Info": "&Set" writes every editable setting back, changed or not, in a fixed order.
// A write that fails raises out of the handler: what was written before stays written, the rest
// is not tried, and the snapshot keeps its old value so that closing still offers to save.
#include "app/tfrm_main.h"
#include "pages/sysinfo/settings_catalogue.h"

using namespace sysinfo;

namespace {

void ApplyOneNameSetting(RegistryAccess& registry, const char* name, const std::string& text) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  WriteSetting(registry, name, text);
  registry.CloseKey();
}

// The name is chosen in the key just opened, right before writing.
void ApplyTwoNameSetting(RegistryAccess& registry, const TwoNameSetting& setting, const std::string& text) {
  OpenSettingsKey(registry, kWindowsCurrentVersion);
  WriteSetting(registry, NameToWrite(registry, setting), text);
  registry.CloseKey();
}

}  // namespace

void TfrmMain::btnSetClick() {
  // Normally every field was filled at creation and all are written. Only the fields that
  // creation never reached or found no value for, and the user left alone, are skipped.
  // The system refuses a name longer than 15 characters or with characters a network name may
  // not hold, and on the NT family a user without the right to change it; the user hears of it,
  // and the registry settings go on either way. The new name takes effect after a restart.
  if (SettingToWrite(txtComputerName) && !System.SetComputerNameA(txtComputerName.GetText())) {
    System.MessageBoxA(BoxOwner::MainWindow, "There was a problem while setting\nthe computer name !", "Keelbrook",
                       mb::kError);
  }

  const bool owner = SettingToWrite(txtUserName), company = SettingToWrite(txtCompanyName);
  if (owner || company) WriteOwnerAndCompany(txtUserName.GetText(), txtCompanyName.GetText(), owner, company);
  if (SettingToWrite(txtWinInstpath)) WriteInstallerPath(txtWinInstpath.GetText());

  RegistryAccess registry(Registry);
  registry.SetRootKey(reg::kHkeyLocalMachine);
  if (SettingToWrite(txtProgramFiles)) ApplyTwoNameSetting(registry, kProgramFiles, txtProgramFiles.GetText());
  // The field keeps the text as typed; only the stored folder gets its closing backslash.
  if (SettingToWrite(txtWallpaperDir)) {
    ApplyOneNameSetting(registry, kWallPaperDir, WallpaperDirToStore(txtWallpaperDir.GetText(), CodePage(System)));
  }
  if (SettingToWrite(txtDevicePath)) ApplyOneNameSetting(registry, kDevicePath, txtDevicePath.GetText());
  if (SettingToWrite(txtCommonFilesPath)) {
    ApplyTwoNameSetting(registry, kCommonFiles, txtCommonFilesPath.GetText());
  }

  // From the texts as shown, not as stored, so that closing right away asks nothing.
  TakeSettingsSnapshot();
}

bool TfrmMain::WriteOwnerAndCompany(const std::string& owner, const std::string& company, bool writeOwner,
                                    bool writeCompany) {
  const char* key = OwnerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  if (writeCompany) WriteSetting(registry, kRegisteredOrganization, company);
  if (writeOwner) WriteSetting(registry, kRegisteredOwner, owner);
  registry.CloseKey();
  return true;
}

bool TfrmMain::WriteInstallerPath(const std::string& path) {
  const char* key = InstallerKeyFor(OsFamily);
  if (!key) return false;
  RegistryAccess registry(Registry);
  OpenSettingsKey(registry, key);
  WriteSetting(registry, kSourcePath, path);
  registry.CloseKey();
  return true;
}
