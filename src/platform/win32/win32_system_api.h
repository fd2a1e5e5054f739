#pragma once
// SystemApi over kernel32, user32, shell32 and advapi32. Each method forwards to the "A" function
// of the same name and translates the plain types; nothing here decides anything. The waits
// without a time limit keep the program's windows painted meanwhile (painting_wait.h).
#include <windows.h>

#include "platform/system_api.h"

class Win32SystemApi : public SystemApi {
 public:
  Win32SystemApi() = default;

  // The window that owns boxes and shell windows asked for with BoxOwner::MainWindow. Until it is
  // set, such boxes have no owner.
  void SetMainWindow(void* hwnd) { mainWindow_ = static_cast<HWND>(hwnd); }

  bool GetVersionExA(OsVersionInfo& info) override;
  std::string GetWindowsDirectoryA(unsigned size) override;
  std::string GetSystemDirectoryA(unsigned size) override;
  std::string GetComputerNameA(unsigned size) override;
  bool SetComputerNameA(const std::string& name) override;
  bool GetUserNameA(unsigned size, std::string& name) override;
  bool IsDBCSLeadByte(unsigned char byte) override { return ::IsDBCSLeadByte(byte) != FALSE; }
  std::string ExpandEnvironmentStringsA(const std::string& text) override;

  bool CreateProcessA(const std::string& commandLine, bool inheritHandles, uint32_t creationFlags,
                      const StartupInfo& startup, ProcessInformation& info) override;
  uint32_t WaitForInputIdle(SysHandle process, uint32_t milliseconds) override;
  SysHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override;
  uint32_t WaitForSingleObject(SysHandle handle, uint32_t milliseconds) override;
  bool CloseHandle(SysHandle handle) override;
  unsigned WinExec(const std::string& commandLine, int show) override;
  std::intptr_t ShellExecuteA(BoxOwner owner, const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory, int show) override;

  int CopyFileA(const std::string& source, const std::string& destination, bool failIfExists) override;
  bool MoveFileA(const std::string& oldPath, const std::string& newPath) override;
  bool DeleteFileA(const std::string& path) override;
  SysHandle FindFirstFileA(const std::string& pattern, FindData& data) override;
  bool FindNextFileA(SysHandle search, FindData& data) override;
  bool FindClose(SysHandle search) override;
  bool ShellFolderPathA(int csidl, std::string& path) override;
  // The same through the shell's item list, the only way of the first shell32 (95 and NT 4.0).
  static bool ShellFolderPathFromItemList(int csidl, std::string& path);

  int MessageBoxA(BoxOwner owner, const std::string& text, const std::string& caption, unsigned type) override;
  int CompareTextIgnoreCase(const std::string& a, const std::string& b) override;
  bool SetClipboardText(const std::string& text) override;

 private:
  HWND OwnerOf(BoxOwner owner) const { return owner == BoxOwner::MainWindow ? mainWindow_ : nullptr; }

  HWND mainWindow_ = nullptr;
};
