// Filling "Sys Info" at window creation: which key each family reads, the Path-before-Dir
// order, absent values, expandable strings, keys that do not open, and a value of the wrong
// type ending the creation where it stands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/error_report.h"
#include "fakes/fake_controls.h"
#include "platform/registry_access.h"

namespace {

const HKey kHklm = reg::kHkeyLocalMachine;
const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kSetup[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

class SysInfoLoad : public ::testing::Test {
 protected:
  ~SysInfoLoad() override { EXPECT_EQ(0, f.registry.OpenHandleCount()) << "registry handles left open"; }

  void Load(int family) {
    f->OsFamily = family;
    RegistryAccess registry(f.registry);
    registry.SetRootKey(kHklm);
    f->LoadSystemSettings(registry);
  }

  // Every location a family might read, each with a text that says where it came from.
  void SetEveryLocation() {
    f.registry.SetString(kHklm, kCv, "RegisteredOwner", "owner (9x)");
    f.registry.SetString(kHklm, kCv, "RegisteredOrganization", "company (9x)");
    f.registry.SetString(kHklm, kCv, "SourcePath", "source (9x main key)");
    f.registry.SetString(kHklm, kSetup, "SourcePath", "source (9x setup)");
    f.registry.SetString(kHklm, kNt, "RegisteredOwner", "owner (NT)");
    f.registry.SetString(kHklm, kNt, "RegisteredOrganization", "company (NT)");
    f.registry.SetString(kHklm, kNt, "SourcePath", "source (NT)");
    f.registry.SetString(kHklm, kCv, "ProgramFilesDir", "C:\\Program Files");
    f.registry.SetString(kHklm, kCv, "WallPaperDir", "C:\\WINDOWS\\Web");
    f.registry.SetString(kHklm, kCv, "DevicePath", "C:\\WINDOWS\\INF");
    f.registry.SetString(kHklm, kCv, "CommonFilesDir", "C:\\Program Files\\Common Files");
  }

  FakeForm f;
};

TEST_F(SysInfoLoad, EachFamilyReadsItsOwnKeys) {
  struct {
    int family;
    const char *owner, *company, *installer;
  } cases[] = {
      {2, "owner (9x)", "company (9x)", "source (9x setup)"},
      {4, "owner (NT)", "company (NT)", "source (NT)"},
      {5, "owner (NT)", "company (NT)", "source (NT)"},
      {6, "owner (NT)", "company (NT)", "source (NT)"},
      // Families without known locations leave the three fields as they were.
      {0, "untouched", "untouched", "untouched"},
      {1, "untouched", "untouched", "untouched"},
      {3, "untouched", "untouched", "untouched"},
      {7, "untouched", "untouched", "untouched"},
      {-1, "untouched", "untouched", "untouched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("OsFamily " + std::to_string(c.family));
    f.registry.DeleteTree(kHklm, "SOFTWARE");
    SetEveryLocation();
    f.txtUserName.text = f.txtCompanyName.text = f.txtWinInstpath.text = "untouched";
    Load(c.family);
    EXPECT_EQ(c.owner, f.txtUserName.text);
    EXPECT_EQ(c.company, f.txtCompanyName.text);
    EXPECT_EQ(c.installer, f.txtWinInstpath.text);
    // The other six come from the same places whatever the family.
    EXPECT_EQ("PC", f.txtComputerName.text);
    EXPECT_EQ("C:\\WINDOWS", f.txtBootFrom.text);
    EXPECT_EQ("C:\\Program Files", f.txtProgramFiles.text);
    EXPECT_EQ("C:\\WINDOWS\\Web", f.txtWallpaperDir.text);
    EXPECT_EQ("C:\\WINDOWS\\INF", f.txtDevicePath.text);
    EXPECT_EQ("C:\\Program Files\\Common Files", f.txtCommonFilesPath.text);
  }
}

TEST_F(SysInfoLoad, SystemTextsAreAskedForWithRoomFor260) {
  f.system.computerName = "WORKSTATION-7";
  f.system.windowsDir = "D:\\WINNT";
  Load(5);
  EXPECT_EQ("WORKSTATION-7", f.txtComputerName.text);
  EXPECT_EQ("D:\\WINNT", f.txtBootFrom.text);
  EXPECT_EQ(std::vector<unsigned>{260}, f.system.computerNameSizes);
  EXPECT_EQ(std::vector<unsigned>{260}, f.system.windowsDirSizes);
}

TEST_F(SysInfoLoad, PathNameIsShownBeforeDirName) {
  struct {
    bool dir, path;
    const char* shown;
  } cases[] = {
      {true, true, "from Path"},
      {true, false, "from Dir"},
      {false, true, "from Path"},
      {false, false, "untouched"},  // neither name: the field is left alone
  };
  struct {
    const char *dirName, *pathName;
    FakeText FakeForm::*field;
  } settings[] = {
      {"ProgramFilesDir", "ProgramFilesPath", &FakeForm::txtProgramFiles},
      {"CommonFilesDir", "CommonFilesPath", &FakeForm::txtCommonFilesPath},
  };
  for (const auto& s : settings) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(s.pathName) + (c.dir ? " dir" : " no-dir") + (c.path ? " path" : " no-path"));
      f.registry.DeleteTree(kHklm, "SOFTWARE");
      f.registry.CreateKey(kHklm, kCv);
      if (c.dir) f.registry.SetString(kHklm, kCv, s.dirName, "from Dir");
      if (c.path) f.registry.SetString(kHklm, kCv, s.pathName, "from Path");
      (f.*s.field).text = "untouched";
      Load(5);
      EXPECT_EQ(c.shown, (f.*s.field).text);
    }
  }
}

