#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/error_report.h"
#include "fakes/fake_controls.h"
#include "pages/sendto/dir_util.h"
#include "pages/sendto/text_rules.h"
#include "pages/sysinfo/settings_catalogue.h"
#include "caller_trace.h"

#define ExpectOneBox(...) KB_FROM_CALLER(CheckOneBox(__VA_ARGS__))
#define ExpectUnchanged(...) KB_FROM_CALLER(CheckUnchanged(__VA_ARGS__))

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kFolder = "C:\\WINDOWS\\SendTo\\";
constexpr const char* kAddFailed = "There was a problem while adding\nto the Send To list !";
constexpr const char* kRenameFailed = "There was a problem while renaming the file !";
constexpr const char* kDeleteFailed = "There was a problem while deleting\nfrom the Send To list !";

// A Windows 98 machine with C:\WINDOWS and a Send To folder holding Notepad.lnk and
// Floppy.pif, listed the way the window lists it at creation.
struct SendToEditing : ::testing::Test {
  FakeForm f;
  void SetUp() override {
    f->OsFamily = 2;
    f->WindowsDirText = "C:\\WINDOWS";
    f.system.AddFile("C:\\WINDOWS\\SendTo", file_attr::kDirectory);
    f.system.AddFile("C:\\WINDOWS\\SendTo\\Notepad.lnk");
    f.system.AddFile("C:\\WINDOWS\\SendTo\\Floppy.pif");
    f.system.AddFile("C:\\WINDOWS\\Start Menu\\Programs", file_attr::kDirectory);
    f.system.AddFile("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk");
    f.system.AddFile("C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk");
    f->FillSendToList();
    ASSERT_EQ((Lines{"Notepad", "Floppy"}), f.lstSendTo.lines);
    f.system.fileLog.clear();
  }
  void TearDown() override {
    // Whatever happened, the two lists describe the same files.
    EXPECT_EQ(f.lstSendTo.lines.size(), f.objects.SendToPaths.size());
  }
  Lines& paths() { return f.objects.SendToPaths; }
  // The user answers the input dialog: types `name` and presses `button`.
  void Answer(const std::string& name, int button = 1) {
    f.inputView.user = [name, button](FakeInputView& v) {
      v.Type(name);
      return button;
    };
  }
  void AnswerWithoutTyping() {
    f.inputView.user = [](FakeInputView&) { return 1; };
  }
  void CheckOneBox(const char* text, const char* caption = "Keelbrook", unsigned type = 0x30) {
    ASSERT_EQ(1u, f.system.boxes.size());
    EXPECT_EQ(text, f.system.boxes[0].text);
    EXPECT_EQ(caption, f.system.boxes[0].caption);
    EXPECT_EQ(type, f.system.boxes[0].type);
    EXPECT_EQ(BoxOwner::MainWindow, f.system.boxes[0].owner);
  }
  void CheckUnchanged() {
    EXPECT_EQ((Lines{"Notepad", "Floppy"}), f.lstSendTo.lines);
    EXPECT_EQ((Lines{"C:\\WINDOWS\\SendTo\\Notepad.lnk", "C:\\WINDOWS\\SendTo\\Floppy.pif"}), paths());
  }
};

// Japanese Windows (code page 932): the second byte of 表 (0x95 0x5C) and ソ (0x83 0x5C) is a
// backslash, that of ポ (0x83 0x7C) a bar. Such names are added, renamed and listed whole.
TEST_F(SendToEditing, DoubleByteNamesAreReadByCharacter) {
  f.system.codePage = 932;
  Lines expected = f.lstSendTo.lines;
  for (const std::string name : {"\x95\x5C\x8E\xA6", "\x83\x5C\x83\x74\x83\x67", "A\x83\x7C"}) {
    f.system.AddFile("C:\\WINDOWS\\Start Menu\\Programs\\" + name + ".lnk");
    f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\" + name + ".lnk"};
    f->btnSendToAddClick();
    f.lstSendTo.selected = static_cast<int>(paths().size()) - 1;
    Answer(name + name);
    f->btnSendToEditClick();
    expected.push_back(name + name);
  }
  f->FillSendToList();
  EXPECT_EQ(expected, f.lstSendTo.lines);
  EXPECT_TRUE(f.system.boxes.empty());
  // A name or a wallpaper folder ending in 表 does not end in a backslash.
  EXPECT_FALSE(EndsWithBackslash("\x95\x5C", CodePage(f.system)));
  EXPECT_EQ("C:\\\x95\x5C\\", sysinfo::WallpaperDirToStore("C:\\\x95\x5C", CodePage(f.system)));
}

