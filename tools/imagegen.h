#pragma once
// The picture maker behind keelbrook.exe's icons and bitmaps. Every picture is a short drawing in
// a text file (resources/art/*.art): filled and stroked shapes in a coordinate space of its own,
// painted in order, anti-aliased by 8 x 8 samples per pixel. The same drawing renders at each
// size an icon carries. A manifest (resources/images.txt) names each resource, its kind and
// sizes and its drawing; the build turns it into .ico and .bmp files and the images.rc that
// lists them.
//
// Drawing commands, one per line; ";" starts a comment, numbers may have fractions:
//   canvas W H                                  the coordinate space (default 32 32)
//   background PAINT                            a bitmap's backdrop (icons stay transparent)
//   wave AMP PERIOD PHASE | wave off            shapes that follow ripple up and down along x
//   clip SHAPE... | clip off                    shapes that follow paint only inside this one
//                                               (written as a shape command, fill "none")
//   rect X0 Y0 X1 Y1 FILL [stroke W PAINT]
//   rrect X0 Y0 X1 Y1 R FILL [stroke W PAINT]   rounded corners of radius R
//   ellipse CX CY RX RY FILL [rotate DEG] [stroke W PAINT]
//   ring CX CY RX RY W PAINT [rotate DEG]       an ellipse outline W wide, centred on RX/RY
//   poly FILL X Y X Y ... [stroke W PAINT]      even-odd fill, so a loop drawn inside cuts a hole
//   star CX CY R1 R2 N DEG FILL [stroke W PAINT]  N points of radius R1, dents at R2
//   line X0 Y0 X1 Y1 W PAINT                    round ends
//   polyline W PAINT X Y X Y ...
//   arc CX CY R W A0 A1 PAINT                   degrees, 0 east, turning clockwise (y grows down)
// PAINT and FILL: #RRGGBB or #RRGGBBAA; A/B for a gradient top to bottom over the shape, A|B for
// left to right, A*B from a highlight near the top left outwards; "clear" erases what is under
// the shape; FILL may also be "none".
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/icon_image.h"

namespace imagegen {

// A problem in a source file, with where it was found.
class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;  // 0..1, straight (not premultiplied) alpha
};

struct Paint {
  enum Kind { None, Solid, Vertical, Horizontal, Radial, Clear } kind = None;
  Rgba from, to;
};

struct Vec {
  double x = 0, y = 0;
};

struct Shape {
  enum Kind { Box, Ellipse, Polygon, Capsules, Arc } kind = Box;
  // Box: x0 y0 x1 y1 radius. Ellipse: cx cy rx ry angle(rad). Arc: cx cy r halfWidth a0 a1.
  // Capsules: halfWidth.
  double p[6] = {0, 0, 0, 0, 0, 0};
  std::vector<Vec> points;  // Polygon corners, Capsules joints
  Paint fill, stroke;
  double strokeWidth = 0;
  double waveAmp = 0, wavePeriod = 1, wavePhase = 0;  // the ripple in force when it was drawn
  double bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;          // bounds, for gradients
  int clip = -1;                                      // Drawing::clips index, or none
};

struct Drawing {
  double width = 32, height = 32;
  Paint background;
  std::vector<Shape> shapes;
  std::vector<Shape> clips;  // outlines that limit where the shapes after them paint
};

// 8-bit straight-alpha RGBA pixels, rows top to bottom.
struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

namespace detail {

constexpr double kPi = 3.14159265358979323846;

inline std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line) + ": "; }

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline bool ParseColour(const std::string& s, Rgba& out) {
  if ((s.size() != 7 && s.size() != 9) || s[0] != '#') return false;
  int v[4] = {0, 0, 0, 255};
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    v[i / 2] = hi * 16 + lo;
  }
  out = {v[0] / 255.0, v[1] / 255.0, v[2] / 255.0, v[3] / 255.0};
  return true;
}

inline bool ParsePaint(const std::string& s, Paint& out, bool allowNone) {
  if (s == "none") {
    out = Paint{};
    return allowNone;
  }
  if (s == "clear") {
    out = Paint{};
    out.kind = Paint::Clear;
    return true;
  }
  size_t split = s.find_first_of("/|*");
  if (split == std::string::npos) {
    out.kind = Paint::Solid;
    return ParseColour(s, out.from) && (out.to = out.from, true);
  }
  out.kind = s[split] == '/' ? Paint::Vertical : s[split] == '|' ? Paint::Horizontal : Paint::Radial;
  return ParseColour(s.substr(0, split), out.from) && ParseColour(s.substr(split + 1), out.to);
}

inline bool ParseNumber(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out) && std::fabs(out) < 1e6;
}

// Reads the tokens of one command line.
class Tokens {
 public:
  Tokens(std::vector<std::string> t, std::string where) : t_(std::move(t)), where_(std::move(where)) {}
  bool More() const { return i_ < t_.size(); }
  const std::string& Peek() const { return t_[i_]; }
  [[noreturn]] void Fail(const std::string& what) const { throw SourceError(where_ + what); }
  std::string Word(const char* what) {
    if (!More()) Fail(std::string("missing ") + what);
    return t_[i_++];
  }
  double Number(const char* what) {
    std::string s = Word(what);
    double v = 0;
    if (!ParseNumber(s, v)) Fail(std::string("bad ") + what + " '" + s + "'");
    return v;
  }
  double Positive(const char* what) {
    double v = Number(what);
    if (v <= 0) Fail(std::string(what) + " must be above 0");
    return v;
  }
  Paint PaintOf(const char* what, bool allowNone) {
    std::string s = Word(what);
    Paint p;
    if (!ParsePaint(s, p, allowNone)) Fail(std::string("bad ") + what + " '" + s + "'");
    return p;
  }
  // Pairs of numbers up to the next keyword or the end.
  std::vector<Vec> Points(size_t atLeast) {
    std::vector<Vec> pts;
    double x = 0;
    while (More() && ParseNumber(Peek(), x)) {
      ++i_;
      pts.push_back({x, Number("y coordinate")});
    }
    if (pts.size() < atLeast) Fail("needs at least " + std::to_string(atLeast) + " points");
    return pts;
  }
  void End() const {
    if (More()) Fail("unexpected '" + t_[i_] + "'");
  }