TEST_F(SysInfoLoad, AbsentOrEmptyValuesShowAsEmptyFields) {
  f.registry.CreateKey(kHklm, kCv);
  f.registry.CreateKey(kHklm, kNt);
  f.registry.SetString(kHklm, kCv, "DevicePath", "");
  // An empty value of a non-text type holds nothing to misread: it is empty, not an error.
  f.registry.SetValue(kHklm, kNt, "SourcePath", reg::kRegBinary, {});
  for (FakeText* t : {&f.txtUserName, &f.txtCompanyName, &f.txtWinInstpath, &f.txtWallpaperDir, &f.txtDevicePath})
    t->text = "stale";
  Load(5);
  EXPECT_EQ("", f.txtUserName.text);
  EXPECT_EQ("", f.txtCompanyName.text);
  EXPECT_EQ("", f.txtWinInstpath.text);
  EXPECT_EQ("", f.txtWallpaperDir.text);
  EXPECT_EQ("", f.txtDevicePath.text);
  EXPECT_TRUE(f.system.boxes.empty());
  // A save creates no absent value until its field is edited; the stored ones are written.
  f->TakeSettingsSnapshot();
  f.txtWallpaperDir.text = "D:\\Walls";
  f->btnSetClick();
  EXPECT_EQ((std::vector<std::string>{"DevicePath", "WallPaperDir"}), f.registry.ValueNames(kHklm, kCv));
  EXPECT_EQ((std::vector<std::string>{"SourcePath"}), f.registry.ValueNames(kHklm, kNt));
}

TEST_F(SysInfoLoad, ExpandableStringsAreShownAsStored) {
  f.registry.SetString(kHklm, kCv, "DevicePath", "%SystemRoot%\\inf", reg::kRegExpandSz);
  f.registry.SetString(kHklm, kCv, "ProgramFilesPath", "%ProgramFiles%", reg::kRegExpandSz);
  f.registry.SetString(kHklm, kCv, "ProgramFilesDir", "C:\\Program Files");
  Load(5);
  EXPECT_EQ("%SystemRoot%\\inf", f.txtDevicePath.text);
  EXPECT_EQ("%ProgramFiles%", f.txtProgramFiles.text);
}

TEST_F(SysInfoLoad, LongTextsAndHighBytesArriveWhole) {
  // Cutting a long value here would write the cut text back on the next "&Set".
  const std::string owner = std::string(5000, 'x') + "\xe9\xff";
  f.registry.SetString(kHklm, kNt, "RegisteredOwner", owner);
  f.registry.SetString(kHklm, kCv, "WallPaperDir", "C:\\Fonds d'\xe9\x63ran");
  Load(5);
  EXPECT_EQ(owner, f.txtUserName.text);
  EXPECT_EQ("C:\\Fonds d'\xe9\x63ran", f.txtWallpaperDir.text);
}

TEST_F(SysInfoLoad, AKeyThatDoesNotOpenHoldsNothing) {
  // "Windows NT" refused: nothing is read from SOFTWARE\Microsoft in its place.
  f.registry.SetString(kHklm, "SOFTWARE\\Microsoft", "RegisteredOwner", "from Microsoft");
  f.registry.SetString(kHklm, kNt, "RegisteredOwner", "from NT");
  f.registry.RefuseOpen(kHklm, "SOFTWARE\\Microsoft\\Windows NT");
  Load(5);
  EXPECT_EQ("", f.txtUserName.text);

  // 9x without a Setup key: the installer path is not taken from the key above it.
  f.registry.SetString(kHklm, kCv, "SourcePath", "from CurrentVersion");
  Load(2);
  EXPECT_EQ("", f.txtWinInstpath.text);
  EXPECT_EQ(0, f.registry.OpenHandleCount());
}

