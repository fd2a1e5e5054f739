#pragma once
// The program's pictures of 32 pixels and more are 256-colour icon images whose colour table also
// says how much of each colour's pixels the drawing covers (in the byte of each entry that is
// otherwise 0; tools/imagegen.h makes them). Such an image has no alpha channel of its own, so
// before the system makes an icon of it the picture loader turns it into what this system can
// show without a halo: on a system that draws an icon's alpha channel (XP and later) a 32-bit
// image with that coverage as its alpha, so the edges blend onto whatever is behind them (a
// themed tab page, a themed button); on the older ones, which draw with the mask alone, the
// colour table blended onto the button face the picture is shown on.
#include <cstddef>
#include <cstdint>
#include <vector>

// A 32-bit field of a stored image (little-endian), as read and written by the program and by
// the picture generator that packs them.
inline uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline void Write32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The pictures that only the program reads are stored smaller still (tools/imagegen.h packs
// them): the colour table only as long as the picture needs, then the pixels and the AND mask as
// runs (PackBits: a count byte n, then n + 1 units as they are when n is below 128, or one unit
// repeated 257 - n times when it is above), the pixels as units of their own size, the mask byte
// by byte. biCompression says so. The shell never reads these; the program's own icon, which it
// shows for the file, stays plain.
constexpr uint32_t kPackedIcon = 0x4B50424B;  // "KBPK"
bool IsPackedIconImage(const std::vector<uint8_t>& image);
// Turns a packed image into the plain one the system reads (a 256-entry colour table for 256
// colours). False, and `image` as it was, for an image that is not packed or whose runs do not
// make exactly the image its header describes.
bool UnpackIconImage(std::vector<uint8_t>& image);

// The pictures only the program shows are icon files (the directory, then the images, packed) in
// a resource type of the program's own: the shell lists every icon group of a program file
// ("Change Icon...") and could draw none of these. Only the program's own icon is an icon group.
constexpr char kPictureType[] = "PICTURE";
// The directory of icon file `file` as an icon group resource has it (14-byte entries naming
// their images by number, 1 for the first), for the system to choose the image for a size
// (LookupIconIdFromDirectoryEx); empty unless every image of the file lies within it.
std::vector<uint8_t> IconGroupDirectory(const std::vector<uint8_t>& file);
// Image `number` (from 1) of an icon file whose directory IconGroupDirectory accepted.
std::vector<uint8_t> IconFileImage(const std::vector<uint8_t>& file, int number);

// `image` is one icon image as stored in the program (an RT_ICON resource: BITMAPINFOHEADER,
// colour table, colour pixels, AND mask); `face` a colour as GetSysColor gives it (0x00BBGGRR).
// Returns false, and leaves `image` as it is, for any image that carries no coverage.
bool AdaptIconImage(std::vector<uint8_t>& image, uint32_t face, bool systemDrawsAlpha);
