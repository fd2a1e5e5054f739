// "Send to" seen from outside: a real Send To folder in the prefix, listed, added to through the
// real file dialog, renamed through the program's own input dialog and emptied after "Confirm".
//
// The file dialog is Wine's Explorer-style GetOpenFileNameA dialog: a top-level #32770 of the
// program captioned "Select a file...". Its file-name field is the ComboBoxEx32 with id 0x47C
// (cmb13), whose ComboBox holds an Edit of the same id; the test sets the full path of the
// file into that Edit with WM_SETTEXT and posts BM_CLICK to "&Open" (IDOK), as a user typing
// the path and pressing Open would.
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"
#include "e2e/window_search.h"
#include "caller_trace.h"

#define ExpectBox(...) KB_FROM_CALLER(CheckBox(__VA_ARGS__))

namespace {

using e2e::KeelbrookDriver;
using Lines = std::vector<std::string>;

constexpr int kSendToPage = 2;
constexpr const char* kAddFailed = "There was a problem while adding\nto the Send To list !";
constexpr const char* kRenameFailed = "There was a problem while renaming the file !";
constexpr const char* kDeleteFailed = "There was a problem while deleting\nfrom the Send To list !";

using e2e::Exists;
using e2e::ScratchFolder;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A real shell link to Notepad, so that a dialog which followed links would hand back
// notepad.exe instead of the shortcut. COM is loaded by hand: the test links no ole32.
bool MakeShortcut(const std::string& link, const std::string& target) {
  HMODULE ole = LoadLibraryA("ole32.dll");
  if (!ole) return false;
  using CoInit = HRESULT(WINAPI*)(LPVOID);
  using CoCreate = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  using CoUninit = void(WINAPI*)();
  auto coInitialize = reinterpret_cast<CoInit>(reinterpret_cast<void*>(GetProcAddress(ole, "CoInitialize")));
  auto coCreate = reinterpret_cast<CoCreate>(reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
  auto coUninitialize = reinterpret_cast<CoUninit>(reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")));
  if (!coInitialize || !coCreate || !coUninitialize) return false;
  static const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  static const IID kIShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  static const IID kIPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  bool saved = false;
  coInitialize(nullptr);
  IShellLinkA* shell = nullptr;
  if (SUCCEEDED(coCreate(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kIShellLinkA, reinterpret_cast<void**>(&shell)))) {
    shell->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(kIPersistFile, reinterpret_cast<void**>(&file)))) {
      std::wstring wide(link.begin(), link.end());
      saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
      file->Release();
    }
    shell->Release();
  }
  coUninitialize();
  return saved;
}

using window_search::TopLevelWindowsOf;
using e2e::FindInputDialog;
using e2e::ChooseFile;
using e2e::WaitForInputDialog;
using e2e::WaitForShownWindow;


void WaitUntilHidden(HWND dialog) {
  if (!e2e::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000))
    throw e2e::DriverError("the dialog is still open");
}

// Types into an edit field the way the keyboard does, one character at a time, over whatever
// is selected, and waits until the field shows `shows`.
void TypeChars(const KeelbrookDriver& kb, HWND edit, const std::string& text, const std::string& shows = "") {
  for (unsigned char c : text) kb.Post(edit, WM_CHAR, c, 1);
  const std::string expected = shows.empty() ? text : shows;
  if (!e2e::WaitUntil([&] { return KeelbrookDriver::WindowText(edit) == expected; }, 3000))
    throw e2e::DriverError("typed " + e2e::Quote(text) + ", the field shows " +
                           e2e::Quote(KeelbrookDriver::WindowText(edit)) + " instead of " + e2e::Quote(expected));
}

int IndexOf(const Lines& lines, const std::string& line) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == line) return static_cast<int>(i);
  return -1;
}

// The program started under `version` with a Send To folder at `folder` holding a few entries.
class SendToScenario : public ::testing::Test {
 protected:
  void Prepare(const std::string& folderPath) {
    folder = std::make_unique<ScratchFolder>(folderPath);
    folder->Add("Notepad.lnk");
    folder->Add("Mail Recipient.MAPIMail", "");
    folder->Add("Floppy.lnk");
    folder->Add("Floppy.pif");
  }
  void Launch(const std::string& version) {
    kb.SetWindowsVersion(version);
    kb.Start();
    kb.SwitchTab(kSendToPage);
  }
  void Open(const std::string& version, const std::string& folderPath) {
    Prepare(folderPath);
    Launch(version);
  }
  Lines Shown() const { return kb.ListItems(IDC_SENDTO_LIST); }
  void Select(const std::string& line) {
    const int index = IndexOf(Shown(), line);
    ASSERT_NE(-1, index) << "no line " << line;
    kb.SelectListItem(IDC_SENDTO_LIST, index);
  }
  void CheckBox(const std::string& text, const std::string& caption, int answer) {
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(kb.MainWindow(), box.owner);
    kb.Answer(box, answer);
  }

