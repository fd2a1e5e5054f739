// The main window's controls: the tab strip, the page windows, and each control of the pages as
// the page layout gives it (its window class and styles by kind, its font, hint and picture), with
// the adapters through which the form reads and writes them.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include "app/win32/page_layout.h"
#include "app/win32/resource.h"
#include "platform/app_error.h"
#include "platform/win32/system_dll.h"
#include "ui/win32/pointer_events.h"
#include "ui/win32/scaled_bitmap.h"

namespace {

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
