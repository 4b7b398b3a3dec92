// Draws the gate's designed pictures and icons as files for the resource
// compiler: the background, the OK button released and pressed, and the
// padlock icons ICON_1 .. ICON_5 in five colours. Built and run on the host.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
  uint8_t r, g, b;
};

struct Image {
  int w, h;
  std::vector<Rgb> px;
  std::vector<uint8_t> alpha;  // icons only
  Image(int w_, int h_) : w(w_), h(h_), px(w_ * h_, Rgb{0, 0, 0}), alpha(w_ * h_, 0) {}
  void Set(int x, int y, Rgb c, uint8_t a = 255) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    px[y * w + x] = c;
    alpha[y * w + x] = a;
  }
  void Fill(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Set(x, y, c);
  }
  void Frame(int x0, int y0, int x1, int y1, Rgb c) {
    for (int x = x0; x < x1; ++x) Set(x, y0, c), Set(x, y1 - 1, c);
    for (int y = y0; y < y1; ++y) Set(x0, y, c), Set(x1 - 1, y, c);
  }
};

Rgb Mix(Rgb a, Rgb b, double t) {
  auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(x & 0xFF), v.push_back((x >> 8) & 0xFF); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }

// A BITMAPINFOHEADER image: 24-bit rows for .bmp, 32-bit rows plus the AND
// mask for icon entries.
std::vector<uint8_t> Dib(const Image& im, bool icon) {
  std::vector<uint8_t> v;
  Put32(v, 40);
  Put32(v, im.w);
  Put32(v, icon ? im.h * 2 : im.h);
  Put16(v, 1);
  Put16(v, icon ? 32 : 24);
  for (int i = 0; i < 6; ++i) Put32(v, 0);
  for (int y = im.h - 1; y >= 0; --y) {
    int n = 0;
    for (int x = 0; x < im.w; ++x) {
      const Rgb c = im.px[y * im.w + x];
      v.push_back(c.b), v.push_back(c.g), v.push_back(c.r);
      n += 3;
      if (icon) v.push_back(im.alpha[y * im.w + x]), ++n;
    }
    while (n % 4) v.push_back(0), ++n;
  }
  if (icon) {
    const int stride = ((im.w + 31) / 32) * 4;
    for (int y = im.h - 1; y >= 0; --y) {
      std::vector<uint8_t> row(stride, 0);
      for (int x = 0; x < im.w; ++x)
        if (im.alpha[y * im.w + x] == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      v.insert(v.end(), row.begin(), row.end());
    }
  }
  return v;
}

bool Write(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteBmp(const std::string& name, const Image& im) {
  const std::vector<uint8_t> dib = Dib(im, false);
  std::vector<uint8_t> v{'B', 'M'};
  Put32(v, static_cast<uint32_t>(14 + dib.size()));
  Put32(v, 0);
  Put32(v, 14 + 40);
  v.insert(v.end(), dib.begin(), dib.end());
  return Write(name, v);
}

bool WriteIco(const std::string& name, const std::vector<Image>& images) {
  std::vector<uint8_t> v;
  Put16(v, 0), Put16(v, 1), Put16(v, static_cast<uint32_t>(images.size()));
  std::vector<std::vector<uint8_t>> dibs;
  for (const auto& im : images) dibs.push_back(Dib(im, true));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    v.push_back(static_cast<uint8_t>(images[i].w)), v.push_back(static_cast<uint8_t>(images[i].h));
    v.push_back(0), v.push_back(0);
    Put16(v, 1), Put16(v, 32);
    Put32(v, static_cast<uint32_t>(dibs[i].size()));
    Put32(v, offset);
    offset += static_cast<uint32_t>(dibs[i].size());
  }
  for (const auto& d : dibs) v.insert(v.end(), d.begin(), d.end());
  return Write(name, v);
}

// A padlock scaled to the icon: shackle ring over a body with a keyhole.
Image Padlock(int size, Rgb body) {
  Image im(size, size);
  const double s = size / 32.0;
  const Rgb dark = Mix(body, Rgb{0, 0, 0}, 0.45), light = Mix(body, Rgb{255, 255, 255}, 0.45);
  const Rgb steel{150, 155, 165}, steelDark{90, 95, 105};
  const double cx = 16 * s, cy = 13 * s, ro = 9 * s, ri = 5.5 * s;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::sqrt(dx * dx + dy * dy);
      if (y + 0.5 <= cy && d <= ro && d >= ri) im.Set(x, y, d > ro - 1.2 * s ? steelDark : steel);
      if (y + 0.5 > cy && y < 17 * s && ((x + 0.5 >= cx - ro && x + 0.5 <= cx - ri) || (x + 0.5 >= cx + ri && x + 0.5 <= cx + ro)))
        im.Set(x, y, steel);
    }
  const int bx0 = static_cast<int>(4 * s), bx1 = static_cast<int>(28 * s), by0 = static_cast<int>(15 * s),
            by1 = static_cast<int>(31 * s);
  for (int y = by0; y < by1; ++y)
    for (int x = bx0; x < bx1; ++x) im.Set(x, y, Mix(light, dark, double(y - by0) / (by1 - by0)));
  im.Frame(bx0, by0, bx1, by1, dark);
  const int kx = static_cast<int>(16 * s), ky = static_cast<int>(21 * s), kr = std::max(1, static_cast<int>(2 * s));
  for (int y = ky - kr; y <= ky + kr; ++y)
    for (int x = kx - kr; x <= kx + kr; ++x)
      if ((x - kx) * (x - kx) + (y - ky) * (y - ky) <= kr * kr) im.Set(x, y, Rgb{20, 20, 25});
  im.Fill(kx - std::max(1, kr / 2), ky, kx + std::max(1, kr / 2) + 1, static_cast<int>(27 * s), Rgb{20, 20, 25});
  return im;
}