 private:
  std::vector<std::string> t_;
  std::string where_;
  size_t i_ = 0;
};

inline void Options(Tokens& t, Shape& s, bool allowRotate, bool allowStroke) {
  while (t.More()) {
    std::string w = t.Word("option");
    if (w == "stroke" && allowStroke) {
      s.strokeWidth = t.Positive("stroke width");
      s.stroke = t.PaintOf("stroke paint", false);
    } else if (w == "rotate" && allowRotate) {
      s.p[4] = t.Number("angle") * kPi / 180;
    } else {
      t.Fail("unexpected '" + w + "'");
    }
  }
}

inline void Bounds(Shape& s) {
  double m = 0;
  switch (s.kind) {
    case Shape::Box:
      s.bx0 = std::min(s.p[0], s.p[2]), s.bx1 = std::max(s.p[0], s.p[2]);
      s.by0 = std::min(s.p[1], s.p[3]), s.by1 = std::max(s.p[1], s.p[3]);
      break;
    case Shape::Ellipse: {
      double r = std::max(s.p[2], s.p[3]);
      s.bx0 = s.p[0] - r, s.bx1 = s.p[0] + r, s.by0 = s.p[1] - r, s.by1 = s.p[1] + r;
      if (s.p[4] == 0) s.bx0 = s.p[0] - s.p[2], s.bx1 = s.p[0] + s.p[2], s.by0 = s.p[1] - s.p[3], s.by1 = s.p[1] + s.p[3];
      break;
    }
    case Shape::Arc:
      s.bx0 = s.p[0] - s.p[2], s.bx1 = s.p[0] + s.p[2], s.by0 = s.p[1] - s.p[2], s.by1 = s.p[1] + s.p[2];
      m = s.p[3];
      break;
    case Shape::Polygon:
    case Shape::Capsules:
      s.bx0 = s.bx1 = s.points[0].x, s.by0 = s.by1 = s.points[0].y;
      for (const Vec& v : s.points) {
        s.bx0 = std::min(s.bx0, v.x), s.bx1 = std::max(s.bx1, v.x);
        s.by0 = std::min(s.by0, v.y), s.by1 = std::max(s.by1, v.y);
      }
      if (s.kind == Shape::Capsules) m = s.p[0];
      break;
  }
  s.bx0 -= m, s.by0 -= m, s.bx1 += m, s.by1 += m;
}

// One shape command after its name.
inline void ParseShape(Tokens& t, const std::string& cmd, Shape& s) {
  if (cmd == "rect" || cmd == "rrect") {
    s.kind = Shape::Box;
    for (int i = 0; i < 4; ++i) s.p[i] = t.Number("coordinate");
    if (cmd == "rrect") s.p[4] = t.Number("radius");
    if (s.p[4] < 0) t.Fail("negative radius");
    s.fill = t.PaintOf("fill", true);
    Options(t, s, false, true);
  } else if (cmd == "ellipse" || cmd == "ring") {
    s.kind = Shape::Ellipse;
    s.p[0] = t.Number("centre x");
    s.p[1] = t.Number("centre y");
    s.p[2] = t.Positive("x radius");
    s.p[3] = t.Positive("y radius");
    if (cmd == "ring") {
      s.strokeWidth = t.Positive("ring width");
      s.stroke = t.PaintOf("paint", false);
      Options(t, s, true, false);
    } else {
      s.fill = t.PaintOf("fill", true);
      Options(t, s, true, true);
    }
  } else if (cmd == "poly") {
    s.kind = Shape::Polygon;
    s.fill = t.PaintOf("fill", true);
    s.points = t.Points(3);
    Options(t, s, false, true);
  } else if (cmd == "star") {
    s.kind = Shape::Polygon;
    double cx = t.Number("centre x"), cy = t.Number("centre y");
    double r1 = t.Positive("outer radius"), r2 = t.Positive("inner radius");
    double n = t.Number("point count");
    if (n < 3 || n > 64 || n != std::floor(n)) t.Fail("point count must be a whole number from 3 to 64");
    double start = t.Number("angle") * kPi / 180;
    for (int i = 0; i < 2 * static_cast<int>(n); ++i) {
      double a = start + i * kPi / n, r = i % 2 ? r2 : r1;
      s.points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    s.fill = t.PaintOf("fill", true);
    Options(t, s, false, true);
  } else if (cmd == "line") {
    s.kind = Shape::Capsules;
    Vec a{t.Number("x0"), t.Number("y0")}, b{t.Number("x1"), t.Number("y1")};
    s.points = {a, b};
    s.p[0] = t.Positive("width") / 2;
    s.fill = t.PaintOf("paint", false);
    t.End();
  } else if (cmd == "polyline") {
    s.kind = Shape::Capsules;
    s.p[0] = t.Positive("width") / 2;
    s.fill = t.PaintOf("paint", false);
    s.points = t.Points(2);
    t.End();
  } else if (cmd == "arc") {
    s.kind = Shape::Arc;
    s.p[0] = t.Number("centre x");
    s.p[1] = t.Number("centre y");
    s.p[2] = t.Positive("radius");
    s.p[3] = t.Positive("width") / 2;
    s.p[4] = t.Number("start angle") * kPi / 180;
    s.p[5] = t.Number("end angle") * kPi / 180;
    if (s.p[5] <= s.p[4]) t.Fail("the end angle must come after the start angle");
    s.fill = t.PaintOf("paint", false);
    t.End();
  } else {
    t.Fail("unknown command '" + cmd + "'");
  }
}

}  // namespace detail

