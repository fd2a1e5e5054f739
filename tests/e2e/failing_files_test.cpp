// File and process operations that fail under the real program: Send To entries that are
// read-only, locked by another process, gone behind the program's back or too long for a path;
// uninstallers that crash, cannot start, or hand over to a second program and end at once.
// Each must give the program's own message (or none), keep each page's two lists in step, and
// change the folder or the registry by exactly what the operation did.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"
#include "caller_trace.h"

#define ExpectFailure(...) KB_FROM_CALLER(CheckFailure(__VA_ARGS__))

namespace {

using e2e::KeelbrookDriver;
using Names = std::set<std::string>;

constexpr int kUninstallPage = 1;
constexpr int kSendToPage = 2;
const char kDeleteFailed[] = "There was a problem while deleting\nfrom the Send To list !";
const char kRenameFailed[] = "There was a problem while renaming the file !";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";


std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
  return wide;
}

// The wide functions, which take paths past MAX_PATH as they are.
bool ExistsW(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The Send To folder of the test, made where the program looks for it. What the test did not
// find there is removed at the end, whoever made it.
class SendToFolder {
 public:
  explicit SendToFolder(const std::string& path) : path_(path) {
    size_t pos = 0;
    while (pos != std::string::npos) {
      pos = path.find('\\', pos + 1);
      const std::string sofar = path.substr(0, pos);
      if (sofar.size() <= 3 || ExistsW(sofar)) continue;
      if (!CreateDirectoryA(sofar.c_str(), nullptr)) throw e2e::DriverError("cannot create " + sofar);
      made_.push_back(sofar);
    }
    before_ = List();
  }
  ~SendToFolder() {
    for (const std::string& name : List()) {
      if (before_.count(name)) continue;
      const std::wstring file = Wide(Path(name));
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(file.c_str());
    }
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
  }
  SendToFolder(const SendToFolder&) = delete;
  SendToFolder& operator=(const SendToFolder&) = delete;

  std::string Path(const std::string& name) const { return path_ + "\\" + name; }
  // Made through the wide functions, so that a name whose path passes MAX_PATH can be made.
  std::string Add(const std::string& name) {
    const std::string file = Path(name);
    if (ExistsW(file) || before_.count(name)) throw e2e::DriverError(file + " is in the way");
    HANDLE h = CreateFileW(Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw e2e::DriverError("cannot create " + file);
    DWORD written = 0;
    WriteFile(h, "[shortcut]\r\n", 12, &written, nullptr);
    CloseHandle(h);
    return file;
  }
  // The folder's entries, "." and ".." left out, with their sizes, read through the wide
  // functions so that long names are seen whole.
  Names List() const {
    Names names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Wide(path_ + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring w = fd.cFileName;
      if (w == L"." || w == L"..") continue;
      std::string n(w.size() * 2 + 1, '\0');
      n.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &n[0], static_cast<int>(n.size()), nullptr, nullptr) - 1));
      names.insert(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
  }

 private:
  std::string path_;
  std::vector<std::string> made_;
  Names before_;
};

// A process started by the test; killed by its id's handle when the test ends.
class Helper {
 public:
  explicit Helper(std::string command) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
      throw e2e::DriverError("cannot start " + command);
    CloseHandle(pi_.hThread);
  }
  ~Helper() { Kill(); }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;
  void Kill() {
    if (!pi_.hProcess) return;
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    pi_.hProcess = nullptr;
  }
  HANDLE Process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_ = {};
};

// Holds `path` open without sharing until killed.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    const std::string event = "keelbrook_e2e_hold_" + std::to_string(GetCurrentProcessId());
    ready_ = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    holder_ = std::make_unique<Helper>("\"" + Backslashes(e2e::TestProgram("file_holder")) + "\" \"" + path + "\" " + event);
    HANDLE both[] = {ready_, holder_->Process()};
    if (WaitForMultipleObjects(2, both, FALSE, 10000) != WAIT_OBJECT_0)
      throw e2e::DriverError("the file holder did not take " + path);
  }
  ~FileLock() {
    holder_.reset();
    CloseHandle(ready_);
  }
  void Release() { holder_->Kill(); }

 private:
  HANDLE ready_ = nullptr;
  std::unique_ptr<Helper> holder_;
};

class FailingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::make_unique<SendToFolder>(e2e::XpSendToFolder());
    for (const char* name : {"Good.lnk", "ReadOnly.lnk", "ReadOnlyToo.lnk", "Held.lnk", "Vanish.lnk", "VanishToo.lnk"})
      folder->Add(name);
    // Its full path passes MAX_PATH, although the name alone is a valid one.
    longName = std::string(250 - 4, 'L') + ".lnk";
    folder->Add(longName);
    for (const char* name : {"ReadOnly.lnk", "ReadOnlyToo.lnk"})
      ASSERT_TRUE(SetFileAttributesA(folder->Path(name).c_str(), FILE_ATTRIBUTE_READONLY));
    kb.SetWindowsVersion("winxp");
    kb.Start();
    kb.SwitchTab(kSendToPage);
  }

  std::vector<std::string> Shown() const { return kb.ListItems(IDC_SENDTO_LIST); }
  int IndexOf(const std::string& line) const {
    const auto lines = Shown();
    auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
  }
  void Select(const std::string& line) {
    const int index = IndexOf(line);
    if (index < 0) throw e2e::DriverError("no line " + e2e::Quote(line.substr(0, 60)));
    kb.SelectListItem(IDC_SENDTO_LIST, index);
  }
  e2e::MessageBoxInfo Box(const std::string& text, const std::string& caption, int answer) {
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(kb.MainWindow(), box.owner);
    kb.Answer(box, answer);
    return box;
  }
  // "&Remove" on the line, answered Yes.
  void Remove(const std::string& line) {
    Select(line);
    kb.Click(IDC_SENDTO_REMOVE);
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ("Confirm", box.caption);
    EXPECT_LE(box.text.size(), 255u);
    kb.Answer(box, IDYES);
  }
  // "&Edit..." on the line, the new name typed and OK pressed.
  void Rename(const std::string& line, const std::string& name) {
    Select(line);
    kb.Click(IDC_SENDTO_EDIT);
    HWND edit = nullptr;
    e2e::WaitUntil(
        [&] {
          HWND focused = kb.FocusedWindow();
          if (focused && GetDlgCtrlID(focused) == IDC_INPUT_EDIT) edit = focused;
          return edit != nullptr;
        },
        5000);
    if (!edit) throw e2e::DriverError("the input dialog did not come");
    kb.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    kb.Post(GetDlgItem(GetParent(edit), IDOK), BM_CLICK, 0, 0);
  }
  // A failed operation: its message, and neither the list nor the folder changed.
  void CheckFailure(const std::function<void()>& action, const char* message) {
    const auto lines = Shown();
    const Names files = folder->List();
    action();
    Box(message, "Keelbrook", IDOK);
    EXPECT_TRUE(kb.NoMessageBoxFor(150));
    EXPECT_EQ(lines, Shown());
    EXPECT_EQ(files, folder->List());
  }
  // A removal that worked: exactly that line and exactly its file are gone.
  void ExpectRemoved(const std::string& line, const std::string& file) {
    auto lines = Shown();
    Names files = folder->List();
    const int index = IndexOf(line);
    Remove(line);
    lines.erase(lines.begin() + index);
    files.erase(file);
    EXPECT_TRUE(e2e::WaitUntil([&] { return Shown() == lines; }, 3000)) << "the line of " << file << " did not go";
    EXPECT_EQ(files, folder->List());
    EXPECT_TRUE(kb.NoMessageBoxFor(100));
  }

  std::unique_ptr<SendToFolder> folder;  // outlives the program
  std::string longName;
  KeelbrookDriver kb;
};