// 5 x 7 letters for the button caption.
const char* const kLetterO[7] = {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
const char* const kLetterK[7] = {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};

void Letter(Image& im, const char* const rows[7], int x0, int y0, Rgb c) {
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 5; ++x)
      if (rows[y][x] == '#') im.Set(x0 + x, y0 + y, c);
}

Image Button(bool pressed) {
  Image im(43, 15);
  const Rgb top = pressed ? Rgb{30, 90, 40} : Rgb{90, 190, 100}, bottom = pressed ? Rgb{60, 150, 70} : Rgb{30, 110, 45};
  for (int y = 0; y < 15; ++y) im.Fill(0, y, 43, y + 1, Mix(top, bottom, y / 14.0));
  im.Frame(0, 0, 43, 15, Rgb{15, 50, 20});
  const int shift = pressed ? 1 : 0;
  Letter(im, kLetterO, 15 + shift, 4 + shift, Rgb{255, 255, 255});
  Letter(im, kLetterK, 23 + shift, 4 + shift, Rgb{255, 255, 255});
  return im;
}

Image Background() {
  Image im(300, 196);
  const Rgb deep{12, 24, 58}, mid{34, 62, 120};
  for (int y = 0; y < 196; ++y) im.Fill(0, y, 300, y + 1, Mix(mid, deep, y / 195.0));
  for (int y = 0; y < 46; ++y) im.Fill(0, y, 300, y + 1, Mix(Rgb{70, 110, 180}, Rgb{40, 70, 130}, y / 45.0));
  im.Fill(0, 46, 300, 48, Rgb{200, 170, 60});
  // The padlock emblem in the title band.
  const Image lock = Padlock(32, Rgb{210, 175, 60});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (lock.alpha[y * 32 + x]) im.Set(10 + x, 7 + y, lock.px[y * 32 + x]);
  // A sunken frame around the password box and a panel under the message.
  im.Frame(17, 156, 131, 177, Rgb{8, 14, 30});
  im.Frame(18, 157, 130, 176, Rgb{120, 140, 190});
  im.Frame(0, 0, 300, 196, Rgb{5, 10, 25});
  return im;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makeart <output folder>\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = WriteBmp(dir + "background.bmp", Background()) && WriteBmp(dir + "ok_up.bmp", Button(false)) &&
            WriteBmp(dir + "ok_down.bmp", Button(true));
  const Rgb colours[5] = {{210, 175, 60}, {200, 60, 50}, {60, 120, 210}, {70, 170, 80}, {150, 80, 190}};
  for (int i = 0; i < 5; ++i)
    ok = ok && WriteIco(dir + "icon" + std::to_string(i + 1) + ".ico", {Padlock(32, colours[i]), Padlock(16, colours[i])});
  if (!ok) {
    std::fprintf(stderr, "makeart: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
