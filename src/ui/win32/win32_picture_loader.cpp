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

// An icon of size x size pixels from one stored image: unpacked if packed, and made ready for this
// system and the face colour it has now if it carries coverage. Null for a damaged image, and,
// when `systemMayLoad`, for a plain image that needs nothing: the system then loads it itself.
HICON MakeIcon(std::vector<uint8_t> image, int size, bool systemMayLoad) {
  const bool packed = IsPackedIconImage(image);
  if (image.empty() || (packed && !UnpackIconImage(image))) return nullptr;
  if (!AdaptIconImage(image, GetSysColor(COLOR_BTNFACE), SystemDrawsIconAlpha()) && !packed && systemMayLoad)
    return nullptr;
  return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size,
                                  LR_DEFAULTCOLOR);
}

std::vector<uint8_t> ResourceBytes(HINSTANCE instance, HRSRC found) {
  HGLOBAL data = found ? LoadResource(instance, found) : nullptr;
  const auto* bits = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  return bits ? std::vector<uint8_t>(bits, bits + SizeofResource(instance, found)) : std::vector<uint8_t>();
}

// The number of the image the system picks for this size from an icon group's directory, or 0.
int ImageFor(std::vector<uint8_t> directory, int size) {
  return directory.empty() ? 0 : LookupIconIdFromDirectoryEx(directory.data(), TRUE, size, size, LR_DEFAULTCOLOR);
}

}  // namespace

HICON LoadProgramIcon(HINSTANCE instance, int id, int size) {
  // A picture only this program shows: the system chooses its image for the size from the
  // directory as it would an icon's, and a damaged one shows nothing.
  if (HRSRC picture = FindResourceA(instance, MAKEINTRESOURCEA(id), kPictureType)) {
    const std::vector<uint8_t> file = ResourceBytes(instance, picture);
    const int image = ImageFor(IconGroupDirectory(file), size);
    return image ? MakeIcon(IconFileImage(file, image), size, false) : nullptr;
  }
  // The program's own icon: the image the system itself would pick for this size, read from the
  // resources and changed in a copy; anything unexpected leaves the loading to the system.
  const int image = ImageFor(ResourceBytes(instance, FindResourceA(instance, MAKEINTRESOURCEA(id), RT_GROUP_ICON)), size);
  const std::vector<uint8_t> bits = ResourceBytes(instance, FindResourceA(instance, MAKEINTRESOURCEA(image), RT_ICON));
  if (HICON icon = image ? MakeIcon(bits, size, true) : nullptr) return icon;
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
