#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/fake_controls.h"
#include "fakes/fake_system.h"
#include "pages/sendto/dir_util.h"
#include "pages/sendto/sendto_folder.h"

namespace {

using Lines = std::vector<std::string>;

// --- The folder rule

struct FolderCase {
  int family;
  const char* windowsDir;
  const char* user;
  bool userReadable;
  const char* expected;
  int result;
  const char* shell = "";  // the user's Send To folder as the shell records it
  bool composedExists = false;  // the expected folder exists
  const char* alsoExists = "";
};

TEST(SendToFolder, PatternByFamily) {
  const std::string tooLong = "C:\\" + std::string(260, 'x');
  const FolderCase cases[] = {
      {2, "C:\\WINDOWS", "Anna", true, "C:\\WINDOWS\\SendTo\\", 1},
      {2, "C:\\WINDOWS", "Anna", false, "C:\\WINDOWS\\SendTo\\", 1},  // the user is not asked
      {5, "D:\\WINNT", "Anna", true, "D:\\Documents and Settings\\Anna\\SendTo\\", 1},
      {3, "C:\\WINNT", "bob", true, "C:\\Documents and Settings\\bob\\SendTo\\", 1},
      {4, "E:\\Some\\Deep\\Windows", "bob", true, "E:\\Documents and Settings\\bob\\SendTo\\", 1},
      {6, "C:\\WINDOWS", "Administrator", true, "C:\\Documents and Settings\\Administrator\\SendTo\\", 1},
      {0, "C:\\WINDOWS", "Anna", true, "C:\\Documents and Settings\\Anna\\SendTo\\", 1},  // not identified
      {1, "C:\\WINDOWS", "Anna", true, "C:\\Documents and Settings\\Anna\\SendTo\\", 1},  // Win32s
      {5, "\\\\server\\windows", "Anna", true, "\\:\\Documents and Settings\\Anna\\SendTo\\", 1},
      {5, "D:\\WINNT", "Anna", false, "", 0},
      {0, "D:\\WINNT", "Anna", false, "", 0},
      // Where the composed folder is missing (NT 4.0's profiles, a suffixed or localised folder),
      // the shell's record of the folder; where it exists, the composed one.
      {3, "C:\\WINNT", "anna", true, "C:\\WINNT\\Profiles\\anna.000\\SendTo\\", 1, "C:\\WINNT\\Profiles\\anna.000\\SendTo"},
      {5, "C:\\WINDOWS", "Anna", true, "C:\\Dokumente und Einstellungen\\Anna\\SendTo\\", 1,
       "C:\\Dokumente und Einstellungen\\Anna\\SendTo\\"},
      {5, "C:\\WINDOWS", "Anna", true, "C:\\Documents and Settings\\Anna\\SendTo\\", 1, "C:\\Elsewhere", true},
      {2, "C:\\WINDOWS", "Anna", true, "C:\\WINDOWS\\SendTo\\", 1, "C:\\Elsewhere"},
      {5, "D:\\WINNT", "Anna", false, "", 0, "C:\\Elsewhere"},
      {5, "D:\\WINNT", "Anna", true, "", 0, tooLong.c_str()},
      // A profile folder with a suffix beside a stale one of the plain name: the shell's, which exists.
      {5, "C:\\WINDOWS", "anna", true, "C:\\Documents and Settings\\anna.CORP\\SendTo\\", 1,
       "C:\\Documents and Settings\\anna.CORP\\SendTo", true, "C:\\Documents and Settings\\anna\\SendTo"},
  };
  for (const FolderCase& c : cases) {
    FakeSystem sys;
    sys.windowsDir = c.windowsDir;
    sys.userName = c.user;
    sys.userNameOk = c.userReadable;
    sys.shellSendTo = c.shell;
    if (c.composedExists) sys.AddFile(std::string(c.expected).substr(0, std::strlen(c.expected) - 1), 0x10);
    if (*c.alsoExists) sys.AddFile(c.alsoExists, 0x10);
    std::string out = "sentinel";
    EXPECT_EQ(c.result, GetSendToFolder(sys, out, c.family, 260)) << c.family << " " << c.windowsDir;
    EXPECT_EQ(c.expected, out) << c.family << " " << c.windowsDir;
  }
}

TEST(SendToFolder, AsksWithTheBufferSizesItHolds) {
  FakeSystem sys;
  std::string out;
  GetSendToFolder(sys, out, 5, 256);
  EXPECT_EQ(std::vector<unsigned>{260}, sys.windowsDirSizes);
  EXPECT_EQ(std::vector<unsigned>{256}, sys.userNameSizes);
}

// A folder that does not fit the caller's buffer is refused rather than cut into another one.
TEST(SendToFolder, FolderLongerThanTheBufferIsRefused) {
  FakeSystem sys;
  const std::string suffix = "\\SendTo\\";
  sys.windowsDir = "C:\\" + std::string(255 - 3 - suffix.size(), 'w');  // exactly 255 with the suffix
  std::string out;
  EXPECT_EQ(1, GetSendToFolder(sys, out, 2, 256));
  EXPECT_EQ(255u, out.size());
  sys.windowsDir += "w";
  out = "sentinel";
  EXPECT_EQ(0, GetSendToFolder(sys, out, 2, 256));
  EXPECT_EQ("", out);
  EXPECT_EQ(1, GetSendToFolder(sys, out, 2, 260));  // the listing's larger buffer still holds it

  sys.userName = std::string(240, 'u');
  EXPECT_EQ(0, GetSendToFolder(sys, out, 5, 260));
  EXPECT_EQ("", out);
}

// --- CDirUtil

struct SendToDirUtil : ::testing::Test {
  FakeSystem sys;
  void SetUp() override { sys.AddFile("C:\\WINDOWS\\SendTo", file_attr::kDirectory); }
  // Every result of GetNextEntry until it returns 0, as "1:name" / "0:name".
  Lines Walk(CDirUtil& dir, uint32_t mask, const std::string& pattern = "*.*") {
    Lines steps;
    for (int i = 0; i < 50; ++i) {
      std::string name = "untouched";
      int r = dir.GetNextEntry(pattern, mask, name);
      steps.push_back(std::to_string(r) + ":" + name);
      if (r == 0) break;
    }
    return steps;
  }
};

TEST_F(SendToDirUtil, GetDirIsNoneUntilSetAndKeepsTheTextAsGiven) {
  CDirUtil dir(sys);
  EXPECT_FALSE(dir.GetDir().has_value());
  dir.SetDir("C:\\WINDOWS\\SendTo\\");
  EXPECT_EQ("C:\\WINDOWS\\SendTo\\", dir.GetDir().value());
  dir.SetDir("D:\\other");
  EXPECT_EQ("D:\\other", dir.GetDir().value());
}

TEST_F(SendToDirUtil, EachCallTakesExactlyOneEntry) {
  sys.AddFile("C:\\WINDOWS\\SendTo\\Desktop.lnk", file_attr::kArchive);
  sys.AddFile("C:\\WINDOWS\\SendTo\\temp.tmp", 0x100);  // only a bit outside the mask
  sys.AddFile("C:\\WINDOWS\\SendTo\\Hidden", file_attr::kDirectory | file_attr::kHidden);
  CDirUtil dir(sys);
  dir.SetDir("C:\\WINDOWS\\SendTo\\");
  const Lines expected = {"1:", "1:", "1:Desktop.lnk", "1:", "1:Hidden\\", "0:untouched"};
  EXPECT_EQ(expected, Walk(dir, 0xA7));
  EXPECT_EQ(0, sys.openSearches);
  // The search text keeps the folder's own backslash and adds one.
  EXPECT_EQ("find C:\\WINDOWS\\SendTo\\\\*.*", sys.fileLog.at(0));
}

TEST_F(SendToDirUtil, MaskDecidesWhichEntriesAreNamed) {
  const struct {
    uint32_t attributes;
    uint32_t mask;
    const char* name;
  } cases[] = {
      {file_attr::kReadOnly, 0xA7, "e"},
      {file_attr::kHidden, 0xA7, "e"},
      {file_attr::kSystem, 0xA7, "e"},
      {file_attr::kArchive, 0xA7, "e"},
      {file_attr::kNormal, 0xA7, "e"},
      {0x100, 0xA7, ""},
      {0x2000, 0xA7, ""},
      {file_attr::kDirectory, 0xA7, ""},
      {file_attr::kDirectory | file_attr::kReadOnly, 0xA7, "e\\"},
      {file_attr::kDirectory, file_attr::kDirectory, "e\\"},
      {file_attr::kArchive, file_attr::kReadOnly, ""},
      {file_attr::kArchive, 0, ""},
  };
  for (const auto& c : cases) {
    FakeSystem s;
    s.AddFile("C:\\F", file_attr::kDirectory);
    s.AddFile("C:\\F\\e", c.attributes);
    CDirUtil dir(s);
    dir.SetDir("C:\\F");
    std::string name;
    ASSERT_EQ(1, dir.GetNextEntry("*.*", c.mask, name));  // .
    ASSERT_EQ(1, dir.GetNextEntry("*.*", c.mask, name));  // ..
    name = "sentinel";
    EXPECT_EQ(1, dir.GetNextEntry("*.*", c.mask, name));
    EXPECT_EQ(c.name, name) << std::hex << c.attributes << " mask " << c.mask;
  }
}

// A search that yields "." and ".." with any attributes at all, as a read-only or hidden folder
// and its parent would.
class DotsSystem : public FakeSystem {
 public:
  uint32_t dotAttributes = 0;
  std::vector<FindData> entries;
  size_t next = 0;
  SysHandle FindFirstFileA(const std::string&, FindData& data) override {
    entries = {{dotAttributes, "."}, {dotAttributes, ".."}, {file_attr::kArchive, "x.lnk"}};
    next = 1;
    data = entries[0];
    ++openSearches;
    return 0x99;
  }
  bool FindNextFileA(SysHandle, FindData& data) override {
    if (next >= entries.size()) return false;
    data = entries[next++];
    return true;
  }
  bool FindClose(SysHandle) override {
    --openSearches;
    return true;
  }
};

TEST(SendToDirDots, DotEntriesAreNeverNamed) {
  for (uint32_t attributes : {0x10u, 0x11u, 0x12u, 0x14u, 0x30u, 0x37u, 0xB7u}) {
    DotsSystem s;
    s.dotAttributes = attributes;
    CDirUtil dir(s);
    dir.SetDir("C:\\F\\");
    std::string a = "x", b = "x", c;
    EXPECT_EQ(1, dir.GetNextEntry("*.*", 0xFF, a));
    EXPECT_EQ(1, dir.GetNextEntry("*.*", 0xFF, b));
    EXPECT_EQ(1, dir.GetNextEntry("*.*", 0xFF, c));
    EXPECT_EQ("", a) << attributes;
    EXPECT_EQ("", b) << attributes;
    EXPECT_EQ("x.lnk", c);
  }
}

TEST_F(SendToDirUtil, NothingToListGivesZeroAndLeavesTheNameAlone) {
  CDirUtil unset(sys);
  std::string name = "untouched";
  EXPECT_EQ(0, unset.GetNextEntry("*.*", 0xA7, name));
  EXPECT_EQ("untouched", name);
  EXPECT_TRUE(sys.fileLog.empty());  // no search of "\*.*" on the current drive

  CDirUtil missing(sys);
  missing.SetDir("C:\\WINDOWS\\NoSuchFolder\\");
  EXPECT_EQ(0, missing.GetNextEntry("*.*", 0xA7, name));
  EXPECT_EQ("untouched", name);

  CDirUtil tooLong(sys);
  tooLong.SetDir("C:\\" + std::string(252, 'x'));  // 255 with "\\*.*" would need 260
  sys.fileLog.clear();
  EXPECT_EQ(0, tooLong.GetNextEntry("*.*", 0xA7, name));
  EXPECT_TRUE(sys.fileLog.empty());
}

TEST_F(SendToDirUtil, SetDirRestartsAndSearchesAreAlwaysClosed) {
  sys.AddFile("C:\\WINDOWS\\SendTo\\a.lnk");
  sys.AddFile("C:\\Other", file_attr::kDirectory);
  sys.AddFile("C:\\Other\\b.lnk");
  {
    CDirUtil dir(sys);
    dir.SetDir("C:\\WINDOWS\\SendTo\\");
    std::string name;
    dir.GetNextEntry("*.*", 0xA7, name);
    EXPECT_EQ(1, sys.openSearches);
    dir.SetDir("C:\\Other\\");
    EXPECT_EQ(0, sys.openSearches);
    const Lines expected = {"1:", "1:", "1:b.lnk", "0:untouched"};
    EXPECT_EQ(expected, Walk(dir, 0xA7));
    dir.GetNextEntry("*.*", 0xA7, name);  // a new search, left open
    EXPECT_EQ(1, sys.openSearches);
  }
  EXPECT_EQ(0, sys.openSearches);  // the object closes what it opened
}

TEST_F(SendToDirUtil, NameThatWouldNotFitTheCallersBufferIsSkipped) {
  sys.AddFile("C:\\WINDOWS\\SendTo\\" + std::string(9, 'd'), file_attr::kDirectory | file_attr::kArchive);
  sys.AddFile("C:\\WINDOWS\\SendTo\\" + std::string(9, 'f'));
  CDirUtil dir(sys);
  dir.SetDir("C:\\WINDOWS\\SendTo\\");
  Lines steps;
  std::string name;
  while (dir.GetNextEntry("*.*", 0xA7, name, 10) == 1) steps.push_back(name);
  EXPECT_EQ((Lines{"", "", "", std::string(9, 'f')}), steps);  // "ddddddddd\" needs 11
}

// --- FillSendToList

struct SendToListing : ::testing::Test {
  FakeForm f;
  void SetUp() override {
    f->OsFamily = 2;
    f.system.AddFile("C:\\WINDOWS\\SendTo", file_attr::kDirectory);
  }
  void ExpectInStep() { EXPECT_EQ(f.lstSendTo.lines.size(), f.objects.SendToPaths.size()); }
};

TEST_F(SendToListing, ListsEveryFileInTheFileSystemsOrder) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Desktop.lnk");
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Mail Recipient.MAPIMail");
  f.system.AddFile("C:\\WINDOWS\\SendTo\\desktop.ini", file_attr::kHidden | file_attr::kSystem);
  f->FillSendToList();
  EXPECT_EQ((Lines{"Desktop", "Mail Recipient", "desktop"}), f.lstSendTo.lines);
  EXPECT_EQ((Lines{"C:\\WINDOWS\\SendTo\\Desktop.lnk", "C:\\WINDOWS\\SendTo\\Mail Recipient.MAPIMail",
                   "C:\\WINDOWS\\SendTo\\desktop.ini"}),
            f.objects.SendToPaths);
  EXPECT_EQ(0, f.system.openSearches);
}

