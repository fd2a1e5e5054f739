#include "pages/sendto/text_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  std::string input;
  std::string expected;
};

TEST(TextRules, FileNameOf) {
  const Case cases[] = {
      {"C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk", "Notepad.lnk"},
      {"Notepad.lnk", "Notepad.lnk"},  // no backslash: the whole text
      {"C:\\WINDOWS\\SendTo\\", ""},
      {"", ""},
      {"\\\\server\\share\\My.Tools.lnk", "My.Tools.lnk"},
      {"C:Notepad.lnk", "C:Notepad.lnk"},  // only a backslash separates
      {"D:\\x\\caf\xE9.lnk", "caf\xE9.lnk"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, FileNameOf(c.input)) << c.input;
}

TEST(TextRules, DisplayNameOfStopsAtTheFirstDotOfTheFileName) {
  const Case cases[] = {
      {"Mail Recipient.MAPIMail", "Mail Recipient"},
      {"My.Tools.lnk", "My"},
      {"Notes", "Notes"},
      {"C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk", "Notepad"},
      {"C:\\Documents and Settings\\anna.b\\SendTo\\Notes", "Notes"},  // a dot in a folder does not count
      {".lnk", ""},
      {"desktop.ini", "desktop"},
      {"Folder\\", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, DisplayNameOf(c.input)) << c.input;
}

TEST(TextRules, ExtensionOfLooksAtTheWholeText) {
  const Case cases[] = {
      {"C:\\WINDOWS\\SendTo\\Notepad.lnk", "lnk"},
      {"C:\\Documents and Settings\\anna.b\\SendTo\\Notes", "b\\SendTo\\Notes"},
      {"C:\\WINDOWS\\SendTo\\Notes", "C:\\WINDOWS\\SendTo\\Notes"},  // no dot: the whole text
      {"My.Tools.lnk", "lnk"},
      {"Mail Recipient.MAPIMail", "MAPIMail"},
      {"trailing.", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ExtensionOf(c.input)) << c.input;
}

TEST(TextRules, DriveLetterOf) {
  const struct {
    std::string path;
    char drive;
  } cases[] = {
      {"C:\\WINNT", 'C'}, {"d:\\windows", 'd'}, {"\\\\server\\windows", '\\'}, {"WINDOWS", '\\'},
      {"C", '\\'},        {"", '\\'},           {":\\x", '\\'},                {"C:", 'C'},
  };
  for (const auto& c : cases) EXPECT_EQ(c.drive, DriveLetterOf(c.path)) << c.path;
}

TEST(TextRules, EndsWithBackslash) {
  EXPECT_TRUE(EndsWithBackslash("C:\\WINDOWS\\SendTo\\"));
  EXPECT_TRUE(EndsWithBackslash("\\"));
  EXPECT_FALSE(EndsWithBackslash("C:\\WINDOWS\\SendTo"));
  EXPECT_FALSE(EndsWithBackslash("\\x"));
  EXPECT_FALSE(EndsWithBackslash(""));
}

// Results are held to their buffers: cut, never longer.
TEST(TextRules, OverlongTextsAreCutToTheirBuffers) {
  const std::string longName(300, 'n');
  EXPECT_EQ(std::string(55, 'n'), FileNameOf("C:\\x\\" + longName + ".lnk"));
  EXPECT_EQ(std::string(254, 'n'), DisplayNameOf("C:\\x\\" + longName + ".lnk"));
  EXPECT_EQ(std::string(254, 'n'), ExtensionOf("C:\\x\\file." + longName));
  // FileNameOf reads only the first 255 characters of its path.
  const std::string path = "C:\\" + std::string(250, 'a') + "\\name.lnk";
  EXPECT_EQ("n", FileNameOf(path));
}

}  // namespace