// Parses a drawing; `file` names it in error messages.
inline Drawing ParseDrawing(const std::string& text, const std::string& file) {
  using namespace detail;
  Drawing d;
  double waveAmp = 0, wavePeriod = 1, wavePhase = 0;
  int clip = -1;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    raw = raw.substr(0, raw.find(';'));
    std::istringstream words(raw);
    std::vector<std::string> tokens;
    for (std::string w; words >> w;) tokens.push_back(w);
    if (tokens.empty()) continue;
    Tokens t(tokens, Where(file, lineNo));
    const std::string cmd = t.Word("command");
    Shape s;
    if (cmd == "canvas") {
      d.width = t.Positive("width");
      d.height = t.Positive("height");
      if (d.width > 1024 || d.height > 1024) t.Fail("canvas larger than 1024");
      t.End();
      continue;
    }
    if (cmd == "background") {
      d.background = t.PaintOf("paint", false);
      if (d.background.kind != Paint::Solid) t.Fail("a background is one plain colour");
      t.End();
      continue;
    }
    if (cmd == "wave") {
      if (t.More() && t.Peek() == "off") {
        t.Word("off");
        waveAmp = 0;
      } else {
        waveAmp = t.Number("amplitude");
        wavePeriod = t.Positive("period");
        wavePhase = t.Number("phase") * kPi / 180;
      }
      t.End();
      continue;
    }
    if (cmd == "clip") {
      if (t.More() && t.Peek() == "off") {
        t.Word("off");
        t.End();
        clip = -1;
        continue;
      }
      Shape c;
      ParseShape(t, t.Word("clip shape"), c);
      Bounds(c);
      d.clips.push_back(std::move(c));
      clip = static_cast<int>(d.clips.size()) - 1;
      continue;
    }
    ParseShape(t, cmd, s);
    if (s.fill.kind == Paint::None && s.stroke.kind == Paint::None) t.Fail("the shape paints nothing");
    s.waveAmp = waveAmp, s.wavePeriod = wavePeriod, s.wavePhase = wavePhase;
    s.clip = clip;
    Bounds(s);
    d.shapes.push_back(std::move(s));
  }
  return d;
}

