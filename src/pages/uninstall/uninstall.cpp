// "Uninstall": the list of installed programs and what the page's handlers share.
#include <algorithm>

#include "app/tfrm_main.h"
#include "pages/uninstall/uninstall_page.h"

namespace uninstall_page {

bool OpenUninstallKey(RegistryAccess& registry) { return OpenPiecewise(registry, kUninstallPath, true); }

bool OpenRegistration(RegistryAccess& registry, const std::string& keyName) {
  // An empty name would reopen the Uninstall key itself, and a backslash would lead out of it;
  // neither is the name of one registration.
  if (keyName.empty() || keyName.find('\\') != std::string::npos) return false;
  return OpenUninstallKey(registry) && registry.OpenKey(keyName, false);
}

void ShowRegistryError(SystemApi& system) {
  system.MessageBoxA(BoxOwner::None, "There was an error while accessing the registry !", "Keelbrook...", mb::kError);
}

std::string ComposeQuestion(const std::string& head, const std::string& name, const std::string& tail) {
  if (head.size() + name.size() + tail.size() <= kQuestionLimit) return head + name + tail;
  // A name that long is not one a person reads to the end; its start says which program it is,
  // and the box stays small enough for its buttons to be on the screen.
  const std::string mark = "...";
  const size_t fixed = head.size() + tail.size() + mark.size();
  const size_t room = fixed < kQuestionLimit ? kQuestionLimit - fixed : 0;
  return head + name.substr(0, room) + mark + tail;
}

}  // namespace uninstall_page

using namespace uninstall_page;

void TfrmMain::FillUnInstList() {
  RegistryAccess registry(Registry);
  std::vector<std::string> names;
  registry.SetRootKey(reg::kHkeyLocalMachine);

  // Emptied before the registry is touched, so that a failure leaves an empty page rather than
  // lines that no longer match their subkeys.
  lstUnInstList.Clear();
  UnInstKeyNames.clear();

  if (!OpenUninstallKey(registry)) {
    ShowRegistryError(System);
    return;
  }
  registry.GetKeyNames(names);
  registry.CloseKey();

  // The order a person expects from the names, whatever order the registry keeps them in.
  // Stable, so names the collation calls equal keep their registry order.
  std::stable_sort(names.begin(), names.end(), [this](const std::string& a, const std::string& b) {
    return System.CompareTextIgnoreCase(a, b) < 0;
  });

  // The list is drawn once, when the last line is in (or when an error ends the refresh early),
  // instead of after every line.
  ListUpdate drawing(lstUnInstList);
  for (const std::string& name : names) {
    // Each registration is opened afresh from the root. One that went away since the names were
    // read is skipped; so is every one when the Uninstall key itself went away, rather than
    // looking for the name under whichever key did open.
    if (!OpenRegistration(registry, name)) {
      registry.CloseKey();
      continue;
    }
    // Presence only, and in this order; an empty value counts. A display name that is not a
    // text raises here and ends the refresh with the lines read so far.
    std::string displayName;
    if (registry.ValueExists(kUninstallString) && registry.ReadStringIfExists(kDisplayName, displayName)) {
      // A line the list box refuses goes into neither list: every later line would otherwise
      // stand for the registration before it.
      if (!lstUnInstList.Add(displayName)) {
        registry.CloseKey();
        ReportListFull(lstUnInstList);
        return;
      }
      UnInstKeyNames.push_back(name);
    }
    registry.CloseKey();
  }
}

void TfrmMain::bntSyncClick() { FillUnInstList(); }
