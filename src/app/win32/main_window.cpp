#include "app/win32/main_window.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "app/error_report.h"
#include "app/win32/page_layout.h"
#include "app/win32/resource.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/win32_system_api.h"

namespace {

constexpr const char* kMainClass = "TfrmMain";
constexpr const char* kPageClass = "KeelbrookPage";
constexpr const char* kProcProperty = "Keelbrook.Proc";
constexpr const char* kDoubleClickProperty = "Keelbrook.DoubleClick";
// A picture or label tells the main window about a pointer event: wParam is the control id,
// lParam the event.
constexpr UINT WM_APP_POINTER = WM_APP + 1;
enum PointerEvent { kPointerDown = 0, kPointerUp = 1, kPointerClick = 2 };

constexpr int kClientWidth = 314;
constexpr int kClientHeight = 323;
constexpr int kTabsHeight = 322;
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct ButtonRoute {
  int id;
  void (TfrmMain::*handler)();
};

const ButtonRoute kButtons[] = {
    {IDC_SYSINFO_SET, &TfrmMain::btnSetClick},
    {IDC_SYSINFO_EXIT, &TfrmMain::btnSystemExitClick},
    {IDC_UNINSTALL_CLEARRUN, &TfrmMain::btnClearRunListClick},
    {IDC_UNINSTALL_CLEARDOCS, &TfrmMain::btnDelDocListClick},
    {IDC_UNINSTALL_DELETE, &TfrmMain::btnRemoveEntryClick},
    {IDC_UNINSTALL_UNINSTALL, &TfrmMain::btnUninstallClick},
    {IDC_UNINSTALL_SYNC, &TfrmMain::bntSyncClick},
    {IDC_SENDTO_ADD, &TfrmMain::btnSendToAddClick},
    {IDC_SENDTO_EDIT, &TfrmMain::btnSendToEditClick},
    {IDC_SENDTO_REMOVE, &TfrmMain::btnSendToRemoveClick},
    {IDC_OPTIMISE_WINALIGN, &TfrmMain::btnRunWinAlignClick},
    {IDC_OPTIMISE_SCANDISK, &TfrmMain::btnRunScanDiskClick},
    {IDC_OPTIMISE_DEFRAG, &TfrmMain::btnRunDefragClick},
    {IDC_ABOUT_CLOSE, &TfrmMain::btnSystemExitClick},
};

struct PointerRoute {
  int id;
  PointerEvent event;
  void (TfrmMain::*handler)();
};

const PointerRoute kPointers[] = {
    {IDC_OSINFO_IMAGE1, kPointerDown, &TfrmMain::Image1MouseDown},
    {IDC_OSINFO_IMAGE1, kPointerUp, &TfrmMain::Image1MouseUp},
    {IDC_OSINFO_IMAGE2, kPointerDown, &TfrmMain::Image2MouseDown},
    {IDC_OSINFO_IMAGE2, kPointerUp, &TfrmMain::Image2MouseUp},
    {IDC_OSINFO_IMAGE3, kPointerDown, &TfrmMain::Image3MouseDown},
    {IDC_OSINFO_IMAGE3, kPointerUp, &TfrmMain::Image3MouseUp},
    {IDC_OSINFO_IMAGE4, kPointerDown, &TfrmMain::Image4MouseDown},
    {IDC_OSINFO_IMAGE4, kPointerUp, &TfrmMain::Image4MouseUp},
    {IDC_OSINFO_IE, kPointerUp, &TfrmMain::lblIEMouseUp},
    {IDC_OSINFO_DIRECTX, kPointerUp, &TfrmMain::lblDirectXMouseUp},
    {IDC_ABOUT_IMAGE8, kPointerDown, &TfrmMain::Image8MouseDown},
    {IDC_ABOUT_IMAGE8, kPointerUp, &TfrmMain::Image8MouseUp},
    {IDC_ABOUT_IMAGE9, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_LABEL14, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_LABEL15, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_IMAGE10, kPointerClick, &TfrmMain::Image10Click},
    {IDC_ABOUT_LABEL16, kPointerClick, &TfrmMain::Image10Click},
    {IDC_ABOUT_TWEETY, kPointerDown, &TfrmMain::imgTweetyMouseDown},
    {IDC_ABOUT_TWEETY, kPointerUp, &TfrmMain::imgTweetyMouseUp},
};

bool HasPointerRoute(int id) {
  for (const PointerRoute& r : kPointers) {
    if (r.id == id) return true;
  }
  return false;
}

// The names of the files in a drop, in the order the shell gives them. shell32 is loaded here,
// the first time something is dropped.
std::vector<std::string> DroppedFiles(HDROP drop) {
  using QueryFunction = UINT(WINAPI*)(HDROP, UINT, LPSTR, UINT);
  using FinishFunction = void(WINAPI*)(HDROP);
  static const auto query = SystemFunction<QueryFunction>("shell32.dll", "DragQueryFileA");
  static const auto finish = SystemFunction<FinishFunction>("shell32.dll", "DragFinish");
  std::vector<std::string> files;
  const UINT count = query ? query(drop, 0xFFFFFFFF, nullptr, 0) : 0;
  for (UINT i = 0; i < count; ++i) {
    std::vector<char> name(query(drop, i, nullptr, 0) + 1, '\0');
    const UINT got = query(drop, i, name.data(), static_cast<UINT>(name.size()));
    files.emplace_back(name.data(), got < name.size() ? got : name.size() - 1);
  }
  if (finish) finish(drop);
  return files;
}

MainWindow* FromHandle(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

// Where each pixel of a row (or column) `to` pixels long falls in one `from` pixels long, for
// the bilinear filter below: the two source pixels its centre lies between and the weight of the
// second, in 256ths. Integers only: a 486SX has no FPU, and the emulation Windows gives it would
// spend seconds on the start page's picture at 120 or 144 DPI.
struct Tap {
  int first, second, weight;
};
std::vector<Tap> Taps(int to, int from) {
  std::vector<Tap> taps(static_cast<size_t>(to));
  for (int i = 0; i < to; ++i) {
    // The centre of pixel i, (i + 0.5) * from / to - 0.5 source pixels, in 256ths.
    long long at = (2LL * i + 1) * from * 256 / (2LL * to) - 128;
    if (at < 0) at = 0;
    Tap& tap = taps[static_cast<size_t>(i)];
    tap.first = static_cast<int>(at >> 8);
    tap.weight = static_cast<int>(at & 255);
    if (tap.first >= from - 1) {
      tap.first = from - 1;
      tap.weight = 0;
    }
    tap.second = tap.weight ? tap.first + 1 : tap.first;
  }
  return taps;
}

// A bitmap resource is drawn once, for 96 DPI; at any other DPI it is resampled to the size of
// its control. A whole multiple is copied pixel for pixel, which keeps every edge sharp; other
// factors are filtered (bilinear), where a plain stretch would repeat some rows and columns
// and not others.
HBITMAP LoadScaledBitmap(HINSTANCE instance, int id, int width, int height) {
  HBITMAP source =
      static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!source) return nullptr;
  BITMAP shape = {};
  GetObjectA(source, sizeof shape, &shape);
  const int sw = shape.bmWidth, sh = shape.bmHeight;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 || (sw == width && sh == height)) return source;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = sw;
  info.bmiHeader.biHeight = -sh;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> from(static_cast<size_t>(sw) * static_cast<size_t>(sh));
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, source, 0, static_cast<UINT>(sh), from.data(), &info, DIB_RGB_COLORS);
  DeleteObject(source);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  void* bits = nullptr;
  HBITMAP scaled = rows == sh ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  ReleaseDC(nullptr, screen);
  if (!scaled || !bits) {
    if (scaled) DeleteObject(scaled);
    return nullptr;
  }

  auto* to = static_cast<uint32_t*>(bits);
  const bool whole = width % sw == 0 && height % sh == 0 && width / sw == height / sh;
  const std::vector<Tap> columns = whole ? std::vector<Tap>() : Taps(width, sw);
  const std::vector<Tap> lines = whole ? std::vector<Tap>() : Taps(height, sh);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t pixel;
      if (whole) {
        pixel = from[static_cast<size_t>(y * sh / height) * sw + static_cast<size_t>(x * sw / width)];
      } else {
        const Tap& col = columns[static_cast<size_t>(x)];
        const Tap& row = lines[static_cast<size_t>(y)];
        const uint32_t ax = static_cast<uint32_t>(col.weight), ay = static_cast<uint32_t>(row.weight);
        const size_t top_row = static_cast<size_t>(row.first) * sw, bottom_row = static_cast<size_t>(row.second) * sw;
        const uint32_t p00 = from[top_row + col.first], p01 = from[top_row + col.second];
        const uint32_t p10 = from[bottom_row + col.first], p11 = from[bottom_row + col.second];
        pixel = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          // At most 255 * 256 each, and 255 * 65536 plus the rounding below: well inside 32 bits.
          const uint32_t top = ((p00 >> shift) & 0xFF) * (256 - ax) + ((p01 >> shift) & 0xFF) * ax;
          const uint32_t bottom = ((p10 >> shift) & 0xFF) * (256 - ax) + ((p11 >> shift) & 0xFF) * ax;
          pixel |= ((top * (256 - ay) + bottom * ay + 32768) >> 16) << shift;
        }
      }
      to[static_cast<size_t>(y) * width + x] = pixel;
    }
  }
  GdiFlush();
  return scaled;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, RegistryApi& registry, Win32SystemApi& system,
                       LongLivedObjects& objects, TFormInputBox& inputBox)
    : instance_(instance), registry_(registry), system_(system), objects_(objects), inputBox_(inputBox) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  // The pictures only show these; they do not own them.
  for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
  if (font_) DeleteObject(font_);
  if (pageBrush_) DeleteObject(pageBrush_);
}

