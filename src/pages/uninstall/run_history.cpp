// The history cleaners: the Run dialog's list of typed commands, and "&Clear docs", which is
// on the page but clears nothing.
#include "app/tfrm_main.h"

namespace {

constexpr const char* kRunHistoryPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

}  // namespace

void TfrmMain::btnClearRunListClick() {
  RegistryAccess registry(Registry);
  std::vector<std::string> names;
  registry.SetRootKey(reg::kHkeyCurrentUser);
  bool failed = false;

  if (!OpenPiecewise(registry, kRunHistoryPath, true)) {
    failed = true;
  } else {
    // Every value goes, the one that records the commands' order included; the key stays, as
    // the shell expects to find it.
    registry.GetValueNames(names);
    for (const std::string& name : names)
      if (!registry.DeleteValue(name)) failed = true;
  }

  if (failed)
    System.MessageBoxA(BoxOwner::MainWindow, "There was a problem whille clearing\nthe Run list !", "Keelbrook",
                       mb::kError);
}

void TfrmMain::btnDelDocListClick() {}
