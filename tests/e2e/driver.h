// The end-to-end driver: starts the real keelbrook.exe in the same Wine prefix and wineserver
// as this test program and works it from outside, the way a user would.
//
// Writing a scenario
// ------------------
//   #include "e2e/driver.h"
//   #include "app/win32/resource.h"
//
//   TEST(SysInfo, ExitWithoutEditsEndsAtOnce) {
//     e2e::RegistryFixture reg;                       // undoes every change when the test ends
//     reg.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
//                   "RegisteredOwner", "Ann");
//     e2e::KeelbrookDriver kb;                        // kills a left-over program when it ends
//     kb.SetWindowsVersion("winxp");                  // "" = Wine's default; restored afterwards
//     kb.Start();                                     // throws if the window is not up in 20 s
//     EXPECT_EQ("Ann", kb.Text(IDC_SYSINFO_USERNAME));
//     kb.SetText(IDC_SYSINFO_USERNAME, "Bob");        // like typing: the field changes
//     kb.Click(IDC_SYSINFO_EXIT);                     // posted, so a modal box cannot block us
//     e2e::MessageBoxInfo box = kb.WaitForMessageBox();
//     EXPECT_EQ("Save ?", box.caption);
//     EXPECT_EQ(kb.MainWindow(), box.owner);
//     kb.Answer(box, IDNO);
//     EXPECT_EQ(0u, kb.WaitForExit());
//     EXPECT_EQ("Ann", e2e::ReadString(HKEY_LOCAL_MACHINE, "...", "RegisteredOwner")->Text());
//   }
//
// Rules of thumb:
// - One KeelbrookDriver per test; one keelbrook.exe at a time. Declare the RegistryFixture
//   before the driver (also as fixture members), so the program is gone before the registry is
//   put back. SetWindowsVersion is undone by the driver itself.
// - Everything that waits is bounded. A missing control, a window that never comes or a
//   program that does not answer throws e2e::DriverError; GoogleTest reports its text
//   ("expected X, got Y") as the test's failure, and the destructors still clean up.
// - Click, PressKey, Answer, ClickTab's mouse press and the close requests are posted or queued
//   and return at once; follow them with what you expect: WaitForMessageBox, WaitForExit,
//   NoMessageBoxFor(ms), or e2e::WaitUntil([&] { return kb.Text(ID) == "..."; }, 3000).
// - Reading (Text, ListItems, TabTexts, Hint...) is a message sent with a 5 s limit: it is
//   answered as soon as the program's thread takes messages, which may be before an earlier
//   posted click has been handled. Wait for the effect, not for time.
// - A user can only use what is shown: Click, Focus, SelectListItem refuse hidden or disabled
//   controls, and SetText refuses read-only fields. Switch the page first (ClickTab gives the
//   tab strip the focus as a mouse click does; SwitchTab leaves the focus where it was).
// - Keys: Focus(id) then PressKey(VK_RETURN); PressKeyWithAlt(VK_F4) for Alt+F4.
// - An error reported while the window is created comes before the window: use
//   StartWithBox(), Answer the box, then WaitForMainWindow().
// - Controls are found by their ids from app/win32/resource.h, anywhere under the main window.
//   The program makes a page's controls when the page is first shown: finding one of a page not
//   shown yet shows that page a moment, as a user looks at it, and goes back.
// - Screenshot("name") writes $KB_SCREENS/name.bmp (24-bit) of the main window as it is shown.
#ifndef KEELBROOK_TESTS_E2E_DRIVER_H
#define KEELBROOK_TESTS_E2E_DRIVER_H

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/win32/page_layout.h"

namespace e2e {

// Raised when the scenario cannot go on: a missing control, a window that never came, a
// program that does not answer.
class DriverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every time limit of the driver, times KB_E2E_PATIENCE (a whole number, 1 if unset): an emulated
// processor runs the same program many times slower than the machines it is written for.
DWORD Patient(DWORD ms);
// Polls `done` until it is true or `timeout_ms` has passed; returns its last result.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms, DWORD poll_ms = 20);

// An environment variable, or `fallback` when it is not set.
std::string Env(const char* name, const std::string& fallback = "");
// The path of a helper program built from tests/programs/<name>.cpp, from $KB_BIN.
std::string TestProgram(const std::string& name);

// Text shown so that a failure message reveals control characters and bytes above 127.
std::string Quote(const std::string& text);
// Text of this process's ANSI code page in UTF-16 and back.
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& wide);

// The pixels of a screen rectangle as 0x00RRGGBB, row by row (empty for an empty rectangle).
std::vector<uint32_t> ScreenPixels(const RECT& r);

