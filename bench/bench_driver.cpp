// keelbrook_bench.exe: the benchmarks that need the real platform. It runs inside Wine next to
// keelbrook.exe, prepares the registrations and the Send To folder itself, starts each program
// many times and times it from outside, the way a user waits for it: from CreateProcess until the
// window answers with every line in place. Each figure is printed beside a peer or floor program
// run in the same command on the same data, so the ratio says more than the milliseconds.
//
//   keelbrook_bench.exe --keelbrook PATH --floor PATH [--peer PATH] [--runs N] [--refresh-runs N]
//                       [--sizes N,N,...] [--only LIST]
//
// LIST is a comma-separated choice of floor, peer, refresh (all three by default), and platform,
// which times single registry and list box calls (PROFILE lines) to explain the figures; --sizes
// the list sizes of the refresh benchmark (1000,5000,20000 by default). With KB_BENCH_TRACE set,
// each start and each filled window is printed with its clock reading (TRACE lines), to line up
// with marks that an instrumented build of keelbrook.exe writes on the same clock.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include "app/win32/resource.h"
#include "e2e/window_search.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kIdTabs = IDC_MAIN_TABS;
constexpr int kIdUninstallList = IDC_UNINSTALL_LIST;
constexpr int kIdSyncButton = IDC_UNINSTALL_SYNC;
constexpr int kIdSendToList = IDC_SENDTO_LIST;
constexpr int kUninstallPage = IDC_PAGE_UNINSTALL - IDC_PAGE_SYSINFO;  // its tab's index

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Every registration made here carries this group in its name, so that a run can find its own
// among the prefix's real ones and add or remove exactly those.
constexpr const char* kBenchMark = "BE4C";
constexpr const char* kSendToPrefix = "Bench Target ";

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kClickTimeoutMs = 600000;
// Time the refresh benchmark may spend clicking at one list size.
constexpr double kRefreshBudgetMs = 60000;

