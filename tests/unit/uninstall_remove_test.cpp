// "&Delete entry": the selected line's own registration goes, and only while it is still what the
// line shows.
#include <gtest/gtest.h>

#include "unit/form_helpers.h"

namespace {

bool Registered(FakeForm& f, const std::string& key) { return f.registry.KeyExists(kHklm, kUninstall + "\\" + key); }

TEST(UninstallRemove, WithoutASelectionTheListReportsTheIndexAndNothingIsAsked) {
  for (int lines : {0, 2}) {
    SCOPED_TRACE(lines);
    FakeForm f;
    f.registry.CreateKey(kHklm, kUninstall);
    for (int i = 0; i < lines; ++i) Register(f, "k" + std::to_string(i), "P");
    f->FillUnInstList();
    f.registry.ResetCallCount();
    EXPECT_EQ(ErrorOf([&] { f->btnRemoveEntryClick(); }), "List index out of bounds (" + std::to_string(lines) + ")");
    EXPECT_TRUE(f.system.boxes.empty());
    EXPECT_EQ(f.registry.CallCount(), 0);
  }
}

TEST(UninstallRemove, AsksWithACarriageReturnAndOnlyYesDeletes) {
  for (int answer : {mb::kIdYes, mb::kIdNo, mb::kIdCancel, 0}) {
    SCOPED_TRACE(answer);
    FakeForm f;
    Register(f, "foo", "Foo");
    Prepare(f, 0);
    f.system.answers = {answer};
    if (answer != mb::kIdYes) f.registry.ResetCallCount();
    f->btnRemoveEntryClick();
    ASSERT_EQ(f.system.boxes.size(), 1u);
    EXPECT_EQ(f.system.boxes[0].text, "Are you sure you want to\rremove Foo from the Registry ?");
    EXPECT_EQ(f.system.boxes[0].caption, "Keelbrook");
    EXPECT_EQ(f.system.boxes[0].type, 0x24u);
    EXPECT_EQ(f.system.boxes[0].owner, BoxOwner::MainWindow);
    EXPECT_EQ(Registered(f, "foo"), answer != mb::kIdYes);
    if (answer == mb::kIdYes) {
      EXPECT_TRUE(f.lstUnInstList.lines.empty()) << "refreshed: one line fewer";
      EXPECT_EQ(f.lstUnInstList.selected, -1);
    } else {
      EXPECT_EQ(f.registry.CallCount(), 0) << "no key is opened after a No";
    }
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  }
}

TEST(UninstallRemove, OfTwoEqualDisplayNamesTheSelectedLinesOwnRegistrationGoes) {
  // The registry lists "a-other" first; finding the key by its name would delete it whichever
  // line was picked.
  for (int line : {0, 1}) {
    SCOPED_TRACE(line);
    FakeForm f;
    Register(f, "a-other", "Same Name", "other.exe");
    Register(f, "b-picked", "Same Name", "picked.exe");
    Register(f, "c-else", "Else");
    Prepare(f, line);
    const std::string picked = f.objects.UnInstKeyNames[static_cast<size_t>(line)];
    const std::string kept = f.objects.UnInstKeyNames[static_cast<size_t>(1 - line)];
    f->btnRemoveEntryClick();
    EXPECT_FALSE(Registered(f, picked));
    EXPECT_TRUE(Registered(f, kept));
    EXPECT_TRUE(Registered(f, "c-else"));
    EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{kept, "c-else"}));
    EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Same Name", "Else"}));
  }
}