  std::unique_ptr<ScratchFolder> folder;  // outlives the program: declared before the driver
  KeelbrookDriver kb;
};

std::string Win98Folder() { return e2e::WindowsDir() + "\\SendTo"; }

TEST_F(SendToScenario, Win98ListsTheFolderUnderTheWindowsDirectory) {
  Prepare(Win98Folder());
  ScratchFolder sub(Win98Folder() + "\\Archive");
  Launch("win98");
  Lines expected;
  for (const std::string& name : folder->Names())
    if (name != "Archive") expected.push_back(name.substr(0, name.find('.')));
  EXPECT_EQ(expected, Shown()) << "every file, in the file system's order, up to its first dot; no sub-folder";
  EXPECT_NE(-1, IndexOf(Shown(), "Mail Recipient"));
  EXPECT_EQ(-1, kb.ListSelection(IDC_SENDTO_LIST));
  kb.Screenshot("sendto-entries");
}

TEST_F(SendToScenario, AddCopiesTheChosenShortcutItself) {
  Open("win98", Win98Folder());
  ScratchFolder source("C:\\kb-sendto-source");
  const std::string link = source.Path("Calculator.lnk");
  ASSERT_TRUE(MakeShortcut(link, e2e::WindowsDir() + "\\notepad.exe"));
  Select("Floppy");
  const Lines before = Shown();
  const int selected = kb.ListSelection(IDC_SENDTO_LIST);

  kb.Click(IDC_SENDTO_ADD);
  ChooseFile(kb, WaitForShownWindow(kb, "Select a file..."), link);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Shown().size() == before.size() + 1; }, 5000))
      << "no line was added; the program shows " << (kb.FindMessageBox() ? kb.FindMessageBox()->Describe() : "no box");
  EXPECT_EQ("Calculator", Shown().back());
  EXPECT_EQ(selected, kb.ListSelection(IDC_SENDTO_LIST)) << "the selection does not move";
  ASSERT_TRUE(Exists(folder->Path("Calculator.lnk")));
  EXPECT_FALSE(Exists(folder->Path("notepad.exe"))) << "the link's target was copied instead of the link";
  EXPECT_EQ(ReadAll(link), ReadAll(folder->Path("Calculator.lnk")));

  // The same file again: the entry is never overwritten.
  kb.Click(IDC_SENDTO_ADD);
  ChooseFile(kb, WaitForShownWindow(kb, "Select a file..."), link);
  ExpectBox(kAddFailed, "Keelbrook", IDOK);
  EXPECT_EQ(before.size() + 1, Shown().size());

  // The new line stands for the copy: removing it deletes the copy, never the chosen file.
  kb.SelectListItem(IDC_SENDTO_LIST, static_cast<int>(before.size()));
  kb.Click(IDC_SENDTO_REMOVE);
  ExpectBox("Are you sure you want to remove Calculator from you SendTo list?", "Confirm", IDYES);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Exists(folder->Path("Calculator.lnk")); }, 3000));
  EXPECT_TRUE(Exists(link));
  EXPECT_EQ(before, Shown());
}