bool MainWindow::Create() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KEELBROOK), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KEELBROOK), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClass;
  RegisterClassExA(&wc);

  WNDCLASSEXA pc = {};
  pc.cbSize = sizeof pc;
  pc.lpfnWndProc = PageProc;
  pc.hInstance = instance_;
  pc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  pc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  pc.lpszClassName = kPageClass;
  RegisterClassExA(&pc);

  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  RECT frame = {0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, WS_EX_CONTROLPARENT);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  // In the middle of the screen, taskbar or not. A window larger than the screen (a high DPI on
  // a small display) keeps its title bar on the screen, where it can be grabbed.
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  if (x < 0) x = 0;
  if (y < 0) y = 0;

  hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kMainClass, kApplicationTitle, kMainStyle, x, y, width, height,
                          nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  system_.SetMainWindow(hwnd_);
  openDialog_.SetOwner(hwnd_);

  font_ = CreateFormFont(dpi_);
  pageBrush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  CreateControls();

  MainControls c;
  c.window = this;
  c.txtComputerName = texts_[IDC_SYSINFO_COMPUTERNAME].get();
  c.txtUserName = texts_[IDC_SYSINFO_USERNAME].get();
  c.txtCompanyName = texts_[IDC_SYSINFO_COMPANY].get();
  c.txtWinInstpath = texts_[IDC_SYSINFO_WININSTPATH].get();
  c.txtProgramFiles = texts_[IDC_SYSINFO_PROGRAMFILES].get();
  c.txtWallpaperDir = texts_[IDC_SYSINFO_WALLPAPER].get();
  c.txtDevicePath = texts_[IDC_SYSINFO_DEVICEPATH].get();
  c.txtCommonFilesPath = texts_[IDC_SYSINFO_COMMONFILES].get();
  c.txtBootFrom = texts_[IDC_SYSINFO_BOOTFROM].get();
  c.lstUnInstList = lists_[IDC_UNINSTALL_LIST].get();
  c.lstSendTo = lists_[IDC_SENDTO_LIST].get();
  c.OpenDlg = &openDialog_;
  c.lblOS = labels_[IDC_OSINFO_OS].get();
  c.lblBuild = labels_[IDC_OSINFO_BUILD].get();
  c.lblPlusVersion = labels_[IDC_OSINFO_PLUSVERSION].get();
  c.lblPlusProductID = labels_[IDC_OSINFO_PLUSPRODUCTID].get();
  c.lblProductID = labels_[IDC_OSINFO_PRODUCTID].get();
  c.lblProductKey = labels_[IDC_OSINFO_PRODUCTKEY].get();
  c.lblIE = labels_[IDC_OSINFO_IE].get();
  c.lblDirectX = labels_[IDC_OSINFO_DIRECTX].get();
  c.lblDirectXVersion = labels_[IDC_OSINFO_DIRECTXVER].get();
  c.Label11 = labels_[IDC_ABOUT_LABEL11].get();
  c.Label12 = labels_[IDC_ABOUT_LABEL12].get();
  c.Label13 = labels_[IDC_ABOUT_LABEL13].get();
  c.imgTweety = pictures_[IDC_ABOUT_TWEETY].get();
  c.imgSmile = pictures_[IDC_ABOUT_SMILE].get();
  c.imgNormal = pictures_[IDC_ABOUT_NORMAL].get();
  form_ = std::make_unique<TfrmMain>(registry_, system_, objects_, c, inputBox_);

  ShowPage(kPageSysInfo);
  // An error here is reported and the window is still shown with what was filled so far.
  Dispatch(&TfrmMain::FormCreate);
  return true;
}