TEST_F(SysInfoLoad, NoAccessToSoftwareLeavesRegistryFieldsEmpty) {
  SetEveryLocation();
  f.registry.RefuseOpen(kHklm, "SOFTWARE");
  f.txtProgramFiles.text = "untouched";
  Load(5);
  EXPECT_EQ("", f.txtUserName.text);
  EXPECT_EQ("", f.txtCompanyName.text);
  EXPECT_EQ("", f.txtWinInstpath.text);
  EXPECT_EQ("untouched", f.txtProgramFiles.text);
  EXPECT_EQ("", f.txtWallpaperDir.text);
  EXPECT_EQ("", f.txtDevicePath.text);
  EXPECT_EQ("PC", f.txtComputerName.text);
  EXPECT_EQ("C:\\WINDOWS", f.txtBootFrom.text);
  EXPECT_TRUE(f.system.boxes.empty());
}

// A value stored as a number ends the creation at the read that meets it: the fields before it
// are filled, the ones after it stay empty, no snapshot is taken and the window opens anyway.
TEST_F(SysInfoLoad, WrongTypeEndsCreationAtThatRead) {
  struct {
    const char* key;
    const char* name;
    const char* filledUpTo;  // the last field set before the failing read, "" for none
  } cases[] = {
      {kNt, "RegisteredOrganization", ""},
      {kNt, "RegisteredOwner", ""},  // read after the company; neither field is set
      {kNt, "SourcePath", "txtComputerName"},
      {kCv, "ProgramFilesPath", "txtWinInstpath"},
      {kCv, "WallPaperDir", "txtProgramFiles"},
      {kCv, "DevicePath", "txtWallpaperDir"},
      {kCv, "CommonFilesDir", "txtDevicePath"},
  };
  const char* order[] = {"txtUserName",     "txtCompanyName",  "txtBootFrom",   "txtComputerName",
                         "txtWinInstpath",  "txtProgramFiles", "txtWallpaperDir", "txtDevicePath",
                         "txtCommonFilesPath"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeForm g;
    g.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3");
    for (const char* key : {kCv, kNt}) {
      for (const char* name : {"RegisteredOwner", "RegisteredOrganization", "SourcePath", "ProgramFilesPath",
                               "WallPaperDir", "DevicePath", "CommonFilesDir"})
        g.registry.SetString(kHklm, key, name, "text");
    }
    g.registry.SetDword(kHklm, c.key, c.name, 12);

    EXPECT_FALSE(RunHandler(g.system, [&] { g->FormCreate(); }));
    ASSERT_EQ(1u, g.system.boxes.size());
    EXPECT_EQ("Invalid data type for '" + std::string(c.name) + "'", g.system.boxes[0].text);
    EXPECT_EQ("Keelbrook 2003", g.system.boxes[0].caption);
    EXPECT_EQ(0x10u, g.system.boxes[0].type);

    FakeText* fields[] = {&g.txtUserName,     &g.txtCompanyName,  &g.txtBootFrom,     &g.txtComputerName,
                          &g.txtWinInstpath,  &g.txtProgramFiles, &g.txtWallpaperDir, &g.txtDevicePath,
                          &g.txtCommonFilesPath};
    bool filled = *c.filledUpTo != '\0';
    for (size_t i = 0; i < 9; ++i) {
      EXPECT_EQ(filled, !fields[i]->text.empty()) << order[i];
      if (std::string(order[i]) == c.filledUpTo) filled = false;
    }
    EXPECT_EQ(0, g->SettingsChecksum);
    EXPECT_EQ(-1, g.window.activePage) << "the later creation steps ran";
    EXPECT_EQ(0, g.registry.OpenHandleCount());
  }
}

TEST_F(SysInfoLoad, CreationFillsTheFieldsAndSnapshotsThem) {
  SetEveryLocation();
  f.system.version = VersionRecord(1, 4, 10, 67766446, " A ");  // Windows 98
  EXPECT_TRUE(RunHandler(f.system, [&] { f->FormCreate(); }));
  EXPECT_EQ(2, f->OsFamily);
  EXPECT_EQ("owner (9x)", f.txtUserName.text);
  EXPECT_EQ("source (9x setup)", f.txtWinInstpath.text);
  EXPECT_NE(0, f->SettingsChecksum);
  EXPECT_FALSE(f->SettingsChanged());
}

}  // namespace
