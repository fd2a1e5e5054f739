// A stand-in for a tool that keelbrook.exe starts (a maintenance tool copied into place under its
// name, or the program behind a mail or web link). Each start appends one line to a log:
//
//   <own path>|<command line>|<working folder>|<show state asked for>|<process id>
//
// then the tool keeps running, as a real tool would, until a file named like the log plus
// ".release" appears (or a minute has passed), so that a test can see that nobody waited for it.
// The log is %KB_FAKE_TOOL_LOG%, or the tool's own path plus ".log".
#include <windows.h>

#include <string>

namespace {

std::string OwnPath() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, n < sizeof path ? n : 0);
}

std::string LogPath() {
  char value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("KB_FAKE_TOOL_LOG", value, sizeof value);
  if (n > 0 && n < sizeof value) return value;
  return OwnPath() + ".log";
}

void AppendLine(const std::string& file, const std::string& line) {
  // Several copies may start at once; retry while another holds the file.
  for (int attempt = 0; attempt < 100; ++attempt) {
    HANDLE h = CreateFileA(file.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const std::string text = line + "\r\n";
      WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      CloseHandle(h);
      return;
    }
    Sleep(20);
  }
}

}  // namespace

int main() {
  // The test programs are console programs, so the system gives this one a console window of
  // its own; a real tool shows nothing of the kind, and that window would lie over the program
  // under test and take its clicks.
  if (HWND console = GetConsoleWindow()) ShowWindow(console, SW_HIDE);
  FreeConsole();

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof folder, folder);

  const std::string log = LogPath();
  AppendLine(log, OwnPath() + "|" + GetCommandLineA() + "|" + folder + "|" + std::to_string(show) + "|" +
                      std::to_string(GetCurrentProcessId()));

  const std::string release = log + ".release";
  for (int waited = 0; waited < 60000; waited += 50) {
    if (GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(50);
  }
  return 0;
}
