// The installed-program list: which registrations become lines, in which order, and what the
// page shows when the registry does not cooperate.
#include <gtest/gtest.h>

#include "unit/form_helpers.h"

namespace {

void ExpectParallel(FakeForm& f) {
  EXPECT_EQ(f.lstUnInstList.lines.size(), f.objects.UnInstKeyNames.size()) << "the two lists must stay parallel";
}

void ExpectRegistryErrorBox(const MessageBoxCall& box) {
  EXPECT_EQ(box.text, "There was an error while accessing the registry !");
  EXPECT_EQ(box.caption, "Keelbrook...");
  EXPECT_EQ(box.type, 0x30u);
  EXPECT_EQ(box.owner, BoxOwner::None) << "the window stays usable while the box is up";
}

TEST(UninstallList, LinesFollowTheSubkeyNamesInCollationOrder) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> registrations;  // key, display name, in registry order
    std::vector<std::string> lines;
    std::vector<std::string> keys;
  } cases[] = {
      {"by key name, not by display name",
       {{"zeta", "Alpha Tool"}, {"Beta", "Zed Editor"}},
       {"Zed Editor", "Alpha Tool"},
       {"Beta", "zeta"}},
      {"case is ignored, unlike a byte order",
       {{"Banana", "B"}, {"apple", "a"}},
       {"a", "B"},
       {"apple", "Banana"}},
      {"already in order",
       {{"a1", "one"}, {"b2", "two"}, {"C3", "three"}},
       {"one", "two", "three"},
       {"a1", "b2", "C3"}},
      {"reversed, with braces as installers name their keys",
       {{"{F00D}", "guid"}, {"Zip", "zip"}, {"mail", "mail"}},
       {"guid", "mail", "zip"},
       {"{F00D}", "mail", "Zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    for (const auto& r : c.registrations) Register(f, r.first, r.second);
    f->FillUnInstList();
    EXPECT_EQ(f.lstUnInstList.lines, c.lines);
    EXPECT_EQ(f.objects.UnInstKeyNames, c.keys);
    EXPECT_TRUE(f.system.boxes.empty());
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  }
}

TEST(UninstallList, ARegistrationNeedsBothValuesPresentWhateverTheirContent) {
  FakeForm f;
  const std::string base = kUninstall + "\\";
  f.registry.SetString(kHklm, base + "a-command-only", "UninstallString", "x.exe");
  f.registry.SetString(kHklm, base + "b-name-only", "DisplayName", "Name Only");
  f.registry.SetString(kHklm, base + "c-both-empty", "DisplayName", "");
  f.registry.SetString(kHklm, base + "c-both-empty", "UninstallString", "");
  f.registry.SetString(kHklm, base + "d-expandable", "DisplayName", "%Name%", reg::kRegExpandSz);
  f.registry.SetString(kHklm, base + "d-expandable", "UninstallString", "x");
  // Only the presence of the command counts, not its type.
  f.registry.SetString(kHklm, base + "e-dword-command", "DisplayName", "Dword Command");
  f.registry.SetDword(kHklm, base + "e-dword-command", "UninstallString", 7);
  // An empty value of any type reads as an empty text.
  f.registry.SetValue(kHklm, base + "f-empty-binary-name", "DisplayName", reg::kRegBinary, {});
  f.registry.SetString(kHklm, base + "f-empty-binary-name", "UninstallString", "x");
  f.registry.CreateKey(kHklm, base + "g-no-values");
  f.registry.SetString(kHklm, base + "h-names-differ-in-case", "displayname", "Lower Case Names");
  f.registry.SetString(kHklm, base + "h-names-differ-in-case", "uninstallstring", "x");

  f->FillUnInstList();
  EXPECT_EQ(f.lstUnInstList.lines,
            (std::vector<std::string>{"", "%Name%", "Dword Command", "", "Lower Case Names"}));
  EXPECT_EQ(f.objects.UnInstKeyNames,
            (std::vector<std::string>{"c-both-empty", "d-expandable", "e-dword-command", "f-empty-binary-name",
                                      "h-names-differ-in-case"}));
  EXPECT_TRUE(f.system.boxes.empty()) << "skipped registrations are skipped silently";
}

TEST(UninstallList, EqualDisplayNamesStayTwoLinesEachWithItsOwnSubkey) {
  FakeForm f;
  Register(f, "second", "Same Name", "two.exe");
  Register(f, "First", "Same Name", "one.exe");
  Register(f, "third", "Other", "three.exe");
  f->FillUnInstList();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Same Name", "Same Name", "Other"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{"First", "second", "third"}));
}

TEST(UninstallList, RefreshReplacesEverythingAndDropsTheSelection) {
  FakeForm f;
  Register(f, "a", "Kept");
  Register(f, "b", "Removed later");
  f->FillUnInstList();
  f.lstUnInstList.selected = 1;
  f.registry.DeleteTree(kHklm, kUninstall + "\\b");
  Register(f, "c", "Added later");
  f->bntSyncClick();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Kept", "Added later"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(f.lstUnInstList.selected, -1);
  EXPECT_EQ(f.window.waitCursors - f.window.busy, 2) << "each refresh shows the wait cursor until its end";

  // No registrations at all: an empty page, and nothing to complain about.
  f.registry.DeleteTree(kHklm, kUninstall);
  f.registry.CreateKey(kHklm, kUninstall);
  f->bntSyncClick();
  EXPECT_TRUE(f.lstUnInstList.lines.empty());
  EXPECT_TRUE(f.objects.UnInstKeyNames.empty());
  EXPECT_TRUE(f.system.boxes.empty());
}

TEST(UninstallList, APathThatDoesNotOpenShowsOneBoxEachRefreshAndEmptiesBothLists) {
  struct Case {
    const char* what;
    void (*breakIt)(FakeRegistry&);
  } cases[] = {
      {"Uninstall missing", [](FakeRegistry& r) { r.CreateKey(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"); }},
      {"CurrentVersion missing", [](FakeRegistry& r) { r.CreateKey(kHklm, "SOFTWARE\\Microsoft\\Windows"); }},
      {"SOFTWARE refused", [](FakeRegistry& r) {
         r.SetString(kHklm, kUninstall + "\\a", "DisplayName", "A");
         r.RefuseOpen(kHklm, "SOFTWARE");
       }},
      {"Uninstall refused", [](FakeRegistry& r) {
         r.SetString(kHklm, kUninstall + "\\a", "DisplayName", "A");
         r.RefuseOpen(kHklm, kUninstall);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    c.breakIt(f.registry);
    f->lstUnInstList.Add("from before");
    f.objects.UnInstKeyNames = {"before"};
    f->FillUnInstList();
    ASSERT_EQ(f.system.boxes.size(), 1u);
    ExpectRegistryErrorBox(f.system.boxes[0]);
    EXPECT_TRUE(f.lstUnInstList.lines.empty());
    EXPECT_TRUE(f.objects.UnInstKeyNames.empty());
    f->bntSyncClick();
    EXPECT_EQ(f.system.boxes.size(), 2u) << "pressing \"&Sync list\" again repeats the box";
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  }
}

TEST(UninstallList, ASubkeyThatDoesNotOpenIsSkippedSilently) {
  FakeForm f;
  Register(f, "a", "A");
  Register(f, "b", "Refused");
  Register(f, "c", "C");
  f.registry.RefuseOpen(kHklm, kUninstall + "\\b");
  f->FillUnInstList();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(f.system.boxes.empty());
}

TEST(UninstallList, ADisplayNameThatIsNoTextEndsTheRefreshKeepingTheLinesBeforeIt) {
  struct Case {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
  } cases[] = {
      {"dword", reg::kRegDword, {1, 0, 0, 0}},
      {"binary", reg::kRegBinary, {'A', 'B', 0}},
      {"multi-string", reg::kRegMultiSz, {'A', 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    Register(f, "a", "Before");
    f.registry.SetValue(kHklm, kUninstall + "\\b", "DisplayName", c.type, c.data);
    f.registry.SetString(kHklm, kUninstall + "\\b", "UninstallString", "x");
    Register(f, "c", "After");
    try {
      f->FillUnInstList();
      ADD_FAILURE() << "expected the read to raise";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), "Invalid data type for 'DisplayName'");
    }
    EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Before"}));
    ExpectParallel(f);
    EXPECT_EQ(f.registry.OpenHandleCount(), 0) << "the raised error must not leave a key open";
  }
}

TEST(UninstallList, LongNamesAndBytesAbove127AreListedUnchanged) {
  FakeForm f;
  const std::string huge(100000, 'N');
  const std::string accented = "Caf\xe9 \xc0 la cr\xe8me \xff\x80\x81";
  f.system.codePage = 932;  // and a Japanese key name, whose 表 (0x95 0x5C) is no backslash
  f.registry.codePage = CodePage(f.system);
  Register(f, "a-huge", huge);
  Register(f, "b-accented", accented);
  Register(f, "c-\x95\x5C\x8E\xA6", "\x95\x5C\x8E\xA6");
  Register(f, std::string(255, 'k'), "Longest key name");
  f->FillUnInstList();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{huge, accented, "\x95\x5C\x8E\xA6", "Longest key name"}));
  EXPECT_EQ(f.objects.UnInstKeyNames[3], std::string(255, 'k'));
}

// A list box that refuses a line (the 32,767 lines of Windows 9x) stops the refresh there: each
// line still stands for its own registration or file, and the user is told.
TEST(UninstallList, AFullListStopsTheRefreshWithBothListsInStep) {
  FakeForm f;
  for (const char* key : {"a", "b", "c"}) Register(f, key, std::string("Program ") + key);
  f.lstUnInstList.capacity = 2;
  // The box waits for its answer with the list drawn again and no key held.
  f.system.whileBoxShown = [&] { EXPECT_FALSE(f.lstUnInstList.drawingHeld || f.registry.OpenHandleCount()); };
  f->FillUnInstList();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Program a", "Program b"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{"a", "b"}));
  f->OsFamily = 2;
  f.system.AddFile("C:\\WINDOWS\\SendTo", 0x10);
  for (const char* name : {"One.lnk", "Two.lnk"}) f.system.AddFile(std::string("C:\\WINDOWS\\SendTo\\") + name);
  f.lstSendTo.capacity = 1;
  f->FillSendToList();
  EXPECT_EQ(f.objects.SendToPaths, (std::vector<std::string>{"C:\\WINDOWS\\SendTo\\One.lnk"}));
  ASSERT_EQ(f.system.boxes.size(), 2u);
  EXPECT_EQ(f.system.boxes[0].text, "The list is full: only the first 2 entries are shown !");
  EXPECT_EQ(f.system.boxes[1].type, 0x30u);
}

TEST(UninstallList, WindowCreationFillsTheList) {
  FakeForm f;
  Register(f, "b", "Second");
  Register(f, "a", "First");
  f->FormCreate();
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(f.objects.UnInstKeyNames, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
