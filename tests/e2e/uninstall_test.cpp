// "Uninstall" end to end: the real keelbrook.exe lists registrations made by the test, runs a
// registered uninstaller (tests/programs/fake_uninstaller.cpp) and waits for it, deletes the
// picked registration, and clears the Run history.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

unsigned long long Now() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The file in which one run of the fake uninstaller notes what it did ("<mode> <event> <value>"
// per line); removed when the test ends.
class Marker {
 public:
  explicit Marker(const std::string& name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + "keelbrook_" + name + "_" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(path_.c_str());
  }
  ~Marker() { DeleteFileA(path_.c_str()); }
  const std::string& Path() const { return path_; }

  std::optional<unsigned long long> Event(const std::string& mode, const std::string& event) const {
    std::ifstream in(path_);
    std::string m, e;
    unsigned long long value;
    while (in >> m >> e >> value)
      if (m == mode && e == event) return value;
    return std::nullopt;
  }
  bool WaitFor(const std::string& mode, const std::string& event, DWORD ms) const {
    return e2e::WaitUntil([&] { return Event(mode, event).has_value(); }, ms);
  }
  bool Exists() const { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string path_;
};

// The registered command that runs the fake uninstaller.
std::string UninstallCommand(const std::string& program, const std::string& mode, const Marker& marker,
                             const std::string& key, unsigned ms) {
  return "\"" + Backslashes(program) + "\" " + mode + " \"" + marker.Path() + "\" " + key + " " + std::to_string(ms);
}

// A copy of the fake uninstaller marked as a windowed program, which is what real uninstallers
// are: the system then waits for its first idle moment, which it skips for console programs.
// Removed when the test ends.
class WindowedCopy {
 public:
  explicit WindowedCopy(const std::string& name) {
    const std::string source = Backslashes(e2e::TestProgram("fake_uninstaller"));
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + name + ".exe";
    std::ifstream in(source, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) throw e2e::DriverError("cannot read " + source);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    const size_t nt = static_cast<size_t>(dos->e_lfanew);
    if (nt + sizeof(IMAGE_NT_HEADERS32) > bytes.size()) throw e2e::DriverError(source + " is no program");
    reinterpret_cast<IMAGE_NT_HEADERS32*>(&bytes[nt])->OptionalHeader.Subsystem = IMAGE_SUBSYSTEM_WINDOWS_GUI;
    std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~WindowedCopy() { DeleteFileA(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

void Register(e2e::RegistryFixture& reg, const std::string& key, const std::string& display,
              const std::string& command = "KeelbrookNoSuchProgram.exe") {
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", display);
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString", command);
}

bool Registered(const std::string& key) { return e2e::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key); }

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  return -1;
}

int CountOf(const std::vector<std::string>& items, const std::string& text) {
  int n = 0;
  for (const std::string& item : items) n += item == text;
  return n;
}

// Whether the program's thread takes a sent message within `ms`: it does not while it waits for
// an uninstaller to end.
bool Answers(HWND window, DWORD ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

// Polls until the program answers again; the time of its first answer.
unsigned long long FirstAnswer(HWND window, DWORD timeout_ms, int* unanswered) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    if (Answers(window, 100)) return Now();
    ++*unanswered;
  }
  return 0;
}

class Uninstall : public ::testing::Test {
 protected:
  void StartOnPage() {
    kb.Start();
    kb.SwitchTab(1);
  }
  void Select(const std::string& line) {
    const int index = IndexOf(kb.ListItems(IDC_UNINSTALL_LIST), line);
    ASSERT_GE(index, 0) << "no line " << e2e::Quote(line);
    kb.SelectListItem(IDC_UNINSTALL_LIST, index);
  }
  std::vector<std::string> Lines() const { return kb.ListItems(IDC_UNINSTALL_LIST); }
  // A click or an answer is posted, and the program answers a read before it takes a posted
  // message: wait until the list shows what the handler leads to. A read that meets the list
  // while it is being refilled is simply tried again.
  bool LinesBecome(const std::function<bool(const std::vector<std::string>&)>& done, DWORD ms = 5000) const {
    return e2e::WaitUntil(
        [&] {
          try {
            return done(Lines());
          } catch (const e2e::DriverError&) {
            return false;
          }
        },
        ms);
  }
  bool LineGoes(const std::string& line) const {
    return LinesBecome([&](const std::vector<std::string>& lines) { return IndexOf(lines, line) < 0; });
  }

  e2e::RegistryFixture reg;  // before the driver: the program is gone before the registry is put back
  e2e::KeelbrookDriver kb;
};

TEST_F(Uninstall, ListsTheRegistrationsInTheOrderOfTheirSubkeyNames) {
  // Created out of order; the registry itself lists subkeys by their upper-case code points,
  // which puts "_" after the letters and "\xc9" after "F", unlike the user's collation.
  Register(reg, "KeelbrookE2E_Order_zeta", "Keelbrook E2E Alpha Tool");
  Register(reg, "KeelbrookE2E_Order_Beta", "Keelbrook E2E Zed Editor");
  Register(reg, "KeelbrookE2E_Order_f", "Keelbrook E2E f");
  Register(reg, "KeelbrookE2E_Order_\xe9", "Keelbrook E2E e acute");
  Register(reg, "KeelbrookE2E_Order_apple", "Keelbrook E2E apple");
  Register(reg, "KeelbrookE2E_Order_Banana", "Keelbrook E2E Banana");
  Register(reg, "KeelbrookE2E_OrderA", "Keelbrook E2E no underscore");
  // Not listed: a value is missing.
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Order_NoCommand", "DisplayName", "Keelbrook E2E no command");
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Order_NoName", "UninstallString", "x.exe");
  StartOnPage();

  std::vector<std::string> ours;
  for (const std::string& line : Lines())
    if (line.compare(0, 14, "Keelbrook E2E ") == 0) ours.push_back(line);
  EXPECT_EQ(ours, (std::vector<std::string>{"Keelbrook E2E apple", "Keelbrook E2E Banana", "Keelbrook E2E Zed Editor",
                                            "Keelbrook E2E e acute", "Keelbrook E2E f", "Keelbrook E2E Alpha Tool",
                                            "Keelbrook E2E no underscore"}));

  // Everything else listed is a registration of the prefix's own with both values.
  int complete = 0;
  for (const std::string& key : e2e::SubkeyNames(HKEY_LOCAL_MACHINE, kUninstall))
    complete += e2e::ValueExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName") &&
                e2e::ValueExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString");
  EXPECT_EQ(kb.ListCount(IDC_UNINSTALL_LIST), complete);
  kb.Screenshot("uninstall-fixtures");
}

TEST_F(Uninstall, RunsTheUninstallerWaitsUntilItHasEndedThenShowsTheListWithoutIt) {
  Marker marker("uninstall_plain");
  const std::string key = "KeelbrookE2E_Run";
  Register(reg, "KeelbrookE2E_Kept", "Keelbrook E2E Kept");
  Register(reg, key, "Keelbrook E2E Runs",
           UninstallCommand(e2e::TestProgram("fake_uninstaller"), "plain", marker, key, 2500));
  StartOnPage();
  Select("Keelbrook E2E Runs");

  kb.Click(IDC_UNINSTALL_UNINSTALL);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "Are you sure you want to\nuninstall Keelbrook E2E Runs ?");
  EXPECT_EQ(box.caption, "Keelbrook");
  EXPECT_EQ(box.owner, kb.MainWindow());
  ASSERT_EQ(box.ButtonIds(), (std::vector<int>{IDYES, IDNO}));
  kb.Answer(box, IDYES);

  ASSERT_TRUE(marker.WaitFor("plain", "started", 10000)) << "the uninstaller did not run";
  int unanswered = 0;
  const unsigned long long answeredAt = FirstAnswer(kb.MainWindow(), 20000, &unanswered);
  ASSERT_NE(answeredAt, 0u) << "the program never came back from the wait";
  ASSERT_TRUE(marker.Event("plain", "ended").has_value());
  EXPECT_GE(answeredAt, *marker.Event("plain", "ended")) << "the program went on before the uninstaller ended";
  EXPECT_GT(unanswered, 5) << "the window should be frozen while the uninstaller runs";
  EXPECT_EQ(marker.Event("plain", "flags"), 1u) << "STARTF_USESHOWWINDOW";
  EXPECT_EQ(marker.Event("plain", "show"), 9u) << "SW_RESTORE";

  EXPECT_FALSE(Registered(key)) << "the uninstaller removed its registration";
  const auto lines = Lines();
  EXPECT_EQ(IndexOf(lines, "Keelbrook E2E Runs"), -1) << "the list was read again after the end";
  EXPECT_GE(IndexOf(lines, "Keelbrook E2E Kept"), 0);
  EXPECT_EQ(kb.ListSelection(IDC_UNINSTALL_LIST), -1);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
}

// While the uninstaller runs the window is covered by another program's window and uncovered,
// then invalidated, and a tab is clicked: it is drawn again at once, the click waits for the end.
TEST_F(Uninstall, WhileTheUninstallerRunsTheWindowIsPaintedAndAClickWaitsForItsEnd) {
  Marker marker("uninstall_paint");
  const std::string key = "KeelbrookE2E_Paint";
  Register(reg, key, "Keelbrook E2E Paint", UninstallCommand(e2e::TestProgram("fake_uninstaller"), "plain", marker, key, 5000));
  StartOnPage();
  Select("Keelbrook E2E Paint");
  kb.Click(IDC_UNINSTALL_UNINSTALL);
  kb.Answer(kb.WaitForMessageBox(), IDYES);
  ASSERT_TRUE(marker.WaitFor("plain", "started", 10000));
  Sleep(500);  // the question's place is painted again
  RECT r;
  GetWindowRect(kb.MainWindow(), &r);
  const std::vector<uint32_t> shown = e2e::ScreenPixels(r);
  kb.Post(kb.Control(IDC_MAIN_TABS), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 10));  // on "Sys Info"
  kb.Post(kb.Control(IDC_MAIN_TABS), WM_LBUTTONUP, 0, MAKELPARAM(12, 10));
  HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  const auto pump = [] {  // this thread's window shows on the screen as it takes its messages
    MSG msg;
    for (int i = 0; i < 20; ++i, Sleep(10))
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  };
  pump();
  const std::vector<uint32_t> covered = e2e::ScreenPixels(r);
  EXPECT_EQ(std::count(covered.begin(), covered.end(), covered.at(0)), static_cast<long>(covered.size())) << "covered";
  DestroyWindow(cover);
  pump();
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ScreenPixels(r) == shown; }, 2000)) << "drawn again during the wait";
  RedrawWindow(kb.MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !GetUpdateRect(kb.Control(IDC_UNINSTALL_LIST), nullptr, FALSE); }, 2000))
      << "painted by the program itself, not only put back by the system from a copy";
  EXPECT_FALSE(marker.Event("plain", "ended").has_value()) << "the uninstaller ran too briefly for this test";
  EXPECT_FALSE(IsWindowVisible(kb.Control(IDC_PAGE_SYSINFO))) << "the click waits until the uninstaller has ended";
  ASSERT_TRUE(marker.WaitFor("plain", "ended", 15000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(kb.Control(IDC_PAGE_SYSINFO)) != FALSE; }, 5000)) << "and is taken then";
}