// ---------------------------------------------------------------------------------------------
// Clock and statistics

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Sample {
  std::vector<double> values;
  void Add(double v) { values.push_back(v); }
  bool Empty() const { return values.empty(); }
  double Median() const {
    if (values.empty()) return 0;
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  double Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
  double Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

// The program under test while one runs, so that a failure does not leave it behind.
HANDLE gRunning = nullptr;

[[noreturn]] void Die(const std::string& what) {
  const DWORD error = GetLastError();
  if (gRunning) TerminateProcess(gRunning, 1);
  std::printf("bench: FAILED: %s (error %lu)\n", what.c_str(), error);
  std::fflush(stdout);
  std::exit(2);
}

void Say(const char* format, const std::string& a = std::string()) {
  std::printf(format, a.c_str());
  std::fflush(stdout);
}

std::string Fixed(double v, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return buffer;
}

std::string Spread(const Sample& s, int decimals) {
  return Fixed(s.Median(), decimals) + " [" + Fixed(s.Min(), decimals) + ".." + Fixed(s.Max(), decimals) + "]";
}

std::string Pad(std::string s, size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

// One line per figure: what, the peer or floor, both medians with their min and max, the ratio
// and the goal. The goal is on the ratio ("< 1.5", "<= 1.0"); an empty goal means none.
void PrintFigure(const std::string& figure, const std::string& against, const std::string& unit, const Sample& mine,
                 const Sample& theirs, const std::string& goal, const std::string& extra = std::string()) {
  const double ratio = theirs.Median() > 0 ? mine.Median() / theirs.Median() : 0;
  std::string line = "FIGURE  " + Pad(figure, 36) + " keelbrook " + Pad(Spread(mine, 1) + " " + unit, 30) + " | " +
                     Pad(against, 28) + " " + Pad(Spread(theirs, 1) + " " + unit, 30) + " | ratio " + Fixed(ratio, 2);
  if (!goal.empty()) {
    const bool inclusive = goal.compare(0, 2, "<=") == 0;
    const double bound = std::atof(goal.c_str() + (inclusive ? 2 : 1));
    const bool met = theirs.Median() > 0 && (inclusive ? ratio <= bound : ratio < bound);
    line += "  goal " + goal + (met ? " met" : " MISSED");
  }
  if (!extra.empty()) line += "  " + extra;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Data: registrations and Send To entries

uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// Shaped like the product codes installers register, so that the sorted order of the names has
// nothing to do with the order they were made in, or with the display names.
std::string RegistrationName(uint32_t i) {
  char name[64];
  std::snprintf(name, sizeof name, "{%08X-%04X-%04X-%s-%012X}", Mix(i + 1), Mix(i + 7) & 0xFFFF, Mix(i + 13) & 0xFFFF,
                kBenchMark, i);
  return name;
}

// The index of a registration made here, or -1 for any other name.
long BenchIndexOf(const std::string& name) {
  if (name.size() != 38 || name[0] != '{' || name.compare(20, 4, kBenchMark) != 0) return -1;
  return std::strtol(name.substr(25, 12).c_str(), nullptr, 16);
}

std::string DisplayNameFor(uint32_t i) {
  static const char* const kVendors[] = {"Contoso", "Fabrikam", "Northwind", "Tailspin", "Litware", "Adatum"};
  static const char* const kProducts[] = {"Studio", "Toolkit", "Player", "Viewer", "Runtime", "Office Tools"};
  char text[128];
  std::snprintf(text, sizeof text, "%s %s %u.%u (bench %05u)", kVendors[Mix(i) % 6], kProducts[Mix(i + 3) % 6],
                Mix(i) % 9 + 1, Mix(i + 5) % 10, i);
  return text;
}

std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  DWORD count = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return names;
  names.reserve(count);
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD length = sizeof name;
    LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

HKEY OpenUninstallKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    Die("cannot open the Uninstall key");
  return key;
}

// Leaves exactly `count` registrations of our own (indexes 0 .. count-1) beside the prefix's
// real ones, adding and removing only what differs from the last run.
void EnsureRegistrations(uint32_t count) {
  HKEY uninstall = OpenUninstallKey();
  std::vector<bool> present(count, false);
  for (const std::string& name : SubKeyNames(uninstall)) {
    const long index = BenchIndexOf(name);
    if (index < 0) continue;
    if (static_cast<uint32_t>(index) < count && name == RegistrationName(static_cast<uint32_t>(index)))
      present[static_cast<size_t>(index)] = true;
    else if (RegDeleteKeyA(uninstall, name.c_str()) != ERROR_SUCCESS)
      Die("cannot delete " + name);
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (present[i]) continue;
    HKEY key = nullptr;
    if (RegCreateKeyExA(uninstall, RegistrationName(i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      Die("cannot create a registration");
    const std::string display = DisplayNameFor(i);
    char command[128];
    std::snprintf(command, sizeof command, "\"C:\\Program Files\\Bench\\uninst%05u.exe\" /S", i);
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(display.c_str()),
                   static_cast<DWORD>(display.size() + 1));
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                   static_cast<DWORD>(std::strlen(command) + 1));
    RegCloseKey(key);
  }
  RegCloseKey(uninstall);
}

// What the Uninstall page must end up showing: every subkey, ours or the prefix's own, with both
// values.
uint32_t CountListable() {
  HKEY uninstall = OpenUninstallKey();
  uint32_t listable = 0;
  for (const std::string& name : SubKeyNames(uninstall)) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(uninstall, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    if (RegQueryValueExA(key, "UninstallString", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        RegQueryValueExA(key, "DisplayName", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      ++listable;
    RegCloseKey(key);
  }
  RegCloseKey(uninstall);
  return listable;
}

// The folder keelbrook.exe lists on the NT side: the user's Send To folder as the shell records
// it, which exists in every prefix.
std::string SendToFolder() {
  char folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_SENDTO, TRUE)) Die("the shell records no Send To folder");
  return std::string(folder) + "\\";
}

// Leaves exactly `count` entries of our own in the Send To folder; returns how many entries
// the page must show (ours and whatever else is there).
uint32_t EnsureSendTo(uint32_t count) {
  const std::string folder = SendToFolder();
  std::vector<bool> present(count, false);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name.compare(0, std::strlen(kSendToPrefix), kSendToPrefix) != 0) continue;
      const unsigned long index = std::strtoul(name.c_str() + std::strlen(kSendToPrefix), nullptr, 10);
      if (index < count)
        present[index] = true;
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (present[i]) continue;
    char name[64];
    std::snprintf(name, sizeof name, "%s%03u.lnk", kSendToPrefix, i);
    HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE) Die("cannot create a Send To entry in " + folder);
    DWORD written = 0;
    WriteFile(file, "L", 1, &written, nullptr);
    CloseHandle(file);
  }

  uint32_t listed = 0;
  search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      // Every file; folders are not entries.
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++listed;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return listed;
}

// ---------------------------------------------------------------------------------------------
// Processes and windows

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

struct Child {
  PROCESS_INFORMATION pi = {};
  double startedMs = 0;
  HWND main = nullptr;

  ~Child() { Release(); }
  void Release() {
    if (gRunning == pi.hProcess) gRunning = nullptr;
    if (pi.hProcess) {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
      }
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
    pi = PROCESS_INFORMATION();
    main = nullptr;
  }
  bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
};

// Starts a program; with quiet its standard handles go to NUL. The clock starts right before
// CreateProcess.
void Start(Child& child, const std::string& commandLine, bool quiet) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  HANDLE nul = INVALID_HANDLE_VALUE;
  if (quiet) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                      nullptr);
    if (nul == INVALID_HANDLE_VALUE) Die("cannot open NUL");
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
  }
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  child.startedMs = NowMs();
  if (std::getenv("KB_BENCH_TRACE")) std::printf("TRACE start %.3f %s\n", child.startedMs, commandLine.c_str());
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, quiet ? TRUE : FALSE, 0, nullptr, nullptr, &si,
                      &child.pi))
    Die("cannot start " + commandLine);
  gRunning = child.pi.hProcess;
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
}

