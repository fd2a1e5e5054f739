// "&Uninstall": the question, the registration the line came from, the start and the two waits,
// and the refresh afterwards.
#include <gtest/gtest.h>

#include "unit/form_helpers.h"

namespace {

const std::vector<std::string> kFullRun = {"create", "close-thread", "input-idle", "close-process",
                                           "open:4242", "wait", "close"};

TEST(UninstallRun, WithoutASelectionTheListReportsTheIndexAndNothingElseHappens) {
  for (int lines : {0, 1, 3}) {
    SCOPED_TRACE(lines);
    FakeForm f;
    f.registry.CreateKey(kHklm, kUninstall);
    for (int i = 0; i < lines; ++i) Register(f, "k" + std::to_string(i), "P" + std::to_string(i), "p.exe");
    f->FillUnInstList();
    f.registry.ResetCallCount();
    EXPECT_EQ(ErrorOf([&] { f->btnUninstallClick(); }), "List index out of bounds (" + std::to_string(lines) + ")");
    EXPECT_TRUE(f.system.boxes.empty()) << "no question before a line is found";
    EXPECT_EQ(f.registry.CallCount(), 0);
    EXPECT_TRUE(f.system.processLog.empty());
  }
}

TEST(UninstallRun, OnlyYesGoesOn) {
  for (int answer : {mb::kIdNo, mb::kIdOk, mb::kIdCancel, 0, -1}) {
    SCOPED_TRACE(answer);
    FakeForm f;
    Register(f, "foo", "Foo", "foo-uninstall.exe");
    Prepare(f, 0);
    f.system.answers = {answer};
    f.registry.ResetCallCount();
    f->btnUninstallClick();
    ASSERT_EQ(f.system.boxes.size(), 1u);
    EXPECT_EQ(f.registry.CallCount(), 0) << "no key is opened after a No";
    EXPECT_TRUE(f.system.processLog.empty());
    EXPECT_EQ(f.lstUnInstList.selected, 0) << "the list is not refreshed";
  }
}

TEST(UninstallRun, YesRunsTheStoredCommandWaitsForItAndRefreshes) {
  FakeForm f;
  Register(f, "foo", "Foo", "C:\\Foo\\unins000.exe /x");
  Prepare(f, 0);
  f.system.whileWaiting = [&] { EXPECT_TRUE(f.window.busy) << "the wait cursor shows while the uninstaller runs"; };
  f->btnUninstallClick();
  EXPECT_FALSE(f.window.busy);

  ASSERT_EQ(f.system.boxes.size(), 1u);
  const MessageBoxCall& box = f.system.boxes[0];
  EXPECT_EQ(box.text, "Are you sure you want to\nuninstall Foo ?");
  EXPECT_EQ(box.caption, "Keelbrook");
  EXPECT_EQ(box.type, 0x24u);
  EXPECT_EQ(box.owner, BoxOwner::MainWindow);

  ASSERT_EQ(f.system.createProcessCalls.size(), 1u);
  const CreateProcessCall& call = f.system.createProcessCalls[0];
  EXPECT_EQ(call.commandLine, "C:\\Foo\\unins000.exe /x");
  EXPECT_TRUE(call.inheritHandles);
  EXPECT_EQ(call.creationFlags, 0x820u) << "normal priority; a 16-bit uninstaller in a machine of its own";
  EXPECT_EQ(call.startup.cb, 68u);
  EXPECT_EQ(call.startup.dwFlags, 1u);
  EXPECT_EQ(call.startup.wShowWindow, 9);
  EXPECT_EQ(call.startup.cbReserved2, 0);
  EXPECT_EQ(f.system.processLog, kFullRun) << "the end is waited for by id, after the start handles are closed";
  EXPECT_EQ(f.system.openedProcessIds, (std::vector<uint32_t>{4242}));

  EXPECT_EQ(f.lstUnInstList.selected, -1) << "refreshed";
  EXPECT_EQ(f.lstUnInstList.lines, (std::vector<std::string>{"Foo"}));
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST(UninstallRun, TheCommandIsTakenWhole) {
  struct Case {
    const char* what;
    std::string stored;
    uint32_t type;
    std::string run = "";  // "": as stored
  } cases[] = {
      {"expandable, expanded", "\"%SystemRoot%\\x.exe\" /u", reg::kRegExpandSz, "\"C:\\WINNT\\x.exe\" /u"},
      {"plain, references not expanded", "%SystemRoot%\\Foo\\un.exe", reg::kRegSz},
      {"quoted path with arguments and bytes above 127", "\"C:\\Caf\xe9\\un.exe\" /S /log=\"C:\\a b\"", reg::kRegSz},
      {"longer than 255 characters", "C:\\un.exe " + std::string(300, 'a'), reg::kRegSz},
      {"far longer than any command line", "C:\\un.exe " + std::string(40000, 'b'), reg::kRegSz},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    f.system.environment = {"%SystemRoot%", "C:\\WINNT"};
    f.registry.SetString(kHklm, kUninstall + "\\foo", "DisplayName", "Foo");
    f.registry.SetString(kHklm, kUninstall + "\\foo", "UninstallString", c.stored, c.type);
    Prepare(f, 0);
    f->btnUninstallClick();
    ASSERT_EQ(f.system.createProcessCalls.size(), 1u);
    EXPECT_EQ(f.system.createProcessCalls[0].commandLine, c.run.empty() ? c.stored : c.run) << "run whole, never cut";
  }
}

TEST(UninstallRun, TheSecondOfTwoEqualNamesRunsTheSecondRegistration) {
  FakeForm f;
  Register(f, "a-first", "Same", "first.exe");
  Register(f, "b-second", "Same", "second.exe");
  Prepare(f, 1);
  f->btnUninstallClick();
  ASSERT_EQ(f.system.createProcessCalls.size(), 1u);
  EXPECT_EQ(f.system.createProcessCalls[0].commandLine, "second.exe");
}

TEST(UninstallRun, NothingStartedMeansNoWaitAMessageAndAnImmediateRefresh) {
  struct Case {
    const char* what;
    bool startWorks;
    bool removeCommand;
  } cases[] = {
      {"the start fails", false, false},
      {"the command value went away: an empty command", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    Register(f, "foo", "Foo", "missing.exe");
    Prepare(f, 0);
    f.system.createProcessOk = c.startWorks;
    if (c.removeCommand) {
      uint32_t type;
      std::vector<uint8_t> data;
      f.registry.GetValue(kHklm, kUninstall + "\\foo", "DisplayName", &type, &data);
      f.registry.DeleteTree(kHklm, kUninstall + "\\foo");
      f.registry.SetValue(kHklm, kUninstall + "\\foo", "DisplayName", type, data);
    }
    Register(f, "new", "Installed meanwhile", "n.exe");
    f->btnUninstallClick();
    EXPECT_EQ(f.system.processLog, (std::vector<std::string>{"create"}));
    if (c.removeCommand) {
      EXPECT_EQ(f.system.createProcessCalls.at(0).commandLine, "");
    }
    ASSERT_EQ(f.system.boxes.size(), 2u) << "the question, then what was not started";
    EXPECT_EQ(f.system.boxes[1].text,
              "There was a problem while starting\n" + f.system.createProcessCalls[0].commandLine + " !");
    EXPECT_TRUE(f.system.boxes[1].owner == BoxOwner::MainWindow && f.system.boxes[1].type == 0x30u);
    EXPECT_EQ(f.objects.UnInstKeyNames, (c.removeCommand ? std::vector<std::string>{"new"}
                                                         : std::vector<std::string>{"foo", "new"}))
        << "the list was read again";
  }
}

TEST(UninstallRun, AFailedThreadCloseSkipsTheInputWaitButNotTheEndWait) {
  FakeForm f;
  Register(f, "foo", "Foo", "foo.exe");
  Prepare(f, 0);
  f.system.closeThreadOk = false;
  f->btnUninstallClick();
  EXPECT_EQ(f.system.processLog,
            (std::vector<std::string>{"create", "close-thread", "close-process", "open:4242", "wait", "close"}))
      << "the process handle is closed all the same";
}

// Without a thread handle the id may be the shared machine's, which outlives the uninstaller.
TEST(UninstallRun, ASixteenBitStartWithoutThreadIsWaitedOnThroughItsProcessHandle) {
  for (uint32_t id : {4242u, 0u}) {
    FakeForm f;
    Register(f, "foo", "Foo", "setup16.exe");
    Prepare(f, 0);
    f.system.sharedSixteenBitMachine = true;
    f.system.nextProcessId = id;
    f->btnUninstallClick();
    EXPECT_EQ(f.system.processLog,
              (std::vector<std::string>{"create", "input-idle", "wait-process", "close-process"}));
    EXPECT_EQ(f.lstUnInstList.selected, -1) << "refreshed";
  }
}

TEST(UninstallRun, ARegistrationGoneSinceTheRefreshShowsTheRegistryErrorAndChangesNothing) {
  struct Case {
    const char* what;
    void (*breakIt)(FakeRegistry&);
  } cases[] = {
      {"the subkey was removed", [](FakeRegistry& r) { r.DeleteTree(kHklm, kUninstall + "\\foo"); }},
      {"the subkey is refused", [](FakeRegistry& r) { r.RefuseOpen(kHklm, kUninstall + "\\foo"); }},
      {"the Uninstall key was removed", [](FakeRegistry& r) { r.DeleteTree(kHklm, kUninstall); }},
      {"a piece on the way is refused", [](FakeRegistry& r) { r.RefuseOpen(kHklm, "SOFTWARE\\Microsoft"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    Register(f, "foo", "Foo", "foo.exe");
    // A key of the same name one level up must not be taken for the registration.
    f.registry.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\foo", "UninstallString", "decoy.exe");
    Prepare(f, 0);
    c.breakIt(f.registry);
    f->btnUninstallClick();
    ASSERT_EQ(f.system.boxes.size(), 2u);
    EXPECT_EQ(f.system.boxes[1].text, "There was an error while accessing the registry !");
    EXPECT_EQ(f.system.boxes[1].caption, "Keelbrook...");
    EXPECT_EQ(f.system.boxes[1].type, 0x30u);
    EXPECT_EQ(f.system.boxes[1].owner, BoxOwner::None);
    EXPECT_TRUE(f.system.processLog.empty());
    EXPECT_EQ(f.lstUnInstList.selected, 0) << "not refreshed";
    EXPECT_EQ(f.registry.OpenHandleCount(), 0);
  }
}

TEST(UninstallRun, ACommandThatIsNoTextRaisesAndNothingRuns) {
  FakeForm f;
  Register(f, "foo", "Foo", "foo.exe");
  Prepare(f, 0);
  f.registry.SetDword(kHklm, kUninstall + "\\foo", "UninstallString", 1);
  EXPECT_EQ(ErrorOf([&] { f->btnUninstallClick(); }), "Invalid data type for 'UninstallString'");
  EXPECT_TRUE(f.system.processLog.empty());
  EXPECT_EQ(f.lstUnInstList.selected, 0) << "not refreshed";
  EXPECT_EQ(f.registry.OpenHandleCount(), 0);
}

TEST(UninstallRun, TheQuestionStaysWithin255CharactersAndKeepsItsEnd) {
  const std::string head = "Are you sure you want to\nuninstall ";
  struct Case {
    size_t nameLength;
    bool whole;
  } cases[] = {{0, true}, {218, true}, {219, false}, {5000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nameLength);
    FakeForm f;
    const std::string name = std::string(c.nameLength, 'n');
    Register(f, "foo", name, "foo.exe");
    Prepare(f, 0);
    f.system.answers = {mb::kIdNo};
    f->btnUninstallClick();
    ASSERT_EQ(f.system.boxes.size(), 1u);
    const std::string& text = f.system.boxes[0].text;
    EXPECT_LE(text.size(), 255u);
    if (c.whole) {
      EXPECT_EQ(text, head + name + " ?");
    } else {
      EXPECT_EQ(text.size(), 255u);
      EXPECT_EQ(text.substr(0, head.size()), head);
      EXPECT_EQ(text.substr(text.size() - 5), "... ?");
    }
  }
}

}  // namespace