TEST_F(Uninstall, AWindowedUninstallerIsWaitedForPastItsFirstIdleMoment) {
  Marker marker("uninstall_window");
  const std::string key = "KeelbrookE2E_Window";
  const WindowedCopy program("keelbrook_fake_uninstaller_gui");
  Register(reg, key, "Keelbrook E2E Windowed", UninstallCommand(program.Path(), "window", marker, key, 2500));
  StartOnPage();
  Select("Keelbrook E2E Windowed");
  kb.Click(IDC_UNINSTALL_UNINSTALL);
  kb.Answer(kb.WaitForMessageBox(), IDYES);

  ASSERT_TRUE(marker.WaitFor("window", "window", 10000)) << "the uninstaller's window did not come";
  // Its message loop is idle a moment later; from then on only its end releases the program.
  Sleep(500);
  int unanswered = 0;
  const unsigned long long answeredAt = FirstAnswer(kb.MainWindow(), 20000, &unanswered);
  ASSERT_NE(answeredAt, 0u);
  ASSERT_TRUE(marker.Event("window", "ended").has_value());
  EXPECT_GE(answeredAt, *marker.Event("window", "ended"));
  EXPECT_GT(unanswered, 5);
  EXPECT_EQ(IndexOf(Lines(), "Keelbrook E2E Windowed"), -1);
}

