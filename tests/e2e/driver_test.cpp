// The driver itself, proven against tests/programs/e2e_probe.cpp: if a Wine update stops
// marshalling a message or delivering a posted key, these fail first and say what broke,
// instead of every keelbrook scenario failing in a puzzling way.
#include <cstdio>
#include <cstring>

#include "e2e/driver.h"
#include "caller_trace.h"

#define ExpectStatus(...) KB_FROM_CALLER(CheckStatus(__VA_ARGS__))

namespace {

// The probe's control ids (see e2e_probe.cpp).
constexpr int kEdit = 1101;
constexpr int kAsk = 1120;
constexpr int kExit = 1121;
constexpr int kList = 1201;
constexpr int kNotify = 1212;
constexpr int kStatus = 1500;
constexpr int kVersion = 1501;

const char* const kScratch = "Software\\KeelbrookE2E_driver";

class DriverProbe : public ::testing::Test {
 protected:
  DriverProbe() : probe(e2e::TestProgram("e2e_probe")) {}

  // The probe writes what it saw last into its status label.
  void CheckStatus(const std::string& expected) {
    const bool seen = e2e::WaitUntil([&] { return probe.Text(kStatus) == expected; }, 3000);
    EXPECT_TRUE(seen) << "expected the probe to report " << e2e::Quote(expected) << ", got "
                      << e2e::Quote(probe.Text(kStatus));
  }