// Files dropped from Explorer are added as "&Add..." adds them, never over an entry; F2 and a
// double-click rename, Delete asks to remove, Ctrl+C copies the line.
TEST_F(SendToScenario, DropsAndKeysReachTheirButtons) {
  Open("win98", Win98Folder());
  ScratchFolder source("C:\\kb-drop-source");
  // A box without owner leaves the window usable: its page keys, and a drop, are taken as ever.
  kb.SwitchTab(3);
  kb.Click(IDC_OPTIMISE_SCANDISK);
  const e2e::MessageBoxInfo open = kb.WaitForMessageBox();
  ASSERT_EQ(nullptr, open.owner) << open.Describe();
  kb.Focus(IDC_OPTIMISE_SCANDISK);  // back in the window, as a user's click puts it
  kb.PressKeyWithCtrl(VK_PRIOR);
  ASSERT_TRUE(e2e::WaitUntil([&] { return kb.CurrentTab() == kSendToPage; }, 3000)) << "Ctrl+Page Up was lost";
  const size_t listed = Shown().size();
  kb.DropFiles(IDC_SENDTO_LIST, {source.Add("Calc.lnk")});
  EXPECT_TRUE(e2e::WaitUntil([&] { return Shown().size() == listed + 1; }, 3000)) << "the drop was lost";
  kb.Answer(open, IDOK);
  const Lines before = Shown();
  kb.DropFiles(IDC_SENDTO_LIST, {source.Add("Editor.lnk"), source.Add("Notepad.lnk", "another Notepad")});
  ExpectBox(kAddFailed, "Keelbrook", IDOK);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Shown().size() == before.size() + 1; }, 3000));
  EXPECT_EQ("Editor", Shown().back());
  EXPECT_TRUE(Exists(folder->Path("Editor.lnk")));
  EXPECT_NE("another Notepad", ReadAll(folder->Path("Notepad.lnk"))) << "an entry is never overwritten";

  Select("Floppy");
  for (int way = 0; way < 2; ++way) {
    if (way == 0) {
      kb.Focus(IDC_SENDTO_LIST);
      kb.PressKey(VK_F2);
    } else {
      kb.DoubleClickListItem(IDC_SENDTO_LIST, IndexOf(Shown(), "Floppy"));
    }
    HWND dialog = WaitForInputDialog(kb);
    kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    WaitUntilHidden(dialog);
  }
  kb.Focus(IDC_SENDTO_LIST);
  kb.PressKey(VK_DELETE);
  ExpectBox("Are you sure you want to remove Floppy from you SendTo list?", "Confirm", IDNO);
  // The list has the focus back as the box and the input dialog go: their keys work at once.
  kb.PressKey(VK_F2);
  HWND dialog = WaitForInputDialog(kb);
  kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  WaitUntilHidden(dialog);
  kb.PressKeyWithCtrl('C');
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::ClipboardText() == "Floppy"; }, 3000)) << e2e::ClipboardText();
}

TEST_F(SendToScenario, XpEditRenamesThroughTheInputDialog) {
  Open("winxp", e2e::XpSendToFolder());
  EXPECT_EQ(nullptr, FindInputDialog(kb)) << "the dialog is made at its first question";
  Select("Notepad");
  const int index = kb.ListSelection(IDC_SENDTO_LIST);
  kb.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(kb);
  EXPECT_EQ(kb.MainWindow(), GetWindow(dialog, GW_OWNER));
  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(350, client.right);
  EXPECT_EQ(124, client.bottom);
  HWND edit = GetDlgItem(dialog, IDC_INPUT_EDIT);
  EXPECT_EQ("Keelbrook", KeelbrookDriver::WindowText(dialog));
  EXPECT_EQ("Enter the new name :", KeelbrookDriver::WindowText(GetDlgItem(dialog, IDC_INPUT_MESSAGE)));
  EXPECT_EQ("Notepad", KeelbrookDriver::WindowText(edit));
  EXPECT_EQ(edit, kb.FocusedWindow()) << "the input field has the focus";
  const LRESULT sel = kb.Send(edit, EM_GETSEL, 0, 0);
  EXPECT_EQ(0, LOWORD(sel));
  EXPECT_EQ(7, HIWORD(sel)) << "the default text is selected";
  EXPECT_FALSE(IsWindowEnabled(kb.MainWindow())) << "the dialog is modal";
  RECT r;
  GetWindowRect(dialog, &r);
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (r.left + r.right) / 2, 2);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (r.top + r.bottom) / 2, 2);
  e2e::ShootWindows(kb, {dialog}, "inputbox");  // a picture for people, not a check

  // Typing replaces the selected default; Enter is OK.
  TypeChars(kb, edit, "Editor");  // not "NotepadEditor"
  kb.PostKey(VK_RETURN);
  WaitUntilHidden(dialog);
  kb.Sync();
  EXPECT_TRUE(IsWindowEnabled(kb.MainWindow()));
  EXPECT_TRUE(Exists(folder->Path("Editor.lnk")));
  EXPECT_FALSE(Exists(folder->Path("Notepad.lnk")));
  EXPECT_EQ("Editor", Shown().at(static_cast<size_t>(index)));
  EXPECT_EQ(index, kb.ListSelection(IDC_SENDTO_LIST)) << "the renamed line stays selected";

  // Escape cancels; the second showing offers the new name, not what was typed before. A click
  // queued behind the one that asks is dropped, not run inside the question.
  Select("Floppy");
  const Lines before = Shown();
  kb.Click(IDC_SENDTO_EDIT);
  kb.Click(IDC_SENDTO_ADD);
  EXPECT_EQ(dialog, WaitForInputDialog(kb)) << "the same dialog is reused";
  EXPECT_EQ("Floppy", KeelbrookDriver::WindowText(edit));
  TypeChars(kb, edit, "Never");
  kb.PostKey(VK_ESCAPE);
  WaitUntilHidden(dialog);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  EXPECT_EQ(nullptr, e2e::ShownWindow(kb, "Select a file..."));
  EXPECT_EQ(before, Shown());
  EXPECT_FALSE(Exists(folder->Path("Never.lnk")));
  EXPECT_FALSE(Exists(folder->Path("Never.pif")));

  // A name that would leave the folder is refused.
  kb.Click(IDC_SENDTO_EDIT);
  dialog = WaitForInputDialog(kb);
  TypeChars(kb, edit, "..\\Escaped");
  kb.Post(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ExpectBox(kRenameFailed, "Keelbrook", IDOK);
  EXPECT_EQ(before, Shown());
  EXPECT_FALSE(Exists(folder->Path("..\\Escaped.lnk")));
}