using window_search::FindTopWindow;
using window_search::FindById;

// The answer to a message, or -1 when the window did not answer in time. The call waits while
// the program is still busy with its creation: it answers once its message loop runs.
LONG_PTR Ask(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0, DWORD timeoutMs = kStartTimeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) return -1;
  return static_cast<LONG_PTR>(result);
}

// Waits until keelbrook.exe shows its window with both lists complete; returns the time since
// CreateProcess.
double WaitFilled(Child& child, uint32_t programs, uint32_t sendTo) {
  HWND list = nullptr, sendToList = nullptr;
  const double deadline = child.startedMs + kStartTimeoutMs;
  for (;;) {
    if (!child.Running()) Die("keelbrook.exe ended before its window was filled");
    if (NowMs() > deadline) {
      const LONG_PTR n = list ? Ask(list, LB_GETCOUNT, 0, 0, 1000) : -2;
      const LONG_PTR m = sendToList ? Ask(sendToList, LB_GETCOUNT, 0, 0, 1000) : -2;
      Die("keelbrook.exe did not fill its window in time: window " + std::string(child.main ? "found" : "not found") +
          (child.main && IsWindowVisible(child.main) ? ", visible" : ", not visible") + ", programs " +
          std::to_string(n) + " of " + std::to_string(programs) + ", Send To " + std::to_string(m) + " of " +
          std::to_string(sendTo));
    }
    if (!child.main) child.main = FindTopWindow(child.pi.dwProcessId, "TfrmMain");
    // The controls come one after another while the window is being made.
    if (child.main && !list) list = FindById(child.main, kIdUninstallList);
    if (child.main && !sendToList) sendToList = FindById(child.main, kIdSendToList);
    if (list && sendToList) {
      const LONG_PTR n = Ask(list, LB_GETCOUNT);
      const LONG_PTR m = Ask(sendToList, LB_GETCOUNT);
      if (n >= static_cast<LONG_PTR>(programs) && m >= static_cast<LONG_PTR>(sendTo) && IsWindowVisible(child.main))
        return NowMs() - child.startedMs;
      // The loop runs but a list is short and a box is up: creation stopped at an error. (The
      // input dialog is a dialog too, but hidden.)
      if (n >= 0 && m >= 0 && FindTopWindow(child.pi.dwProcessId, "#32770", true))
        Die("keelbrook.exe showed a message box while starting: programs " + std::to_string(n) + " of " +
            std::to_string(programs) + ", Send To " + std::to_string(m) + " of " + std::to_string(sendTo));
    }
    Sleep(1);
  }
}

