// "Optimise": starts the system's own maintenance tools. Nothing waits for a tool to finish; the
// only feedback is a box when the start fails.
#include <cstdint>
#include <string>

#include "app/tfrm_main.h"
#include "platform/os_family.h"

namespace {

constexpr unsigned kDirectoryRoom = 255;  // what the directory queries are given
constexpr size_t kPathRoom = 255;         // a tool's path: 256 bytes with its terminating zero
constexpr const char* kNotFound = "The specified file was not found !";
constexpr const char* kWinAlignNotFound = "The specified file was not found.\nThis file works only with Windows 98 !";

// The start results the system tells apart for the user.
constexpr std::intptr_t kOutOfResources = 0;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kPathNotFound = 3;
constexpr std::intptr_t kBadFormat = 11;
// The first result that means a tool started: WinExec's errors run up to 31, ShellExecuteA's to 32.
constexpr std::intptr_t kWinExecStarted = 32;
constexpr std::intptr_t kShellStarted = 33;

// Every start that failed is told, the ones the system gives no words for (no program for the
// file type, access denied) naming the tool. The boxes have no owner, so the window stays usable
// while one is open.
void ReportStart(SystemApi& system, std::intptr_t result, std::intptr_t started, const std::string& tool,
                 const char* notFoundText) {
  std::string text;
  switch (result) {
    case kOutOfResources:
      text = "The system is out of memory or resources !";
      break;
    case kFileNotFound:
    case kPathNotFound:
      text = notFoundText;
      break;
    case kBadFormat:
      text = "There was a problem while running the file !";
      break;
    default:
      if (result >= started) return;
      text = "There was a problem while starting\n" + tool + " !";
  }
  system.MessageBoxA(BoxOwner::None, text, "Keelbrook", mb::kError);
}

// Starts directory + "\" + file. A directory the system could not give, or one so long that the
// path would not fit, is reported as a missing file and nothing is started: a shortened path, or
// one that begins at the drive's root, could name some other program.
void StartInDirectory(SystemApi& system, const std::string& directory, const char* file, const char* notFoundText) {
  const std::string path = directory + "\\" + file;
  if (directory.empty() || path.size() > kPathRoom) {
    ReportStart(system, kFileNotFound, kWinExecStarted, path, notFoundText);
    return;
  }
  ReportStart(system, system.WinExec(path, sw::kRestore), kWinExecStarted, path, notFoundText);
}

}  // namespace

void TfrmMain::btnRunWinAlignClick() {
  StartInDirectory(System, System.GetSystemDirectoryA(kDirectoryRoom), "walign.exe", kWinAlignNotFound);
}

void TfrmMain::btnRunScanDiskClick() {
  StartInDirectory(System, System.GetWindowsDirectoryA(kDirectoryRoom), "scandskw.exe", kNotFound);
}

void TfrmMain::btnRunDefragClick() {
  // Windows 2000, XP and 2003 have their defragmenter as a console snap-in: their defrag.exe is
  // a command-line tool that wants a drive letter, and without one it prints its usage in a
  // console that closes at once. Windows 9x and NT 4.0 have the graphical defrag.exe on the
  // program search path.
  const bool snapIn = OsFamily == os_family::kWin2000 || OsFamily == os_family::kWinXp || OsFamily == os_family::kWin2003;
  if (snapIn) {
    ReportStart(System, System.ShellExecuteA(BoxOwner::None, "OPEN", "dfrg.msc", "", "", sw::kRestore), kShellStarted,
                "dfrg.msc", kNotFound);
  } else {
    ReportStart(System, System.WinExec("defrag.exe", sw::kRestore), kWinExecStarted, "defrag.exe", kNotFound);
  }
}
