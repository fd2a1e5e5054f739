// The closing sequence: no question when nothing changed, the "Save ?" question otherwise, Yes
// saving exactly as "&Set" does, and a failed save keeping the window open for another try.
#include <gtest/gtest.h>

#include <string>

#include "app/error_report.h"
#include "fakes/fake_controls.h"
#include "platform/app_error.h"

namespace {

const HKey kHklm = reg::kHkeyLocalMachine;
const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kSaveText[] =
    "Certain changes were made, quitting now\n"
    "will not update those changes.\n"
    "Do you want to save the changes made ?";

class MainFormClose : public ::testing::Test {
 protected:
  MainFormClose() {
    f->OsFamily = 5;
    f.registry.SetString(kHklm, kNt, "RegisteredOwner", "Ann");
    f.registry.SetString(kHklm, kCv, "DevicePath", "C:\\INF");
    f.txtUserName.text = "Ann";
    f.txtDevicePath.text = "C:\\INF";
    f.txtBootFrom.text = "C:\\WINDOWS";
    f->SettingsLoaded.assign(9, true);  // as after a complete creation
    f->TakeSettingsSnapshot();
  }
  ~MainFormClose() override { EXPECT_EQ(0, f.registry.OpenHandleCount()); }

  // The close as the window runs it: true when the window may go on closing.
  bool Close() { return RunHandler(f.system, [&] { f->FormClose(); }); }

