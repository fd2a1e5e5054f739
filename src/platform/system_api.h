#pragma once
// The kernel, shell and user calls the pages make besides the registry, with plain C++ types.
// Each method is named after the "A" function it stands for and passes what that function takes;
// the Win32 adapter forwards, the scripted fake records and answers.
#include <cstdint>
#include <string>

using SysHandle = std::uintptr_t;
constexpr SysHandle kInvalidSysHandle = static_cast<SysHandle>(-1);

// Whose message box or shell window it is: the main window's (disabled while the box is up) or
// nobody's (the main window stays usable).
enum class BoxOwner { None, MainWindow };

namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kError = kOk | kIconExclamation;   // 0x30: errors and warnings
constexpr unsigned kQuestion = kYesNo | kIconQuestion;  // 0x24: questions
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

namespace sw {
constexpr int kShowNormal = 1;
constexpr int kMaximize = 3;
constexpr int kRestore = 9;
}  // namespace sw

// OSVERSIONINFOEXA, field for field (156 bytes in Win32).
struct OsVersionInfo {
  uint32_t dwOSVersionInfoSize = 0;
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
  uint16_t wServicePackMajor = 0;
  uint16_t wServicePackMinor = 0;
  uint16_t wSuiteMask = 0;
  uint8_t wProductType = 0;
  uint8_t wReserved = 0;
};
constexpr uint32_t kOsVersionInfoExSize = 156;
// OSVERSIONINFOA: the same record up to the service-pack text, the only one that Windows 95, 98,
// ME and NT before 4.0 Service Pack 6 accept.
constexpr uint32_t kOsVersionInfoSize = 148;

// The STARTUPINFOA fields the uninstaller start fills; the rest stay zero.
struct StartupInfo {
  uint32_t cb = 68;
  uint32_t dwFlags = 0;
  uint16_t wShowWindow = 0;
  uint16_t cbReserved2 = 0;
};
constexpr uint32_t kStartfUseShowWindow = 0x1;
constexpr uint32_t kNormalPriorityClass = 0x20;
constexpr uint32_t kCreateSeparateWowVdm = 0x800;
constexpr uint32_t kSynchronize = 0x00100000;
constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr int kCsidlSendTo = 9;

struct ProcessInformation {
  SysHandle hProcess = 0;
  SysHandle hThread = 0;
  uint32_t dwProcessId = 0;
  uint32_t dwThreadId = 0;
};

// The WIN32_FIND_DATAA fields the Send To listing reads.
struct FindData {
  uint32_t dwFileAttributes = 0;
  std::string cFileName;
};

class SystemApi {
 public:
  virtual ~SystemApi() = default;

  // System information
  virtual bool GetVersionExA(OsVersionInfo& info) = 0;
  virtual std::string GetWindowsDirectoryA(unsigned size) = 0;
  virtual std::string GetSystemDirectoryA(unsigned size) = 0;
  virtual std::string GetComputerNameA(unsigned size) = 0;
  virtual bool SetComputerNameA(const std::string& name) = 0;
  virtual bool GetUserNameA(unsigned size, std::string& name) = 0;
  // True when the byte starts a two-byte character in the system's ANSI code page.
  virtual bool IsDBCSLeadByte(unsigned char byte) = 0;
  // The text with each %name% of the environment replaced by its value; unknown names stay.
  virtual std::string ExpandEnvironmentStringsA(const std::string& text) = 0;

  // Processes
  virtual bool CreateProcessA(const std::string& commandLine, bool inheritHandles, uint32_t creationFlags,
                              const StartupInfo& startup, ProcessInformation& info) = 0;
  // A wait without a time limit (kInfinite) keeps the program's windows painted, and handles no
  // other message until it ends: clicks and keys made meanwhile are handled after it.
  virtual uint32_t WaitForInputIdle(SysHandle process, uint32_t milliseconds) = 0;
  virtual SysHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) = 0;
  virtual uint32_t WaitForSingleObject(SysHandle handle, uint32_t milliseconds) = 0;
  virtual bool CloseHandle(SysHandle handle) = 0;
  virtual unsigned WinExec(const std::string& commandLine, int show) = 0;
  virtual std::intptr_t ShellExecuteA(BoxOwner owner, const std::string& verb, const std::string& file,
                                      const std::string& parameters, const std::string& directory,
                                      int show) = 0;

  // Files and folders
  virtual int CopyFileA(const std::string& source, const std::string& destination, bool failIfExists) = 0;
  virtual bool MoveFileA(const std::string& oldPath, const std::string& newPath) = 0;
  virtual bool DeleteFileA(const std::string& path) = 0;
  virtual SysHandle FindFirstFileA(const std::string& pattern, FindData& data) = 0;
  virtual bool FindNextFileA(SysHandle search, FindData& data) = 0;
  virtual bool FindClose(SysHandle search) = 0;
  // The path of one of the shell's special folders (a CSIDL_ value) as the shell records it for
  // the current user: SHGetSpecialFolderLocation, then SHGetPathFromIDListA. False when the
  // shell knows no such folder or has no path for it.
  virtual bool ShellFolderPathA(int csidl, std::string& path) = 0;

  // User
  virtual int MessageBoxA(BoxOwner owner, const std::string& text, const std::string& caption,
                          unsigned type) = 0;
  // CompareStringA with the user's default locale and NORM_IGNORECASE: <0, 0 or >0.
  virtual int CompareTextIgnoreCase(const std::string& a, const std::string& b) = 0;
  // Puts the text on the clipboard as plain ANSI text (CF_TEXT), in place of what was there.
  // False when the clipboard could not be had.
  virtual bool SetClipboardText(const std::string& text) = 0;
};
