// The whole window against a system that says no: keys a user without administrator rights may
// not open, values that refuse to be written or deleted, a user name that cannot be read, a
// version call that fails. For each: what the user is shown, that the window goes on working,
// and that nothing stored is lost or changed beyond what the action itself wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/error_report.h"
#include "fakes/fake_controls.h"

namespace {

const HKey kHklm = reg::kHkeyLocalMachine;
const HKey kHkcu = reg::kHkeyCurrentUser;
const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kSetup[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char kNtCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kRunMru[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

const char kRegistryError[] = "There was an error while accessing the registry !";
const char kRunListError[] = "There was a problem whille clearing\nthe Run list !";

// Everything a registry holds, value by value, so that a test can say "nothing changed" or name
// exactly what did.
using Dump = std::map<std::string, std::string>;

void DumpKey(const FakeRegistry& r, HKey root, const std::string& path, Dump& out) {
  const std::string prefix = std::to_string(root) + ":" + path;
  out[prefix + "\\"] = "(key)";
  for (const std::string& name : r.ValueNames(root, path)) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    r.GetValue(root, path, name, &type, &data);
    out[prefix + "\\:" + name] = std::to_string(type) + "=" + std::string(data.begin(), data.end());
  }
  for (const std::string& sub : r.SubKeyNames(root, path)) DumpKey(r, root, path.empty() ? sub : path + "\\" + sub, out);
}

Dump DumpOf(const FakeRegistry& r) {
  Dump d;
  for (HKey root : {kHklm, kHkcu}) DumpKey(r, root, "", d);
  return d;
}

// The entries of `after` that differ from `before`, and those that went away.
std::vector<std::string> Differences(const Dump& before, const Dump& after) {
  std::vector<std::string> diff;
  for (const auto& [k, v] : after) {
    auto it = before.find(k);
    if (it == before.end()) diff.push_back("added " + k);
    else if (it->second != v) diff.push_back("changed " + k);
  }
  for (const auto& [k, v] : before)
    if (!after.count(k)) diff.push_back("removed " + k);
  return diff;
}

std::string ValueKey(HKey root, const std::string& path, const std::string& name) {
  return std::to_string(root) + ":" + path + "\\:" + name;
}

// A machine as the emulated systems leave it, with one registered program and a Run history.
void FillMachine(FakeForm& f, int family) {
  FakeRegistry& r = f.registry;
  r.SetString(kHklm, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  r.SetString(kHklm, kCurrentVersion, "CommonFilesDir", "C:\\Program Files\\Common Files");
  r.SetString(kHklm, kCurrentVersion, "WallPaperDir", "C:\\WINDOWS\\Web\\Wallpaper");
  r.SetString(kHklm, kCurrentVersion, "DevicePath", "%SystemRoot%\\inf", reg::kRegExpandSz);
  r.SetString(kHklm, kCurrentVersion, "ProductId", "12345-OEM-0000001-54321");
  r.SetString(kHklm, std::string(kUninstall) + "\\Alpha", "DisplayName", "Alpha Tool");
  r.SetString(kHklm, std::string(kUninstall) + "\\Alpha", "UninstallString", "C:\\Alpha\\unins.exe");
  r.SetString(kHkcu, kRunMru, "a", "notepad\\1");
  r.SetString(kHkcu, kRunMru, "b", "regedit\\1");
  r.SetString(kHkcu, kRunMru, "MRUList", "ba");
  if (family == 2) {
    f.system.version = VersionRecord(1, 4, 10, 67766446, " A ", 0);
    r.SetString(kHklm, kCurrentVersion, "RegisteredOwner", "Anna");
    r.SetString(kHklm, kCurrentVersion, "RegisteredOrganization", "Acme");
    r.SetString(kHklm, kSetup, "SourcePath", "D:\\WIN98");
    f.system.AddFile("C:\\WINDOWS\\SendTo", 0x10);
    f.system.AddFile("C:\\WINDOWS\\SendTo\\Notepad.lnk");
  } else {
    f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3", 1, 0x100);
    r.SetString(kHklm, kNtCurrentVersion, "RegisteredOwner", "Anna");
    r.SetString(kHklm, kNtCurrentVersion, "RegisteredOrganization", "Acme");
    r.SetString(kHklm, kNtCurrentVersion, "SourcePath", "D:\\I386");
    f.system.AddFile("C:\\Documents and Settings\\Anna\\SendTo", 0x10);
    f.system.AddFile("C:\\Documents and Settings\\Anna\\SendTo\\Desktop.lnk");
  }
}

bool Create(FakeForm& f) {
  return RunHandler(f.system, [&] { f->FormCreate(); });
}

bool Click(FakeForm& f, void (TfrmMain::*handler)()) {
  return RunHandler(f.system, [&] { (f.form.get()->*handler)(); });
}

std::vector<FakeText*> Fields(FakeForm& f) {
  return {&f.txtComputerName, &f.txtUserName,     &f.txtCompanyName,     &f.txtWinInstpath, &f.txtProgramFiles,
          &f.txtWallpaperDir, &f.txtDevicePath,   &f.txtCommonFilesPath, &f.txtBootFrom};
}

// ---- A user without administrator rights on Windows XP: HKLM\SOFTWARE opens for reading ----

TEST(StandardUser, SeesEverythingAndChangesOnlyTheirOwnRunHistory) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.ActAsStandardUser();
  const Dump before = DumpOf(f.registry);
  ASSERT_TRUE(Create(f));
  EXPECT_TRUE(f.system.boxes.empty()) << "the values are there, and readable";
  EXPECT_EQ(f.txtUserName.text + "|" + f.txtWinInstpath.text + "|" + f.txtDevicePath.text,
            "Anna|D:\\I386|%SystemRoot%\\inf");
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool"}));

  f.txtUserName.text = "Bert";
  EXPECT_FALSE(Click(f, &TfrmMain::btnSetClick));
  EXPECT_EQ(f.system.boxes.back().text, "Failed to set data for 'RegisteredOrganization'");
  f.lstUnInstList.selected = 0;
  f.system.answers = {mb::kIdYes};
  EXPECT_TRUE(Click(f, &TfrmMain::btnRemoveEntryClick));
  EXPECT_EQ(f.lstUnInstList.selected, -1) << "refreshed, the entry still there";
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool"}));
  EXPECT_TRUE(Click(f, &TfrmMain::btnClearRunListClick));
  EXPECT_EQ(Differences(before, DumpOf(f.registry)),
            std::vector<std::string>({"removed " + ValueKey(kHkcu, kRunMru, "MRUList"),
                                      "removed " + ValueKey(kHkcu, kRunMru, "a"),
                                      "removed " + ValueKey(kHkcu, kRunMru, "b")}));
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

// ---- A key that refuses even reading (a policy, a damaged hive): HKLM\SOFTWARE does not open ----

class NoAdministratorRights : public ::testing::Test {
 protected:
  void SetUp() override {
    FillMachine(f, 5);
    f.registry.RefuseOpen(kHklm, "SOFTWARE");
    before = DumpOf(f.registry);
  }
  FakeForm f;
  Dump before;
};

TEST_F(NoAdministratorRights, CreationShowsOnlyTheUninstallBoxAndFillsWhatIsNotInTheRegistry) {
  EXPECT_TRUE(Create(f)) << "reads of a key that does not open give empty texts, not errors";
  ASSERT_EQ(f.system.boxes.size(), 1u);
  const MessageBoxCall& box = f.system.boxes[0];
  EXPECT_EQ(box.text, kRegistryError);
  EXPECT_EQ(box.caption, "Keelbrook...");
  EXPECT_EQ(box.type, 0x30u);
  EXPECT_EQ(box.owner, BoxOwner::None) << "the main window stays usable while the box is open";

  EXPECT_EQ(f->OsFamily, 5) << "identification never reads the registry";
  EXPECT_EQ(f.lblOS.text, "OS : Windows XP Professional (Service Pack 3)");
  EXPECT_EQ(f.txtComputerName.text, "PC");
  EXPECT_EQ(f.txtBootFrom.text, "C:\\WINDOWS");
  for (FakeText* field : {&f.txtUserName, &f.txtCompanyName, &f.txtWinInstpath, &f.txtProgramFiles,
                          &f.txtWallpaperDir, &f.txtDevicePath, &f.txtCommonFilesPath})
    EXPECT_EQ(field->text, "") << "nothing of HKLM\\SOFTWARE can be shown";
  EXPECT_TRUE(f.lstUnInstList.lines.empty());
  EXPECT_TRUE(f.objects.UnInstKeyNames.empty());
  EXPECT_EQ(f.lblProductID.text, "Windows ID : ");
  EXPECT_EQ(f.lblPlusProductID.text, "Plus product ID : Not installed");

  EXPECT_FALSE(f->SettingsChanged()) << "the snapshot is taken after the failed list";
  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST_F(NoAdministratorRights, CreationStillListsSendToAfterTheRegistryBox) {
  ASSERT_TRUE(Create(f));
  EXPECT_EQ(f.lstSendTo.lines, std::vector<std::string>({"Desktop"}));
  EXPECT_EQ(f.objects.SendToPaths,
            std::vector<std::string>({"C:\\Documents and Settings\\Anna\\SendTo\\Desktop.lnk"}));
}

TEST_F(NoAdministratorRights, SetReportsTheFirstRefusedWriteAndChangesNothing) {
  ASSERT_TRUE(Create(f));
  f.system.boxes.clear();
  f.txtUserName.text = "Bert";
  const int32_t snapshot = f->SettingsChecksum;

  EXPECT_FALSE(Click(f, &TfrmMain::btnSetClick));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, "Failed to set data for 'RegisteredOwner'");
  EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook 2003");
  EXPECT_EQ(f.system.boxes[0].type, 0x10u);
  EXPECT_EQ(f.system.setComputerNames, std::vector<std::string>({"PC"})) << "the computer name goes first";

  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());
  EXPECT_EQ(f->SettingsChecksum, snapshot) << "an apply that failed takes no snapshot";
  EXPECT_TRUE(f->SettingsChanged()) << "the edit is still unsaved";
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST_F(NoAdministratorRights, SavingOnCloseFailsKeepsTheWindowOpenAndAsksAgain) {
  ASSERT_TRUE(Create(f));
  f.system.boxes.clear();
  f.txtDevicePath.text = "D:\\Drivers";

  for (int attempt = 1; attempt <= 2; ++attempt) {
    f.system.answers = {mb::kIdYes};
    EXPECT_FALSE(RunHandler(f.system, [&] { f->FormClose(); })) << "attempt " << attempt << ": the close is abandoned";
  }
  ASSERT_EQ(f.system.boxes.size(), 4u);
  for (int i : {0, 2}) {
    EXPECT_EQ(f.system.boxes[i].caption, "Save ?");
    EXPECT_EQ(f.system.boxes[i].type, 0x24u);
    EXPECT_EQ(f.system.boxes[i + 1].text, "Failed to set data for 'DevicePath'");
  }
  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());

  // No ends it without writing.
  f.system.answers = {mb::kIdNo};
  EXPECT_TRUE(RunHandler(f.system, [&] { f->FormClose(); }));
  EXPECT_EQ(f.system.boxes.size(), 5u);
}

TEST_F(NoAdministratorRights, UninstallPageReportsEachTimeAndDeletesNothing) {
  ASSERT_TRUE(Create(f));
  f.system.boxes.clear();

  for (int press = 0; press < 2; ++press) EXPECT_TRUE(Click(f, &TfrmMain::bntSyncClick));
  ASSERT_EQ(f.system.boxes.size(), 2u) << "every refresh repeats the box";
  for (const MessageBoxCall& box : f.system.boxes) {
    EXPECT_EQ(box.text, kRegistryError);
    EXPECT_EQ(box.owner, BoxOwner::None);
  }
  EXPECT_TRUE(f.lstUnInstList.lines.empty());

  // With an empty list both actions stop at the selection, before any question or key.
  f.system.boxes.clear();
  EXPECT_FALSE(Click(f, &TfrmMain::btnUninstallClick));
  EXPECT_FALSE(Click(f, &TfrmMain::btnRemoveEntryClick));
  ASSERT_EQ(f.system.boxes.size(), 2u);
  EXPECT_EQ(f.system.boxes[0].text, "List index out of bounds (0)");
  EXPECT_EQ(f.system.boxes[1].text, "List index out of bounds (0)");
  EXPECT_TRUE(f.system.createProcessCalls.empty());
  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());
}

TEST_F(NoAdministratorRights, TheUsersOwnRunHistoryStillClears) {
  ASSERT_TRUE(Create(f));
  f.system.boxes.clear();
  EXPECT_TRUE(Click(f, &TfrmMain::btnClearRunListClick));
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_TRUE(f.registry.KeyExists(kHkcu, kRunMru));
  EXPECT_TRUE(f.registry.ValueNames(kHkcu, kRunMru).empty());
  EXPECT_EQ(Differences(before, DumpOf(f.registry)),
            std::vector<std::string>({"removed " + ValueKey(kHkcu, kRunMru, "MRUList"),
                                      "removed " + ValueKey(kHkcu, kRunMru, "a"),
                                      "removed " + ValueKey(kHkcu, kRunMru, "b")}));
}

// ---- One value refuses to be written: everything before it is written, nothing after ----

struct WriteOrderCase {
  int family;
  const char* refusedKey;
  const char* refusedValue;
};

// Printed by name: GoogleTest would otherwise dump the raw bytes, padding included.
void PrintTo(const WriteOrderCase& c, std::ostream* os) { *os << "family " << c.family << ", " << c.refusedValue; }

class RefusedWrite : public ::testing::TestWithParam<WriteOrderCase> {};

// The order "&Set" writes in, with the key each value lives in for the family.
std::vector<std::pair<std::string, std::string>> WriteOrder(int family) {
  const std::string owner = family == 2 ? kCurrentVersion : kNtCurrentVersion;
  const std::string installer = family == 2 ? kSetup : kNtCurrentVersion;
  return {{owner, "RegisteredOrganization"}, {owner, "RegisteredOwner"}, {installer, "SourcePath"},
          {kCurrentVersion, "ProgramFilesDir"}, {kCurrentVersion, "WallPaperDir"}, {kCurrentVersion, "DevicePath"},
          {kCurrentVersion, "CommonFilesDir"}};
}

TEST_P(RefusedWrite, StopsThereKeepsTheOldValueAndTheSnapshot) {
  const WriteOrderCase c = GetParam();
  FakeForm f;
  FillMachine(f, c.family);
  f.registry.RefuseWrite(kHklm, c.refusedKey, c.refusedValue);
  ASSERT_TRUE(Create(f));
  f.system.boxes.clear();
  for (FakeText* field : Fields(f))
    if (field != &f.txtBootFrom) field->text += "2";
  const Dump before = DumpOf(f.registry);
  const int32_t snapshot = f->SettingsChecksum;

  EXPECT_FALSE(Click(f, &TfrmMain::btnSetClick));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, std::string("Failed to set data for '") + c.refusedValue + "'");
  EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook 2003");

