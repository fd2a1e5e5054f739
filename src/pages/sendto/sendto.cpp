// "Send to": the entries of the user's Send To folder, and adding, renaming and removing them.
// lstSendTo shows one line per file and SendToPaths holds, at the same index, the file's full
// path; every change touches both lists at the same index, or neither.
#include <cstddef>
#include <string>
#include <vector>

#include "app/tfrm_main.h"
#include "pages/sendto/dir_util.h"
#include "pages/sendto/sendto_folder.h"
#include "pages/sendto/text_rules.h"
#include "platform/app_error.h"

namespace {

// Every file is an entry of the Send To menu, whatever its attributes: on NTFS a shortcut whose
// archive bit a backup has cleared may carry only bits such as compressed (0x800), not indexed
// (0x2000) or reparse point (0x400). A sub-folder is no entry: with no other bit it is not named,
// with others it comes back with a backslash and is left out below.
constexpr uint32_t kListedAttributes = ~file_attr::kDirectory;

constexpr const char* kCaption = "Keelbrook";
constexpr const char* kAddFailed = "There was a problem while adding\nto the Send To list !";
constexpr const char* kRenameFailed = "There was a problem while renaming the file !";
constexpr const char* kDeleteFailed = "There was a problem while deleting\nfrom the Send To list !";

// A composed text fits an editing buffer when it leaves room for the terminating zero.
bool FitsEditingBuffer(const std::string& text) { return text.size() < sendto_buffers::kEditing; }

// A new name must leave the file where it is, under a plain name: a separator would move it
// out of the folder or into a sub-folder while its line still shows it as an entry, and a
// colon would name a data stream instead of a file. The remaining characters are never valid in
// a file name.
bool StaysInFolder(const std::string& name, const CodePage& codePage) {
  return codePage.FindFirstOf(name, "\\/:*?\"<>|") == std::string::npos;
}

// Windows 95 and the first Windows 98 end the program whose file call names a file beginning
// with two dots, or with spaces and then a dot: a new name of "." would give "..lnk".
bool OldSystemsTakeTheName(const std::string& name) {
  const size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos || name[first] != '.') return true;
  return first == 0 && name.compare(0, 2, "..") != 0;
}

// SendToPaths refuses a line that does not exist in the words the list box uses, so a lost
// selection reads the same whichever list is asked first.
const std::string& PathAt(const std::vector<std::string>& paths, int index) {
  if (index < 0 || static_cast<size_t>(index) >= paths.size())
    throw AppError(FormatNumber("List index out of bounds (%d)", index));
  return paths[static_cast<size_t>(index)];
}

}  // namespace

void TfrmMain::FillSendToList() {
  const WaitCursor busy(Window);
  CDirUtil dir(System);
  const CodePage codePage(System);
  std::string folder;
  if (!GetSendToFolder(System, folder, OsFamily, sendto_buffers::kListing)) {
    lstSendTo.Clear();
    SendToPaths.clear();
    return;
  }
  dir.SetDir(folder);
  lstSendTo.Clear();
  SendToPaths.clear();

  std::string name;
  while (dir.GetNextEntry("*.*", kListedAttributes, name) == 1) {
    if (name.empty()) continue;
    // A sub-folder that carries another bit comes back with a backslash; it is no Send To
    // entry and would only show as a blank line.
    if (EndsWithBackslash(name, codePage)) continue;
    if (!lstSendTo.Add(DisplayNameOf(name, codePage))) {
      ReportListFull(lstSendTo);
      return;
    }
    SendToPaths.push_back(folder + name);
  }
}

void TfrmMain::btnSendToAddClick() {
  OpenDialogOptions options;
  options.title = "Select a file...";
  options.filter = "Shortcut files|*.lnk|Executables|*.exe|All Files|*.*";
  options.filterIndex = 1;
  // The same folder on every family, even where the start menu lives elsewhere; the dialog
  // then opens wherever the platform puts it.
  const std::string start = WindowsDirText + "\\Start Menu\\Programs";
  if (FitsEditingBuffer(start)) options.initialDir = start;
  options.pathMustExist = true;
  options.fileMustExist = true;
  // A chosen shortcut is copied itself, never the program it points to.
  options.noDereferenceLinks = true;

  std::string source;
  if (!OpenDlg.Execute(options, source)) return;
  AddSendToEntry(source);
}

