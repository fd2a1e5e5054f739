// The program's spine seen from outside: the window, its six pages and their captions, the
// help texts, the system name under each emulated Windows version, and every way of closing.
#include <functional>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"

namespace {

using e2e::KeelbrookDriver;

enum Page { kSysInfo, kUninstall, kSendTo, kOptimise, kOsInfo, kAbout, kPages };

// Starts the program under Wine's default Windows version.
class Spine : public ::testing::Test {
 protected:
  void SetUp() override {
    kb.SetWindowsVersion("");
    kb.Start();
  }
  KeelbrookDriver kb;
};

std::string Join(const std::vector<std::string>& lines, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? separator : "") + lines[i];
  return text;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + separator.size();
  }
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

TEST_F(Spine, WindowHasFixedSizeAndOnlyAMinimiseButton) {
  EXPECT_EQ("Keelbrook 2003", KeelbrookDriver::WindowText(kb.MainWindow()));
  const SIZE client = kb.ClientSize();
  EXPECT_EQ(314, client.cx);
  EXPECT_EQ(323, client.cy);
  const LONG style = kb.MainStyle();
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";

  RECT r;
  GetWindowRect(kb.MainWindow(), &r);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(screenW / 2, (r.left + r.right) / 2, 2) << "the window opens at the centre of the screen";
  EXPECT_NEAR(screenH / 2, (r.top + r.bottom) / 2, 2) << "the window opens at the centre of the screen";

}

TEST_F(Spine, SixTabsInOrderWithSysInfoShowing) {
  EXPECT_EQ(kPages, kb.TabCount());
  EXPECT_EQ((std::vector<std::string>{"Sys Info", "Uninstall", "Send to", "Optimise", "OS Info", "About..."}),
            kb.TabTexts());
  EXPECT_EQ(kSysInfo, kb.CurrentTab());
  for (int page = 0; page < kPages; ++page)
    EXPECT_EQ(page == kSysInfo, kb.IsVisible(IDC_PAGE_SYSINFO + page)) << "page " << page;
}

// What each page shows, and on which page.
struct Shown {
  Page page;
  int id;
  const char* cls;
  const char* text;  // nullptr: not checked; for "OS Info" labels the laid-out prefix
};

