// The picture maker: drawings rendered to the pixels they describe, icon and bitmap files laid
// out as Windows reads them, faults in the sources reported with their place, and the shipped
// manifest covering every picture id of resource.h with the kind the window loads it as.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../../tools/imagegen.h"
#include "ui/icon_image.h"

namespace {

using namespace imagegen;

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

Image Draw(const std::string& source, int w, int h) { return Render(ParseDrawing(source, "test.art"), w, h); }

std::string SourceTree() {
  std::string here = __FILE__;  // .../tests/unit/imagegen_test.cpp
  return here.substr(0, here.rfind("/tests/unit/"));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ImageGen, ShapesCoverTheirPixelsAndEdgesAreBlended) {
  // Left half red; the column on the edge half covered.
  Image img = Draw("canvas 4 2\nrect 0 0 1.5 2 #FF0000\n", 4, 2);
  EXPECT_EQ(255, img.At(0, 0)[3]);
  EXPECT_EQ(255, img.At(0, 1)[0]);
  EXPECT_EQ(0, img.At(0, 0)[1]);
  EXPECT_NEAR(128, img.At(1, 0)[3], 2);
  EXPECT_EQ(255, img.At(1, 0)[0]) << "straight alpha: the colour is not darkened";
  EXPECT_EQ(0, img.At(2, 0)[3]);
  EXPECT_EQ(0, img.At(3, 1)[3]);
}

TEST(ImageGen, TheCanvasScalesToEachSize) {
  const char* art = "canvas 16 16\nrect 0 0 8 16 #00FF00\n";
  for (int size : {16, 32, 48}) {
    Image img = Draw(art, size, size);
    EXPECT_EQ(255, img.At(size / 2 - 1, size - 1)[3]) << size;
    EXPECT_EQ(0, img.At(size / 2, 0)[3]) << size;
  }
}

TEST(ImageGen, LaterShapesPaintOverEarlierOnesAndClearErases) {
  Image img = Draw(
      "canvas 3 1\n"
      "rect 0 0 3 1 #0000FF\n"
      "rect 1 0 2 1 #FF000080\n"  // half-transparent red over blue
      "rect 2 0 3 1 clear\n",
      3, 1);
  EXPECT_EQ(255, img.At(0, 0)[2]);
  EXPECT_EQ(255, img.At(1, 0)[3]);
  EXPECT_NEAR(128, img.At(1, 0)[0], 2);
  EXPECT_NEAR(127, img.At(1, 0)[2], 2);
  EXPECT_EQ(0, img.At(2, 0)[3]);
}

TEST(ImageGen, ClipKeepsShapesInsideUntilTurnedOff) {
  Image img = Draw(
      "canvas 4 1\n"
      "clip rect 0 0 2 1 none\n"
      "rect 0 0 4 1 #FFFFFF\n"
      "clip off\n"
      "rect 3 0 4 1 #000000\n",
      4, 1);
  EXPECT_EQ(255, img.At(1, 0)[3]);
  EXPECT_EQ(0, img.At(2, 0)[3]);
  EXPECT_EQ(255, img.At(3, 0)[3]);
}

TEST(ImageGen, StrokeRunsAlongTheOutlineOnly) {
  Image img = Draw("canvas 9 9\nrect 1 1 8 8 none stroke 2 #000000\n", 9, 9);
  EXPECT_EQ(255, img.At(1, 4)[3]);
  EXPECT_EQ(0, img.At(4, 4)[3]) << "the inside stays empty";
  EXPECT_EQ(0, img.At(4, 4)[0]);
}

TEST(ImageGen, FaultsInADrawingNameTheLine) {
  struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"canvas 16 16\nsquare 1 2 3 4 #000000\n", "test.art:2: unknown command 'square'"},
      {"rect 0 0 4 4 #12345\n", "test.art:1: bad fill '#12345'"},
      {"rect 0 0 4 #000000\n", "test.art:1: bad coordinate '#000000'"},
      {"\n\npoly #000000 1 1 2 2\n", "test.art:3: needs at least 3 points"},
      {"rect 0 0 4 4 none\n", "test.art:1: the shape paints nothing"},
      {"canvas 2000 10\n", "test.art:1: canvas larger than 1024"},
      {"ellipse 1 1 0 2 #000000\n", "test.art:1: x radius must be above 0"},
      {"arc 8 8 4 1 90 10 #000000\n", "test.art:1: the end angle must come after the start angle"},
      {"line 0 0 4 4 1 #000000 extra\n", "test.art:1: unexpected 'extra'"},
      {"rect nan 0 4 4 #000000\n", "test.art:1: bad coordinate 'nan'"},
      {"star 8 8 6 3 2.5 0 #000000\n", "test.art:1: point count must be a whole number from 3 to 64"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    try {
      ParseDrawing(c.source, "test.art");
      ADD_FAILURE() << "accepted";
    } catch (const SourceError& e) {
      EXPECT_EQ(c.message, std::string(e.what()));
    }
  }
}

