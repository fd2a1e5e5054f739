// A hostile registry against the real program: every value read at start-up and on the
// "Uninstall" page is stored as a number, raw bytes, a string list, a string without its
// terminating zero, an empty value, 64 KB of text and text with bytes above 127. A wrong type
// must end in the one error report and leave the program usable; the odd but valid forms must
// show as text. Around every failure the registry is compared with what it was before, so an
// error can never hide a half-done write.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

using e2e::KeelbrookDriver;

const std::string kCv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kIe = "SOFTWARE\\Microsoft\\Internet Explorer";
const std::string kDx = "SOFTWARE\\Microsoft\\DirectX";
const std::string kUninstall = kCv + "\\Uninstall";
const char kReportCaption[] = "Keelbrook 2003";

// ---------------------------------------------------------------------------------------------
// The registry as a flat map, for before/after comparisons: "key\name" -> type and bytes, and
// "key\" for every key, so that a created or deleted empty key shows too.

using Dump = std::map<std::string, std::string>;

void DumpKey(HKEY root, const std::string& path, bool deep, Dump& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out[path + "\\"] = "key";
  DWORD longestSubkey = 0, longestName = 0, longestData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &longestSubkey, nullptr, nullptr, &longestName, &longestData,
                   nullptr, nullptr);
  std::vector<char> name(std::max(longestSubkey, longestName) + 2);
  std::vector<BYTE> data(longestData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    const LONG rc = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) {
      out[path + "\\#" + std::to_string(i)] = "unreadable " + std::to_string(rc);
      continue;
    }
    out[path + "\\" + std::string(name.data(), nameSize)] =
        std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data.data()), dataSize);
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name.data(), nameSize);
  }
  RegCloseKey(key);
  for (const std::string& sub : subkeys) {
    if (deep) DumpKey(root, path + "\\" + sub, true, out);
    else out[path + "\\" + sub + "\\"] = "key";
  }
}

// Everything the program reads or could write: the values of the settings, product and
// component keys (their subkeys only by name), the uninstall list whole, the pending computer
// name and the Run history.
Dump Export() {
  Dump out;
  for (const std::string& path : {kCv, kCv + "\\Setup", kNt, kIe, kDx}) DumpKey(HKEY_LOCAL_MACHINE, path, false, out);
  DumpKey(HKEY_LOCAL_MACHINE, kUninstall, true, out);
  DumpKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ComputerName", true, out);
  DumpKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", true, out);
  return out;
}

// The entries that differ, one line each, values cut so that a 64 KB value stays readable.
std::vector<std::string> Differences(const Dump& before, const Dump& after) {
  std::vector<std::string> diff;
  auto shortText = [](const std::string& s) { return e2e::Quote(s.substr(0, 60)) + (s.size() > 60 ? "..." : ""); };
  for (const auto& [name, value] : before) {
    auto it = after.find(name);
    if (it == after.end()) diff.push_back("removed " + name);
    else if (it->second != value) diff.push_back("changed " + name + ": " + shortText(value) + " -> " + shortText(it->second));
  }
  for (const auto& [name, value] : after)
    if (!before.count(name)) diff.push_back("added " + name + " = " + shortText(value));
  return diff;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n  " + line;
  return all;
}

// ---------------------------------------------------------------------------------------------
// The hostile forms. Each gives the type and the bytes to store for a value whose good text is
// `text`, and what the program must make of it.

struct Form {
  const char* label;
  DWORD type;
  // The bytes stored, and the text the program should show from them.
  std::string (*bytes)(const std::string& text);
  std::string (*shown)(const std::string& text);
};

std::string Same(const std::string& text) { return text; }
std::string WithZero(const std::string& text) { return text + std::string(1, '\0'); }
std::string Nothing(const std::string&) { return ""; }
std::string Dword(const std::string&) { return std::string("\x2a\0\0\0", 4); }
std::string Binary(const std::string& text) { return text.substr(0, 3) + std::string("\x00\xff\x01", 3); }
std::string MultiSz(const std::string& text) { return text + std::string(1, '\0') + "second" + std::string(2, '\0'); }
// 64 KB of text, terminator included; marked at both ends so that a cut shows.
std::string Long(const std::string& text) {
  std::string big = "<" + text + ">";
  while (big.size() < 65535 - 5) big += "0123456789abcdef";
  big.resize(65535 - 5);
  return big + "<end>";
}
std::string LongZ(const std::string& text) { return WithZero(Long(text)); }
// Bytes that the ANSI code page holds, a few without any letter in it, and a no-break space.
std::string HighBytes(const std::string& text) { return text + " caf\xe9 \x80\x81\x8d\x9f \xa0\xff\xfe"; }
std::string HighBytesZ(const std::string& text) { return WithZero(HighBytes(text)); }

