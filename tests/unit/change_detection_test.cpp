// The checksum of the "Sys Info" texts, and the rule that decides whether closing asks "Save ?":
// the checksum is kept as it always was, but the snapshot texts decide, so that edits the
// checksum cannot see are not lost.
#include "app/change_detection.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_controls.h"

namespace {

TEST(ChangeDetectionChecksum, WorkedExamples) {
  struct {
    std::string text;
    int32_t sum;
  } cases[] = {
      {"", 0},
      {"a", 97},
      {"abc", 396},
      {"ab", 165},
      {"cc", 165},
      {"\xe9", -23},   // bytes above 127 count as negative
      {"\x80", -128},
      {"a\xff", 97 ^ -2},
      {std::string("\0\0a", 3), 3 * 97},  // a zero byte still takes its position
  };
  for (const auto& c : cases) EXPECT_EQ(c.sum, ComputeChecksum(c.text)) << c.text;
}

TEST(ChangeDetectionChecksum, ProductsWrapAroundModulo2To32) {
  // -128 at position 2^24 + 1 gives a product just below the smallest 32-bit integer; it must
  // wrap, not trap or saturate.
  std::string text(16777217, '\0');
  text.back() = '\x80';
  EXPECT_EQ(2147483520, ComputeChecksum(text));
  // Several thousand characters: each product fits, the XOR of them all is what counts.
  const std::string thousands(5000, 'x');
  int32_t expected = 0;
  for (int i = 1; i <= 5000; ++i) expected ^= 'x' * i;
  EXPECT_EQ(expected, ComputeChecksum(thousands));
}

class ChangeDetection : public ::testing::Test {
 protected:
  FakeForm f;
};

TEST_F(ChangeDetection, SettingsTextJoinsTheNineFieldsInOrder) {
  f.txtBootFrom.text = "9";
  f.txtCommonFilesPath.text = "8";
  f.txtDevicePath.text = "7";
  f.txtWallpaperDir.text = "6";
  f.txtProgramFiles.text = "5";
  f.txtWinInstpath.text = "4";
  f.txtCompanyName.text = "3";
  f.txtUserName.text = "";
  f.txtComputerName.text = "1\xe9";
  EXPECT_EQ("1\xe9" "3456789", f->BuildSettingsText());
  f->TakeSettingsSnapshot();
  EXPECT_EQ(ComputeChecksum("1\xe9" "3456789"), f->SettingsChecksum);
}

TEST_F(ChangeDetection, BeforeAnySnapshotOnlyEmptyFieldsCountAsUnchanged) {
  EXPECT_EQ(0, f->SettingsChecksum);
  EXPECT_FALSE(f->SettingsChanged());
  f.txtDevicePath.text = "C:\\INF";
  EXPECT_TRUE(f->SettingsChanged());
}

TEST_F(ChangeDetection, EditsAreSeenEvenWhereTheChecksumIsBlind) {
  struct Edit {
    const char* what;
    FakeText FakeForm::*field;
    const char* text;
    FakeText FakeForm::*field2;
    const char* text2;
    bool changed;
    bool checksumSees;
  };
  const Edit cases[] = {
      {"nothing edited", nullptr, nullptr, nullptr, nullptr, false, false},
      {"plain edit", &FakeForm::txtWallpaperDir, "D:\\Walls", nullptr, nullptr, true, true},
      {"ab into cc", &FakeForm::txtComputerName, "cc", nullptr, nullptr, true, false},
      {"PCX into PC and X", &FakeForm::txtComputerName, "PC", &FakeForm::txtUserName, "X", true, false},
      {"read-only field", &FakeForm::txtBootFrom, "D:\\WINNT", nullptr, nullptr, true, true},
      {"only a high byte flips", &FakeForm::txtCompanyName, "Caf\xe9", nullptr, nullptr, true, true},
  };
  for (const Edit& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm g;
    g.txtComputerName.text = c.field2 ? "PCX" : "ab";
    g.txtCompanyName.text = "Cafe";
    g.txtDevicePath.text = "C:\\INF";
    g.txtBootFrom.text = "C:\\WINDOWS";
    g->TakeSettingsSnapshot();
    if (c.field) (g.*c.field).text = c.text;
    if (c.field2) (g.*c.field2).text = c.text2;
    EXPECT_EQ(c.checksumSees, ComputeChecksum(g->BuildSettingsText()) != g->SettingsChecksum);
    EXPECT_EQ(c.changed, g->SettingsChanged());
    // Editing never moves the snapshot; only taking one does.
    g->TakeSettingsSnapshot();
    EXPECT_FALSE(g->SettingsChanged());
  }
}

}  // namespace