// Where the user's folder is not the one under "Documents and Settings" (NT 4.0 keeps profiles
// under the Windows directory, other languages name the folder otherwise, a taken name gets a
// suffix beside a stale folder), the page lists, renames and removes in the one the shell records.
TEST_F(SendToScenario, XpWorksInTheShellsFolderBesideAStaleComposedOne) {
  ScratchFolder stale(e2e::WindowsDir().substr(0, 2) + "\\Documents and Settings\\" + e2e::UserName() + "\\SendTo");
  stale.Add("Stale.lnk");
  Open("winxp", e2e::XpSendToFolder());
  Lines expected;
  for (const std::string& name : folder->Names()) expected.push_back(name.substr(0, name.find('.')));
  EXPECT_EQ(expected, Shown());

  Select("Notepad");
  kb.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(kb);
  TypeChars(kb, GetDlgItem(dialog, IDC_INPUT_EDIT), "Editor");
  kb.PostKey(VK_RETURN);
  EXPECT_TRUE(e2e::WaitUntil([&] { return Exists(folder->Path("Editor.lnk")); }, 3000));
  Select("Mail Recipient");
  kb.Click(IDC_SENDTO_REMOVE);
  ExpectBox("Are you sure you want to remove Mail Recipient from you SendTo list?", "Confirm", IDYES);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Exists(folder->Path("Mail Recipient.MAPIMail")); }, 3000));
  EXPECT_EQ((Lines{"Stale.lnk"}), stale.Names()) << "the stale folder is left alone";
}

// Before XP the dialog's buttons are drawn by the program: Enter presses the one with the focus,
// and the default frame goes with the focus, as with the system's buttons.
TEST_F(SendToScenario, BeforeXpEnterPressesTheFocusedButtonOfTheInputDialog) {
  Prepare(Win98Folder());
  e2e::CopyWithoutManifest copy;
  KeelbrookDriver classic(copy.Path());
  classic.SetWindowsVersion("win98");
  classic.Start();
  classic.SwitchTab(kSendToPage);
  classic.SelectListItem(IDC_SENDTO_LIST, IndexOf(classic.ListItems(IDC_SENDTO_LIST), "Notepad"));
  classic.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(classic);
  HWND ok = GetDlgItem(dialog, IDOK), cancel = GetDlgItem(dialog, IDCANCEL);
  ASSERT_EQ(BS_OWNERDRAW, GetWindowLongA(cancel, GWL_STYLE) & 0x0F);
  TypeChars(classic, GetDlgItem(dialog, IDC_INPUT_EDIT), "Editor");
  for (int tab = 0; tab < 2; ++tab) classic.PostKey(VK_TAB);
  ASSERT_TRUE(e2e::WaitUntil([&] { return classic.FocusedWindow() == cancel; }, 3000));
  EXPECT_TRUE(classic.Send(cancel, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(classic.Send(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) << "the default went with the focus";
  classic.PostKey(VK_RETURN);
  WaitUntilHidden(dialog);
  EXPECT_TRUE(classic.NoMessageBoxFor(300));
  EXPECT_TRUE(Exists(folder->Path("Notepad.lnk"))) << "Enter on Cancel renamed the file";
  EXPECT_FALSE(Exists(folder->Path("Editor.lnk")));
}

TEST_F(SendToScenario, Win98RemoveDeletesAfterConfirm) {
  Open("win98", Win98Folder());
  Select("Mail Recipient");
  Lines expected = Shown();
  kb.Click(IDC_SENDTO_REMOVE);
  ExpectBox("Are you sure you want to remove Mail Recipient from you SendTo list?", "Confirm", IDNO);
  EXPECT_TRUE(Exists(folder->Path("Mail Recipient.MAPIMail")));
  EXPECT_EQ(expected, Shown());

  kb.Click(IDC_SENDTO_REMOVE);
  ExpectBox("Are you sure you want to remove Mail Recipient from you SendTo list?", "Confirm", IDYES);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Exists(folder->Path("Mail Recipient.MAPIMail")); }, 3000));
  expected.erase(expected.begin() + IndexOf(expected, "Mail Recipient"));
  EXPECT_EQ(expected, Shown());
}

