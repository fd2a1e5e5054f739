#pragma once
// A scripted SystemApi: the test sets what the system reports and how each call ends, the fake
// records every call (message boxes with owner, text, caption and type; processes; file
// operations) and answers questions from a queue. Files live in an in-memory folder tree.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/system_api.h"

struct MessageBoxCall {
  BoxOwner owner;
  std::string text;
  std::string caption;
  unsigned type;
};

struct ShellExecuteCall {
  BoxOwner owner;
  std::string verb, file, parameters, directory;
  int show;
};

struct CreateProcessCall {
  std::string commandLine;
  bool inheritHandles;
  uint32_t creationFlags;
  StartupInfo startup;
};

class FakeSystem : public SystemApi {
 public:
  // What the system reports
  bool versionOk = true;
  OsVersionInfo version{};                 // copied into the caller's record by GetVersionExA
  OsVersionInfo lastVersionRequest{};      // the record as the caller passed it in
  std::vector<uint32_t> versionRequestSizes;
  // Wine hands out the extended record under every version it poses as; the real systems before
  // NT 4.0 Service Pack 6 refuse it, and so does this fake unless told to be Wine.
  bool extendedRecordEverywhere = false;
  std::string windowsDir = "C:\\WINDOWS";
  std::string systemDir = "C:\\WINDOWS\\SYSTEM";
  std::string computerName = "PC";
  std::string userName = "Anna";
  bool userNameOk = true;
  std::vector<unsigned> windowsDirSizes, systemDirSizes, computerNameSizes, userNameSizes;
  std::vector<std::string> setComputerNames;
  bool setComputerNameOk = true;
  int codePage = 1252;  // 932: Japanese, with its lead bytes, in file names too
  std::pair<std::string, std::string> environment;  // one "%Name%" and its value

  // Processes: CreateProcessA succeeds when createProcessOk, giving nextProcessId.
  bool createProcessOk = true;
  uint32_t nextProcessId = 4242;
  bool closeThreadOk = true;
  bool sharedSixteenBitMachine = false;  // a 16-bit program on NT without its own machine: no thread handle
  std::vector<CreateProcessCall> createProcessCalls;
  std::vector<std::string> processLog;  // "create", "close-thread", "input-idle", "close-process", "open:<pid>", "wait", "wait-process", "close"
  std::vector<uint32_t> openedProcessIds;

  unsigned winExecResult = 33;  // > 31 is success
  std::vector<std::pair<std::string, int>> winExecCalls;
  std::intptr_t shellExecuteResult = 42;
  std::vector<ShellExecuteCall> shellExecuteCalls;

  // Message boxes: each box takes the next answer from the queue, IDNO when it is empty for a
  // question and IDOK otherwise.
  std::deque<int> answers;
  std::vector<MessageBoxCall> boxes;
  std::function<void()> whileBoxShown;  // runs while each box waits for its answer
  std::function<void()> whileWaiting;   // runs in each wait for a process

  // Files: full paths (compared without regard to case) with their attribute bits, in the order
  // they were added, which is the order a folder search yields them (after "." and "..").
  // Folders carry 0x10; a search succeeds only in a folder that was added.
  struct FileEntry {
    std::string path;
    uint32_t attributes;
  };
  std::vector<FileEntry> files;
  std::vector<std::string> fileLog;  // "copy src -> dst", "move a -> b", "delete p", "find pattern"
  bool failCopy = false, failMove = false, failDelete = false;
  int openSearches = 0;

  void AddFile(const std::string& path, uint32_t attributes = 0x20);
  bool FileExists(const std::string& path) const;

  // SystemApi
  bool GetVersionExA(OsVersionInfo& info) override;
  std::string GetWindowsDirectoryA(unsigned size) override;
  std::string GetSystemDirectoryA(unsigned size) override;
  std::string GetComputerNameA(unsigned size) override;
  bool SetComputerNameA(const std::string& name) override;
  bool GetUserNameA(unsigned size, std::string& name) override;
  bool IsDBCSLeadByte(unsigned char b) override { return codePage == 932 && ((b >= 0x81 && b <= 0x9F) || b >= 0xE0); }
  std::string ExpandEnvironmentStringsA(const std::string& text) override {
    const size_t at = environment.first.empty() ? std::string::npos : text.find(environment.first);
    return at == std::string::npos ? text : std::string(text).replace(at, environment.first.size(), environment.second);
  }
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
  bool ShellFolderPathA(int csidl, std::string& path) override {
    if (csidl != kCsidlSendTo || shellSendTo.empty()) return false;
    path = shellSendTo;
    return true;
  }
  std::string shellSendTo;  // what the shell records as the user's Send To folder; "" for nothing
  int MessageBoxA(BoxOwner owner, const std::string& text, const std::string& caption, unsigned type) override;
  int CompareTextIgnoreCase(const std::string& a, const std::string& b) override;
  bool SetClipboardText(const std::string& text) override {
    clipboard = text;
    return true;
  }
  std::string clipboard;

 private:
  struct Search {
    std::vector<FindData> entries;
    size_t next = 0;
  };
  std::map<SysHandle, Search> searches_;
  SysHandle nextSearch_ = 0x5000;
};
