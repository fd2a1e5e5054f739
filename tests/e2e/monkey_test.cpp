// A seeded monkey: random actions a user can make, sent to the real program, and after every
// batch of them what must still hold. The short run is part of the suite; tools/soak.sh runs the
// long one (KB_SOAK_SEED, KB_SOAK_ACTIONS). A failure names the seed, the action and the last 30
// actions; the same seed and number of actions replay it.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <deque>
#include <map>
#include <random>
#include <set>

#include "app/win32/resource.h"
#include "e2e/driver.h"
#include "e2e/window_search.h"

namespace {

using e2e::DriverError;
using e2e::KeelbrookDriver;
using Lines = std::vector<std::string>;

const char* const kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char* const kVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kSetupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char* const kNtVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kComputerName = "SYSTEM\\CurrentControlSet\\Control\\ComputerName";

// The settings "Sys Info" shows and may write back.
const struct {
  const char* key;
  const char* value;
} kSettings[] = {{kVersionKey, "ProgramFilesDir"},     {kVersionKey, "CommonFilesDir"},
                 {kVersionKey, "WallPaperDir"},        {kVersionKey, "DevicePath"},
                 {kVersionKey, "RegisteredOwner"},     {kVersionKey, "RegisteredOrganization"},
                 {kSetupKey, "SourcePath"},            {kNtVersionKey, "RegisteredOwner"},
                 {kNtVersionKey, "RegisteredOrganization"}, {kNtVersionKey, "SourcePath"},
                 {kVersionKey, "ProgramFilesPath"},    {kVersionKey, "CommonFilesPath"}};

// A run under a double-byte code page (tools/soak.sh runs a third of the long run under 932, as a
// Japanese system): its names and texts hold characters whose second byte is a backslash or a bar.
bool DoubleByte() { return GetACP() == 932; }

// Texts a user might type or a registry might hold: empty, short, long, bytes above 127; in code
// page 932 "C:\ソフト\十", "表示" and " spaced ポ" instead, typed there as plain ASCII: under Wine
// no character above 127 types into the program in that code page (README).
const char* const kTexts[3][6] = {
    {"", "Ann", "C:\\Program Files", "Caf\xe9 \xfc\xdf", "a.b.c", " spaced "},
    {"", "Ann", "C:\\\x83\x5c\x83\x74\x83\x67\\\x8f\x5c", "\x95\x5c\x8e\xa6", "a.b.c", " spaced \x83\x7c"},
    {"", "Ann", "C:\\Program Files", "Sys\\Set", "a.b.c", " spaced "}};
std::string Pick(std::mt19937& rng, size_t n = 0, bool typed = false) {
  const size_t i = rng() % (std::size(kTexts[0]) + 1);
  return i < std::size(kTexts[0]) ? kTexts[DoubleByte() * (1 + typed)][i] : std::string(n ? n : 200 + rng() % 200, 'x');
}

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
  return out;
}

std::string Joined(const Lines& lines) {
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : ", ") + e2e::Quote(line);
  return "[" + out + "]";
}

// Every value under a key, as "key|name" = "type:bytes", for a before-and-after comparison. The
// depth is bounded because a registry link may lead back up the tree.
void Dump(HKEY root, const std::string& path, std::map<std::string, std::string>& out, int depth = 0) {
  if (depth > 12) return;
  for (const std::string& name : e2e::ValueNames(root, path))
    if (const auto value = e2e::ReadValue(root, path, name))
      out[e2e::RootName(root) + "\\" + path + "|" + name] = std::to_string(value->type) + ":" + Hex(value->data);
  for (const std::string& sub : e2e::SubkeyNames(root, path))
    // Not the file classes (thousands of keys the program never touches), nor the 32-bit view,
    // a link back into the key itself.
    if (_stricmp(sub.c_str(), "Classes") != 0 && _stricmp(sub.c_str(), "Wow6432Node") != 0)
      Dump(root, path + "\\" + sub, out, depth + 1);
}

// The names a folder holds, in the file system's order; with `all`, sub-folders and their files
// too (as "sub\\name"=size), else only the entries the "Send to" page lists.
void List(const std::string& folder, bool all, std::map<std::string, std::string>* tree, Lines* names) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (names && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names->push_back(name);
    if (!all) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      List(folder + "\\" + name, true, tree, nullptr);
    else
      (*tree)[folder + "\\" + name] = std::to_string(found.nFileSizeLow);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// Removes a folder with all it holds, quietly: what a run cut short (killed, timed out) left behind.
std::string Removed(const std::string& folder) {
  std::string from = folder + '\0';
  SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI};
  SHFileOperationA(&op);
  return folder;
}

// A folder that was there before is kept aside for the run and put back after it: the program
// may remove or rename any entry it lists.
struct SetAside {
  explicit SetAside(std::string folder) : path(std::move(folder)) {
    // A run cut short left the user's folder aside and its own in its place: the user's comes back first.
    if (e2e::Exists(path + ".saved")) MoveFileA((Removed(path) + ".saved").c_str(), path.c_str());
    MoveFileA(path.c_str(), (path + ".saved").c_str());
  }
  ~SetAside() { MoveFileA((path + ".saved").c_str(), path.c_str()); }
  std::string path;
};

std::string DisplayNameOf(const std::string& name) { return name.substr(0, name.find('.')); }