TEST_F(Uninstall, AnUninstallerThatHandsOverToASecondProgramEndsTheWaitAtOnce) {
  Marker marker("uninstall_spawn");
  const std::string key = "KeelbrookE2E_Spawn";
  Register(reg, key, "Keelbrook E2E Spawns",
           UninstallCommand(e2e::TestProgram("fake_uninstaller"), "spawn", marker, key, 3000));
  StartOnPage();
  Select("Keelbrook E2E Spawns");
  kb.Click(IDC_UNINSTALL_UNINSTALL);
  kb.Answer(kb.WaitForMessageBox(), IDYES);

  ASSERT_TRUE(marker.WaitFor("spawn", "ended", 10000));
  int unanswered = 0;
  const unsigned long long answeredAt = FirstAnswer(kb.MainWindow(), 10000, &unanswered);
  ASSERT_NE(answeredAt, 0u);
  // The second program still runs and has not removed the registration yet: the refresh came
  // first and still shows it.
  EXPECT_FALSE(marker.Event("late", "removed").has_value());
  EXPECT_GE(IndexOf(Lines(), "Keelbrook E2E Spawns"), 0);
  ASSERT_TRUE(marker.WaitFor("late", "removed", 10000));
  kb.Click(IDC_UNINSTALL_SYNC);
  EXPECT_TRUE(LineGoes("Keelbrook E2E Spawns")) << "\"&Sync list\" reads the list again";
  marker.WaitFor("late", "ended", 5000);
}

