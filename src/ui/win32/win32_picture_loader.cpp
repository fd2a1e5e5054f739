#include "ui/win32/win32_picture_loader.h"

#include <cstdint>
#include <vector>

#include "ui/icon_image.h"

namespace {

// Windows XP and later draw an icon's alpha channel; the systems before draw its mask.
bool SystemDrawsIconAlpha() {
  const DWORD version = GetVersion();
  const int major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  return !(version & 0x80000000) && (major > 5 || (major == 5 && minor >= 1));
}

}  // namespace

HICON LoadProgramIcon(HINSTANCE instance, int id, int size) {
  // The image the system itself would pick for this size, read from the resources and changed
  // in a copy; anything unexpected leaves the loading to the system.
  HICON icon = nullptr;
  HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
  HGLOBAL directory = group ? LoadResource(instance, group) : nullptr;
  auto* entries = directory ? static_cast<BYTE*>(LockResource(directory)) : nullptr;
  const int image = entries ? LookupIconIdFromDirectoryEx(entries, TRUE, size, size, LR_DEFAULTCOLOR) : 0;
  HRSRC found = image ? FindResourceA(instance, MAKEINTRESOURCEA(image), RT_ICON) : nullptr;
  HGLOBAL data = found ? LoadResource(instance, found) : nullptr;
  const auto* bits = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  bool packed = false;
  if (bits) {
    std::vector<uint8_t> copy(bits, bits + SizeofResource(instance, found));
    // A packed picture only this program can read: a damaged one shows nothing.
    packed = IsPackedIconImage(copy);
    if (packed && !UnpackIconImage(copy)) return nullptr;
    if (AdaptIconImage(copy, GetSysColor(COLOR_BTNFACE), SystemDrawsIconAlpha()) || packed)
      icon = CreateIconFromResourceEx(copy.data(), static_cast<DWORD>(copy.size()), TRUE, 0x00030000, size, size,
                                      LR_DEFAULTCOLOR);
  }
  if (icon || packed) return icon;
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
