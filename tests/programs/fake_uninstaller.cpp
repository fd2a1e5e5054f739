// A stand-in for a program's uninstaller, for the end-to-end tests of "&Uninstall". It notes
// what it did in a marker file (one "event time" line each, times as FILETIME counts, so that a
// test can put them beside its own clock), removes its own registration, takes its time and
// ends.
//
//   fake_uninstaller.exe window <marker> <key> <ms> [...]  removes <key>, then shows a window and
//                                                           keeps its message loop going for <ms>,
//                                                           as an uninstaller's wizard does
//   fake_uninstaller.exe plain  <marker> <key> <ms> [...]  no window: removes <key>, sleeps <ms>
//   fake_uninstaller.exe spawn  <marker> <key> <ms> [...]  starts "late" as a second program and
//                                                           ends at once, as uninstallers that
//                                                           copy themselves away do
//   fake_uninstaller.exe late   <marker> <key> <ms> [...]  sleeps <ms>, then removes <key>
//
// Each line of the marker is "<mode> <event> <value>".
//
// <key> is a subkey of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall. Anything after
// <ms> is ignored, so a test can make the command line as long as it likes; the marker records
// the length of the command line the program received.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
std::string g_mode;

unsigned long long Now() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// Appended and closed at once, so the test can read the file at any moment.
void Note(const std::string& marker, const std::string& event, unsigned long long value) {
  if (FILE* f = std::fopen(marker.c_str(), "a")) {
    std::fprintf(f, "%s %s %llu\n", g_mode.c_str(), event.c_str(), value);
    std::fclose(f);
  }
}

void RemoveRegistration(const std::string& marker, const std::string& key) {
  const LONG rc = RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kUninstall + key).c_str());
  Note(marker, rc == ERROR_SUCCESS ? "removed" : "remove-failed", Now());
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    KillTimer(hwnd, 1);
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void RunWindow(const std::string& marker, unsigned ms, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "KeelbrookFakeUninstaller";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA(wc.lpszClassName, "Fake uninstaller", WS_OVERLAPPEDWINDOW, 600, 40, 200, 80, nullptr,
                            nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, show);
  SetTimer(hwnd, 1, ms, nullptr);
  Note(marker, "window", Now());
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: fake_uninstaller window|plain|spawn <marker> <key> <ms> [...]\n");
    return 2;
  }
  const std::string mode = argv[1], marker = argv[2], key = argv[3];
  g_mode = mode;
  const unsigned ms = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));

  STARTUPINFOA self = {};
  self.cb = sizeof self;
  GetStartupInfoA(&self);
  Note(marker, "started", Now());
  Note(marker, "pid", GetCurrentProcessId());
  Note(marker, "command-length", std::string(GetCommandLineA()).size());
  Note(marker, "flags", self.dwFlags);
  Note(marker, "show", self.wShowWindow);

  if (mode == "window") {
    RemoveRegistration(marker, key);
    RunWindow(marker, ms, (self.dwFlags & STARTF_USESHOWWINDOW) ? self.wShowWindow : SW_SHOWNORMAL);
  } else if (mode == "plain") {
    RemoveRegistration(marker, key);
    Sleep(ms);
  } else if (mode == "late") {
    Sleep(ms);
    RemoveRegistration(marker, key);
  } else if (mode == "spawn") {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command = std::string("\"") + path + "\" late \"" + marker + "\" " + key + " " + argv[4];
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      Note(marker, "spawned", pi.dwProcessId);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    } else {
      Note(marker, "spawn-failed", GetLastError());
    }
  } else {
    return 2;
  }
  Note(marker, "ended", Now());
  return 0;
}