  e2e::KeelbrookDriver probe;
};

TEST_F(DriverProbe, ReadsTabsListsAndFields) {
  probe.Start();
  EXPECT_EQ(3, probe.TabCount());
  EXPECT_EQ((std::vector<std::string>{"One", "Two", "Three"}), probe.TabTexts());

  probe.SetText(kEdit, "set \xe9");
  EXPECT_EQ("set \xe9", probe.Text(kEdit));
  probe.TypeInto(kEdit, "typed \xe8!");
  EXPECT_EQ("typed \xe8!", probe.Text(kEdit));
  EXPECT_EQ(kEdit, probe.FocusedId());

  EXPECT_THROW(probe.SelectListItem(kList, 1), e2e::DriverError) << "the list is on a hidden page";
  probe.SwitchTab(1);
  EXPECT_EQ(1, probe.CurrentTab());
  EXPECT_FALSE(probe.IsVisible(kEdit));
  // Bytes above 127 and a long line are where the cross-process LB_GETTEXT goes wrong.
  EXPECT_EQ((std::vector<std::string>{"alpha", "caf\xe9 cr\xe8me", "", "a much longer line of text that goes on and on"}),
            probe.ListItems(kList));
  probe.SelectListItem(kList, 3);
  EXPECT_EQ(3, probe.ListSelection(kList));
  ExpectStatus("selected 3");
  EXPECT_THROW(probe.ListItem(kList, 4), e2e::DriverError);
  EXPECT_THROW(probe.Text(4242), e2e::DriverError);
}

TEST_F(DriverProbe, KeysReachTheFocusedControlThroughTheMessageLoop) {
  probe.Start();
  probe.Focus(kEdit);
  probe.PressKey(VK_RETURN);
  ExpectStatus("enter");
  probe.PressKey(VK_ESCAPE);
  ExpectStatus("escape");
  probe.PostKey(VK_RETURN);
  ExpectStatus("enter");
  probe.PostKey(VK_ESCAPE);
  ExpectStatus("escape");
  EXPECT_EQ(kEdit, probe.FocusedId()) << "keys must not move the focus";
  probe.PressKeyWithAlt(VK_F4);
  EXPECT_EQ(0u, probe.WaitForExit(5000));
}

TEST_F(DriverProbe, ReadsAndAnswersOwnedAndUnownedBoxes) {
  probe.Start();
  EXPECT_TRUE(probe.NoMessageBoxFor(200));
  probe.Click(kAsk);
  e2e::MessageBoxInfo box = probe.WaitForMessageBox();
  EXPECT_EQ("Probe ?", box.caption);
  EXPECT_EQ("First line\nSecond line", box.text);
  EXPECT_EQ(probe.MainWindow(), box.owner);
  EXPECT_TRUE(box.hasIcon);
  ASSERT_EQ((std::vector<int>{IDYES, IDNO}), box.ButtonIds());
  EXPECT_EQ("&Yes", box.buttons[0].text);
  EXPECT_EQ("&No", box.buttons[1].text);
  EXPECT_FALSE(IsWindowEnabled(probe.MainWindow())) << "an owned box disables its owner";
  EXPECT_THROW(probe.Answer(box, IDOK), e2e::DriverError);
  probe.Answer(box, IDNO);
  ExpectStatus("no");
  EXPECT_TRUE(IsWindowEnabled(probe.MainWindow()));

  probe.SwitchTab(1);
  probe.Click(kNotify);
  box = probe.WaitForMessageBox();
  EXPECT_EQ(nullptr, box.owner);
  EXPECT_TRUE(IsWindowEnabled(probe.MainWindow())) << "a box without owner leaves the window usable";
  EXPECT_FALSE(probe.NoMessageBoxFor(100));
  probe.Answer(box, IDOK);
  ExpectStatus("ok");

  probe.SwitchTab(0);
  probe.Click(kExit);
  EXPECT_EQ(0u, probe.WaitForExit());
  EXPECT_FALSE(probe.NoMessageBoxFor(100)) << "a program that ended is not 'still running'";
}

TEST_F(DriverProbe, BoxBeforeTheWindowIsReportedNotWaitedOut) {
  SetEnvironmentVariableA("KB_PROBE_BOX_FIRST", "1");
  struct Unset {
    ~Unset() { SetEnvironmentVariableA("KB_PROBE_BOX_FIRST", nullptr); }
  } unset;
  const DWORD start = GetTickCount();
  try {
    probe.Start();
    ADD_FAILURE() << "Start() should have failed on the box";
  } catch (const e2e::DriverError& e) {
    EXPECT_NE(std::string::npos, std::string(e.what()).find("\"Before the window\"")) << e.what();
  }
  EXPECT_LT(GetTickCount() - start, e2e::Patient(10000)) << "the box must not be waited out";
  probe.Kill();

  e2e::MessageBoxInfo box = probe.StartWithBox();
  EXPECT_EQ("Before the window", box.text);
  EXPECT_EQ(nullptr, probe.MainWindow());
  probe.Answer(box, IDOK);
  probe.WaitForMainWindow();
  EXPECT_EQ("ready", probe.Text(kStatus));
}

// abort() and an exception that reaches std::terminate end the program in the box it installed
// (the C run-time's own words would go to a console a windowed program does not have).
TEST_F(DriverProbe, RunTimeFailuresEndInABox) {
  for (const char* how : {"abort", "terminate"}) {
    SetEnvironmentVariableA("KB_PROBE_FAIL", how);
    struct Unset {
      ~Unset() { SetEnvironmentVariableA("KB_PROBE_FAIL", nullptr); }
    } unset;
    e2e::MessageBoxInfo box = probe.StartWithBox();
    EXPECT_TRUE(box.caption == "Probe" && box.text == "Ended" && box.hasIcon) << how << ": " << box.Describe();
    probe.Answer(box, IDOK);
    EXPECT_EQ(3u, probe.WaitForExit()) << how;
  }
}

TEST_F(DriverProbe, WindowsVersionAppliesToTheNextStartAndIsPutBack) {
  const std::string key = "Software\\Wine\\AppDefaults\\e2e_probe.exe";
  const auto before = e2e::ReadValue(HKEY_CURRENT_USER, key, "Version");
  {
    e2e::KeelbrookDriver kb(e2e::TestProgram("e2e_probe"));
    kb.SetWindowsVersion("win98");
    kb.Start();
    EXPECT_EQ("4.10 build 67766446 platform 1 sp ' A ' suite 0x0 type 0", kb.Text(kVersion));
  }
  const auto after = e2e::ReadValue(HKEY_CURRENT_USER, key, "Version");
  EXPECT_EQ(before.has_value(), after.has_value());
  if (before && after) {
    EXPECT_EQ(before->data, after->data);
  }
}

TEST_F(DriverProbe, ScreenshotIsTheWindowAsShown) {
  probe.Start();
  const std::string file = probe.Screenshot("driver_probe");
  FILE* f = fopen(file.c_str(), "rb");
  ASSERT_NE(nullptr, f) << file;
  BITMAPFILEHEADER fh;
  BITMAPINFOHEADER ih;
  ASSERT_EQ(1u, fread(&fh, sizeof fh, 1, f));
  ASSERT_EQ(1u, fread(&ih, sizeof ih, 1, f));
  RECT r;
  GetWindowRect(probe.MainWindow(), &r);
  EXPECT_EQ(0x4D42, fh.bfType);
  EXPECT_EQ(24, ih.biBitCount);
  EXPECT_EQ(r.right - r.left, ih.biWidth);
  EXPECT_EQ(r.bottom - r.top, ih.biHeight);
  // A pixel of the client area below the status labels: the button-face background, not the
  // black of an unpainted or unread screen.
  POINT p = {300, 318};
  ClientToScreen(probe.MainWindow(), &p);
  const int x = p.x - r.left, y = (r.bottom - r.top - 1) - (p.y - r.top);
  const long stride = (ih.biWidth * 3 + 3) & ~3;
  fseek(f, static_cast<long>(fh.bfOffBits) + y * stride + x * 3, SEEK_SET);
  unsigned char bgr[3] = {};
  ASSERT_EQ(1u, fread(bgr, 3, 1, f));
  fclose(f);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(RGB(bgr[2], bgr[1], bgr[0]), face) << "pixel at client (300, 318)";
  DeleteFileA(file.c_str());
}

TEST(RegistryFixture, PutsBackValuesAndKeysAsTheyWere) {
  e2e::DeleteTree(HKEY_CURRENT_USER, kScratch);
  const std::string kept = std::string(kScratch) + "\\kept";
  ASSERT_EQ(ERROR_SUCCESS, e2e::SetString(HKEY_CURRENT_USER, kept, "text", "old", REG_EXPAND_SZ));
  ASSERT_EQ(ERROR_SUCCESS, e2e::SetDword(HKEY_CURRENT_USER, kept + "\\deep", "n", 7));
  {
    e2e::RegistryFixture reg;
    reg.SetString(HKEY_CURRENT_USER, kept, "text", "new");
    reg.SetString(HKEY_CURRENT_USER, kept, "text", "newer");
    reg.SetBinary(HKEY_CURRENT_USER, kept, "added", std::string("\x00\xff", 2));
    reg.SetDword(HKEY_CURRENT_USER, std::string(kScratch) + "\\made\\on\\the\\way", "v", 1);
    reg.DeleteTree(HKEY_CURRENT_USER, kept + "\\deep");
    reg.DeleteValue(HKEY_CURRENT_USER, kept, "missing");
    EXPECT_EQ("newer", e2e::ReadString(HKEY_CURRENT_USER, kept, "text")->Text());
    EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, kept + "\\deep"));
  }
  const auto text = e2e::ReadString(HKEY_CURRENT_USER, kept, "text");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), text->type);
  EXPECT_EQ("old", text->Text());
  EXPECT_FALSE(e2e::ValueExists(HKEY_CURRENT_USER, kept, "added"));
  EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\made"));
  const auto deep = e2e::ReadValue(HKEY_CURRENT_USER, kept + "\\deep", "n");
  ASSERT_TRUE(deep.has_value());
  EXPECT_EQ(7u, deep->Dword());
  EXPECT_EQ(ERROR_SUCCESS, e2e::DeleteTree(HKEY_CURRENT_USER, kScratch));
}

}  // namespace