TEST_F(SendToListing, SameShownNameKeepsItsOwnPath) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Floppy.lnk");
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Floppy.pif");
  f->FillSendToList();
  EXPECT_EQ((Lines{"Floppy", "Floppy"}), f.lstSendTo.lines);
  EXPECT_EQ((Lines{"C:\\WINDOWS\\SendTo\\Floppy.lnk", "C:\\WINDOWS\\SendTo\\Floppy.pif"}), f.objects.SendToPaths);
}

// Every file gives a line, also one with only bits such as temporary, compressed, not indexed or
// reparse point (an NTFS shortcut whose archive bit a backup cleared); no sub-folder does.
TEST_F(SendToListing, SubFoldersGiveNoLineEveryFileDoes) {
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Plain", file_attr::kDirectory);
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Marked", file_attr::kDirectory | file_attr::kReadOnly);
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Archived.dir", file_attr::kDirectory | file_attr::kArchive);
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Packed", file_attr::kDirectory | 0x800);
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Marked\\inner.lnk");
  for (uint32_t bits : {0x100u, 0x800u, 0x2000u, 0x400u})
    f.system.AddFile("C:\\WINDOWS\\SendTo\\" + std::to_string(bits) + ".lnk", bits);
  f.system.AddFile("C:\\WINDOWS\\SendTo\\Notepad.lnk");
  f->FillSendToList();
  EXPECT_EQ((Lines{"256", "2048", "8192", "1024", "Notepad"}), f.lstSendTo.lines);
  EXPECT_EQ("C:\\WINDOWS\\SendTo\\Notepad.lnk", f.objects.SendToPaths.back());
}

