#pragma once
// The program's pictures of 32 pixels and more are 256-colour icon images whose colour table also
// says how much of each colour's pixels the drawing covers (in the byte of each entry that is
// otherwise 0; tools/imagegen.h makes them). Such an image has no alpha channel of its own, so
// before the system makes an icon of it the picture loader turns it into what this system can
// show without a halo: on a system that draws an icon's alpha channel (XP and later) a 32-bit
// image with that coverage as its alpha, so the edges blend onto whatever is behind them (a
// themed tab page, a themed button); on the older ones, which draw with the mask alone, the
// colour table blended onto the button face the picture is shown on.
#include <cstdint>
#include <vector>

// `image` is one icon image as stored in the program (an RT_ICON resource: BITMAPINFOHEADER,
// colour table, colour pixels, AND mask); `face` a colour as GetSysColor gives it (0x00BBGGRR).
// Returns false, and leaves `image` as it is, for any image that carries no coverage.
bool AdaptIconImage(std::vector<uint8_t>& image, uint32_t face, bool systemDrawsAlpha);
