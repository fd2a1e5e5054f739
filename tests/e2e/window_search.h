// Finding another program's windows from outside: its top-level windows, and a control by its id
// anywhere below a window. The end-to-end driver, its scenarios and the benchmark driver share
// it; nothing here knows of GoogleTest.
#ifndef KEELBROOK_TESTS_E2E_WINDOW_SEARCH_H
#define KEELBROOK_TESTS_E2E_WINDOW_SEARCH_H

#include <windows.h>

#include <cstring>
#include <vector>

namespace window_search {

inline BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
  return TRUE;
}

// Every window below `parent`, at any depth.
inline std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The first window below `parent` (the controls sit on page windows) with this id, or nullptr.
inline HWND FindById(HWND parent, int id) {
  for (HWND hwnd : Descendants(parent))
    if (GetDlgCtrlID(hwnd) == id) return hwnd;
  return nullptr;
}

// The top-level windows of process `pid`, in z-order.
inline std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  std::vector<HWND> all, mine;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND hwnd : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid) mine.push_back(hwnd);
  }
  return mine;
}

// The first top-level window of process `pid` of window class `cls` (only a shown one when
// asked), or nullptr.
inline HWND FindTopWindow(DWORD pid, const char* cls, bool shownOnly = false) {
  for (HWND hwnd : TopLevelWindowsOf(pid)) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::strcmp(name, cls) == 0 && (!shownOnly || IsWindowVisible(hwnd))) return hwnd;
  }
  return nullptr;
}

}  // namespace window_search

#endif