// --- Add

TEST_F(SendToEditing, AddCopiesTheChosenFileAndAppendsItsLine) {
  f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"};
  f.lstSendTo.selected = 0;
  f->btnSendToAddClick();

  ASSERT_EQ(1u, f.OpenDlg.shown.size());
  const OpenDialogOptions& o = f.OpenDlg.shown[0];
  EXPECT_EQ("Select a file...", o.title);
  EXPECT_EQ("Shortcut files|*.lnk|Executables|*.exe|All Files|*.*", o.filter);
  EXPECT_EQ(1, o.filterIndex);
  EXPECT_EQ("C:\\WINDOWS\\Start Menu\\Programs", o.initialDir);
  EXPECT_TRUE(o.pathMustExist);
  EXPECT_TRUE(o.fileMustExist);
  EXPECT_TRUE(o.noDereferenceLinks);

  EXPECT_EQ((Lines{"copy C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk -> C:\\WINDOWS\\SendTo\\Calc.lnk"}),
            f.system.fileLog);
  EXPECT_EQ((Lines{"Notepad", "Floppy", "Calc"}), f.lstSendTo.lines);
  EXPECT_EQ("C:\\WINDOWS\\SendTo\\Calc.lnk", paths().back());
  EXPECT_EQ(0, f.lstSendTo.selected);
  EXPECT_TRUE(f.system.boxes.empty());
}

TEST_F(SendToEditing, AddedEntryIsRemovedFromTheFolderNeverAtItsSource) {
  f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"};
  f->btnSendToAddClick();
  f.lstSendTo.selected = 2;
  f.system.answers = {mb::kIdYes};
  f->btnSendToRemoveClick();
  EXPECT_FALSE(f.system.FileExists("C:\\WINDOWS\\SendTo\\Calc.lnk"));
  EXPECT_TRUE(f.system.FileExists("C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"));
  ExpectUnchanged();
}

// An entry of the same name is never overwritten; any failed copy is reported alike.
TEST_F(SendToEditing, AddReportsAFailedCopy) {
  for (bool failCopy : {false, true}) {
    f.system.boxes.clear();
    f.system.failCopy = failCopy;
    f.OpenDlg.answers = {failCopy ? "C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"
                                  : "C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk"};
    f->btnSendToAddClick();
    ExpectOneBox(kAddFailed);
    ExpectUnchanged();
  }
}

TEST_F(SendToEditing, AddOnTheNtSideCopiesIntoTheUsersFolder) {
  f->OsFamily = 5;
  f.system.AddFile("C:\\Documents and Settings\\Anna\\SendTo", file_attr::kDirectory);
  f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"};
  f->btnSendToAddClick();
  EXPECT_EQ("C:\\WINDOWS\\Start Menu\\Programs", f.OpenDlg.shown.at(0).initialDir);  // the same on every family
  EXPECT_TRUE(f.system.FileExists("C:\\Documents and Settings\\Anna\\SendTo\\Calc.lnk"));
  EXPECT_EQ("C:\\Documents and Settings\\Anna\\SendTo\\Calc.lnk", paths().back());
}