const Form kWrongTypes[] = {
    {"REG_DWORD", REG_DWORD, Dword, Nothing},
    {"REG_BINARY", REG_BINARY, Binary, Nothing},
    {"REG_MULTI_SZ", REG_MULTI_SZ, MultiSz, Nothing},
};

// Valid text, or nothing at all: a value without data reads as empty whatever its type.
const Form kOddButValid[] = {
    {"REG_SZ without its zero", REG_SZ, Same, Same},
    {"empty REG_SZ", REG_SZ, Nothing, Nothing},
    {"empty REG_BINARY", REG_BINARY, Nothing, Nothing},
    {"empty REG_DWORD", REG_DWORD, Nothing, Nothing},
    {"empty REG_MULTI_SZ", REG_MULTI_SZ, Nothing, Nothing},
    {"64 KB REG_SZ", REG_SZ, LongZ, Long},
    {"64 KB REG_EXPAND_SZ", REG_EXPAND_SZ, LongZ, Long},
    {"REG_SZ with bytes above 127", REG_SZ, HighBytesZ, HighBytes},
};

// ---------------------------------------------------------------------------------------------
// The values read while the window is created, in the order the program reads them. `stage`
// is when the value's text reaches its control: a failure at one stage leaves that stage and
// every later one unfilled. Owner and company are shown together, after both are read.

struct StartupValue {
  std::string key;
  const char* name;
  int control;
  const char* caption;  // what a label shows before its value is appended
  int stage;
};

const StartupValue kStartupValues[] = {
    {kCv, "ProductID", IDC_OSINFO_PRODUCTID, "Windows ID : ", 0},
    {kCv, "ProductKey", IDC_OSINFO_PRODUCTKEY, "Product key : ", 1},
    {kCv, "Plus! VersionNumber", IDC_OSINFO_PLUSVERSION, "Ms Plus version : ", 2},
    {kCv, "Plus! ProductId", IDC_OSINFO_PLUSPRODUCTID, "Plus product ID : ", 3},
    {kNt, "RegisteredOrganization", IDC_SYSINFO_COMPANY, "", 4},
    {kNt, "RegisteredOwner", IDC_SYSINFO_USERNAME, "", 4},
    {kNt, "SourcePath", IDC_SYSINFO_WININSTPATH, "", 5},
    {kCv, "ProgramFilesPath", IDC_SYSINFO_PROGRAMFILES, "", 6},
    {kCv, "WallPaperDir", IDC_SYSINFO_WALLPAPER, "", 7},
    {kCv, "DevicePath", IDC_SYSINFO_DEVICEPATH, "", 8},
    {kCv, "CommonFilesPath", IDC_SYSINFO_COMMONFILES, "", 9},
    {kIe, "Version", IDC_OSINFO_IE, "Internet explorer version : ", 10},
    {kDx, "Version", IDC_OSINFO_DIRECTXVER, "DirectX version : ", 11},
};
constexpr int kListStage = 12;  // the installed-program list comes after all of them

std::string GoodText(const StartupValue& v) { return std::string("KB ") + v.name; }

const char kListed[] = "Keelbrook E2E Hostile";