  // The values up to the refused one carry the new texts; it and the ones after it are as they
  // were. Nothing else in the registry moved.
  std::vector<std::string> expected;
  bool reached = false;
  for (const auto& [key, value] : WriteOrder(c.family)) {
    if (key == c.refusedKey && value == c.refusedValue) reached = true;
    if (!reached) expected.push_back("changed " + ValueKey(kHklm, key, value));
    if (!reached) {
      const std::string stored = f.registry.GetString(kHklm, key, value);
      EXPECT_EQ(stored.back(), value == "WallPaperDir" ? '\\' : '2') << value << " = " << stored;
    }
  }
  ASSERT_TRUE(reached) << "the case names a value that is written";
  std::vector<std::string> diff = Differences(before, DumpOf(f.registry));
  std::sort(diff.begin(), diff.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(diff, expected);

  EXPECT_EQ(f->SettingsChecksum, snapshot);
  EXPECT_TRUE(f->SettingsChanged()) << "closing must offer to save again";
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EachValueInTurn, RefusedWrite,
                         ::testing::Values(WriteOrderCase{5, kNtCurrentVersion, "RegisteredOrganization"},
                                           WriteOrderCase{5, kNtCurrentVersion, "RegisteredOwner"},
                                           WriteOrderCase{5, kNtCurrentVersion, "SourcePath"},
                                           WriteOrderCase{5, kCurrentVersion, "ProgramFilesDir"},
                                           WriteOrderCase{5, kCurrentVersion, "WallPaperDir"},
                                           WriteOrderCase{5, kCurrentVersion, "DevicePath"},
                                           WriteOrderCase{5, kCurrentVersion, "CommonFilesDir"},
                                           WriteOrderCase{2, kCurrentVersion, "RegisteredOwner"},
                                           WriteOrderCase{2, kSetup, "SourcePath"},
                                           WriteOrderCase{2, kCurrentVersion, "DevicePath"}));

TEST(RefusedWrite, AnExpandableValueThatRefusesKeepsItsTypeAndText) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseWrite(kHklm, kCurrentVersion, "DevicePath");
  ASSERT_TRUE(Create(f));
  EXPECT_EQ(f.txtDevicePath.text, "%SystemRoot%\\inf") << "shown unexpanded";
  EXPECT_FALSE(Click(f, &TfrmMain::btnSetClick));
  EXPECT_EQ(f.registry.GetType(kHklm, kCurrentVersion, "DevicePath"), reg::kRegExpandSz);
  EXPECT_EQ(f.registry.GetString(kHklm, kCurrentVersion, "DevicePath"), "%SystemRoot%\\inf");
}

