// "Uninstall": installed programs and the history cleaners. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::FillUnInstList() {}
void TfrmMain::bntSyncClick() {}
void TfrmMain::btnUninstallClick() {}
void TfrmMain::btnRemoveEntryClick() {}
void TfrmMain::btnClearRunListClick() {}
void TfrmMain::btnDelDocListClick() {}
uint32_t TfrmMain::LaunchProgram(const std::string&) { return 0; }
void TfrmMain::WaitForProcessExit(uint32_t) {}
