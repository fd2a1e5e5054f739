// The main window's own logic: the creation sequence, the error report and the key roles.
#include <gtest/gtest.h>

#include "app/error_report.h"
#include "fakes/fake_controls.h"
#include "platform/app_error.h"

namespace {

TEST(ErrorReport, FullStopOnlyAfterCharactersAboveTheDot) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Failed to set data for 'DevicePath'", "Failed to set data for 'DevicePath'"},
      {"List index out of bounds (3)", "List index out of bounds (3)"},
      {"Something broke", "Something broke."},
      {"Already a sentence.", "Already a sentence."},
      {"Shouted !", "Shouted !"},
      {"Ends in a digit 7", "Ends in a digit 7."},  // '7' is above '.'
      {"Ends in a comma,", "Ends in a comma,"},
      {"", ""},
      {"caf\xE9", "caf\xE9."},  // bytes above 127 count as large codes
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.shown) << "message: " << c.message;
}

TEST(ErrorReport, RunHandlerShowsTheRaisedErrorAndStopsTheHandlerThere) {
  FakeSystem system;
  int stepsDone = 0;
  bool ok = RunHandler(system, [&] {
    ++stepsDone;
    throw AppError("Invalid data type for 'DevicePath'");
    ++stepsDone;  // never reached
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(stepsDone, 1);
  ASSERT_EQ(system.boxes.size(), 1u);
  EXPECT_EQ(system.boxes[0].text, "Invalid data type for 'DevicePath'");
  EXPECT_EQ(system.boxes[0].caption, "Keelbrook 2003");
  EXPECT_EQ(system.boxes[0].type, 0x10u);
  EXPECT_EQ(system.boxes[0].owner, BoxOwner::MainWindow);

  EXPECT_TRUE(RunHandler(system, [] {}));
  EXPECT_EQ(system.boxes.size(), 1u) << "a handler that succeeds shows nothing";
}

TEST(ErrorReport, NoExceptionOfAnyKindEscapes) {
  FakeSystem system;
  EXPECT_FALSE(RunHandler(system, [] { throw std::runtime_error("Disk full"); }));
  EXPECT_FALSE(RunHandler(system, [] { throw 42; }));
  ASSERT_EQ(system.boxes.size(), 2u);
  EXPECT_EQ(system.boxes[0].text, "Disk full.");
}

TEST(FormCreate, ReadsTheWindowsDirectoryFirstWithRoomFor255) {
  FakeForm f;
  f.system.windowsDir = "D:\\WINNT";
  f->FormCreate();
  EXPECT_EQ(f->WindowsDirText, "D:\\WINNT");
  ASSERT_FALSE(f.system.windowsDirSizes.empty());
  EXPECT_EQ(f.system.windowsDirSizes.front(), 255u);
}

TEST(FormCreate, IdentifiedSystemReplacesTheOsCaptions) {
  FakeForm f;
  f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3", 1, 0x100);
  f->FormCreate();
  EXPECT_EQ(f->OsFamily, 5);
  EXPECT_EQ(f.lblOS.text, "OS : Windows XP Professional (Service Pack 3)");
  EXPECT_EQ(f.lblBuild.text, "Build : 2600");
  EXPECT_EQ(f.window.activePage, kPageSysInfo);
}

// The real Windows 95, ME and NT 4.0 before Service Pack 6 answer only the basic version record;
// their family still picks the owner's key, the Send To folder and the defragmenter.
TEST(FormCreate, SystemsAnsweringTheBasicRecordTakeTheirOwnBranches) {
  struct {
    OsVersionInfo v;
    int family;
    const char* owner;
    const char* sendTo;
  } cases[] = {
      {VersionRecord(1, 4, 0, 67109814, ""), 2, "Owner 9x", "Nine"},
      {VersionRecord(1, 4, 90, 73010104, " "), 2, "Owner 9x", "Nine"},
      {VersionRecord(2, 4, 0, 1381, "Service Pack 5", 1), 3, "", "Anna"},
  };
  for (const auto& c : cases) {
    FakeForm f;
    f.system.version = c.v;
    f.registry.SetString(reg::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "RegisteredOwner", "Owner 9x");
    for (std::string folder : {"C:\\WINDOWS\\SendTo", "C:\\Documents and Settings\\Anna\\SendTo"}) {
      f.system.AddFile(folder, 0x10);
      f.system.AddFile(folder + (folder[3] == 'W' ? "\\Nine.lnk" : "\\Anna.lnk"));
    }
    f->FormCreate();
    EXPECT_EQ(f->OsFamily, c.family);
    EXPECT_EQ(f.txtUserName.text, c.owner);
    EXPECT_EQ(f.lstSendTo.lines, std::vector<std::string>{c.sendTo});
    f->btnRunDefragClick();
    EXPECT_EQ(f.system.winExecCalls.at(0).first, "defrag.exe");
  }
}

TEST(FormCreate, UnknownSystemKeepsTheLaidOutCaptions) {
  for (bool versionOk : {true, false}) {
    FakeForm f;
    f.system.versionOk = versionOk;
    f.system.version = VersionRecord(2, 6, 1, 7601, "Service Pack 1");
    f->FormCreate();
    EXPECT_EQ(f->OsFamily, 0);
    EXPECT_EQ(f.lblOS.text, "Operating system : ");
    EXPECT_EQ(f.lblBuild.text, "Build : ");
  }
}

TEST(FormCreate, LeavesNoRegistryKeyOpenNorTheWaitCursor) {
  FakeForm f;
  f.system.version = VersionRecord(1, 4, 10, 67766446, " A ");
  f->FormCreate();
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  EXPECT_EQ(f.window.waitCursors - f.window.busy, 1) << "one wait cursor over the whole creation, gone at its end";
}

TEST(FormCreate, AnErrorSkipsTheRestAndLeavesTheChecksumAtZero) {
  FakeForm f;
  f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3");
  // A registry value of the wrong type where the "OS Info" product labels are read.
  f.registry.SetDword(reg::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProductID", 7);
  f.system.AddFile("C:\\Documents and Settings\\Anna\\SendTo", 0x10);
  f.system.AddFile("C:\\Documents and Settings\\Anna\\SendTo\\Desktop.lnk");
  f.txtComputerName.text = "";
  bool ok = RunHandler(f.system, [&] { f->FormCreate(); });
  EXPECT_FALSE(ok);
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, "Invalid data type for 'ProductID'");
  EXPECT_EQ(f->OsFamily, 5) << "identification ran before the failing step";
  EXPECT_EQ(f->SettingsChecksum, 0);
  EXPECT_TRUE(f.txtBootFrom.text.empty()) << "the settings are loaded after the failing step";
  EXPECT_TRUE(f.lstSendTo.lines.empty()) << "the Send To list is filled after the failing step";
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST(KeyRoles, EnterAndEscapeDependOnThePage) {
  FakeForm f;
  for (int page : {kPageUninstall, kPageSendTo, kPageOptimise, kPageOsInfo, kPageAbout}) f->EnterPressed(page);
  EXPECT_EQ(f.window.closeRequests, 0) << "Enter closes only from the settings page";
  f->EnterPressed(kPageSysInfo);
  EXPECT_EQ(f.window.closeRequests, 1);

  for (int page : {kPageSysInfo, kPageOptimise, kPageOsInfo, kPageAbout}) f->EscapePressed(page);
  EXPECT_TRUE(f.system.boxes.empty()) << "Escape does nothing on these pages";
  EXPECT_EQ(f.window.closeRequests, 1);
}

TEST(KeyRoles, EscapePressesTheRemovalButtonsOfTheListPages) {
  // With nothing selected both removal buttons end with the list's out-of-range report, which
  // shows that Escape reached them.
  FakeForm f;
  EXPECT_THROW(f->EscapePressed(kPageUninstall), AppError);
  EXPECT_THROW(f->EscapePressed(kPageSendTo), AppError);
  // The keys and the double-click that act on a line do nothing then, as in Explorer.
  f->lstSendTo.Add("Notepad");
  for (PageKey key : {PageKey::Delete, PageKey::Enter, PageKey::F2})
    for (int page : {kPageUninstall, kPageSendTo}) f->PageKeyPressed(page, key, true), f->ListDoubleClick(page, 0);
  EXPECT_TRUE(f.system.boxes.empty() && f.inputView.showings == 0);
}

// What each page key runs is shown end to end; here, that keys meaning nothing on a page stay
// with the focused control (Delete and Ctrl+C in a text field, F5 off the program list).
TEST(KeyRoles, PageKeysThatMeanNothingThereAreLeftToTheControl) {
  FakeForm f;
  const struct {
    int page;
    PageKey key;
    bool inList;
  } cases[] = {{kPageUninstall, PageKey::Delete, false}, {kPageUninstall, PageKey::F2, true},
               {kPageSendTo, PageKey::F5, true},         {kPageSendTo, PageKey::Copy, false},
               {kPageSysInfo, PageKey::Copy, false},     {kPageSysInfo, PageKey::Delete, false},
               {kPageAbout, PageKey::Enter, false}};
  for (const auto& c : cases) EXPECT_FALSE(f->PageKeyPressed(c.page, c.key, c.inList)) << c.page << " " << int(c.key);
  EXPECT_TRUE(f.system.boxes.empty() && f.system.clipboard.empty() && f.inputView.showings == 0);
}

TEST(ExitButtons, AskTheWindowToClose) {
  FakeForm f;
  f->btnSystemExitClick();
  EXPECT_EQ(f.window.closeRequests, 1);
  EXPECT_TRUE(f.system.boxes.empty()) << "the question belongs to the closing sequence, not the button";
}

}  // namespace

namespace {

TEST(FormCreate, AfterAFailedCreationOnlyRealEditsAskToSave) {
  FakeForm f;
  f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3");
  const char* key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  f.registry.SetString(reg::kHkeyLocalMachine, key, "ProgramFilesDir", "C:\\Program Files");
  f.registry.SetDword(reg::kHkeyLocalMachine, key, "DevicePath", 1);
  f.registry.SetString(reg::kHkeyLocalMachine, key, "CommonFilesDir", "C:\\Program Files\\Common Files");
  EXPECT_FALSE(RunHandler(f.system, [&] { f->FormCreate(); }));
  EXPECT_EQ(f->SettingsChecksum, 0);
  EXPECT_EQ(f.txtProgramFiles.text, "C:\\Program Files");

  // Closing untouched asks nothing, so no Yes can write the unfilled fields over stored values.
  size_t boxes = f.system.boxes.size();
  f->FormClose();
  EXPECT_EQ(f.system.boxes.size(), boxes);
  EXPECT_EQ(f.registry.GetString(reg::kHkeyLocalMachine, key, "CommonFilesDir"), "C:\\Program Files\\Common Files");

  f.txtProgramFiles.text = "D:\\Programs";
  f->FormClose();
  ASSERT_EQ(f.system.boxes.size(), boxes + 1);
  EXPECT_EQ(f.system.boxes.back().caption, "Save ?");
}

}  // namespace
