#include "ui/bitmap_scaling.h"

#include <cstddef>

namespace {

// A position in source pixels, in 256ths: the centre of target pixel `i` of `to`, over `from`.
struct Sample {
  int low, high;  // the two source pixels either side
  int weight;     // of the high one, 0 to 256
};

Sample SampleAt(int i, int from, int to) {
  int at = (2 * i + 1) * from * 256 / (2 * to) - 128;
  if (at < 0) at = 0;
  Sample s;
  s.low = at / 256 < from - 1 ? at / 256 : from - 1;
  s.high = s.low + 1 < from ? s.low + 1 : s.low;
  s.weight = at - s.low * 256 > 256 ? 256 : at - s.low * 256;
  return s;
}

}  // namespace

std::vector<uint32_t> ScalePixels(const std::vector<uint32_t>& from, int sw, int sh, int width, int height) {
  std::vector<uint32_t> to;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 || from.size() < static_cast<size_t>(sw) * sh) return to;
  to.resize(static_cast<size_t>(width) * height);
  const bool whole = width % sw == 0 && height % sh == 0 && width / sw == height / sh;
  for (int y = 0; y < height; ++y) {
    const Sample v = SampleAt(y, sh, height);
    for (int x = 0; x < width; ++x) {
      uint32_t& pixel = to[static_cast<size_t>(y) * width + x];
      if (whole) {
        pixel = from[static_cast<size_t>(y * sh / height) * sw + static_cast<size_t>(x * sw / width)];
        continue;
      }
      const Sample h = SampleAt(x, sw, width);
      const uint32_t p00 = from[static_cast<size_t>(v.low) * sw + h.low], p01 = from[static_cast<size_t>(v.low) * sw + h.high];
      const uint32_t p10 = from[static_cast<size_t>(v.high) * sw + h.low], p11 = from[static_cast<size_t>(v.high) * sw + h.high];
      pixel = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t top = ((p00 >> shift) & 0xFF) * (256 - h.weight) + ((p01 >> shift) & 0xFF) * h.weight;
        const uint32_t bottom = ((p10 >> shift) & 0xFF) * (256 - h.weight) + ((p11 >> shift) & 0xFF) * h.weight;
        pixel |= ((top * (256 - v.weight) + bottom * v.weight + 32768) >> 16) << shift;
      }
    }
  }
  return to;
}