namespace detail {

inline double Length(double x, double y) { return std::sqrt(x * x + y * y); }

inline double SegmentDistance(Vec p, Vec a, Vec b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
  return Length(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Signed distance from the shape's outline: negative inside.
inline double Distance(const Shape& s, Vec p) {
  switch (s.kind) {
    case Shape::Box: {
      double cx = (s.p[0] + s.p[2]) / 2, cy = (s.p[1] + s.p[3]) / 2;
      double hx = std::fabs(s.p[2] - s.p[0]) / 2, hy = std::fabs(s.p[3] - s.p[1]) / 2;
      double r = std::min(s.p[4], std::min(hx, hy));
      double qx = std::fabs(p.x - cx) - hx + r, qy = std::fabs(p.y - cy) - hy + r;
      return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
    }
    case Shape::Ellipse: {
      double c = std::cos(s.p[4]), sn = std::sin(s.p[4]);
      double dx = p.x - s.p[0], dy = p.y - s.p[1];
      double x = dx * c + dy * sn, y = -dx * sn + dy * c;
      double rx = s.p[2], ry = s.p[3];
      // A close estimate that stays even in width along the outline of a flat ellipse.
      double k0 = Length(x / rx, y / ry), k1 = Length(x / (rx * rx), y / (ry * ry));
      if (k1 == 0) return -std::min(rx, ry);
      return k0 * (k0 - 1) / k1;
    }
    case Shape::Polygon: {
      double d = 1e9;
      bool inside = false;
      const std::vector<Vec>& v = s.points;
      for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        d = std::min(d, SegmentDistance(p, v[j], v[i]));
        if ((v[i].y > p.y) != (v[j].y > p.y) && p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
          inside = !inside;
      }
      return inside ? -d : d;
    }
    case Shape::Capsules: {
      double d = 1e9;
      for (size_t i = 1; i < s.points.size(); ++i) d = std::min(d, SegmentDistance(p, s.points[i - 1], s.points[i]));
      return d - s.p[0];
    }
    case Shape::Arc: {
      double dx = p.x - s.p[0], dy = p.y - s.p[1];
      double a = std::atan2(dy, dx);
      // Bring the angle into the arc's turn, so arcs may start below 0 or run past 360.
      a = s.p[4] + std::fmod(std::fmod(a - s.p[4], 2 * kPi) + 2 * kPi, 2 * kPi);
      if (a <= s.p[5]) return std::fabs(Length(dx, dy) - s.p[2]) - s.p[3];
      Vec e0{s.p[0] + s.p[2] * std::cos(s.p[4]), s.p[1] + s.p[2] * std::sin(s.p[4])};
      Vec e1{s.p[0] + s.p[2] * std::cos(s.p[5]), s.p[1] + s.p[2] * std::sin(s.p[5])};
      return std::min(Length(p.x - e0.x, p.y - e0.y), Length(p.x - e1.x, p.y - e1.y)) - s.p[3];
    }
  }
  return 1e9;
}

inline Rgba Mix(const Rgba& a, const Rgba& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

inline Rgba PaintAt(const Paint& paint, const Shape& s, Vec p, double grow) {
  double x0 = s.bx0 - grow, y0 = s.by0 - grow, x1 = s.bx1 + grow, y1 = s.by1 + grow;
  double w = std::max(x1 - x0, 1e-9), h = std::max(y1 - y0, 1e-9);
  switch (paint.kind) {
    case Paint::Vertical:
      return Mix(paint.from, paint.to, std::clamp((p.y - y0) / h, 0.0, 1.0));
    case Paint::Horizontal:
      return Mix(paint.from, paint.to, std::clamp((p.x - x0) / w, 0.0, 1.0));
    case Paint::Radial: {
      double hx = x0 + 0.35 * w, hy = y0 + 0.3 * h;
      return Mix(paint.from, paint.to, std::clamp(Length(p.x - hx, p.y - hy) / (0.8 * std::max(w, h)), 0.0, 1.0));
    }
    default:
      return paint.from;
  }
}

// Paints `src` over `dst` on `cover` of the pixel (both straight alpha).
inline void Over(Rgba& dst, const Paint& paint, Rgba src, double cover) {
  if (cover <= 0) return;
  if (paint.kind == Paint::Clear) {
    dst.a *= 1 - cover;
    return;
  }
  double sa = src.a * cover;
  double oa = sa + dst.a * (1 - sa);
  if (oa <= 0) {
    dst = Rgba{};
    return;
  }
  dst.r = (src.r * sa + dst.r * dst.a * (1 - sa)) / oa;
  dst.g = (src.g * sa + dst.g * dst.a * (1 - sa)) / oa;
  dst.b = (src.b * sa + dst.b * dst.a * (1 - sa)) / oa;
  dst.a = oa;
}

inline uint8_t Byte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

}  // namespace detail

// Renders the drawing at width x height pixels.
inline Image Render(const Drawing& d, int width, int height) {
  using namespace detail;
  constexpr int kSamples = 8;
  Image img;
  img.width = width;
  img.height = height;
  img.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  const double sx = d.width / width, sy = d.height / height;
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      Rgba out;
      if (d.background.kind == Paint::Solid) out = d.background.from;
      for (const Shape& s : d.shapes) {
        // Shapes that cannot reach this pixel are skipped without sampling.
        const double reach = s.strokeWidth / 2 + 1e-9, ripple = std::fabs(s.waveAmp);
        if ((px + 1) * sx < s.bx0 - reach || px * sx > s.bx1 + reach || (py + 1) * sy < s.by0 - reach - ripple ||
            py * sy > s.by1 + reach + ripple)
          continue;
        int inFill = 0, inStroke = 0;
        Vec centre{(px + 0.5) * sx, (py + 0.5) * sy};
        for (int j = 0; j < kSamples; ++j) {
          for (int i = 0; i < kSamples; ++i) {
            Vec p{(px + (i + 0.5) / kSamples) * sx, (py + (j + 0.5) / kSamples) * sy};
            if (s.clip >= 0 && Distance(d.clips[static_cast<size_t>(s.clip)], p) > 0) continue;
            if (s.waveAmp != 0) p.y -= s.waveAmp * std::sin(2 * kPi * p.x / s.wavePeriod + s.wavePhase);
            double dist = Distance(s, p);
            if (dist <= 0) ++inFill;
            if (s.strokeWidth > 0 && std::fabs(dist) <= s.strokeWidth / 2) ++inStroke;
          }
        }
        if (s.waveAmp != 0) centre.y -= s.waveAmp * std::sin(2 * kPi * centre.x / s.wavePeriod + s.wavePhase);
        const double n = kSamples * kSamples;
        if (s.fill.kind != Paint::None) Over(out, s.fill, PaintAt(s.fill, s, centre, 0), inFill / n);
        if (s.stroke.kind != Paint::None)
          Over(out, s.stroke, PaintAt(s.stroke, s, centre, s.strokeWidth / 2), inStroke / n);
      }
      uint8_t* o = &img.rgba[(static_cast<size_t>(py) * width + px) * 4];
      o[0] = Byte(out.r), o[1] = Byte(out.g), o[2] = Byte(out.b), o[3] = Byte(out.a);
      if (o[3] == 0) o[0] = o[1] = o[2] = 0;  // nothing to show: keep the bytes clean
    }
  }
  return img;
}

namespace detail {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
}

inline void AppendMask(std::vector<uint8_t>& b, const Image& img) {
  const uint32_t maskStride = ((static_cast<uint32_t>(img.width) + 31) / 32) * 4;
  for (int y = img.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < img.width; ++x)
      if (img.At(x, y)[3] < 128) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
}

// One 32-bit icon image: B, G, R, A rows bottom up, then the AND mask. The mask marks the pixels
// that are less than half covered, so that a system which ignores the alpha channel still shows
// the outline right. Such a system draws the colour of a pixel the mask leaves out by XOR onto
// the screen, so there the colour is black; what the pixel keeps for the systems that draw the
// alpha channel is the shade it casts (its alpha lowered by the colour's lightness), which
// keeps the soft edge of the dark outlines the pictures are drawn with.
inline std::vector<uint8_t> IcoBody32(const Image& img) {
  const uint32_t maskStride = ((static_cast<uint32_t>(img.width) + 31) / 32) * 4;
  const uint32_t xorSize = static_cast<uint32_t>(img.width) * img.height * 4;
  const uint32_t andSize = maskStride * img.height;
  std::vector<uint8_t> b;
  PutInfoHeader(b, img.width, img.height * 2, 32, xorSize + andSize);
  for (int y = img.height - 1; y >= 0; --y) {
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      if (p[3] >= 128) {
        b.insert(b.end(), {p[2], p[1], p[0], p[3]});
      } else {
        const uint32_t light = (299u * p[0] + 587u * p[1] + 114u * p[2]) / 1000;
        b.insert(b.end(), {0, 0, 0, static_cast<uint8_t>(p[3] * (255 - light) / 255)});
      }
    }
  }
  AppendMask(b, img);
  return b;
}

