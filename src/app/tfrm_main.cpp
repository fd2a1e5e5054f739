#include "app/tfrm_main.h"

#include "pages/osinfo/os_identification.h"
#include "platform/app_error.h"

TfrmMain::TfrmMain(RegistryApi& registry, SystemApi& system, LongLivedObjects& objects,
                   const MainControls& c, TFormInputBox& inputBox)
    : SettingsSnapshotTexts(9),  // the fields are empty until creation fills them
      SettingsLoaded(9, false),
      Registry(registry),
      System(system),
      Objects(objects),
      UnInstKeyNames(objects.UnInstKeyNames),
      SendToPaths(objects.SendToPaths),
      FormInputBox(inputBox),
      Window(*c.window),
      OpenDlg(*c.OpenDlg)
#define KB_FORM_INIT(Port, name, id) , name(*c.name)
      KB_MAIN_CONTROLS(KB_FORM_INIT)
#undef KB_FORM_INIT
{
}

int MainWindowShowState(int requested) { return requested == sw::kMaximize ? sw::kShowNormal : requested; }

void TfrmMain::FormCreate() {
  const WaitCursor busy(Window);
  try {
    RunCreationSteps();
  } catch (...) {
    // What was filled before the error is what the page shows; only the user's own edits after
    // this point count as changes. The checksum keeps its value.
    KeepSettingsTexts();
    throw;
  }
}

void TfrmMain::RunCreationSteps() {
  {
    RegistryAccess registry(Registry);
    WindowsDirText = System.GetWindowsDirectoryA(255);
    registry.SetRootKey(reg::kHkeyLocalMachine);

    // The family comes first: it chooses the registry locations and folders of every page.
    std::string display, build;
    OsFamily = IdentifyOperatingSystem(System, &display, &build);
    if (OsFamily != 0) {
      lblOS.SetText("OS : " + display);
      lblBuild.SetText(build);
    }

    LoadProductLabels(registry);
    registry.CloseKey();
    LoadSystemSettings(registry);
    LoadComponentLabels(registry);
    registry.CloseKey();
  }
  FillUnInstList();
  TakeSettingsSnapshot();
  FillSendToList();
  Window.SetActivePage(kPageSysInfo);
}

void TfrmMain::FormClose() {
  if (!SettingsChanged()) return;
  int answer = System.MessageBoxA(BoxOwner::MainWindow,
                                  "Certain changes were made, quitting now\n"
                                  "will not update those changes.\n"
                                  "Do you want to save the changes made ?",
                                  "Save ?", mb::kQuestion);
  if (answer == mb::kIdYes) btnSetClick();
}

void TfrmMain::btnSystemExitClick() { Window.RequestClose(); }

void TfrmMain::EnterPressed(int activePage) {
  if (activePage == kPageSysInfo) btnSystemExitClick();
}

void TfrmMain::EscapePressed(int activePage) {
  if (activePage == kPageUninstall) btnRemoveEntryClick();
  if (activePage == kPageSendTo) btnSendToRemoveClick();
}

int TfrmMain::FindSelectedLine(const ListBox& list) const {
  // Asking about the line past the end is what reports an empty selection: the list box
  // refuses the index.
  int i = 0;
  for (;;) {
    if (list.Selected(i)) return i;
    if (i < list.Count()) {
      ++i;
    } else {
      return i;
    }
  }
}

void TfrmMain::ReportListFull(const ListBox& list) {
  System.MessageBoxA(BoxOwner::MainWindow,
                     FormatNumber("The list is full: only the first %d entries are shown !", list.Count()),
                     "Keelbrook", mb::kError);
}
