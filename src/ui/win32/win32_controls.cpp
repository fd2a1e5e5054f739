#include "ui/win32/win32_controls.h"

#include <vector>

#include "ui/win32/win32_picture_loader.h"

namespace {

constexpr const char* kMemoProcProperty = "Keelbrook.MemoProc";
constexpr const char* kButtonProcProperty = "Keelbrook.ButtonProc";
constexpr const char* kDefaultButtonProperty = "Keelbrook.DefaultButton";

// Whether a button drawn here shows, and acts, as the default one: the focused button does, and
// the button made as the default does while no other button of its window has the focus, as
// with the system's push buttons.
bool ActsAsDefault(HWND button) {
  HWND focus = GetFocus();
  if (focus == button) return true;
  if (!GetPropA(button, kDefaultButtonProperty)) return false;
  char cls[16] = {};
  const bool otherButton = focus && GetParent(focus) == GetParent(button) && GetClassNameA(focus, cls, sizeof cls) &&
                           lstrcmpiA(cls, "Button") == 0;
  return !otherButton;
}

// To the dialog manager an owner-drawn button is no push button: it never becomes the default
// when it takes the focus, so Enter would press the window's default button whichever had the
// focus. Answered as a push button, the focused one is pressed; and the dialog manager's own
// attempts to move the default style between buttons must not turn one into a system-drawn
// button, so they only redraw it.
LRESULT CALLBACK DrawnButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kButtonProcProperty));
  if (!original) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (ActsAsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
      if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropA(hwnd, kButtonProcProperty);
      RemovePropA(hwnd, kDefaultButtonProperty);
      break;
    default:
      break;
  }
  return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK HelpMemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kMemoProcProperty));
  if (!original) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_GETDLGCODE) {
    // Arrows and characters stay with the text; the dialog keys do not. Without "has
    // selection" a Tab into the memo does not select all of its text either.
    const LRESULT code = CallWindowProcA(original, hwnd, msg, wParam, lParam);
    return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(hwnd, kMemoProcProperty);
  }
  return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

}  // namespace

Win32ButtonPictures::~Win32ButtonPictures() {
  for (HIMAGELIST list : lists_) ImageList_Destroy(list);
  for (const auto& button : drawn_) DestroyIcon(button.second.icon);
}

void Win32ButtonPictures::Set(HWND button, int imageId, int size, int gap) {
  HICON icon = LoadProgramIcon(GetModuleHandleA(nullptr), imageId, size);
  if (!button || !icon) {
    if (icon) DestroyIcon(icon);
    return;
  }
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
  if (list && ImageList_AddIcon(list, icon) == 0) {
    BUTTON_IMAGELIST picture = {};
    picture.himl = list;
    picture.margin.right = gap;
    picture.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
    if (SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture))) {
      lists_.push_back(list);
      DestroyIcon(icon);  // the list keeps its own copy
      return;
    }
  }
  if (list) ImageList_Destroy(list);
  const LONG type = GetWindowLongA(button, GWL_STYLE) & 0x0F;  // BS_TYPEMASK
  drawn_[button] = Drawn{icon, imageId, size, gap, type == BS_DEFPUSHBUTTON};
  SendMessageA(button, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
  if (type == BS_DEFPUSHBUTTON) SetPropA(button, kDefaultButtonProperty, reinterpret_cast<HANDLE>(1));
  if (!GetPropA(button, kButtonProcProperty)) {
    SetPropA(button, kButtonProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DrawnButtonProc))));
  }
}

// The pictures drawn here are blended onto the face colour; those of the image lists are not
// (they only exist on systems that draw an icon's alpha channel).
void Win32ButtonPictures::Reload() {
  for (auto& button : drawn_) {
    HICON icon = LoadProgramIcon(GetModuleHandleA(nullptr), button.second.imageId, button.second.size);
    if (!icon) continue;
    DestroyIcon(button.second.icon);
    button.second.icon = icon;
    InvalidateRect(button.first, nullptr, FALSE);
  }
}