TEST_F(Uninstall, LongTextsAreHandledWholeAndTheQuestionIsCutSafely) {
  Marker marker("uninstall_long");
  const std::string key = "KeelbrookE2E_Long";
  // Display name: far past what the question holds, with bytes above 127.
  std::string display = "Keelbrook E2E Long caf\xe9 \x80 ";
  while (display.size() < 600) display += "na\xefve r\xe9sum\xe9 ";
  // Command line: far past 255 characters; the padding is ignored by the program.
  std::string command = UninstallCommand(e2e::TestProgram("fake_uninstaller"), "plain", marker, key, 0) + " ";
  command += std::string(700 - command.size(), 'p');
  Register(reg, key, display, command);
  StartOnPage();
  EXPECT_GE(IndexOf(Lines(), display), 0) << "the list holds the whole name";
  Select(display);

  kb.Click(IDC_UNINSTALL_UNINSTALL);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  const std::string head = "Are you sure you want to\nuninstall ";
  EXPECT_EQ(box.text.size(), 255u) << box.Describe();
  EXPECT_EQ(box.text.substr(0, head.size() + 22), head + display.substr(0, 22));
  EXPECT_EQ(box.text.substr(box.text.size() - 5), "... ?");
  kb.Screenshot("uninstall-long-question");
  kb.Answer(box, IDYES);

  ASSERT_TRUE(marker.WaitFor("plain", "ended", 10000)) << "the long command did not run";
  EXPECT_EQ(marker.Event("plain", "command-length"), command.size()) << "the command is run whole";
  EXPECT_TRUE(LineGoes(display));
}

TEST_F(Uninstall, ARegistrationRemovedElsewhereShowsTheRegistryErrorWithoutOwner) {
  Register(reg, "KeelbrookE2E_Gone", "Keelbrook E2E Gone");
  StartOnPage();
  Select("Keelbrook E2E Gone");
  e2e::DeleteTree(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Gone");
  kb.Click(IDC_UNINSTALL_UNINSTALL);
  kb.Answer(kb.WaitForMessageBox(), IDYES);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "There was an error while accessing the registry !");
  EXPECT_EQ(box.caption, "Keelbrook...");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_TRUE(IsWindowEnabled(kb.MainWindow())) << "the window stays usable";
  kb.Answer(box, IDOK);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  EXPECT_EQ(kb.ListSelection(IDC_UNINSTALL_LIST), IndexOf(Lines(), "Keelbrook E2E Gone")) << "not refreshed";
}