TEST_F(SendToListing, PerUserFolderOnTheNtSide) {
  f->OsFamily = 5;
  f.system.windowsDir = "D:\\WINNT";
  f.system.AddFile("D:\\Documents and Settings\\Anna\\SendTo", file_attr::kDirectory);
  f.system.AddFile("D:\\Documents and Settings\\Anna\\SendTo\\My.Tools.lnk");
  f->FillSendToList();
  EXPECT_EQ((Lines{"My"}), f.lstSendTo.lines);
  EXPECT_EQ((Lines{"D:\\Documents and Settings\\Anna\\SendTo\\My.Tools.lnk"}), f.objects.SendToPaths);
}

// Whatever was there before is replaced, also when there is nothing to list.
TEST_F(SendToListing, NoFolderGivesEmptyLists) {
  const struct {
    int family;
    bool userOk;
    const char* windowsDir;
  } cases[] = {
      {5, false, "C:\\WINDOWS"},       // the user name cannot be read
      {5, true, "\\\\server\\win"},    // \:\Documents and Settings\... does not exist
      {5, true, "C:\\WINDOWS"},        // no such folder
      {2, true, "C:\\WINDOWS"},        // the folder is empty
  };
  for (const auto& c : cases) {
    f->OsFamily = c.family;
    f.system.userNameOk = c.userOk;
    f.system.windowsDir = c.windowsDir;
    f->lstSendTo.Add("old");
    f.objects.SendToPaths = {"C:\\old.lnk"};
    f->FillSendToList();
    EXPECT_TRUE(f.lstSendTo.lines.empty()) << c.windowsDir;
    ExpectInStep();
    EXPECT_TRUE(f.system.boxes.empty());
  }
}

}  // namespace
