// Writes the console's generated pictures: the colour overlays drawn over a
// protected link's icon (BLUE.ico ... BLACK.ico, 32 x 32, a filled disc with
// a dark ring in the bottom-right corner, the rest transparent by the mask;
// 24-bit colour without alpha, so that merging with masks keeps the icon
// below), the splash picture splash.bmp (330 x 220) and the Configuration
// page's colour grid colorgrid.bmp.
//   mkres <output folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

std::vector<uint8_t> SplashBitmap() {
  const int w = 330, h = 220, stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> px(stride * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int row = h - 1 - y;  // bottom-up
      uint8_t* p = &px[row * stride + x * 3];
      // A deep blue that lightens to the top right, with a keyhole shield.
      int b = 90 + (x * 60) / w + ((h - y) * 40) / h, g = 30 + (x * 30) / w, r = 20;
      const double dx = x - 250.0, dy = y - 95.0;
      const bool shield = std::abs(dx) < 48 - std::max(0.0, dy) * 0.45 && dy > -60 && dy < 70;
      if (shield) { r = 200; g = 205; b = 215; }
      const bool hole = std::hypot(dx, dy + 15) < 13 || (std::abs(dx) < 6 && dy > -15 && dy < 25);
      if (shield && hole) { r = 25; g = 35; b = 80; }
      if (y > 190) { r /= 2; g /= 2; b /= 2; }
      p[0] = uint8_t(b > 255 ? 255 : b); p[1] = uint8_t(g); p[2] = uint8_t(r);
    }
  std::vector<uint8_t> bmp;
  bmp.push_back('B'); bmp.push_back('M');
  Put32(bmp, uint32_t(54 + px.size())); Put32(bmp, 0); Put32(bmp, 54);
  Put32(bmp, 40); Put32(bmp, w); Put32(bmp, h); Put16(bmp, 1); Put16(bmp, 24);
  Put32(bmp, 0); Put32(bmp, uint32_t(px.size())); Put32(bmp, 2835); Put32(bmp, 2835); Put32(bmp, 0); Put32(bmp, 0);
  bmp.insert(bmp.end(), px.begin(), px.end());
  return bmp;
}
// The colour grid of the Configuration page (48 x 32): the six overlay
// colours as 16 x 16 squares, blue, cyan, red over green, yellow, black (the
// page's click regions lie exactly over them), each with a grey frame.
std::vector<uint8_t> ColourGridBitmap() {
  const int w = 48, h = 32, stride = w * 3;
  const Rgb squares[6] = {{0, 0, 255}, {0, 255, 255}, {255, 0, 0}, {0, 192, 0}, {255, 255, 0}, {0, 0, 0}};
  std::vector<uint8_t> px(stride * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sx = x % 16, sy = y % 16;
      Rgb c = squares[(y / 16) * 3 + x / 16];
      if (sx == 0 || sy == 0 || sx == 15 || sy == 15) c = {128, 128, 128};
      else if (sx == 1 || sy == 1) c = {255, 255, 255};
      uint8_t* p = &px[(h - 1 - y) * stride + x * 3];
      p[0] = c.b; p[1] = c.g; p[2] = c.r;
    }
  std::vector<uint8_t> bmp;
  bmp.push_back('B'); bmp.push_back('M');
  Put32(bmp, uint32_t(54 + px.size())); Put32(bmp, 0); Put32(bmp, 54);
  Put32(bmp, 40); Put32(bmp, w); Put32(bmp, h); Put16(bmp, 1); Put16(bmp, 24);
  Put32(bmp, 0); Put32(bmp, uint32_t(px.size())); Put32(bmp, 2835); Put32(bmp, 2835); Put32(bmp, 0); Put32(bmp, 0);
  bmp.insert(bmp.end(), px.begin(), px.end());
  return bmp;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkres <output folder>\n");
    return 2;
  }
  const std::string out = std::string(argv[1]) + "/";
  const struct {
    const char* name;
    Rgb colour;
  } overlays[] = {{"BLUE", {0, 0, 255}},    {"CYAN", {0, 255, 255}},   {"RED", {255, 0, 0}},
                  {"GREEN", {0, 192, 0}},  {"YELLOW", {255, 255, 0}}, {"BLACK", {0, 0, 0}}};
  for (const auto& o : overlays)
    if (!WriteFile(out + o.name + ".ico", OverlayIcon(o.colour))) return 1;
  return WriteFile(out + "splash.bmp", SplashBitmap()) && WriteFile(out + "colorgrid.bmp", ColourGridBitmap()) ? 0 : 1;
}