// ---- Refused deletions ----

TEST(RefusedDelete, RunHistoryDeletesEveryOtherValueAndSaysSoOnce) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseDeleteValue(kHkcu, kRunMru, "a");
  f.registry.RefuseDeleteValue(kHkcu, kRunMru, "MRUList");
  EXPECT_TRUE(Click(f, &TfrmMain::btnClearRunListClick));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, kRunListError);
  EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook");
  EXPECT_EQ(f.system.boxes[0].type, 0x30u);
  EXPECT_EQ(f.system.boxes[0].owner, BoxOwner::MainWindow);
  EXPECT_EQ(f.registry.ValueNames(kHkcu, kRunMru), std::vector<std::string>({"a", "MRUList"}));
  EXPECT_EQ(f.registry.GetString(kHkcu, kRunMru, "a"), "notepad\\1") << "a refused value keeps its text";
}

TEST(RefusedDelete, RunHistoryKeyThatDoesNotOpenDeletesNothing) {
  for (const char* refused : {"Software", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", kRunMru}) {
    FakeForm f;
    FillMachine(f, 5);
    f.registry.RefuseOpen(kHkcu, refused);
    const Dump before = DumpOf(f.registry);
    EXPECT_TRUE(Click(f, &TfrmMain::btnClearRunListClick));
    ASSERT_EQ(f.system.boxes.size(), 1u) << refused;
    EXPECT_EQ(f.system.boxes[0].text, kRunListError);
    EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>()) << refused;
  }
}

