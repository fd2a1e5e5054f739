#include "ui/win32/pointer_events.h"

namespace {

constexpr const char* kProcProperty = "Keelbrook.Proc";
constexpr const char* kDoubleClickProperty = "Keelbrook.DoubleClick";

LRESULT CALLBACK PointerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProperty));
  HWND parent = GetParent(hwnd);
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
      SendMessageA(parent, WM_APP_POINTER, id, kPointerDown);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      bool captured = GetCapture() == hwnd;
      if (captured) ReleaseCapture();
      SendMessageA(parent, WM_APP_POINTER, id, kPointerUp);
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      RECT r;
      GetClientRect(hwnd, &r);
      bool secondOfDouble = GetPropA(hwnd, kDoubleClickProperty) != nullptr;
      if (msg == WM_LBUTTONUP && captured && !secondOfDouble && PtInRect(&r, pt)) {
        SendMessageA(parent, WM_APP_POINTER, id, kPointerClick);
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

}  // namespace

void ReportPointerEvents(HWND control) {
  if (!control || GetPropA(control, kProcProperty)) return;
  SetPropA(control, kProcProperty,
           reinterpret_cast<HANDLE>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PointerProc))));
}