// The registry, Send To folder and files of one run, made from the seed and put back at the end.
class Fixture {
 public:
  Fixture(std::mt19937& rng, const std::string& version)
      : folder_(Removed("C:\\monkey")),
        saved_(version == "win98" ? e2e::WindowsDir() + "\\SendTo" : e2e::XpSendToFolder()),
        sendTo_(saved_.path) {
    // In code page 932: 表示.lnk and ソフト.exe to add, 十字.txt and メモ表 (no extension) listed.
    const char* const picks[2][5] = {
        {"Editor.lnk", "Tool.exe", "Floppy.lnk", "Long name with spaces.txt", "\xdcn\xef.exe"},
        {"Editor.lnk", "Tool.exe", "Floppy.lnk", "\x95\x5c\x8e\xa6.lnk", "\x83\x5c\x83\x74\x83\x67.exe"}};
    const char* const entries[2][7] = {
        {"Desktop.lnk", "Mail Recipient.MAPIMail", "Floppy.lnk", "Floppy.pif", "My.Tools.lnk", "Notes", "Caf\xe9.txt"},
        {"Desktop.lnk", "Mail Recipient.MAPIMail", "Floppy.lnk", "\x8f\x5c\x8e\x9a.txt", "My.Tools.lnk", "Notes",
         "\x83\x81\x83\x82\x95\x5c"}};
    for (const char* name : picks[DoubleByte()]) picks_.push_back(folder_.Add(name, name)), given_.insert(name);
    for (const char* name : entries[DoubleByte()])
      if (rng() % 3) sendTo_.Add(name, name), given_.insert(name);
    SetFileAttributesA(sendTo_.Add("desktop.ini", "[.ShellClassInfo]").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    given_.insert("desktop.ini");
    CreateDirectoryA(sendTo_.Path("Sub").c_str(), nullptr);

    reg_.Protect(HKEY_LOCAL_MACHINE, kComputerName);
    // The "...Path" names, taken before the "...Dir" ones where they exist, are there half the time.
    for (const auto& s : kSettings)
      if (!strstr(s.value, "FilesPath") || rng() % 2) reg_.SetString(HKEY_LOCAL_MACHINE, s.key, s.value, Pick(rng, 250));
      else reg_.DeleteValue(HKEY_LOCAL_MACHINE, s.key, s.value);
    reg_.DeleteTree(HKEY_CURRENT_USER, kRunMru);
    for (const char* name : {"a", "b", "MRUList"}) reg_.SetString(HKEY_CURRENT_USER, kRunMru, name, "notepad\\1");
    reg_.DeleteTree(HKEY_LOCAL_MACHINE, kUninstall);
    reg_.CreateKey(HKEY_LOCAL_MACHINE, kUninstall);
    for (int i = 0, n = 3 + rng() % 6; i < n; ++i) AddProgram(rng, i);
  }
  const std::string& SendTo() const { return sendTo_.Path(); }
  const Lines& Picks() const { return picks_; }
  // The names of the Send To entries and of the files to add, whole.
  const std::set<std::string>& Given() const { return given_; }
  // What may change: the fixture's keys, values and folders, Wine's own settings, and the file
  // dialog's memory of the folders and files it was shown.
  bool Owned(const std::string& where) const {
    for (const std::string& key : {std::string(kUninstall), std::string(kRunMru), std::string("Software\\Wine"),
                                   std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32")})
      if (where.find("\\" + key + "\\") != std::string::npos || where.find("\\" + key + "|") != std::string::npos) return true;
    for (const auto& s : kSettings)
      if (where == "HKEY_LOCAL_MACHINE\\" + std::string(s.key) + "|" + s.value) return true;
    return where.rfind(sendTo_.Path(), 0) == 0 || where.rfind(folder_.Path(), 0) == 0;
  }
  // The error reports that hostile values must give.
  const std::set<std::string>& Expected() const { return expected_; }

 private:
  void AddProgram(std::mt19937& rng, int i) {
    std::string key = (DoubleByte() ? "Monkey\x95\x5c" : "Monkey") + std::to_string(i);  // Monkey表
    if (rng() % 2) key[0] = 'm';
    const std::string path = std::string(kUninstall) + "\\" + key;
    reg_.CreateKey(HKEY_LOCAL_MACHINE, path);
    const unsigned kind = rng() % 16;
    if (kind == 0) {
      reg_.SetBinary(HKEY_LOCAL_MACHINE, path, "DisplayName", "\x01\x02");
      expected_.insert("Invalid data type for 'DisplayName'");
    } else if (kind != 1) {
      reg_.SetString(HKEY_LOCAL_MACHINE, path, "DisplayName", kind == 2 ? std::string(230, 'n') : "Program " + Pick(rng, 20));
    }
    const std::string command = e2e::TestProgram("fake_uninstaller") + (rng() % 2 ? " plain " : " window ") +
                                folder_.Path("marker.txt") + " " + key + " " + std::to_string(rng() % 600);
    if (kind == 3) {
      reg_.SetDword(HKEY_LOCAL_MACHINE, path, "UninstallString", 7);
      expected_.insert("Invalid data type for 'UninstallString'");
    } else if (kind != 4) {
      reg_.SetString(HKEY_LOCAL_MACHINE, path, "UninstallString", kind == 5 ? "C:\\nowhere\\none.exe" : command);
    }
  }

  e2e::RegistryFixture reg_;
  e2e::ScratchFolder folder_;  // the files to pick, and the uninstallers' marker
  SetAside saved_;
  e2e::ScratchFolder sendTo_;
  Lines picks_;
  std::set<std::string> given_, expected_;
};

// The Uninstall page's lines as the registry gives them: subkeys in the user's collation without
// case, those with both values, up to a display name that is not a string.
Lines ExpectedPrograms() {
  Lines keys = e2e::SubkeyNames(HKEY_LOCAL_MACHINE, kUninstall), lines;
  std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  });
  for (const std::string& key : keys) {
    const std::string path = std::string(kUninstall) + "\\" + key;
    if (!e2e::ValueExists(HKEY_LOCAL_MACHINE, path, "UninstallString")) continue;
    const auto name = e2e::ReadValue(HKEY_LOCAL_MACHINE, path, "DisplayName");
    if (!name) continue;
    if (name->type != REG_SZ && name->type != REG_EXPAND_SZ) break;
    lines.push_back(name->Text());
  }
  return lines;
}

// A key a user types: with `vk` 0 the characters of `text`, else Backspace, Home, End or an arrow,
// with Shift held or not.
struct Stroke {
  WORD vk;
  bool shift;
  std::string text;
  std::string Describe() const {
    static const std::map<WORD, const char*> kNames = {
        {VK_BACK, "Backspace"}, {VK_HOME, "Home"}, {VK_END, "End"}, {VK_LEFT, "Left"}, {VK_RIGHT, "Right"}};
    return vk ? (shift ? "Shift+" : "") + std::string(kNames.at(vk)) : e2e::Quote(text.substr(0, 40));
  }
};

// What a one-line field holds after the strokes, as the system's edit control follows them, and
// its selection as EM_GETSEL gives it to the program (in bytes of the code page, from its low end):
// the caret and the other end move by characters (a double-byte one is one). The first stroke is
// Home or End, which puts the caret where it is known.
struct Field {
  std::string text;
  LRESULT selection;
};
Field Follow(const std::string& before, const std::vector<Stroke>& strokes) {
  std::wstring text = e2e::Wide(before);
  size_t caret = 0, anchor = 0;
  for (const Stroke& k : strokes) {
    const size_t from = std::min(caret, anchor), to = std::max(caret, anchor);
    if (k.vk == 0 || (k.vk == VK_BACK && from != to)) {
      const std::wstring typed = e2e::Wide(k.text);
      text.replace(from, to - from, typed);
      caret = anchor = from + typed.size();
      continue;
    }
    if (k.vk == VK_BACK && caret > 0) text.erase(--caret, 1);
    if (k.vk == VK_HOME || k.vk == VK_END) caret = k.vk == VK_HOME ? 0 : text.size();
    if (k.vk == VK_LEFT && caret > 0) --caret;
    if (k.vk == VK_RIGHT && caret < text.size()) ++caret;
    if (!k.shift) anchor = caret;
  }
  const auto bytes = [&](size_t at) { return static_cast<WORD>(e2e::Narrow(text.substr(0, at)).size()); };
  return {e2e::Narrow(text), MAKELRESULT(bytes(std::min(caret, anchor)), bytes(std::max(caret, anchor)))};
}

// The start of every text a box of the program may show.
const char* const kKnownBoxes[] = {
    "Are you sure you want to", "There was an error while accessing the registry !", "There was a problem wh",
    "List index out of bounds (", "Do you want to save the changes made ?", "Certain changes were made",
    "The specified file was not found"};

const int kButtons[][5] = {{IDC_SYSINFO_SET, IDC_SYSINFO_EXIT},
                           {IDC_UNINSTALL_CLEARRUN, IDC_UNINSTALL_CLEARDOCS, IDC_UNINSTALL_DELETE,
                            IDC_UNINSTALL_UNINSTALL, IDC_UNINSTALL_SYNC},
                           {IDC_SENDTO_ADD, IDC_SENDTO_EDIT, IDC_SENDTO_REMOVE},
                           {IDC_OPTIMISE_WINALIGN, IDC_OPTIMISE_SCANDISK, IDC_OPTIMISE_DEFRAG},
                           {},
                           {IDC_ABOUT_CLOSE}};
const WORD kKeys[] = {VK_RETURN, VK_ESCAPE, VK_F5, VK_F2, VK_DELETE, VK_TAB, VK_SPACE};
const WORD kMnemonics[] = {'S', 'E', 'R', 'C', 'D', 'U', 'A', 'W'};

class Monkey {
 public:
  Monkey(unsigned seed, std::string version, std::string exe = "")
      : seed_(seed), version_(std::move(version)), rng_(seed), kb_(exe) {}

