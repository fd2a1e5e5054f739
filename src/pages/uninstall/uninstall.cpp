// "Uninstall": the list of installed programs and what the page's handlers share.
#include <algorithm>

#include "app/tfrm_main.h"
#include "pages/uninstall/uninstall_page.h"

namespace {

// An empty name would be the Uninstall key itself, and a backslash would lead out of it; neither
// is the name of one registration. A Japanese name such as "表示ソフト" holds the byte of a
// backslash inside its characters, and is one.
bool IsRegistrationName(const std::string& keyName, const CodePage& codePage) {
  return !keyName.empty() && codePage.FindFirstOf(keyName, "\\") == std::string::npos;
}

}  // namespace

namespace uninstall_page {

bool OpenUninstallKey(RegistryAccess& registry) { return OpenPiecewise(registry, kUninstallPath, true); }

bool OpenRegistration(RegistryAccess& registry, const std::string& keyName, const CodePage& codePage) {
  return IsRegistrationName(keyName, codePage) && OpenUninstallKey(registry) && registry.OpenKey(keyName, false);
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

namespace {

// Opens the registrations one after another below the Uninstall key, which it holds open
// meanwhile: one call a name, where walking to it from the root is ten more. A name that does
// not open there is tried once more below the Uninstall key walked to afresh, so that the list
// is what walking from the root for every name gives: a registration removed meanwhile is
// skipped, and an Uninstall key removed or replaced meanwhile (the key held is then a deleted
// one, below which nothing opens) is seen at the next name.
class RegistrationOpener {
 public:
  RegistrationOpener(RegistryApi& api, SystemApi& system) : uninstallKey_(api), codePage_(system) {
    uninstallKey_.SetRootKey(reg::kHkeyLocalMachine);
  }

  bool Open(RegistryAccess& registry, const std::string& keyName) {
    if (!IsRegistrationName(keyName, codePage_)) return false;
    if (registry.OpenKeyBelow(uninstallKey_, keyName)) return true;
    uninstallKey_.CloseKey();
    // A walk that stopped halfway holds some other key, below which no name is looked for.
    if (!OpenUninstallKey(uninstallKey_)) {
      uninstallKey_.CloseKey();
      return false;
    }
    return registry.OpenKeyBelow(uninstallKey_, keyName);
  }

 private:
  RegistryAccess uninstallKey_;
  const CodePage codePage_;
};

}  // namespace

void TfrmMain::FillUnInstList() {
  const WaitCursor busy(Window);
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
  // instead of after every line. A full list is reported only once it is drawn again and the
  // Uninstall key is let go: the box waits for its answer, and meanwhile the window is usable.
  if (ReadRegistrations(registry, names)) return;
  ReportListFull(lstUnInstList);
}

// True when every registration found its line; false when the list box took no more.
bool TfrmMain::ReadRegistrations(RegistryAccess& registry, const std::vector<std::string>& names) {
  ListUpdate drawing(lstUnInstList);
  RegistrationOpener registrations(Registry, System);
  for (const std::string& name : names) {
    // A registration that went away since the names were read is skipped; so is every one while
    // the Uninstall key itself is gone, rather than looking for the name under whichever key did
    // open.
    if (!registrations.Open(registry, name)) continue;
    // Presence only, and in this order; an empty value counts. A display name that is not a
    // text raises here and ends the refresh with the lines read so far.
    std::string displayName;
    if (registry.ValueExists(kUninstallString) && registry.ReadStringIfExists(kDisplayName, displayName)) {
      // A line the list box refuses goes into neither list: every later line would otherwise
      // stand for the registration before it.
      if (!lstUnInstList.Add(displayName)) {
        registry.CloseKey();
        return false;
      }
      UnInstKeyNames.push_back(name);
    }
    registry.CloseKey();
  }
  return true;
}

void TfrmMain::bntSyncClick() { FillUnInstList(); }
