// "&Set": where each field goes for each family, the order of the writes and what a failing
// write leaves behind, the choice between the Dir and Path names, the wallpaper's backslash,
// and expandable strings staying expandable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/error_report.h"
#include "fakes/fake_controls.h"

namespace {

const HKey kHklm = reg::kHkeyLocalMachine;
const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kSetup[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

class SysInfoApply : public ::testing::Test {
 protected:
  SysInfoApply() {
    f->OsFamily = 5;
    f.registry.CreateKey(kHklm, kCv);
    f.registry.CreateKey(kHklm, kNt);
    f.registry.CreateKey(kHklm, kSetup);
    f.txtComputerName.text = "NEWPC";
    f.txtUserName.text = "Ann Owner";
    f.txtCompanyName.text = "Acme";
    f.txtWinInstpath.text = "D:\\I386";
    f.txtProgramFiles.text = "D:\\Programs";
    f.txtWallpaperDir.text = "D:\\Walls";
    f.txtDevicePath.text = "D:\\Drivers";
    f.txtCommonFilesPath.text = "D:\\Programs\\Common";
    f.txtBootFrom.text = "C:\\WINDOWS";
    f->SettingsLoaded.assign(9, true);  // as after a complete creation
  }
  ~SysInfoApply() override { EXPECT_EQ(0, f.registry.OpenHandleCount()) << "registry handles left open"; }

  // Runs "&Set" the way a click does; true when no error was reported.
  bool Set() { return RunHandler(f.system, [&] { f->btnSetClick(); }); }

  std::string Stored(const char* key, const char* name) const { return f.registry.GetString(kHklm, key, name); }
  uint32_t TypeOf(const char* key, const char* name) const { return f.registry.GetType(kHklm, key, name); }

  FakeForm f;
};

TEST_F(SysInfoApply, EveryFieldGoesToItsValueAsAPlainString) {
  f.system.setComputerNameOk = false;  // a name the system refuses is told, the rest goes on
  ASSERT_TRUE(Set());
  EXPECT_EQ(std::vector<std::string>{"NEWPC"}, f.system.setComputerNames);
  ASSERT_EQ(1u, f.system.boxes.size());
  EXPECT_EQ("There was a problem while setting\nthe computer name !", f.system.boxes[0].text);
  EXPECT_TRUE(f.system.boxes[0].owner == BoxOwner::MainWindow && f.system.boxes[0].type == 0x30u);
  EXPECT_EQ("Ann Owner", Stored(kNt, "RegisteredOwner"));
  EXPECT_EQ("Acme", Stored(kNt, "RegisteredOrganization"));
  EXPECT_EQ("D:\\I386", Stored(kNt, "SourcePath"));
  EXPECT_EQ("D:\\Programs", Stored(kCv, "ProgramFilesPath"));
  EXPECT_EQ("D:\\Walls\\", Stored(kCv, "WallPaperDir"));
  EXPECT_EQ("D:\\Drivers", Stored(kCv, "DevicePath"));
  EXPECT_EQ("D:\\Programs\\Common", Stored(kCv, "CommonFilesPath"));
  // Exactly these values and no others: the Windows directory is never written.
  EXPECT_EQ((std::vector<std::string>{"ProgramFilesPath", "WallPaperDir", "DevicePath", "CommonFilesPath"}),
            f.registry.ValueNames(kHklm, kCv));
  EXPECT_EQ((std::vector<std::string>{"RegisteredOrganization", "RegisteredOwner", "SourcePath"}),
            f.registry.ValueNames(kHklm, kNt));
  for (const char* name : {"RegisteredOwner", "RegisteredOrganization", "SourcePath"})
    EXPECT_EQ(reg::kRegSz, TypeOf(kNt, name)) << name;
  for (const char* name : {"ProgramFilesPath", "WallPaperDir", "DevicePath", "CommonFilesPath"})
    EXPECT_EQ(reg::kRegSz, TypeOf(kCv, name)) << name;
  EXPECT_TRUE(f.registry.ValueNames(kHklm, kSetup).empty());
  // The field keeps what was typed.
  EXPECT_EQ("D:\\Walls", f.txtWallpaperDir.text);
}

TEST_F(SysInfoApply, OwnerAndInstallerKeysPerFamily) {
  struct {
    int family;
    const char* ownerKey;      // nullptr: owner and company not written
    const char* installerKey;  // nullptr: installer path not written
  } cases[] = {
      {2, kCv, kSetup}, {4, kNt, kNt}, {5, kNt, kNt}, {6, kNt, kNt},
      {0, nullptr, nullptr}, {1, nullptr, nullptr}, {3, nullptr, nullptr}, {9, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("OsFamily " + std::to_string(c.family));
    f.registry.DeleteTree(kHklm, "SOFTWARE");
    f.registry.CreateKey(kHklm, kSetup);
    f.registry.CreateKey(kHklm, kNt);
    f.system.setComputerNames.clear();
    f->OsFamily = c.family;
    ASSERT_TRUE(Set());
    for (const char* key : {kCv, kSetup, kNt}) {
      const bool owner = c.ownerKey && std::string(c.ownerKey) == key;
      const bool installer = c.installerKey && std::string(c.installerKey) == key;
      EXPECT_EQ(owner ? "Ann Owner" : "", Stored(key, "RegisteredOwner")) << key;
      EXPECT_EQ(owner ? "Acme" : "", Stored(key, "RegisteredOrganization")) << key;
      EXPECT_EQ(installer, f.registry.ValueExists(kHklm, key, "SourcePath")) << key;
    }
    // Whatever the family, the computer name and the four shared settings are applied.
    EXPECT_EQ(std::vector<std::string>{"NEWPC"}, f.system.setComputerNames);
    EXPECT_EQ("D:\\Programs", Stored(kCv, "ProgramFilesPath"));
    EXPECT_EQ("D:\\Walls\\", Stored(kCv, "WallPaperDir"));
    EXPECT_EQ("D:\\Drivers", Stored(kCv, "DevicePath"));
    EXPECT_EQ("D:\\Programs\\Common", Stored(kCv, "CommonFilesPath"));
  }
}

// Refusing each write in turn shows the order: everything before the refused value is stored,
// nothing from it on, and the snapshot is not renewed.
TEST_F(SysInfoApply, AFailingWriteStopsTheRestInOrder) {
  struct Write {
    const char* key;
    const char* name;
    const char* newText;
  };
  const Write writes[] = {
      {kNt, "RegisteredOrganization", "Acme"}, {kNt, "RegisteredOwner", "Ann Owner"},
      {kNt, "SourcePath", "D:\\I386"},         {kCv, "ProgramFilesDir", "D:\\Programs"},
      {kCv, "WallPaperDir", "D:\\Walls\\"},    {kCv, "DevicePath", "D:\\Drivers"},
      {kCv, "CommonFilesDir", "D:\\Programs\\Common"},
  };
  for (size_t refused = 0; refused < sizeof writes / sizeof writes[0]; ++refused) {
    SCOPED_TRACE(writes[refused].name);
    FakeForm g;
    g->OsFamily = 5;
    for (const Write& w : writes) g.registry.SetString(kHklm, w.key, w.name, "old");
    g.txtComputerName.text = "NEWPC";
    g.txtUserName.text = "Ann Owner";
    g.txtCompanyName.text = "Acme";
    g.txtWinInstpath.text = "D:\\I386";
    g.txtProgramFiles.text = "D:\\Programs";
    g.txtWallpaperDir.text = "D:\\Walls";
    g.txtDevicePath.text = "D:\\Drivers";
    g.txtCommonFilesPath.text = "D:\\Programs\\Common";
    g->SettingsLoaded.assign(9, true);  // as after a complete creation
    g->TakeSettingsSnapshot();
    const int32_t snapshot = g->SettingsChecksum;
    g.txtComputerName.text = "EDITED";
    g.registry.RefuseWrite(kHklm, writes[refused].key, writes[refused].name);

    EXPECT_FALSE(RunHandler(g.system, [&] { g->btnSetClick(); }));
    ASSERT_EQ(1u, g.system.boxes.size());
    EXPECT_EQ("Failed to set data for '" + std::string(writes[refused].name) + "'", g.system.boxes[0].text);
    EXPECT_EQ("Keelbrook 2003", g.system.boxes[0].caption);
    for (size_t i = 0; i < sizeof writes / sizeof writes[0]; ++i)
      EXPECT_EQ(i < refused ? writes[i].newText : "old", g.registry.GetString(kHklm, writes[i].key, writes[i].name))
          << writes[i].name;
    EXPECT_EQ(std::vector<std::string>{"EDITED"}, g.system.setComputerNames) << "the name is set first";
    EXPECT_EQ(snapshot, g->SettingsChecksum);
    EXPECT_TRUE(g->SettingsChanged());
    EXPECT_EQ(0, g.registry.OpenHandleCount());
  }
}

TEST_F(SysInfoApply, NoAccessToSoftwareReportsTheFirstValueTried) {
  struct {
    int family;
    const char* firstValue;
  } cases[] = {{5, "RegisteredOrganization"}, {2, "RegisteredOrganization"}, {3, "ProgramFilesPath"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("OsFamily " + std::to_string(c.family));
    f.system.boxes.clear();
    f.registry.RefuseOpen(kHklm, "SOFTWARE");
    f->OsFamily = c.family;
    EXPECT_FALSE(Set());
    ASSERT_EQ(1u, f.system.boxes.size());
    EXPECT_EQ("Failed to set data for '" + std::string(c.firstValue) + "'", f.system.boxes[0].text);
  }
}

TEST_F(SysInfoApply, DirOrPathNameChosenByWhatTheKeyHolds) {
  struct {
    bool dir, path;
    const char* writtenTo;  // "Dir" or "Path"
  } cases[] = {
      {true, false, "Dir"},
      {false, true, "Path"},
      {false, false, "Path"},  // created by the write
      {true, true, "Path"},    // the value the page showed; the Dir value keeps its own text
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
      f.registry.DeleteTree(kHklm, kCv);
      f.registry.CreateKey(kHklm, kCv);
      if (c.dir) f.registry.SetString(kHklm, kCv, s.dirName, "old Dir");
      if (c.path) f.registry.SetString(kHklm, kCv, s.pathName, "old Path");
      (f.*s.field).text = "typed";
      ASSERT_TRUE(Set());
      const bool toDir = std::string(c.writtenTo) == "Dir";
      EXPECT_EQ(toDir ? "typed" : (c.dir ? "old Dir" : ""), Stored(kCv, s.dirName));
      EXPECT_EQ(toDir ? (c.path ? "old Path" : "") : "typed", Stored(kCv, s.pathName));
      EXPECT_EQ(c.dir || toDir, f.registry.ValueExists(kHklm, kCv, s.dirName));
      EXPECT_EQ(c.path || !toDir, f.registry.ValueExists(kHklm, kCv, s.pathName));
    }
  }
}

TEST_F(SysInfoApply, WallpaperFolderEndsInExactlyOneAddedBackslash) {
  struct {
    const char *typed, *stored;
  } cases[] = {
      {"C:\\Walls", "C:\\Walls\\"},
      {"C:\\Walls\\", "C:\\Walls\\"},
      {"", "\\"},
      {"\\", "\\"},
      {"C:\\Walls\\\\", "C:\\Walls\\\\"},  // already ends in one: left as typed
      {"C:\\Fonds\xe9", "C:\\Fonds\xe9\\"},
      {"C:\\Walls/", "C:\\Walls/\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    f.txtWallpaperDir.text = c.typed;
    ASSERT_TRUE(Set());
    EXPECT_EQ(c.stored, Stored(kCv, "WallPaperDir"));
    EXPECT_EQ(c.typed, f.txtWallpaperDir.text);
    EXPECT_FALSE(f->SettingsChanged()) << "the snapshot is of the field as shown";
  }
}

TEST_F(SysInfoApply, ExpandableValuesStayExpandable) {
  f.registry.SetString(kHklm, kCv, "DevicePath", "%SystemRoot%\\inf", reg::kRegExpandSz);
  f.registry.SetString(kHklm, kCv, "ProgramFilesPath", "%ProgramFiles%", reg::kRegExpandSz);
  f.registry.SetString(kHklm, kCv, "ProgramFilesDir", "C:\\Program Files");
  f.registry.SetString(kHklm, kNt, "SourcePath", "%SystemDrive%\\I386", reg::kRegExpandSz);
  f.registry.SetString(kHklm, kCv, "WallPaperDir", "C:\\Old");
  f.registry.SetDword(kHklm, kCv, "CommonFilesPath", 7);
  f.txtDevicePath.text = "%SystemRoot%\\inf;D:\\Drivers";
  ASSERT_TRUE(Set());
  struct {
    const char *key, *name, *text;
    uint32_t type;
  } expected[] = {
      {kCv, "DevicePath", "%SystemRoot%\\inf;D:\\Drivers", reg::kRegExpandSz},
      {kCv, "ProgramFilesPath", "D:\\Programs", reg::kRegExpandSz},
      {kCv, "ProgramFilesDir", "C:\\Program Files", reg::kRegSz},
      {kNt, "SourcePath", "D:\\I386", reg::kRegExpandSz},
      {kCv, "WallPaperDir", "D:\\Walls\\", reg::kRegSz},
      {kCv, "CommonFilesPath", "D:\\Programs\\Common", reg::kRegSz},  // a number is replaced by text
      {kNt, "RegisteredOwner", "Ann Owner", reg::kRegSz},                // created: plain
  };
  for (const auto& e : expected) {
    EXPECT_EQ(e.text, Stored(e.key, e.name)) << e.name;
    EXPECT_EQ(e.type, TypeOf(e.key, e.name)) << e.name;
  }
}

TEST_F(SysInfoApply, KeysAreNeverCreated) {
  // 9x without its Setup key: the installer path is refused, not stored in the key above, and
  // the settings after it are not written.
  f.registry.DeleteTree(kHklm, kSetup);
  f->OsFamily = 2;
  ASSERT_FALSE(Set());
  ASSERT_FALSE(f.system.boxes.empty());
  EXPECT_EQ("Failed to set data for 'SourcePath'", f.system.boxes.back().text);
  EXPECT_FALSE(f.registry.KeyExists(kHklm, kSetup));
  EXPECT_FALSE(f.registry.ValueExists(kHklm, kCv, "SourcePath"));
  EXPECT_EQ("Ann Owner", Stored(kCv, "RegisteredOwner")) << "what came before stays written";
  EXPECT_FALSE(f.registry.ValueExists(kHklm, kCv, "ProgramFilesPath"));

  // Nothing below SOFTWARE at all: every value is refused rather than a key made for it.
  f.registry.DeleteTree(kHklm, "SOFTWARE");
  f.system.boxes.clear();
  EXPECT_FALSE(Set());
  ASSERT_EQ(1u, f.system.boxes.size());
  EXPECT_EQ("Failed to set data for 'RegisteredOrganization'", f.system.boxes[0].text);
  EXPECT_FALSE(f.registry.KeyExists(kHklm, "SOFTWARE"));
}

TEST_F(SysInfoApply, SetRenewsTheSnapshotFromTheFields) {
  f->TakeSettingsSnapshot();
  const int32_t before = f->SettingsChecksum;
  // Unchanged fields: every value is written again and the snapshot stays the same.
  ASSERT_TRUE(Set());
  EXPECT_EQ(before, f->SettingsChecksum);
  f.registry.SetString(kHklm, kCv, "DevicePath", "changed by another program");
  ASSERT_TRUE(Set());
  EXPECT_EQ("D:\\Drivers", Stored(kCv, "DevicePath"));

  f.txtCompanyName.text = "Acme Ltd";
  EXPECT_TRUE(f->SettingsChanged());
  ASSERT_TRUE(Set());
  EXPECT_FALSE(f->SettingsChanged());
  EXPECT_NE(before, f->SettingsChecksum);
  EXPECT_TRUE(f.system.boxes.empty()) << "\"&Set\" shows nothing on success";
}

}  // namespace
