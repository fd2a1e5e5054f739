#include "platform/win32/painting_wait.h"

namespace {

// What ends a slice of the wait besides the handle: something to paint, or the pointer or a key
// over the program's windows (its cursor is shown again). Not QS_INPUT: the headers of XP and
// later add QS_RAWINPUT to it, which makes the wait fail on Windows 95 to 2000.
constexpr DWORD kWakeFor = QS_PAINT | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_KEY;
// WaitForInputIdle cannot be waited on together with the queue: it is asked again this often.
constexpr DWORD kIdleQuestionMs = 50;

BOOL CALLBACK PaintWindow(HWND hwnd, LPARAM) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return TRUE;
}

// Paints what needs it, straight to the windows' procedures: a message taken from the queue
// could be anything, and running it would run a handler before the wait has ended.
void Repaint(HCURSOR cursor) {
  GetQueueStatus(kWakeFor);  // what woke the wait is seen: the next one sleeps until there is more
  EnumThreadWindows(GetCurrentThreadId(), PaintWindow, 0);
  SetCursor(cursor);
}

}  // namespace

DWORD WaitPainting(HANDLE handle) {
  const HCURSOR cursor = GetCursor();
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, kWakeFor);
    if (woke != WAIT_OBJECT_0 + 1) return woke;
    Repaint(cursor);
  }
}

DWORD WaitForInputIdlePainting(HANDLE process) {
  const HCURSOR cursor = GetCursor();
  for (;;) {
    const DWORD idle = WaitForInputIdle(process, 0);
    if (idle != WAIT_TIMEOUT) return idle;
    const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, kIdleQuestionMs, kWakeFor);
    // A process that ends before it was ever idle will not become so.
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return WAIT_FAILED;
    if (woke == WAIT_OBJECT_0 + 1) Repaint(cursor);
  }
}