const Shown kShown[] = {
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 0, "Static", "Computer name :"},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 1, "Static", "Registered to : "},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 2, "Static", "Company name : "},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 3, "Static", "Windows installer path : "},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 4, "Static", "Program files path :"},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 5, "Static", "Wallpaper directory :"},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 6, "Static", "Device path : "},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 7, "Static", "Common files path : "},
    {kSysInfo, IDC_SYSINFO_LABEL_FIRST + 8, "Static", "Windows Directory :"},
    {kSysInfo, IDC_SYSINFO_COMPUTERNAME, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_USERNAME, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_COMPANY, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_WININSTPATH, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_PROGRAMFILES, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_WALLPAPER, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_DEVICEPATH, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_COMMONFILES, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_BOOTFROM, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_SET, "Button", "&Set"},
    {kSysInfo, IDC_SYSINFO_EXIT, "Button", "&Exit"},
    {kSysInfo, IDC_SYSINFO_MEMO, "Edit", nullptr},
    {kSysInfo, IDC_SYSINFO_IMAGE, nullptr, nullptr},
    {kUninstall, IDC_UNINSTALL_LABEL, "Static", "Installed programs :"},
    {kUninstall, IDC_UNINSTALL_LIST, "ListBox", nullptr},
    {kUninstall, IDC_UNINSTALL_MEMO, "Edit", nullptr},
    {kUninstall, IDC_UNINSTALL_CLEARRUN, "Button", "Clear &runlist"},
    {kUninstall, IDC_UNINSTALL_CLEARDOCS, "Button", "&Clear docs"},
    {kUninstall, IDC_UNINSTALL_DELETE, "Button", "&Delete entry"},
    {kUninstall, IDC_UNINSTALL_UNINSTALL, "Button", "&Uninstall"},
    {kUninstall, IDC_UNINSTALL_SYNC, "Button", "&Sync list"},
    {kUninstall, IDC_UNINSTALL_IMAGE, nullptr, nullptr},
    {kSendTo, IDC_SENDTO_LABEL, "Static", "Send to list :"},
    {kSendTo, IDC_SENDTO_LIST, "ListBox", nullptr},
    {kSendTo, IDC_SENDTO_MEMO, "Edit", nullptr},
    {kSendTo, IDC_SENDTO_ADD, "Button", "&Add..."},
    {kSendTo, IDC_SENDTO_EDIT, "Button", "&Edit..."},
    {kSendTo, IDC_SENDTO_REMOVE, "Button", "&Remove"},
    {kOptimise, IDC_OPTIMISE_MEMO, "Edit", nullptr},
    {kOptimise, IDC_OPTIMISE_WINALIGN, "Button", "&WinAlign"},
    {kOptimise, IDC_OPTIMISE_SCANDISK, "Button", "&ScanDisk"},
    {kOptimise, IDC_OPTIMISE_DEFRAG, "Button", "&Defragment"},
    {kOptimise, IDC_OPTIMISE_IMG_WINALIGN, nullptr, nullptr},
    {kOptimise, IDC_OPTIMISE_IMG_SCANDISK, nullptr, nullptr},
    {kOptimise, IDC_OPTIMISE_IMG_DEFRAG, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_PLUSVERSION, "Static", "Ms Plus version : "},
    {kOsInfo, IDC_OSINFO_PLUSPRODUCTID, "Static", "Plus product ID : "},
    {kOsInfo, IDC_OSINFO_PRODUCTID, "Static", "Windows ID : "},
    {kOsInfo, IDC_OSINFO_PRODUCTKEY, "Static", "Product key : "},
    {kOsInfo, IDC_OSINFO_IE, "Static", "Internet explorer version : "},
    {kOsInfo, IDC_OSINFO_DIRECTX, "Static", "DirectX installed : "},
    {kOsInfo, IDC_OSINFO_DIRECTXVER, "Static", "DirectX version : "},
    {kOsInfo, IDC_OSINFO_OS, "Static", nullptr},
    {kOsInfo, IDC_OSINFO_BUILD, "Static", nullptr},
    {kOsInfo, IDC_OSINFO_BEVEL1, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_BEVEL2, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_BEVEL4, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_BEVEL5, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_IMAGE1, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_IMAGE2, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_IMAGE3, nullptr, nullptr},
    {kOsInfo, IDC_OSINFO_IMAGE4, nullptr, nullptr},
    {kAbout, IDC_ABOUT_IMAGE8, nullptr, nullptr},
    {kAbout, IDC_ABOUT_IMAGE9, nullptr, nullptr},
    {kAbout, IDC_ABOUT_IMAGE10, nullptr, nullptr},
    {kAbout, IDC_ABOUT_TWEETY, nullptr, nullptr},
    {kAbout, IDC_ABOUT_LABEL12, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL13, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL14, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL15, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL16, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL17, "Static", nullptr},
    {kAbout, IDC_ABOUT_LABEL11, "Static", "Keelbrook 2003"},
    {kAbout, IDC_ABOUT_CLOSE, "Button", "&Close"},
};

const char* const kScreens[kPages] = {"sysinfo", "uninstall", "sendto", "optimise", "osinfo", "about"};

TEST_F(Spine, EachPageShowsItsOwnControlsAndCaptions) {
  for (int page = 0; page < kPages; ++page) {
    SCOPED_TRACE(std::string("page ") + kScreens[page]);
    kb.SwitchTab(page);
    for (int other = 0; other < kPages; ++other)
      EXPECT_EQ(other == page, kb.IsVisible(IDC_PAGE_SYSINFO + other)) << "page window " << other;
    for (const Shown& c : kShown) {
      if (!kb.Find(c.id)) {
        ADD_FAILURE() << "no control with id " << c.id;
        continue;
      }
      EXPECT_EQ(c.page == page, kb.IsVisible(c.id)) << "control " << c.id;
      if (c.page != page) continue;
      if (c.cls) {
        EXPECT_EQ(c.cls, KeelbrookDriver::ClassOf(kb.Control(c.id))) << "control " << c.id;
      }
      if (!c.text) continue;
      // The "OS Info" labels carry their value after the laid-out caption.
      if (c.page == kOsInfo)
        EXPECT_TRUE(StartsWith(kb.Text(c.id), c.text)) << "control " << c.id << ": expected a caption starting with "
                                                      << e2e::Quote(c.text) << ", got " << e2e::Quote(kb.Text(c.id));
      else
        EXPECT_EQ(c.text, kb.Text(c.id)) << "control " << c.id;
    }
    kb.Screenshot(kScreens[page]);
  }
  // The two images that the About picture swaps between are held out of sight.
  EXPECT_FALSE(kb.IsVisible(IDC_ABOUT_SMILE));
  EXPECT_FALSE(kb.IsVisible(IDC_ABOUT_NORMAL));
  EXPECT_TRUE(kb.Style(IDC_SYSINFO_BOOTFROM) & ES_READONLY) << "the Windows directory is shown, not edited";
  for (int id = IDC_SYSINFO_COMPUTERNAME; id < IDC_SYSINFO_BOOTFROM; ++id)
    EXPECT_FALSE(kb.Style(id) & ES_READONLY) << "field " << id << " is editable";
}