void MainWindow::Show(int showCommand) {
  // The window has a fixed size: a shortcut set to start it maximised opens it as it is. Windows
  // may take the first showing's state from the starter's start-up record rather than from
  // here, so a window that came up maximised all the same is put back.
  ShowWindow(hwnd_, MainWindowShowState(showCommand));
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_MAXIMIZE) ShowWindow(hwnd_, SW_RESTORE);
  UpdateWindow(hwnd_);
  FocusActivePage();
}

void MainWindow::CreateControls() {
  tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                          Scale(kClientWidth), Scale(kTabsHeight), hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_TABS)), instance_, nullptr);
  SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // Narrow padding keeps the six tabs in one row. (The first common controls ignore the minimum
  // width; their tab strip then scrolls, which changes nothing else.)
  SendMessageA(tabs_, TCM_SETPADDING, 0, MAKELPARAM(Scale(3), Scale(3)));
  SendMessageA(tabs_, TCM_SETMINTABWIDTH, 0, Scale(8));
  for (int i = 0; i < kPageCount; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabCaptions[i]);
    SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetClientRect(tabs_, &area);
  SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i < kPageCount; ++i) {
    pages_[i] = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, kTabCaptions[i], WS_CHILD | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGE_SYSINFO + i)), instance_,
                                nullptr);
    SetWindowLongPtrA(pages_[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Above the notebook, which would otherwise paint its body over the page.
    SetWindowPos(pages_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                             nullptr);
  for (int i = 0; i < kControlCount; ++i) {
    HWND control = CreateControl(kControls[i]);
    if (control && kControls[i].hint) AddTooltip(control, kControls[i].hint);
  }
}

HWND MainWindow::CreateControl(const ControlSpec& spec) {
  const char* cls = "STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  bool square = spec.width == spec.height;
  switch (spec.kind) {
    case ControlKind::Label:
      style |= SS_NOTIFY | (spec.height > 20 ? SS_LEFT : SS_LEFTNOWORDWRAP);
      break;
    case ControlKind::Edit:
      cls = "EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ReadOnlyEdit:
      cls = "EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Memo:
    case ControlKind::BorderedMemo:
      cls = "EDIT";
      style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
      if (spec.kind == ControlKind::BorderedMemo) exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ListBox:
    case ControlKind::FileDropList:
      cls = "LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      // The style alone makes the list a drop target: the shell that reads a drop is loaded
      // only when the first one comes.
      exStyle = WS_EX_CLIENTEDGE | (spec.kind == ControlKind::FileDropList ? WS_EX_ACCEPTFILES : 0);
      break;
    case ControlKind::Button:
      cls = "BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::DefaultButton:
      cls = "BUTTON";
      style |= WS_TABSTOP | BS_DEFPUSHBUTTON;
      break;
    case ControlKind::Picture:
    case ControlKind::HiddenPicture:
      style |= SS_NOTIFY | (square ? SS_ICON : SS_BITMAP);
      if (spec.kind == ControlKind::HiddenPicture) style &= ~WS_VISIBLE;
      break;
    case ControlKind::Bevel:
      style |= SS_ETCHEDHORZ;
      break;
  }
  HWND page = pages_[spec.page];
  // A memo lays its lines out again for every font it is given: its text comes after the font.
  const bool memo = spec.kind == ControlKind::Memo || spec.kind == ControlKind::BorderedMemo;
  const char* text = spec.text && !memo ? spec.text : "";
  HWND control = CreateWindowExA(exStyle, cls, text, style, Scale(spec.x), Scale(spec.y),
                                 Scale(spec.width), Scale(spec.height), page,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
  if (!control) return nullptr;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (memo && spec.text) SetWindowTextA(control, spec.text);

  switch (spec.kind) {
    case ControlKind::Label: {
      auto label = std::make_unique<Win32Label>(control);
      labelByHandle_[control] = label.get();
      labels_[spec.id] = std::move(label);
      break;
    }
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
      texts_[spec.id] = std::make_unique<Win32Text>(control);
      break;
    case ControlKind::Memo:
    case ControlKind::BorderedMemo:
      UseAsHelpMemo(control);
      texts_[spec.id] = std::make_unique<Win32Text>(control);
      break;
    case ControlKind::ListBox:
    case ControlKind::FileDropList:
      lists_[spec.id] = std::make_unique<Win32ListBox>(control);
      break;
    case ControlKind::Button:
    case ControlKind::DefaultButton:
      if (spec.image) {
        const int image = spec.image;
        WhenPageShown(spec.page, [this, control, image] { buttonPictures_.Set(control, image, Scale(16), Scale(2)); });
      }
      break;
    case ControlKind::Picture:
    case ControlKind::HiddenPicture:
      if (square) {
        // The picture knows its image at once (the page's handlers ask for it); it loads and
        // shows it when the page is first shown.
        auto picture = std::make_unique<Win32Picture>(control, false);
        if (spec.image) picture->SetImage(spec.image);
        Win32Picture* shown = picture.get();
        WhenPageShown(spec.page, [shown] { shown->Realise(); });
        pictures_[spec.id] = std::move(picture);
      } else if (spec.image) {
        const int image = spec.image, width = Scale(spec.width), height = Scale(spec.height);
        WhenPageShown(spec.page, [this, control, image, width, height] {
          HBITMAP bitmap = LoadScaledBitmap(instance_, image, width, height);
          if (bitmap) {
            bitmaps_.push_back(bitmap);
            SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
          }
        });
      }
      break;
    case ControlKind::Bevel:
      break;
  }
  if (HasPointerRoute(spec.id)) {
    SetPropA(control, kProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PointerProc))));
  }
  return control;
}