TEST_F(SendToEditing, AddStopsSilentlyWhenCancelledOrWithoutAFolder) {
  f.OpenDlg.answers = {""};  // cancelled
  f->btnSendToAddClick();
  f->OsFamily = 5;
  f.system.userNameOk = false;
  f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\Calc.lnk"};
  f->btnSendToAddClick();
  EXPECT_EQ(2u, f.OpenDlg.shown.size());
  EXPECT_TRUE(f.system.fileLog.empty());
  EXPECT_TRUE(f.system.boxes.empty());
  ExpectUnchanged();
}

// A name or path too long for its buffer would be cut into some other name: refused as a
// failed copy, and nothing is copied.
TEST_F(SendToEditing, AddRefusesNamesThatDoNotFit) {
  const std::string longName = std::string(52, 'n') + ".lnk";  // 56 characters
  const std::string longFolder = "C:\\" + std::string(240, 'p');
  const std::string sources[] = {"C:\\src\\" + longName, longFolder + "\\" + std::string(20, 'q') + ".lnk"};
  for (const std::string& source : sources) {
    f.system.AddFile(source);
    f.system.boxes.clear();
    f.system.fileLog.clear();
    f.OpenDlg.answers = {source};
    f->btnSendToAddClick();
    ExpectOneBox(kAddFailed);
    EXPECT_TRUE(f.system.fileLog.empty()) << source;
  }
  ExpectUnchanged();

  // 55 characters still fit.
  const std::string fits = "C:\\src\\" + std::string(51, 'n') + ".lnk";
  f.system.AddFile(fits);
  f.system.boxes.clear();
  f.OpenDlg.answers = {fits};
  f->btnSendToAddClick();
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(std::string(51, 'n'), f.lstSendTo.lines.back());
}

// --- Edit

TEST_F(SendToEditing, EditRenamesKeepingTheExtension) {
  f.lstSendTo.selected = 0;
  Answer("Editor");
  f->btnSendToEditClick();
  EXPECT_EQ("Notepad", f.inputBox.DefaultText);
  EXPECT_EQ("Enter the new name :", f.inputView.message);
  EXPECT_EQ("Keelbrook", f.inputView.caption);
  EXPECT_EQ((Lines{"move C:\\WINDOWS\\SendTo\\Notepad.lnk -> C:\\WINDOWS\\SendTo\\Editor.lnk"}), f.system.fileLog);
  EXPECT_EQ((Lines{"Editor", "Floppy"}), f.lstSendTo.lines);
  EXPECT_EQ("C:\\WINDOWS\\SendTo\\Editor.lnk", paths()[0]);
  EXPECT_EQ(0, f.lstSendTo.selected);
  EXPECT_TRUE(f.system.boxes.empty());
}

TEST_F(SendToEditing, EditTakesTheNameExactlyAsTyped) {
  const struct {
    const char* typed;
    const char* path;
  } cases[] = {
      {"", "C:\\WINDOWS\\SendTo\\.pif"},  // an empty line
      {"My.Editor", "C:\\WINDOWS\\SendTo\\My.Editor.pif"},
      {" spaced ", "C:\\WINDOWS\\SendTo\\ spaced .pif"},
      {"Floppy", "C:\\WINDOWS\\SendTo\\Floppy.pif"},  // the same name
  };
  for (const auto& c : cases) {
    f.lstSendTo.selected = 1;
    Answer(c.typed);
    f->btnSendToEditClick();
    EXPECT_EQ(c.typed, f.lstSendTo.lines[1]);
    EXPECT_EQ(c.path, paths()[1]);
    EXPECT_TRUE(f.system.FileExists(c.path)) << c.path;
  }
  EXPECT_TRUE(f.system.boxes.empty());
}