// Writes $KB_SCREENS/<name>.bmp (24-bit) of the screen area `r`, cut to the screen, and sets
// `file` to its path. Returns what went wrong, or "" when the file was written.
std::string ShootScreen(RECT r, const std::string& name, std::string* file = nullptr);
// The same for the area that holds all `windows`, frames included, after each was painted again.
std::string ShootWindows(const class KeelbrookDriver& kb, const std::vector<HWND>& windows, const std::string& name);

// The Windows directory of the prefix, the user Wine runs as, and that user's Send To folder
// on the NT family ("winxp"): the one the shell records, which exists in every prefix.
std::string WindowsDir();
std::string UserName();
std::string XpSendToFolder();

// keelbrook.exe ($KB_EXE) under the same name in a folder of its own, with a manifest that asks for
// no common controls 6 (Wine cannot take a manifest out, but replaces it): Wine then gives it the
// version 5 common controls, as Windows 95 to 2000 give 4.00 to 5.8x. Removed at the end.
class CopyWithoutManifest {
 public:
  CopyWithoutManifest();
  ~CopyWithoutManifest();
  CopyWithoutManifest(const CopyWithoutManifest&) = delete;
  CopyWithoutManifest& operator=(const CopyWithoutManifest&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string folder_, path_;
};

bool Exists(const std::string& path);  // a file or folder

// A folder the test fills. Levels that did not exist are made and removed again; files that
// were not there before are deleted at the end, whoever made them (the program copies and
// renames into the folder). A file the test means to make must not exist yet: the test never
// touches what it did not make.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& path);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + "\\" + name; }
  std::string Add(const std::string& name, const std::string& bytes = "not a real shortcut\r\n");
  // The entries as the file system yields them, "." and ".." left out.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
  std::vector<std::string> made_, before_;
};

// The controls of the "About..." page as the program's page layout places them, at 96 DPI.
std::vector<ControlSpec> AboutLayout();

// The clipboard's plain text (CF_TEXT), or "" when it holds none.
std::string ClipboardText();

// The lines of a log that a test program appends to, each split at "|"; lines with another
// number of fields than `fields` are left out (a line still being written).
std::vector<std::vector<std::string>> ReadRecords(const std::string& path, size_t fields);

// The program's input dialog: the #32770 holding the input field, shown or not; nullptr if none.
HWND FindInputDialog(const class KeelbrookDriver& kb);
// The program's shown top-level window (not its main window) with this caption, or its input
// dialog while it is shown; nullptr when there is none. The caption is the one the system keeps,
// so a window that is closing meanwhile is no error.
HWND ShownWindow(const class KeelbrookDriver& kb, const std::string& caption);
HWND ShownInputDialog(const class KeelbrookDriver& kb);
// The same, waited for; throws when none appears in time.
HWND WaitForShownWindow(const class KeelbrookDriver& kb, const std::string& caption, DWORD timeout_ms = 10000);
HWND WaitForInputDialog(const class KeelbrookDriver& kb);
// The file dialog's name field, or null.
HWND FileNameField(HWND dialog);
// Types a full path into the file dialog's name field, presses Open and waits until it closes.
void ChooseFile(const class KeelbrookDriver& kb, HWND dialog, const std::string& path);

// ---------------------------------------------------------------------------------------------
// Registry, through the real advapi32 of the prefix the program runs in.

struct RegValue {
  DWORD type = REG_NONE;
  std::string data;  // the raw bytes, as stored
  // The data as text: string types lose their terminating zero (one, or two for REG_MULTI_SZ).
  std::string Text() const;
  DWORD Dword() const;  // the first four bytes; 0 when shorter
};

// Direct changes, not undone; each returns the Win32 status. Keys on the way are created.
LONG SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::string& bytes);
LONG SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text,
               DWORD type = REG_SZ);
LONG SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
LONG SetBinary(HKEY root, const std::string& path, const std::string& name, const std::string& bytes);
LONG DeleteValue(HKEY root, const std::string& path, const std::string& name);
LONG DeleteTree(HKEY root, const std::string& path);  // the key and everything under it
LONG CreateKey(HKEY root, const std::string& path);

std::optional<RegValue> ReadValue(HKEY root, const std::string& path, const std::string& name);
// The same as ReadValue; Text() gives the string without its terminator.
std::optional<RegValue> ReadString(HKEY root, const std::string& path, const std::string& name);
bool KeyExists(HKEY root, const std::string& path);
bool ValueExists(HKEY root, const std::string& path, const std::string& name);
std::vector<std::string> SubkeyNames(HKEY root, const std::string& path);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
std::string RootName(HKEY root);