void MainWindow::AddTooltip(HWND control, const char* text) {
  // The first form of the record: the common controls of Windows 95 and NT 4.0 refuse any
  // larger size, and the hint needs nothing that came later.
  TTTOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<char*>(text);
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void MainWindow::ShowPage(int index) {
  if (index < 0 || index >= kPageCount) return;
  // The focus must not stay on a control of a page that is being hidden: keys would go to a
  // window nobody sees.
  HWND focus = GetFocus();
  const bool switching = index != activePage_;
  const bool focusLeaves = switching && focus && IsChild(pages_[activePage_], focus);
  activePage_ = index;
  if (switching) focusParked_ = false;
  if (!pageShown_[index]) {
    pageShown_[index] = true;
    for (const auto& step : beforeFirstShow_[index]) step();
    beforeFirstShow_[index].clear();
  }
  ShowWindow(pages_[index], SW_SHOW);
  for (int i = 0; i < kPageCount; ++i) {
    if (i != index) ShowWindow(pages_[i], SW_HIDE);
  }
  if (focusLeaves) FocusActivePage();
}

void MainWindow::WhenPageShown(int page, std::function<void()> step) {
  if (page < 0 || page >= kPageCount || pageShown_[page]) {
    step();
    return;
  }
  beforeFirstShow_[page].push_back(std::move(step));
}

void MainWindow::FocusActivePage() {
  HWND page = pages_[activePage_];
  HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
  if (first && (!IsChild(page, first) || !(GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP))) first = nullptr;
  // A page with nothing to focus ("OS Info") lends the focus to the tab strip until the next
  // page is shown.
  SetFocus(first ? first : tabs_);
  focusParked_ = first == nullptr;
}

int MainWindow::ActivePage() const { return activePage_; }

void MainWindow::RequestClose() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::SetActivePage(int index) {
  // TCM_SETCURFOCUS notifies like a click on the tab, so every way of switching takes the same
  // path through TCN_SELCHANGE. The common controls of Windows 95 and NT 4.0 do not know it:
  // there the tab is only selected, and the page shown below.
  SendMessageA(tabs_, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
  if (SendMessageA(tabs_, TCM_GETCURSEL, 0, 0) != index) SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowPage(index);
}

bool MainWindow::TranslateCommandKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !form_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool otherModifier = (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
  if (otherModifier) return false;
  PageKey key;
  if (control && msg.wParam == 'C') key = PageKey::Copy;
  else if (control) return false;
  else if (msg.wParam == VK_F2) key = PageKey::F2;
  else if (msg.wParam == VK_F5) key = PageKey::F5;
  else if (msg.wParam == VK_DELETE) key = PageKey::Delete;
  else if (msg.wParam == VK_RETURN) key = PageKey::Enter;
  else return false;
  HWND focus = GetFocus();
  const auto list = focus ? lists_.find(GetDlgCtrlID(focus)) : lists_.end();
  const bool inList = list != lists_.end() && list->second->Handle() == focus && IsChild(pages_[activePage_], focus);
  bool taken = false;
  // A key whose handler stopped at an error was the page's all the same.
  const bool ran = RunHandler(system_, [&] { taken = form_->PageKeyPressed(activePage_, key, inList); });
  return taken || !ran;
}

// The lists are not subclassed: under Wine a list box given an ANSI window procedure answers
// other programs' Unicode requests for its lines through a fixed buffer that long lines overrun.
// What they need is taken from the message loop instead: drops are posted to the list, and a
// double-click is looked at once the list has picked its line.
bool MainWindow::TakeDroppedFiles(const MSG& msg) {
  if (msg.message != WM_DROPFILES || !form_) return false;
  const auto list = lists_.find(IDC_SENDTO_LIST);
  if (list == lists_.end() || msg.hwnd != list->second->Handle()) return false;
  const std::vector<std::string> files = DroppedFiles(reinterpret_cast<HDROP>(msg.wParam));
  RunHandler(system_, [&] { form_->lstSendToDropFiles(files); });
  return true;
}

void MainWindow::AfterDispatch(const MSG& msg) {
  if (msg.message != WM_LBUTTONDBLCLK || !form_) return;
  const auto list = lists_.find(GetDlgCtrlID(msg.hwnd));
  if (list == lists_.end() || list->second->Handle() != msg.hwnd) return;
  const LRESULT hit = SendMessageA(msg.hwnd, LB_ITEMFROMPOINT, 0, msg.lParam);
  const int line = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
  RunHandler(system_, [&] { form_->ListDoubleClick(activePage_, line); });
}

bool MainWindow::TranslatePageKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !hwnd_ || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  int step = 0;
  if (msg.wParam == VK_TAB) step = (GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
  if (msg.wParam == VK_NEXT) step = 1;
  if (msg.wParam == VK_PRIOR) step = -1;
  if (step == 0) return false;
  // As in the system's property sheets: a focus on the tab strip stays there, a focus on the
  // page moves to the first control of the next page (ShowPage does that). A focus the strip
  // only holds for a page without controls goes back into the next page.
  const bool intoPage = focusParked_ && GetFocus() == tabs_;
  SetActivePage((activePage_ + step + kPageCount) % kPageCount);
  if (intoPage) FocusActivePage();
  return true;
}

void MainWindow::Dispatch(void (TfrmMain::*handler)()) {
  if (!form_) return;
  RunHandler(system_, [&] { (form_.get()->*handler)(); });
}

void MainWindow::OnCommand(int id, int code, HWND control) {
  if (id == IDOK && !control) {
    // Enter: a focused push button is pressed itself; otherwise the page decides.
    HWND focus = GetFocus();
    char cls[16] = {};
    if (focus && IsChild(pages_[activePage_], focus) && GetClassNameA(focus, cls, sizeof cls) &&
        lstrcmpiA(cls, "Button") == 0) {
      SendMessageA(focus, BM_CLICK, 0, 0);
      return;
    }
    if (form_) RunHandler(system_, [&] { form_->EnterPressed(activePage_); });
    return;
  }
  if (id == IDCANCEL && !control) {
    if (form_) RunHandler(system_, [&] { form_->EscapePressed(activePage_); });
    return;
  }
  if (code != BN_CLICKED) return;
  for (const ButtonRoute& r : kButtons) {
    if (r.id == id) {
      Dispatch(r.handler);
      return;
    }
  }
}

void MainWindow::OnPointer(int id, int event) {
  for (const PointerRoute& r : kPointers) {
    if (r.id == id && r.event == event) Dispatch(r.handler);
  }
}

bool MainWindow::HandlePageMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      result = 0;
      return true;
    case WM_APP_POINTER:
      OnPointer(static_cast<int>(wParam), static_cast<int>(lParam));
      result = 0;
      return true;
    case WM_DRAWITEM:
      if (!buttonPictures_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto found = labelByHandle_.find(reinterpret_cast<HWND>(lParam));
      SetTextColor(dc, found != labelByHandle_.end() ? found->second->TextColorRef() : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      result = reinterpret_cast<LRESULT>(pageBrush_);
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK MainWindow::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // A page is part of the main window, never closed on its own: a control that asks its parent
  // to close (a multi-line edit does on Escape) must not destroy the page.
  if (msg == WM_CLOSE) return 0;
  MainWindow* self = FromHandle(hwnd);
  LRESULT result = 0;
  if (self && self->HandlePageMessage(msg, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::PointerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProperty));
  HWND page = GetParent(hwnd);
  WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(hwnd));
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      // The release must come back here even when the pointer has left the picture. The second
      // press of a double-click is a press like any other, but its release is no second click:
      // a double-click on a link opens it once.
      SetPropA(hwnd, kDoubleClickProperty, reinterpret_cast<HANDLE>(msg == WM_LBUTTONDBLCLK ? 1 : 0));
      SetCapture(hwnd);
      SendMessageA(page, WM_APP_POINTER, id, kPointerDown);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      bool captured = GetCapture() == hwnd;
      if (captured) ReleaseCapture();
      SendMessageA(page, WM_APP_POINTER, id, kPointerUp);
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      RECT r;
      GetClientRect(hwnd, &r);
      bool secondOfDouble = GetPropA(hwnd, kDoubleClickProperty) != nullptr;
      if (msg == WM_LBUTTONUP && captured && !secondOfDouble && PtInRect(&r, pt)) {
        SendMessageA(page, WM_APP_POINTER, id, kPointerClick);
      }
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropA(hwnd, kProcProperty);
      RemovePropA(hwnd, kDoubleClickProperty);
      break;
    default:
      break;
  }
  return original ? CallWindowProcA(original, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<MainWindow*>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  MainWindow* self = FromHandle(hwnd);
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (msg) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CLOSE: {
      // The closing sequence may ask "Save ?"; an error while saving keeps the window open.
      bool closing = form_ ? RunHandler(system_, [&] { form_->FormClose(); }) : true;
      if (closing) DestroyWindow(hwnd_);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (HandlePageMessage(msg, wParam, lParam, result)) return result;
      return DefWindowProcA(hwnd_, msg, wParam, lParam);
  }
}
