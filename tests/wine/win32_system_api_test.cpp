// The real adapter against Wine: version record, directories, names, a real child process
// started and waited for, and (through the shared cases) real files in a scratch folder.
#include "platform/win32/win32_system_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "pages/osinfo/os_identification.h"
#include "platform/win32/system_dll.h"
#include "shared/file_ops_cases.h"
#include "ui/win32/win32_controls.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Removes a folder and everything below it, read-only entries included.
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  ::SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryA(dir.c_str());
}

std::string MakeScratchFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(sizeof temp, temp);
  std::string base = temp;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  for (;;) {
    std::string dir = base + "\\kbsys-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (::CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot make a scratch folder under " << base << ", error " << ::GetLastError();
      return dir;
    }
  }
}

class Win32FileOpsBed : public FileOpsBed {
 public:
  Win32FileOpsBed() : dir_(MakeScratchFolder()) {}
  ~Win32FileOpsBed() override { RemoveTree(dir_); }
  SystemApi& System() override { return sys_; }
  std::string Folder() override { return dir_; }
  void MakeFile(const std::string& path, uint32_t attributes) override {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path << ", error " << ::GetLastError();
    DWORD written = 0;
    ::WriteFile(h, "link", 4, &written, nullptr);
    ::CloseHandle(h);
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes)) << path;
  }
  void MakeFolder(const std::string& path) override {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path << ", error " << ::GetLastError();
  }
  bool Exists(const std::string& path) override { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }
  uint32_t Attributes(const std::string& path) override { return ::GetFileAttributesA(path.c_str()); }

 private:
  Win32SystemApi sys_;
  std::string dir_;
};

}  // namespace

std::unique_ptr<FileOpsBed> MakeFileOpsBed() { return std::make_unique<Win32FileOpsBed>(); }

namespace {

// --- system information ---

TEST(Win32SystemInfo, VersionRecordIsWhatWineReports) {
  Win32SystemApi sys;
  OsVersionInfo rec{};
  rec.dwOSVersionInfoSize = kOsVersionInfoExSize;
  ASSERT_TRUE(sys.GetVersionExA(rec));
  EXPECT_EQ(156u, rec.dwOSVersionInfoSize);
  EXPECT_EQ(2u, rec.dwPlatformId) << "the prefix emulates an NT version unless told otherwise";
  EXPECT_GE(rec.dwMajorVersion, 4u);
  EXPECT_NE(0u, rec.wProductType) << "the extended part was filled in";

  // The adapter hands back what the system says, field for field.
  OSVERSIONINFOEXA direct;
  std::memset(&direct, 0, sizeof direct);
  direct.dwOSVersionInfoSize = sizeof direct;
  ASSERT_TRUE(::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&direct)));
  EXPECT_EQ(direct.dwMajorVersion, rec.dwMajorVersion);
  EXPECT_EQ(direct.dwMinorVersion, rec.dwMinorVersion);
  EXPECT_EQ(direct.dwBuildNumber, rec.dwBuildNumber);
  EXPECT_EQ(direct.wSuiteMask, rec.wSuiteMask);
  EXPECT_EQ(direct.wProductType, rec.wProductType);
  EXPECT_EQ(direct.wServicePackMajor, rec.wServicePackMajor);
  EXPECT_STREQ(direct.szCSDVersion, rec.szCSDVersion);
}

TEST(Win32SystemInfo, IdentificationAgreesWithTheRecord) {
  Win32SystemApi sys;
  OsVersionInfo rec{};
  rec.dwOSVersionInfoSize = kOsVersionInfoExSize;
  ASSERT_TRUE(sys.GetVersionExA(rec));
  OsIdentity expected = ClassifyOsVersion(rec);

  std::string display, build;
  EXPECT_EQ(expected.family, IdentifyOperatingSystem(sys, &display, &build));
  EXPECT_EQ(expected.displayText, display);
  EXPECT_EQ("Build : " + std::to_string(static_cast<int32_t>(rec.dwBuildNumber)), build);
}