// Colours with their coverage packed as 0xAARRGGBB; channels 0 to 2 are red, green and blue, 3 is
// the coverage (alpha).
constexpr int kChannels = 4;
inline int ChannelShift(int c) { return c < 3 ? 16 - 8 * c : 24; }
inline uint32_t Channel(uint32_t colour, int c) { return (colour >> ChannelShift(c)) & 0xFF; }

// At most `room` colours that stand for `colours` (each with how many pixels use it): the
// colours themselves when there are few enough, otherwise median cut: the box of colours with
// the widest spread on one channel is split at its median pixel until there are `room` boxes,
// and each box gives the mean of its pixels. Fully deterministic, so that two builds give the
// same bytes.
inline std::vector<uint32_t> ChoosePalette(std::vector<std::pair<uint32_t, uint32_t>> colours, size_t room) {
  std::vector<uint32_t> palette;
  if (colours.size() <= room) {
    for (const auto& c : colours) palette.push_back(c.first);
    return palette;
  }
  struct Box {
    size_t begin, end;  // a range of `colours`
  };
  auto spread = [&](const Box& box, int& widest) {
    uint32_t best = 0;
    widest = 0;
    for (int c = 0; c < kChannels; ++c) {
      uint32_t lo = 255, hi = 0;
      for (size_t i = box.begin; i < box.end; ++i) {
        lo = std::min(lo, Channel(colours[i].first, c));
        hi = std::max(hi, Channel(colours[i].first, c));
      }
      if (hi - lo > best) best = hi - lo, widest = c;
    }
    return best;
  };
  std::vector<Box> boxes = {{0, colours.size()}};
  while (boxes.size() < room) {
    size_t pick = boxes.size();
    uint32_t widestSpread = 0;
    int channel = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      int c = 0;
      const uint32_t s = spread(boxes[b], c);
      if (s > widestSpread) widestSpread = s, pick = b, channel = c;
    }
    if (pick == boxes.size()) break;  // every box holds one colour
    Box box = boxes[pick];
    std::sort(colours.begin() + static_cast<long>(box.begin), colours.begin() + static_cast<long>(box.end),
              [channel](const std::pair<uint32_t, uint32_t>& a, const std::pair<uint32_t, uint32_t>& b) {
                const uint32_t ka = Channel(a.first, channel), kb = Channel(b.first, channel);
                return ka != kb ? ka < kb : a.first < b.first;
              });
    uint64_t total = 0, half = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += colours[i].second;
    size_t cut = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
      half += colours[i].second;
      cut = i + 1;
      if (2 * half >= total) break;
    }
    boxes[pick] = {box.begin, cut};
    boxes.push_back({cut, box.end});
  }
  for (const Box& box : boxes) {
    uint64_t sum[kChannels] = {}, n = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
      for (int c = 0; c < kChannels; ++c)
        sum[c] += static_cast<uint64_t>(Channel(colours[i].first, c)) * colours[i].second;
      n += colours[i].second;
    }
    uint32_t mean = 0;
    for (int c = 0; c < kChannels; ++c) mean |= static_cast<uint32_t>((sum[c] + n / 2) / n) << ChannelShift(c);
    palette.push_back(mean);
  }
  return palette;
}

// One 256-colour icon image. Such an image has no alpha channel, so the colour table carries it:
// each entry holds a colour as drawn (not blended onto anything) and, in the byte that is
// otherwise left 0, how much of its pixels the drawing covers. The program blends the table onto
// the face colour of the system it runs on when it loads the picture (Windows before XP), or
// makes a 32-bit image of it (XP and later). Whatever else loads the image (the shell showing the
// program's icon) sees the plain colours inside the 32-bit image's mask. Entry 0 is black with
// no coverage: the colour of the transparent pixels, which the mask leaves as the screen was.
inline std::vector<uint8_t> IcoBody8(const Image& img) {
  std::vector<uint32_t> shown(static_cast<size_t>(img.width) * img.height, 0);
  std::vector<std::pair<uint32_t, uint32_t>> colours;
  {
    std::vector<uint32_t> sorted;
    for (int y = 0; y < img.height; ++y) {
      for (int x = 0; x < img.width; ++x) {
        const uint8_t* p = img.At(x, y);
        if (p[3] < 128) continue;
        const uint32_t c = static_cast<uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2];
        shown[static_cast<size_t>(y) * img.width + x] = c;
        sorted.push_back(c);
      }
    }
    std::sort(sorted.begin(), sorted.end());
    for (uint32_t c : sorted) {
      if (!colours.empty() && colours.back().first == c) ++colours.back().second;
      else colours.push_back({c, 1});
    }
  }
  std::vector<uint32_t> palette = {0};
  for (uint32_t c : ChoosePalette(colours, 255)) palette.push_back(c);
  palette.resize(256, 0);
  auto nearest = [&](uint32_t c) {
    size_t best = 0;
    uint32_t bestDistance = UINT32_MAX;
    for (size_t i = 1; i < palette.size(); ++i) {
      uint32_t d = 0;
      for (int k = 0; k < kChannels; ++k) {
        const int diff = static_cast<int>(Channel(c, k)) - static_cast<int>(Channel(palette[i], k));
        d += static_cast<uint32_t>(diff * diff);
      }
      if (d < bestDistance) bestDistance = d, best = i;
    }
    return static_cast<uint8_t>(best);
  };

  const uint32_t stride = (static_cast<uint32_t>(img.width) + 3) & ~3u;
  const uint32_t maskStride = ((static_cast<uint32_t>(img.width) + 31) / 32) * 4;
  std::vector<uint8_t> b;
  PutInfoHeader(b, img.width, img.height * 2, 8, stride * img.height + maskStride * img.height);
  for (uint32_t c : palette)
    b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16),
                       static_cast<uint8_t>(c >> 24)});
  for (int y = img.height - 1; y >= 0; --y) {
    const size_t start = b.size();
    for (int x = 0; x < img.width; ++x)
      b.push_back(img.At(x, y)[3] < 128 ? 0 : nearest(shown[static_cast<size_t>(y) * img.width + x]));
    b.resize(start + stride, 0);
  }
  AppendMask(b, img);
  return b;
}