TEST(RefusedDelete, RegistrationThatCannotBeDeletedStaysListedWithoutAMessage) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.SetString(kHklm, std::string(kUninstall) + "\\Beta", "DisplayName", "Beta Tool");
  f.registry.SetString(kHklm, std::string(kUninstall) + "\\Beta", "UninstallString", "beta.exe");
  f.registry.RefuseDeleteKey(kHklm, std::string(kUninstall) + "\\Beta");
  ASSERT_TRUE(Create(f));
  ASSERT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool", "Beta Tool"}));
  f.system.boxes.clear();
  const Dump before = DumpOf(f.registry);

  f.lstUnInstList.selected = 1;
  f.system.answers = {mb::kIdYes};
  EXPECT_TRUE(Click(f, &TfrmMain::btnRemoveEntryClick));
  ASSERT_EQ(f.system.boxes.size(), 1u) << "only the question";
  EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook");
  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool", "Beta Tool"})) << "refreshed, still there";
  EXPECT_EQ(f.objects.UnInstKeyNames, std::vector<std::string>({"Alpha", "Beta"}));
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

// ---- Keys below SOFTWARE that refuse opening ----

TEST(RefusedKey, UninstallKeyRefusedShowsOneBoxAndCreationGoesOn) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseOpen(kHklm, kUninstall);
  EXPECT_TRUE(Create(f));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, kRegistryError);
  EXPECT_EQ(f.txtUserName.text, "Anna") << "the settings were read before the list";
  EXPECT_EQ(f.txtCommonFilesPath.text, "C:\\Program Files\\Common Files");
  EXPECT_FALSE(f->SettingsChanged()) << "the snapshot follows the failed list";
  EXPECT_NE(f->SettingsChecksum, 0);
}