class HostileStartup : public ::testing::Test {
 protected:
  HostileStartup() {
    for (const StartupValue& v : kStartupValues) reg.SetString(HKEY_LOCAL_MACHINE, v.key, v.name, GoodText(v));
    // The names read only when the preferred ones are missing: never shown while those exist.
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "ProgramFilesDir", "KB not this ProgramFilesDir");
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "CommonFilesDir", "KB not this CommonFilesDir");
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Hostile", "DisplayName", kListed);
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Hostile", "UninstallString", "KeelbrookNoSuchProgram.exe");
  }

  void Store(const StartupValue& v, const Form& form) {
    reg.SetValue(HKEY_LOCAL_MACHINE, v.key, v.name, form.type, form.bytes(GoodText(v)));
  }

  // The second action after whatever went before: the list is read again on request, and the
  // window closes at once with exit code 0, asking nothing when nothing was edited.
  static void SyncAndClose(KeelbrookDriver& kb) {
    kb.SwitchTab(1);
    kb.Click(IDC_UNINSTALL_SYNC);
    const bool listed = e2e::WaitUntil(
        [&] {
          try {
            for (const std::string& line : kb.ListItems(IDC_UNINSTALL_LIST))
              if (line == kListed) return true;
          } catch (const e2e::DriverError&) {
          }
          return false;
        },
        5000);
    EXPECT_TRUE(listed) << "\"&Sync list\" did not list the registration";
    if (auto box = kb.FindMessageBox()) ADD_FAILURE() << "unexpected " << box->Describe();
    kb.PostClose();
    if (auto box = kb.FindMessageBox()) ADD_FAILURE() << "closing asked " << box->Describe();
    EXPECT_EQ(0u, kb.WaitForExit());
  }

  e2e::RegistryFixture reg;  // before the drivers: the program is gone before the registry is put back
};

// A value of a type that is no text ends the window's creation at that value: the report comes,
// what was read before it is shown, nothing after it, and the program carries on.
TEST_F(HostileStartup, AValueThatIsNoTextStopsTheStartThereAndTheProgramGoesOn) {
  for (const StartupValue& bad : kStartupValues) {
    for (const Form& form : kWrongTypes) {
      SCOPED_TRACE(bad.key + "\\" + bad.name + " as " + form.label);
      Store(bad, form);
      const Dump before = Export();
      {
        KeelbrookDriver kb;
        kb.SetWindowsVersion("winxp");
        e2e::MessageBoxInfo box = kb.StartWithBox();
        EXPECT_EQ(std::string("Invalid data type for '") + bad.name + "'", box.text);
        EXPECT_EQ(kReportCaption, box.caption);
        EXPECT_EQ(std::vector<int>{IDOK}, box.ButtonIds());
        // Before the window is shown: a box of its own (with a taskbar button), in front.
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == box.hwnd; }, 2000));
        kb.Answer(box, IDOK);
        kb.WaitForMainWindow();
        EXPECT_EQ(0, kb.CurrentTab()) << "\"Sys Info\" shows first";

        for (const StartupValue& v : kStartupValues) {
          const std::string shown = kb.Text(v.control);
          if (v.stage < bad.stage)
            EXPECT_EQ(v.caption + GoodText(v), shown) << v.name << " was read before the failure";
          else
            EXPECT_EQ(v.caption, shown) << v.name << " comes after the failure and stays unfilled";
        }
        EXPECT_EQ(0, kb.ListCount(IDC_UNINSTALL_LIST)) << "the list is filled after every value";
        SyncAndClose(kb);
      }
      const auto diff = Differences(before, Export());
      EXPECT_TRUE(diff.empty()) << "a start that failed and a close without edits wrote:" << Joined(diff);
      Store(bad, {"good", REG_SZ, WithZero, Same});
    }
  }
}

// A string without its zero, an empty value of any type, 64 KB of text and bytes above 127
// are all valid: every value at once, one start per form.
TEST_F(HostileStartup, OddButValidValuesAreShownAsTheirText) {
  for (const Form& form : kOddButValid) {
    SCOPED_TRACE(form.label);
    for (const StartupValue& v : kStartupValues) Store(v, form);
    const Dump before = Export();
    {
      KeelbrookDriver kb;
      kb.SetWindowsVersion("winxp");
      kb.Start();
      for (const StartupValue& v : kStartupValues) {
        const std::string expected = v.caption + form.shown(GoodText(v));
        const std::string shown = kb.Text(v.control);
        EXPECT_EQ(expected.size(), shown.size()) << v.name;
        EXPECT_TRUE(expected == shown) << v.name << " shows " << e2e::Quote(shown.substr(0, 80)) << " instead of "
                                       << e2e::Quote(expected.substr(0, 80));
      }
      // A value that is there, however empty, counts as there.
      EXPECT_EQ("DirectX installed : Yes", kb.Text(IDC_OSINFO_DIRECTX));
      if (form.bytes == Nothing) kb.Screenshot("hostile-empty");
      SyncAndClose(kb);
    }
    const auto diff = Differences(before, Export());
    EXPECT_TRUE(diff.empty()) << "a close without edits wrote:" << Joined(diff);
  }
}