TEST(ImageGen, IconFileIsLaidOutAsWindowsReadsIt) {
  Image a = Draw("canvas 16 16\nrect 0 0 16 8 #102030\n", 16, 16);  // top half opaque
  Image b = Draw("canvas 16 16\nrect 0 0 16 16 #FFFFFF\n", 32, 32);
  std::vector<uint8_t> ico = EncodeIco({a, b});
  EXPECT_EQ(0u, U16(ico, 0));
  EXPECT_EQ(1u, U16(ico, 2)) << "type: icon";
  ASSERT_EQ(2u, U16(ico, 4));
  size_t end = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    const size_t e = 6 + 16 * i;
    const int size = i == 0 ? 16 : 32;
    SCOPED_TRACE(size);
    EXPECT_EQ(size, ico[e]);
    EXPECT_EQ(size, ico[e + 1]);
    EXPECT_EQ(32u, U16(ico, e + 6)) << "bits per pixel";
    const uint32_t bytes = U32(ico, e + 8), offset = U32(ico, e + 12);
    EXPECT_EQ(end, offset) << "images follow one another";
    const uint32_t mask = ((size + 31) / 32) * 4 * size;
    EXPECT_EQ(40u + size * size * 4 + mask, bytes);
    EXPECT_EQ(40u, U32(ico, offset));
    EXPECT_EQ(static_cast<uint32_t>(size * 2), U32(ico, offset + 8)) << "height counts the mask too";
    end = offset + bytes;
  }
  EXPECT_EQ(end, ico.size());

  // First image: rows are stored bottom up, pixels as B, G, R, A; the mask marks the empty half.
  const size_t pixels = U32(ico, 6 + 12) + 40;
  EXPECT_EQ(0, ico[pixels + 3]) << "first stored row is the bottom one, which is empty";
  const size_t topRow = pixels + 15 * 16 * 4;
  EXPECT_EQ((std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF}), std::vector<uint8_t>(ico.begin() + topRow, ico.begin() + topRow + 4));
  const size_t maskStart = pixels + 16 * 16 * 4;
  EXPECT_EQ(0xFF, ico[maskStart]) << "bottom row transparent";
  EXPECT_EQ(0x00, ico[maskStart + 15 * 4]) << "top row opaque";

  // As the program reads a picture: the directory as an icon group's (14-byte entries numbered
  // from 1) for the system to choose from, then the image chosen; a file cut short gives neither.
  const std::vector<uint8_t> group = IconGroupDirectory(ico);
  ASSERT_EQ(6u + 2 * 14, group.size());
  EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 22, ico.begin() + 34), std::vector<uint8_t>(group.begin() + 20, group.begin() + 32));
  EXPECT_EQ(2u, U16(group, 6 + 14 + 12));
  EXPECT_EQ(std::vector<uint8_t>(ico.begin() + U32(ico, 22 + 12), ico.end()), IconFileImage(ico, 2));
  EXPECT_TRUE(IconGroupDirectory(std::vector<uint8_t>(ico.begin(), ico.end() - 1)).empty());
}