TEST_F(Spine, TabVisitsTheSysInfoFieldsInOrder) {
  const int order[] = {IDC_SYSINFO_COMPUTERNAME, IDC_SYSINFO_USERNAME,     IDC_SYSINFO_COMPANY,
                       IDC_SYSINFO_WININSTPATH,  IDC_SYSINFO_PROGRAMFILES, IDC_SYSINFO_WALLPAPER,
                       IDC_SYSINFO_DEVICEPATH,   IDC_SYSINFO_COMMONFILES,  IDC_SYSINFO_BOOTFROM};
  kb.Focus(order[0]);
  for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
    kb.PressKey(VK_TAB);
    const bool moved = e2e::WaitUntil([&] { return kb.FocusedId() == order[i]; }, 2000);
    EXPECT_TRUE(moved) << "after " << i << " Tab presses the focus should be on " << order[i] << ", it is on "
                       << kb.FocusedId();
    if (!moved) kb.Focus(order[i]);
  }
}

// The "About..." page has a fixed layout, measured from the page's top left corner.
TEST_F(Spine, AboutPageControlsSitAtTheirPlaces) {
  POINT origin = {0, 0};
  ClientToScreen(kb.Control(IDC_PAGE_ABOUT), &origin);
  for (const ControlSpec& c : e2e::AboutLayout()) {
    const RECT r = kb.ScreenRect(c.id);
    EXPECT_EQ(c.x, r.left - origin.x) << "left of control " << c.id;
    EXPECT_EQ(c.y, r.top - origin.y) << "top of control " << c.id;
    if (c.kind == ControlKind::Label) continue;  // a label's size is the room it gives its text
    EXPECT_EQ(c.width, r.right - r.left) << "width of control " << c.id;
    EXPECT_EQ(c.height, r.bottom - r.top) << "height of control " << c.id;
  }
}

// Hints appear on hover for the controls that have one, and only for those.
TEST_F(Spine, HintsBelongToTheirControls) {
  const char* const restart = "You must restart Windows for changes to take effect";
  const char* const docs = "Press to clear the recent documents list";
  const struct {
    int id;
    const char* hint;  // nullptr: none
  } hints[] = {
      {IDC_SYSINFO_COMPUTERNAME, restart}, {IDC_SYSINFO_USERNAME, nullptr},  {IDC_SYSINFO_SET, nullptr},
      {IDC_SYSINFO_EXIT, nullptr},         {IDC_UNINSTALL_CLEARRUN, docs},   {IDC_UNINSTALL_CLEARDOCS, docs},
      {IDC_UNINSTALL_DELETE, docs},        {IDC_UNINSTALL_UNINSTALL, nullptr}, {IDC_UNINSTALL_SYNC, nullptr},
      {IDC_SENDTO_ADD, nullptr},           {IDC_OPTIMISE_DEFRAG, nullptr},   {IDC_ABOUT_CLOSE, nullptr},
  };
  for (const auto& h : hints) {
    const std::optional<std::string> hint = kb.Hint(h.id);
    if (h.hint)
      EXPECT_EQ(h.hint, hint.value_or("(no hint)")) << "control " << h.id;
    else
      EXPECT_FALSE(hint.has_value()) << "control " << h.id << " has the hint " << e2e::Quote(*hint);
  }
}

struct Memo {
  int id;
  bool border;
  std::vector<std::string> lines;
};