TEST_F(FailingFiles, SendToEntriesThatCannotBeChangedKeepTheirLines) {
  const std::string longLine = longName.substr(0, longName.find('.'));
  ASSERT_NE(-1, IndexOf(longLine)) << "an entry whose path passes MAX_PATH is still listed";
  ASSERT_GT(folder->Path(longName).size(), static_cast<size_t>(MAX_PATH));
  const size_t count = Shown().size();

  // Read-only: the system refuses to delete it.
  ExpectFailure([&] { Remove("ReadOnly"); }, kDeleteFailed);

  // Gone behind the program's back: neither delete nor rename finds it.
  ASSERT_TRUE(DeleteFileA(folder->Path("Vanish.lnk").c_str()));
  ASSERT_TRUE(DeleteFileA(folder->Path("VanishToo.lnk").c_str()));
  ExpectFailure([&] { Remove("Vanish"); }, kDeleteFailed);
  ExpectFailure([&] { Rename("VanishToo", "Back"); }, kRenameFailed);

  // Past MAX_PATH: the ANSI path is refused by delete, and a rename would not fit its buffer.
  ExpectFailure([&] { Remove(longLine); }, kDeleteFailed);
  ExpectFailure([&] { Rename(longLine, "Short"); }, kRenameFailed);
  EXPECT_TRUE(ExistsW(folder->Path(longName)));

  // Locked by another process without sharing: Wine enforces the share mode for the delete
  // and for the rename, as Windows does.
  {
    FileLock lock(folder->Path("Held.lnk"));
    ExpectFailure([&] { Remove("Held"); }, kDeleteFailed);
    ExpectFailure([&] { Rename("Held", "Free"); }, kRenameFailed);
    lock.Release();
    // Once the lock is gone the same line works: it still stands for its own file.
    ExpectRemoved("Held", "Held.lnk");
  }

  // A read-only file may still be renamed; the line and its path follow it.
  {
    const auto before = Shown();
    const int index = IndexOf("ReadOnlyToo");
    Rename("ReadOnlyToo", "Renamed");
    ASSERT_TRUE(e2e::WaitUntil([&] { return Shown().at(static_cast<size_t>(index)) == "Renamed"; }, 3000))
        << (kb.FindMessageBox() ? kb.FindMessageBox()->Describe() : "no box");
    Names expected = folder->List();
    EXPECT_TRUE(expected.count("Renamed.lnk"));
    EXPECT_FALSE(expected.count("ReadOnlyToo.lnk"));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, GetFileAttributesA(folder->Path("Renamed.lnk").c_str()) & FILE_ATTRIBUTE_READONLY);
  }

  // After all these, every line still stands for its own file.
  EXPECT_EQ(count - 1, Shown().size());
  ExpectRemoved("Good", "Good.lnk");
  ASSERT_TRUE(SetFileAttributesA(folder->Path("ReadOnly.lnk").c_str(), FILE_ATTRIBUTE_NORMAL));
  ExpectRemoved("ReadOnly", "ReadOnly.lnk");
  kb.PostClose();
  EXPECT_EQ(0u, kb.WaitForExit());
}

// ---------------------------------------------------------------------------------------------
// Uninstallers that fail.

using Dump = std::map<std::string, std::string>;

Dump ExportUninstall() {
  Dump out;
  for (const std::string& key : e2e::SubkeyNames(HKEY_LOCAL_MACHINE, kUninstall)) {
    out[key + "\\"] = "key";
    for (const std::string& name : e2e::ValueNames(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key)) {
      auto v = e2e::ReadValue(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, name);
      out[key + "\\" + name] = v ? std::to_string(v->type) + ":" + v->data : "?";
    }
  }
  return out;
}

std::vector<std::string> Changes(const Dump& before, const Dump& after) {
  std::vector<std::string> diff;
  for (const auto& [name, value] : before)
    if (!after.count(name)) diff.push_back("removed " + name);
    else if (after.at(name) != value) diff.push_back("changed " + name);
  for (const auto& [name, value] : after)
    if (!before.count(name)) diff.push_back("added " + name);
  return diff;
}

// The changes that the removal of one registration with its two values makes.
std::vector<std::string> RemovedRegistration(const std::string& key) {
  return {"removed " + key + "\\", "removed " + key + "\\DisplayName", "removed " + key + "\\UninstallString"};
}

