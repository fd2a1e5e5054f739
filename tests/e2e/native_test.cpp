// Keelbrook as a Windows program among others: the layout at each display DPI (in proportion,
// nothing outside its page, every caption readable, a picture drawn for each size), and the
// keyboard conventions of the system's property pages (page keys, tab order, mnemonics). The
// last scenario renders the pictures of docs/screenshots (tools/screenshots.sh).
//
// The DPI is Wine's setting HKCU\Control Panel\Desktop, LogPixels, read by each program when it
// starts; a program that declares itself DPI-aware then lays itself out for it, nothing is
// stretched for it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"
#include "e2e/window_search.h"
#include "ui/icon_image.h"

namespace {

using e2e::KeelbrookDriver;

enum Page { kSysInfo, kUninstall, kSendTo, kOptimise, kOsInfo, kAbout, kPages };
const char* const kPageNames[kPages] = {"sysinfo", "uninstall", "sendto", "optimise", "osinfo", "about"};

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

std::string Format(const char* format, long a, long b = 0, long c = 0, long d = 0) {
  char buf[256];
  snprintf(buf, sizeof buf, format, a, b, c, d);
  return buf;
}

std::string Describe(const RECT& r) {
  return Format("(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
}

// The window rectangle of `child` in the client coordinates of `parent`.
RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

using window_search::TopLevelWindowsOf;

// The program's shown top-level windows other than its main window (boxes, dialogs).
std::vector<HWND> OtherShownWindows(const KeelbrookDriver& kb) {
  std::vector<HWND> shown;
  for (HWND w : TopLevelWindowsOf(kb.ProcessId()))
    if (w != kb.MainWindow() && IsWindowVisible(w) && !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
        KeelbrookDriver::ClassOf(w) != "tooltips_class32")
      shown.push_back(w);
  return shown;
}

using e2e::WaitForInputDialog;
using e2e::WaitForShownWindow;

// Memory inside the program, for the tab-strip messages that carry a structure.
class RemoteRect {
 public:
  explicit RemoteRect(HANDLE process) : process_(process) {
    at_ = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!at_) throw e2e::DriverError("no memory in the program for a rectangle");
  }
  ~RemoteRect() { VirtualFreeEx(process_, at_, 0, MEM_RELEASE); }
  RemoteRect(const RemoteRect&) = delete;
  RemoteRect& operator=(const RemoteRect&) = delete;
  LPARAM Address() const { return reinterpret_cast<LPARAM>(at_); }
  void Write(const RECT& r) const { WriteProcessMemory(process_, at_, &r, sizeof r, nullptr); }
  RECT Read() const {
    RECT r = {};
    ReadProcessMemory(process_, at_, &r, sizeof r, nullptr);
    return r;
  }

 private:
  HANDLE process_;
  void* at_;
};

// ---------------------------------------------------------------------------------------------
// The keyboard: real key presses (SendInput) to the program's foreground window, modifiers held.

void PressChord(KeelbrookDriver& kb, const std::vector<WORD>& modifiers, WORD vk) {
  kb.Sync();
  HWND target = kb.MainWindow();
  if (GetForegroundWindow() != target) SetForegroundWindow(target);
  if (!e2e::WaitUntil([&] { return GetForegroundWindow() == target; }, 2000))
    throw e2e::DriverError("the main window could not be brought to the foreground");
  std::vector<INPUT> keys;
  auto key = [&](WORD v, bool down) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = v;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(v, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    keys.push_back(in);
  };
  for (WORD m : modifiers) key(m, true);
  key(vk, true);
  key(vk, false);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) key(*m, false);
  if (SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) != keys.size())
    throw e2e::DriverError("SendInput refused the keys");
}

std::string KeyName(const std::vector<WORD>& modifiers, WORD vk) {
  std::string name;
  for (WORD m : modifiers) name += m == VK_CONTROL ? "Ctrl+" : m == VK_SHIFT ? "Shift+" : "Alt+";
  switch (vk) {
    case VK_TAB: return name + "Tab";
    case VK_NEXT: return name + "PgDn";
    case VK_PRIOR: return name + "PgUp";
    default: return name + static_cast<char>(vk);
  }
}

// Waits until the focus is on `id` (0: on no control of the pages, but on the tab strip).
bool FocusArrives(const KeelbrookDriver& kb, int id) {
  return e2e::WaitUntil([&] { return kb.FocusedId() == id; }, 2000);
}

// ---------------------------------------------------------------------------------------------
// Wine's DPI setting for the programs started while it lives; undone at the end.

class DpiSetting {
 public:
  explicit DpiSetting(int dpi) {
    if (dpi != 96) registry_.SetDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", static_cast<DWORD>(dpi));
    else registry_.DeleteValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
  }

 private:
  e2e::RegistryFixture registry_;
};

// The program's font, made here the same way, to measure its captions.
class ProgramFont {
 public:
  explicit ProgramFont(int dpi) {
    dc_ = CreateCompatibleDC(nullptr);
    font_ = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                        "MS Sans Serif");
    old_ = SelectObject(dc_, font_);
    GetTextMetricsA(dc_, &metrics_);
  }
  ~ProgramFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
    DeleteDC(dc_);
  }
  ProgramFont(const ProgramFont&) = delete;
  ProgramFont& operator=(const ProgramFont&) = delete;

  int LineHeight() const { return metrics_.tmHeight; }
  // The size the text takes on one line ("&" marks a mnemonic and takes no room).
  SIZE Line(const std::string& text) const {
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return {r.right - r.left, r.bottom - r.top};
  }
  // The height the text takes wrapped into `width`.
  int Wrapped(const std::string& text, int width) const {
    RECT r = {0, 0, width, 0};
    DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    return r.bottom - r.top;
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
  TEXTMETRICA metrics_ = {};
};