// Waits until the floor program's window is up and its loop answers.
double WaitFloor(Child& child) {
  const double deadline = child.startedMs + kStartTimeoutMs;
  for (;;) {
    if (!child.Running()) Die("empty_window.exe ended before its window was shown");
    if (NowMs() > deadline) Die("empty_window.exe did not show its window in time");
    if (!child.main) child.main = FindTopWindow(child.pi.dwProcessId, "KbEmptyWindow");
    if (child.main && Ask(child.main, WM_NULL) >= 0 && IsWindowVisible(child.main)) return NowMs() - child.startedMs;
    Sleep(1);
  }
}

double PeakWorkingSetMb(const Child& child) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(child.pi.hProcess, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Nothing was edited, so a close request ends the program at once.
void CloseAndWait(Child& child) {
  if (child.main) PostMessageA(child.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(child.pi.hProcess, 30000) != WAIT_OBJECT_0) Die("a program did not end after WM_CLOSE");
  child.Release();
}

// ---------------------------------------------------------------------------------------------
// The benchmarks

struct Config {
  std::string keelbrook;
  std::string floor;
  std::string peer;
  int runs = 7;
  int refreshRuns = 5;
  std::vector<uint32_t> sizes = {1000, 5000, 20000};  // the growth figure needs 5000 and 20000
  std::set<std::string> only;
  bool Wants(const char* name) const { return only.empty() || only.count(name) > 0; }
};

struct StartUp {
  double ms;
  double peakMb;
};

StartUp RunKeelbrook(const Config& c, uint32_t programs, uint32_t sendTo) {
  Child child;
  Start(child, "\"" + c.keelbrook + "\"", false);
  StartUp r;
  r.ms = WaitFilled(child, programs, sendTo);
  if (std::getenv("KB_BENCH_TRACE")) std::printf("TRACE filled %.3f\n", child.startedMs + r.ms);
  r.peakMb = PeakWorkingSetMb(child);
  CloseAndWait(child);
  return r;
}

StartUp RunFloor(const Config& c) {
  Child child;
  Start(child, "\"" + c.floor + "\"", false);
  StartUp r;
  r.ms = WaitFloor(child);
  if (std::getenv("KB_BENCH_TRACE")) std::printf("TRACE filled %.3f\n", child.startedMs + r.ms);
  r.peakMb = PeakWorkingSetMb(child);
  CloseAndWait(child);
  return r;
}

double RunPeer(const Config& c) {
  Child child;
  Start(child, "\"" + c.peer + "\" --list", true);
  if (WaitForSingleObject(child.pi.hProcess, kStartTimeoutMs) != WAIT_OBJECT_0) Die("the peer did not end in time");
  const double ms = NowMs() - child.startedMs;
  child.Release();
  return ms;
}

struct FloorResult {
  double peakMb = 0;  // the floor program's peak working set, for the memory figure
};

// Start-up with nothing to list, against the empty window. The runs alternate so that a slow
// spell of the machine hits both programs alike; one warm-up run of each is not counted.
FloorResult BenchFloor(const Config& c) {
  EnsureRegistrations(0);
  const uint32_t sendTo = EnsureSendTo(0);
  const uint32_t programs = CountListable();
  RunKeelbrook(c, programs, sendTo);
  RunFloor(c);
  Sample mine, floor, mineMb, floorMb;
  for (int i = 0; i < c.runs; ++i) {
    const bool floorFirst = i % 2 == 1;
    if (floorFirst) {
      StartUp f = RunFloor(c);
      floor.Add(f.ms);
      floorMb.Add(f.peakMb);
    }
    StartUp k = RunKeelbrook(c, programs, sendTo);
    mine.Add(k.ms);
    mineMb.Add(k.peakMb);
    if (!floorFirst) {
      StartUp f = RunFloor(c);
      floor.Add(f.ms);
      floorMb.Add(f.peakMb);
    }
  }
  PrintFigure("start-up, empty registry", "empty_window (floor)", "ms", mine, floor, "<= 1.5");
  PrintFigure("peak working set, empty registry", "empty_window (floor)", "MB", mineMb, floorMb, "");
  FloorResult r;
  r.peakMb = floorMb.Median();
  if (r.peakMb <= 0) Say("bench: note: GetProcessMemoryInfo gave nothing for the floor program\n");
  return r;
}

// Start-up with 5,000 registrations and 500 Send To entries, against the peer listing the same
// registrations; the memory figure comes from the same runs.
void BenchPeer(const Config& c, const FloorResult* floorResult) {
  EnsureRegistrations(5000);
  const uint32_t sendTo = EnsureSendTo(500);
  const uint32_t programs = CountListable();
  Say("bench: %s\n", std::to_string(programs) + " registrations listed, " + std::to_string(sendTo) +
                         " Send To entries");
  RunKeelbrook(c, programs, sendTo);
  RunPeer(c);
  Sample mine, peer, mineMb, floorMb;
  for (int i = 0; i < c.runs; ++i) {
    const bool peerFirst = i % 2 == 1;
    if (peerFirst) peer.Add(RunPeer(c));
    StartUp k = RunKeelbrook(c, programs, sendTo);
    mine.Add(k.ms);
    mineMb.Add(k.peakMb);
    if (!peerFirst) peer.Add(RunPeer(c));
  }
  PrintFigure("start-up, 5000 programs + 500 SendTo", "uninstaller --list", "ms", mine, peer, "<= 0.5");
  // The floor's memory, measured now unless the floor benchmark already did.
  if (floorResult && floorResult->peakMb > 0) {
    floorMb.Add(floorResult->peakMb);
  } else {
    for (int i = 0; i < 3; ++i) floorMb.Add(RunFloor(c).peakMb);
  }
  PrintFigure("peak working set, 5000 programs", "empty_window (floor)", "MB", mineMb, floorMb, "< 2");
}

// "&Sync list" over a list of each size, clicked from outside and timed until the handler
// returns; beside it the peer listing the same registrations from its own start to its end.
void BenchRefresh(const Config& c) {
  const std::vector<uint32_t>& sizes = c.sizes;
  double at5000 = 0, at20000 = 0;
  const uint32_t sendTo = EnsureSendTo(0);
  for (size_t s = 0; s < sizes.size(); ++s) {
    EnsureRegistrations(sizes[s]);
    const uint32_t programs = CountListable();
    Child child;
    Start(child, "\"" + c.keelbrook + "\"", false);
    WaitFilled(child, programs, sendTo);
    // On the Uninstall page, as a user presses the button: the list is on the screen, and the
    // page's buttons exist once it has been shown.
    HWND tabs = FindById(child.main, kIdTabs);
    if (tabs) Ask(tabs, TCM_SETCURFOCUS, kUninstallPage);
    HWND sync = FindById(child.main, kIdSyncButton);
    HWND list = FindById(child.main, kIdUninstallList);
    if (!tabs || !sync || !list) Die("keelbrook.exe lacks the Uninstall page's controls");
    // The first click warms up; when one refresh takes long, fewer are timed (at least one,
    // and then the first counts too), so that the whole command stays within minutes.
    auto click = [&] {
      const double t0 = NowMs();
      if (Ask(sync, BM_CLICK, 0, 0, kClickTimeoutMs) < 0) Die("\"&Sync list\" did not return in time");
      const double ms = NowMs() - t0;
      if (Ask(list, LB_GETCOUNT) != static_cast<LONG_PTR>(programs)) Die("the refreshed list is not complete");
      return ms;
    };
    Sample refresh;
    const double first = click();
    const int affordable = static_cast<int>(kRefreshBudgetMs / std::max(first, 1.0));
    const int clicks = std::max(1, std::min(c.refreshRuns, affordable));
    if (affordable < 1) refresh.Add(first);
    for (int i = static_cast<int>(refresh.values.size()); i < clicks; ++i) refresh.Add(click());
    CloseAndWait(child);
    Sample peer;
    RunPeer(c);
    for (int i = 0; i < std::min(c.refreshRuns, std::max(clicks, 3)); ++i) peer.Add(RunPeer(c));
    if (sizes[s] == 5000) at5000 = refresh.Median();
    if (sizes[s] == 20000) at20000 = refresh.Median();
    const std::string extra = "per entry " + Fixed(refresh.Median() * 1000.0 / programs, 1) + " us (" +
                              std::to_string(programs) + " listed, " + std::to_string(refresh.values.size()) +
                              " timed)";
    PrintFigure("\"&Sync list\", " + std::to_string(sizes[s]) + " programs",
                "uninstaller --list, " + std::to_string(sizes[s]), "ms", refresh, peer, "", extra);
  }
  if (at5000 <= 0 || at20000 <= 0) return;
  Sample growth, bound;
  growth.Add(at20000);
  bound.Add(at5000);
  PrintFigure("\"&Sync list\" growth 20000 / 5000", "\"&Sync list\", 5000 programs", "ms", growth, bound, "<= 4.5");
}

// What one platform call costs here, for explaining the figures above: the calls a refresh
// makes for each program, each timed in a loop of its own.
void BenchPlatformCalls() {
  EnsureRegistrations(5000);
  HKEY uninstall = OpenUninstallKey();
  const std::vector<std::string> names = SubKeyNames(uninstall);
  RegCloseKey(uninstall);
  const int n = static_cast<int>(std::min<size_t>(names.size(), 2000));
  auto report = [&](const char* what, double ms, int count) {
    std::printf("PROFILE %-44s %8.2f us per call\n", what, ms * 1000.0 / count);
    std::fflush(stdout);
  };

  double t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) RegCloseKey(key);
  }
  report("RegOpenKeyExA + RegCloseKey (one piece)", NowMs() - t0, n);

  HKEY base = OpenUninstallKey();
  t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(base, names[static_cast<size_t>(i)].c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS)
      RegCloseKey(key);
  }
  report("RegOpenKeyExA + RegCloseKey (a registration)", NowMs() - t0, n);

  HKEY one = nullptr;
  RegOpenKeyExA(base, names[0].c_str(), 0, KEY_ALL_ACCESS, &one);
  t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    DWORD type = 0, size = 0;
    RegQueryValueExA(one, "DisplayName", nullptr, &type, nullptr, &size);
  }
  report("RegQueryValueExA (size only)", NowMs() - t0, n);

  t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    BYTE text[256];
    DWORD type = 0, size = sizeof text;
    RegQueryValueExA(one, "DisplayName", nullptr, &type, text, &size);
  }
  report("RegQueryValueExA (data, 256-byte buffer)", NowMs() - t0, n);
  RegCloseKey(one);

  t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    char name[256];
    DWORD length = sizeof name;
    RegEnumKeyExA(base, static_cast<DWORD>(i), name, &length, nullptr, nullptr, nullptr, nullptr);
  }
  report("RegEnumKeyExA", NowMs() - t0, n);

  t0 = NowMs();
  for (int i = 0; i < n; ++i) {
    DWORD longest = 0;
    RegQueryInfoKeyA(base, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
  }
  report(("RegQueryInfoKeyA (" + std::to_string(names.size()) + " subkeys)").c_str(), NowMs() - t0, n);
  RegCloseKey(base);

  t0 = NowMs();
  int order = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const std::string& a = names[static_cast<size_t>(i)];
    const std::string& b = names[static_cast<size_t>(i + 1)];
    order += CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size()));
  }
  report("CompareStringA (two subkey names)", NowMs() - t0, n - 1);

  // A list box like the page's, hidden and then shown, in a window of this process.
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 320, 320, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT, 0, 0, 300, 200, owner, nullptr, nullptr, nullptr);
  const std::string line = DisplayNameFor(1);
  for (int shown = 0; shown < 2; ++shown) {
    if (shown) {
      ShowWindow(owner, SW_SHOW);
      UpdateWindow(owner);
    }
    const int lines = shown ? 300 : n;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    t0 = NowMs();
    for (int i = 0; i < lines; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    report(shown ? "LB_ADDSTRING, list on the screen" : "LB_ADDSTRING, window hidden", NowMs() - t0, lines);
    if (shown) {
      SendMessageA(list, LB_RESETCONTENT, 0, 0);
      t0 = NowMs();
      SendMessageA(list, WM_SETREDRAW, FALSE, 0);
      for (int i = 0; i < n; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      SendMessageA(list, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list, nullptr, TRUE);
      UpdateWindow(list);
      report("LB_ADDSTRING, on the screen, WM_SETREDRAW off", NowMs() - t0, n);
    }
  }
  DestroyWindow(owner);
  if (order == 12345) std::printf(" ");
}

}  // namespace