  // `actions` actions, the invariants checked every `batch` of them; returns how many checks ran.
  int Run(int actions, int batch = 20) {
    Fixture fixture(rng_, version_);
    fixture_ = &fixture;
    kb_.SetWindowsVersion(version_);
    std::map<std::string, std::string> before = Outside();
    if (before.size() < 1000) Fail("only " + std::to_string(before.size()) + " values and files to compare");
    Guarded([&] { StartAndCompare(); });
    int checks = 0;
    for (action_ = 1; action_ <= actions; ++action_) {
      Guarded([&] { Act(); });
      if (action_ % batch == 0 || action_ == actions) Guarded([&] { Check(); }), ++checks;
    }
    Guarded([&] { Quiesce(); });
    Guarded([&] {
      if (kb_.Running()) kb_.PostClose();
      // Closing may ask "Save ?", however late on a slow machine (an emulated one asked after
      // the 0.3 s once given): each box is answered No and gone before the next is looked for.
      for (int box = 0; box < 3; ++box) {
        std::optional<e2e::MessageBoxInfo> open;
        e2e::WaitUntil([&] { return !kb_.Running() || (open = kb_.FindMessageBox()).has_value(); }, 10000);
        if (!open) break;
        kb_.Post(open->hwnd, WM_COMMAND, IDNO, 0);
        e2e::WaitUntil([&] { return !IsWindow(open->hwnd); }, 10000);
      }
      if (kb_.WaitForExit() != 0) Fail("the program did not end well when closed");
    });
    std::map<std::string, std::string> after = Outside();
    for (const auto& [where, what] : before)
      if (after.count(where) == 0 || after[where] != what) Fail("changed or gone outside the fixture: " + e2e::Quote(where));
    for (const auto& [where, what] : after)
      if (before.count(where) == 0) Fail("new outside the fixture: " + e2e::Quote(where));
    return checks + 1;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    std::string text = "seed " + std::to_string(seed_) + ", " + version_ + (DoubleByte() ? " (code page 932)" : "") +
                       ", action " + std::to_string(action_) + ": " + what + "\nopen then:";
    // Every window the user could see then, in z-order: which was in front, which took input.
    char line[160], caption[64], cls[32];
    for (HWND hwnd : window_search::TopLevelWindowsOf(kb_.ProcessId()))
      if (IsWindowVisible(hwnd) && GetWindowTextA(hwnd, caption, sizeof caption) >= 0 &&
          GetClassNameA(hwnd, cls, sizeof cls) >= 0) {
        std::snprintf(line, sizeof line, "\n  %p %s \"%s\"%s owner %p", static_cast<void*>(hwnd), cls, caption,
                      IsWindowEnabled(hwnd) ? "" : " disabled", static_cast<void*>(GetWindow(hwnd, GW_OWNER)));
        text += line;
      }
    text += "\nlast actions:";
    for (const std::string& a : last_) text += "\n  " + a;
    throw DriverError(text);
  }
  // Every driver error names the seed and the actions that led to it.
  template <typename Step>
  void Guarded(Step step) {
    try {
      step();
    } catch (const DriverError& e) {
      if (std::string(e.what()).rfind("seed ", 0) == 0) throw;
      Fail(e.what());
    }
  }
  void Note(const std::string& what) {
    const std::string line = std::to_string(action_) + " " + what;
    // The same dialog answered again and again within one action (one that does not close) is
    // one line: the first answer and the last.
    const size_t colon = line.find(':');
    if (colon != std::string::npos && !last_.empty() && last_.back().rfind(line.substr(0, colon + 1), 0) == 0) {
      last_.back() = last_.back().substr(0, last_.back().find(" ... ")) + " ... " + what;
      return;
    }
    last_.push_back(line);
    if (last_.size() > 30) last_.pop_front();
  }
  int Below(int n) { return n > 0 ? static_cast<int>(rng_() % n) : 0; }

