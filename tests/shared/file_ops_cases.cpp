// Behaviour of the file, folder, version and comparison calls that the pages rely on, run against
// FakeSystem on the host and against the Win32 adapter under Wine.
#include "shared/file_ops_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kMissing = 0xFFFFFFFF;

class SystemFileOps : public ::testing::Test {
 protected:
  void SetUp() override {
    bed_ = MakeFileOpsBed();
    dir_ = bed_->Folder();
  }
  SystemApi& sys() { return bed_->System(); }
  std::string At(const std::string& name) const { return dir_ + "\\" + name; }

  // The whole walk, closing the search as the listing does.
  std::vector<FindData> Walk(const std::string& pattern) {
    std::vector<FindData> seen;
    FindData data;
    SysHandle h = sys().FindFirstFileA(pattern, data);
    if (h == kInvalidSysHandle) return seen;
    do seen.push_back(data);
    while (sys().FindNextFileA(h, data));
    EXPECT_TRUE(sys().FindClose(h));
    return seen;
  }
  static std::vector<std::string> Names(const std::vector<FindData>& entries) {
    std::vector<std::string> names;
    for (const FindData& e : entries) names.push_back(e.cFileName);
    return names;
  }
  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }

  std::unique_ptr<FileOpsBed> bed_;
  std::string dir_;
};

// --- copy ---

TEST_F(SystemFileOps, CopyToNewNameReturnsExactlyOne) {
  bed_->MakeFile(At("a.lnk"));
  EXPECT_EQ(1, sys().CopyFileA(At("a.lnk"), At("b.lnk"), true));
  EXPECT_TRUE(bed_->Exists(At("a.lnk")));
  EXPECT_TRUE(bed_->Exists(At("b.lnk")));
}

