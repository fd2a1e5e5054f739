// "OS Info" end to end: the product and component values from registry fixtures, and a real
// mouse press on the flag picture that turns its labels blue on screen until it is released,
// wherever the pointer is by then.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kIe[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kDx[] = "SOFTWARE\\Microsoft\\DirectX";

// What a control shows on screen: pixels of blue text, and pixels of dark (window-text) text.
struct Ink {
  int blue = 0;
  int dark = 0;
};

Ink InkOf(const e2e::KeelbrookDriver& kb, int id) {
  Ink ink;
  for (uint32_t p : e2e::ScreenPixels(kb.ScreenRect(id))) {
    const int b = p & 0xFF, g = (p >> 8) & 0xFF, red = (p >> 16) & 0xFF;
    if (b > 150 && g < 90 && red < 90) ++ink.blue;
    else if (b < 90 && g < 90 && red < 90) ++ink.dark;
  }
  return ink;
}

bool ShowsBlue(const e2e::KeelbrookDriver& kb, int id) {
  return e2e::WaitUntil([&] { return InkOf(kb, id).blue > 10; }, 3000);
}
bool ShowsDark(const e2e::KeelbrookDriver& kb, int id) {
  return e2e::WaitUntil([&] { Ink i = InkOf(kb, id); return i.blue == 0 && i.dark > 10; }, 3000);
}

POINT CentreOf(const e2e::KeelbrookDriver& kb, int id) {
  const RECT r = kb.ScreenRect(id);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Real mouse input: the system delivers it to whatever window is under the pointer.
void MoveMouse(POINT p) { SetCursorPos(p.x, p.y); }
void LeftButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

class OsInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "ProductID", "55274-OEM-0011903-00102");
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "ProductKey", "BCDFG-HJKMP-QRTVW-XY234-6789B");
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "Plus! ProductId", "PLUS-98-0042");
    reg.SetString(HKEY_LOCAL_MACHINE, kCv, "Plus! VersionNumber", "4.40.500");
    reg.SetString(HKEY_LOCAL_MACHINE, kIe, "Version", "6.0.2900.2180");
    reg.SetString(HKEY_LOCAL_MACHINE, kDx, "Version", "4.09.00.0904");
    kb.SetWindowsVersion("winxp");
  }
  void StartOnOsInfo() {
    kb.Start();
    kb.SwitchTab(4);
  }

  e2e::RegistryFixture reg;
  e2e::KeelbrookDriver kb;
};

TEST_F(OsInfo, EveryValueFollowsItsCaption) {
  StartOnOsInfo();
  const struct {
    int id;
    const char* text;
  } expected[] = {
      {IDC_OSINFO_PRODUCTID, "Windows ID : 55274-OEM-0011903-00102"},
      {IDC_OSINFO_PRODUCTKEY, "Product key : BCDFG-HJKMP-QRTVW-XY234-6789B"},
      {IDC_OSINFO_PLUSVERSION, "Ms Plus version : 4.40.500"},
      {IDC_OSINFO_PLUSPRODUCTID, "Plus product ID : PLUS-98-0042"},
      {IDC_OSINFO_IE, "Internet explorer version : 6.0.2900.2180"},
      {IDC_OSINFO_DIRECTX, "DirectX installed : Yes"},
      {IDC_OSINFO_DIRECTXVER, "DirectX version : 4.09.00.0904"},
  };
  for (const auto& e : expected) EXPECT_EQ(e.text, kb.Text(e.id)) << "control " << e.id;
  kb.Screenshot("osinfo-values");

  // Ctrl+C copies the report, one label a line, in the page's order, as shown.
  std::string report;
  for (int id : {IDC_OSINFO_OS, IDC_OSINFO_BUILD, IDC_OSINFO_PLUSVERSION, IDC_OSINFO_PLUSPRODUCTID, IDC_OSINFO_PRODUCTID,
                 IDC_OSINFO_PRODUCTKEY, IDC_OSINFO_IE, IDC_OSINFO_DIRECTX, IDC_OSINFO_DIRECTXVER})
    report += kb.Text(id) + "\r\n";
  kb.PressKeyWithCtrl('C');
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText() == report; }, 3000)) << e2e::ClipboardText();
}