// `units` units of `unit` bytes from `data` as runs (PackBits): repeats of two or more as one
// unit and a count, everything between as it is.
inline void PutRuns(std::vector<uint8_t>& out, const uint8_t* data, size_t units, size_t unit) {
  auto same = [&](size_t a, size_t b) { return std::equal(data + a * unit, data + (a + 1) * unit, data + b * unit); };
  for (size_t i = 0; i < units;) {
    size_t n = 1;
    while (i + n < units && n < 128 && same(i, i + n)) ++n;
    if (n > 1) {
      out.push_back(static_cast<uint8_t>(257 - n));
      out.insert(out.end(), data + i * unit, data + (i + 1) * unit);
    } else {
      while (i + n < units && n < 128 && !(i + n + 1 < units && same(i + n, i + n + 1))) ++n;
      out.push_back(static_cast<uint8_t>(n - 1));
      out.insert(out.end(), data + i * unit, data + (i + n) * unit);
    }
    i += n;
  }
}

// A plain icon image (IcoBody8 or IcoBody32) packed as ui/icon_image.h describes: the colour
// table up to the last entry a pixel uses, then the pixels and the mask as runs.
inline std::vector<uint8_t> PackIconImage(const std::vector<uint8_t>& plain) {
  const uint32_t width = Read32(plain, 4), height = Read32(plain, 8) / 2, bits = plain[14];
  const size_t stride = (width * bits / 8 + 3) & ~3u, maskStride = (width + 31) / 32 * 4;
  const size_t pixels = 40 + (bits == 8 ? 256 * 4 : 0), mask = pixels + stride * height;
  uint32_t colours = 0;
  if (bits == 8)
    for (size_t i = pixels; i < mask; ++i) colours = std::max<uint32_t>(colours, plain[i] + 1u);
  std::vector<uint8_t> out(plain.begin(), plain.begin() + 40 + 4 * colours);
  Write32(out, 16, kPackedIcon);
  Write32(out, 32, colours);
  PutRuns(out, plain.data() + pixels, stride * height / (bits / 8), bits / 8);
  PutRuns(out, plain.data() + mask, maskStride * height, 1);
  return out;
}

}  // namespace detail

// How EncodeIco stores its images: 32-bit with alpha, or from `paletteFrom` pixels on as
// 256-colour images with their coverage in the colour table, which take a third of the room;
// packed when only the program reads them (ui/icon_image.h).
struct IcoFormat {
  int paletteFrom = 0;  // 0: every image in 32 bits
  bool packed = false;
};

// An icon file with one image per entry, as IcoFormat says.
inline std::vector<uint8_t> EncodeIco(const std::vector<Image>& images, const IcoFormat& format = IcoFormat()) {
  using namespace detail;
  std::vector<std::vector<uint8_t>> bodies;
  std::vector<bool> palettes;
  for (const Image& img : images) {
    if (img.width < 1 || img.width > 256 || img.height < 1 || img.height > 256)
      throw SourceError("an icon image must be 1 to 256 pixels on each side");
    const bool palette = format.paletteFrom > 0 && img.width >= format.paletteFrom && img.height >= format.paletteFrom;
    bodies.push_back(palette ? IcoBody8(img) : IcoBody32(img));
    if (format.packed) bodies.back() = PackIconImage(bodies.back());
    palettes.push_back(palette);
  }
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(images[i].width == 256 ? 0 : images[i].width));
    out.push_back(static_cast<uint8_t>(images[i].height == 256 ? 0 : images[i].height));
    out.push_back(0);  // 256 colours, or no palette at all
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, palettes[i] ? 8 : 32);
    Put32(out, static_cast<uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
  return out;
}