// What does not fit among the labels, buttons and edit fields under `parent`, one line each.
std::vector<std::string> CaptionsThatDoNotFit(HWND parent, const ProgramFont& font, int dpi) {
  std::vector<std::string> faults;
  for (HWND c : ChildrenOf(parent)) {
    if (!IsWindowVisible(c)) continue;
    const std::string cls = KeelbrookDriver::ClassOf(c), text = KeelbrookDriver::WindowText(c);
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    RECT client;
    GetClientRect(c, &client);
    const int w = client.right, h = client.bottom;
    const std::string who = "control " + std::to_string(GetDlgCtrlID(c)) + " " + e2e::Quote(text);
    if (cls == "Static" && !text.empty()) {
      const LONG type = style & SS_TYPEMASK;
      if (type == SS_LEFTNOWORDWRAP || type == SS_LEFT || type == SS_SIMPLE) {
        const SIZE line = font.Line(text);
        if (type == SS_LEFT && line.cx > w) {
          const int needed = font.Wrapped(text, w);
          if (needed > h) faults.push_back(who + Format(": wraps to %ld px in a label %ld px high", needed, h));
        } else if (line.cx > w || line.cy > h) {
          faults.push_back(who + Format(": needs %ld x %ld px, the label is %ld x %ld", line.cx, line.cy, w, h));
        }
      }
    } else if (cls == "Button" && !text.empty()) {
      // Every button of the program has a 16-pixel picture left of its caption, 2 pixels apart,
      // both inside the button's 3-pixel edges.
      const SIZE line = font.Line(text);
      const int needed = line.cx + Scaled(16, dpi) + Scaled(2, dpi) + 2 * Scaled(3, dpi);
      if (needed > w || line.cy + 2 * Scaled(3, dpi) > h)
        faults.push_back(who + Format(": needs %ld x %ld px, the button is %ld x %ld", needed,
                                      line.cy + 2 * Scaled(3, dpi), w, h));
    } else if (cls == "Edit" && !(style & ES_MULTILINE)) {
      if (font.LineHeight() > h)
        faults.push_back(who + Format(": a line is %ld px high, the field shows %ld", font.LineHeight(), h));
    }
  }
  return faults;
}

// Every shown child of `parent` lies within its client area.
std::vector<std::string> ControlsOutside(HWND parent) {
  std::vector<std::string> faults;
  RECT area;
  GetClientRect(parent, &area);
  for (HWND c : ChildrenOf(parent)) {
    if (!IsWindowVisible(c)) continue;
    const RECT r = RectIn(parent, c);
    if (!Inside(r, area))
      faults.push_back("control " + std::to_string(GetDlgCtrlID(c)) + " at " + Describe(r) + " is outside " +
                       Describe(area));
  }
  return faults;
}

// A folder of Send To entries made for the test; what the test made goes again at the end.
class SendToEntries {
 public:
  SendToEntries(const std::string& folder, const std::vector<std::string>& names) : folder_(folder) {
    std::string sofar;
    for (size_t pos = folder.find('\\', 3); ; pos = folder.find('\\', pos + 1)) {
      sofar = folder.substr(0, pos);
      if (GetFileAttributesA(sofar.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryA(sofar.c_str(), nullptr)) throw e2e::DriverError("cannot create " + sofar);
        made_.push_back(sofar);
      }
      if (pos == std::string::npos) break;
    }
    for (const std::string& name : names) {
      const std::string file = folder + "\\" + name;
      if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) continue;  // not ours
      std::ofstream(file, std::ios::binary) << "not a real shortcut\r\n";
      files_.push_back(file);
    }
  }
  ~SendToEntries() {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
  }
  SendToEntries(const SendToEntries&) = delete;
  SendToEntries& operator=(const SendToEntries&) = delete;

 private:
  std::string folder_;
  std::vector<std::string> made_, files_;
};

// Under "win98" the program lists the Send To folder inside the Windows directory.
std::string Win98SendTo() { return e2e::WindowsDir() + "\\SendTo"; }

// ---------------------------------------------------------------------------------------------
// The layout at each DPI.

struct Placed {
  int page;
  RECT rect;  // in the page's client coordinates
  bool line;  // a separator line: the system draws it 2 pixels high at any DPI
};

