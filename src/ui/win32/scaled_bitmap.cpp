#include "ui/win32/scaled_bitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/bitmap_scaling.h"

HBITMAP LoadScaledBitmap(HINSTANCE instance, int id, int width, int height) {
  HBITMAP source =
      static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!source) return nullptr;
  BITMAP shape = {};
  GetObjectA(source, sizeof shape, &shape);
  const int sw = shape.bmWidth, sh = shape.bmHeight;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 || (sw == width && sh == height)) return source;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = sw;
  info.bmiHeader.biHeight = -sh;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> from(static_cast<size_t>(sw) * static_cast<size_t>(sh));
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, source, 0, static_cast<UINT>(sh), from.data(), &info, DIB_RGB_COLORS);
  DeleteObject(source);
  const std::vector<uint32_t> pixels = rows == sh ? ScalePixels(from, sw, sh, width, height) : std::vector<uint32_t>();
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  void* bits = nullptr;
  HBITMAP scaled = pixels.empty() ? nullptr : CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!scaled || !bits) {
    if (scaled) DeleteObject(scaled);
    return nullptr;
  }
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
  GdiFlush();
  return scaled;
}
