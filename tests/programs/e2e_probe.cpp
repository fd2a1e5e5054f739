// A small stand-in for keelbrook.exe that the end-to-end driver is proven against: a "TfrmMain"
// window with a tab strip, pages, an edit, a default button, a list box and buttons that open
// owned and owner-less message boxes. What the probe saw last is shown in a status label, so the
// driver's own tests can check that a key press, a click or an answer really arrived.
//
//   e2e_probe.exe            opens the window
//   e2e_probe.exe --version  prints what GetVersionExA reports and ends
// With KB_PROBE_BOX_FIRST set in its environment, it reports an error in a box before its window
// is shown, as a program does whose window creation fails part-way.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <exception>

#include "platform/win32/fatal_error.h"

namespace {

constexpr int kTabs = 1000;
constexpr int kPageFirst = 1010;
constexpr int kEdit = 1101;
constexpr int kAsk = 1120;
constexpr int kExit = 1121;
constexpr int kList = 1201;
constexpr int kNotify = 1212;
constexpr int kStatus = 1500;
constexpr int kVersion = 1501;
constexpr int kPageCount = 3;

HWND g_main;
HWND g_pages[kPageCount];

void SetStatus(const char* text) { SetDlgItemTextA(g_main, kStatus, text); }

void DescribeVersion(char* out, size_t size) {
  OSVERSIONINFOEXA v;
  ZeroMemory(&v, sizeof v);
  v.dwOSVersionInfoSize = sizeof v;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) {
    snprintf(out, size, "GetVersionExA failed");
    return;
  }
  snprintf(out, size, "%lu.%lu build %ld platform %lu sp '%s' suite 0x%x type %u",
           v.dwMajorVersion, v.dwMinorVersion, static_cast<long>(v.dwBuildNumber), v.dwPlatformId,
           v.szCSDVersion, v.wSuiteMask, v.wProductType);
}

void ShowPage(int index) {
  for (int i = 0; i < kPageCount; ++i) ShowWindow(g_pages[i], i == index ? SW_SHOW : SW_HIDE);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                         nullptr);
}

// The pages forward their buttons' and list's notifications to the main window, as keelbrook's do.
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) return SendMessageA(g_main, msg, wp, lp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      if (id == IDOK) SetStatus("enter");
      if (id == IDCANCEL) SetStatus("escape");
      if (id == kExit && code == BN_CLICKED) PostMessageA(hwnd, WM_CLOSE, 0, 0);
      if (id == kAsk && code == BN_CLICKED) {
        const int answer = MessageBoxA(hwnd, "First line\nSecond line", "Probe ?",
                                       MB_YESNO | MB_ICONQUESTION);
        SetStatus(answer == IDYES ? "yes" : answer == IDNO ? "no" : "other");
      }
      if (id == kNotify && code == BN_CLICKED) {
        MessageBoxA(nullptr, "Nobody owns this box", "Probe", MB_OK | MB_ICONEXCLAMATION);
        SetStatus("ok");
      }
      if (id == kList && code == LBN_SELCHANGE) {
        char text[32];
        snprintf(text, sizeof text, "selected %d",
                 static_cast<int>(SendDlgItemMessageA(g_pages[1], kList, LB_GETCURSEL, 0, 0)));
        SetStatus(text);
      }
      return 0;
    }
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->idFrom == kTabs && hdr->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(SendMessageA(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  char version[300];
  DescribeVersion(version, sizeof version);
  if (argc > 1 && strcmp(argv[1], "--version") == 0) {
    printf("%s\n", version);
    return 0;
  }

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TfrmMain";
  RegisterClassA(&wc);
  wc.lpfnWndProc = PageProc;
  wc.lpszClassName = "ProbePage";
  RegisterClassA(&wc);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r = {0, 0, 314, 323};
  AdjustWindowRect(&r, style, FALSE);
  g_main = CreateWindowExA(WS_EX_CONTROLPARENT, "TfrmMain", "Keelbrook probe", style, 100, 100,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, inst, nullptr);

  HWND tabs = Child(g_main, WC_TABCONTROLA, "", WS_CLIPSIBLINGS, 0, 0, 314, 250, kTabs);
  const char* names[kPageCount] = {"One", "Two", "Three"};
  for (int i = 0; i < kPageCount; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(names[i]);
    SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    g_pages[i] = CreateWindowExA(WS_EX_CONTROLPARENT, "ProbePage", "", WS_CHILD, 4, 26, 306, 220,
                                 g_main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageFirst + i)),
                                 inst, nullptr);
  }
  SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  HWND edit = Child(g_pages[0], "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 8, 200, 21, kEdit);
  Child(g_pages[0], "BUTTON", "&Ask", WS_TABSTOP, 8, 40, 80, 25, kAsk);
  Child(g_pages[0], "BUTTON", "&Exit", WS_TABSTOP | BS_DEFPUSHBUTTON, 100, 40, 80, 25, kExit);
  HWND list = Child(g_pages[1], "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 8, 8, 200, 120, kList);
  const char* items[] = {"alpha", "caf\xe9 cr\xe8me", "", "a much longer line of text that goes on and on"};
  for (const char* item : items) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  Child(g_pages[1], "BUTTON", "&Notify", WS_TABSTOP, 8, 140, 80, 25, kNotify);
  Child(g_main, "STATIC", "ready", 0, 8, 256, 298, 20, kStatus);
  Child(g_main, "STATIC", version, 0, 8, 280, 298, 40, kVersion);

  ShowPage(0);
  // Ended by the C run-time as keelbrook.exe could be, with its last box: "abort" or "terminate".
  char fail[16] = "";
  if (GetEnvironmentVariableA("KB_PROBE_FAIL", fail, sizeof fail)) {
    InstallFatalErrorBox("Probe", "Ended");
    if (strcmp(fail, "terminate") == 0) std::terminate();
    std::abort();
  }
  if (GetEnvironmentVariableA("KB_PROBE_BOX_FIRST", nullptr, 0))
    MessageBoxA(nullptr, "Before the window", "Probe", MB_OK | MB_ICONERROR);
  ShowWindow(g_main, SW_SHOW);
  SetFocus(edit);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(g_main, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}
