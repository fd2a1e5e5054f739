// What FakeSystem promises beyond the cases it shares with the real calls: the order of a folder
// walk, the call records, the scripted answers and the injected failures. Page tests lean on all
// of these.
#include "fakes/fake_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "fakes/fake_controls.h"
#include "shared/file_ops_cases.h"

namespace {

bool SamePath(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

class FakeFileOpsBed : public FileOpsBed {
 public:
  // The system the Wine run of these cases meets: Wine's default, Windows 7.
  FakeFileOpsBed() {
    sys_.AddFile(kFolder, 0x10);
    sys_.version = VersionRecord(2, 6, 1, 7601, "Service Pack 1");
  }
  SystemApi& System() override { return sys_; }
  std::string Folder() override { return kFolder; }
  void MakeFile(const std::string& path, uint32_t attributes) override { sys_.AddFile(path, attributes); }
  void MakeFolder(const std::string& path) override { sys_.AddFile(path, 0x10); }
  bool Exists(const std::string& path) override { return sys_.FileExists(path); }
  uint32_t Attributes(const std::string& path) override {
    for (const auto& f : sys_.files)
      if (SamePath(f.path, path)) return f.attributes;
    return 0xFFFFFFFF;
  }

 private:
  static constexpr const char* kFolder = "C:\\Scratch";
  FakeSystem sys_;
};

}  // namespace

std::unique_ptr<FileOpsBed> MakeFileOpsBed() { return std::make_unique<FakeFileOpsBed>(); }

namespace {

std::vector<std::string> WalkNames(FakeSystem& sys, const std::string& pattern) {
  std::vector<std::string> names;
  FindData data;
  SysHandle h = sys.FindFirstFileA(pattern, data);
  if (h == kInvalidSysHandle) return names;
  do names.push_back(data.cFileName);
  while (sys.FindNextFileA(h, data));
  sys.FindClose(h);
  return names;
}

TEST(FakeSystemFolders, WalkFollowsInsertionOrder) {
  FakeSystem sys;
  sys.AddFile("C:\\WINDOWS\\SendTo", 0x10);
  sys.AddFile("C:\\WINDOWS\\SendTo\\Zip.lnk");
  sys.AddFile("C:\\WINDOWS\\SendTo\\desktop.ini", 0x06);
  sys.AddFile("C:\\WINDOWS\\SendTo\\Another", 0x10);
  sys.AddFile("C:\\WINDOWS\\SendTo\\Another\\Inner.lnk");
  sys.AddFile("C:\\WINDOWS\\SendTo\\Apple.lnk");
  sys.AddFile("C:\\WINDOWS\\Notepad.exe");
  EXPECT_EQ((std::vector<std::string>{".", "..", "Zip.lnk", "desktop.ini", "Another", "Apple.lnk"}),
            WalkNames(sys, "C:\\WINDOWS\\SendTo\\\\*.*"));
  EXPECT_EQ((std::vector<std::string>{".", "..", "Zip.lnk", "desktop.ini", "Another", "Apple.lnk"}),
            WalkNames(sys, "c:\\windows\\sendto\\*"));
  EXPECT_EQ(0, sys.openSearches);
}

TEST(FakeSystemFolders, FolderAddedWithTrailingBackslashIsFound) {
  FakeSystem sys;
  sys.AddFile("D:\\Documents and Settings\\Anna\\SendTo\\", 0x10);
  sys.AddFile("D:\\Documents and Settings\\Anna\\SendTo\\Mail.MAPIMail");
  EXPECT_EQ((std::vector<std::string>{".", "..", "Mail.MAPIMail"}),
            WalkNames(sys, "D:\\Documents and Settings\\Anna\\SendTo\\\\*.*"));
  EXPECT_TRUE(sys.FileExists("d:\\documents and settings\\anna\\sendto"));
}

TEST(FakeSystemFolders, SearchesAreCountedUntilClosed) {
  FakeSystem sys;
  sys.AddFile("C:\\F", 0x10);
  FindData data;
  SysHandle a = sys.FindFirstFileA("C:\\F\\*.*", data);
  SysHandle b = sys.FindFirstFileA("C:\\F\\*.*", data);
  ASSERT_NE(kInvalidSysHandle, a);
  ASSERT_NE(a, b);
  EXPECT_EQ(2, sys.openSearches);
  EXPECT_TRUE(sys.FindClose(a));
  EXPECT_FALSE(sys.FindClose(a)) << "closing twice";
  EXPECT_FALSE(sys.FindNextFileA(a, data)) << "a closed search yields nothing";
  EXPECT_EQ(1, sys.openSearches);
  EXPECT_EQ(kInvalidSysHandle, sys.FindFirstFileA("C:\\Nope\\*.*", data));
  EXPECT_EQ(1, sys.openSearches) << "a search that did not start is not counted";
  EXPECT_EQ((std::vector<std::string>{"find C:\\F\\*.*", "find C:\\F\\*.*", "find C:\\Nope\\*.*"}), sys.fileLog);
}

TEST(FakeSystemFolders, AFileIsNotAFolder) {
  FakeSystem sys;
  sys.AddFile("C:\\F");  // a plain file named like the folder
  FindData data;
  EXPECT_EQ(kInvalidSysHandle, sys.FindFirstFileA("C:\\F\\*.*", data));
}

TEST(FakeSystemFiles, InjectedFailuresRefuseAndChangeNothing) {
  FakeSystem sys;
  sys.AddFile("C:\\F", 0x10);
  sys.AddFile("C:\\F\\a.lnk");
  sys.failCopy = sys.failMove = sys.failDelete = true;
  EXPECT_EQ(0, sys.CopyFileA("C:\\F\\a.lnk", "C:\\F\\b.lnk", true));
  EXPECT_FALSE(sys.MoveFileA("C:\\F\\a.lnk", "C:\\F\\c.lnk"));
  EXPECT_FALSE(sys.DeleteFileA("C:\\F\\a.lnk"));
  ASSERT_EQ(2u, sys.files.size());
  EXPECT_EQ("C:\\F\\a.lnk", sys.files[1].path);
  EXPECT_EQ((std::vector<std::string>{"copy C:\\F\\a.lnk -> C:\\F\\b.lnk", "move C:\\F\\a.lnk -> C:\\F\\c.lnk",
                                      "delete C:\\F\\a.lnk"}),
            sys.fileLog);
}

TEST(FakeSystemFiles, MovedFolderTakesItsContents) {
  FakeSystem sys;
  sys.AddFile("C:\\Old", 0x10);
  sys.AddFile("C:\\Old\\x.lnk");
  sys.AddFile("C:\\Older\\y.lnk");  // shares the prefix but is not inside
  ASSERT_TRUE(sys.MoveFileA("C:\\Old", "C:\\New"));
  EXPECT_TRUE(sys.FileExists("C:\\New\\x.lnk"));
  EXPECT_FALSE(sys.FileExists("C:\\Old\\x.lnk"));
  EXPECT_TRUE(sys.FileExists("C:\\Older\\y.lnk"));
}

TEST(FakeSystemProcesses, LaunchAndWaitAreLoggedInOrder) {
  FakeSystem sys;
  sys.nextProcessId = 77;
  StartupInfo si;
  si.dwFlags = kStartfUseShowWindow;
  si.wShowWindow = sw::kRestore;
  ProcessInformation pi;
  ASSERT_TRUE(sys.CreateProcessA("C:\\un.exe /x", true, kNormalPriorityClass, si, pi));
  EXPECT_EQ(77u, pi.dwProcessId);
  EXPECT_TRUE(sys.CloseHandle(pi.hThread));
  EXPECT_EQ(0u, sys.WaitForInputIdle(pi.hProcess, kInfinite));
  EXPECT_TRUE(sys.CloseHandle(pi.hProcess));
  SysHandle h = sys.OpenProcess(kSynchronize, false, pi.dwProcessId);
  EXPECT_EQ(0u, sys.WaitForSingleObject(h, kInfinite));
  EXPECT_TRUE(sys.CloseHandle(h));
  EXPECT_EQ((std::vector<std::string>{"create", "close-thread", "input-idle", "close-process", "open:77", "wait",
                                      "close"}),
            sys.processLog);
  ASSERT_EQ(1u, sys.createProcessCalls.size());
  const CreateProcessCall& call = sys.createProcessCalls[0];
  EXPECT_EQ("C:\\un.exe /x", call.commandLine);
  EXPECT_TRUE(call.inheritHandles);
  EXPECT_EQ(0x20u, call.creationFlags);
  EXPECT_EQ(68u, call.startup.cb);
  EXPECT_EQ(1u, call.startup.dwFlags);
  EXPECT_EQ(9, call.startup.wShowWindow);
  EXPECT_EQ((std::vector<uint32_t>{77}), sys.openedProcessIds);
}

TEST(FakeSystemProcesses, RefusedStartsLeaveTheRecordAlone) {
  struct {
    const char* what;
    bool ok;
    std::string command;
  } cases[] = {{"refused", false, "C:\\un.exe"}, {"empty command line", true, ""}};
  for (const auto& c : cases) {
    FakeSystem sys;
    sys.createProcessOk = c.ok;
    ProcessInformation pi;
    pi.dwProcessId = 0xDEADBEEF;
    EXPECT_FALSE(sys.CreateProcessA(c.command, true, kNormalPriorityClass, StartupInfo{}, pi)) << c.what;
    EXPECT_EQ(0xDEADBEEFu, pi.dwProcessId) << c.what;
    EXPECT_EQ(std::vector<std::string>{"create"}, sys.processLog) << c.what;
  }
}

TEST(FakeSystemProcesses, ThreadCloseCanBeRefusedAndStrayHandlesAreInvalid) {
  FakeSystem sys;
  sys.closeThreadOk = false;
  ProcessInformation pi;
  ASSERT_TRUE(sys.CreateProcessA("x.exe", true, kNormalPriorityClass, StartupInfo{}, pi));
  EXPECT_FALSE(sys.CloseHandle(pi.hThread));
  EXPECT_FALSE(sys.CloseHandle(0));
  EXPECT_EQ(0xFFFFFFFFu, sys.WaitForSingleObject(0, kInfinite)) << "waiting on nothing fails at once";
  EXPECT_EQ((std::vector<std::string>{"create", "close-thread", "close-invalid", "wait"}), sys.processLog);
}

TEST(FakeSystemBoxes, AnswersComeFromTheQueueThenByKind) {
  FakeSystem sys;
  sys.answers = {mb::kIdYes};
  EXPECT_EQ(mb::kIdYes, sys.MessageBoxA(BoxOwner::MainWindow, "Sure ?", "Keelbrook", mb::kQuestion));
  EXPECT_EQ(mb::kIdNo, sys.MessageBoxA(BoxOwner::MainWindow, "Sure ?", "Keelbrook", mb::kQuestion));
  EXPECT_EQ(mb::kIdOk, sys.MessageBoxA(BoxOwner::None, "Oops !", "Keelbrook", mb::kError));
  EXPECT_EQ(mb::kIdOk, sys.MessageBoxA(BoxOwner::None, "Bad", "Keelbrook 2003", mb::kOk | mb::kIconError));
  ASSERT_EQ(4u, sys.boxes.size());
  EXPECT_EQ(BoxOwner::None, sys.boxes[2].owner);
  EXPECT_EQ("Oops !", sys.boxes[2].text);
  EXPECT_EQ(0x30u, sys.boxes[2].type);
}

TEST(FakeSystemInfo, GettersRecordTheSizeAsked) {
  FakeSystem sys;
  sys.windowsDir = "C:\\WINDOWS";
  EXPECT_EQ("C:\\WINDOWS", sys.GetWindowsDirectoryA(255));
  EXPECT_EQ("", sys.GetWindowsDirectoryA(5)) << "a path that does not fit is not handed out";
  EXPECT_EQ("", sys.GetWindowsDirectoryA(0));
  EXPECT_EQ((std::vector<unsigned>{255, 5, 0}), sys.windowsDirSizes);
  EXPECT_EQ("PC", sys.GetComputerNameA(260));
  EXPECT_EQ((std::vector<unsigned>{260}), sys.computerNameSizes);

  std::string name = "unchanged";
  sys.userNameOk = false;
  EXPECT_FALSE(sys.GetUserNameA(256, name));
  EXPECT_EQ("unchanged", name);
  sys.userNameOk = true;
  EXPECT_TRUE(sys.GetUserNameA(256, name));
  EXPECT_EQ("Anna", name);
  EXPECT_EQ((std::vector<unsigned>{256, 256}), sys.userNameSizes);
}

TEST(FakeSystemInfo, VersionCopiedIntoTheCallersRecord) {
  FakeSystem sys;
  sys.version.dwMajorVersion = 5;
  sys.version.dwMinorVersion = 1;
  sys.version.dwPlatformId = 2;
  sys.version.wSuiteMask = 0x200;
  sys.version.dwOSVersionInfoSize = 0;  // whatever the script says, the size stays the caller's

  OsVersionInfo rec{};
  rec.dwOSVersionInfoSize = 156;
  ASSERT_TRUE(sys.GetVersionExA(rec));
  EXPECT_EQ(156u, rec.dwOSVersionInfoSize);
  EXPECT_EQ(5u, rec.dwMajorVersion);
  EXPECT_EQ(0x200, rec.wSuiteMask);

  OsVersionInfo basic{};
  basic.dwOSVersionInfoSize = 148;
  ASSERT_TRUE(sys.GetVersionExA(basic));
  EXPECT_EQ(1u, basic.dwMinorVersion);
  EXPECT_EQ(0, basic.wSuiteMask) << "the basic record has no suite mask";

  sys.versionOk = false;
  OsVersionInfo failed{};
  failed.dwOSVersionInfoSize = 156;
  EXPECT_FALSE(sys.GetVersionExA(failed));
  EXPECT_EQ(0u, failed.dwMajorVersion);
  EXPECT_EQ(156u, sys.lastVersionRequest.dwOSVersionInfoSize);
}

}  // namespace
