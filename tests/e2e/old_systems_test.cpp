// What the systems before Windows XP show, and how the window comes up however it is started.
//
// Wine gives the version 5 common controls to a program without the common-controls 6 manifest,
// as Windows 95 to 2000 give 4.00 to 5.8x: a copy of keelbrook.exe with its manifest taken out
// shows what those systems show.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

using e2e::KeelbrookDriver;

// Pixels of a picture, not of a button's face, frame or caption: those are all near grey.
int ColourfulPixels(const RECT& r) {
  int count = 0;
  for (uint32_t p : e2e::ScreenPixels(r)) {
    const int red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
    const int high = std::max(red, std::max(green, blue)), low = std::min(red, std::min(green, blue));
    if (high - low > 60) ++count;
  }
  return count;
}

TEST(CommonControlsBeforeXp, ButtonsShowPictureAndCaptionAndHintsAppear) {
  e2e::CopyWithoutManifest copy;
  KeelbrookDriver kb(copy.Path());
  kb.Start();
  EXPECT_EQ("You must restart Windows for changes to take effect", kb.Hint(IDC_SYSINFO_COMPUTERNAME).value_or(""));
  const struct {
    int page, button;
  } buttons[] = {{0, IDC_SYSINFO_SET},         {0, IDC_SYSINFO_EXIT},      {1, IDC_UNINSTALL_UNINSTALL},
                 {1, IDC_UNINSTALL_DELETE},    {2, IDC_SENDTO_ADD},        {3, IDC_OPTIMISE_DEFRAG},
                 {5, IDC_ABOUT_CLOSE}};
  for (const auto& b : buttons) {
    kb.ClickTab(b.page);
    SCOPED_TRACE(kb.Text(b.button));
    EXPECT_EQ(BS_OWNERDRAW, kb.Style(b.button) & 0x0F) << "drawn by the program";
    RECT r = kb.ScreenRect(b.button);
    const RECT left = {r.left, r.top, (r.left + r.right) / 2, r.bottom};
    EXPECT_TRUE(e2e::WaitUntil([&] { return ColourfulPixels(left) > 8; }, 2000)) << "no picture left of the caption";
  }
  kb.PostClose();
  EXPECT_EQ(0u, kb.WaitForExit());
}

// A shortcut set to "Maximized" opens the fixed-size window as it is, in the middle of the
// screen. (Wine keeps a work area per process, so a taskbar's share cannot be shown here.)
TEST(StartUp, AMaximisedStartShowsTheWindowNormalInTheMiddleOfTheScreen) {
  KeelbrookDriver kb;
  kb.SetShowCommand(SW_SHOWMAXIMIZED);
  kb.Start();
  EXPECT_FALSE(IsZoomed(kb.MainWindow()));
  RECT r;
  GetWindowRect(kb.MainWindow(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  kb.PostClose();
  EXPECT_EQ(0u, kb.WaitForExit());
}

}  // namespace