TEST(RefusedKey, OneRegistrationRefusedIsLeftOutSilently) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.SetString(kHklm, std::string(kUninstall) + "\\Beta", "DisplayName", "Beta Tool");
  f.registry.SetString(kHklm, std::string(kUninstall) + "\\Beta", "UninstallString", "beta.exe");
  f.registry.RefuseOpen(kHklm, std::string(kUninstall) + "\\Alpha");
  ASSERT_TRUE(Create(f));
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Beta Tool"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, std::vector<std::string>({"Beta"}));
}

TEST(RefusedKey, RegistrationRefusedAfterTheListWasReadStartsNothing) {
  FakeForm f;
  FillMachine(f, 5);
  ASSERT_TRUE(Create(f));
  f.registry.RefuseOpen(kHklm, std::string(kUninstall) + "\\Alpha");
  f.lstUnInstList.selected = 0;
  f.system.answers = {mb::kIdYes};
  EXPECT_TRUE(Click(f, &TfrmMain::btnUninstallClick));
  ASSERT_EQ(f.system.boxes.size(), 2u);
  EXPECT_EQ(f.system.boxes[1].text, kRegistryError);
  EXPECT_EQ(f.system.boxes[1].caption, "Keelbrook...");
  EXPECT_EQ(f.system.boxes[1].owner, BoxOwner::None);
  EXPECT_TRUE(f.system.createProcessCalls.empty());
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool"})) << "not refreshed";
  EXPECT_EQ(f.objects.UnInstKeyNames, std::vector<std::string>({"Alpha"}));
}

