#include "ui/icon_image.h"

#include <algorithm>

namespace {

constexpr size_t kHeader = 40;

// Appends to `out` the runs of `unit`-byte units that start at `at` in `in`, until `size` more
// bytes are there; false when the runs end early or would make more.
bool UnpackRuns(const std::vector<uint8_t>& in, size_t& at, size_t unit, size_t size, std::vector<uint8_t>& out) {
  const size_t end = out.size() + size;
  while (out.size() < end) {
    if (at >= in.size() || in[at] == 128) return false;
    const bool literal = in[at] < 128;
    const size_t count = literal ? in[at] + 1u : 257u - in[at], stored = literal ? count * unit : unit;
    ++at;
    if (stored > in.size() - at || count * unit > end - out.size()) return false;
    for (size_t i = 0; i < (literal ? 1 : count); ++i) out.insert(out.end(), in.begin() + at, in.begin() + at + stored);
    at += stored;
  }
  return true;
}

}  // namespace

bool IsPackedIconImage(const std::vector<uint8_t>& image) {
  return image.size() >= kHeader && Read32(image, 0) == kHeader && Read32(image, 16) == kPackedIcon;
}

bool UnpackIconImage(std::vector<uint8_t>& image) {
  if (!IsPackedIconImage(image)) return false;
  const uint32_t width = Read32(image, 4), height = Read32(image, 8) / 2, bits = image[14] | image[15] << 8;
  const uint32_t colours = Read32(image, 32);
  if (width == 0 || width > 256 || height == 0 || height > 256 || (bits != 8 && bits != 32) ||
      (bits == 8 ? colours == 0 || colours > 256 : colours != 0) || image.size() < kHeader + 4 * colours)
    return false;
  const size_t stride = (width * bits / 8 + 3) & ~3u, maskStride = (width + 31) / 32 * 4;
  std::vector<uint8_t> plain(image.begin(), image.begin() + kHeader + 4 * colours);
  plain.resize(kHeader + (bits == 8 ? 256 * 4 : 0), 0);
  size_t at = kHeader + 4 * colours;
  if (!UnpackRuns(image, at, bits / 8, stride * height, plain) || !UnpackRuns(image, at, 1, maskStride * height, plain))
    return false;
  Write32(plain, 16, 0);                                                       // BI_RGB
  Write32(plain, 20, static_cast<uint32_t>(stride * height + maskStride * height));  // biSizeImage
  Write32(plain, 32, 0);                                                       // the whole table
  image.swap(plain);
  return true;
}

std::vector<uint8_t> IconGroupDirectory(const std::vector<uint8_t>& file) {
  if (file.size() < 6 || file[0] | file[1] || file[2] != 1 || file[3]) return {};
  const size_t count = file[4] | file[5] << 8;
  if (count == 0 || file.size() < 6 + 16 * count) return {};
  std::vector<uint8_t> directory(file.begin(), file.begin() + 6);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i, bytes = Read32(file, entry + 8), offset = Read32(file, entry + 12);
    if (bytes < kHeader || offset > file.size() || bytes > file.size() - offset) return {};
    directory.insert(directory.end(), file.begin() + entry, file.begin() + entry + 12);
    directory.push_back(static_cast<uint8_t>(i + 1));
    directory.push_back(static_cast<uint8_t>((i + 1) >> 8));
  }
  return directory;
}

std::vector<uint8_t> IconFileImage(const std::vector<uint8_t>& file, int number) {
  const size_t entry = 6 + 16 * static_cast<size_t>(number - 1);
  if (number < 1 || number > (file[4] | file[5] << 8)) return {};
  const size_t offset = Read32(file, entry + 12);
  return std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + Read32(file, entry + 8));
}

bool AdaptIconImage(std::vector<uint8_t>& image, uint32_t face, bool systemDrawsAlpha) {
  constexpr size_t kTable = 256 * 4;
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
