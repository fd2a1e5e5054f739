// "Optimise": how each tool's path is built and started, which defragmenter each family gets,
// and which start results the user hears about.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_controls.h"

namespace {

using Handler = void (TfrmMain::*)();

constexpr const char* kNotFound = "The specified file was not found !";
constexpr const char* kWinAlignNotFound = "The specified file was not found.\nThis file works only with Windows 98 !";
constexpr const char* kNoResources = "The system is out of memory or resources !";
constexpr const char* kProblem = "There was a problem while running the file !";

TEST(OptimiseStart, PathsAreTheSystemFoldersJoinedByOneBackslash) {
  struct {
    const char* what;
    Handler handler;
    std::string windowsDir, systemDir, expected;
  } cases[] = {
      {"WinAlign", &TfrmMain::btnRunWinAlignClick, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM\\walign.exe"},
      {"ScanDisk", &TfrmMain::btnRunScanDiskClick, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\scandskw.exe"},
      // The folder as the system gives it, with no look at how it ends.
      {"WinAlign, root folder", &TfrmMain::btnRunWinAlignClick, "C:\\", "C:\\", "C:\\\\walign.exe"},
      {"ScanDisk, spaces", &TfrmMain::btnRunScanDiskClick, "D:\\My Windows", "", "D:\\My Windows\\scandskw.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    f.system.windowsDir = c.windowsDir;
    f.system.systemDir = c.systemDir;
    (f.form.get()->*c.handler)();
    ASSERT_EQ(1u, f.system.winExecCalls.size());
    EXPECT_EQ(c.expected, f.system.winExecCalls[0].first);
    EXPECT_EQ(sw::kRestore, f.system.winExecCalls[0].second);
    EXPECT_TRUE(f.system.shellExecuteCalls.empty());
    EXPECT_TRUE(f.boxes().empty());
  }
}

TEST(OptimiseStart, FoldersAreAskedForWithRoomFor255) {
  FakeForm f;
  f->btnRunWinAlignClick();
  f->btnRunScanDiskClick();
  EXPECT_EQ(std::vector<unsigned>{255}, f.system.systemDirSizes);
  EXPECT_EQ(std::vector<unsigned>{255}, f.system.windowsDirSizes);
}

TEST(OptimiseStart, DefragmenterDependsOnTheFamily) {
  for (int family : {0, 1, 2, 3, 4, 5, 6, 7, -1}) {
    SCOPED_TRACE("OsFamily " + std::to_string(family));
    FakeForm f;
    f->OsFamily = family;
    f->btnRunDefragClick();
    if (family >= 4 && family <= 6) {
      ASSERT_EQ(1u, f.system.shellExecuteCalls.size());
      const ShellExecuteCall& call = f.system.shellExecuteCalls[0];
      EXPECT_EQ(BoxOwner::None, call.owner);
      EXPECT_EQ("OPEN", call.verb);
      EXPECT_EQ("dfrg.msc", call.file);
      EXPECT_EQ("", call.parameters);
      EXPECT_EQ("", call.directory);
      EXPECT_EQ(sw::kRestore, call.show);
      EXPECT_TRUE(f.system.winExecCalls.empty());
    } else {
      ASSERT_EQ(1u, f.system.winExecCalls.size());
      EXPECT_EQ("defrag.exe", f.system.winExecCalls[0].first) << "found by the program search, not by folder";
      EXPECT_EQ(sw::kRestore, f.system.winExecCalls[0].second);
      EXPECT_TRUE(f.system.shellExecuteCalls.empty());
    }
  }
}

// Every failed start is told; the results the system has no words for name the tool.
TEST(OptimiseStart, EveryFailedStartIsReported) {
  struct Button {
    const char* what;
    Handler handler;
    int family;
    const char* notFound;
  } buttons[] = {
      {"WinAlign", &TfrmMain::btnRunWinAlignClick, 5, kWinAlignNotFound},
      {"ScanDisk", &TfrmMain::btnRunScanDiskClick, 5, kNotFound},
      {"Defragment, defrag.exe", &TfrmMain::btnRunDefragClick, 3, kNotFound},
      {"Defragment, dfrg.msc", &TfrmMain::btnRunDefragClick, 4, kNotFound},
  };
  struct {
    int result;
    const char* message;  // nullptr: the text naming the tool, or nothing for a start
  } results[] = {
      {0, kNoResources}, {2, nullptr}, {3, nullptr}, {11, kProblem},
      // Access denied, no association, the first success values and an ordinary success.
      {5, nullptr}, {31, nullptr}, {32, nullptr}, {33, nullptr}, {42, nullptr}, {1, nullptr},
  };
  for (const Button& b : buttons) {
    for (const auto& r : results) {
      SCOPED_TRACE(std::string(b.what) + ", result " + std::to_string(r.result));
      FakeForm f;
      f->OsFamily = b.family;
      f.system.winExecResult = static_cast<unsigned>(r.result);
      f.system.shellExecuteResult = r.result;
      (f.form.get()->*b.handler)();
      const bool shell = !f.system.shellExecuteCalls.empty();  // its errors run to 32, WinExec's to 31
      const std::string tool = shell ? "dfrg.msc" : f.system.winExecCalls.at(0).first;
      const std::string expected = r.result == 2 || r.result == 3 ? b.notFound
                                   : r.message ? r.message : "There was a problem while starting\n" + tool + " !";
      if (r.result > (shell ? 32 : 31)) {
        EXPECT_TRUE(f.boxes().empty());
        continue;
      }
      ASSERT_EQ(1u, f.boxes().size());
      EXPECT_EQ(expected, f.boxes()[0].text);
      EXPECT_EQ("Keelbrook", f.boxes()[0].caption);
      EXPECT_EQ(mb::kOk | mb::kIconExclamation, f.boxes()[0].type);
      EXPECT_EQ(BoxOwner::None, f.boxes()[0].owner) << "the window stays usable";
    }
  }
}

TEST(OptimiseStart, NothingWaitsForTheToolAndEachPressStartsOneMore) {
  FakeForm f;
  f->btnRunScanDiskClick();
  f->btnRunScanDiskClick();
  f->btnRunWinAlignClick();
  EXPECT_EQ(3u, f.system.winExecCalls.size());
  EXPECT_TRUE(f.system.processLog.empty()) << "no process is opened or waited for";
}

TEST(OptimiseStart, PathsThatCannotBeBuiltStartNothing) {
  // "\walign.exe" would start whatever lies at the drive's root, and a cut path some other
  // file; both are reported as the missing file they stand for.
  const std::string fits(255 - std::string("\\walign.exe").size(), 'd');
  struct {
    const char* what;
    std::string systemDir;
    bool started;
  } cases[] = {
      {"no folder", "", false},
      {"just fits in 255", fits, true},
      {"one too long", fits + "d", false},
      {"far too long", std::string(5000, 'x'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    f.system.systemDir = c.systemDir;
    f->btnRunWinAlignClick();
    if (c.started) {
      ASSERT_EQ(1u, f.system.winExecCalls.size());
      EXPECT_EQ(255u, f.system.winExecCalls[0].first.size());
      EXPECT_TRUE(f.boxes().empty());
    } else {
      EXPECT_TRUE(f.system.winExecCalls.empty());
      ASSERT_EQ(1u, f.boxes().size());
      EXPECT_EQ(kWinAlignNotFound, f.boxes()[0].text);
      EXPECT_EQ(BoxOwner::None, f.boxes()[0].owner);
    }
  }
  FakeForm g;
  g.system.windowsDir = "";
  g->btnRunScanDiskClick();
  EXPECT_TRUE(g.system.winExecCalls.empty());
  ASSERT_EQ(1u, g.boxes().size());
  EXPECT_EQ(kNotFound, g.boxes()[0].text);
}

}  // namespace