TEST_F(Uninstall, DeleteEntryRemovesExactlyThePickedRegistration) {
  // Equal display names: the registry lists Twin1 first, the second line is Twin2's.
  Register(reg, "KeelbrookE2E_Twin1", "Keelbrook E2E Twin", "one.exe");
  Register(reg, "KeelbrookE2E_Twin2", "Keelbrook E2E Twin", "two.exe");
  std::string accented = "Keelbrook E2E \xc9t\xe9 ";
  while (accented.size() < 400) accented += "\xe0\xe8\xfc ";
  Register(reg, "KeelbrookE2E_Accented", accented);
  StartOnPage();
  auto lines = Lines();
  ASSERT_EQ(CountOf(lines, "Keelbrook E2E Twin"), 2);
  const int second = IndexOf(lines, "Keelbrook E2E Twin") + 1;
  kb.SelectListItem(IDC_UNINSTALL_LIST, second);

  kb.Click(IDC_UNINSTALL_DELETE);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "Are you sure you want to\rremove Keelbrook E2E Twin from the Registry ?");
  EXPECT_EQ(box.caption, "Keelbrook");
  EXPECT_EQ(box.owner, kb.MainWindow());
  kb.Answer(box, IDYES);
  EXPECT_TRUE(LinesBecome([](const std::vector<std::string>& lines) { return CountOf(lines, "Keelbrook E2E Twin") == 1; }));
  EXPECT_FALSE(Registered("KeelbrookE2E_Twin2"));
  EXPECT_TRUE(Registered("KeelbrookE2E_Twin1"));
  EXPECT_EQ(kb.ListSelection(IDC_UNINSTALL_LIST), -1);

  // A long name with bytes above 127 is matched whole through the list box.
  Select(accented);
  kb.Click(IDC_UNINSTALL_DELETE);
  box = kb.WaitForMessageBox();
  EXPECT_LE(box.text.size(), 255u);
  kb.Answer(box, IDYES);
  EXPECT_TRUE(LineGoes(accented));
  EXPECT_FALSE(Registered("KeelbrookE2E_Accented"));
  EXPECT_TRUE(Registered("KeelbrookE2E_Twin1"));
}

TEST_F(Uninstall, EscapePressesDeleteEntry) {
  Register(reg, "KeelbrookE2E_Escape", "Keelbrook E2E Escape");
  StartOnPage();
  kb.Focus(IDC_UNINSTALL_LIST);
  kb.PressKey(VK_ESCAPE);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "List index out of bounds (" + std::to_string(kb.ListCount(IDC_UNINSTALL_LIST)) + ")");
  EXPECT_EQ(box.caption, "Keelbrook 2003");
  kb.Answer(box, IDOK);

  Select("Keelbrook E2E Escape");
  kb.Focus(IDC_UNINSTALL_LIST);
  kb.PressKey(VK_ESCAPE);
  box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "Are you sure you want to\rremove Keelbrook E2E Escape from the Registry ?");
  kb.Answer(box, IDNO);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  EXPECT_TRUE(Registered("KeelbrookE2E_Escape")) << "No deletes nothing";
  EXPECT_EQ(kb.ListSelection(IDC_UNINSTALL_LIST), IndexOf(Lines(), "Keelbrook E2E Escape")) << "not refreshed";
}

// The keys of a Windows list: F5 reads the list again, Enter, a double-click and Delete ask their
// buttons' questions, Ctrl+C copies the line.
TEST_F(Uninstall, KeysAndDoubleClickReachTheirButtons) {
  Register(reg, "KeelbrookE2E_Keys", "Keelbrook E2E Keys");
  StartOnPage();
  Register(reg, "KeelbrookE2E_KeysLater", "Keelbrook E2E Keys Later");
  kb.Focus(IDC_UNINSTALL_LIST);
  kb.PressKey(VK_F5);
  ASSERT_TRUE(LinesBecome([](const std::vector<std::string>& l) { return IndexOf(l, "Keelbrook E2E Keys Later") >= 0; }));
  Select("Keelbrook E2E Keys");
  const struct {
    WORD key;
    const char* question;
  } asks[] = {{VK_RETURN, "Are you sure you want to\nuninstall Keelbrook E2E Keys ?"},
              {VK_DELETE, "Are you sure you want to\rremove Keelbrook E2E Keys from the Registry ?"},
              {0, "Are you sure you want to\nuninstall Keelbrook E2E Keys ?"}};  // 0: a double-click
  for (const auto& a : asks) {
    if (a.key) {
      kb.Focus(IDC_UNINSTALL_LIST);
      kb.PressKey(a.key);
    } else {
      kb.DoubleClickListItem(IDC_UNINSTALL_LIST, IndexOf(Lines(), "Keelbrook E2E Keys"));
    }
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ(a.question, box.text);
    kb.Answer(box, IDNO);
  }
  kb.DoubleClickListItem(IDC_UNINSTALL_LIST, kb.ListCount(IDC_UNINSTALL_LIST) + 3);
  EXPECT_TRUE(kb.NoMessageBoxFor(300)) << "below the last line a double-click picks nothing";
  Select("Keelbrook E2E Keys");
  kb.Focus(IDC_UNINSTALL_LIST);
  kb.PressKeyWithCtrl('C');
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::ClipboardText() == "Keelbrook E2E Keys"; }, 3000)) << e2e::ClipboardText();
  EXPECT_TRUE(Registered("KeelbrookE2E_Keys"));
}