int main(int argc, char** argv) {
  Config c;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--keelbrook" && more) c.keelbrook = WindowsPath(argv[++i]);
    else if (a == "--floor" && more) c.floor = WindowsPath(argv[++i]);
    else if (a == "--peer" && more) c.peer = WindowsPath(argv[++i]);
    else if (a == "--runs" && more) c.runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--refresh-runs" && more) c.refreshRuns = std::max(1, std::atoi(argv[++i]));
    else if (a == "--sizes" && more) {
      c.sizes.clear();
      for (const char* p = argv[++i]; *p;) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(p, &end, 10);
        if (end == p) break;
        if (n > 0) c.sizes.push_back(static_cast<uint32_t>(n));
        p = *end ? end + 1 : end;
      }
    } else if (a == "--only" && more) {
      std::string list = argv[++i];
      for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) c.only.insert(list.substr(start, end - start));
        start = end + 1;
      }
    } else {
      std::printf("usage: keelbrook_bench.exe --keelbrook PATH --floor PATH [--peer PATH] [--runs N] "
                  "[--refresh-runs N] [--sizes 1000,5000,20000] [--only floor,peer,refresh]\n");
      return 2;
    }
  }
  if (c.keelbrook.empty() || c.floor.empty()) Die("--keelbrook and --floor are needed");
  if (c.peer.empty()) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    c.peer = std::string(system) + "\\uninstaller.exe";
  }

  FloorResult floorResult;
  bool haveFloor = false;
  if (c.Wants("floor")) {
    floorResult = BenchFloor(c);
    haveFloor = true;
  }
  if (c.Wants("peer")) BenchPeer(c, haveFloor ? &floorResult : nullptr);
  if (c.Wants("refresh")) BenchRefresh(c);
  // Not a figure: only when asked for by name.
  if (c.only.count("platform")) BenchPlatformCalls();
  // The prefix is left with the mid-sized data, not the largest.
  if (c.Wants("refresh")) EnsureRegistrations(5000);
  return 0;
}