// Every control of every page, by id, as the program shows it; pages and tab strip checked on
// the way: the six tabs in one row inside the strip, each page below the tabs and inside the
// strip, every control inside its page.
std::map<int, Placed> WalkPages(KeelbrookDriver& kb, int dpi, const std::string& screens) {
  std::map<int, Placed> placed;
  HWND tabs = kb.Control(IDC_MAIN_TABS);
  RECT strip;
  GetClientRect(tabs, &strip);
  EXPECT_EQ(1, kb.Send(tabs, TCM_GETROWCOUNT, 0, 0)) << "the six tabs stand in one row";
  RemoteRect remote(kb.Process());
  RECT lastTab = {};
  for (int i = 0; i < kPages; ++i) {
    EXPECT_TRUE(kb.Send(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), remote.Address())) << "tab " << i;
    const RECT r = remote.Read();
    EXPECT_TRUE(Inside(r, strip)) << "tab " << i << " at " << Describe(r) << " is outside the strip " << Describe(strip);
    if (i == kPages - 1) lastTab = r;
  }
  for (HWND c : ChildrenOf(tabs))
    EXPECT_FALSE(IsWindowVisible(c)) << "the tab strip shows a " << KeelbrookDriver::ClassOf(c)
                                     << ": the tabs do not fit";

  const ProgramFont font(dpi);
  for (int page = 0; page < kPages; ++page) {
    SCOPED_TRACE(std::string("page ") + kPageNames[page] + " at " + std::to_string(dpi) + " DPI");
    // Clicked, so the focus is on the strip: no blinking caret in the pictures.
    kb.ClickTab(page);
    HWND pageWindow = kb.Control(IDC_PAGE_SYSINFO + page);
    const RECT pageRect = RectIn(tabs, pageWindow);
    EXPECT_TRUE(Inside(pageRect, strip)) << "the page at " << Describe(pageRect) << " leaves the tab strip";
    EXPECT_GE(pageRect.top, lastTab.bottom) << "the page covers the tabs";
    for (const std::string& fault : ControlsOutside(pageWindow)) ADD_FAILURE() << fault;
    for (const std::string& fault : CaptionsThatDoNotFit(pageWindow, font, dpi)) ADD_FAILURE() << fault;
    for (HWND c : ChildrenOf(pageWindow)) {
      const bool line = KeelbrookDriver::ClassOf(c) == "Static" &&
                        (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ;
      placed[GetDlgCtrlID(c)] = Placed{page, RectIn(pageWindow, c), line};
    }
    if (!screens.empty()) kb.Screenshot(screens + "-" + kPageNames[page]);
  }
  return placed;
}

class LayoutAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAtDpi, ScalesInProportionWithNothingOutsideItsPageAndEveryCaptionReadable) {
  const int dpi = GetParam();
  // The same program at 96 DPI first: the reference every position and size is scaled from.
  std::map<int, Placed> reference;
  if (dpi != 96) {
    DpiSetting normal(96);
    KeelbrookDriver kb;
    kb.SetWindowsVersion("winxp");
    kb.Start();
    reference = WalkPages(kb, 96, "");
    kb.Kill();
  }

  DpiSetting setting(dpi);
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  const SIZE client = kb.ClientSize();
  if (dpi == 96) {
    EXPECT_EQ(314, client.cx);
    EXPECT_EQ(323, client.cy);
  } else {
    EXPECT_NEAR(Scaled(314, dpi), client.cx, 1) << "client width at " << dpi << " DPI";
    EXPECT_NEAR(Scaled(323, dpi), client.cy, 1) << "client height at " << dpi << " DPI";
  }
  RECT window;
  GetWindowRect(kb.MainWindow(), &window);
  EXPECT_GE(window.left, 0) << "the window is on the screen";
  EXPECT_GE(window.top, 0) << "the window is on the screen";