// Onto a name that exists, or of a file that vanished meanwhile: the move fails. A full list
// that keeps its old line (capacity) moves the file back.
TEST_F(SendToEditing, FailedMoveKeepsBothLists) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Editor.lnk");
  f.system.DeleteFileA("C:\\WINDOWS\\SendTo\\Floppy.pif");
  for (int capacity : {-1, 2}) {
    for (int line : {0, 1}) {
      f.system.boxes.clear();
      f.lstSendTo.capacity = capacity;
      f.lstSendTo.selected = line;
      Answer(capacity < 0 ? "Editor" : "Renamed");
      f->btnSendToEditClick();
      ExpectOneBox(kRenameFailed);
      ExpectUnchanged();
    }
  }
  EXPECT_FALSE(f.system.FileExists("C:\\WINDOWS\\SendTo\\Renamed.lnk"));
  EXPECT_TRUE(f.system.FileExists("C:\\WINDOWS\\SendTo\\Notepad.lnk"));
}

TEST_F(SendToEditing, EditOfAPathWithoutADotFails) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Notes");
  f->FillSendToList();
  f.system.fileLog.clear();
  f.lstSendTo.selected = 2;
  Answer("Memo");
  f->btnSendToEditClick();
  // The whole old path stands in for the extension, which names no file in the folder.
  ExpectOneBox(kRenameFailed);
  EXPECT_TRUE(f.system.fileLog.empty());
  EXPECT_EQ("Notes", f.lstSendTo.lines[2]);
  EXPECT_EQ("C:\\WINDOWS\\SendTo\\Notes", paths()[2]);
}

// With a dot only in a folder name, the "extension" holds separators and the new path would
// name a file in a sub-folder, if one happened to exist; the entry stays where it is.
TEST_F(SendToEditing, EditNeverMovesIntoASubFolderThroughTheExtension) {
  f->OsFamily = 5;
  f.system.userName = "anna.b";
  const std::string folder = "C:\\Documents and Settings\\anna.b\\SendTo";
  f.system.AddFile(folder, file_attr::kDirectory);
  f.system.AddFile(folder + "\\Notes");
  f.system.AddFile(folder + "\\Memo.b", file_attr::kDirectory);
  f.system.AddFile(folder + "\\Memo.b\\SendTo", file_attr::kDirectory);
  f->FillSendToList();
  ASSERT_EQ((Lines{"Notes"}), f.lstSendTo.lines);
  f.system.fileLog.clear();
  f.lstSendTo.selected = 0;
  Answer("Memo");
  f->btnSendToEditClick();
  ExpectOneBox(kRenameFailed);
  EXPECT_TRUE(f.system.FileExists(folder + "\\Notes"));
  EXPECT_TRUE(f.system.fileLog.empty()) << "nothing is moved";
}

// A new name must not take the file out of the folder, into a sub-folder or into a stream, nor
// be one that ends the program on Windows 95 ("." gives "..lnk"; spaces and a dot likewise).
TEST_F(SendToEditing, EditRefusesNamesThatLeaveTheFolder) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Sub", file_attr::kDirectory);
  // The last one would not fit the path buffer and is refused rather than cut.
  for (const std::string& typed : Lines{"..\\Escaped", "Sub\\Inside", "C:\\Elsewhere", "a/b", "Notepad:stream", "what?",
                                  "star*", "\"quoted\"", "<less", "more>", "pipe|d", ".", "  ", " ",
                                  std::string(240, 'x')}) {
    f.system.boxes.clear();
    f.lstSendTo.selected = 0;
    Answer(typed);
    f->btnSendToEditClick();
    ExpectOneBox(kRenameFailed);
    EXPECT_TRUE(f.system.fileLog.empty()) << typed;
  }
  ExpectUnchanged();
}

TEST_F(SendToEditing, EditCancelledOrWithoutAFolderChangesNothing) {
  f.lstSendTo.selected = 0;
  Answer("Editor", 2);
  f->btnSendToEditClick();
  f->OsFamily = 5;
  f.system.userNameOk = false;
  Answer("Editor", 1);
  f->btnSendToEditClick();
  EXPECT_EQ(2, f.inputView.showings);
  EXPECT_TRUE(f.system.fileLog.empty());
  EXPECT_TRUE(f.system.boxes.empty());
  ExpectUnchanged();
}