TEST_F(OsInfo, AbsentValuesLeaveTheCaptionsOrSayWhatIsMissing) {
  reg.DeleteValue(HKEY_LOCAL_MACHINE, kCv, "ProductKey");
  reg.DeleteValue(HKEY_LOCAL_MACHINE, kCv, "Plus! ProductId");  // the version stays: not enough
  reg.DeleteValue(HKEY_LOCAL_MACHINE, kIe, "Version");
  reg.DeleteValue(HKEY_LOCAL_MACHINE, kDx, "Version");
  StartOnOsInfo();
  EXPECT_EQ("Product key : ", kb.Text(IDC_OSINFO_PRODUCTKEY));
  EXPECT_EQ("Ms Plus version : Not installed", kb.Text(IDC_OSINFO_PLUSVERSION));
  EXPECT_EQ("Plus product ID : Not installed", kb.Text(IDC_OSINFO_PLUSPRODUCTID));
  EXPECT_EQ("Internet explorer version : ", kb.Text(IDC_OSINFO_IE));
  EXPECT_EQ("DirectX installed : not found", kb.Text(IDC_OSINFO_DIRECTX));
  EXPECT_EQ("DirectX version : ", kb.Text(IDC_OSINFO_DIRECTXVER));
}

TEST_F(OsInfo, HoldingTheFlagTurnsItsLabelsBlueUntilReleasedElsewhere) {
  StartOnOsInfo();
  const int group[] = {IDC_OSINFO_OS, IDC_OSINFO_BUILD, IDC_OSINFO_PRODUCTID, IDC_OSINFO_PRODUCTKEY};
  const int others[] = {IDC_OSINFO_PLUSVERSION, IDC_OSINFO_PLUSPRODUCTID, IDC_OSINFO_IE, IDC_OSINFO_DIRECTX,
                        IDC_OSINFO_DIRECTXVER};
  for (int id : group) ASSERT_TRUE(ShowsDark(kb, id)) << "control " << id << " before the press";

  MoveMouse(CentreOf(kb, IDC_OSINFO_IMAGE1));
  LeftButton(true);
  for (int id : group) EXPECT_TRUE(ShowsBlue(kb, id)) << "control " << id << " while the flag is held";
  for (int id : others) EXPECT_EQ(0, InkOf(kb, id).blue) << "control " << id << " is not in the flag's group";
  kb.Screenshot("osinfo-held");

  // Off the picture, over another group's label, before letting go.
  MoveMouse(CentreOf(kb, IDC_OSINFO_PLUSVERSION));
  kb.Sync();
  EXPECT_TRUE(ShowsBlue(kb, IDC_OSINFO_OS)) << "moving away does not end the highlight";
  LeftButton(false);
  for (int id : group) EXPECT_TRUE(ShowsDark(kb, id)) << "control " << id << " after the release";
  EXPECT_TRUE(kb.NoMessageBoxFor(300));
}

TEST_F(OsInfo, InternetExplorerPictureColoursItsLineOnly) {
  StartOnOsInfo();
  MoveMouse(CentreOf(kb, IDC_OSINFO_IMAGE3));
  LeftButton(true);
  EXPECT_TRUE(ShowsBlue(kb, IDC_OSINFO_IE));
  EXPECT_EQ(0, InkOf(kb, IDC_OSINFO_DIRECTX).blue);
  // Let go outside the window altogether.
  const RECT window = kb.ScreenRect(IDC_MAIN_TABS);
  MoveMouse(POINT{window.right + 40, window.bottom + 40});
  LeftButton(false);
  EXPECT_TRUE(ShowsDark(kb, IDC_OSINFO_IE));
}

}  // namespace
