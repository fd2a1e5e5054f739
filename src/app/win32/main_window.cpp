// The main window: its creation, the switching of pages, the focus, and the window procedures.
// Its controls are made in main_window_controls.cpp; what each event runs is in
// main_window_routes.cpp; the keys, drops and double-clicks of the pages in main_window_input.cpp.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <vector>

#include "app/error_report.h"
#include "app/win32/page_layout.h"
#include "app/win32/resource.h"
#include "platform/win32/win32_system_api.h"
#include "ui/win32/pointer_events.h"

namespace {

constexpr const char* kMainClass = "TfrmMain";
constexpr int kClientHeight = 323;
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

MainWindow* FromHandle(HWND hwnd) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

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

void MainWindow::Show(int showCommand) {
  // The window has a fixed size: a shortcut set to start it maximised opens it as it is. Windows
  // may take the first showing's state from the starter's start-up record rather than from
  // here, so a window that came up maximised all the same is put back.
  ShowWindow(hwnd_, MainWindowShowState(showCommand));
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_MAXIMIZE) ShowWindow(hwnd_, SW_RESTORE);
  UpdateWindow(hwnd_);
  FocusActivePage();
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
    case WM_SIZE:
      // Minimised, the window may stay the active one: restored, it is given the focus itself,
      // with no deactivation before that noted the control that had it.
      if (wParam == SIZE_MINIMIZED) KeepFocus();
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
