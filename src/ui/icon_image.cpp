#include "ui/icon_image.h"

#include <algorithm>

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void Write32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

bool AdaptIconImage(std::vector<uint8_t>& image, uint32_t face, bool systemDrawsAlpha) {
  constexpr size_t kHeader = 40, kTable = 256 * 4;
  if (image.size() < kHeader + kTable || Read32(image, 0) != kHeader || image[14] != 8 || image[15] != 0) return false;
  const uint32_t width = Read32(image, 4), height = Read32(image, 8) / 2, used = Read32(image, 32);
  const size_t stride = (width + 3) & ~3u, maskStride = (width + 31) / 32 * 4;
  const size_t pixels = kHeader + kTable, mask = pixels + stride * height;
  if (width == 0 || width > 256 || height == 0 || height > 256 || (used != 0 && used != 256) ||
      image.size() < mask + maskStride * height)
    return false;
  bool covered = false;
  for (size_t entry = 0; entry < 256; ++entry) covered = covered || image[kHeader + 4 * entry + 3] != 0;
  if (!covered) return false;

  if (!systemDrawsAlpha) {
    // Entries 1 to 254 of coverage are the edges; 0 (the transparent black) and 255 stay as
    // they are, and the byte goes back to 0 as the system expects it.
    for (size_t at = kHeader; at < pixels; at += 4) {
      const uint32_t alpha = image[at + 3];
      if (alpha != 0 && alpha != 255) {
        for (int c = 0; c < 3; ++c) {
          const uint32_t under = (face >> (16 - 8 * c)) & 0xFF;  // the table is blue, green, red
          image[at + c] = static_cast<uint8_t>((image[at + c] * alpha + under * (255 - alpha) + 127) / 255);
        }
      }
      image[at + 3] = 0;
    }
    return true;
  }

  std::vector<uint8_t> wide(kHeader + width * height * 4 + maskStride * height);
  std::copy(image.begin(), image.begin() + kHeader, wide.begin());
  wide[14] = 32;
  Write32(wide, 20, width * height * 4 + static_cast<uint32_t>(maskStride * height));  // biSizeImage
  Write32(wide, 32, 0);                                                                // biClrUsed
  size_t out = kHeader;
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x, out += 4) {
      const size_t entry = kHeader + 4 * size_t{image[pixels + y * stride + x]};
      std::copy(image.begin() + entry, image.begin() + entry + 4, wide.begin() + out);
    }
  }
  std::copy(image.begin() + mask, image.begin() + mask + maskStride * height, wide.begin() + out);
  image.swap(wide);
  return true;
}
