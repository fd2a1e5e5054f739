#pragma once
// The main window's logic: its state, its creation and closing sequences and one handler per
// control event. It sees the platform and the controls only through their ports, so the same
// code runs in keelbrook.exe and against the fakes of the host tests. The handlers of each page
// are defined in that page's folder under src/pages/.
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_controls.h"
#include "app/page_index.h"
#include "app/tform_input_box.h"
#include "platform/registry_access.h"
#include "platform/registry_api.h"
#include "platform/system_api.h"
#include "ui/controls.h"
#include "ui/list_box.h"

// What the main window asks of its own window.
class FormWindowControl {
 public:
  virtual ~FormWindowControl() = default;
  // Asks the window to close, exactly as the title-bar close button does.
  virtual void RequestClose() = 0;
  // Makes the page with this tab index the active one.
  virtual void SetActivePage(int index) = 0;
  // The wait cursor over the window from BeginBusy to the matching EndBusy; pairs may nest.
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

// The wait cursor for as long as it lives: while the window is filled, a list is read again, or
// an uninstaller runs, the window takes no input, and says so.
class WaitCursor {
 public:
  explicit WaitCursor(FormWindowControl& window) : window_(window) { window_.BeginBusy(); }
  ~WaitCursor() { window_.EndBusy(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  FormWindowControl& window_;
};

// The program-wide objects created before the main window and alive until the end.
struct LongLivedObjects {
  std::vector<std::string> UnInstKeyNames;
  std::vector<std::string> SendToPaths;
  uint32_t FontColor = colour::clWindowText;  // the colour of a new font, which pointer effects restore
};

// Every control the logic touches, by its name on the form, and the window and file dialog.
struct MainControls {
  FormWindowControl* window = nullptr;
  OpenDialogControl* OpenDlg = nullptr;
#define KB_CONTROL_PORT(Port, name, id) Port* name = nullptr;
  KB_MAIN_CONTROLS(KB_CONTROL_PORT)
#undef KB_CONTROL_PORT
};

// How the form holds each kind of control: a list box through ListBox, which keeps its lines.
template <class Port>
struct FormHeld {
  using Type = Port&;
};
template <>
struct FormHeld<ListBoxControl> {
  using Type = ListBox;
};

// How the main window first shows for the show state its starter asked for: a window of fixed
// size is never maximised, so that request shows it normally; every other one is kept (a
// shortcut set to start minimised starts it minimised).
int MainWindowShowState(int requested);


// Keys that Windows users reach for on a page, besides the buttons' own keys.
enum class PageKey { F2, F5, Delete, Enter, Copy /* Ctrl+C */ };

class TfrmMain {
 public:
  TfrmMain(RegistryApi& registry, SystemApi& system, LongLivedObjects& objects, const MainControls& controls,
           TFormInputBox& inputBox);

  // Window events
  void FormCreate();
  // The closing sequence. Returns normally when the close may go on; an error raised by the
  // save on Yes leaves this function, and the window stays open.
  void FormClose();
  void btnSystemExitClick();
  // Enter and Escape reach the window as its default and cancel commands; which button they
  // press depends on the page showing.
  void EnterPressed(int activePage);
  void EscapePressed(int activePage);
  // A key on a page: runs the handler it stands for there and returns true, or returns false
  // when the key means nothing there and belongs to the focused control. `inList` when the
  // page's list has the focus.
  bool PageKeyPressed(int activePage, PageKey key, bool inList);
  // A double-click on line `line` of the page's list; -1 below the last line.
  void ListDoubleClick(int activePage, int line);

  // "Sys Info"
  void LoadSystemSettings(RegistryAccess& registry);
  // Each says through its last arguments whether the values are stored at all.
  bool ReadOwnerAndCompany(std::string& owner, std::string& company, bool& ownerStored, bool& companyStored);
  bool ReadInstallerPath(std::string& path, bool& stored);
  void btnSetClick();
  // Each of the two values is written only when asked for: its field may never have been shown.
  bool WriteOwnerAndCompany(const std::string& owner, const std::string& company, bool writeOwner = true,
                            bool writeCompany = true);
  bool WriteInstallerPath(const std::string& path);

  // Change detection
  std::string BuildSettingsText() const;
  void TakeSettingsSnapshot();
  bool SettingsChanged() const;

  // "OS Info"
  void LoadProductLabels(RegistryAccess& registry);
  void LoadComponentLabels(RegistryAccess& registry);
  void Image1MouseDown();
  void Image1MouseUp();
  void Image2MouseDown();
  void Image2MouseUp();
  void Image3MouseDown();
  void Image3MouseUp();
  void Image4MouseDown();
  void Image4MouseUp();
  void lblIEMouseUp();
  void lblDirectXMouseUp();
  // The page as text: each label as it shows, one a line, in the page's order.
  std::string OsInfoReport() const;

  // "Uninstall"
  void FillUnInstList();
  void bntSyncClick();
  void btnUninstallClick();
  void btnRemoveEntryClick();
  void btnClearRunListClick();
  void btnDelDocListClick();
  uint32_t LaunchProgram(const std::string& commandLine);
  void WaitForProcessExit(uint32_t processId);

  // "Send to"
  void FillSendToList();
  void btnSendToAddClick();
  void btnSendToEditClick();
  void btnSendToRemoveClick();
  // Files dropped on the list: each is added as "&Add..." adds a chosen file.
  void lstSendToDropFiles(const std::vector<std::string>& files);

  // "Optimise"
  void btnRunWinAlignClick();
  void btnRunScanDiskClick();
  void btnRunDefragClick();

  // "About..."
  void Image8MouseDown();
  void Image8MouseUp();
  void Image9Click();
  void Image10Click();
  void imgTweetyMouseDown();
  void imgTweetyMouseUp();

  // State shared by the pages
  int OsFamily = 0;
  int32_t SettingsChecksum = 0;
  std::string WindowsDirText;
  // The nine field texts at the last snapshot: the checksum alone misses edits that happen to
  // sum alike, so the texts themselves decide whether anything changed.
  std::vector<std::string> SettingsSnapshotTexts;
  // Which of the nine fields stand for their settings, in the order their texts are joined: the
  // ones creation filled from a stored value and the ones the user has edited, for the whole
  // run. A save writes only those: after a creation that stopped early, the fields it never
  // reached would otherwise overwrite what the registry holds, on this save and every later one;
  // and a value the system never had would be created empty.
  std::vector<bool> SettingsLoaded;
  void MarkSettingLoaded(const TextControl& field);
  bool SettingToWrite(const TextControl& field);

 private:
  // The nine "Sys Info" fields in the order their texts are joined.
  std::vector<const TextControl*> SettingsFields() const;
  // Keeps the nine texts as the reference for the changed test, without touching the checksum.
  void KeepSettingsTexts();
  void RunCreationSteps();
  int FindSelectedLine(const ListBox& list) const;
  // Says that a refresh stopped because the list box holds no more lines.
  void ReportListFull(const ListBox& list);
  // The refresh's walk over the sorted registration names; false when the list filled up.
  bool ReadRegistrations(RegistryAccess& registry, const std::vector<std::string>& names);
  // The process handle of a 16-bit program started without a thread handle, from its start to
  // the wait for its end; 0 otherwise.
  SysHandle startedWithoutThread_ = 0;
  // Copies a text to the clipboard, or raises when the clipboard cannot be had.
  void CopyToClipboard(const std::string& text);
  // Copies the selected line of a list; nothing when no line is selected.
  void CopySelectedLine(const ListBox& list);
  // Runs the handler of a list's line key when a line is selected; true: the key is taken.
  bool OnSelectedLine(const ListBox& list, void (TfrmMain::*handler)());
  // "&Add..." once the file is chosen: the copy into the Send To folder and its line.
  void AddSendToEntry(const std::string& source);

 public:
  RegistryApi& Registry;
  SystemApi& System;
  LongLivedObjects& Objects;
  std::vector<std::string>& UnInstKeyNames;
  std::vector<std::string>& SendToPaths;
  TFormInputBox& FormInputBox;

  FormWindowControl& Window;
  OpenDialogControl& OpenDlg;
#define KB_FORM_MEMBER(Port, name, id) FormHeld<Port>::Type name;
  KB_MAIN_CONTROLS(KB_FORM_MEMBER)
#undef KB_FORM_MEMBER
};
