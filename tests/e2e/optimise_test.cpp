// "Optimise" end to end: under Windows XP Wine has none of the tools, so each button shows its
// not-found box, owned by no window; a stand-in copied into a tool's place is started with the
// restore show state and left running while the program carries on.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

std::string SystemDir() {
  char dir[MAX_PATH] = {};
  GetSystemDirectoryA(dir, sizeof dir);
  return dir;
}
using e2e::Exists;

// One start of tests/programs/fake_tool.exe, as it logged it.
struct ToolStart {
  std::string path, commandLine, folder;
  int show = -1;
  DWORD pid = 0;
};

// fake_tool.exe copied to where the program looks for a tool, with the log it writes; the copy,
// the log and anything still running are gone when this ends.
class StandInTool {
 public:
  explicit StandInTool(std::string where) : where_(std::move(where)) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    log_ = std::string(temp) + "keelbrook-fake-tool-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log_.c_str());
    DeleteFileA((log_ + ".release").c_str());
    // Inherited by keelbrook.exe, started after this, and so by what it starts.
    SetEnvironmentVariableA("KB_FAKE_TOOL_LOG", log_.c_str());
    if (!where_.empty() && !CopyFileA(e2e::TestProgram("fake_tool").c_str(), where_.c_str(), FALSE))
      throw e2e::DriverError("could not put the stand-in tool at " + where_);
  }
  ~StandInTool() {
    Release();
    for (const ToolStart& s : Starts()) {
      HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, s.pid);
      if (!h) continue;
      if (WaitForSingleObject(h, 5000) != WAIT_OBJECT_0) TerminateProcess(h, 1);
      CloseHandle(h);
    }
    SetEnvironmentVariableA("KB_FAKE_TOOL_LOG", nullptr);
    if (!where_.empty()) {
      for (int i = 0; i < 50 && !DeleteFileA(where_.c_str()) && Exists(where_); ++i) Sleep(100);
    }
    DeleteFileA(log_.c_str());
    DeleteFileA((log_ + ".release").c_str());
  }
  StandInTool(const StandInTool&) = delete;
  StandInTool& operator=(const StandInTool&) = delete;

  std::vector<ToolStart> Starts() const {
    std::vector<ToolStart> starts;
    for (const std::vector<std::string>& f : e2e::ReadRecords(log_, 5)) {
      starts.push_back({f[0], f[1], f[2], std::atoi(f[3].c_str()), static_cast<DWORD>(std::strtoul(f[4].c_str(), nullptr, 10))});
    }
    return starts;
  }
  bool WaitForStarts(size_t n, DWORD ms = 10000) const {
    return e2e::WaitUntil([&] { return Starts().size() >= n; }, ms);
  }
  static bool StillRunning(DWORD pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h) return false;
    bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
  }
  void Release() const {
    HANDLE h = CreateFileA((log_ + ".release").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }

 private:
  std::string where_;
  std::string log_;
};

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class Optimise : public ::testing::Test {
 protected:
  void StartOnOptimise(const char* version = "winxp") {
    kb.SetWindowsVersion(version);
    kb.Start();
    kb.SwitchTab(3);
  }
  e2e::RegistryFixture reg;
  e2e::KeelbrookDriver kb;
};

TEST_F(Optimise, MissingToolsShowTheirBoxesWithoutOwner) {
  StartOnOptimise();
  ASSERT_FALSE(Exists(SystemDir() + "\\walign.exe"));
  ASSERT_FALSE(Exists(e2e::WindowsDir() + "\\scandskw.exe"));
  ASSERT_FALSE(Exists(SystemDir() + "\\defrag.exe"));
  const struct {
    int button;
    const char* text;
  } cases[] = {
      {IDC_OPTIMISE_WINALIGN, "The specified file was not found.\nThis file works only with Windows 98 !"},
      {IDC_OPTIMISE_SCANDISK, "The specified file was not found !"},
      {IDC_OPTIMISE_DEFRAG, "The specified file was not found !"},  // dfrg.msc on XP
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    kb.Click(c.button);
    e2e::MessageBoxInfo box = kb.WaitForMessageBox();
    EXPECT_EQ(c.text, box.text);
    EXPECT_EQ("Keelbrook", box.caption);
    EXPECT_EQ(nullptr, box.owner) << "no owner window";
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(std::vector<int>{IDOK}, box.ButtonIds());
    EXPECT_TRUE(IsWindowEnabled(kb.MainWindow())) << "the window stays usable while the box is open";
    kb.Answer(box, IDOK);
  }
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
  kb.Screenshot("optimise-after-boxes");
}