// From the size IcoFormat names, images are stored with 256 colours: a third of the room.
TEST(ImageGen, LargerIconImagesTakeAPaletteWithTheCoverageOfEachColour) {
  Image small = Draw("canvas 16 16\nrect 0 0 16 16 #FF0000\n", 16, 16);
  // Opaque top half: a left to right gradient of far more than 256 colours; a quarter-covered
  // column at x = 24.. on the bottom half; the rest empty.
  Image big = Draw("canvas 64 64\nrect 0 0 64 32 #000000|#FFFFFF\nrect 32 32 64 64 #FF000040\n", 64, 64);
  IcoFormat format;
  format.paletteFrom = 32;
  const std::vector<uint8_t> ico = EncodeIco({small, big}, format);
  EXPECT_EQ(32u, U16(ico, 6 + 6)) << "16 pixels keep their alpha";
  ASSERT_EQ(8u, U16(ico, 6 + 16 + 6));
  EXPECT_EQ(0, ico[6 + 16 + 2]) << "a colour count of 0 means 256";
  const uint32_t offset = U32(ico, 6 + 16 + 12);
  const uint32_t stride = 64, maskStride = 8;
  EXPECT_EQ(40u + 256 * 4 + stride * 64 + maskStride * 64, U32(ico, 6 + 16 + 8));
  EXPECT_EQ(ico.size(), offset + U32(ico, 6 + 16 + 8));
  EXPECT_EQ(8u, U16(ico, offset + 14));
  EXPECT_EQ(128u, U32(ico, offset + 8)) << "height counts the mask too";

  const size_t palette = offset + 40, pixels = palette + 256 * 4, mask = pixels + stride * 64;
  auto colour = [&](int index) {
    const size_t at = palette + 4 * static_cast<size_t>(index);
    return static_cast<uint32_t>(ico[at + 2] << 16 | ico[at + 1] << 8 | ico[at]);
  };
  auto indexAt = [&](int x, int y) { return static_cast<int>(ico[pixels + static_cast<size_t>(63 - y) * stride + x]); };
  auto masked = [&](int x, int y) { return (ico[mask + static_cast<size_t>(63 - y) * maskStride + x / 8] & (0x80 >> (x % 8))) != 0; };
  EXPECT_EQ(0u, colour(0)) << "entry 0 is black, under the transparent pixels";
  EXPECT_EQ(0, ico[palette + 3]) << "and covers nothing";
  // The empty quarter: transparent, index 0. The faint one (a quarter covered) is left out
  // like the 32-bit mask leaves it out.
  EXPECT_TRUE(masked(5, 40));
  EXPECT_EQ(0, indexAt(5, 40));
  EXPECT_TRUE(masked(40, 40));
  // The gradient row: no colour further from its pixel than the 256 boxes allow, and in order.
  int previous = -1;
  for (int x = 0; x < 64; ++x) {
    EXPECT_FALSE(masked(x, 10));
    const uint32_t got = colour(indexAt(x, 10));
    const int grey = static_cast<int>(got & 0xFF);
    EXPECT_EQ(got, static_cast<uint32_t>(grey * 0x010101)) << "a grey stays grey at x " << x;
    EXPECT_NEAR(big.At(x, 10)[0], grey, 3) << x;
    EXPECT_EQ(255, ico[palette + 4 * static_cast<size_t>(indexAt(x, 10)) + 3]) << "fully covered";
    EXPECT_GE(grey, previous);
    previous = grey;
  }
  EXPECT_EQ(EncodeIco({small, big}, format), ico) << "the same bytes every time";
}

TEST(ImageGen, AnImageOfThousandsOfColoursIsStoredWithTheNearestOfTwoHundredAndFiftyFive) {
  // Red rising down the picture under green rising across it: 4096 colours.
  Image img = Draw("canvas 64 64\nrect 0 0 64 64 #000000/#FF0000\nrect 0 0 64 64 #00000080|#00FF0080\n", 64, 64);
  std::map<uint32_t, int> distinct;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ++distinct[img.At(x, y)[0] << 16 | img.At(x, y)[1] << 8 | img.At(x, y)[2]];
  ASSERT_GT(distinct.size(), 1000u);
  IcoFormat format;
  format.paletteFrom = 32;
  const std::vector<uint8_t> ico = EncodeIco({img}, format);
  const size_t palette = U32(ico, 6 + 12) + 40, pixels = palette + 256 * 4;
  int worst = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const size_t at = palette + 4 * static_cast<size_t>(ico[pixels + static_cast<size_t>(63 - y) * 64 + x]);
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(static_cast<int>(img.At(x, y)[c]) - ico[at + 2 - c]));
    }
  }
  EXPECT_LE(worst, 12) << "no pixel more than a few steps from its colour";
}

