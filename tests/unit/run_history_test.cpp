// The history cleaners: "Clear &runlist" empties the Run dialog's history and keeps its key;
// "&Clear docs" touches nothing.
#include <gtest/gtest.h>

#include "fakes/fake_controls.h"

namespace {

constexpr HKey kHkcu = reg::kHkeyCurrentUser;
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

void FillHistory(FakeForm& f) {
  f.registry.SetString(kHkcu, kRunMru, "a", "notepad\\1");
  f.registry.SetString(kHkcu, kRunMru, "b", "cmd\\1");
  f.registry.SetString(kHkcu, kRunMru, "MRUList", "ba");
  f.registry.SetString(kHkcu, kRunMru, "", "the default value");
  f.registry.SetDword(kHkcu, kRunMru, "counter", 12);
  f.registry.SetValue(kHkcu, kRunMru, "empty binary", reg::kRegBinary, {});
  f.registry.SetString(kHkcu, kRunMru, "caf\xe9", "\xe9\xe8\\1", reg::kRegExpandSz);
}

void ExpectProblemBox(const MessageBoxCall& box) {
  EXPECT_EQ(box.text, "There was a problem whille clearing\nthe Run list !");
  EXPECT_EQ(box.caption, "Keelbrook");
  EXPECT_EQ(box.type, 0x30u);
  EXPECT_EQ(box.owner, BoxOwner::MainWindow);
}

TEST(RunHistory, EveryValueGoesWhateverItsNameAndTypeAndTheKeyStays) {
  FakeForm f;
  FillHistory(f);
  f.registry.SetString(kHkcu, kRunMru + "\\Sub", "v", "a subkey is not a value");
  // The same path elsewhere is not the user's history.
  f.registry.SetString(reg::kHkeyLocalMachine, kRunMru, "a", "kept");
  f->btnClearRunListClick();
  EXPECT_TRUE(f.registry.KeyExists(kHkcu, kRunMru));
  EXPECT_TRUE(f.registry.ValueNames(kHkcu, kRunMru).empty());
  EXPECT_TRUE(f.registry.KeyExists(kHkcu, kRunMru + "\\Sub"));
  EXPECT_EQ(f.registry.GetString(reg::kHkeyLocalMachine, kRunMru, "a"), "kept");
  EXPECT_TRUE(f.system.boxes.empty()) << "success shows nothing";
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);

  f->btnClearRunListClick();
  EXPECT_TRUE(f.system.boxes.empty()) << "a second press finds the key empty and is silent too";
  EXPECT_TRUE(f.registry.KeyExists(kHkcu, kRunMru));
}

TEST(RunHistory, AMissingOrRefusedPieceShowsTheProblemOnceAndDeletesNothing) {
  struct Case {
    const char* what;
    void (*setUp)(FakeForm&);
  } cases[] = {
      {"RunMRU never made", [](FakeForm& f) { f.registry.CreateKey(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"); }},
      {"Explorer missing", [](FakeForm& f) { f.registry.CreateKey(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion"); }},
      {"nothing below the root", [](FakeForm&) {}},
      {"RunMRU refused", [](FakeForm& f) {
         FillHistory(f);
         f.registry.RefuseOpen(kHkcu, kRunMru);
       }},
      {"Microsoft refused", [](FakeForm& f) {
         FillHistory(f);
         f.registry.RefuseOpen(kHkcu, "Software\\Microsoft");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    c.setUp(f);
    // Whatever the walk reached before it stopped is not the history.
    if (f.registry.KeyExists(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion"))
      f.registry.SetString(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "keep");
    const bool existed = f.registry.KeyExists(kHkcu, kRunMru);
    f->btnClearRunListClick();
    EXPECT_EQ(f.registry.KeyExists(kHkcu, kRunMru), existed) << "the key is neither made nor removed";
    ASSERT_EQ(f.system.boxes.size(), 1u);
    ExpectProblemBox(f.system.boxes[0]);
    if (existed) {
      EXPECT_EQ(f.registry.ValueNames(kHkcu, kRunMru).size(), 7u);
    }
    if (f.registry.KeyExists(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion")) {
      EXPECT_EQ(f.registry.GetString(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"), "keep");
    }
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  }
}

TEST(RunHistory, AValueThatWillNotGoLeavesTheOthersDeletedAndOneProblemBox) {
  FakeForm f;
  FillHistory(f);
  f.registry.RefuseDeleteValue(kHkcu, kRunMru, "a");
  f.registry.RefuseDeleteValue(kHkcu, kRunMru, "MRUList");
  f->btnClearRunListClick();
  EXPECT_EQ(f.registry.ValueNames(kHkcu, kRunMru), (std::vector<std::string>{"a", "MRUList"}));
  ASSERT_EQ(f.system.boxes.size(), 1u);
  ExpectProblemBox(f.system.boxes[0]);
}

TEST(RunHistory, AnEmptyHistoryIsSilent) {
  FakeForm f;
  f.registry.CreateKey(kHkcu, kRunMru);
  f->btnClearRunListClick();
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_TRUE(f.registry.KeyExists(kHkcu, kRunMru));
}

TEST(RunHistory, ClearDocsDoesNothingAtAll) {
  FakeForm f;
  FillHistory(f);
  f.system.AddFile("C:\\WINDOWS\\Recent", 0x10);
  f.system.AddFile("C:\\WINDOWS\\Recent\\letter.lnk");
  f.registry.ResetCallCount();
  f->btnDelDocListClick();
  EXPECT_EQ(f.registry.CallCount(), 0);
  EXPECT_TRUE(f.system.boxes.empty());
  EXPECT_TRUE(f.system.fileLog.empty());
  EXPECT_TRUE(f.system.processLog.empty());
  EXPECT_EQ(f.registry.ValueNames(kHkcu, kRunMru).size(), 7u);
}

}  // namespace
