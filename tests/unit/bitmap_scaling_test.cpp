// The resampling of a 96-DPI picture to its control's size at another DPI, on a few pixels.
#include <gtest/gtest.h>

#include "ui/bitmap_scaling.h"

namespace {

using Pixels = std::vector<uint32_t>;

TEST(ScalePixels, WholeMultiplesCopyAndOtherFactorsFilter) {
  const struct {
    const char* what;
    Pixels from;
    int sw, sh, width, height;
    Pixels expected;
  } cases[] = {
      {"doubled: each pixel becomes a square of four, edges stay sharp", {0x000000, 0xFFFFFF}, 2, 1, 4, 2,
       {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}},
      {"one and a half: the middle pixel is the mean of its neighbours", {0x000000, 0x2040FF}, 2, 1, 3, 1,
       {0x000000, 0x102080, 0x2040FF}},
      {"a single pixel fills any size", {0x123456}, 1, 1, 3, 2, Pixels(6, 0x123456)},
      {"a size that is not positive gives nothing", {0x000000}, 1, 1, 0, 4, {}},
      {"too few pixels for the source gives nothing", {0x000000}, 2, 2, 4, 4, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, ScalePixels(c.from, c.sw, c.sh, c.width, c.height)) << c.what;
  }
}

}  // namespace
