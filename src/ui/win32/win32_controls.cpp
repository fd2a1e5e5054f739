#include "ui/win32/win32_controls.h"

#include <vector>

std::string Win32Text::GetText() const {
  int n = GetWindowTextLengthA(hwnd_);
  if (n <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  int got = GetWindowTextA(hwnd_, buf.data(), n + 1);
  return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void Win32Text::SetText(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void Win32Label::SetColor(uint32_t color) {
  if (color == color_) return;
  color_ = color;
  InvalidateRect(Handle(), nullptr, TRUE);
}

COLORREF Win32Label::TextColorRef() const {
  if (color_ & 0x80000000u) return GetSysColor(static_cast<int>(color_ & 0xFF));
  return static_cast<COLORREF>(color_ & 0xFFFFFF);
}

int Win32ListBox::Count() const { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string Win32ListBox::GetLine(int index) const {
  LRESULT n = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR || n <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  LRESULT got = SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  if (got == LB_ERR) return std::string();
  return std::string(buf.data(), static_cast<size_t>(got));
}

void Win32ListBox::AddLine(const std::string& text) {
  SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32ListBox::SetLine(int index, const std::string& text) {
  bool selected = IsSelected(index);
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageA(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  if (selected) SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32ListBox::DeleteLine(int index) { SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void Win32ListBox::Clear() { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }

bool Win32ListBox::IsSelected(int index) const {
  return SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int Win32ListBox::SelectedIndex() const {
  LRESULT i = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
  return i == LB_ERR ? -1 : static_cast<int>(i);
}

void Win32Picture::SetImage(int imageId) {
  if (imageId == image_) return;
  image_ = imageId;
  RECT r;
  GetClientRect(hwnd_, &r);
  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(imageId), IMAGE_ICON,
                                             r.right - r.left, r.bottom - r.top, LR_DEFAULTCOLOR | LR_SHARED));
  SendMessageA(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}