  const std::map<int, Placed> placed = WalkPages(kb, dpi, "dpi-" + std::to_string(dpi));
  EXPECT_TRUE(kb.NoMessageBoxFor(0));
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());

  for (const auto& ref : reference) {
    const int id = ref.first;
    const auto it = placed.find(id);
    if (it == placed.end()) {
      ADD_FAILURE() << "control " << id << " is missing at " << dpi << " DPI";
      continue;
    }
    const RECT& was = ref.second.rect;
    const RECT& is = it->second.rect;
    // The pages are where the tab strip puts them (its row follows the font, its edges stay
    // thin); what is on a page scales, to a pixel of rounding (a separator line, which the
    // system widens by its own 2 pixels, to two).
    const int slack = ref.second.line ? 2 : 1;
    const LONG want[4] = {Scaled(was.left, dpi), Scaled(was.top, dpi), Scaled(was.right - was.left, dpi),
                          Scaled(was.bottom - was.top, dpi)};
    const LONG got[4] = {is.left, is.top, is.right - is.left, is.bottom - is.top};
    const char* const what[4] = {"left", "top", "width", "height"};
    for (int k = 0; k < (ref.second.line ? 3 : 4); ++k)
      EXPECT_NEAR(want[k], got[k], slack) << what[k] << " of control " << id << ": " << Describe(was) << " at 96 DPI, "
                                          << Describe(is) << " at " << dpi;
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutAtDpi, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// The input dialog, opened by "&Edit..." on "Send to", at each DPI.
class InputDialogAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(InputDialogAtDpi, KeepsItsProportionsWithNothingCut) {
  const int dpi = GetParam();
  DpiSetting setting(dpi);
  SendToEntries entries(Win98SendTo(), {"Notepad.lnk"});
  KeelbrookDriver kb;
  kb.SetWindowsVersion("win98");
  kb.Start();
  kb.SwitchTab(kSendTo);
  ASSERT_GE(kb.ListCount(IDC_SENDTO_LIST), 1);
  kb.SelectListItem(IDC_SENDTO_LIST, 0);
  kb.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(kb);

  RECT client;
  GetClientRect(dialog, &client);
  if (dpi == 96) {
    EXPECT_EQ(350, client.right);
    EXPECT_EQ(124, client.bottom);
  } else {
    EXPECT_NEAR(Scaled(350, dpi), client.right, 1) << "client width";
    EXPECT_NEAR(Scaled(124, dpi), client.bottom, 1) << "client height";
  }
  for (const std::string& fault : ControlsOutside(dialog)) ADD_FAILURE() << fault;
  const ProgramFont font(dpi);
  std::vector<std::string> faults = CaptionsThatDoNotFit(dialog, font, dpi);
  // The prompt may be cut by design (a long one is); this one is short and must show whole.
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
  const RECT edit = RectIn(dialog, GetDlgItem(dialog, IDC_INPUT_EDIT));
  const RECT prompt = RectIn(dialog, GetDlgItem(dialog, IDC_INPUT_MESSAGE));
  const RECT ok = RectIn(dialog, GetDlgItem(dialog, IDOK));
  EXPECT_LE(prompt.bottom, edit.top) << "the prompt stands above the field";
  EXPECT_LE(edit.bottom, ok.top) << "the buttons stand below the field";
  EXPECT_EQ("", e2e::ShootWindows(kb, {dialog}, "dpi-" + std::to_string(dpi) + "-inputdialog"));

  kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(Dpi, InputDialogAtDpi, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// A picture is sharp only when its icon holds an image of exactly the size it is shown at; any
// other size is stretched by the system. Button pictures are 16 pixels at 96 DPI, the pages'
// pictures 32, the window icon both (title bar and "About...").
TEST(Dpi, EveryIconHoldsAnImageForEachSizeItIsShownAt) {
  const std::string exe = e2e::Env("KB_EXE");
  ASSERT_FALSE(exe.empty()) << "KB_EXE names keelbrook.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module) << "cannot read the resources of " << exe;
  const struct {
    int id;
    std::vector<int> sizes;  // at 96 DPI
  } shown[] = {
      {IDI_KEELBROOK, {16, 32}}, {IDB_SET, {16}},        {IDB_EXIT, {16}},          {IDB_CLEARRUN, {16}},
      {IDB_CLEARDOCS, {16}},     {IDB_CANCEL, {16}},     {IDB_UNINSTALL, {16}},     {IDB_SYNC, {16}},
      {IDB_ADD, {16}},           {IDB_EDIT, {16}},       {IDB_NO, {16}},            {IDB_WINALIGN, {16}},
      {IDB_SCANDISK, {16}},      {IDB_DEFRAG, {16}},     {IDB_OK, {16}},            {IDB_CLOSE, {16}},
      {IDB_UNINSTALL_DECOR, {32}}, {IDI_OPT_WINALIGN, {32}}, {IDI_OPT_SCANDISK, {32}}, {IDI_OPT_DEFRAG, {32}},
      {IDI_WINFLAG, {32}},       {IDI_PLUS, {32}},       {IDI_IE, {32}},            {IDI_DIRECTX, {32}},
      {IDI_MAIL, {32}},          {IDI_WEB, {32}},        {IDI_NORMAL, {32}},        {IDI_SMILE, {32}},
  };
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  for (const auto& icon : shown) {
    // The program's icon is an icon group; the pictures only it shows are icon files of its own type.
    const bool own = icon.id != IDI_KEELBROOK;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(icon.id), own ? kPictureType : MAKEINTRESOURCEA(14));
    if (!found) {
      ADD_FAILURE() << "no icon " << icon.id;
      continue;
    }
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    std::vector<uint8_t> directory(bytes, bytes + SizeofResource(module, found));
    if (own) directory = IconGroupDirectory(directory);
    const BYTE* data = directory.data();
    const WORD count = directory.size() >= 6 ? *reinterpret_cast<const WORD*>(data + 4) : 0;
    std::set<int> has;
    for (WORD i = 0; i < count; ++i) {
      const auto* e = reinterpret_cast<const GroupEntry*>(data + 6 + i * sizeof(GroupEntry));
      has.insert(e->width ? e->width : 256);
    }
    for (int base : icon.sizes)
      for (int dpi : {96, 120, 144, 192})
        EXPECT_TRUE(has.count(Scaled(base, dpi))) << "icon " << icon.id << " has no " << Scaled(base, dpi)
                                                  << "-pixel image for " << dpi << " DPI";
  }
  FreeLibrary(module);
}

// ---------------------------------------------------------------------------------------------
// Page keys: Ctrl+Tab and Ctrl+Page Down forward, Ctrl+Shift+Tab and Ctrl+Page Up back, round
// the six pages. A focus on a page goes to the first control of the next page ("OS Info" has
// none: the tab strip holds it until the next page).

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    kb.SetWindowsVersion("winxp");
    kb.Start();
  }
  KeelbrookDriver kb;
};

TEST_F(Keys, PageKeysGoRoundThePagesAndTakeTheFocusAlong) {
  const struct {
    std::vector<WORD> modifiers;
    WORD key;
    int page;
    int focus;  // the control that then has the focus
  } steps[] = {
      {{VK_CONTROL}, VK_TAB, kUninstall, IDC_UNINSTALL_LIST},
      {{VK_CONTROL}, VK_NEXT, kSendTo, IDC_SENDTO_LIST},
      {{VK_CONTROL}, VK_TAB, kOptimise, IDC_OPTIMISE_MEMO},
      {{VK_CONTROL}, VK_NEXT, kOsInfo, IDC_MAIN_TABS},
      {{VK_CONTROL}, VK_TAB, kAbout, IDC_ABOUT_CLOSE},
      {{VK_CONTROL}, VK_TAB, kSysInfo, IDC_SYSINFO_COMPUTERNAME},
      {{VK_CONTROL, VK_SHIFT}, VK_TAB, kAbout, IDC_ABOUT_CLOSE},
      {{VK_CONTROL}, VK_PRIOR, kOsInfo, IDC_MAIN_TABS},
      {{VK_CONTROL, VK_SHIFT}, VK_TAB, kOptimise, IDC_OPTIMISE_MEMO},
      {{VK_CONTROL}, VK_PRIOR, kSendTo, IDC_SENDTO_LIST},
      {{VK_CONTROL}, VK_NEXT, kOptimise, IDC_OPTIMISE_MEMO},
  };
  ASSERT_TRUE(FocusArrives(kb, IDC_SYSINFO_COMPUTERNAME)) << "the first field has the focus at the start";
  for (const auto& step : steps) {
    SCOPED_TRACE(KeyName(step.modifiers, step.key));
    PressChord(kb, step.modifiers, step.key);
    EXPECT_TRUE(e2e::WaitUntil([&] { return kb.CurrentTab() == step.page; }, 2000))
        << "expected page " << step.page << ", the strip shows " << kb.CurrentTab();
    EXPECT_TRUE(kb.IsVisible(IDC_PAGE_SYSINFO + step.page));
    EXPECT_TRUE(FocusArrives(kb, step.focus)) << "expected the focus on " << step.focus << ", it is on "
                                              << kb.FocusedId();
  }
  EXPECT_TRUE(kb.NoMessageBoxFor(0));
}