// ---------------------------------------------------------------------------------------------
// The "Uninstall" page: display names on every refresh, the command on "&Uninstall" and the
// display name again on "&Delete entry". All in one run of the program.

std::string TempFile(const std::string& stem) {
  char dir[MAX_PATH] = "";
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + stem + "_" + std::to_string(GetCurrentProcessId()) + ".txt";
}

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HostileUninstall : public ::testing::Test {
 protected:
  void SetUp() override {
    reg.Protect(HKEY_LOCAL_MACHINE, kUninstall);
    Register("KeelbrookE2E_HostileA", "Keelbrook E2E Hostile A");
    Register("KeelbrookE2E_HostileC", "Keelbrook E2E Hostile C");
    kb.SetWindowsVersion("winxp");
    kb.Start();
    kb.SwitchTab(1);
  }
  void Register(const std::string& key, const std::string& display,
                const std::string& command = "KeelbrookNoSuchProgram.exe") {
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", display);
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString", command);
  }
  std::vector<std::string> Lines() const { return kb.ListItems(IDC_UNINSTALL_LIST); }
  int IndexOf(const std::string& line) const {
    const auto lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == line) return static_cast<int>(i);
    return -1;
  }
  // Presses "&Sync list"; the click is posted, so callers wait for its effect.
  void Sync() {
    kb.Click(IDC_UNINSTALL_SYNC);
    kb.Sync();
  }
  bool Becomes(const std::function<bool()>& done, DWORD ms = 5000) const {
    return e2e::WaitUntil(
        [&] {
          try {
            return done();
          } catch (const e2e::DriverError&) {
            return false;
          }
        },
        ms);
  }
  void ExpectReport(const std::string& text) {
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(kReportCaption, box.caption);
    kb.Answer(box, IDOK);
  }
  void SelectAndAnswerYes(const std::string& line, int button) {
    const int index = IndexOf(line);
    ASSERT_GE(index, 0) << "no line " << e2e::Quote(line.substr(0, 60));
    kb.SelectListItem(IDC_UNINSTALL_LIST, index);
    kb.Click(button);
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_LE(box.text.size(), 255u) << "the question is cut to its buffer";
    kb.Answer(box, IDYES);
  }

  e2e::RegistryFixture reg;
  KeelbrookDriver kb;
};

