#pragma once
// Waits without a time limit on the program's one thread, as an uninstaller is waited for: the
// thread's windows are painted again whenever they need it (another window dragged across them,
// a page uncovered), and nothing else is taken from the queue. Clicks and keys made meanwhile
// stay queued and are handled after the wait, in their order; so are messages other programs
// send. Meanwhile the thread counts as waiting for input, so that Windows 2000 and later do not
// take its windows for hung and cover them with a "(Not Responding)" ghost, and the cursor the
// program showed when the wait began stays over its windows.
#include <windows.h>

// WaitForSingleObject(handle, INFINITE), painting meanwhile.
DWORD WaitPainting(HANDLE handle);
// WaitForInputIdle(process, INFINITE), painting meanwhile; also ends when the process does.
DWORD WaitForInputIdlePainting(HANDLE process);
