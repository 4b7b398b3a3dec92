// Writes the console's generated pictures:
// - the colour overlays drawn over a protected link's icon (BLUE.ico ...
//   BLACK.ico, 32 x 32, a filled disc with a dark ring in the bottom-right
//   corner, the rest transparent by the mask; 24-bit colour without alpha,
//   so that merging with masks keeps the icon below);
// - the side bar's pictures (mainpics.bmp, six 32 x 32 cells) and the tool
//   buttons' and the link menu's pictures (menupics.bmp, 16 x 16 cells), in
//   the order of console/core/pictureindex.h, on fuchsia, the lists' mask
//   colour;
// - the splash and About picture splash.bmp (330 x 220), which names the
//   program and says what it is;
// - the Configuration page's colour grid colorgrid.bmp.
// Everything is drawn from code, so two runs write the same bytes.
//   mkres <output folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../core/pictureindex.h"

namespace {
void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

struct Rgb {
  uint8_t r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// A picture in memory, top-down, with a coverage per pixel (0 transparent).
struct Picture {
  int w, h;
  std::vector<Rgb> px;
  std::vector<uint8_t> on;
  Picture(int w_, int h_) : w(w_), h(h_), px(w_ * h_, Rgb{0, 0, 0}), on(w_ * h_, 0) {}
  void Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    px[y * w + x] = c;
    on[y * w + x] = 1;
  }
};

// A 24-bit bottom-up .bmp file; transparent pixels take `ground`.
std::vector<uint8_t> BmpFile(const Picture& p, Rgb ground) {
  const int stride = (p.w * 3 + 3) & ~3;
  std::vector<uint8_t> bits(stride * p.h, 0);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const Rgb c = p.on[y * p.w + x] ? p.px[y * p.w + x] : ground;
      uint8_t* d = &bits[(p.h - 1 - y) * stride + x * 3];
      d[0] = c.b, d[1] = c.g, d[2] = c.r;
    }
  std::vector<uint8_t> bmp{'B', 'M'};
  Put32(bmp, uint32_t(54 + bits.size())); Put32(bmp, 0); Put32(bmp, 54);
  Put32(bmp, 40); Put32(bmp, p.w); Put32(bmp, p.h); Put16(bmp, 1); Put16(bmp, 24);
  Put32(bmp, 0); Put32(bmp, uint32_t(bits.size())); Put32(bmp, 2835); Put32(bmp, 2835); Put32(bmp, 0); Put32(bmp, 0);
  bmp.insert(bmp.end(), bits.begin(), bits.end());
  return bmp;
}

// ---- Shapes, in the coordinates of a 16 x 16 grid whatever the size drawn.

using Inside = std::function<bool(double, double)>;