TEST(UninstallRemove, TheWholeRegistrationTreeGoesAndNothingOutsideIt) {
  FakeForm f;
  Register(f, "foo", "Foo");
  f.registry.SetString(kHklm, kUninstall + "\\foo\\Sub\\Deeper", "v", "x");
  f.registry.SetString(kHklm, kUninstall + "\\foo\\Other", "v", "x");
  Register(f, "foobar", "Foo Bar");
  f.registry.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\foo", "v", "same name, elsewhere");
  Prepare(f, 0);
  f->btnRemoveEntryClick();
  EXPECT_FALSE(Registered(f, "foo"));
  EXPECT_TRUE(Registered(f, "foobar"));
  EXPECT_TRUE(f.registry.KeyExists(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\foo"));
}

TEST(UninstallRemove, NoRegistrationMatchingTheLineMeansNoDeletionAndNoRefresh) {
  struct Case {
    const char* what;
    void (*change)(FakeRegistry&);
    bool registrationStays;
  } cases[] = {
      {"removed elsewhere", [](FakeRegistry& r) { r.DeleteTree(kHklm, kUninstall + "\\foo"); }, false},
      {"display name changed",
       [](FakeRegistry& r) { r.SetString(kHklm, kUninstall + "\\foo", "DisplayName", "Foo 2"); }, true},
      {"display name differs in case only",
       [](FakeRegistry& r) { r.SetString(kHklm, kUninstall + "\\foo", "DisplayName", "FOO"); }, true},
      {"display name removed", [](FakeRegistry& r) {
         r.DeleteTree(kHklm, kUninstall + "\\foo");
         r.SetString(kHklm, kUninstall + "\\foo", "UninstallString", "x.exe");
       }, true},
      {"the subkey is refused", [](FakeRegistry& r) { r.RefuseOpen(kHklm, kUninstall + "\\foo"); }, true},
      {"the Uninstall key is refused", [](FakeRegistry& r) { r.RefuseOpen(kHklm, kUninstall); }, true},
      {"the Uninstall key was removed, a key of that name is one level up", [](FakeRegistry& r) {
         r.DeleteTree(kHklm, kUninstall);
         r.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\foo", "DisplayName", "Foo");
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    Register(f, "foo", "Foo");
    Prepare(f, 0);
    c.change(f.registry);
    f->btnRemoveEntryClick();
    EXPECT_EQ(f.system.boxes.size(), 1u) << "no message of its own";
    EXPECT_EQ(f.lstUnInstList.selected, 0) << "not refreshed";
    EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Foo"}));
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
    EXPECT_EQ(Registered(f, "foo"), c.registrationStays);
    EXPECT_TRUE(f.registry.KeyExists(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
  }
  // Nothing one level up is taken for the registration.
  FakeForm f;
  Register(f, "foo", "Foo");
  Prepare(f, 0);
  cases[6].change(f.registry);
  f->btnRemoveEntryClick();
  EXPECT_TRUE(f.registry.KeyExists(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\foo"));
}

TEST(UninstallRemove, TheCommandValueIsNotNeededToDelete) {
  FakeForm f;
  Register(f, "foo", "Foo");
  Prepare(f, 0);
  f.registry.DeleteTree(kHklm, kUninstall + "\\foo");
  f.registry.SetString(kHklm, kUninstall + "\\foo", "DisplayName", "Foo");
  f->btnRemoveEntryClick();
  EXPECT_FALSE(Registered(f, "foo"));
}

TEST(UninstallRemove, ARefusedDeletionStillRefreshesAndTheEntryStays) {
  FakeForm f;
  Register(f, "foo", "Foo");
  Prepare(f, 0);
  f.registry.RefuseDeleteKey(kHklm, kUninstall + "\\foo");
  f->btnRemoveEntryClick();
  EXPECT_TRUE(Registered(f, "foo"));
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Foo"}));
  EXPECT_EQ(f.lstUnInstList.selected, -1) << "refreshed";
  EXPECT_EQ(f.system.boxes.size(), 1u);
}

TEST(UninstallRemove, ADisplayNameThatIsNoLongerTextRaisesAndNothingIsDeleted) {
  FakeForm f;
  Register(f, "foo", "Foo");
  Prepare(f, 0);
  f.registry.SetDword(kHklm, kUninstall + "\\foo", "DisplayName", 3);
  EXPECT_EQ(ErrorOf([&] { f->btnRemoveEntryClick(); }), "Invalid data type for 'DisplayName'");
  EXPECT_TRUE(Registered(f, "foo"));
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST(UninstallRemove, LongAndAccentedNamesAreMatchedWholeWhileTheQuestionIsCut) {
  const std::string head = "Are you sure you want to\rremove ";
  const std::string tail = " from the Registry ?";
  struct Case {
    std::string name;
    bool questionWhole;
  } cases[] = {
      {std::string(203, 'd'), true},
      {std::string(204, 'd'), false},
      {std::string(70000, 'e') + "\xe9", false},
      {"Caf\xe9 \xc0 la cr\xe8me \x80\xff", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.size());
    FakeForm f;
    Register(f, "long", c.name);
    // Same start, different end: a match on the shortened text would take this one too.
    Register(f, "longer", c.name + "!");
    Prepare(f, 0);
    f->btnRemoveEntryClick();
    const std::string& text = f.system.boxes.at(0).text;
    EXPECT_LE(text.size(), 255u);
    if (c.questionWhole) {
      EXPECT_EQ(text, head + c.name + tail);
    } else {
      EXPECT_EQ(text.size(), 255u);
      EXPECT_EQ(text.substr(text.size() - tail.size() - 3), "..." + tail);
    }
    EXPECT_FALSE(Registered(f, "long"));
    EXPECT_TRUE(Registered(f, "longer"));
  }
}

}  // namespace
