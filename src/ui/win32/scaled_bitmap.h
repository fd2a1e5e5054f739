#pragma once
// Bitmap resources shown at the size of their control (ui/bitmap_scaling.h).
#include <windows.h>

// Bitmap resource `id`, drawn for 96 DPI, as a bitmap of width x height; the resource itself
// when it has that size already. Null when it cannot be loaded. The caller deletes it.
HBITMAP LoadScaledBitmap(HINSTANCE instance, int id, int width, int height);