TEST(RefusedKey, OwnerKeyRefusedLeavesTheOwnerFieldsEmptyAndReadsTheRest) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseOpen(kHklm, kNtCurrentVersion);
  EXPECT_TRUE(Create(f));
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(f.txtUserName.text, "");
  EXPECT_EQ(f.txtCompanyName.text, "");
  EXPECT_EQ(f.txtWinInstpath.text, "");
  EXPECT_EQ(f.txtProgramFiles.text, "C:\\Program Files");
  EXPECT_EQ(f.txtDevicePath.text, "%SystemRoot%\\inf");
  EXPECT_EQ(f.registry.GetString(kHklm, kNtCurrentVersion, "RegisteredOwner"), "Anna");
}

TEST(RefusedKey, SetIntoAKeyThatDoesNotOpenWritesNothingElsewhere) {
  // Waits for a decision on the fault reported with the hostile-input issue: with the last
  // piece of a settings path refused, "&Set" writes the owner, company and installer path into
  // SOFTWARE\Microsoft\Windows NT, the deepest key that did open, and reports success.
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseOpen(kHklm, kNtCurrentVersion);
  ASSERT_TRUE(Create(f));
  const Dump before = DumpOf(f.registry);
  f.txtUserName.text = "Bert";
  EXPECT_FALSE(Click(f, &TfrmMain::btnSetClick)) << "the owner could not be saved: the user must be told";
  for (const std::string& change : Differences(before, DumpOf(f.registry)))
    EXPECT_EQ(change.find("Windows NT\\:"), std::string::npos) << change;
}

