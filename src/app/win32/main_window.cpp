// The main window: its creation with the tab strip, the six pages and their controls, the
// switching of pages, and the window procedures. What each event runs is in
// main_window_routes.cpp; the keys, drops and double-clicks of the pages in main_window_input.cpp.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <vector>

#include "app/error_report.h"
#include "app/win32/page_layout.h"
#include "app/win32/resource.h"
#include "platform/app_error.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/win32_system_api.h"
#include "ui/win32/pointer_events.h"
#include "ui/win32/scaled_bitmap.h"

namespace {

constexpr const char* kMainClass = "TfrmMain";
constexpr const char* kPageClass = "KeelbrookPage";

constexpr int kClientWidth = 314;
constexpr int kClientHeight = 323;
constexpr int kTabsHeight = 322;
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

MainWindow* FromHandle(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

// The window class and styles of each kind of control. Labels wrap only when they have room for
// a second line; pictures of a square show an icon, the others a bitmap.
struct KindStyle {
  ControlKind kind;
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
};

constexpr DWORD kMemoStyle = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;

const KindStyle kKindStyles[] = {
    {ControlKind::Label, "STATIC", SS_NOTIFY, 0},
    {ControlKind::Edit, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ControlKind::ReadOnlyEdit, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE},
    {ControlKind::Memo, "EDIT", kMemoStyle, 0},
    {ControlKind::BorderedMemo, "EDIT", kMemoStyle, WS_EX_CLIENTEDGE},
    {ControlKind::ListBox, "LISTBOX", kListStyle, WS_EX_CLIENTEDGE},
    {ControlKind::FileDropList, "LISTBOX", kListStyle, WS_EX_CLIENTEDGE},
    {ControlKind::Button, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ControlKind::DefaultButton, "BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {ControlKind::Picture, "STATIC", SS_NOTIFY, 0},
    {ControlKind::HiddenPicture, "STATIC", SS_NOTIFY, 0},
    {ControlKind::Bevel, "STATIC", SS_ETCHEDHORZ, 0},
};

bool IsList(ControlKind kind) { return kind == ControlKind::ListBox || kind == ControlKind::FileDropList; }

const KindStyle& StyleOf(ControlKind kind) {
  for (const KindStyle& k : kKindStyles) {
    if (k.kind == kind) return k;
  }
  return kKindStyles[0];
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
  pc.cbWndExtra = DLGWINDOWEXTRA;  // the dialog manager's room, for the tab texture (PageProc)
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
  pageBrush_ = GetSysColorBrush(COLOR_BTNFACE);  // the system's own: it follows colour changes
  CreateControls();
  // Underlines and focus rectangles as the user chose (from Windows 2000: hidden until the
  // keyboard is used): the system starts dialogs so, other windows must ask for it.
  BOOL underline = TRUE;
  SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &underline, 0);
  if (!underline) SendMessageA(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);

  MainControls c;
  c.window = this;
  c.OpenDlg = &openDialog_;
#define KB_WIRE(Port, name, id) c.name = Adapter(c.name, id);
  KB_MAIN_CONTROLS(KB_WIRE)
#undef KB_WIRE
  form_ = std::make_unique<TfrmMain>(registry_, system_, objects_, c, inputBox_);

  ShowPage(kPageSysInfo);
  FilterModalLoops(true);
  // An error here is reported and the window is still shown with what was filled so far.
  Dispatch(&TfrmMain::FormCreate);
  return true;
}

namespace {

// The adapter made for a control id, of the kind the form sees the control as.
template <class Adapter>
Adapter* Made(const std::map<int, std::unique_ptr<Adapter>>& made, int id) {
  const auto found = made.find(id);
  if (found == made.end()) throw AppError("The main window could not be created");
  return found->second.get();
}

}  // namespace

TextControl* MainWindow::Adapter(TextControl*, int id) const { return Made(texts_, id); }
LabelControl* MainWindow::Adapter(LabelControl*, int id) const { return Made(labels_, id); }
ListBoxControl* MainWindow::Adapter(ListBoxControl*, int id) const { return Made(lists_, id); }
PictureControl* MainWindow::Adapter(PictureControl*, int id) const { return Made(pictures_, id); }

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
    item.pszText = const_cast<char*>(kPages[i].caption);
    SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetClientRect(tabs_, &area);
  SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  // With a visual style (XP and later, common controls 6) the tab strip has a theme, and a page
  // shows the tab's texture as the system's property pages do; the dialog manager draws it
  // (PageProc). Before XP there is no uxtheme; without visual styles, or with the older common
  // controls, the strip has no theme and the pages stay in the button face colour.
  using ThemeFunction = HANDLE(WINAPI*)(HWND);
  enableTexture_ = SystemFunction<TextureFunction>("uxtheme.dll", "EnableThemeDialogTexture");
  const auto windowTheme = SystemFunction<ThemeFunction>("uxtheme.dll", "GetWindowTheme");
  if (!windowTheme || !windowTheme(tabs_)) enableTexture_ = nullptr;
  pageArea_ = area;

  for (int i = 0; i < kControlCount; ++i) {
    if (IsList(kControls[i].kind))
      CreateControl(kControls[i]);
    else
      MakeAdapter(kControls[i]);
  }
}

void MainWindow::MakeAdapter(const ControlSpec& spec) {
  switch (spec.kind) {
    case ControlKind::Label:
      labels_[spec.id] = std::make_unique<Win32Label>(spec.text ? spec.text : "");
      break;
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
      texts_[spec.id] = std::make_unique<Win32Text>();
      break;
    case ControlKind::Picture:
    case ControlKind::HiddenPicture:
      // The page's handlers ask a picture of a square for its image before it is ever shown.
      if (spec.width == spec.height) pictures_[spec.id] = std::make_unique<Win32Picture>(spec.image);
      break;
    default:
      break;
  }
}

HWND MainWindow::PageWindow(int i) {
  if (pages_[i]) return pages_[i];
  const RECT& area = pageArea_;
  pages_[i] = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, kPages[i].caption, WS_CHILD | WS_CLIPSIBLINGS,
                              area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPages[i].id)), instance_, nullptr);
  SetWindowLongPtrA(pages_[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Above the notebook, which would otherwise paint its body over the page.
  SetWindowPos(pages_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  texturedPages_ = enableTexture_ && SUCCEEDED(enableTexture_(pages_[i], 6 /* ETDT_ENABLETAB */));
  return pages_[i];
}

void MainWindow::MakePage(int page) {
  pageMade_[page] = true;
  PageWindow(page);
  for (int i = 0; i < kControlCount; ++i) {
    if (kControls[i].page == page) CreateControl(kControls[i]);
  }
}

HWND MainWindow::CreateControl(const ControlSpec& spec) {
  const KindStyle& kind = StyleOf(spec.kind);
  const bool square = spec.width == spec.height;
  const bool memo = spec.kind == ControlKind::Memo || spec.kind == ControlKind::BorderedMemo;
  const bool picture = spec.kind == ControlKind::Picture || spec.kind == ControlKind::HiddenPicture;
  const auto list = lists_.find(spec.id);
  if (list != lists_.end()) {
    // Made before its page: moved to its place among the controls made since, so that the order
    // of the page (the tab order, and the label that names it) is the layout's.
    HWND made = list->second->Handle();
    HWND last = GetWindow(made, GW_HWNDLAST);
    if (last != made) SetWindowPos(made, last, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return made;
  }
  DWORD style = WS_CHILD | kind.style | (spec.kind == ControlKind::HiddenPicture ? 0 : WS_VISIBLE);
  if (spec.kind == ControlKind::Label) style |= spec.height > 20 ? SS_LEFT : SS_LEFTNOWORDWRAP;
  if (picture) style |= square ? SS_ICON : SS_BITMAP;
  HWND page = PageWindow(spec.page);
  // The style alone makes the page a drop target, for the list on it: the shell that reads a
  // drop is loaded only when the first one comes.
  if (spec.kind == ControlKind::FileDropList)
    SetWindowLongA(page, GWL_EXSTYLE, GetWindowLongA(page, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);

  // A memo lays its lines out again for every font it is given: its text comes after the font.
  const char* text = spec.text && !memo ? spec.text : "";
  HWND control = CreateWindowExA(kind.exStyle, kind.windowClass, text, style, Scale(spec.x), Scale(spec.y),
                                 Scale(spec.width), Scale(spec.height), page,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
  if (!control) return nullptr;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (memo && spec.text) SetWindowTextA(control, spec.text);
  if (memo) UseAsHelpMemo(control);
  if (spec.hint) AddTooltip(control, spec.hint);

  switch (spec.kind) {
    case ControlKind::Label:
      labels_[spec.id]->Attach(control, text);
      break;
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
      texts_[spec.id]->Attach(control, text);
      break;
    case ControlKind::ListBox:
    case ControlKind::FileDropList:
      lists_[spec.id] = std::make_unique<Win32ListBox>(control);
      break;
    case ControlKind::Button:
    case ControlKind::DefaultButton:
      if (spec.image) buttonPictures_.Set(control, spec.image, Scale(16), Scale(2));
      break;
    case ControlKind::Picture:
    case ControlKind::HiddenPicture:
      if (square) {
        pictures_[spec.id]->Attach(control);
      } else if (HBITMAP bitmap = spec.image ? LoadScaledBitmap(instance_, spec.image, Scale(spec.width),
                                                                Scale(spec.height))
                                             : nullptr) {
        bitmaps_.push_back(bitmap);
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
      }
      break;
    case ControlKind::Memo:
    case ControlKind::BorderedMemo:
    case ControlKind::Bevel:
      break;
  }
  if (HasPointerRoute(spec.id)) ReportPointerEvents(control);
  return control;
}

void MainWindow::AddTooltip(HWND control, const char* text) {
  if (!tooltip_) {
    hints_.emplace_back(control, text);
    return;
  }
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
  if (!pageMade_[index]) MakePage(index);
  ShowWindow(pages_[index], SW_SHOW);
  for (int i = 0; i < kPageCount; ++i) {
    if (i != index && pages_[i]) ShowWindow(pages_[i], SW_HIDE);
  }
  if (focusLeaves) FocusActivePage();
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

void MainWindow::KeepFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) keptFocus_ = focus;
}

void MainWindow::RestoreFocus() {
  // Nothing takes keys while the window is minimised; it is given back when the window is restored.
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_MINIMIZE) return;
  // A control on a page hidden meanwhile, or disabled, cannot take it: the page's first one does.
  if (keptFocus_ && IsChild(hwnd_, keptFocus_) && IsWindowVisible(keptFocus_) && IsWindowEnabled(keptFocus_)) {
    SetFocus(keptFocus_);
  } else {
    FocusActivePage();
  }
}

void MainWindow::RequestClose() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::BeginBusy() {
  // Shown at once, and kept until the end: the window takes no input meanwhile, so nothing asks
  // for the cursor of what lies under the pointer.
  if (busy_++ == 0) cursorBeforeBusy_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void MainWindow::EndBusy() {
  if (busy_ > 0 && --busy_ == 0) SetCursor(cursorBeforeBusy_);
}

void MainWindow::SetActivePage(int index) {
  // TCM_SETCURSEL sends no notification, so the page is shown here. TCM_SETCURFOCUS would notify,
  // but the common controls of Windows 95 and NT 4.0 do not know it, and Wine's leaves the old
  // tab marked pressed, so that the next click on a third tab is taken for nothing.
  SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowPage(index);
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
    case WM_VKEYTOITEM:
      result = OnListKey(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      return true;
    case WM_DRAWITEM:
      if (!buttonPictures_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      const auto found = labels_.find(GetDlgCtrlID(control));
      const bool label = found != labels_.end() && found->second->Handle() == control;
      // Labels, pictures and help texts show the page's background: with the tab texture the
      // dialog manager gives a brush of it, aligned to the control, and a transparent text
      // background. A read-only field keeps the face colour that marks it read-only.
      char cls[8] = {};
      const bool field = GetClassNameA(control, cls, sizeof cls) && lstrcmpiA(cls, "Edit") == 0 &&
                         !(GetWindowLongA(control, GWL_STYLE) & ES_MULTILINE);
      if (texturedPages_ && !field) {
        result = DefDlgProcA(GetParent(control), msg, wParam, lParam);
      } else {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(pageBrush_);
      }
      SetTextColor(dc, label ? found->second->TextColorRef() : GetSysColor(COLOR_WINDOWTEXT));
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
  if (msg == WM_DROPFILES && self) {
    self->OnDropFiles(hwnd, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  LRESULT result = 0;
  if (self && self->HandlePageMessage(msg, wParam, lParam, result)) return result;
  // The tab texture is the dialog manager's: it paints the page with it and gives it to the
  // controls. Everything else stays as for any window.
  if (self && self->texturedPages_ && (msg == WM_ERASEBKGND || msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORBTN))
    return DefDlgProcA(hwnd, msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
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
      FilterModalLoops(false);
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      // A plain window activated again (Alt+Tab, its taskbar button, a box or dialog it owned
      // closing) would take the focus itself: the dialog keys would then read a typed letter as a
      // mnemonic, and "se" typed into a field would press "&Set" and "&Exit".
      if (LOWORD(wParam) == WA_INACTIVE) {
        KeepFocus();
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_SYSCOLORCHANGE:
      // The pictures were blended onto the old button face. The tab strip, like every common
      // control, hears of the change only from its parent.
      SendMessageA(tabs_, msg, wParam, lParam);
      for (const auto& picture : pictures_) picture.second->Reload();
      buttonPictures_.Reload();
      return 0;
    default:
      if (HandlePageMessage(msg, wParam, lParam, result)) return result;
      return DefWindowProcA(hwnd_, msg, wParam, lParam);
  }
}