TEST_F(HostileUninstall, DisplayNamesThatAreNoTextEndTheRefreshAtThatEntry) {
  const std::string bad = kUninstall + "\\KeelbrookE2E_HostileB";
  reg.SetString(HKEY_LOCAL_MACHINE, bad, "UninstallString", "x.exe");
  for (const Form& form : kWrongTypes) {
    SCOPED_TRACE(form.label);
    reg.SetValue(HKEY_LOCAL_MACHINE, bad, "DisplayName", form.type, form.bytes("Keelbrook E2E Hostile B"));
    const Dump before = Export();
    Sync();
    ExpectReport("Invalid data type for 'DisplayName'");
    EXPECT_TRUE(kb.NoMessageBoxFor(200));
    // Subkeys are taken in the order of their names: A before the bad one stays, C after it
    // never comes.
    EXPECT_GE(IndexOf("Keelbrook E2E Hostile A"), 0);
    EXPECT_EQ(-1, IndexOf("Keelbrook E2E Hostile C"));
    const auto diff = Differences(before, Export());
    EXPECT_TRUE(diff.empty()) << "a failed refresh wrote:" << Joined(diff);
  }

  // The same key with valid but odd display names: each is listed as its text, in place.
  int round = 0;
  for (const Form& form : kOddButValid) {
    SCOPED_TRACE(form.label);
    const std::string text = "Keelbrook E2E Hostile B";
    reg.SetValue(HKEY_LOCAL_MACHINE, bad, "DisplayName", form.type, form.bytes(text));
    // C is read after B: its new name on the list shows that this refresh has run to the end.
    const std::string after = "Keelbrook E2E Hostile C " + std::to_string(++round);
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_HostileC", "DisplayName", after);
    Sync();
    const std::string expected = form.shown(text);
    EXPECT_TRUE(Becomes([&] { return IndexOf(after) >= 0; })) << "the refresh did not finish";
    const int a = IndexOf("Keelbrook E2E Hostile A");
    ASSERT_GE(a, 0);
    const std::string line = kb.ListItem(IDC_UNINSTALL_LIST, a + 1);
    EXPECT_EQ(expected.size(), line.size());
    EXPECT_TRUE(expected == line) << "listed as " << e2e::Quote(line.substr(0, 80));
    EXPECT_TRUE(kb.NoMessageBoxFor(100));
  }

  // The 64 KB name in the removal question: cut, and the entry still found and removed.
  reg.SetValue(HKEY_LOCAL_MACHINE, bad, "DisplayName", REG_SZ, LongZ("Keelbrook E2E Hostile B"));
  Sync();
  ASSERT_TRUE(Becomes([&] { return IndexOf(Long("Keelbrook E2E Hostile B")) >= 0; }));
  const size_t before = Lines().size();
  SelectAndAnswerYes(Long("Keelbrook E2E Hostile B"), IDC_UNINSTALL_DELETE);
  EXPECT_TRUE(Becomes([&] { return Lines().size() == before - 1; }));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, bad));
  EXPECT_NE(-1, IndexOf("Keelbrook E2E Hostile C " + std::to_string(round)));
}

