// "About..." end to end: where its controls stand, the title lines coloured while the icon is
// held, the bird that smiles while pressed, the links started through the shell with the
// address, and "&Close" closing like "&Exit", the save question included.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

constexpr int kAboutPage = 5;

// The control's pixels as on screen, 0x00RRGGBB, row by row.
std::vector<uint32_t> PixelsOf(const e2e::KeelbrookDriver& kb, int id) { return e2e::ScreenPixels(kb.ScreenRect(id)); }

int BluePixels(const e2e::KeelbrookDriver& kb, int id) {
  int n = 0;
  for (uint32_t p : PixelsOf(kb, id)) {
    const int red = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    n += b > 150 && g < 90 && red < 90;
  }
  return n;
}

POINT CentreOf(const e2e::KeelbrookDriver& kb, int id) {
  const RECT r = kb.ScreenRect(id);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void LeftButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

void ClickAt(POINT p) {
  SetCursorPos(p.x, p.y);
  LeftButton(true);
  LeftButton(false);
}

// The program the shell starts for a link: tests/programs/fake_tool.exe registered for the
// mailto: and http: protocols by the fixture, logging each start.
class LinkCatcher {
 public:
  explicit LinkCatcher(e2e::RegistryFixture& reg) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    log_ = std::string(temp) + "keelbrook-links-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log_.c_str());
    DeleteFileA((log_ + ".release").c_str());
    SetEnvironmentVariableA("KB_FAKE_TOOL_LOG", log_.c_str());
    std::string tool = e2e::TestProgram("fake_tool");
    for (char& c : tool) c = c == '/' ? '\\' : c;
    for (const char* protocol : {"mailto", "http"})
      reg.SetString(HKEY_LOCAL_MACHINE, std::string("Software\\Classes\\") + protocol + "\\shell\\open\\command", "",
                    "\"" + tool + "\" \"%1\"");
  }
  ~LinkCatcher() {
    HANDLE h = CreateFileA((log_ + ".release").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    for (const std::vector<std::string>& s : Starts()) {
      HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::strtoul(s[4].c_str(), nullptr, 10));
      if (!p) continue;
      if (WaitForSingleObject(p, 5000) != WAIT_OBJECT_0) TerminateProcess(p, 1);
      CloseHandle(p);
    }
    SetEnvironmentVariableA("KB_FAKE_TOOL_LOG", nullptr);
    DeleteFileA(log_.c_str());
    DeleteFileA((log_ + ".release").c_str());
  }
  LinkCatcher(const LinkCatcher&) = delete;
  LinkCatcher& operator=(const LinkCatcher&) = delete;

  // Each start: path, command line, working folder, show state, process id.
  std::vector<std::vector<std::string>> Starts() const { return e2e::ReadRecords(log_, 5); }
  bool WaitForStarts(size_t n) const {
    return e2e::WaitUntil([&] { return Starts().size() >= n; }, 10000);
  }

 private:
  std::string log_;
};

class About : public ::testing::Test {
 protected:
  void StartOnAbout() {
    kb.SetWindowsVersion("winxp");
    kb.Start();
    kb.SwitchTab(kAboutPage);
  }
  e2e::RegistryFixture reg;
  e2e::KeelbrookDriver kb;
};

TEST_F(About, ControlsStandWhereThePageLayoutPutsThem) {
  StartOnAbout();
  HWND page = kb.Control(IDC_PAGE_ABOUT);
  POINT origin = {0, 0};
  ClientToScreen(page, &origin);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto scale = [&](int v) { return MulDiv(v, dpi, 96); };
  for (const ControlSpec& c : e2e::AboutLayout()) {
    const RECT r = kb.ScreenRect(c.id);
    EXPECT_EQ(scale(c.x), r.left - origin.x) << "x of control " << c.id;
    EXPECT_EQ(scale(c.y), r.top - origin.y) << "y of control " << c.id;
    if (c.kind == ControlKind::Label) continue;  // a label's size is the room it gives its text
    EXPECT_EQ(scale(c.width), r.right - r.left) << "width of control " << c.id;
    EXPECT_EQ(scale(c.height), r.bottom - r.top) << "height of control " << c.id;
  }
  for (int id = IDC_ABOUT_LABEL11; id <= IDC_ABOUT_LABEL17; ++id) EXPECT_FALSE(kb.Text(id).empty()) << id;
  EXPECT_EQ("Keelbrook 2003", kb.Text(IDC_ABOUT_LABEL11));
  EXPECT_EQ("&Close", kb.Text(IDC_ABOUT_CLOSE));
  EXPECT_FALSE(kb.IsVisible(IDC_ABOUT_SMILE));
  EXPECT_FALSE(kb.IsVisible(IDC_ABOUT_NORMAL));
  kb.Screenshot("about-layout");
}