TEST_F(Uninstall, ValuesOfTheWrongTypeAreReportedAndTheProgramGoesOn) {
  Register(reg, "KeelbrookE2E_Type1", "Keelbrook E2E before the bad one");
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Type2", "DisplayName", "Keelbrook E2E dword command");
  reg.SetDword(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Type2", "UninstallString", 1);
  StartOnPage();

  // A command that is no text: reported, nothing run, the list left as it was.
  Select("Keelbrook E2E dword command");
  kb.Click(IDC_UNINSTALL_UNINSTALL);
  kb.Answer(kb.WaitForMessageBox(), IDYES);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "Invalid data type for 'UninstallString'");
  EXPECT_EQ(box.caption, "Keelbrook 2003");
  kb.Answer(box, IDOK);
  EXPECT_GE(kb.ListSelection(IDC_UNINSTALL_LIST), 0) << "not refreshed";

  // A display name that is no text ends the refresh there; the lines before it stay.
  reg.SetDword(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Type3", "DisplayName", 7);
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Type3", "UninstallString", "x.exe");
  Register(reg, "KeelbrookE2E_Type4", "Keelbrook E2E after the bad one");
  kb.Click(IDC_UNINSTALL_SYNC);
  box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "Invalid data type for 'DisplayName'");
  kb.Answer(box, IDOK);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  const auto lines = Lines();
  EXPECT_GE(IndexOf(lines, "Keelbrook E2E before the bad one"), 0);
  EXPECT_EQ(IndexOf(lines, "Keelbrook E2E after the bad one"), -1);
  EXPECT_TRUE(kb.Running());
}

TEST_F(Uninstall, ClearRunlistEmptiesTheHistoryKeepsTheKeyAndReportsAMissingKey) {
  reg.Protect(HKEY_CURRENT_USER, kRunMru);
  reg.SetString(HKEY_CURRENT_USER, kRunMru, "a", "notepad\\1");
  reg.SetString(HKEY_CURRENT_USER, kRunMru, "b", "cmd\\1");
  reg.SetString(HKEY_CURRENT_USER, kRunMru, "MRUList", "ba");
  reg.SetDword(HKEY_CURRENT_USER, kRunMru, "odd one", 3);
  StartOnPage();

  kb.Click(IDC_UNINSTALL_CLEARDOCS);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  EXPECT_EQ(e2e::ValueNames(HKEY_CURRENT_USER, kRunMru).size(), 4u) << "\"&Clear docs\" clears nothing";

  kb.Click(IDC_UNINSTALL_CLEARRUN);
  EXPECT_TRUE(kb.NoMessageBoxFor(500));
  EXPECT_TRUE(e2e::KeyExists(HKEY_CURRENT_USER, kRunMru));
  EXPECT_TRUE(e2e::ValueNames(HKEY_CURRENT_USER, kRunMru).empty());

  kb.Click(IDC_UNINSTALL_CLEARRUN);
  EXPECT_TRUE(kb.NoMessageBoxFor(500)) << "an empty history is cleared silently";

  e2e::DeleteTree(HKEY_CURRENT_USER, kRunMru);
  kb.Click(IDC_UNINSTALL_CLEARRUN);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ(box.text, "There was a problem whille clearing\nthe Run list !");
  EXPECT_EQ(box.caption, "Keelbrook");
  EXPECT_EQ(box.owner, kb.MainWindow());
  EXPECT_EQ(box.ButtonIds(), (std::vector<int>{IDOK}));
  kb.Answer(box, IDOK);
  EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, kRunMru)) << "the key is never created";
}

}  // namespace