// The strip itself keeps the focus while the keys turn the pages, as a click on it left it.
TEST_F(Keys, AFocusOnTheTabStripStaysThere) {
  kb.ClickTab(kUninstall);
  ASSERT_TRUE(FocusArrives(kb, IDC_MAIN_TABS));
  PressChord(kb, {VK_CONTROL}, VK_TAB);
  EXPECT_TRUE(e2e::WaitUntil([&] { return kb.CurrentTab() == kSendTo; }, 2000));
  PressChord(kb, {VK_CONTROL}, VK_PRIOR);
  EXPECT_TRUE(e2e::WaitUntil([&] { return kb.CurrentTab() == kUninstall; }, 2000));
  EXPECT_TRUE(FocusArrives(kb, IDC_MAIN_TABS)) << "the focus moved to " << kb.FocusedId();
  PressChord(kb, {VK_CONTROL}, VK_TAB);
  ASSERT_TRUE(e2e::WaitUntil([&] { return kb.CurrentTab() == kSendTo; }, 2000));
  kb.ClickTab(kOptimise);  // after the keys a click on a third tab still turns the page
}

// A page switched with the mouse or a program leaves no focus behind on the hidden page.
TEST_F(Keys, NoFocusStaysOnAHiddenPage) {
  kb.Focus(IDC_SYSINFO_MEMO);
  kb.SwitchTab(kSendTo);
  EXPECT_TRUE(FocusArrives(kb, IDC_SENDTO_LIST)) << "the focus is on " << kb.FocusedId();
  kb.SwitchTab(kOsInfo);
  EXPECT_TRUE(FocusArrives(kb, IDC_MAIN_TABS)) << "the focus is on " << kb.FocusedId();
}

// Tab and Shift+Tab through each page: its controls in reading order (on "Send to": the list,
// "&Add...", "&Remove", "&Edit...", the help text), then the tab strip, then round again. A
// help text does not keep the Tab key for itself.
struct TabOrder {
  Page page;
  std::vector<int> ids;
};

class TabOrderOf : public ::testing::TestWithParam<TabOrder> {};

TEST_P(TabOrderOf, TabAndShiftTabGoRoundThePage) {
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  kb.ClickTab(GetParam().page);
  std::vector<int> round = GetParam().ids;
  round.push_back(IDC_MAIN_TABS);
  ASSERT_TRUE(FocusArrives(kb, IDC_MAIN_TABS));
  for (size_t i = 0; i < round.size(); ++i) {
    const int expected = round[i];
    PressChord(kb, {}, VK_TAB);
    const bool moved = FocusArrives(kb, expected);
    EXPECT_TRUE(moved) << "Tab " << i + 1 << ": expected the focus on " << expected << ", it is on " << kb.FocusedId();
    if (!moved) return;
  }
  for (size_t i = round.size() - 1; i-- > 0;) {
    PressChord(kb, {VK_SHIFT}, VK_TAB);
    const bool moved = FocusArrives(kb, round[i]);
    EXPECT_TRUE(moved) << "Shift+Tab: expected the focus on " << round[i] << ", it is on " << kb.FocusedId();
    if (!moved) return;
  }
  EXPECT_TRUE(kb.NoMessageBoxFor(0));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TabOrderOf,
    ::testing::Values(
        TabOrder{kSysInfo,
                 {IDC_SYSINFO_COMPUTERNAME, IDC_SYSINFO_USERNAME, IDC_SYSINFO_COMPANY, IDC_SYSINFO_WININSTPATH,
                  IDC_SYSINFO_PROGRAMFILES, IDC_SYSINFO_WALLPAPER, IDC_SYSINFO_DEVICEPATH, IDC_SYSINFO_COMMONFILES,
                  IDC_SYSINFO_BOOTFROM, IDC_SYSINFO_SET, IDC_SYSINFO_EXIT, IDC_SYSINFO_MEMO}},
        TabOrder{kUninstall,
                 {IDC_UNINSTALL_LIST, IDC_UNINSTALL_UNINSTALL, IDC_UNINSTALL_SYNC, IDC_UNINSTALL_DELETE,
                  IDC_UNINSTALL_CLEARRUN, IDC_UNINSTALL_CLEARDOCS, IDC_UNINSTALL_MEMO}},
        TabOrder{kSendTo, {IDC_SENDTO_LIST, IDC_SENDTO_ADD, IDC_SENDTO_REMOVE, IDC_SENDTO_EDIT, IDC_SENDTO_MEMO}},
        TabOrder{kOptimise, {IDC_OPTIMISE_MEMO, IDC_OPTIMISE_WINALIGN, IDC_OPTIMISE_SCANDISK, IDC_OPTIMISE_DEFRAG}},
        TabOrder{kOsInfo, {}}, TabOrder{kAbout, {IDC_ABOUT_CLOSE}}),
    [](const ::testing::TestParamInfo<TabOrder>& info) { return std::string(kPageNames[info.param.page]); });