const std::vector<Memo>& Memos() {
  static const std::vector<Memo> memos = {
      {IDC_SYSINFO_MEMO, false,
       {"You can change all the ", "default paths your ", "system uses for the ", "listed items.", "",
        "Just be sure to take a ", "backup of the Registry ", "in case anything goes ", "wrong !", "",
        "Computer name : This is ", "the name of your ", "computer which is ", "defined during the ",
        "Setup process of ", "Windows.", "", "Username : This is the ", "name of the user which ",
        "is defines during ", "Windows setup.", "", "Company name : This is ", "the name of your ",
        "Organisation which is ", "entered during Windows ", "setup.", "", "Windows installer path : ",
        "This is the path from ", "where yu installed ", "Windows. This is the ", "path where the system ",
        "will first go in case you ", "need to install additional ", "components for ", "Windows.", "",
        "Wallpaper directory : ", "This is the folder from ", "where Windows will ", "pick up the list of ",
        "available wallpapers in ", "the Display dialog box. ", "", "Device path : This the ",
        "path where Windows ", "will first go to if it has to ", "install additional devices ",
        "e.g. modem, soundcard ", "etc.", "", "Other device path : This ", "is the path where ",
        "Windows will first go to ", "in order to install other ", "devices."}},
      {IDC_UNINSTALL_MEMO, false,
       {"The list of programs are the ones ", "you ", "installed. These programs comply ",
        "with the Windows certification ", "guidelines and can be un-installed ", "by ",
        "selecting them and then pressing ", "the ", "Uninstall button.", "",
        "After uninstalling to refresh the list, ", "press Sync List. ", "", "Just be careful of what ",
        "you uninstall !"}},
      {IDC_SENDTO_MEMO, false,
       {"The items present in the list are what will appear when you'll ",
        "right-click on a file or folder in Windows Explorer.", "",
        "To add items to this list press Add and to remove items ", "press ", "Remove.", "",
        "You can also change the name of the existing item by ", "pressing Edit."}},
      {IDC_OPTIMISE_MEMO, true,
       {"There are many ways of optimising the performance of ", "Windows.", std::string(84, '-'),
        "1. Uninstall those programs which are never used.", "2. Uninstall components which are not required.",
        "3 Defragment your disks.", "4. Run Scan disk to check for lost clusters and errors.",
        "5. Run walign which speeds up certain programs.", "6. Empty the recycle bin as recover space.",
        "7. Instead of letting Windows taking care of the swap ",
        "    file, use a fixed swap file on a disk which is fast.",
        "8. And ofcourse you can always buy a faster processor", "   and add more RAM."}},
  };
  return memos;
}

TEST_F(Spine, HelpMemosAreReadOnlyTextsLineByLine) {
  for (const Memo& memo : Memos()) {
    SCOPED_TRACE("memo " + std::to_string(memo.id));
    const std::vector<std::string> shown = Split(kb.Text(memo.id), "\r\n");
    for (size_t i = 0; i < memo.lines.size() || i < shown.size(); ++i) {
      const std::string expected = i < memo.lines.size() ? memo.lines[i] : "(no line)";
      const std::string got = i < shown.size() ? shown[i] : "(no line)";
      EXPECT_EQ(expected, got) << "line " << i + 1;
    }
    EXPECT_EQ(Join(memo.lines, "\r\n"), kb.Text(memo.id));

    const LONG style = kb.Style(memo.id);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & ES_AUTOHSCROLL) << "the memo wraps its words";
    const bool border = (style & WS_BORDER) || (kb.ExStyle(memo.id) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    EXPECT_EQ(memo.border, border);
  }
}

// ---------------------------------------------------------------------------------------------
// The system's name and build under each emulated Windows version. Wine reports, for example,
// winme as 4.90 with the service-pack text " " (not empty, so it is shown in parentheses) and
// its default as 6.1, which is outside the known versions: the labels then keep their captions.

struct OsCase {
  const char* version;
  const char* os;
  const char* build;
};