namespace detail {

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
  return at + 2 <= b.size() ? static_cast<uint32_t>(b[at] | b[at + 1] << 8) : 0u;
}
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// What keeps one icon image (number `number` of its file or group) from being drawn as it
// should: a pixel that the AND mask leaves transparent with a colour other than black (a system
// that draws with the mask XORs that colour onto the screen), or an image that cannot be read.
// A packed image is checked as the program unpacks it; `plain` (an image the system reads, not
// only the program) refuses packed images and PNG ones, which Windows draws only from Vista on.
inline std::vector<std::string> ImageFaults(std::vector<uint8_t> img, uint32_t number, bool plain) {
  if (plain && img.size() >= 4 && img[0] == 0x89 && img[1] == 'P' && img[2] == 'N' && img[3] == 'G')
    return {"image " + std::to_string(number) + ": PNG, which Windows draws only from Vista on"};
  const bool packed = IsPackedIconImage(img);
  if (plain && packed) return {"image " + std::to_string(number) + ": packed, which only the program unpacks"};
  const bool unpacked = !packed || UnpackIconImage(img);
  const uint32_t width = U32(img, 4), height = U32(img, 8) / 2, bits = U16(img, 14);
  const std::string name = "image " + std::to_string(number) + " (" + std::to_string(width) + " px, " +
                           std::to_string(bits) + " bits)";
  const size_t colours = bits <= 8 ? (U32(img, 32) ? U32(img, 32) : 1u << bits) : 0;
  const size_t pixels = U32(img, 0) + 4 * colours, stride = (width * bits + 31) / 32 * 4;
  const size_t mask = pixels + stride * height, maskStride = (width + 31) / 32 * 4;
  if (!unpacked || U32(img, 0) != 40 || U32(img, 16) != 0 || width == 0 || width > 256 ||
      (bits != 8 && bits != 24 && bits != 32) || mask + maskStride * height > img.size())
    return {name + ": cannot be read"};
  size_t coloured = 0;
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x) {
      if (!(img[mask + y * maskStride + x / 8] & (0x80 >> (x % 8)))) continue;
      const size_t c = bits == 8 ? 40 + 4 * img[pixels + y * stride + x] : pixels + y * stride + x * bits / 8;
      coloured += (img[c] | img[c + 1] | img[c + 2]) != 0;
    }
  }
  if (coloured) return {name + ": " + std::to_string(coloured) + " transparent pixels are not black"};
  return {};
}

}  // namespace detail

// What is wrong with the images of an icon file (detail::ImageFaults); empty when all is well.
inline std::vector<std::string> MaskFaults(const std::vector<uint8_t>& ico, bool plain = false) {
  using detail::U16;
  using detail::U32;
  std::vector<std::string> faults;
  const uint32_t count = U16(ico, 4);
  if (U16(ico, 2) != 1 || count == 0) return {"not an icon file"};
  for (uint32_t i = 0; i < count; ++i) {
    const size_t start = std::min<size_t>(U32(ico, 6 + 16 * i + 12), ico.size());
    std::vector<uint8_t> img(ico.begin() + start, ico.begin() + std::min<size_t>(start + U32(ico, 6 + 16 * i + 8), ico.size()));
    for (const std::string& f : detail::ImageFaults(img, i + 1, plain)) faults.push_back(f);
  }
  return faults;
}

// The resources of a program file (PE): type, name (a number, or a name as "NAME") and the data
// of its first language. Empty for a file that is not a program or whose resources lie outside it.
struct Resource {
  uint32_t type = 0, id = 0;  // 0 for a named one
  std::string typeName, name;
  std::vector<uint8_t> data;
};

inline std::vector<Resource> ProgramResources(const std::vector<uint8_t>& pe) {
  using detail::U16;
  using detail::U32;
  const size_t header = U32(pe, 0x3C), optional = header + 24;
  if (U16(pe, 0) != 0x5A4D || U32(pe, header) != 0x4550) return {};
  const uint32_t magic = U16(pe, optional), sections = U16(pe, header + 6);
  const size_t directories = optional + (magic == 0x20B ? 112 : 96), table = optional + U16(pe, header + 20);
  const uint32_t rsrc = U32(pe, directories + 2 * 8);
  size_t base = 0;  // the resource section's place in the file
  for (uint32_t i = 0; i < sections; ++i) {
    const size_t s = table + 40 * i;
    if (rsrc >= U32(pe, s + 12) && rsrc < U32(pe, s + 12) + U32(pe, s + 16)) base = U32(pe, s + 20) + rsrc - U32(pe, s + 12);
  }
  if (!rsrc || !base || base >= pe.size()) return {};
  const size_t delta = base - rsrc;  // file offset of an address in that section
  // An entry's name: a number, or a counted UTF-16 string (ASCII here).
  auto entryName = [&](uint32_t field, uint32_t& id, std::string& name) {
    if (!(field & 0x80000000u)) return void(id = field);
    const size_t at = base + (field & 0x7FFFFFFFu);
    for (uint32_t c = 0; c < U16(pe, at); ++c) name += static_cast<char>(U16(pe, at + 2 + 2 * c));
  };
  auto entries = [&](size_t directory) {
    std::vector<std::pair<uint32_t, uint32_t>> list;
    const size_t at = base + directory;
    for (uint32_t i = 0; i < U16(pe, at + 12) + U16(pe, at + 14) && i < 65536; ++i)
      list.push_back({U32(pe, at + 16 + 8 * i), U32(pe, at + 16 + 8 * i + 4)});
    return list;
  };
  std::vector<Resource> found;
  for (const auto& type : entries(0)) {
    if (!(type.second & 0x80000000u)) return {};
    for (const auto& name : entries(type.second & 0x7FFFFFFFu)) {
      if (!(name.second & 0x80000000u)) return {};
      const auto languages = entries(name.second & 0x7FFFFFFFu);
      if (languages.empty() || (languages[0].second & 0x80000000u)) return {};
      const size_t entry = base + languages[0].second, at = U32(pe, entry) + delta, size = U32(pe, entry + 4);
      if (at > pe.size() || size > pe.size() - at) return {};
      Resource r;
      entryName(type.first, r.type, r.typeName);
      entryName(name.first, r.id, r.name);
      r.data.assign(pe.begin() + static_cast<long>(at), pe.begin() + static_cast<long>(at + size));
      found.push_back(std::move(r));
    }
  }
  return found;
}