  std::map<std::string, std::string> Outside() const {
    std::map<std::string, std::string> all, outside;
    Dump(HKEY_LOCAL_MACHINE, "SOFTWARE", all);
    Dump(HKEY_CURRENT_USER, "Software", all);
    // Not the profile folders: Wine links the desktop and documents to the host's home.
    List(e2e::WindowsDir(), true, &all, nullptr);
    List("C:\\Program Files", true, &all, nullptr);
    for (const auto& entry : all)
      if (!fixture_->Owned(entry.first) && entry.first.find("\\Temp\\") == std::string::npos) outside.insert(entry);
    return outside;
  }

  // Started afresh, the program lists exactly what the registry and the Send To folder hold.
  void StartAndCompare() {
    // An error report that a hostile value gives while the window is made comes before it, and
    // ends the creation there: the Send To folder is not listed then.
    partial_ = false;
    for (;; partial_ = true) {
      try {
        partial_ ? kb_.WaitForMainWindow() : kb_.Start();
        break;
      } catch (const DriverError&) {
        const auto box = kb_.FindMessageBox();
        if (!box || !fixture_->Expected().count(box->text)) throw;
        kb_.Answer(*box, box->ButtonIds().front());
      }
    }
    samples_.clear();
    Lines names, lines;
    List(fixture_->SendTo(), false, nullptr, &names);
    for (const std::string& n : names) lines.push_back(DisplayNameOf(n));
    if (partial_) lines.clear();
    const Lines shown = kb_.ListItems(IDC_SENDTO_LIST);
    if (shown != lines)
      Fail("the Send To list at start is not the folder's: " + Joined(shown) + " for " + Joined(lines));
    CheckPrograms();
  }

  void CheckPrograms() {
    const Lines shown = kb_.ListItems(IDC_UNINSTALL_LIST), expected = ExpectedPrograms();
    if (shown != expected)
      Fail("the Uninstall list is not the registry's: " + Joined(shown) + " for " + Joined(expected));
  }