void TfrmMain::lstSendToDropFiles(const std::vector<std::string>& files) {
  for (const std::string& file : files) AddSendToEntry(file);
}

void TfrmMain::AddSendToEntry(const std::string& source) {
  const CodePage codePage(System);
  const std::string name = FileNameOf(source, codePage);

  std::string folder;
  if (!GetSendToFolder(System, folder, OsFamily, sendto_buffers::kEditing)) return;
  const std::string destination = folder + (EndsWithBackslash(folder, codePage) ? "" : "\\") + name;

  // A name or path that had to be cut to fit its buffer would copy to some other name; that is
  // refused like any failed copy.
  const bool fits = FitsEditingBuffer(source) && name == LeafOf(source, codePage) && FitsEditingBuffer(destination);
  // Never over an existing file: an entry of the same name stays as it is.
  if (!fits || System.CopyFileA(source, destination, true) != 1) {
    System.MessageBoxA(BoxOwner::MainWindow, kAddFailed, kCaption, mb::kError);
    return;
  }
  // The copy and its line go together: a full list takes the copy back out of the folder.
  if (!lstSendTo.Add(DisplayNameOf(source, codePage))) {
    System.DeleteFileA(destination);
    System.MessageBoxA(BoxOwner::MainWindow, kAddFailed, kCaption, mb::kError);
    return;
  }
  SendToPaths.push_back(destination);
}

void TfrmMain::btnSendToEditClick() {
  const int index = lstSendTo.ItemIndex();
  const std::string line = lstSendTo.Items(index);

  FormInputBox.DefaultText = line;
  FormInputBox.MessageText = "Enter the new name :";
  FormInputBox.CaptionText = kCaption;
  if (FormInputBox.ShowModal() != mb::kIdOk) return;
  const std::string newName = FormInputBox.ResultText;

  const std::string oldPath = PathAt(SendToPaths, index);
  const CodePage codePage(System);
  std::string folder;
  if (!GetSendToFolder(System, folder, OsFamily, sendto_buffers::kEditing)) return;
  if (!EndsWithBackslash(folder, codePage)) folder += '\\';
  // The extension comes from the old file, so a rename never changes the kind of the entry.
  // Of a path without a dot it is the whole path, separators and all; that new name is then
  // refused like a typed one that would leave the folder.
  const std::string newFileName = newName + "." + ExtensionOf(oldPath, codePage);
  const std::string newPath = folder + newFileName;

  const bool acceptable = StaysInFolder(newFileName, codePage) && OldSystemsTakeTheName(newFileName) &&
                          FitsEditingBuffer(folder) && FitsEditingBuffer(newPath);
  if (!acceptable || !System.MoveFileA(oldPath, newPath)) {
    System.MessageBoxA(BoxOwner::MainWindow, kRenameFailed, kCaption, mb::kError);
    return;
  }
  // The line shows the name as typed, dots included, until the folder is listed again. A list
  // that cannot take the new line (a full Windows 9x list) keeps the old one, so the file goes
  // back to the name that line shows: the file, the line and its path stay together.
  if (!lstSendTo.SetItem(index, newName)) {
    System.MoveFileA(newPath, oldPath);
    System.MessageBoxA(BoxOwner::MainWindow, kRenameFailed, kCaption, mb::kError);
    return;
  }
  SendToPaths[static_cast<size_t>(index)] = newPath;
}

void TfrmMain::btnSendToRemoveClick() {
  const int index = lstSendTo.ItemIndex();
  const std::string path = PathAt(SendToPaths, index);

  std::string question = FormatText("Are you sure you want to remove %s from you SendTo list?", lstSendTo.Items(index));
  if (!FitsEditingBuffer(question)) question.resize(sendto_buffers::kEditing - 1);
  if (System.MessageBoxA(BoxOwner::MainWindow, question, "Confirm", mb::kQuestion) != mb::kIdYes) return;

  if (!System.DeleteFileA(path)) {
    System.MessageBoxA(BoxOwner::MainWindow, kDeleteFailed, kCaption, mb::kError);
    return;
  }
  SendToPaths.erase(SendToPaths.begin() + index);
  lstSendTo.Delete(index);
}