// Changes that are undone: records the state before its first change of each value or key and
// restores it, newest first, when it goes out of scope. Failures to change throw DriverError.
class RegistryFixture {
 public:
  RegistryFixture();
  RegistryFixture(const RegistryFixture&) = delete;
  RegistryFixture& operator=(const RegistryFixture&) = delete;
  ~RegistryFixture();

  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& bytes);
  void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text,
                 DWORD type = REG_SZ);
  void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
  void SetBinary(HKEY root, const std::string& path, const std::string& name, const std::string& bytes);
  void DeleteValue(HKEY root, const std::string& path, const std::string& name);
  void DeleteTree(HKEY root, const std::string& path);
  void CreateKey(HKEY root, const std::string& path);
  // Records a key so that whatever the program does under it is undone at the end.
  void Protect(HKEY root, const std::string& path);
  // Puts everything back now (the destructor then has nothing left to do).
  void Restore();

  struct Snapshot;  // a key with its values and subkeys, as it was

 private:
  void RecordKey(HKEY root, const std::string& path);
  struct Record;
  std::vector<Record> records_;
};

// ---------------------------------------------------------------------------------------------
// Message boxes and the driver.

struct BoxButton {
  int id = 0;
  std::string text;  // e.g. "&Yes"
  HWND hwnd = nullptr;
};

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  HWND owner = nullptr;  // GetWindow(GW_OWNER): the main window, or none
  std::string caption;
  std::string text;  // the text as shown; lines are separated by "\n"
  std::vector<BoxButton> buttons;
  bool hasIcon = false;

  std::vector<int> ButtonIds() const;
  std::string Describe() const;  // for failure messages
};

class KeelbrookDriver {
 public:
  // `exe` defaults to $KB_EXE; `windowClass` is the class of the program's main window.
  explicit KeelbrookDriver(std::string exe = "", std::string windowClass = "TfrmMain");
  ~KeelbrookDriver();
  KeelbrookDriver(const KeelbrookDriver&) = delete;
  KeelbrookDriver& operator=(const KeelbrookDriver&) = delete;

  // Wine's per-program Windows version ("win95", "win98", "winme", "nt40", "win2k", "winxp",
  // "win2003"; "" removes the setting, leaving Wine's default). Takes effect at the next
  // Start(); the previous setting is put back when the driver ends.
  void SetWindowsVersion(const std::string& version);

  // The show state the program is started with, as a shortcut's "Run" setting gives it
  // (STARTF_USESHOWWINDOW); by default none is given.
  void SetShowCommand(int show) { showCommand_ = show; }

  // Starts the program and waits until its main window is shown and it waits for input. Fails
  // at once, describing the box, when the program shows a message box before its window.
  void Start(DWORD timeout_ms = 20000);
  // For an error reported while the window is being created: starts the program and returns
  // the box that comes before the main window. Answer it, then WaitForMainWindow().
  MessageBoxInfo StartWithBox(DWORD timeout_ms = 20000);
  void WaitForMainWindow(DWORD timeout_ms = 20000);
  bool Running() const;
  // The main window is there and shown. A window being destroyed is hidden first, then loses its
  // controls, and only then its handle: while the program closes, IsWindow still holds.
  bool WindowOpen() const;
  DWORD ProcessId() const { return pid_; }
  DWORD ThreadId() const { return tid_; }
  HANDLE Process() const { return process_; }
  HWND MainWindow() const { return main_; }
  const std::string& Exe() const { return exe_; }

  // Controls, by control id, anywhere under the main window.
  HWND Find(int id) const;     // nullptr when there is none
  HWND Control(int id) const;  // throws when there is none
  std::string Text(int id) const;
  static std::string WindowText(HWND hwnd);
  static std::string ClassOf(HWND hwnd);
  // Sets an editable field's text at once (the program gets EN_CHANGE as for typing).
  void SetText(int id, const std::string& text);
  // Focuses the edit, selects its text and types `text` character by character.
  void TypeInto(int id, const std::string& text);
  void Click(int id);  // BM_CLICK, posted
  bool IsVisible(int id) const;  // the control and all its parents are visible
  bool IsEnabled(int id) const;
  LONG Style(int id) const;
  LONG ExStyle(int id) const;
  RECT ScreenRect(int id) const;
  SIZE ClientSize() const;  // of the main window
  // The tooltip text the program registered for the control, if any.
  std::optional<std::string> Hint(int id) const;
  LONG MainStyle() const;

  // List boxes. Texts come as the ANSI code page shows them.
  int ListCount(int id) const;
  std::string ListItem(int id, int index) const;
  std::vector<std::string> ListItems(int id) const;
  int ListSelection(int id) const;
  // Selects a line as a click would and tells the page (LBN_SELCHANGE).
  void SelectListItem(int id, int index);
  // A double-click of the left button on a line (or below the last one), posted to the list, or
  // in the middle of a control; the pointer is moved there first.
  void DoubleClickListItem(int id, int index);
  void DoubleClick(int id);
  // Drops files on a control as the shell does from Explorer: a WM_DROPFILES to the nearest
  // window that accepts files, whose DROPFILES record (the files and the point on that window)
  // is written into the program's memory. Posted.
  void DropFiles(int id, const std::vector<std::string>& paths);