// Screen readers name a field by the label right before it among its page's windows.
TEST_F(Keys, EachFieldFollowsItsLabel) {
  const struct {
    int label, field;
  } pairs[] = {
      {IDC_SYSINFO_LABEL_FIRST + 0, IDC_SYSINFO_COMPUTERNAME}, {IDC_SYSINFO_LABEL_FIRST + 1, IDC_SYSINFO_USERNAME},
      {IDC_SYSINFO_LABEL_FIRST + 2, IDC_SYSINFO_COMPANY},      {IDC_SYSINFO_LABEL_FIRST + 3, IDC_SYSINFO_WININSTPATH},
      {IDC_SYSINFO_LABEL_FIRST + 4, IDC_SYSINFO_PROGRAMFILES}, {IDC_SYSINFO_LABEL_FIRST + 5, IDC_SYSINFO_WALLPAPER},
      {IDC_SYSINFO_LABEL_FIRST + 6, IDC_SYSINFO_DEVICEPATH},   {IDC_SYSINFO_LABEL_FIRST + 7, IDC_SYSINFO_COMMONFILES},
      {IDC_SYSINFO_LABEL_FIRST + 8, IDC_SYSINFO_BOOTFROM},     {IDC_UNINSTALL_LABEL, IDC_UNINSTALL_LIST},
      {IDC_SENDTO_LABEL, IDC_SENDTO_LIST},
  };
  for (const auto& p : pairs) {
    HWND before = GetWindow(kb.Control(p.field), GW_HWNDPREV);
    EXPECT_EQ(p.label, before ? GetDlgCtrlID(before) : 0) << "the window before field " << p.field;
    const RECT label = kb.ScreenRect(p.label), field = kb.ScreenRect(p.field);
    EXPECT_LE(label.bottom, field.top) << "label " << p.label << " stands above its field";
  }
}

// Escape and Enter in a help text are the page's keys: Escape must not close anything (the
// system's multi-line edit asks its parent to close), Enter on "Sys Info" presses "&Exit".
TEST_F(Keys, EscapeAndEnterInAHelpTextAreThePagesKeys) {
  kb.Focus(IDC_SYSINFO_MEMO);
  PressChord(kb, {}, VK_ESCAPE);
  EXPECT_TRUE(kb.NoMessageBoxFor(500));
  ASSERT_TRUE(kb.Find(IDC_PAGE_SYSINFO) && IsWindow(kb.Find(IDC_PAGE_SYSINFO))) << "the page was closed";
  EXPECT_TRUE(kb.IsVisible(IDC_PAGE_SYSINFO));
  EXPECT_TRUE(kb.IsVisible(IDC_SYSINFO_MEMO));
  PressChord(kb, {}, VK_RETURN);
  EXPECT_EQ(0u, kb.WaitForExit());
}

// ---------------------------------------------------------------------------------------------
// Mnemonics: Alt and the underlined letter press that button of the page shown, and of no other.

struct Mnemonic {
  const char* name;
  Page page;
  char letter;
  // Made ready once the program runs (may be empty), and what the press is seen to do.
  std::function<void(KeelbrookDriver&, e2e::RegistryFixture&)> prepare;
  std::function<bool(KeelbrookDriver&)> pressed;
};

constexpr const char* kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr const char* kProbeName = "Keelbrook mnemonic probe";
constexpr const char* kProbeKey = "KeelbrookMnemonicProbe";
constexpr const char* kLaterName = "Keelbrook mnemonic later";

bool Exits(KeelbrookDriver& kb) { return kb.WaitForExit() == 0; }

// A box with this caption and a text holding `part` comes; it is answered No (or OK).
bool ShowsBox(KeelbrookDriver& kb, const std::string& caption, const std::string& part) {
  const e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  const bool right = box.caption == caption && box.text.find(part) != std::string::npos;
  EXPECT_TRUE(right) << "got the " << box.Describe();
  for (const e2e::BoxButton& b : box.buttons)
    if (b.id == IDNO || b.id == IDOK) {
      kb.Answer(box, b.id);
      break;
    }
  return right;
}

bool ListShows(const KeelbrookDriver& kb, int id, const std::string& line) {
  const std::vector<std::string> items = kb.ListItems(id);
  return std::find(items.begin(), items.end(), line) != items.end();
}

class MnemonicOn : public ::testing::TestWithParam<Mnemonic> {};