  FakeForm f;
};

TEST_F(MainFormClose, UnchangedFieldsCloseWithoutAQuestion) {
  EXPECT_TRUE(Close());
  EXPECT_TRUE(f.system.boxes.empty());
  // Edited and put back is unchanged too.
  f.txtUserName.text = "Bob";
  f.txtUserName.text = "Ann";
  EXPECT_TRUE(Close());
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_TRUE(f.system.setComputerNames.empty());
}

TEST_F(MainFormClose, ChangedFieldsAskSaveOwnedByTheMainWindow) {
  f.txtUserName.text = "Bob";
  EXPECT_TRUE(Close());
  ASSERT_EQ(1u, f.system.boxes.size());
  const MessageBoxCall& box = f.system.boxes[0];
  EXPECT_EQ(BoxOwner::MainWindow, box.owner);
  EXPECT_EQ(kSaveText, box.text);
  EXPECT_EQ("Save ?", box.caption);
  EXPECT_EQ(0x24u, box.type);
}

TEST_F(MainFormClose, EditsTheChecksumCannotSeeStillAsk) {
  f.txtComputerName.text = "PCX";
  f.txtUserName.text = "";
  f->TakeSettingsSnapshot();
  f.txtComputerName.text = "PC";
  f.txtUserName.text = "X";
  EXPECT_TRUE(Close());
  EXPECT_EQ(1u, f.system.boxes.size());
}

TEST_F(MainFormClose, YesSavesLikeSetAndTheNextCloseAsksNothing) {
  f.txtUserName.text = "Bob";
  f.txtWallpaperDir.text = "D:\\Walls";
  f.system.answers = {mb::kIdYes};
  EXPECT_TRUE(Close());
  EXPECT_EQ("Bob", f.registry.GetString(kHklm, kNt, "RegisteredOwner"));
  EXPECT_EQ("D:\\Walls\\", f.registry.GetString(kHklm, kCv, "WallPaperDir"));
  EXPECT_EQ(1u, f.system.setComputerNames.size());
  EXPECT_EQ(1u, f.system.boxes.size()) << "no report after a save that worked";
  EXPECT_TRUE(Close());
  EXPECT_EQ(1u, f.system.boxes.size());
}

TEST_F(MainFormClose, AnythingButYesWritesNothing) {
  for (int answer : {mb::kIdNo, mb::kIdCancel, 0}) {
    SCOPED_TRACE(answer);
    f.system.boxes.clear();
    f.txtUserName.text = "Bob";
    f.txtDevicePath.text = "D:\\Drivers";
    f.system.answers = {answer};
    EXPECT_TRUE(Close());
    EXPECT_EQ(1u, f.system.boxes.size());
    EXPECT_EQ("Ann", f.registry.GetString(kHklm, kNt, "RegisteredOwner"));
    EXPECT_EQ("C:\\INF", f.registry.GetString(kHklm, kCv, "DevicePath"));
    EXPECT_FALSE(f.registry.ValueExists(kHklm, kCv, "WallPaperDir"));
    EXPECT_TRUE(f.system.setComputerNames.empty());
  }
}

TEST_F(MainFormClose, AFailedSaveKeepsTheWindowOpenAndAsksAgain) {
  f.txtUserName.text = "Bob";
  f.txtDevicePath.text = "D:\\Drivers";
  f.registry.RefuseWrite(kHklm, kCv, "DevicePath");
  f.system.answers = {mb::kIdYes};
  // The error leaves the closing sequence itself, which is what keeps the window open.
  EXPECT_THROW(f->FormClose(), AppError);
  EXPECT_EQ("Bob", f.registry.GetString(kHklm, kNt, "RegisteredOwner")) << "written before the failure";

  f.system.boxes.clear();
  f.system.answers = {mb::kIdYes};
  EXPECT_FALSE(Close());
  ASSERT_EQ(2u, f.system.boxes.size());
  EXPECT_EQ("Save ?", f.system.boxes[0].caption);
  EXPECT_EQ("Failed to set data for 'DevicePath'", f.system.boxes[1].text);
  EXPECT_EQ("Keelbrook 2003", f.system.boxes[1].caption);

  // Still unsaved: the next close asks again, and No lets it end.
  f.system.boxes.clear();
  EXPECT_TRUE(Close());
  ASSERT_EQ(1u, f.system.boxes.size());
  EXPECT_EQ("Save ?", f.system.boxes[0].caption);
}

// A creation stopped by a value of the wrong type leaves fields it never filled. No save of the
// whole run writes those over what the registry holds, and owner and company are decided apart.
TEST(SaveAfterAnEarlyStop, SettingsThePageNeverShowedStayAsStored) {
  for (bool stopAtOwner : {false, true}) {
    SCOPED_TRACE(stopAtOwner ? "stopped at RegisteredOwner" : "stopped at DevicePath");
    FakeForm f;
    f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3", 1);
    f.registry.SetString(kHklm, kNt, "RegisteredOrganization", "Acme");
    f.registry.SetString(kHklm, kCv, "CommonFilesDir", "C:\\Common");
    f.registry.SetDword(kHklm, stopAtOwner ? kNt : kCv, stopAtOwner ? "RegisteredOwner" : "DevicePath", 7);
    EXPECT_FALSE(RunHandler(f.system, [&] { f->FormCreate(); }));
    for (int press = 0; press < 2; ++press) EXPECT_TRUE(RunHandler(f.system, [&] { f->btnSetClick(); }));
    (stopAtOwner ? f.txtUserName : f.txtWallpaperDir).text = "Typed";
    f.system.answers = {mb::kIdYes};
    EXPECT_TRUE(RunHandler(f.system, [&] { f->FormClose(); }));
    if (stopAtOwner) {
      EXPECT_EQ("Typed", f.registry.GetString(kHklm, kNt, "RegisteredOwner"));
    } else {
      EXPECT_EQ(reg::kRegDword, f.registry.GetType(kHklm, kCv, "DevicePath"));
    }
    EXPECT_EQ("Acme", f.registry.GetString(kHklm, kNt, "RegisteredOrganization"));
    EXPECT_EQ("C:\\Common", f.registry.GetString(kHklm, kCv, "CommonFilesDir"));
    EXPECT_FALSE(f.registry.ValueExists(kHklm, kCv, "CommonFilesPath"));
  }
}

}  // namespace
