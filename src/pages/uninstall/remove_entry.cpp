// "&Delete entry": remove the registration of a program that is already gone, without running
// anything.
#include "app/tfrm_main.h"
#include "pages/uninstall/uninstall_page.h"

using namespace uninstall_page;

void TfrmMain::btnRemoveEntryClick() {
  RegistryAccess registry(Registry);
  registry.SetRootKey(reg::kHkeyLocalMachine);
  const int line = FindSelectedLine(lstUnInstList);
  const std::string lineText = lstUnInstList.Items(line);

  const std::string question =
      ComposeQuestion("Are you sure you want to\rremove ", lineText, " from the Registry ?");
  if (System.MessageBoxA(BoxOwner::MainWindow, question, "Keelbrook", mb::kQuestion) != mb::kIdYes) return;

  // The line's own subkey, as "&Uninstall" uses it. Looking the key up by display name instead
  // would take whichever registration the registry lists first, which need not be the one the
  // user picked when two programs show the same name.
  const size_t index = static_cast<size_t>(line);
  if (index >= UnInstKeyNames.size()) return;
  const std::string keyName = UnInstKeyNames[index];

  // The list may be behind the registry. Delete only what still is what the user saw: the
  // subkey inside the Uninstall key, with the display name the line shows.
  if (!OpenRegistration(registry, keyName, CodePage(System))) return;
  if (!registry.ValueExists(kDisplayName)) return;
  if (registry.ReadString(kDisplayName) != lineText) return;
  registry.CloseKey();

  // Deleted from inside the Uninstall key only, never relative to wherever the walk stopped.
  if (!OpenUninstallKey(registry)) return;
  registry.DeleteKey(keyName);
  // A deletion that failed leaves the entry; the refresh shows it still there.
  FillUnInstList();
  registry.CloseKey();
}