TEST_P(MnemonicOn, PressesItsButton) {
  const Mnemonic& m = GetParam();
  e2e::RegistryFixture registry;
  const std::string probe = std::string(kUninstallKey) + "\\" + kProbeKey;
  registry.SetString(HKEY_LOCAL_MACHINE, probe, "DisplayName", kProbeName);
  registry.SetString(HKEY_LOCAL_MACHINE, probe, "UninstallString", "C:\\nowhere\\uninstall.exe");
  registry.Protect(HKEY_CURRENT_USER, kRunMruKey);
  SendToEntries entries(Win98SendTo(), {"Notepad.lnk"});
  KeelbrookDriver kb;
  kb.SetWindowsVersion("win98");
  kb.Start();
  kb.SwitchTab(m.page);
  if (m.page == kUninstall) {
    const std::vector<std::string> items = kb.ListItems(IDC_UNINSTALL_LIST);
    const auto at = std::find(items.begin(), items.end(), kProbeName);
    ASSERT_NE(items.end(), at);
    kb.SelectListItem(IDC_UNINSTALL_LIST, static_cast<int>(at - items.begin()));
    kb.Focus(IDC_UNINSTALL_LIST);
  }
  if (m.page == kSendTo) {
    ASSERT_GE(kb.ListCount(IDC_SENDTO_LIST), 1);
    kb.SelectListItem(IDC_SENDTO_LIST, 0);
    kb.Focus(IDC_SENDTO_LIST);
  }
  if (m.prepare) m.prepare(kb, registry);
  PressChord(kb, {VK_MENU}, static_cast<WORD>(m.letter));
  EXPECT_TRUE(m.pressed(kb)) << "Alt+" << m.letter;
  if (kb.Running()) {
    kb.CloseByTitleBar();
    EXPECT_EQ(0u, kb.WaitForExit());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MnemonicOn,
    ::testing::Values(
        Mnemonic{"SysInfoExit", kSysInfo, 'E', nullptr, Exits},
        Mnemonic{"UninstallUninstall", kUninstall, 'U', nullptr,
                 [](KeelbrookDriver& kb) { return ShowsBox(kb, "Keelbrook", "uninstall"); }},
        Mnemonic{"UninstallDeleteEntry", kUninstall, 'D', nullptr,
                 [](KeelbrookDriver& kb) { return ShowsBox(kb, "Keelbrook", "from the Registry"); }},
        // The list is read again: a registration made meanwhile appears.
        Mnemonic{"UninstallSyncList", kUninstall, 'S',
                 [](KeelbrookDriver&, e2e::RegistryFixture& registry) {
                   const std::string later = std::string(kUninstallKey) + "\\KeelbrookMnemonicLater";
                   registry.SetString(HKEY_LOCAL_MACHINE, later, "DisplayName", kLaterName);
                   registry.SetString(HKEY_LOCAL_MACHINE, later, "UninstallString", "C:\\nowhere\\later.exe");
                 },
                 [](KeelbrookDriver& kb) {
                   return e2e::WaitUntil([&] { return ListShows(kb, IDC_UNINSTALL_LIST, kLaterName); }, 3000);
                 }},
        Mnemonic{"UninstallClearRunList", kUninstall, 'R',
                 [](KeelbrookDriver&, e2e::RegistryFixture& registry) {
                   registry.SetString(HKEY_CURRENT_USER, kRunMruKey, "a", "notepad\\1");
                 },
                 [](KeelbrookDriver&) {
                   return e2e::WaitUntil([] { return !e2e::ValueExists(HKEY_CURRENT_USER, kRunMruKey, "a"); }, 3000);
                 }},
        Mnemonic{"SendToAdd", kSendTo, 'A', nullptr,
                 [](KeelbrookDriver& kb) {
                   HWND dialog = WaitForShownWindow(kb, "Select a file...");
                   kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                   return e2e::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000);
                 }},
        Mnemonic{"SendToRemove", kSendTo, 'R', nullptr,
                 [](KeelbrookDriver& kb) { return ShowsBox(kb, "Confirm", "Notepad"); }},
        Mnemonic{"SendToEdit", kSendTo, 'E', nullptr,
                 [](KeelbrookDriver& kb) {
                   HWND dialog = WaitForInputDialog(kb);
                   kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                   return e2e::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000);
                 }},
        Mnemonic{"OptimiseWinAlign", kOptimise, 'W', nullptr,
                 [](KeelbrookDriver& kb) { return ShowsBox(kb, "Keelbrook", "Windows 98"); }},
        Mnemonic{"OptimiseScanDisk", kOptimise, 'S', nullptr,
                 [](KeelbrookDriver& kb) { return ShowsBox(kb, "Keelbrook", "not found"); }},
        Mnemonic{"AboutClose", kAbout, 'C', nullptr, Exits}),
    [](const ::testing::TestParamInfo<Mnemonic>& info) { return std::string(info.param.name); });

// The letters of the other pages' buttons do nothing on a page that does not have them.
TEST(MnemonicsOfOtherPages, DoNothing) {
  e2e::RegistryFixture registry;
  registry.Protect(HKEY_CURRENT_USER, kRunMruKey);
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  const struct {
    Page page;
    const char* letters;  // none of them is a mnemonic of this page
  } cases[] = {
      {kSysInfo, "UDRAWC"},
      {kOsInfo, "SEUDRAWC"},
      {kAbout, "SEUDRAW"},
  };
  for (const auto& c : cases) {
    kb.SwitchTab(c.page);
    for (const char* l = c.letters; *l; ++l) {
      SCOPED_TRACE(std::string("Alt+") + *l + " on " + kPageNames[c.page]);
      PressChord(kb, {VK_MENU}, static_cast<WORD>(*l));
      kb.Sync();
      ASSERT_TRUE(kb.NoMessageBoxFor(300));
      ASSERT_TRUE(OtherShownWindows(kb).empty()) << "a window opened: "
                                                 << KeelbrookDriver::WindowText(OtherShownWindows(kb).front());
      EXPECT_EQ(c.page, kb.CurrentTab());
    }
  }
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit());
}

// ---------------------------------------------------------------------------------------------
// The pictures of docs/screenshots: every page with something in it, the input dialog and the
// "Save ?" question, at 96 DPI under the Windows XP the program knows best; then every page as
// Windows 98 shows it.