// Failed operations keep every line, and each line still stands for its own file: a later
// removal deletes exactly the file behind the line removed.
TEST_F(SendToScenario, ReadOnlyOrMissingFilesKeepTheirLines) {
  Open("winxp", e2e::XpSendToFolder());
  const Lines before = Shown();
  const Lines files = folder->Names();  // line i stands for files[i]
  ASSERT_EQ(files.size(), before.size());
  ASSERT_TRUE(SetFileAttributesA(folder->Path("Mail Recipient.MAPIMail").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(DeleteFileA(folder->Path("Notepad.lnk").c_str()));  // by other means, while listed

  for (const char* line : {"Mail Recipient", "Notepad"}) {
    Select(line);
    kb.Click(IDC_SENDTO_REMOVE);
    ExpectBox(std::string("Are you sure you want to remove ") + line + " from you SendTo list?", "Confirm", IDYES);
    ExpectBox(kDeleteFailed, "Keelbrook", IDOK);
    EXPECT_EQ(before, Shown());
  }
  EXPECT_TRUE(Exists(folder->Path("Mail Recipient.MAPIMail")));

  // Renaming the vanished file fails the same way.
  Select("Notepad");
  kb.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(kb);
  TypeChars(kb, GetDlgItem(dialog, IDC_INPUT_EDIT), "Editor");
  kb.Post(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  ExpectBox(kRenameFailed, "Keelbrook", IDOK);
  EXPECT_EQ(before, Shown());
  EXPECT_FALSE(Exists(folder->Path("Editor.lnk")));

  // Of the two Floppy lines, the first goes, and with it exactly its own file.
  const int first = IndexOf(before, "Floppy");
  kb.SelectListItem(IDC_SENDTO_LIST, first);
  kb.Click(IDC_SENDTO_REMOVE);
  ExpectBox("Are you sure you want to remove Floppy from you SendTo list?", "Confirm", IDYES);
  const std::string gone = files[static_cast<size_t>(first)];
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Exists(folder->Path(gone)); }, 3000)) << gone;
  EXPECT_TRUE(Exists(folder->Path(gone == "Floppy.lnk" ? "Floppy.pif" : "Floppy.lnk")));
  Lines expected = before;
  expected.erase(expected.begin() + first);
  EXPECT_EQ(expected, Shown());
}

TEST_F(SendToScenario, EscapeOnThisPagePressesRemove) {
  Open("win98", Win98Folder());
  const Lines before = Shown();
  // Nothing selected: only the list index error, from Escape and from "&Edit..." alike.
  kb.Focus(IDC_SENDTO_LIST);
  kb.PressKey(VK_ESCAPE);
  ExpectBox("List index out of bounds (-1)", "Keelbrook 2003", IDOK);
  kb.Click(IDC_SENDTO_EDIT);
  ExpectBox("List index out of bounds (-1)", "Keelbrook 2003", IDOK);
  EXPECT_FALSE(IsWindowVisible(FindInputDialog(kb)));

  Select("Notepad");
  kb.Focus(IDC_SENDTO_LIST);
  kb.PressKey(VK_ESCAPE);
  ExpectBox("Are you sure you want to remove Notepad from you SendTo list?", "Confirm", IDNO);
  EXPECT_TRUE(Exists(folder->Path("Notepad.lnk")));
  EXPECT_EQ(before, Shown());
}

}  // namespace