// A 256-colour image keeps a partly covered pixel's own colour and its coverage; the program's
// picture loader (ui/icon_image.h) then shows it on the system's face colour, or with its alpha.
TEST(ImageGen, PaletteImagesKeepTheCoverageThatTheLoaderBlendsOrTurnsIntoAlpha) {
  // A 32-pixel square, red at three quarters cover.
  Image img = Draw("canvas 32 32\nrect 0 0 32 32 #FF0000C0\n", 32, 32);
  IcoFormat format;
  format.paletteFrom = 32;
  const std::vector<uint8_t> ico = EncodeIco({img}, format);
  const std::vector<uint8_t> image(ico.begin() + U32(ico, 6 + 12), ico.end());
  const size_t at = 40 + 4 * static_cast<size_t>(image[40 + 256 * 4]);
  EXPECT_EQ((std::vector<uint8_t>{0x00, 0x00, 0xFF, 0xC0}), std::vector<uint8_t>(image.begin() + at, image.begin() + at + 4));
  // The face as GetSysColor gives it; blue, green, red and alpha of the first pixel shown.
  const struct { uint32_t face; bool alphaDrawn; std::vector<uint8_t> pixel; uint32_t bits; } cases[] = {
      {0xC8D0D4, false, {0x31, 0x33, 0xF4, 0x00}, 8},   // Windows 2000: 0xD4D0C8
      {0xC8D0D4, true, {0x00, 0x00, 0xFF, 0xC0}, 32},  // XP and later: the alpha, whatever the face
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.face);
    std::vector<uint8_t> shown = image;
    ASSERT_TRUE(AdaptIconImage(shown, c.face, c.alphaDrawn));
    EXPECT_EQ(c.bits, U16(shown, 14));
    const size_t first = c.bits == 8 ? 40 + 4 * static_cast<size_t>(shown[40 + 256 * 4]) : 40;
    EXPECT_EQ(c.pixel, std::vector<uint8_t>(shown.begin() + first, shown.begin() + first + 4));
    if (c.bits == 8) {
      EXPECT_EQ(0u, U32(shown, 40)) << "entry 0 stays the transparent black";
    }
  }
  std::vector<uint8_t> small = EncodeIco({Draw("canvas 16 16\nrect 0 0 16 16 #FF0000C0\n", 16, 16)});
  small.erase(small.begin(), small.begin() + 22);
  EXPECT_FALSE(AdaptIconImage(small, 0xC0C0C0, false)) << "32-bit images are left to the system";
}

// A packed picture is smaller and unpacks to exactly the plain image; runs cut short leave it as
// it was.
TEST(ImageGen, PackedImagesUnpackToThePlainOnes) {
  for (int size : {16, 48}) {  // 32-bit, and 256 colours
    SCOPED_TRACE(size);
    const Image img = Draw("canvas 32 32\nellipse 16 16 12 9 #3060C0 stroke 2 #000000\n", size, size);
    IcoFormat format;
    format.paletteFrom = 32;
    const std::vector<uint8_t> ico = EncodeIco({img}, format);
    format.packed = true;
    const std::vector<uint8_t> packedIco = EncodeIco({img}, format);
    std::vector<uint8_t> packed(packedIco.begin() + 22, packedIco.end());
    EXPECT_LT(packed.size() * 2, ico.size() - 22);
    EXPECT_TRUE(MaskFaults(packedIco).empty());
    for (size_t cut : {size_t{1}, packed.size() / 2}) {
      std::vector<uint8_t> damaged(packed.begin(), packed.end() - static_cast<long>(cut));
      EXPECT_FALSE(UnpackIconImage(damaged));
      EXPECT_EQ(packed.size() - cut, damaged.size());
    }
    ASSERT_TRUE(UnpackIconImage(packed));
    EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 22, ico.end()), packed);
  }
}

