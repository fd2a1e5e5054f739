#pragma once
// Loads the program's icons so that no system shows a halo round them (ui/icon_image.h).
#include <windows.h>

// Icon resource `id` of `instance` at size x size pixels: its own image for that size, made
// ready for this system and for the button face colour it has now. A picture whose page or
// button shows it loads it again when the system colours change (WM_SYSCOLORCHANGE).
HICON LoadProgramIcon(HINSTANCE instance, int id, int size);