// --- Remove

TEST_F(SendToEditing, RemoveAsksAndDeletesTheFileAndItsLine) {
  f.lstSendTo.selected = 1;
  f.system.answers = {mb::kIdYes};
  f->btnSendToRemoveClick();
  ExpectOneBox("Are you sure you want to remove Floppy from you SendTo list?", "Confirm", 0x24);
  EXPECT_FALSE(f.system.FileExists("C:\\WINDOWS\\SendTo\\Floppy.pif"));
  EXPECT_EQ((Lines{"Notepad"}), f.lstSendTo.lines);
  EXPECT_EQ((Lines{"C:\\WINDOWS\\SendTo\\Notepad.lnk"}), paths());
}

TEST_F(SendToEditing, RemoveWithAnyAnswerButYesChangesNothing) {
  for (int answer : {mb::kIdNo, mb::kIdCancel, mb::kIdOk}) {
    f.lstSendTo.selected = 0;
    f.system.answers = {answer};
    f->btnSendToRemoveClick();
  }
  EXPECT_TRUE(f.system.fileLog.empty());
  ExpectUnchanged();
}

TEST_F(SendToEditing, RemoveFailureKeepsTheLine) {
  // A read-only file, and one already deleted by other means.
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Notepad.lnk", file_attr::kReadOnly);
  f.system.DeleteFileA("C:\\WINDOWS\\SendTo\\Floppy.pif");
  for (int line : {0, 1}) {
    f.system.boxes.clear();
    f.lstSendTo.selected = line;
    f.system.answers = {mb::kIdYes};
    f->btnSendToRemoveClick();
    ASSERT_EQ(2u, f.system.boxes.size());
    EXPECT_EQ(kDeleteFailed, f.system.boxes[1].text);
    EXPECT_EQ("Keelbrook", f.system.boxes[1].caption);
    EXPECT_EQ(0x30u, f.system.boxes[1].type);
  }
  ExpectUnchanged();
}

TEST_F(SendToEditing, LongNamesCutTheQuestionToItsBuffer) {
  f->lstSendTo.SetItem(0, std::string(300, 'L'));
  f.lstSendTo.selected = 0;
  f->btnSendToRemoveClick();
  ASSERT_EQ(1u, f.system.boxes.size());
  EXPECT_EQ(255u, f.system.boxes[0].text.size());
  EXPECT_EQ(0u, f.system.boxes[0].text.find("Are you sure you want to remove LLL"));
  f->lstSendTo.SetItem(0, "Notepad");
}

// --- No line selected

TEST_F(SendToEditing, NoSelectionReportsTheListIndexOnly) {
  FakeForm& form = f;
  const std::function<void()> handlers[] = {[&] { form->btnSendToEditClick(); },
                                            [&] { form->btnSendToRemoveClick(); },
                                            [&] { form->EscapePressed(kPageSendTo); }};
  for (const auto& handler : handlers) {
    f.system.boxes.clear();
    EXPECT_FALSE(RunHandler(f.system, handler));
    ExpectOneBox("List index out of bounds (-1)", "Keelbrook 2003", 0x10);
  }
  EXPECT_EQ(0, f.inputView.showings);
  EXPECT_TRUE(f.system.fileLog.empty());
  ExpectUnchanged();
}

TEST_F(SendToEditing, EscapeOnThisPagePressesRemove) {
  f.lstSendTo.selected = 0;
  f.system.answers = {mb::kIdYes};
  f->EscapePressed(kPageSendTo);
  ExpectOneBox("Are you sure you want to remove Notepad from you SendTo list?", "Confirm", 0x24);
  EXPECT_EQ((Lines{"Floppy"}), f.lstSendTo.lines);
  f.system.boxes.clear();
  f->EscapePressed(kPageOptimise);
  EXPECT_TRUE(f.system.boxes.empty());
}

}  // namespace