std::string Marker(const std::string& stem) {
  char dir[MAX_PATH] = "";
  GetTempPathA(sizeof dir, dir);
  const std::string path = std::string(dir) + "keelbrook_" + stem + "_" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(path.c_str());
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FailingUninstallers : public ::testing::Test {
 protected:
  void Register(const std::string& key, const std::string& display, const std::string& command) {
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", display);
    reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString", command);
  }
  std::vector<std::string> Lines() const { return kb.ListItems(IDC_UNINSTALL_LIST); }
  int IndexOf(const std::string& line) const {
    const auto lines = Lines();
    auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
  }
  // "&Uninstall" on the line, answered Yes (and OK to the box that tells of a failed start);
  // returns once the program answers again and the list has been read again (a refresh clears
  // the selection).
  void Uninstall(const std::string& line, bool startFails = false) {
    const int index = IndexOf(line);
    if (index < 0) throw e2e::DriverError("no line " + line);
    kb.SelectListItem(IDC_UNINSTALL_LIST, index);
    kb.Click(IDC_UNINSTALL_UNINSTALL);
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ("Are you sure you want to\nuninstall " + line + " ?", box.text);
    kb.Answer(box, IDYES);
    if (startFails) kb.Answer(kb.WaitForMessageBox(), IDOK);
    const bool refreshed = e2e::WaitUntil(
        [&] {
          try {
            return kb.ListSelection(IDC_UNINSTALL_LIST) == -1;
          } catch (const e2e::DriverError&) {
            return false;  // still waiting for the uninstaller
          }
        },
        20000, 100);
    EXPECT_TRUE(refreshed) << "the list was not read again";
    EXPECT_TRUE(kb.NoMessageBoxFor(200));
  }

  e2e::RegistryFixture reg;
  KeelbrookDriver kb;
};

TEST_F(FailingUninstallers, CrashedMissingAndHandedOverUninstallersLeaveTheListInStep) {
  reg.Protect(HKEY_LOCAL_MACHINE, kUninstall);
  const std::string crashMarker = Marker("crash"), spawnMarker = Marker("spawn"), checkMarker = Marker("check");
  const std::string fake = "\"" + Backslashes(e2e::TestProgram("fake_uninstaller")) + "\"";
  Register("KeelbrookE2E_Fail_Crash", "Keelbrook E2E Crash",
           "\"" + Backslashes(e2e::TestProgram("crash_uninstaller")) + "\" \"" + crashMarker + "\"");
  Register("KeelbrookE2E_Fail_Missing", "Keelbrook E2E Missing", "C:\\keelbrook-nowhere\\uninst.exe /S");
  Register("KeelbrookE2E_Fail_Spawn", "Keelbrook E2E Spawn",
           fake + " spawn \"" + spawnMarker + "\" KeelbrookE2E_Fail_Spawn 1500");
  kb.SetWindowsVersion("winxp");
  kb.Start();
  kb.SwitchTab(kUninstallPage);
  const auto lines = Lines();

  // A crash ends the wait like any end; the registration it left stays listed.
  Dump before = ExportUninstall();
  Uninstall("Keelbrook E2E Crash");
  EXPECT_NE(std::string::npos, ReadAll(crashMarker).find("crash started")) << "the crashing uninstaller did not run";
  EXPECT_EQ(lines, Lines());
  EXPECT_TRUE(Changes(before, ExportUninstall()).empty());

  // A program that is not there: nothing to wait for, the user told, the list read again.
  Uninstall("Keelbrook E2E Missing", true);
  EXPECT_EQ(lines, Lines());
  EXPECT_TRUE(Changes(before, ExportUninstall()).empty());

  // Handing over to a second program ends the wait at once; that program removes the
  // registration later, and only that.
  Uninstall("Keelbrook E2E Spawn");
  EXPECT_EQ(lines, Lines()) << "the second program has not removed anything yet";
  ASSERT_TRUE(e2e::WaitUntil([&] { return ReadAll(spawnMarker).find("late removed") != std::string::npos; }, 10000));
  e2e::WaitUntil([&] { return ReadAll(spawnMarker).find("late ended") != std::string::npos; }, 5000);
  EXPECT_EQ(RemovedRegistration("KeelbrookE2E_Fail_Spawn"), Changes(before, ExportUninstall()));

  // Each line still stands for its own registration: the crash line now runs a command that
  // removes exactly its key.
  reg.SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\KeelbrookE2E_Fail_Crash", "UninstallString",
                fake + " plain \"" + checkMarker + "\" KeelbrookE2E_Fail_Crash 0");
  before = ExportUninstall();
  Uninstall("Keelbrook E2E Crash");
  EXPECT_EQ(-1, IndexOf("Keelbrook E2E Crash"));
  EXPECT_EQ(-1, IndexOf("Keelbrook E2E Spawn")) << "the refresh shows what the second program removed";
  EXPECT_NE(-1, IndexOf("Keelbrook E2E Missing"));
  EXPECT_EQ(lines.size() - 2, Lines().size());
  EXPECT_EQ(RemovedRegistration("KeelbrookE2E_Fail_Crash"), Changes(before, ExportUninstall()));
  kb.PostClose();
  EXPECT_EQ(0u, kb.WaitForExit());
  for (const std::string& m : {crashMarker, spawnMarker, checkMarker}) DeleteFileA(m.c_str());
}

}  // namespace