TEST_F(About, HoldingTheIconColoursTheTitleLinesOnly) {
  StartOnAbout();
  const int titles[] = {IDC_ABOUT_LABEL11, IDC_ABOUT_LABEL12, IDC_ABOUT_LABEL13};
  SetCursorPos(CentreOf(kb, IDC_ABOUT_IMAGE8).x, CentreOf(kb, IDC_ABOUT_IMAGE8).y);
  LeftButton(true);
  for (int id : titles) EXPECT_TRUE(e2e::WaitUntil([&] { return BluePixels(kb, id) > 10; }, 3000)) << id;
  for (int id = IDC_ABOUT_LABEL14; id <= IDC_ABOUT_LABEL17; ++id) EXPECT_EQ(0, BluePixels(kb, id)) << id;
  kb.Screenshot("about-held");
  SetCursorPos(CentreOf(kb, IDC_ABOUT_LABEL17).x, CentreOf(kb, IDC_ABOUT_LABEL17).y);
  LeftButton(false);
  for (int id : titles) EXPECT_TRUE(e2e::WaitUntil([&] { return BluePixels(kb, id) == 0; }, 3000)) << id;
}

TEST_F(About, TheBirdSmilesWhilePressed) {
  StartOnAbout();
  // The picture as shown once the page has finished painting.
  std::vector<uint32_t> normal;
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        std::vector<uint32_t> before = PixelsOf(kb, IDC_ABOUT_TWEETY);
        Sleep(100);
        normal = PixelsOf(kb, IDC_ABOUT_TWEETY);
        return normal == before && std::adjacent_find(normal.begin(), normal.end(), std::not_equal_to<uint32_t>()) != normal.end();
      },
      3000));
  SetCursorPos(CentreOf(kb, IDC_ABOUT_TWEETY).x, CentreOf(kb, IDC_ABOUT_TWEETY).y);
  LeftButton(true);
  EXPECT_TRUE(e2e::WaitUntil([&] { return PixelsOf(kb, IDC_ABOUT_TWEETY) != normal; }, 3000))
      << "the picture did not change while held";
  LeftButton(false);
  EXPECT_TRUE(e2e::WaitUntil([&] { return PixelsOf(kb, IDC_ABOUT_TWEETY) == normal; }, 3000))
      << "the picture did not come back on release";
}

TEST_F(About, MailAndWebLinksStartTheRegisteredProgramWithTheAddress) {
  LinkCatcher links(reg);
  StartOnAbout();
  // Each mail control, then each web control.
  const int controls[] = {IDC_ABOUT_IMAGE9, IDC_ABOUT_LABEL14, IDC_ABOUT_LABEL15, IDC_ABOUT_IMAGE10,
                          IDC_ABOUT_LABEL16};
  size_t n = 0;
  for (int id : controls) {
    ClickAt(CentreOf(kb, id));
    ASSERT_TRUE(links.WaitForStarts(++n)) << "nothing started for control " << id;
  }
  const auto starts = links.Starts();
  for (size_t i = 0; i < starts.size(); ++i) {
    SCOPED_TRACE(starts[i][1]);
    const bool mail = i < 3;
    EXPECT_NE(std::string::npos, starts[i][1].find(mail ? "mailto:keelbrook@example.org" : "http://www.example.org/keelbrook/"));
    EXPECT_EQ(0, lstrcmpiA("C:\\", starts[i][2].c_str())) << "working folder " << starts[i][2];
    EXPECT_EQ(std::to_string(SW_MAXIMIZE), starts[i][3]);
  }
  // The address on the page is the one the link opens.
  EXPECT_NE(std::string::npos, std::string("mailto:keelbrook@example.org").find(kb.Text(IDC_ABOUT_LABEL15)));
  EXPECT_NE(std::string::npos, std::string("http://www.example.org/keelbrook/").find(kb.Text(IDC_ABOUT_LABEL16)));
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
}

TEST_F(About, CloseWithoutEditsEndsTheProgram) {
  StartOnAbout();
  kb.Click(IDC_ABOUT_CLOSE);
  EXPECT_EQ(0u, kb.WaitForExit());
}

TEST_F(About, CloseAfterAnEditAsksToSaveLikeExit) {
  const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  reg.SetString(HKEY_LOCAL_MACHINE, kNt, "RegisteredOwner", "Ann");
  StartOnAbout();
  kb.SetText(IDC_SYSINFO_USERNAME, "Bob");
  kb.Click(IDC_ABOUT_CLOSE);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ("Save ?", box.caption);
  EXPECT_EQ(
      "Certain changes were made, quitting now\nwill not update those changes.\nDo you want to save the changes made ?",
      box.text);
  EXPECT_EQ(kb.MainWindow(), box.owner);
  kb.Answer(box, IDNO);
  EXPECT_EQ(0u, kb.WaitForExit());
  EXPECT_EQ("Ann", e2e::ReadString(HKEY_LOCAL_MACHINE, kNt, "RegisteredOwner")->Text());
}

}  // namespace