// What keeps a program file's icons and pictures from being drawn: every image of every icon
// group (which the shell lists and draws, so plain: no PNG, no packing, a clean mask), and of
// every picture of the program's own type (as the program unpacks it). `counts` says what was
// read: icon groups and their images, pictures and theirs.
inline std::vector<std::string> ProgramIconFaults(const std::vector<uint8_t>& pe, uint32_t counts[4]) {
  using detail::U16;
  constexpr uint32_t kIcon = 3, kGroupIcon = 14;
  const std::vector<Resource> resources = ProgramResources(pe);
  std::vector<std::string> faults;
  counts[0] = counts[1] = counts[2] = counts[3] = 0;
  for (const Resource& r : resources) {
    const std::string what = (r.name.empty() ? std::to_string(r.id) : r.name) + ": ";
    if (r.type == kGroupIcon) {
      ++counts[0];
      for (uint32_t i = 0; i < U16(r.data, 4); ++i) {
        const uint32_t image = U16(r.data, 6 + 14 * i + 12);
        auto icon = std::find_if(resources.begin(), resources.end(),
                                 [&](const Resource& x) { return x.type == kIcon && x.id == image; });
        ++counts[1];
        if (icon == resources.end()) faults.push_back(what + "image " + std::to_string(i + 1) + " is missing");
        else
          for (const std::string& f : detail::ImageFaults(icon->data, i + 1, true)) faults.push_back("icon " + what + f);
      }
    } else if (r.typeName == kPictureType) {
      ++counts[2];
      counts[3] += U16(r.data, 4);
      for (const std::string& f : MaskFaults(r.data)) faults.push_back("picture " + what + f);
    }
  }
  if (resources.empty()) faults.push_back("no resources can be read");
  return faults;
}

// A 24-bit bitmap file; whatever the drawing left transparent shows white.
inline std::vector<uint8_t> EncodeBmp(const Image& img) {
  using namespace detail;
  const uint32_t stride = (static_cast<uint32_t>(img.width) * 3 + 3) & ~3u;
  const uint32_t size = stride * img.height;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + size);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, img.width, img.height, 24, size);
  for (int y = img.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      for (int c = 2; c >= 0; --c) out.push_back(static_cast<uint8_t>((p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255));
    }
    out.resize(start + stride, 0);
  }
  return out;
}

// One line of the manifest: a resource, its kind, its sizes and its drawing. Two kinds are made
// of icon images: an icon proper (kind "icon"), which the shell reads as well and lists among the
// file's icons, and so is plain; and a picture only the program shows (kind "picture"), kept in a
// resource type of the program's own (kPictureType) with its images packed.
struct ManifestEntry {
  std::string name;  // the resource id's name in resource.h, e.g. IDI_KEELBROOK
  bool icon = true;      // icon images (an icon or a picture), else a bitmap
  bool picture = false;  // the program's own resource type, packed
  struct Size {
    int width = 0, height = 0;
    std::string art;  // a drawing of its own for this size, or empty for the entry's
  };
  std::vector<Size> sizes;
  std::string art;  // file name under the art folder
  std::string FileName() const {
    std::string f;
    for (char c : name) f += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return f + (icon ? ".ico" : ".bmp");
  }
};

inline std::vector<ManifestEntry> ParseManifest(const std::string& text, const std::string& file) {
  using namespace detail;
  std::vector<ManifestEntry> entries;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    raw = raw.substr(0, raw.find(';'));
    std::istringstream words(raw);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    const std::string where = Where(file, lineNo);
    if (w.size() < 4) throw SourceError(where + "expected: NAME icon|bitmap SIZES... DRAWING.art");
    ManifestEntry e;
    e.name = w[0];
    for (char c : e.name)
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
        throw SourceError(where + "a resource name is written in capitals, digits and '_'");
    if (w[1] != "icon" && w[1] != "picture" && w[1] != "bitmap")
      throw SourceError(where + "kind must be icon, picture or bitmap");
    e.icon = w[1] != "bitmap";
    e.picture = w[1] == "picture";
    auto isArt = [](const std::string& f) {
      return f.size() > 4 && f.compare(f.size() - 4, 4, ".art") == 0 && f.find_first_of("/\\") == std::string::npos;
    };
    e.art = w.back();
    if (!isArt(e.art)) throw SourceError(where + "the drawing is a .art file in the art folder");
    for (size_t i = 2; i + 1 < w.size(); ++i) {
      std::string s = w[i];
      ManifestEntry::Size size;
      // "16=small.art": a size drawn from its own, simpler drawing.
      size_t eq = s.find('=');
      if (eq != std::string::npos) {
        size.art = s.substr(eq + 1);
        s = s.substr(0, eq);
        if (!isArt(size.art)) throw SourceError(where + "bad drawing '" + size.art + "'");
      }
      size_t x = s.find('x');
      double a = 0, b = 0;
      bool ok = x == std::string::npos ? ParseNumber(s, a) && (b = a, true)
                                       : ParseNumber(s.substr(0, x), a) && ParseNumber(s.substr(x + 1), b);
      if (!ok || a != std::floor(a) || b != std::floor(b) || a < 1 || b < 1 || a > 256 || b > 256)
        throw SourceError(where + "bad size '" + s + "'");
      size.width = static_cast<int>(a);
      size.height = static_cast<int>(b);
      e.sizes.push_back(size);
    }
    if (!e.icon && e.sizes.size() != 1) throw SourceError(where + "a bitmap has exactly one size");
    for (const ManifestEntry& other : entries)
      if (other.name == e.name) throw SourceError(where + e.name + " is listed twice");
    entries.push_back(std::move(e));
  }
  return entries;
}

// The resource script that names every file made, for the program's .rc to include.
inline std::string ResourceScript(const std::vector<ManifestEntry>& entries) {
  std::string rc = "// Made by the build from resources/images.txt and resources/art/; not edited by hand.\n";
  for (const ManifestEntry& e : entries)
    rc += e.name + (e.picture ? " " + std::string(kPictureType) + " \"" : e.icon ? " ICON \"" : " BITMAP \"") + e.FileName() + "\"\n";
  return rc;
}

}  // namespace imagegen