  // The Send To lines and the files stay one to one: a line shows its file's name up to the first
  // dot, or, after a rename, the name typed before the extension.
  void CheckSendTo() {
    Lines files, lines = kb_.ListItems(IDC_SENDTO_LIST);
    List(fixture_->SendTo(), false, nullptr, &files);
    if (files.size() != lines.size() && !partial_)  // else it holds only the lines added since
      Fail(std::to_string(lines.size()) + " Send To lines for " + std::to_string(files.size()) + " files");
    for (int pass = 0; pass < 2; ++pass)
      for (std::string& line : lines)
        for (std::string& file : files) {
          const size_t dot = file.rfind('.');
          const bool typed = dot != std::string::npos && file.substr(0, dot) == line;
          if (!line.empty() && line[0] == '\1') break;
          if (!file.empty() && file[0] != '\1' && (pass == 0 ? typed : DisplayNameOf(file) == line)) {
            line = file = "\1";
            break;
          }
        }
    for (const std::string& line : lines)
      if (line != "\1") Fail("the Send To line " + e2e::Quote(line) + " has no file of its own");
    // Every file bears a name a user gave whole: an entry's, a file's added, or a typed new name
    // before an extension. A name cut in the middle of a character (after a trail byte 0x5C) is none.
    Lines names;
    List(fixture_->SendTo(), false, nullptr, &names);
    for (const std::string& file : names)
      if (!fixture_->Given().count(file) && !renamed_.count(file.substr(0, file.rfind('.'))))
        Fail("the Send To entry " + e2e::Quote(file) + " bears a name nobody gave");
  }

  // Boxes must say what the program says; an error report only what the fixture's values give.
  void Screen(const e2e::MessageBoxInfo& box) {
    if (fixture_->Expected().count(box.text)) return;
    for (const char* known : kKnownBoxes)
      if (box.text.rfind(known, 0) == 0) return;
    Fail("unexpected " + box.Describe());
  }

  HWND FileDialog() const { return e2e::ShownWindow(kb_, "Select a file..."); }
  HWND InputDialog() const { return e2e::ShownInputDialog(kb_); }

  // Answers the box or dialog in front that takes input, as a user would; false when none is
  // open. `safely` cancels.
  bool Answer(bool safely) {
    HWND file = FileDialog(), input = InputDialog();
    const std::vector<e2e::MessageBoxInfo> boxes = kb_.MessageBoxes();
    for (HWND hwnd : window_search::TopLevelWindowsOf(kb_.ProcessId())) {
      if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
      if (hwnd == file) {
        if (safely || rng_() % 3 == 0) {
          Note("file dialog: Cancel");
          kb_.Post(GetDlgItem(file, IDCANCEL), BM_CLICK, 0, 0);
        } else {
          const std::string pick = fixture_->Picks()[Below(static_cast<int>(fixture_->Picks().size()))];
          Note("file dialog: " + e2e::Quote(pick));
          // Keys typed before the dialog came (a letter outside a field opened it) may still be
          // on their way into its name field: one more, typed after them, shows there once they
          // all have arrived. Then the name replaces what they made.
          HWND name = e2e::FileNameField(file);
          if (name && kb_.FocusedWindow() == name) {
            kb_.TypeText("#");
            e2e::WaitUntil([&] { return KeelbrookDriver::WindowText(name).find('#') != std::string::npos; }, 3000);
          }
          e2e::ChooseFile(kb_, file, pick);
        }
        return true;
      }
      if (hwnd == input) {
        HWND edit = GetDlgItem(input, IDC_INPUT_EDIT);
        // Typed part of the time, as keys: the whole default selected and deleted, then the name.
        const bool typed = !safely && rng_() % 2 && kb_.FocusedWindow() == edit;
        const std::string name = rng_() % 4 ? Pick(rng_, typed ? 1 + rng_() % 30 : 0, typed) : "Floppy";
        const int how = safely ? 1 : Below(4);
        static const char* const kHow[] = {" OK", " Cancel", " Enter", " Escape"};
        renamed_.insert(name);
        Note("input dialog: " + e2e::Quote(name) + (typed ? " typed," : "") + kHow[how]);
        if (typed) Type({{VK_END, false, ""}, {VK_HOME, true, ""}, {VK_BACK, false, ""}, {0, false, name}}, false);
        else kb_.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        // After keys, the button is pressed with the mouse, which comes after them: a posted click
        // overtakes keys not yet taken, and a name typed as it stood shows nothing to wait for.
        HWND button = GetDlgItem(input, how == 0 ? IDOK : IDCANCEL);
        const WORD key = how == 2 ? VK_RETURN : VK_ESCAPE;
        if (how < 2 && !typed) kb_.Post(button, BM_CLICK, 0, 0);
        else if (how < 2 && !kb_.PressMouseOn(button)) throw DriverError("the button is gone");
        else if (how >= 2 && typed) kb_.PressKey(key);
        else if (how >= 2) kb_.Post(edit, WM_KEYDOWN, key, 1);
        return true;
      }
      for (const e2e::MessageBoxInfo& box : boxes) {
        if (box.hwnd != hwnd) continue;
        Screen(box);
        std::vector<int> ids = box.ButtonIds();
        int id = ids.empty() ? IDCANCEL : ids[Below(static_cast<int>(ids.size()))];
        if (safely) id = std::count(ids.begin(), ids.end(), IDCANCEL) ? IDCANCEL : ids.back();
        Note("box " + e2e::Quote(box.text) + ": " + std::to_string(id));
        kb_.Post(box.hwnd, WM_COMMAND, id, 0);
        return true;
      }
    }
    return false;
  }