// ---- A value whose data cannot be read ----

TEST(RefusedRead, CreationStopsAtTheValueWithTheReadError) {
  FakeForm f;
  FillMachine(f, 5);
  f.registry.RefuseRead(kHklm, kCurrentVersion, "DevicePath");
  EXPECT_FALSE(Create(f));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, "Failed to get data for 'DevicePath'");
  EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook 2003");
  EXPECT_EQ(f.txtWallpaperDir.text, "C:\\WINDOWS\\Web\\Wallpaper") << "read before the failing value";
  EXPECT_EQ(f.txtCommonFilesPath.text, "") << "read after it";
  EXPECT_TRUE(f.lstUnInstList.lines.empty());
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

// Creation that stopped half way leaves fields empty that were never loaded. Neither closing nor
// "&Set" may turn that into an apply that writes those empty texts over the values they stand for.
class AfterAFailedCreation : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    FillMachine(f, 5);
    if (GetParam() == 0) f.registry.RefuseRead(kHklm, kCurrentVersion, "DevicePath");
    else f.registry.SetDword(kHklm, kCurrentVersion, "DevicePath", 7);
    ASSERT_FALSE(Create(f));
    ASSERT_EQ(f.txtCommonFilesPath.text, "") << "the creation stopped before this field";
    before = DumpOf(f.registry);
  }
  FakeForm f;
  Dump before;
};

TEST_P(AfterAFailedCreation, ClosingWithoutEditsAsksNothingAndWritesNothing) {
  f.system.boxes.clear();
  f.system.answers = {mb::kIdYes};
  EXPECT_TRUE(RunHandler(f.system, [&] { f->FormClose(); }));
  EXPECT_TRUE(f.system.boxes.empty()) << "nothing was edited";
  EXPECT_EQ(Differences(before, DumpOf(f.registry)), std::vector<std::string>());
}

TEST_P(AfterAFailedCreation, SavingAnEditKeepsTheValuesThatWereNeverShown) {
  // Waits for a decision on the fault reported with the hostile-input issue: after a creation
  // error "&Set" (pressed, or from the save question) writes every field, so the values the
  // page never loaded are overwritten with empty texts.
  f.txtUserName.text = "Bert";
  f.system.answers = {mb::kIdYes};
  RunHandler(f.system, [&] { f->FormClose(); });
  EXPECT_EQ(f.registry.GetString(kHklm, kCurrentVersion, "CommonFilesDir"), "C:\\Program Files\\Common Files");
  const std::string devicePath = ValueKey(kHklm, kCurrentVersion, "DevicePath");
  EXPECT_EQ(DumpOf(f.registry)[devicePath], before[devicePath]) << "the value the creation stopped at";
}

INSTANTIATE_TEST_SUITE_P(ReadRefusedOrWrongType, AfterAFailedCreation, ::testing::Values(0, 1));

// ---- The user name cannot be read ----

struct UserNameCase {
  int family;
  bool userNameOk;
  std::vector<std::string> lines;
};

void PrintTo(const UserNameCase& c, std::ostream* os) {
  *os << "family " << c.family << (c.userNameOk ? ", user name readable" : ", user name unreadable");
}

class UserName : public ::testing::TestWithParam<UserNameCase> {};

TEST_P(UserName, OnlyTheNtSideNeedsItForTheSendToFolder) {
  const UserNameCase c = GetParam();
  FakeForm f;
  FillMachine(f, c.family);
  f.system.userNameOk = c.userNameOk;
  EXPECT_TRUE(Create(f));
  EXPECT_TRUE(f.system.boxes.empty()) << "an unreadable user name is not reported";
  EXPECT_EQ(f.lstSendTo.lines, c.lines);
  EXPECT_EQ(f.objects.SendToPaths.size(), c.lines.size());
}

