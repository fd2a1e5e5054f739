#pragma once
// Pictures and labels that report the pointer: a static control only says it was clicked, while
// the pages react to the press and the release themselves (a picture shown pressed while the
// button is down, a link opened on a click).
#include <windows.h>

enum PointerEvent { kPointerDown = 0, kPointerUp = 1, kPointerClick = 2 };

// What such a control sends its parent: wParam is the control id, lParam the PointerEvent.
constexpr UINT WM_APP_POINTER = WM_APP + 1;

// Makes `control` report its presses, releases and clicks (a press and release of the left
// button on it) to its parent, for as long as it lives.
void ReportPointerEvents(HWND control);
