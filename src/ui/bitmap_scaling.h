#pragma once
// Resampling a picture drawn for 96 DPI to the size its control has at another DPI.
#include <cstdint>
#include <vector>

// The pixels (0x00RRGGBB, row by row from the top) of a picture of sourceWidth x sourceHeight,
// resampled to width x height. A whole multiple is copied pixel for pixel, which keeps every edge
// sharp; other factors are filtered (bilinear), where a plain stretch would repeat some rows and
// columns and not others. Integer arithmetic only: a 486SX has no floating-point unit. Empty when
// a size is not positive or the pixels do not fill the source.
std::vector<uint32_t> ScalePixels(const std::vector<uint32_t>& from, int sourceWidth, int sourceHeight, int width,
                                  int height);
