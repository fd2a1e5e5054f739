// "Sys Info": loading and applying the nine settings. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::LoadSystemSettings(RegistryAccess&) {}
bool TfrmMain::ReadOwnerAndCompany(std::string&, std::string&) { return false; }
bool TfrmMain::ReadInstallerPath(std::string&) { return false; }
void TfrmMain::btnSetClick() {}
bool TfrmMain::WriteOwnerAndCompany(const std::string&, const std::string&) { return false; }
bool TfrmMain::WriteInstallerPath(const std::string&) { return false; }