TEST(Win32SystemInfo, DirectoriesAreFullPaths) {
  Win32SystemApi sys;
  for (unsigned size : {255u, 260u}) {
    std::string windows = sys.GetWindowsDirectoryA(size);
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(':', windows[1]) << windows;
    EXPECT_NE('\\', windows.back()) << windows;
    std::string system = sys.GetSystemDirectoryA(size);
    EXPECT_EQ(0u, Upper(system).find(Upper(windows) + "\\")) << system << " is not under " << windows;
  }
  std::string oneCall, itemList;
  ASSERT_TRUE(sys.ShellFolderPathA(kCsidlSendTo, oneCall) && sys.ShellFolderPathFromItemList(kCsidlSendTo, itemList));
  EXPECT_EQ(Upper(itemList), Upper(oneCall));
}

TEST(Win32SystemInfo, TooSmallBufferNeverOverruns) {
  Win32SystemApi sys;
  const std::string full = sys.GetWindowsDirectoryA(260);
  for (unsigned size : {0u, 1u, 3u}) {
    std::string cut = sys.GetWindowsDirectoryA(size);
    EXPECT_LT(cut.size(), std::max(size, 1u)) << "size " << size;
    EXPECT_EQ(0u, full.find(cut)) << "size " << size << " gave " << cut;
    EXPECT_LT(sys.GetSystemDirectoryA(size).size(), std::max(size, 1u));
    EXPECT_LT(sys.GetComputerNameA(size).size(), std::max(size, 1u));
  }
}

TEST(Win32SystemInfo, ComputerAndUserNames) {
  Win32SystemApi sys;
  EXPECT_FALSE(sys.GetComputerNameA(260).empty());

  std::string user;
  ASSERT_TRUE(sys.GetUserNameA(256, user));
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(std::string::npos, user.find('\0'));

  std::string small = "unchanged";
  EXPECT_FALSE(sys.GetUserNameA(1, small)) << "no room for the name";
  EXPECT_EQ("unchanged", small);
}

// Longer once expanded than the adapter's first try; unknown names stay.
TEST(Win32SystemInfo, EnvironmentReferencesAreExpanded) {
  ::SetEnvironmentVariableA("KB_LONG", std::string(300, 'x').c_str());
  EXPECT_EQ(std::string(300, 'x') + "\\u.exe %KB_NONE%", Win32SystemApi().ExpandEnvironmentStringsA("%KB_LONG%\\u.exe %KB_NONE%"));
}

// --- processes ---

TEST(Win32SystemProcesses, ChildIsStartedAndWaitedForByItsId) {
  Win32SystemApi sys;
  StartupInfo si;
  si.dwFlags = kStartfUseShowWindow;
  si.wShowWindow = sw::kRestore;
  ProcessInformation pi;
  // A child that takes a little while, so the wait has something to wait for.
  ASSERT_TRUE(sys.CreateProcessA("cmd /c (for /L %i in (1,1,2000) do @rem) & exit 7", true, kNormalPriorityClass,
                                 si, pi));
  EXPECT_NE(0u, pi.dwProcessId);
  // Our own handle keeps the process object alive, so it can be opened by id even once it ended
  // and its exit code read afterwards.
  HANDLE watch = ::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pi.dwProcessId);
  ASSERT_NE(nullptr, watch);

  EXPECT_TRUE(sys.CloseHandle(pi.hThread));
  sys.WaitForInputIdle(pi.hProcess, kInfinite);  // a console child has no input queue: returns at once
  EXPECT_TRUE(sys.CloseHandle(pi.hProcess));

  SysHandle h = sys.OpenProcess(kSynchronize, false, pi.dwProcessId);
  ASSERT_NE(0u, h);
  EXPECT_EQ(WAIT_OBJECT_0, sys.WaitForSingleObject(h, kInfinite));
  DWORD code = 0;
  ASSERT_TRUE(::GetExitCodeProcess(watch, &code));
  EXPECT_EQ(7u, code) << "the wait returned before the child had ended";
  EXPECT_TRUE(sys.CloseHandle(h));
  ::CloseHandle(watch);
}

