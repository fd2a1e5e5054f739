// The platform's floor for start-up and memory: one empty top-level window with the main
// window's style and client size, a message loop, and nothing else. It ends when the window is
// closed. Whatever keelbrook.exe costs beyond this program is its own.
#include <windows.h>

namespace {

constexpr const char* kClass = "KbEmptyWindow";
constexpr int kClientWidth = 314;
constexpr int kClientHeight = 323;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassExA(&wc)) return 1;

  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  HWND hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kClass, "Keelbrook 2003", kStyle,
                              work.left + ((work.right - work.left) - width) / 2,
                              work.top + ((work.bottom - work.top) - height) / 2, width, height, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, showCommand);
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