  // Waits until the program has taken what was sent; restarts it when it ended as a user ends it.
  void Settle() {
    // A window gone means the program is ending: "E&xit", or Yes to the save question.
    try {
      kb_.Sync();
    } catch (const DriverError&) {
      if (kb_.WindowOpen()) throw;
    }
    Look();
    if (kb_.WindowOpen() && kb_.Running()) return;
    const DWORD code = kb_.WaitForExit();
    if (code != 0) Fail("the program ended with code " + std::to_string(code));
    Note("restart");
    StartAndCompare();
  }

  // What was posted may still be on its way when the program answers (a box is made, and the
  // window disabled, a moment after the click that asks for it): a user looks until the screen
  // stops changing.
  void Look() {
    for (int look = 0, same = 0; same < 2 && look < 40 && kb_.WindowOpen(); ++look) {
      const std::pair<bool, size_t> before = Screenful();
      Sleep(10);
      same = Screenful() == before ? same + 1 : 0;
    }
  }

  // Whether the main window takes input, and how many windows the program shows.
  std::pair<bool, size_t> Screenful() const {
    const std::vector<HWND> windows = window_search::TopLevelWindowsOf(kb_.ProcessId());
    return {IsWindowEnabled(kb_.MainWindow()) != FALSE,
            std::count_if(windows.begin(), windows.end(), [](HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; })};
  }

  void Act() {
    try {
      const bool usable = IsWindowEnabled(kb_.MainWindow()) != FALSE;
      if ((!usable || rng_() % 3 == 0) && Answer(false)) return Settle();
      if (!usable) return Settle();
      const int page = kb_.CurrentTab(), choice = Below(100);
      const int* buttons = kButtons[page];
      const int count = static_cast<int>(std::count_if(buttons, buttons + 5, [](int id) { return id != 0; }));
      const int list = page == 1 ? IDC_UNINSTALL_LIST : page == 2 ? IDC_SENDTO_LIST : 0;
      if (choice < 12) {
        const int tab = Below(6);
        const bool click = rng_() % 4 != 0;
        Note(click ? "tab " + std::to_string(tab) : "Ctrl+Tab");
        if (click) kb_.ClickTab(tab); else kb_.PressKeyWithCtrl(VK_TAB), Sleep(50);
      } else if (choice < 45 && count) {
        const int id = buttons[Below(count)];
        if ((id == IDC_SYSINFO_EXIT || id == IDC_ABOUT_CLOSE) && rng_() % 8) return;
        Note((choice < 40 ? "click " : "double-click ") + kb_.Text(id));
        if (choice < 40) kb_.Click(id); else kb_.DoubleClick(id);
      } else if (choice < 62) {
        const WORD key = choice < 58 ? kKeys[Below(std::size(kKeys))] : kMnemonics[Below(std::size(kMnemonics))];
        Note((choice < 58 ? "key " : "Alt+") + std::to_string(key) + " on " + std::to_string(kb_.FocusedId()));
        // A plain key is posted, so that it stays in order with the clicks, which are posted too;
        // Ctrl and Alt need the keyboard state, which only real input sets, and get a moment.
        if (choice < 55) kb_.PostKey(key); else if (choice < 58) kb_.PressKeyWithCtrl('C'); else kb_.PressKeyWithAlt(key);
        if (choice >= 55) Sleep(50);
      } else if (choice < 80 && list) {
        const int lines = kb_.ListCount(list), line = Below(lines + 2) - 1;
        Note((choice < 74 ? "select line " : "double-click line ") + std::to_string(line));
        if (choice < 74) kb_.SelectListItem(list, std::min(line, lines - 1)); else kb_.DoubleClickListItem(list, line + 1);
      } else if (choice < 86 && page == 0 && rng_() % 2) {
        const int field = IDC_SYSINFO_COMPUTERNAME + Below(8);
        const std::string text = Pick(rng_);
        Note("set " + e2e::Quote(text.substr(0, 40)) + " into " + std::to_string(field));
        kb_.SetText(field, text);
      } else if (choice < 92 && (page == 0 || choice >= 86)) {
        // Into a field clicked first, or into whatever has the focus; part of the time another
        // window takes the activation midway.
        if (choice < 86) kb_.ClickInto(IDC_SYSINFO_COMPUTERNAME + Below(8));
        Type(Strokes(), rng_() % 3 == 0);
      } else if (choice >= 92 && page == 2) {
        Lines files;
        for (const std::string& pick : fixture_->Picks()) if (rng_() % 3 == 0) files.push_back(pick);
        Note("drop " + std::to_string(files.size()) + " files");
        if (!files.empty()) kb_.DropFiles(IDC_SENDTO_LIST, files);
      }
      Settle();
    } catch (const DriverError& e) {
      // So is a window that went away because the program was ending ("E&xit", "Save ?"); not a
      // finding of the monkey's own.
      const bool finding = std::string(e.what()).rfind("seed ", 0) == 0;
      if (finding || (!Missed(e) && kb_.WindowOpen())) throw;
      Settle();
    }
  }