bool Win32ButtonPictures::Draw(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return false;
  auto found = drawn_.find(item.hwndItem);
  if (found == drawn_.end()) return false;
  const Drawn& button = found->second;
  HWND parent = GetParent(item.hwndItem);

  // A button that takes or loses the focus takes or gives back the default frame: the page's
  // default button is framed again as it would be by the system.
  if (!button.isDefault && (item.itemAction & ODA_FOCUS)) {
    for (const auto& other : drawn_) {
      if (other.second.isDefault && GetParent(other.first) == parent) InvalidateRect(other.first, nullptr, FALSE);
    }
  }
  const bool framed = (item.itemState & ODS_FOCUS) != 0 || ActsAsDefault(item.hwndItem);

  HDC dc = item.hDC;
  RECT r = item.rcItem;
  if (framed) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  char caption[128] = {};
  GetWindowTextA(item.hwndItem, caption, sizeof caption);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
  // From Windows 2000 the underlines may be hidden until the keyboard is used.
  const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT text = {0, 0, 0, 0};
  DrawTextA(dc, caption, -1, &text, DT_SINGLELINE | DT_CALCRECT | prefix);
  // Picture and caption side by side, centred together, one pixel down and right while pressed.
  const int shift = pushed ? 1 : 0;
  const int width = button.size + button.gap + (text.right - text.left);
  const int left = r.left + ((r.right - r.left) - width) / 2 + shift;
  const int middle = (r.top + r.bottom) / 2 + shift;
  DrawIconEx(dc, left, middle - button.size / 2, button.icon, button.size, button.size, 0, nullptr, DI_NORMAL);
  RECT place = {left + button.size + button.gap, r.top + shift, r.right, r.bottom + shift};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextA(dc, caption, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
  SelectObject(dc, oldFont);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    InflateRect(&r, -3, -3);
    DrawFocusRect(dc, &r);
  }
  return true;
}

HFONT CreateFormFont(int dpi) {
  return CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

void UseAsHelpMemo(HWND edit) {
  if (!edit || GetPropA(edit, kMemoProcProperty)) return;
  const LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  SetPropA(edit, kMemoProcProperty, reinterpret_cast<HANDLE>(original));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelpMemoProc));
}

void Win32Text::Attach(HWND hwnd, const std::string& madeWith) {
  hwnd_ = hwnd;
  if (hwnd_ && kept_ != madeWith) SetWindowTextA(hwnd_, kept_.c_str());
  kept_.clear();
}

std::string Win32Text::GetText() const {
  if (!hwnd_) return kept_;
  int n = GetWindowTextLengthA(hwnd_);
  if (n <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  int got = GetWindowTextA(hwnd_, buf.data(), n + 1);
  return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void Win32Text::SetText(const std::string& text) {
  if (hwnd_)
    SetWindowTextA(hwnd_, text.c_str());
  else
    kept_ = text;
}

void Win32Label::SetColor(uint32_t color) {
  if (color == color_) return;
  color_ = color;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

COLORREF Win32Label::TextColorRef() const {
  if (color_ & 0x80000000u) return GetSysColor(static_cast<int>(color_ & 0xFF));
  return static_cast<COLORREF>(color_ & 0xFFFFFF);
}

bool Win32ListBox::AddLine(const std::string& text) {
  const LRESULT added = SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return added != LB_ERR && added != LB_ERRSPACE;
}

bool Win32ListBox::SetLine(int index, const std::string& text) {
  bool selected = IsSelected(index);
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  // The new line goes in before the old one goes out: a control that refuses it keeps the old
  // line rather than losing one, and never shifts the lines below.
  const LRESULT inserted =
      SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  const bool replaced = inserted != LB_ERR && inserted != LB_ERRSPACE;
  if (replaced) {
    SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index + 1), 0);
    if (selected) SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  return replaced;
}

void Win32ListBox::DeleteLine(int index) { SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void Win32ListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

// A list on the screen redraws itself and its scroll bar for every line added, which under Wine
// costs milliseconds a line; thousands of registrations took minutes.
void Win32ListBox::BeginUpdate() { SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0); }

void Win32ListBox::EndUpdate() {
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Win32ListBox::IsSelected(int index) const {
  return SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int Win32ListBox::SelectedIndex() const {
  LRESULT i = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
  return i == LB_ERR ? -1 : static_cast<int>(i);
}

Win32Picture::~Win32Picture() {
  for (const auto& loaded : icons_) DestroyIcon(loaded.second);
}

void Win32Picture::SetImage(int imageId) {
  if (imageId == image_) return;
  image_ = imageId;
  if (hwnd_) Show();
}

void Win32Picture::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  if (hwnd_ && image_) Show();
}

void Win32Picture::Show() {
  HICON& icon = icons_[image_];
  if (!icon) {
    // Not shared: a shared icon comes back at whatever size it was first loaded.
    RECT r;
    GetClientRect(hwnd_, &r);
    icon = LoadProgramIcon(GetModuleHandleA(nullptr), image_, r.right - r.left);
  }
  SendMessageA(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void Win32Picture::Reload() {
  std::map<int, HICON> old;
  old.swap(icons_);
  if (hwnd_ && image_) Show();  // the new image is shown before the old one goes
  for (const auto& loaded : old) DestroyIcon(loaded.second);
}