TEST_F(Optimise, AToolInPlaceIsStartedAndNotWaitedFor) {
  const std::string tool = e2e::WindowsDir() + "\\scandskw.exe";
  StandInTool standIn(tool);
  StartOnOptimise();
  kb.Click(IDC_OPTIMISE_SCANDISK);
  ASSERT_TRUE(standIn.WaitForStarts(1)) << "scandskw.exe was not started";
  const ToolStart first = standIn.Starts()[0];
  EXPECT_TRUE(SamePath(tool, first.path)) << first.path;
  EXPECT_TRUE(SamePath(tool, first.commandLine)) << "the full path, nothing else: " << first.commandLine;
  EXPECT_EQ(SW_RESTORE, first.show);
  // The tool goes on running while the program answers and shows no box.
  EXPECT_TRUE(kb.NoMessageBoxFor(500));
  kb.Sync();
  EXPECT_TRUE(StandInTool::StillRunning(first.pid));
  // A second press starts a second copy beside the first.
  kb.Click(IDC_OPTIMISE_SCANDISK);
  ASSERT_TRUE(standIn.WaitForStarts(2));
  EXPECT_TRUE(StandInTool::StillRunning(first.pid));
  EXPECT_NE(first.pid, standIn.Starts()[1].pid);
  kb.Sync();
}

// Before XP the program draws its buttons itself; a quick double-click is two presses all the
// same, as on the system's own buttons.
TEST(OptimiseBeforeXp, ADoubleClickStartsTheToolTwice) {
  StandInTool standIn(e2e::WindowsDir() + "\\scandskw.exe");
  e2e::CopyWithoutManifest copy;
  e2e::KeelbrookDriver kb(copy.Path());
  kb.Start();
  kb.SwitchTab(3);
  ASSERT_EQ(BS_OWNERDRAW, kb.Style(IDC_OPTIMISE_SCANDISK) & 0x0F);
  kb.DoubleClick(IDC_OPTIMISE_SCANDISK);
  EXPECT_TRUE(standIn.WaitForStarts(2)) << standIn.Starts().size() << " start(s)";
  kb.Sync();
}

TEST_F(Optimise, DefragmentOnNt4RunsDefragExeFromTheSearchPath) {
  const std::string tool = SystemDir() + "\\defrag.exe";
  StandInTool standIn(tool);
  StartOnOptimise("nt40");
  kb.Click(IDC_OPTIMISE_DEFRAG);
  ASSERT_TRUE(standIn.WaitForStarts(1)) << "defrag.exe was not started";
  EXPECT_EQ("defrag.exe", standIn.Starts()[0].commandLine);
  EXPECT_EQ(SW_RESTORE, standIn.Starts()[0].show);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
}

class DefragmentSnapIn : public Optimise, public ::testing::WithParamInterface<const char*> {};

// 2000, and XP and 2003, whose defrag.exe is a console tool that wants a drive letter.
TEST_P(DefragmentSnapIn, OpensDfrgMscThroughTheShell) {
  // dfrg.msc, and a program the shell opens .msc files with, made for the test.
  const std::string snapIn = SystemDir() + "\\dfrg.msc";
  HANDLE h = CreateFileA(snapIn.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  CloseHandle(h);
  StandInTool standIn("");
  std::string command = e2e::TestProgram("fake_tool");
  for (char& c : command) c = c == '/' ? '\\' : c;
  reg.SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\.msc", "", "KeelbrookTest.msc");
  reg.SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\KeelbrookTest.msc\\shell\\open\\command", "",
                "\"" + command + "\" \"%1\"");
  StartOnOptimise(GetParam());
  kb.Click(IDC_OPTIMISE_DEFRAG);
  const bool started = standIn.WaitForStarts(1);
  DeleteFileA(snapIn.c_str());
  ASSERT_TRUE(started) << "the shell did not open dfrg.msc";
  const ToolStart s = standIn.Starts()[0];
  EXPECT_NE(std::string::npos, s.commandLine.find("dfrg.msc")) << s.commandLine;
  EXPECT_EQ(SW_RESTORE, s.show);
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
}
INSTANTIATE_TEST_SUITE_P(Systems, DefragmentSnapIn, ::testing::Values("win2k", "win2003"));

}  // namespace