TEST(Win32SystemProcesses, StartsThatCannotHappen) {
  Win32SystemApi sys;
  ProcessInformation pi;
  pi.dwProcessId = 0xDEADBEEF;
  EXPECT_FALSE(sys.CreateProcessA("C:\\no\\such\\uninstaller.exe /x", true, kNormalPriorityClass, StartupInfo{}, pi));
  EXPECT_FALSE(sys.CreateProcessA("", true, kNormalPriorityClass, StartupInfo{}, pi));
  EXPECT_EQ(0xDEADBEEFu, pi.dwProcessId);

  for (const char* missing : {"C:\\no\\such\\walign.exe", "kb-no-such-tool.exe"}) {
    unsigned r = sys.WinExec(missing, sw::kRestore);
    EXPECT_TRUE(r == 2 || r == 3) << missing << " gave " << r;
  }
  std::intptr_t shell = sys.ShellExecuteA(BoxOwner::None, "OPEN", "C:\\no\\such\\console.msc", "", "", sw::kRestore);
  EXPECT_LE(shell, 32) << "a missing file is reported as an error code";
}

TEST(Win32SystemProcesses, WaitOnNoHandleFailsAtOnce) {
  Win32SystemApi sys;
  EXPECT_EQ(WAIT_FAILED, sys.WaitForSingleObject(0, kInfinite));
  EXPECT_FALSE(sys.CloseHandle(0));
}

}  // namespace

namespace {

// The shell and the common dialogs are loaded when first called, from the system folder.
TEST(SystemDll, FunctionsComeFromTheSystemFolderAndMissingOnesAreNull) {
  FARPROC shellExecute = SystemDllFunction("shell32.dll", "ShellExecuteA");
  ASSERT_NE(nullptr, shellExecute);
  HMODULE shell = GetModuleHandleA("shell32.dll");
  ASSERT_NE(nullptr, shell);
  EXPECT_EQ(GetProcAddress(shell, "ShellExecuteA"), shellExecute);
  char path[MAX_PATH] = "", folder[MAX_PATH] = "";
  GetModuleFileNameA(shell, path, sizeof path);
  GetSystemDirectoryA(folder, sizeof folder);
  EXPECT_EQ(0, _strnicmp(path, folder, strlen(folder))) << path;

  EXPECT_NE(nullptr, SystemDllFunction("comdlg32.dll", "GetOpenFileNameA"));
  EXPECT_EQ(nullptr, SystemDllFunction("shell32.dll", "NoSuchFunction"));
  EXPECT_EQ(nullptr, SystemDllFunction("keelbrook-no-such.dll", "Anything"));
}

}  // namespace

// The controls' font: 8-point "MS Sans Serif" at the display's DPI, in the character set of the
// system's code page, so that names in that code page are drawn with their own glyphs.
TEST(FormFont, EightPointMsSansSerifInTheSystemsCharacterSet) {
  HFONT font = CreateFormFont(120);
  LOGFONTA asked = {};
  ASSERT_EQ(static_cast<int>(sizeof asked), GetObjectA(font, sizeof asked, &asked));
  EXPECT_STREQ("MS Sans Serif", asked.lfFaceName);
  EXPECT_EQ(-MulDiv(8, 120, 72), asked.lfHeight);
  EXPECT_EQ(DEFAULT_CHARSET, asked.lfCharSet);
  CHARSETINFO system = {};
  ASSERT_TRUE(TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(GetACP())), &system, TCI_SRCCODEPAGE));
  HDC dc = GetDC(nullptr);
  HGDIOBJ before = SelectObject(dc, font);
  EXPECT_EQ(system.ciCharset, static_cast<UINT>(GetTextCharset(dc)));
  SelectObject(dc, before);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
}