  // What a user types: Home or End first (now and then the whole text selected), then texts,
  // with Backspace, Home, End and Shift with an arrow between them.
  std::vector<Stroke> Strokes() {
    std::vector<Stroke> keys = {{static_cast<WORD>(rng_() % 2 ? VK_HOME : VK_END), false, ""}};
    if (rng_() % 3 == 0) keys.push_back({static_cast<WORD>(keys[0].vk == VK_HOME ? VK_END : VK_HOME), true, ""});
    static const WORD kMoves[] = {VK_BACK, VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
    for (int i = 0, n = 1 + Below(4); i < n; ++i) {
      const WORD vk = kMoves[Below(std::size(kMoves))];
      if (i % 2 == 0) keys.push_back({0, false, Pick(rng_, 1 + rng_() % 30, true)});
      else keys.push_back({vk, vk == VK_LEFT || vk == VK_RIGHT || (vk != VK_BACK && rng_() % 2), ""});
    }
    return keys;
  }

  // Types as a user does, key by key into whatever has the focus; with `away`, another window
  // takes the activation midway and the user comes back and goes on typing. A field that had
  // the focus keeps it and holds what was typed, and no button ran: a letter that reached the
  // window instead would be read as a mnemonic ("se" pressing "&Set" and "E&xit").
  void Type(std::vector<Stroke> keys, bool away) {
    // A field of the program's own: a file dialog coming up meanwhile has the system's.
    HWND field = kb_.FocusedWindow();
    const bool edit = field && KeelbrookDriver::ClassOf(field) == "Edit" &&
                      (IsChild(kb_.MainWindow(), field) || GetParent(field) == InputDialog());
    // No empty text, which presses no key (and would not bring the window back); the arrows only
    // within a field: Wine's tab strip, moved by them, keeps the tab it left marked pressed and
    // takes no click on a tab afterwards (README).
    const auto none = [edit](const Stroke& k) {
      return (!k.vk && k.text.empty()) || (!edit && (k.vk == VK_LEFT || k.vk == VK_RIGHT));
    };
    keys.erase(std::remove_if(keys.begin(), keys.end(), none), keys.end());
    // Away only from a field: elsewhere a typed letter may rightly press a button, whose dialog is
    // still on its way when the user would leave.
    away = away && edit;
    const std::string before = edit ? KeelbrookDriver::WindowText(field) : "";
    const auto boxes = std::make_pair(kb_.MessageBoxes().size(), IsWindowEnabled(kb_.MainWindow()));
    const bool readOnly = (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) != 0;
    // Another window takes the activation, and the next key brings the program back; or the window
    // is minimised and restored. (Alt+Tab is the window manager's; Wine on a bare X server has none.)
    static const char* const kWays[] = {"another window", "minimised and restored"};
    const size_t half = away ? keys.size() / 2 : keys.size();
    const int way = away ? Below(std::size(kWays)) : 0;
    std::string what;
    for (size_t i = 0; i < keys.size(); ++i)
      what += (i == half ? " | away: " + std::string(kWays[way]) + " | " : " ") + keys[i].Describe();
    Note("type" + what + " on " + std::to_string(GetDlgCtrlID(field)));
    auto expected = [&](size_t n) {
      Field after = Follow(before, std::vector<Stroke>(keys.begin(), keys.begin() + n));
      if (readOnly) after.text = before;
      return after;
    };
    // Typed text shows a moment later: the user waits for it, and before going away also for the
    // caret and the selection, as keys not yet taken from the program's queue then go elsewhere.
    // Up to 10 s: on an emulated 32-bit machine, " spaced " showed as " spac" after 2 s.
    auto shows = [&](size_t n, bool selection = false) {
      const Field want = expected(n);
      return e2e::WaitUntil([&] {
        return kb_.FocusedWindow() == field && KeelbrookDriver::WindowText(field) == want.text &&
               (!selection || readOnly || kb_.Send(field, EM_GETSEL, 0, 0) == want.selection);
      }, 10000);
    };
    try {
      for (size_t i = 0; i < keys.size(); ++i) {
        if (i == half && edit) shows(i, true);
        if (i == half) way == 0 ? kb_.ActivateElsewhere() : kb_.MinimiseAndRestore();
        const Stroke& k = keys[i];
        if (!k.vk) kb_.TypeText(k.text); else if (k.shift) kb_.PressKeyWith(VK_SHIFT, k.vk); else kb_.PressKey(k.vk);
      }
      if (!edit) {
        // Nothing shows what keys outside a field did, and a letter may have opened a dialog that
        // the keys after it went into: the user lets them all arrive before the next step, as the
        // next step, taken earlier, met the dialog with keys still coming (a moment a key here).
        size_t pressed = 0;
        for (const Stroke& k : keys) pressed += k.vk ? 1 : e2e::Wide(k.text).size();
        Sleep(static_cast<DWORD>(15 * pressed));
        return Look();
      }
      const bool holds = shows(keys.size());
      Look();
      if (holds && std::make_pair(kb_.MessageBoxes().size(), IsWindowEnabled(kb_.MainWindow())) == boxes) return;
      Fail("typed into field " + std::to_string(GetDlgCtrlID(field)) + " " + e2e::Quote(before) + ", expecting " +
           e2e::Quote(expected(keys.size()).text) + ": " + Typed(field));
    } catch (const DriverError& e) {
      if (!edit || std::string(e.what()).rfind("seed ", 0) == 0) throw;
      Fail("typing into field " + std::to_string(GetDlgCtrlID(field)) + ": " + e.what() + "; " + Typed(field));
    }
  }

  // Where typed keys went: the field's text, where the focus is, and what the program shows.
  std::string Typed(HWND field) {
    if (!kb_.WindowOpen()) return "the window closed";
    const bool window = kb_.FocusedWindow() == kb_.MainWindow();
    std::string text = "it holds " + (IsWindow(field) ? e2e::Quote(KeelbrookDriver::WindowText(field)) : "nothing") +
                       ", the focus is on ";
    text += window ? "the main window itself" : "id " + std::to_string(kb_.FocusedId());
    if (auto box = kb_.FindMessageBox()) text += ", a box is open: " + box->Describe();
    return text;
  }

  // A control or box that went away between the choice and the action is the user's miss, not a
  // fault.
  static bool Missed(const DriverError& e) {
    const std::string what = e.what();
    for (const char* miss :
         {"cannot be clicked", "cannot be used", "cannot take the focus", "refused the text", "has no line", "is gone"})
      if (what.rfind("seed ", 0) != 0 && what.find(miss) != std::string::npos) return true;
    return false;
  }

  // Closes every box and dialog with its safe answer, until none comes for a while.
  void Quiesce() {
    for (int round = 0; round < 50; ++round) {
      Settle();
      if (!kb_.Running()) return;
      bool answered = false;
      try {
        answered = Answer(true);
      } catch (const DriverError& e) {
        if (!Missed(e)) throw;
        answered = true;
      }
      if (!answered && e2e::WaitUntil([&] { return FileDialog() || InputDialog() || kb_.FindMessageBox(); }, 150) == false) return;
    }
    Fail("boxes keep coming");
  }

  void Check() {
    Quiesce();
    if (!kb_.WindowOpen()) return Settle();
    CheckPrograms();
    CheckSendTo();
    DWORD handles = 0;
    GetProcessHandleCount(kb_.Process(), &handles);
    const DWORD sample[] = {handles, GetGuiResources(kb_.Process(), GR_GDIOBJECTS),
                            GetGuiResources(kb_.Process(), GR_USEROBJECTS)};
    samples_.push_back({sample[0], sample[1], sample[2]});
    // Loading the file dialog and the shell the first time costs; after that nothing may grow.
    for (int i = 0; i < 3 && samples_.size() > 3; ++i)
      if (sample[i] > samples_[2][i] * 3 / 2 + 64)
        Fail(std::string(i == 0 ? "handles" : i == 1 ? "GDI objects" : "USER objects") + " grew from " +
             std::to_string(samples_[2][i]) + " to " + std::to_string(sample[i]));
  }

  unsigned seed_;
  std::string version_;
  std::mt19937 rng_;
  KeelbrookDriver kb_;
  const Fixture* fixture_ = nullptr;
  int action_ = 0;
  std::deque<std::string> last_;
  std::set<std::string> renamed_;  // the names typed for a Send To entry
  bool partial_ = false;           // the window was made up to an error
  std::vector<std::vector<DWORD>> samples_;
};

// The short run: Windows XP with the common controls 6, Windows 98 with the older ones.
TEST(Monkey, RandomActionsLoseNothing) {
  Monkey(20261209, "winxp").Run(500);
  e2e::CopyWithoutManifest copy;
  Monkey(20261209, "win98", copy.Path()).Run(500);
}

// The long run (tools/soak.sh): KB_SOAK_ACTIONS actions from KB_SOAK_SEED across three systems,
// the last third as a Japanese XP. The code page is the process's, so soak.sh runs this twice:
// once as it is, and once with KB_SOAK_CODE_PAGE=932 under a Japanese locale, for that third.
TEST(Monkey, DISABLED_Soak) {
  const unsigned seed = static_cast<unsigned>(std::stoul(e2e::Env("KB_SOAK_SEED", "1")));
  const int actions = std::stoi(e2e::Env("KB_SOAK_ACTIONS", "20000"));
  const std::string codePage = e2e::Env("KB_SOAK_CODE_PAGE");
  ASSERT_TRUE(codePage.empty() || std::to_string(GetACP()) == codePage)
      << "asked for code page " << codePage << ", Wine gives " << GetACP() << " (its locale is the Unix one)";
  int left = actions;
  for (const char* version : {"win98", "nt40", "winxp"}) {
    const int share = std::string(version) == "winxp" ? left : actions / 3;
    left -= share;
    if ((std::string(version) == "winxp") != !codePage.empty()) continue;
    const DWORD start = GetTickCount();
    const int checks = Monkey(seed, version).Run(share);
    const double seconds = (GetTickCount() - start) / 1000.0;
    std::printf("%s, code page %u: seed %u, %d actions in %.0f s (%.1f a second), %d checks of: program alive, "
                "no unknown box, Uninstall list = registry, Send To lines = files under names given whole, "
                "handle/GDI/USER counts bounded; typed keys where the focus was; at the end registry and drive C "
                "unchanged outside the fixture\n",
                version, GetACP(), seed, share, seconds, share / seconds, checks);
    std::fflush(stdout);  // through a pipe: each system's line as it ends
  }
}

}  // namespace