class OsInfoUnder : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsInfoUnder, NamesTheSystemAndBuild) {
  KeelbrookDriver kb;
  kb.SetWindowsVersion(GetParam().version);
  kb.Start();
  kb.SwitchTab(kOsInfo);
  EXPECT_EQ(GetParam().os, kb.Text(IDC_OSINFO_OS));
  EXPECT_EQ(GetParam().build, kb.Text(IDC_OSINFO_BUILD));
  EXPECT_TRUE(kb.NoMessageBoxFor(0));
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(
    EmulatedVersions, OsInfoUnder,
    ::testing::Values(OsCase{"win95", "OS : Windows 95", "Build : 67109814"},
                      OsCase{"win98", "OS : Windows 98 ( A )", "Build : 67766446"},
                      OsCase{"winme", "OS : Windows ME ( )", "Build : 73010104"},
                      OsCase{"nt40", "OS : Windows NT Professional (Service Pack 6a)", "Build : 1381"},
                      OsCase{"win2k", "OS : Windows 2000 Professional (Service Pack 4)", "Build : 2195"},
                      OsCase{"winxp", "OS : Windows XP Professional (Service Pack 3)", "Build : 2600"},
                      OsCase{"win2003", "OS : Windows 2003 Server (Service Pack 2)", "Build : 3790"},
                      OsCase{"", "Operating system : ", "Build : "}),
    [](const ::testing::TestParamInfo<OsCase>& info) {
      return std::string(*info.param.version ? info.param.version : "default");
    });

// ---------------------------------------------------------------------------------------------
// Closing without edits: every way ends the program at once with exit code 0 and no question.

struct CloseCase {
  const char* name;
  std::function<void(KeelbrookDriver&)> close;
};

class CloseUnedited : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseUnedited, EndsAtOnceWithExitCodeZero) {
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  GetParam().close(kb);
  EXPECT_EQ(0u, kb.WaitForExit(10000));
  EXPECT_FALSE(kb.FindMessageBox().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CloseUnedited,
    ::testing::Values(CloseCase{"ExitButton", [](KeelbrookDriver& kb) { kb.Click(IDC_SYSINFO_EXIT); }},
                      CloseCase{"AboutCloseButton",
                                [](KeelbrookDriver& kb) {
                                  kb.ClickTab(kAbout);
                                  kb.Click(IDC_ABOUT_CLOSE);
                                }},
                      CloseCase{"TitleBar", [](KeelbrookDriver& kb) { kb.CloseByTitleBar(); }},
                      CloseCase{"AltF4", [](KeelbrookDriver& kb) { kb.PressKeyWithAlt(VK_F4); }},
                      CloseCase{"EnterInSysInfoField",
                                [](KeelbrookDriver& kb) {
                                  kb.Focus(IDC_SYSINFO_WALLPAPER);
                                  kb.PressKey(VK_RETURN);
                                }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(Spine, EscapeDoesNothingOnPagesWithoutACancelButton) {
  kb.Focus(IDC_SYSINFO_COMPUTERNAME);
  kb.PressKey(VK_ESCAPE);
  EXPECT_TRUE(kb.NoMessageBoxFor(500)) << "Escape on Sys Info";
  for (Page page : {kOptimise, kOsInfo, kAbout}) {
    kb.ClickTab(page);
    kb.PressKey(VK_ESCAPE);
    EXPECT_TRUE(kb.NoMessageBoxFor(500)) << "Escape on " << kScreens[page];
    EXPECT_EQ(page, kb.CurrentTab());
  }
  // The same key on "Uninstall" does arrive and press "&Delete entry" (with nothing selected,
  // that ends in the error report), so the quiet pages above really ignored it.
  kb.ClickTab(kUninstall);
  kb.PressKey(VK_ESCAPE);
  kb.Answer(kb.WaitForMessageBox(), IDOK);
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());
}

// "&Exit" is the default button of "Sys Info" only: Enter on the other pages does nothing.
TEST_F(Spine, EnterClosesOnlyFromSysInfo) {
  for (Page page : {kUninstall, kSendTo, kOptimise, kOsInfo, kAbout}) {
    kb.ClickTab(page);
    kb.PressKey(VK_RETURN);
    EXPECT_TRUE(kb.NoMessageBoxFor(400)) << "Enter on " << kScreens[page];
    ASSERT_TRUE(kb.Running()) << "Enter on " << kScreens[page] << " closed the program";
  }
  // Back on "Sys Info", with the tab strip focused and so no button, Enter presses "&Exit".
  kb.ClickTab(kSysInfo);
  kb.PressKey(VK_RETURN);
  EXPECT_EQ(0u, kb.WaitForExit());
}

}  // namespace

namespace {

// Escape presses the cancel button of the two list pages; with nothing selected both buttons
// end in the error report about the list position, which proves the key got there.
struct EscapeCase {
  const char* name;
  Page page;
  int list;
  bool countsLines;  // the report names the number of lines, or -1
};

class EscapeOnListPage : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeOnListPage, PressesItsCancelButton) {
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  kb.ClickTab(GetParam().page);
  const int lines = kb.ListCount(GetParam().list);
  kb.PressKey(VK_ESCAPE);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ("Keelbrook 2003", box.caption);
  EXPECT_EQ("List index out of bounds (" + std::to_string(GetParam().countsLines ? lines : -1) + ")", box.text);
  EXPECT_EQ((std::vector<int>{IDOK}), box.ButtonIds());
  EXPECT_TRUE(box.hasIcon);
  EXPECT_FALSE(IsWindowEnabled(kb.MainWindow())) << "the error report holds the window until answered";
  kb.Answer(box, IDOK);
  EXPECT_TRUE(IsWindowEnabled(kb.MainWindow()));
  EXPECT_TRUE(kb.NoMessageBoxFor(300)) << "the program goes on after the report";
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(
    CancelButtons, EscapeOnListPage,
    ::testing::Values(EscapeCase{"UninstallDeleteEntry", kUninstall, IDC_UNINSTALL_LIST, true},
                      EscapeCase{"SendToRemove", kSendTo, IDC_SENDTO_LIST, false}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

}  // namespace