// Every page, with Notepad selected on "Send to", as <prefix><page>.bmp. Each page shows the tab
// strip's body round it without a seam (its texture with a visual style), in `face` when given.
void ShootPages(KeelbrookDriver& kb, const std::string& prefix, uint32_t face = 0) {
  for (int page = 0; page < kPages; ++page) {
    kb.ClickTab(page);
    const RECT r = kb.ScreenRect(IDC_PAGE_SYSINFO + page);
    const uint32_t inside = e2e::ScreenPixels({r.left + 1, r.top + 1, r.left + 2, r.top + 2}).at(0);
    EXPECT_EQ(e2e::ScreenPixels({r.left - 1, r.top + 1, r.left, r.top + 2}).at(0), inside) << kPageNames[page];
    EXPECT_TRUE(!face || face == inside) << kPageNames[page] << ": 0x" << std::hex << inside;
    if (page == kSendTo) {
      const std::vector<std::string> items = kb.ListItems(IDC_SENDTO_LIST);
      const auto notepad = std::find(items.begin(), items.end(), "Notepad");
      ASSERT_NE(items.end(), notepad) << "the Send To list shows no Notepad";
      kb.SelectListItem(IDC_SENDTO_LIST, static_cast<int>(notepad - items.begin()));
    }
    EXPECT_EQ("", e2e::ShootWindows(kb, {kb.MainWindow()}, prefix + kPageNames[page]));
  }
}

TEST(Screenshots, EveryPageTheInputDialogAndTheSaveQuestion) {
  e2e::RegistryFixture registry;
  for (const char* key : {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"}) {
    registry.SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", "Ann Keel");
    registry.SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", "Keelbrook Boatyard");
  }
  const struct {
    const char* key;
    const char* name;
  } programs[] = {
      {"KbShotAcmePaint", "Acme Paint 2.1"},
      {"KbShotBrooksideMail", "Brookside Mail 5.0"},
      {"KbShotHarbourPatience", "Harbour Patience"},
      {"KbShotTidyZip", "Tidy Zip 9.20"},
  };
  for (const auto& p : programs) {
    const std::string key = std::string(kUninstallKey) + "\\" + p.key;
    registry.SetString(HKEY_LOCAL_MACHINE, key, "DisplayName", p.name);
    registry.SetString(HKEY_LOCAL_MACHINE, key, "UninstallString", "C:\\nowhere\\uninstall.exe");
  }
  const std::vector<std::string> shortcuts = {"Desktop (create shortcut).lnk", "Floppy Disk (A).lnk",
                                              "Mail Recipient.lnk", "My Documents.lnk", "Notepad.lnk"};
  SendToEntries entries(e2e::XpSendToFolder(), shortcuts), entries98(Win98SendTo(), shortcuts);
  DpiSetting normal(96);
  KeelbrookDriver kb;
  kb.SetWindowsVersion("winxp");
  kb.Start();
  ShootPages(kb, "page-");

  kb.SwitchTab(kSendTo);
  kb.Click(IDC_SENDTO_EDIT);
  HWND dialog = WaitForInputDialog(kb);
  // The field takes the focus anew just before the picture, so its caret is on, not half way
  // through a blink.
  kb.Post(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
  kb.Post(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_INPUT_EDIT)), TRUE);
  EXPECT_EQ("", e2e::ShootWindows(kb, {kb.MainWindow(), dialog}, "input-dialog"));
  kb.Post(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));

  kb.SwitchTab(kSysInfo);
  kb.SetText(IDC_SYSINFO_COMPANY, "Keelbrook Boatyard Ltd");
  kb.Click(IDC_SYSINFO_EXIT);
  const e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ("Save ?", box.caption);
  EXPECT_EQ("", e2e::ShootWindows(kb, {kb.MainWindow(), box.hwnd}, "save-question"));
  kb.Answer(box, IDNO);
  EXPECT_EQ(0u, kb.WaitForExit());

  // Windows 98 with its "Windows Standard" colours and no visual style: the common controls
  // before 6 (the program draws its buttons), every picture on the grey of that button face.
  const char* const kStandard[][2] = {
      {"ActiveBorder", "192 192 192"},   {"ActiveTitle", "0 0 128"},         {"AppWorkSpace", "128 128 128"},
      {"Background", "0 128 128"},       {"ButtonDkShadow", "0 0 0"},        {"ButtonFace", "192 192 192"},
      {"ButtonHilight", "255 255 255"},  {"ButtonLight", "192 192 192"},     {"ButtonShadow", "128 128 128"},
      {"ButtonText", "0 0 0"},           {"GradientActiveTitle", "16 132 208"}, {"GradientInactiveTitle", "181 181 181"},
      {"GrayText", "128 128 128"},       {"Hilight", "0 0 128"},             {"HilightText", "255 255 255"},
      {"InactiveBorder", "192 192 192"}, {"InactiveTitle", "128 128 128"},   {"InactiveTitleText", "192 192 192"},
      {"InfoText", "0 0 0"},             {"InfoWindow", "255 255 225"},      {"Menu", "192 192 192"},
      {"MenuText", "0 0 0"},             {"Scrollbar", "192 192 192"},       {"TitleText", "255 255 255"},
      {"Window", "255 255 255"},         {"WindowFrame", "0 0 0"},           {"WindowText", "0 0 0"},
  };
  for (const auto& c : kStandard) registry.SetString(HKEY_CURRENT_USER, "Control Panel\\Colors", c[0], c[1]);
  registry.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", "ThemeActive", "0");
  e2e::CopyWithoutManifest copy;
  KeelbrookDriver old(copy.Path());
  old.SetWindowsVersion("win98");
  old.Start();
  ShootPages(old, "win98-", 0xC0C0C0);
  old.PostClose();
  EXPECT_EQ(0u, old.WaitForExit());
}

}  // namespace