TEST_F(HostileUninstall, CommandsThatAreNoTextAreReportedAndNothingRuns) {
  Register("KeelbrookE2E_HostileB", "Keelbrook E2E Hostile B");
  Sync();
  ASSERT_TRUE(Becomes([&] { return IndexOf("Keelbrook E2E Hostile B") >= 0; }));
  const std::string key = kUninstall + "\\KeelbrookE2E_HostileB";
  for (const Form& form : kWrongTypes) {
    SCOPED_TRACE(form.label);
    reg.SetValue(HKEY_LOCAL_MACHINE, key, "UninstallString", form.type, form.bytes("KeelbrookNoSuchProgram.exe"));
    const Dump before = Export();
    SelectAndAnswerYes("Keelbrook E2E Hostile B", IDC_UNINSTALL_UNINSTALL);
    ExpectReport("Invalid data type for 'UninstallString'");
    EXPECT_TRUE(kb.NoMessageBoxFor(200));
    EXPECT_EQ(IndexOf("Keelbrook E2E Hostile B"), kb.ListSelection(IDC_UNINSTALL_LIST)) << "not refreshed";
    const auto diff = Differences(before, Export());
    EXPECT_TRUE(diff.empty()) << "a failed uninstall wrote:" << Joined(diff);
  }

  // "&Delete entry" reads the entry's display name again: a number there now is reported and
  // nothing is deleted.
  reg.SetString(HKEY_LOCAL_MACHINE, key, "UninstallString", "KeelbrookNoSuchProgram.exe");
  reg.SetDword(HKEY_LOCAL_MACHINE, key, "DisplayName", 5);
  Dump before = Export();
  SelectAndAnswerYes("Keelbrook E2E Hostile B", IDC_UNINSTALL_DELETE);
  ExpectReport("Invalid data type for 'DisplayName'");
  EXPECT_TRUE(kb.NoMessageBoxFor(200));
  EXPECT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, key));
  auto diff = Differences(before, Export());
  EXPECT_TRUE(diff.empty()) << "a failed deletion wrote:" << Joined(diff);
  reg.SetString(HKEY_LOCAL_MACHINE, key, "DisplayName", "Keelbrook E2E Hostile B");

  // Commands that read as text but start nothing: the user is told, and the list is read again.
  const Form* startsNothing[] = {&kOddButValid[1], &kOddButValid[2], &kOddButValid[3], &kOddButValid[4],
                                 &kOddButValid[7]};
  for (const Form* form : startsNothing) {
    SCOPED_TRACE(form->label);
    reg.SetValue(HKEY_LOCAL_MACHINE, key, "UninstallString", form->type, form->bytes("KeelbrookNoSuchProgram.exe"));
    before = Export();
    SelectAndAnswerYes("Keelbrook E2E Hostile B", IDC_UNINSTALL_UNINSTALL);
    kb.Answer(kb.WaitForMessageBox(), IDOK);
    EXPECT_TRUE(Becomes([&] { return kb.ListSelection(IDC_UNINSTALL_LIST) == -1 && IndexOf("Keelbrook E2E Hostile C") >= 0; }))
        << "the list was not read again";
    EXPECT_TRUE(kb.NoMessageBoxFor(200));
    diff = Differences(before, Export());
    EXPECT_TRUE(diff.empty()) << "an uninstall that started nothing wrote:" << Joined(diff);
  }

  // Commands that do run: one stored without its zero, one whose argument holds bytes above
  // 127, one of 64 KB. The fake uninstaller notes its command line's length in its marker and
  // removes its own registration; nothing else may change.
  const std::string program = "\"" + Backslashes(e2e::TestProgram("fake_uninstaller")) + "\"";
  struct Runs {
    const char* label;
    std::string marker;
    DWORD type;
    bool withZero;
    size_t padTo;  // 0: no padding
  };
  const Runs runs[] = {
      {"without its zero", TempFile("keelbrook_hostile_nozero"), REG_SZ, false, 0},
      {"bytes above 127", TempFile("keelbrook_hostile_caf\xe9\xff"), REG_EXPAND_SZ, true, 0},
      {"64 KB", TempFile("keelbrook_hostile_long"), REG_SZ, true, 65535},
  };
  for (const Runs& run : runs) {
    SCOPED_TRACE(run.label);
    DeleteFileA(run.marker.c_str());
    const std::string name = std::string("KeelbrookE2E_HostileRun");
    std::string command = program + " plain \"" + run.marker + "\" " + name + " 0";
    if (run.padTo) command += " " + std::string(run.padTo - 1 - command.size() - 1, 'p');
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + name, "DisplayName", "Keelbrook E2E Hostile Run");
    reg.SetValue(HKEY_LOCAL_MACHINE, kUninstall + "\\" + name, "UninstallString", run.type,
                 run.withZero ? WithZero(command) : command);
    Sync();
    ASSERT_TRUE(Becomes([&] { return IndexOf("Keelbrook E2E Hostile Run") >= 0; }));
    before = Export();
    SelectAndAnswerYes("Keelbrook E2E Hostile Run", IDC_UNINSTALL_UNINSTALL);
    if (run.padTo > 32767) kb.Answer(kb.WaitForMessageBox(), IDOK);  // past the longest command line
    EXPECT_TRUE(Becomes([&] { return kb.ListSelection(IDC_UNINSTALL_LIST) == -1 && IndexOf("Keelbrook E2E Hostile C") >= 0; },
                        15000))
        << "the list was not read again";
    EXPECT_TRUE(kb.NoMessageBoxFor(200));
    diff = Differences(before, Export());
    if (run.padTo > 32767) {
      // Past the longest command line the system starts: nothing runs, nothing is cut to fit.
      EXPECT_FALSE(FileExists(run.marker)) << "a 64 KB command was started";
      EXPECT_TRUE(diff.empty()) << "an uninstall that started nothing wrote:" << Joined(diff);
      EXPECT_GE(IndexOf("Keelbrook E2E Hostile Run"), 0);
    } else {
      const std::string noted = ReadAll(run.marker);
      EXPECT_NE(std::string::npos, noted.find("plain command-length " + std::to_string(command.size())))
          << "the uninstaller did not run with the whole command; it noted " << e2e::Quote(noted);
      EXPECT_EQ(-1, IndexOf("Keelbrook E2E Hostile Run")) << "the uninstaller removed its registration";
      std::vector<std::string> expected;
      for (const auto& [entry, value] : before)
        if (entry.rfind(kUninstall + "\\" + name + "\\", 0) == 0) expected.push_back("removed " + entry);
      EXPECT_EQ(expected, diff) << "only the uninstaller's own registration goes:" << Joined(diff);
    }
    DeleteFileA(run.marker.c_str());
  }
}

}  // namespace