// A system that draws an icon with its mask XORs the colour of each pixel the mask leaves out.
TEST(ImageGen, PixelsTheMaskLeavesOutAreBlackAndTheCheckFindsThoseThatAreNot) {
  // Opaque red; a white and a black pixel a quarter covered: both black under the mask, the
  // black one keeping its shade for the systems that draw the alpha channel.
  Image img = Draw("canvas 3 1\nrect 0 0 1 1 #FF0000\nrect 1 0 2 1 #FFFFFF40\nrect 2 0 3 1 #00000040\n", 3, 1);
  const std::vector<uint8_t> ico = EncodeIco({img});
  const size_t pixels = U32(ico, 6 + 12) + 40;
  EXPECT_EQ((std::vector<uint8_t>{0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x40}),
            std::vector<uint8_t>(ico.begin() + pixels, ico.begin() + pixels + 12));
  IcoFormat palette;
  palette.paletteFrom = 1;
  const std::vector<uint8_t> ico8 = EncodeIco({img}, palette);
  const size_t indexes = U32(ico8, 6 + 12) + 40 + 1024;
  IcoFormat packing;
  packing.packed = true;
  const std::vector<uint8_t> packed = EncodeIco({img}, packing);
  // Bytes changed in an icon that the generator made, and what the check then finds; `plain` for
  // an icon the system reads (an icon group's), which must be neither packed nor PNG.
  const struct { const std::vector<uint8_t>& file; size_t at; std::string bytes; bool plain; std::vector<std::string> faults; } cases[] = {
      {ico, pixels + 4, "\x01", false, {"image 1 (3 px, 32 bits): 1 transparent pixels are not black"}},
      {ico8, indexes + 2, std::string(1, static_cast<char>(ico8[indexes])), false, {"image 1 (3 px, 8 bits): 1 transparent pixels are not black"}},
      {ico, 6 + 12, "\xF0", false, {"image 1 (0 px, 0 bits): cannot be read"}},
      {ico, 22 + 16, "\x02", true, {"image 1 (3 px, 32 bits): cannot be read"}},  // BI_RLE4
      {packed, 0, "", false, {}},
      {packed, 0, "", true, {"image 1: packed, which only the program unpacks"}},
      {ico, 22, "\x89PNG", true, {"image 1: PNG, which Windows draws only from Vista on"}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> file = c.file;
    std::copy(c.bytes.begin(), c.bytes.end(), file.begin() + static_cast<long>(c.at));
    EXPECT_EQ(c.faults, MaskFaults(file, c.plain)) << c.at;
  }
}

TEST(ImageGen, BitmapRowsArePaddedAndTransparencyIsWhite) {
  Image img = Draw("canvas 121 32\nrect 0 0 1 32 #000000\n", 121, 32);
  std::vector<uint8_t> bmp = EncodeBmp(img);
  EXPECT_EQ('B', bmp[0]);
  EXPECT_EQ('M', bmp[1]);
  const uint32_t stride = 364;  // 121 * 3 rounded up to a multiple of 4
  EXPECT_EQ(14u + 40u + stride * 32, bmp.size());
  EXPECT_EQ(bmp.size(), U32(bmp, 2));
  EXPECT_EQ(54u, U32(bmp, 10));
  EXPECT_EQ(24u, U16(bmp, 14 + 14));
  EXPECT_EQ(0, bmp[54]) << "the black column";
  EXPECT_EQ(255, bmp[54 + 3]) << "then white where nothing was drawn";
}

TEST(ImageGen, ManifestFaultsAreRefused) {
  const char* bad[] = {
      "IDI_A icon 16 a.png\n",
      "IDI_A vector 16 a.art\n",
      "IDI_A icon 0 a.art\n",
      "IDI_A icon 300 a.art\n",
      "IDB_B bitmap 121x32 16 b.art\n",
      "idi_lower icon 16 a.art\n",
      "IDI_A icon 16 a.art\nIDI_A icon 32 a.art\n",
      "IDI_A icon 16=../x.art a.art\n",
      "IDI_A icon a.art\n",
  };
  for (const char* m : bad) {
    SCOPED_TRACE(m);
    EXPECT_THROW(ParseManifest(m, "images.txt"), SourceError);
  }
  auto ok = ParseManifest("; comment\nIDI_X icon 16=small.art 32 x.art\nIDB_Y bitmap 121x32 y.art\nIDP_Z picture 16 z.art", "m");
  ASSERT_EQ(3u, ok.size());
  EXPECT_EQ("idi_x.ico", ok[0].FileName());
  EXPECT_EQ("small.art", ok[0].sizes[0].art);
  EXPECT_EQ("", ok[0].sizes[1].art);
  EXPECT_EQ(121, ok[1].sizes[0].width);
  EXPECT_EQ(32, ok[1].sizes[0].height);
  EXPECT_EQ("IDI_X ICON \"idi_x.ico\"\nIDB_Y BITMAP \"idb_y.bmp\"\nIDP_Z PICTURE \"idp_z.ico\"\n",
            ResourceScript(ok).substr(ResourceScript(ok).find('\n') + 1));
}

// The window loads square pictures and button pictures as icons at their size and the one
// wide picture as a bitmap; a picture missing from the manifest would leave a blank control
// without any build error.
TEST(ImageGen, ShippedManifestDrawsEveryPictureOfTheProgram) {
  const std::string root = SourceTree();
  const std::string header = ReadFile(root + "/src/app/win32/resource.h");
  ASSERT_FALSE(header.empty());
  std::map<std::string, bool> ids;
  std::regex define(R"(#define\s+((IDI|IDB)_[A-Z0-9_]+)\s)");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), define); it != std::sregex_iterator(); ++it)
    ids[(*it)[1]] = false;
  ASSERT_GE(ids.size(), 29u);

  const auto entries = ParseManifest(ReadFile(root + "/resources/images.txt"), "images.txt");
  for (const ManifestEntry& e : entries) {
    SCOPED_TRACE(e.name);
    ASSERT_TRUE(ids.count(e.name)) << "not an id of resource.h";
    ids[e.name] = true;
    const bool wide = e.name == "IDB_SYSINFO_DECOR";
    EXPECT_EQ(!wide, e.icon);
    EXPECT_EQ(!wide && e.name != "IDI_KEELBROOK", e.picture) << "the shell lists every icon group of the file";
    const int needed = wide ? 121 : (e.name.rfind("IDB_", 0) == 0 && e.name != "IDB_UNINSTALL_DECOR") ? 16 : 32;
    bool hasNeeded = false;
    for (const auto& s : e.sizes) hasNeeded = hasNeeded || s.width == needed;
    EXPECT_TRUE(hasNeeded) << "no " << needed << "-pixel image";
    if (e.name == "IDI_KEELBROOK") {
      bool small = false;
      for (const auto& s : e.sizes) small = small || s.width == 16;
      EXPECT_TRUE(small) << "the title bar needs 16 pixels";
    }
    // Each drawing once, at the first size it is used for: enough to prove it draws.
    auto artOf = [&](size_t i) { return e.sizes[i].art.empty() ? e.art : e.sizes[i].art; };
    for (size_t i = 0; i < e.sizes.size(); ++i) {
      if (i > 0 && artOf(i) == artOf(i - 1)) continue;
      const auto& s = e.sizes[i];
      const std::string art = root + "/resources/art/" + artOf(i);
      Image img = Render(ParseDrawing(ReadFile(art), art), s.width, s.height);
      size_t opaque = 0;
      for (size_t i = 3; i < img.rgba.size(); i += 4) opaque += img.rgba[i] == 255;
      EXPECT_GT(opaque, img.rgba.size() / 4 / 20) << s.width << " px: hardly anything drawn";
    }
  }
  for (const auto& id : ids) EXPECT_TRUE(id.second) << id.first << " has no picture";
}

}  // namespace