TEST_F(SystemFileOps, CopyRefusedCases) {
  bed_->MakeFile(At("src.lnk"));
  bed_->MakeFile(At("taken.lnk"));
  bed_->MakeFolder(At("sub"));
  struct {
    const char* what;
    std::string from, to;
    bool failIfExists;
  } cases[] = {
      {"existing destination, fail-if-exists", At("src.lnk"), At("taken.lnk"), true},
      {"missing source", At("none.lnk"), At("new1.lnk"), true},
      {"missing source, overwrite allowed", At("none.lnk"), At("new2.lnk"), false},
      {"folder as source", At("sub"), At("new3"), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(0, sys().CopyFileA(c.from, c.to, c.failIfExists)) << c.what;
  }
  EXPECT_FALSE(bed_->Exists(At("new1.lnk")));
  EXPECT_FALSE(bed_->Exists(At("new2.lnk")));
  EXPECT_FALSE(bed_->Exists(At("new3")));
}

TEST_F(SystemFileOps, CopyOverWritableFileWhenAllowed) {
  bed_->MakeFile(At("src.lnk"));
  bed_->MakeFile(At("old.lnk"));
  EXPECT_EQ(1, sys().CopyFileA(At("src.lnk"), At("old.lnk"), false));
  EXPECT_TRUE(bed_->Exists(At("old.lnk")));
}

TEST_F(SystemFileOps, CopyKeepsReadOnlyBitOfSource) {
  bed_->MakeFile(At("ro.lnk"), kReadOnly);
  ASSERT_EQ(1, sys().CopyFileA(At("ro.lnk"), At("copy.lnk"), true));
  EXPECT_EQ(kReadOnly, bed_->Attributes(At("copy.lnk")) & kReadOnly);
}

// --- move ---

TEST_F(SystemFileOps, MoveRenames) {
  bed_->MakeFile(At("Old Name.lnk"));
  EXPECT_TRUE(sys().MoveFileA(At("Old Name.lnk"), At("New Name.lnk")));
  EXPECT_FALSE(bed_->Exists(At("Old Name.lnk")));
  EXPECT_TRUE(bed_->Exists(At("New Name.lnk")));
}

TEST_F(SystemFileOps, MoveOfReadOnlyFileIsAllowed) {
  bed_->MakeFile(At("ro.lnk"), kReadOnly);
  EXPECT_TRUE(sys().MoveFileA(At("ro.lnk"), At("ro2.lnk")));
  EXPECT_TRUE(bed_->Exists(At("ro2.lnk")));
}

TEST_F(SystemFileOps, MoveChangingOnlyLetterCaseIsAllowed) {
  // Windows then shows the new spelling; Wine keeps the old one. Either way it is one file.
  bed_->MakeFile(At("notes.lnk"));
  EXPECT_TRUE(sys().MoveFileA(At("notes.lnk"), At("NOTES.lnk")));
  std::vector<std::string> names = Names(Walk(At("*.lnk")));
  ASSERT_EQ(1u, names.size());
  EXPECT_EQ(0, sys().CompareTextIgnoreCase("notes.lnk", names[0])) << names[0];
}

TEST_F(SystemFileOps, MoveRefusedCases) {
  bed_->MakeFile(At("a.lnk"));
  bed_->MakeFile(At("b.lnk"));
  EXPECT_FALSE(sys().MoveFileA(At("a.lnk"), At("b.lnk"))) << "onto an existing file";
  EXPECT_FALSE(sys().MoveFileA(At("a.lnk"), At("B.LNK"))) << "onto an existing file, other case";
  EXPECT_FALSE(sys().MoveFileA(At("gone.lnk"), At("c.lnk"))) << "missing source";
  EXPECT_TRUE(bed_->Exists(At("a.lnk")));
  EXPECT_TRUE(bed_->Exists(At("b.lnk")));
  EXPECT_FALSE(bed_->Exists(At("c.lnk")));
}

// --- delete ---

TEST_F(SystemFileOps, DeleteRemovesFile) {
  bed_->MakeFile(At("x.lnk"));
  EXPECT_TRUE(sys().DeleteFileA(At("x.lnk")));
  EXPECT_FALSE(bed_->Exists(At("x.lnk")));
}

TEST_F(SystemFileOps, DeleteRefusedCases) {
  bed_->MakeFile(At("ro.lnk"), kReadOnly);
  bed_->MakeFolder(At("sub"));
  EXPECT_FALSE(sys().DeleteFileA(At("gone.lnk"))) << "missing";
  EXPECT_FALSE(sys().DeleteFileA(At("ro.lnk"))) << "read-only";
  EXPECT_FALSE(sys().DeleteFileA(At("sub"))) << "a folder";
  EXPECT_TRUE(bed_->Exists(At("ro.lnk")));
  EXPECT_TRUE(bed_->Exists(At("sub")));
}

// --- folder walk ---

TEST_F(SystemFileOps, WalkYieldsDotsFirstThenOneLevelOfEntries) {
  bed_->MakeFile(At("Desktop.lnk"));
  bed_->MakeFile(At("Mail Recipient.MAPIMail"), kArchive | kReadOnly);
  bed_->MakeFolder(At("Sub"));
  bed_->MakeFile(At("Sub\\deep.lnk"));

  for (const std::string& pattern : {At("*.*"), At("*"), dir_ + "\\\\*.*"}) {
    SCOPED_TRACE(pattern);
    std::vector<FindData> seen = Walk(pattern);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(".", seen[0].cFileName);
    EXPECT_EQ("..", seen[1].cFileName);
    EXPECT_EQ(kDirectory, seen[0].dwFileAttributes & kDirectory);
    EXPECT_EQ(kDirectory, seen[1].dwFileAttributes & kDirectory);

    std::vector<std::string> rest = Names(std::vector<FindData>(seen.begin() + 2, seen.end()));
    EXPECT_EQ((std::vector<std::string>{"Desktop.lnk", "Mail Recipient.MAPIMail", "Sub"}), Sorted(rest));
    for (const FindData& e : seen) {
      uint32_t expected = e.cFileName == "Sub" ? kDirectory
                          : e.cFileName == "Mail Recipient.MAPIMail" ? kReadOnly
                          : e.cFileName == "Desktop.lnk" ? 0u
                                                         : e.dwFileAttributes & (kDirectory | kReadOnly);
      EXPECT_EQ(expected, e.dwFileAttributes & (kDirectory | kReadOnly)) << e.cFileName;
    }
  }
}

TEST_F(SystemFileOps, WalkOfEmptyFolderYieldsOnlyDots) {
  EXPECT_EQ((std::vector<std::string>{".", ".."}), Names(Walk(At("*.*"))));
}

TEST_F(SystemFileOps, WalkWithMaskOrExactNameSkipsDots) {
  bed_->MakeFile(At("Desktop.lnk"));
  bed_->MakeFile(At("Floppy.pif"));
  bed_->MakeFile(At("Floppy.lnk"));
  EXPECT_EQ((std::vector<std::string>{"Desktop.lnk", "Floppy.lnk"}), Sorted(Names(Walk(At("*.lnk")))));
  EXPECT_EQ((std::vector<std::string>{"Floppy.pif"}), Names(Walk(At("floppy.PIF"))));
}

TEST_F(SystemFileOps, WalkThatCannotStartGivesInvalidHandle) {
  bed_->MakeFile(At("file.lnk"));
  FindData data;
  data.cFileName = "untouched";
  for (const std::string& pattern : {At("missing\\*.*"), At("nothing.here"), At("file.lnk\\*.*")}) {
    EXPECT_EQ(kInvalidSysHandle, sys().FindFirstFileA(pattern, data)) << pattern;
  }
  EXPECT_EQ("untouched", data.cFileName);
}

TEST_F(SystemFileOps, NextAfterTheEndKeepsSayingNo) {
  FindData data;
  SysHandle h = sys().FindFirstFileA(At("*.*"), data);
  ASSERT_NE(kInvalidSysHandle, h);
  ASSERT_TRUE(sys().FindNextFileA(h, data));
  data.cFileName = "sentinel";
  EXPECT_FALSE(sys().FindNextFileA(h, data));
  EXPECT_FALSE(sys().FindNextFileA(h, data));
  EXPECT_EQ("sentinel", data.cFileName);
  EXPECT_TRUE(sys().FindClose(h));
}

// --- version record ---

TEST(SystemVersionRecord, SizeFieldDecidesWhatIsAnswered) {
  std::unique_ptr<FileOpsBed> bed = MakeFileOpsBed();
  struct {
    uint32_t size;
    bool ok;
  } cases[] = {{156, true}, {148, true}, {0, false}, {100, false}, {157, false}};
  for (const auto& c : cases) {
    OsVersionInfo rec{};
    rec.dwOSVersionInfoSize = c.size;
    EXPECT_EQ(c.ok, bed->System().GetVersionExA(rec)) << "size " << c.size;
    EXPECT_EQ(c.size, rec.dwOSVersionInfoSize) << "size field is the caller's";
    if (c.ok) {
      EXPECT_NE(std::end(rec.szCSDVersion), std::find(std::begin(rec.szCSDVersion), std::end(rec.szCSDVersion), '\0'));
    }
  }
}

// --- names and directories ---

TEST(SystemNames, BufferTooSmallGivesNoText) {
  std::unique_ptr<FileOpsBed> bed = MakeFileOpsBed();
  SystemApi& sys = bed->System();
  ASSERT_GT(sys.GetWindowsDirectoryA(260).size(), 3u);
  EXPECT_EQ("", sys.GetWindowsDirectoryA(3)) << "no part of the path is handed out";
  EXPECT_EQ("", sys.GetSystemDirectoryA(3));
  const std::string windows = sys.GetWindowsDirectoryA(260);
  EXPECT_EQ(windows, sys.GetWindowsDirectoryA(static_cast<unsigned>(windows.size()) + 1))
      << "exactly room for the text and its terminator";
  EXPECT_EQ("", sys.GetWindowsDirectoryA(static_cast<unsigned>(windows.size())));

  std::string user;
  ASSERT_TRUE(sys.GetUserNameA(256, user));
  std::string small = "unchanged";
  EXPECT_FALSE(sys.GetUserNameA(static_cast<unsigned>(user.size()), small)) << "no room for the terminator";
  EXPECT_EQ("unchanged", small);
  EXPECT_TRUE(sys.GetUserNameA(static_cast<unsigned>(user.size()) + 1, small));
  EXPECT_EQ(user, small);
}

// --- comparison ---

TEST(SystemCompareText, OrdersLikeTheUserLocaleIgnoringCase) {
  std::unique_ptr<FileOpsBed> bed = MakeFileOpsBed();
  struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"apple", "Banana", -1},  // a byte comparison would put "Banana" first
      {"Banana", "apple", 1},
      {"ABC", "abc", 0},
      {"", "", 0},
      {"", "a", -1},
      {"a", "ab", -1},
      {"Zeta", "alpha", 1},
      {"item2", "Item10", 1},   // digits compare as characters, not as numbers
      {"_setup", "apple", -1},  // symbols before letters
      {"9lives", "apple", -1},  // digits before letters
      {"{guid}", "apple", -1},
      {"~tilde", "0zero", -1},  // symbols before digits, even those above the letters in ASCII
      {"a b", "ab", -1},        // a space counts
      {"a-c", "ab", 1},         // a hyphen does not, at first
      {"it's", "its", 1},       // nor an apostrophe; the marked text follows the plain one
      {"co-op", "coop", 1},
      {"coop", "co-op", -1},
      {"MS-DOS", "msdos", 1},
      {"\xE9t\xE9", "ete", 1},   // an accented letter sits with its plain letter, just after it
      {"\xE9t\xE9", "etf", -1},
      {"\xE9t\xE9", "\xC9T\xC9", 0},  // case is ignored for accented letters too
      {"\xC9" "cole", "ecolf", -1},
      {"\xC9" "cole", "f", -1},
  };
  for (const auto& c : cases) {
    int r = bed->System().CompareTextIgnoreCase(c.a, c.b);
    int sign = (r > 0) - (r < 0);
    EXPECT_EQ(c.sign, sign) << '"' << c.a << "\" vs \"" << c.b << '"';
  }
}

}  // namespace