  // The tab strip IDC_MAIN_TABS.
  int TabCount() const;
  std::vector<std::string> TabTexts() const;
  int CurrentTab() const;
  // Both return once the tab strip shows the tab and page IDC_PAGE_SYSINFO + index is visible.
  // SwitchTab sends TCM_SETCURFOCUS (the window is notified as for a click; the keyboard focus
  // stays where it was); ClickTab presses the mouse on the tab, which also focuses the strip.
  void SwitchTab(int index);
  void ClickTab(int index);

  // The keyboard. PressKey is real keyboard input (SendInput) to the program's foreground
  // window, so it reaches the focused control through the program's own message loop and
  // IsDialogMessage, exactly as a key press does. PostKey posts WM_KEYDOWN/WM_KEYUP to the
  // focused control instead (PressKey falls back to it when Wine refuses the foreground).
  HWND FocusedWindow() const;
  int FocusedId() const;
  void Focus(int id);
  // A click of the left button into the control as real input, which comes after the keys
  // pressed before it as a user's does; returns once the control has the focus.
  void ClickInto(int id);
  // The same press and release on any window of the program; false when it shows nowhere.
  bool PressMouseOn(HWND hwnd);
  void PressKey(WORD vk);
  // A key pressed while `modifier` (VK_MENU, VK_CONTROL, VK_SHIFT) is held, as real input.
  void PressKeyWith(WORD modifier, WORD vk);
  void PressKeyWithAlt(WORD vk) { PressKeyWith(VK_MENU, vk); }      // e.g. Alt+F4
  void PressKeyWithCtrl(WORD vk) { PressKeyWith(VK_CONTROL, vk); }  // e.g. Ctrl+C
  // Types the text (in this process's ANSI code page) as real input, one key press a character:
  // the keyboard's key where the character has one (with Shift as needed), else the character
  // itself, as an input method gives it (VK_PACKET).
  void TypeText(const std::string& text);
  void PostKey(WORD vk);
  // Another window takes the activation from the program: a top-level window of this test
  // process (made on first use, kept until the driver ends) is brought to the front. The next
  // key pressed or typed brings the program back, as a user comes back to it.
  void ActivateElsewhere();
  // The main window minimised and restored again, as with its taskbar button.
  void MinimiseAndRestore();

  // Message boxes (#32770 dialogs without an edit field) of the program.
  std::optional<MessageBoxInfo> FindMessageBox() const;  // the topmost of MessageBoxes()
  std::vector<MessageBoxInfo> MessageBoxes() const;      // every box shown, in z-order
  MessageBoxInfo WaitForMessageBox(DWORD timeout_ms = 5000) const;
  // Presses the button with this id and waits until the box is gone.
  void Answer(const MessageBoxInfo& box, int id, DWORD timeout_ms = 5000);
  // Success when for `ms` no box appears and the program keeps running.
  ::testing::AssertionResult NoMessageBoxFor(DWORD ms) const;

  // Closing.
  void CloseByTitleBar();  // WM_SYSCOMMAND SC_CLOSE, as the title-bar button sends
  void PostClose();        // WM_CLOSE
  // The program's exit code; throws (after killing it) when it has not ended in time.
  DWORD WaitForExit(DWORD timeout_ms = 10000);
  void Kill();

  // Writes $KB_SCREENS/<name>.bmp of the main window as it is on screen; returns its path.
  std::string Screenshot(const std::string& name);

  // Returns once the program's thread takes messages again (a round trip of WM_NULL); posted
  // messages queued before may still be waiting.
  void Sync() const;
  // A sent message with a time limit; throws when the program does not answer.
  LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout_ms = 5000) const;
  LRESULT SendW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout_ms = 5000) const;
  void Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;

 private:
  void Launch();
  std::string EndedText() const;
  HWND FindMainWindow() const;
  // Shows the page of control `id` a moment when the program has not made it yet.
  void LookAtPageOf(int id) const;
  bool BringToForeground();
  void WaitForPage(int index);
  void DoubleClickAt(HWND hwnd, POINT at);
  void SendInputs(const std::vector<INPUT>& inputs, const char* what);  // in front first
  void RestoreVersion();
  void CloseHandles();

  std::string exe_;
  std::string windowClass_;
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
  DWORD tid_ = 0;
  HWND main_ = nullptr;
  mutable std::map<int, HWND> found_;
  HWND elsewhere_ = nullptr;  // ActivateElsewhere's window
  HWND backTo_ = nullptr;     // the program's window it took the activation from
  DWORD clickedAt_ = 0;       // the last click of ClickInto
  int showCommand_ = -1;
  bool versionChanged_ = false;
  std::optional<RegValue> previousVersion_;
};

}  // namespace e2e

#endif