INSTANTIATE_TEST_SUITE_P(Families, UserName,
                         ::testing::Values(UserNameCase{5, true, {"Desktop"}}, UserNameCase{5, false, {}},
                                           UserNameCase{2, false, {"Notepad"}}));

TEST(UserNameUnreadable, AddAndEditStopSilentlyAndTouchNoFile) {
  FakeForm f;
  FillMachine(f, 5);
  ASSERT_TRUE(Create(f));
  ASSERT_EQ(f.lstSendTo.lines.size(), 1u);
  f.system.userNameOk = false;
  f.system.AddFile("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk");
  const auto filesBefore = f.system.files.size();

  f.OpenDlg.answers = {"C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk"};
  EXPECT_TRUE(Click(f, &TfrmMain::btnSendToAddClick));
  f.lstSendTo.selected = 0;
  f.inputView.user = [](FakeInputView& v) {
    v.Type("Renamed");
    return 1;
  };
  EXPECT_TRUE(Click(f, &TfrmMain::btnSendToEditClick));

  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(f.system.files.size(), filesBefore);
  for (const std::string& op : f.system.fileLog) {
    EXPECT_NE(op.rfind("copy", 0), 0u) << op;
    EXPECT_NE(op.rfind("move", 0), 0u) << op;
  }
  EXPECT_EQ(f.lstSendTo.lines, std::vector<std::string>({"Desktop"}));
  EXPECT_EQ(f.objects.SendToPaths.size(), 1u);
}

// ---- The version call fails ----

TEST(VersionCallFails, NothingIsShownAndTheOwnerSettingsAreLeftAlone) {
  FakeForm f;
  FillMachine(f, 5);
  f.system.versionOk = false;
  EXPECT_TRUE(Create(f));
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_EQ(f->OsFamily, 0);
  EXPECT_EQ(f.lblOS.text, "Operating system : ");
  EXPECT_EQ(f.lblBuild.text, "Build : ");
  EXPECT_EQ(f.txtUserName.text, "") << "no family, no owner key";
  EXPECT_EQ(f.txtWinInstpath.text, "");
  EXPECT_EQ(f.txtProgramFiles.text, "C:\\Program Files") << "the family-independent settings are read";
  EXPECT_EQ(f.lstUnInstList.lines, std::vector<std::string>({"Alpha Tool"}));

  // "&Set" must not write the three empty owner fields over the stored owner.
  f.txtProgramFiles.text = "D:\\Apps";
  EXPECT_TRUE(Click(f, &TfrmMain::btnSetClick));
  EXPECT_EQ(f.registry.GetString(kHklm, kNtCurrentVersion, "RegisteredOwner"), "Anna");
  EXPECT_EQ(f.registry.GetString(kHklm, kNtCurrentVersion, "RegisteredOrganization"), "Acme");
  EXPECT_EQ(f.registry.GetString(kHklm, kNtCurrentVersion, "SourcePath"), "D:\\I386");
  EXPECT_EQ(f.registry.GetString(kHklm, kCurrentVersion, "ProgramFilesDir"), "D:\\Apps");
  EXPECT_FALSE(f->SettingsChanged());
}

TEST(VersionCallFails, DefragmenterIsTheProgram) {
  FakeForm f;
  FillMachine(f, 5);
  f.system.versionOk = false;
  ASSERT_TRUE(Create(f));
  EXPECT_TRUE(Click(f, &TfrmMain::btnRunDefragClick));
  ASSERT_EQ(f.system.winExecCalls.size(), 1u);
  EXPECT_EQ(f.system.winExecCalls[0].first, "defrag.exe");
  EXPECT_TRUE(f.system.shellExecuteCalls.empty());
}

TEST(VersionCallFails, SendToComesFromTheUserFolder) {
  FakeForm f;
  FillMachine(f, 5);
  f.system.versionOk = false;
  ASSERT_TRUE(Create(f));
  EXPECT_EQ(f.lstSendTo.lines, std::vector<std::string>({"Desktop"}));
}

}  // namespace