Inside Rect(double x0, double y0, double x1, double y1) {
  return [=](double u, double v) { return u >= x0 && u < x1 && v >= y0 && v < y1; };
}
Inside Disc(double cx, double cy, double r) {
  return [=](double u, double v) { return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= r * r; };
}
// A thick line from (x0, y0) to (x1, y1), round at its ends.
Inside Stroke(double x0, double y0, double x1, double y1, double width) {
  return [=](double u, double v) {
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((u - x0) * dx + (v - y0) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = u - (x0 + t * dx), ey = v - (y0 + t * dy);
    return ex * ex + ey * ey <= width * width / 4;
  };
}
Inside Poly(std::vector<std::pair<double, double>> pts) {
  return [pts](double u, double v) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const auto [xi, yi] = pts[i];
      const auto [xj, yj] = pts[j];
      if ((yi > v) != (yj > v) && u < (xj - xi) * (v - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
  };
}
Inside operator|(Inside a, Inside b) {
  return [a, b](double u, double v) { return a(u, v) || b(u, v); };
}
Inside operator&(Inside a, Inside b) {
  return [a, b](double u, double v) { return a(u, v) && b(u, v); };
}
Inside operator-(Inside a, Inside b) {
  return [a, b](double u, double v) { return a(u, v) && !b(u, v); };
}
// The part of a ring between two angles (degrees, counter-clockwise from the
// right, as on paper: up is 90).
Inside Arc(double cx, double cy, double r0, double r1, double from, double to) {
  return [=](double u, double v) {
    const double dx = u - cx, dy = cy - v, d2 = dx * dx + dy * dy;
    if (d2 < r0 * r0 || d2 > r1 * r1) return false;
    double a = std::atan2(dy, dx) * 180 / M_PI;
    if (a < from) a += 360;
    return a <= to;
  };
}

// Draws shapes onto a square picture. Each shape paints its pixels in its
// fill and, with an edge colour, its border pixels (those with a neighbour
// outside the shape, `edge` pixels deep) in that colour: a clear outline
// at every size.
class Painter {
 public:
  Painter(Picture& p, int x, int y, int size, int edge = 1) : p_(p), x_(x), y_(y), n_(size), edge_(edge) {}
  double Scale() const { return n_ / 16.0; }
  bool In(const Inside& s, int x, int y) const {
    if (x < 0 || y < 0 || x >= n_ || y >= n_) return false;
    return s((x + 0.5) / Scale(), (y + 0.5) / Scale());
  }
  void Shape(const Inside& s, Rgb fill, const Rgb* edge = nullptr) {
    Shade(s, [fill](double, double) { return fill; }, edge);
  }
  void Shape(const Inside& s, Rgb fill, Rgb edge) { Shape(s, fill, &edge); }
  // A fill that varies over the shape (a light from the top left).
  void Shade(const Inside& s, const std::function<Rgb(double, double)>& fill, const Rgb* edge) {
    for (int y = 0; y < n_; ++y)
      for (int x = 0; x < n_; ++x) {
        if (!In(s, x, y)) continue;
        bool border = false;
        for (int d = 1; d <= edge_ && edge && !border; ++d)
          border = !In(s, x - d, y) || !In(s, x + d, y) || !In(s, x, y - d) || !In(s, x, y + d);
        p_.Set(x_ + x, y_ + y, border ? *edge : fill((x + 0.5) / Scale(), (y + 0.5) / Scale()));
      }
  }
  void Shade(const Inside& s, Rgb light, Rgb dark, Rgb edge) {
    Shade(s, [=](double u, double v) { return Mix(light, dark, std::clamp((u + v) / 32.0, 0.0, 1.0)); }, &edge);
  }

 private:
  Picture& p_;
  int x_, y_, n_, edge_;
};

// Colours of the pictures.
const Rgb kWhite{255, 255, 255}, kPaperEdge{80, 80, 88}, kLine{96, 104, 120}, kSilver{196, 196, 204},
    kSteelEdge{72, 72, 84}, kGold{244, 196, 48}, kGoldDark{196, 132, 16}, kGoldEdge{120, 72, 0},
    kBlue{56, 112, 216}, kBlueLight{140, 184, 250}, kBlueEdge{16, 40, 112}, kNavy{16, 36, 120},
    kGreen{56, 176, 56}, kGreenEdge{0, 88, 0}, kRed{224, 40, 32}, kRedEdge{120, 0, 0},
    kFolder{248, 208, 88}, kFolderDark{216, 160, 40}, kFolderEdge{136, 92, 8}, kSkin{244, 200, 150},
    kSkinEdge{140, 88, 48}, kBrown{176, 112, 56}, kBrownEdge{88, 48, 16}, kFuchsia{255, 0, 255};

// A sheet of paper with its top-right corner folded.
void Page(Painter& p, double x0, double y0, double x1, double y1, double fold) {
  p.Shape(Poly({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}), kWhite, kPaperEdge);
  p.Shape(Poly({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}), kSilver, kPaperEdge);
}

void Folder(Painter& p, double x0, double y0, double x1, double y1) {
  p.Shape(Rect(x0, y0 - 1.5, x0 + (x1 - x0) * 0.45, y0 + 1), kFolderDark, kFolderEdge);
  p.Shade(Rect(x0, y0, x1, y1), kFolder, kFolderDark, kFolderEdge);
}

// A person from the chest up: head and shoulders.
void Person(Painter& p, double cx, double top, double size, Rgb shirt, Rgb shirtEdge) {
  p.Shape(Disc(cx, top + size, size * 0.47) & Rect(cx - size, top, cx + size, top + size), shirt, shirtEdge);
  p.Shape(Disc(cx, top + size * 0.27, size * 0.22), kSkin, kSkinEdge);
}

// A padlock, its shackle shut or lifted open over the right leg.
void Padlock(Painter& p, bool open) {
  const Rgb steel{176, 180, 192};
  if (!open) {
    p.Shape(Arc(8, 6.5, 2.2, 4.1, 0, 180) | Rect(3.9, 6.4, 5.8, 9) | Rect(10.2, 6.4, 12.1, 9), steel, kSteelEdge);
  } else {
    p.Shape(Arc(9.6, 4.2, 2.2, 4.1, 0, 180) | Rect(5.5, 4.1, 7.4, 5.8) | Rect(11.8, 4.1, 13.7, 9), steel, kSteelEdge);
  }
  p.Shade(Rect(2.5, 8, 13.6, 15.6), kGold, kGoldDark, kGoldEdge);
  p.Shape(Disc(8, 10.9, 1.25) | Rect(7.4, 11, 8.6, 13.6), Rgb{72, 44, 0});
}

void Floppy(Painter& p, double x0, double y0, double size) {
  const double k = size / 14.0;
  auto at = [&](double a, double b, double c, double d) { return Rect(x0 + a * k, y0 + b * k, x0 + c * k, y0 + d * k); };
  p.Shade(at(0, 0, 14, 14) - Poly({{x0 + 12 * k, y0}, {x0 + 14 * k, y0}, {x0 + 14 * k, y0 + 2 * k}}), kBlue,
          kNavy, kBlueEdge);
  p.Shape(at(3, 0, 10.5, 5), kSilver, kSteelEdge);
  p.Shape(at(7.5, 1, 9, 4), kBlueEdge);
  p.Shape(at(2, 7, 12, 14), kWhite, Rgb{110, 110, 120});
  p.Shape(at(3.5, 9, 10.5, 10), kLine);
  p.Shape(at(3.5, 11, 10.5, 12), kLine);
}

// Arrow pointing down (into) or up (out of) a folder.
Inside UpDownArrow(bool down, double top, double bottom) {
  const double head = 4.5;
  if (down) return Rect(6.3, top, 9.7, bottom - head) | Poly({{3.5, bottom - head}, {12.5, bottom - head}, {8, bottom}});
  return Rect(6.3, top + head, 9.7, bottom) | Poly({{3.5, top + head}, {12.5, top + head}, {8, top}});
}

void Tiles(Painter& p, int cols, int rows, double size, double gap, double x0, double y0, bool lines) {
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      const double x = x0 + i * (lines ? 8 : size + gap), y = y0 + j * (size + gap);
      p.Shade(Rect(x, y, x + size, y + size), kBlueLight, kBlue, kBlueEdge);
      if (lines) p.Shape(Rect(x + size + 1, y + size / 2 - 0.5, x + size + 4, y + size / 2 + 0.5), kLine);
    }
}

// ---- The tool buttons' and the link menu's pictures (16 x 16).

void DrawMenuPicture(TMenuPicture which, Painter& p) {
  switch (which) {
    case mnLargeIcons:  // four big tiles
      Tiles(p, 2, 2, 6, 2, 1, 1, false);
      break;
    case mnSmallIcons:  // small tiles in columns, each with its name
      Tiles(p, 2, 3, 4, 1.5, 0.5, 0.5, true);
      break;
    case mnReport:  // rows and columns under a header
      p.Shape(Rect(0, 1, 16, 15), kWhite, kPaperEdge);
      p.Shape(Rect(1, 2, 15, 4.5), kSilver);
      p.Shape(Rect(8, 2, 9, 14), Rgb{170, 170, 180});
      for (double y = 6; y < 14; y += 2) {
        p.Shape(Rect(2, y, 3, y + 1), kBlue);
        p.Shape(Rect(4, y, 7, y + 1), kLine);
        p.Shape(Rect(10, y, y == 8 || y == 12 ? 12 : 14, y + 1), kLine);
      }
      break;
    case mnRefresh:  // a circular arrow, turning clockwise
      p.Shape(Arc(8, 8.5, 3.1, 6.4, 90, 375) | Poly({{7.6, 0.2}, {7.6, 7.6}, {12.8, 3.9}}), kGreen, kGreenEdge);
      break;
    case mnNewLink:  // a new sheet with a spark
      Page(p, 4, 1, 14, 15.5, 3.5);
      p.Shape(Poly({{4.5, 0}, {6, 3}, {9, 4.5}, {6, 6}, {4.5, 9}, {3, 6}, {0, 4.5}, {3, 3}}), Rgb{255, 232, 64},
              kGoldEdge);
      break;
    case mnCancel:  // a red cross
      p.Shape(Stroke(3.5, 3.5, 12.5, 12.5, 3.6) | Stroke(12.5, 3.5, 3.5, 12.5, 3.6), kRed, kRedEdge);
      break;
    case mnDeleteLog:  // the log sheet, crossed out
      Page(p, 1.5, 0.5, 12.5, 15.5, 3);
      for (double y = 4; y < 14; y += 2) p.Shape(Rect(3.5, y, 9, y + 1), kLine);
      p.Shape(Stroke(9.5, 9.5, 14.2, 14.2, 2.6) | Stroke(14.2, 9.5, 9.5, 14.2, 2.6), kRed, kRedEdge);
      break;
    case mnSaveConfig:  // a disk
      Floppy(p, 1, 1, 14);
      break;
    case mnSaveUsers:  // a disk with a person in front
      Floppy(p, 0, 0, 11);
      Person(p, 11.5, 6.5, 9.5, Rgb{60, 160, 96}, Rgb{16, 88, 40});
      break;
    case mnFileNameView:  // a sheet and its short name
      Page(p, 4, 0.5, 12, 11.5, 2.5);
      p.Shape(Rect(4, 13, 12, 15.5), kNavy);
      break;
    case mnFullPathView:  // a folder, the sheet in it, and the long name
      Folder(p, 0, 4, 7.5, 11);
      Page(p, 9, 0.5, 15.5, 11.5, 2.5);
      p.Shape(Rect(0, 13, 16, 15.5), kNavy);
      break;
    case mnProtect:
      Padlock(p, false);
      break;
    case mnRevert:
      Padlock(p, true);
      break;
    case mnCopy:  // two sheets
      Page(p, 1, 0.5, 10, 11.5, 2.5);
      Page(p, 6, 4.5, 15, 15.5, 2.5);
      for (double y = 8; y < 15; y += 2) p.Shape(Rect(7.5, y, 13, y + 1), kLine);
      break;
    case mnPaste:  // a clipboard with a sheet on it
      p.Shade(Rect(1.5, 2, 14.5, 16), kBrown, kBrownEdge, kBrownEdge);
      p.Shape(Rect(4, 5, 12, 14.5), kWhite, kPaperEdge);
      for (double y = 7; y < 14; y += 2) p.Shape(Rect(5.5, y, 10.5, y + 1), kLine);
      p.Shape(Rect(5, 0.5, 11, 4), kSilver, kSteelEdge);
      break;
    case mnSelectAll:  // every tile inside a dotted frame
      p.Shape([](double u, double v) {
        const int x = int(u), y = int(v);
        return (x == 0 || x == 15 || y == 0 || y == 15) && (x + y) % 2 == 0;
      }, kNavy);
      Tiles(p, 2, 2, 4, 2, 3, 3, false);
      break;
    case mnBackup:  // into the backup folder
      Folder(p, 1, 8, 15, 15.5);
      p.Shape(UpDownArrow(true, 0, 11.5), kGreen, kGreenEdge);
      break;
    case mnRestore:  // out of the backup folder
      Folder(p, 1, 8, 15, 15.5);
      p.Shape(UpDownArrow(false, 0, 11.5), kBlue, kBlueEdge);
      break;
    case mnDelete:  // a waste bin
      p.Shade(Poly({{3, 4}, {13, 4}, {12, 15.6}, {4, 15.6}}), kSilver, Rgb{140, 140, 152}, kSteelEdge);
      p.Shape(Rect(6.2, 6.5, 7.2, 14) | Rect(8.8, 6.5, 9.8, 14), Rgb{120, 120, 132});
      p.Shape(Rect(6, 0.5, 10, 3), Rgb{150, 150, 160}, kSteelEdge);
      p.Shape(Rect(1.5, 2, 14.5, 4.6), Rgb{170, 170, 182}, kSteelEdge);
      break;
    case mnExecute:  // start: a green triangle
      p.Shade(Poly({{3.5, 1.5}, {14, 8}, {3.5, 14.5}}), Rgb{120, 220, 110}, kGreen, kGreenEdge);
      break;
    case mnProperties:  // a dialog with its fields
      p.Shape(Rect(0, 1, 16, 15), kSilver, kPaperEdge);
      p.Shape(Rect(1, 2, 15, 5), kNavy);
      p.Shape(Rect(11, 2.8, 14, 4.2), kWhite);
      for (double y = 6.5; y < 12; y += 3.5) {
        p.Shape(Rect(2, y + 1, 5.5, y + 2), kLine);
        p.Shape(Rect(6.5, y, 14, y + 3), kWhite, kPaperEdge);
      }
      break;
    case mnAllUsers:  // two people
      Person(p, 10.8, 0.5, 12, Rgb{72, 168, 88}, Rgb{16, 88, 32});
      Person(p, 5.6, 3.5, 12.5, kBlue, kBlueEdge);
      break;
    case mnOneUser:
      Person(p, 8, 0.5, 15.5, kBlue, kBlueEdge);
      break;
    case kMenuPictureCount:
      break;
  }
}

// ---- The side bar's pictures (32 x 32, drawn on the same grid).

void DrawMainPicture(TMainPicture which, Painter& p) {
  switch (which) {
    case mpShortcuts: {  // a screen with a shortcut and a padlock on it
      p.Shade(Rect(0.5, 1, 15.5, 12), Rgb{216, 216, 224}, Rgb{150, 150, 162}, kSteelEdge);
      p.Shade(Rect(2, 2.5, 14, 10.5), Rgb{70, 130, 230}, Rgb{20, 50, 150}, kBlueEdge);
      p.Shape(Rect(6.5, 12, 9.5, 13.5) | Rect(3.5, 13.5, 12.5, 15.5), Rgb{170, 170, 182}, kSteelEdge);
      p.Shape(Rect(3.5, 4, 8, 8.5), kWhite, Rgb{0, 0, 0});
      p.Shape(Stroke(4.9, 7.3, 6.3, 5.9, 0.8) | Poly({{5.3, 5.1}, {7.0, 5.1}, {7.0, 6.8}}), Rgb{0, 0, 0});
      p.Shape(Arc(11.3, 6.9, 0.7, 1.5, 0, 180) | Rect(9.8, 6.8, 10.6, 7.6) | Rect(12.0, 6.8, 12.8, 7.6), kSilver,
              kSteelEdge);
      p.Shape(Rect(9.3, 7.4, 13.3, 9.9), kGold, kGoldEdge);
      break;
    }
    case mpConfiguration: {  // a gear
      const Inside teeth = [](double u, double v) {
        const double dx = u - 8, dy = v - 8, r = std::sqrt(dx * dx + dy * dy);
        double a = std::atan2(dy, dx) + M_PI / 8;
        a = std::fmod(a + 2 * M_PI, M_PI / 4);
        return r <= 7.6 && std::fabs(a - M_PI / 8) < 0.2;
      };
      p.Shade((Disc(8, 8, 5.6) | teeth) - Disc(8, 8, 2.2), Rgb{220, 222, 232}, Rgb{130, 134, 150}, kSteelEdge);
      p.Shape(Arc(8, 8, 3.4, 4.0, 0, 360), Rgb{150, 154, 170});
      break;
    }
    case mpUserSettings:
      Person(p, 10.8, 0.5, 12, Rgb{72, 168, 88}, Rgb{16, 88, 32});
      Person(p, 5.6, 3.5, 12.5, kBlue, kBlueEdge);
      break;
    case mpAbout:  // "i" on a blue disc
      p.Shade(Disc(8, 8, 7.3), kBlueLight, kBlueEdge, Rgb{8, 28, 90});
      p.Shape(Disc(8, 4.4, 1.3) | Rect(6.9, 6.6, 9.1, 11.6) | Rect(5.9, 11.2, 10.1, 12.6) | Rect(5.9, 6.6, 9.1, 7.6),
              kWhite);
      break;
    case mpExit:  // an open door and the way out
      p.Shape(Rect(1.5, 0.5, 10.5, 15.8), Rgb{40, 32, 28}, Rgb{20, 16, 12});
      p.Shade(Poly({{1.5, 0.5}, {6.5, 2}, {6.5, 15}, {1.5, 15.8}}), Rgb{200, 140, 80}, kBrown, kBrownEdge);
      p.Shape(Disc(5.3, 8.6, 0.6), kGold);
      p.Shape(Rect(7, 6.6, 12, 9.4) | Poly({{11.5, 4}, {15.8, 8}, {11.5, 12}}), kGreen, kGreenEdge);
      break;
    case mpLog:  // a sheet of lines
      Page(p, 2.5, 0.5, 13.5, 15.5, 3.5);
      p.Shape(Rect(4.5, 3, 9, 4), kBlue);
      for (double y = 5.5; y < 14.5; y += 2) p.Shape(Rect(4.5, y, y == 9.5 ? 9.5 : 11.5, y + 1), kLine);
      break;
    case kMainPictureCount:
      break;
  }
}

template <class Which, class Draw>
Picture Strip(int count, int size, Draw draw) {
  Picture strip(count * size, size);
  for (int i = 0; i < count; ++i) {
    Painter p(strip, i * size, 0, size);
    draw(static_cast<Which>(i), p);
  }
  return strip;
}

// ---- The splash and About picture.

// A 5 x 7 font for the splash's words, drawn large with smoothed diagonals.
struct Glyph {
  char c;
  const char* rows[7];
};
const Glyph kFont[] = {
    {'A', {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'C', {".XXXX", "X....", "X....", "X....", "X....", "X....", ".XXXX"}},
    {'D', {"XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."}},
    {'E', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"}},
    {'F', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "X...."}},
    {'H', {"X...X", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'I', {".XXX.", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX."}},
    {'K', {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"}},
    {'L', {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"}},
    {'M', {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"}},
    {'N', {"X...X", "XX..X", "X.X.X", "X.X.X", "X..XX", "X...X", "X...X"}},
    {'O', {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."}},
    {'P', {"XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."}},
    {'R', {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"}},
    {'S', {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."}},
    {'T', {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."}},
    {'U', {"X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."}},
    {'W', {"X...X", "X...X", "X...X", "X.X.X", "X.X.X", "XX.XX", "X...X"}},
    {'c', {".....", ".....", ".XXXX", "X....", "X....", "X....", ".XXXX"}},
    {'e', {".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXXX"}},
    {'k', {"X....", "X....", "X...X", "X..X.", "XXX..", "X..X.", "X...X"}},
    {'m', {".....", ".....", "XX.X.", "X.X.X", "X.X.X", "X.X.X", "X.X.X"}},
    {'o', {".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."}},
    {'r', {".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X...."}},
    {'\'', {"..X..", "..X..", ".X...", ".....", ".....", ".....", "....."}},
};

const Glyph* GlyphOf(char c) {
  for (const Glyph& g : kFont)
    if (g.c == c) return &g;
  return nullptr;
}

// Whether the point (gx, gy) of a glyph's 5 x 7 cells is ink: the cell's own
// ink, or the inner corner between two ink cells that touch diagonally.
bool Ink(const Glyph& g, double gx, double gy) {
  auto cell = [&](int x, int y) { return x >= 0 && y >= 0 && x < 5 && y < 7 && g.rows[y][x] == 'X'; };
  const int x = int(std::floor(gx)), y = int(std::floor(gy));
  if (cell(x, y)) return true;
  const double fx = gx - x, fy = gy - y;
  return (fx + fy < 0.5 && cell(x - 1, y) && cell(x, y - 1)) ||
         (1 - fx + fy < 0.5 && cell(x + 1, y) && cell(x, y - 1)) ||
         (fx + 1 - fy < 0.5 && cell(x - 1, y) && cell(x, y + 1)) ||
         (2 - fx - fy < 0.5 && cell(x + 1, y) && cell(x, y + 1));
}

// Writes a text with its top-left corner at (x, y), each font cell `scale`
// pixels wide, antialiased over what is there.
void Text(Picture& p, int x, int y, double scale, const std::string& text, Rgb colour) {
  const int ss = 4;  // samples per pixel and direction
  for (size_t i = 0; i < text.size(); ++i) {
    const Glyph* g = GlyphOf(text[i]);
    if (!g) continue;  // a blank
    const int gx0 = x + int(std::lround(i * 6 * scale));
    for (int py = y; py < y + int(std::ceil(7 * scale)); ++py)
      for (int px = gx0; px < gx0 + int(std::ceil(5 * scale)); ++px) {
        int hits = 0;
        for (int sy = 0; sy < ss; ++sy)
          for (int sx = 0; sx < ss; ++sx)
            hits += Ink(*g, (px - gx0 + (sx + 0.5) / ss) / scale, (py - y + (sy + 0.5) / ss) / scale);
        if (hits && px >= 0 && py >= 0 && px < p.w && py < p.h)
          p.px[py * p.w + px] = Mix(p.px[py * p.w + px], colour, double(hits) / (ss * ss));
      }
  }
}

int TextWidth(double scale, const std::string& text) { return int(std::lround((text.size() * 6 - 1) * scale)); }

// The splash (330 x 220) that is also the About box: the program's name and
// what it is on a deep blue ground, and a padlock. The window puts its own
// "version 1.01" at the bottom left and a "Help file" link at (114, 152), on
// plain ground.
Picture SplashPicture() {
  const int w = 330, h = 220;
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int b = 96 + (x * 56) / w + ((h - y) * 40) / h, g = 32 + (x * 36) / w;
      Rgb c{24, uint8_t(g), uint8_t(std::min(b, 255))};
      if (y >= 192) c = Mix(c, Rgb{0, 0, 0}, 0.5);
      p.Set(x, y, c);
    }
  const Rgb shadow{8, 12, 48}, white{255, 255, 255}, pale{200, 214, 240};
  auto shadowed = [&](int x, int y, double scale, const std::string& s, Rgb c) {
    Text(p, x + 2, y + 2, scale, s, shadow);
    Text(p, x, y, scale, s, c);
  };
  shadowed(22, 22, 5, "Lockmere", white);
  for (int x = 22; x < 22 + TextWidth(5, "Lockmere"); ++x) p.Set(x, 64, Rgb{240, 196, 48});
  shadowed(22, 78, 2, "PASSWORD PROTECTION", pale);
  shadowed(22, 98, 2, "FOR WINDOWS SHORTCUTS", pale);
  shadowed(22, 124, 1.5, "THE ADMINISTRATOR'S CONSOLE", Rgb{160, 176, 210});
  // The padlock of the protected shortcuts, 64 x 64 at the right.
  Picture lock(64, 64);
  Painter painter(lock, 0, 0, 64, 3);
  Padlock(painter, false);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (lock.on[y * 64 + x]) p.Set(252 + x, 124 + y, lock.px[y * 64 + x]);
  return p;
}

// ---- The colour overlays and the colour grid.

std::vector<uint8_t> OverlayIcon(Rgb c) {
  const int n = 32;
  std::vector<uint8_t> pixels;  // BGR, bottom-up (96-byte rows need no padding)
  std::vector<uint8_t> mask;    // 1 bit per pixel, rows padded to 4 bytes
  for (int y = n - 1; y >= 0; --y) {
    uint32_t bits = 0;
    for (int x = 0; x < n; ++x) {
      const double d = std::hypot(x - 24.5, y - 24.5);
      uint8_t r = 0, g = 0, b = 0, a = 0;
      if (d <= 6.0) {
        r = c.r; g = c.g; b = c.b; a = 255;
      } else if (d <= 7.5) {
        r = c.r / 3; g = c.g / 3; b = c.b / 3; a = 255;
      }
      pixels.insert(pixels.end(), {b, g, r});
      if (a == 0) bits |= 0x80000000u >> x;
    }
    mask.insert(mask.end(), {uint8_t(bits >> 24), uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)});
  }
  std::vector<uint8_t> img;
  Put32(img, 40); Put32(img, n); Put32(img, 2 * n); Put16(img, 1); Put16(img, 24);
  Put32(img, 0); Put32(img, uint32_t(pixels.size() + mask.size())); Put32(img, 0); Put32(img, 0); Put32(img, 0); Put32(img, 0);
  img.insert(img.end(), pixels.begin(), pixels.end());
  img.insert(img.end(), mask.begin(), mask.end());
  std::vector<uint8_t> ico;
  Put16(ico, 0); Put16(ico, 1); Put16(ico, 1);
  ico.push_back(n); ico.push_back(n); ico.push_back(0); ico.push_back(0);
  Put16(ico, 1); Put16(ico, 24); Put32(ico, uint32_t(img.size())); Put32(ico, 6 + 16);
  ico.insert(ico.end(), img.begin(), img.end());
  return ico;
}

// The colour grid of the Configuration page (48 x 32): the six overlay
// colours as 16 x 16 squares, blue, cyan, red over green, yellow, black (the
// page's click regions lie exactly over them), each with a grey frame.
Picture ColourGrid() {
  const Rgb squares[6] = {{0, 0, 255}, {0, 255, 255}, {255, 0, 0}, {0, 192, 0}, {255, 255, 0}, {0, 0, 0}};
  Picture p(48, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) {
      const int sx = x % 16, sy = y % 16;
      Rgb c = squares[(y / 16) * 3 + x / 16];
      if (sx == 0 || sy == 0 || sx == 15 || sy == 15) c = {128, 128, 128};
      else if (sx == 1 || sy == 1) c = {255, 255, 255};
      p.Set(x, y, c);
    }
  return p;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkres <output folder>\n");
    return 2;
  }
  const std::string out = std::string(argv[1]) + "/";
  struct Output {
    std::string name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Output> files;
  const struct {
    const char* name;
    Rgb colour;
  } overlays[] = {{"BLUE", {0, 0, 255}},    {"CYAN", {0, 255, 255}},   {"RED", {255, 0, 0}},
                  {"GREEN", {0, 192, 0}},  {"YELLOW", {255, 255, 0}}, {"BLACK", {0, 0, 0}}};
  for (const auto& o : overlays) files.push_back({std::string(o.name) + ".ico", OverlayIcon(o.colour)});
  files.push_back({"mainpics.bmp", BmpFile(Strip<TMainPicture>(kMainPictureCount, 32, DrawMainPicture), kFuchsia)});
  files.push_back({"menupics.bmp", BmpFile(Strip<TMenuPicture>(kMenuPictureCount, 16, DrawMenuPicture), kFuchsia)});
  files.push_back({"splash.bmp", BmpFile(SplashPicture(), kFuchsia)});
  files.push_back({"colorgrid.bmp", BmpFile(ColourGrid(), kFuchsia)});
  for (const Output& f : files)
    if (!WriteFile(out + f.name, f.bytes)) {
      std::fprintf(stderr, "mkres: cannot write %s%s\n", out.c_str(), f.name.c_str());
      return 1;
    }
  return 0;
}
