// The keys, drops and double-clicks the pages take besides their buttons' own.
#include <string>
#include <vector>

#include "app/error_report.h"
#include "app/win32/main_window.h"
#include "platform/win32/win32_system_api.h"
#include "app/win32/resource.h"
#include "platform/win32/system_dll.h"

namespace {

// The names of the files in a drop that landed inside `target` (a rectangle in the client area
// of the window the drop was sent to), in the order the shell gives them; none when it landed
// elsewhere. The drop is finished either way. shell32 is loaded here, the first time something
// is dropped.
std::vector<std::string> DroppedFiles(HDROP drop, const RECT& target) {
  using QueryFunction = UINT(WINAPI*)(HDROP, UINT, LPSTR, UINT);
  using PointFunction = BOOL(WINAPI*)(HDROP, POINT*);
  using FinishFunction = void(WINAPI*)(HDROP);
  static const auto query = SystemFunction<QueryFunction>("shell32.dll", "DragQueryFileA");
  static const auto point = SystemFunction<PointFunction>("shell32.dll", "DragQueryPoint");
  static const auto finish = SystemFunction<FinishFunction>("shell32.dll", "DragFinish");
  std::vector<std::string> files;
  POINT at = {};
  const bool inside = point && point(drop, &at) && PtInRect(&target, at);
  const UINT count = query && inside ? query(drop, 0xFFFFFFFF, nullptr, 0) : 0;
  for (UINT i = 0; i < count; ++i) {
    std::vector<char> name(query(drop, i, nullptr, 0) + 1, '\0');
    const UINT got = query(drop, i, name.data(), static_cast<UINT>(name.size()));
    files.emplace_back(name.data(), got < name.size() ? got : name.size() - 1);
  }
  if (finish) finish(drop);
  return files;
}

// The page key a key press stands for; false for every other key. Shift and Alt make no page key.
bool PageKeyOf(WPARAM virtualKey, PageKey& key) {
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if ((GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return false;
  if (control) {
    key = PageKey::Copy;
    return virtualKey == 'C';
  }
  switch (virtualKey) {
    case VK_F2: key = PageKey::F2; return true;
    case VK_F5: key = PageKey::F5; return true;
    case VK_DELETE: key = PageKey::Delete; return true;
    case VK_RETURN: key = PageKey::Enter; return true;
    default: return false;
  }
}

// The window whose keys the system's modal loops pass on, and the filter that does it.
MainWindow* keysFor = nullptr;
HHOOK filter = nullptr;
// The message the window's dialog keys are looking at. IsDialogMessage offers it to the message
// filters itself, and then it is not the filter's to take again (its copy may be converted, so
// the message is known by its contents).
MSG translating = {};
bool Same(const MSG& a, const MSG& b) {
  return a.hwnd == b.hwnd && a.message == b.message && a.lParam == b.lParam && a.time == b.time;
}

// Every modal loop of the system (a dialog's, a message box's) offers each message to the
// thread's message filters before its own dialog keys see it. A message for the main window is
// taken as the program's own loop takes it; the box's messages pass untouched.
LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
  const bool modal = code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX;
  MSG& msg = *reinterpret_cast<MSG*>(lParam);
  if (modal && keysFor && !Same(msg, translating) && keysFor->TranslateKeys(msg)) return TRUE;
  return CallNextHookEx(filter, code, wParam, lParam);
}

}  // namespace

void MainWindow::FilterModalLoops(bool on) {
  if (on && !filter) filter = SetWindowsHookExA(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
  if (!on && filter) UnhookWindowsHookEx(filter), filter = nullptr;
  keysFor = on && filter ? this : nullptr;
}

void MainWindow::ShowHintsFrom(const MSG& msg) {
  if (tooltip_ || msg.message != WM_MOUSEMOVE || !hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return;
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                             nullptr);
  // Each control is watched from now on, this very move included: it has not been dispatched yet.
  for (const auto& hint : hints_) AddTooltip(hint.first, hint.second);
  hints_.clear();
}

bool MainWindow::TranslateKeys(MSG& msg) {
  ShowHintsFrom(msg);
  if (TranslatePageKeys(msg) || TranslateCommandKeys(msg)) return true;
  const MSG outer = translating;
  translating = msg;
  const bool taken = hwnd_ && IsDialogMessageA(hwnd_, &msg);
  translating = outer;
  return taken;
}

bool MainWindow::TranslateCommandKeys(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !form_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  PageKey key;
  if (!PageKeyOf(msg.wParam, key)) return false;
  HWND focus = GetFocus();
  const auto list = focus ? lists_.find(GetDlgCtrlID(focus)) : lists_.end();
  const bool inList = list != lists_.end() && list->second->Handle() == focus && IsChild(pages_[activePage_], focus);
  return PressPageKey(key, inList);
}

bool MainWindow::PressPageKey(PageKey key, bool inList) {
  bool taken = false;
  // A key whose handler stopped at an error, or that came while a question was open, was the
  // page's all the same.
  const bool ran = RunUserEvent([&] { taken = form_->PageKeyPressed(activePage_, key, inList); });
  return taken || !ran;
}

// The lists are not subclassed: under Wine a list box given an ANSI window procedure answers
// other programs' Unicode requests for its lines through a fixed buffer that long lines overrun.
// What they need comes to their page instead, through whichever message loop is running: the
// program's own, or that of a box without owner, which leaves the window usable meanwhile.
// Files are dropped on the page, which takes the ones that land on its list; a double-click
// and the keys pressed in a list come as the list's notifications.
LRESULT MainWindow::OnListKey(WPARAM virtualKey, HWND list) {
  PageKey key;
  if (!form_ || !PageKeyOf(virtualKey, key) || !IsChild(pages_[activePage_], list)) return -1;
  return PressPageKey(key, true) ? -2 : -1;  // -2: the key is done with; -1: the list's own
}

void MainWindow::OnListDoubleClick(HWND list) {
  // Where the double-click was: a line, or the space below the last one.
  const DWORD at = GetMessagePos();
  POINT pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  ScreenToClient(list, &pt);
  const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  const int line = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
  RunUserEvent([&] { form_->ListDoubleClick(activePage_, line); });
}

void MainWindow::OnDropFiles(HWND page, HDROP drop) {
  const auto list = lists_.find(IDC_SENDTO_LIST);
  RECT onList = {};
  if (list != lists_.end() && GetParent(list->second->Handle()) == page) {
    GetWindowRect(list->second->Handle(), &onList);
    ScreenToClient(page, reinterpret_cast<POINT*>(&onList.left));
    ScreenToClient(page, reinterpret_cast<POINT*>(&onList.right));
  }
  const std::vector<std::string> files = DroppedFiles(drop, onList);
  if (form_ && !files.empty()) RunUserEvent([&] { form_->lstSendToDropFiles(files); });
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
