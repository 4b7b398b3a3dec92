// Build-time generator of the interface components' resources: the string
// table of the standard buttons and the password dialog (from the one
// table in controls/core), the hand and drag cursors, the key icon, the
// check tree's boxes and the directory edit's glyph.
// Runs natively; writes lkctrls.rc and the picture files into a folder.
// Usage: gen_lkres OUTDIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/core/lkbuttonkinds.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(v & 0xFF);
  b.push_back(v >> 8);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool WriteFile(const std::string& name, const Bytes& data) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// 32 x 32 cursor art: 'X' black, 'o' white, anything else transparent.
using Art = std::vector<std::string>;

const Art kPointingHand = {
    "     XX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooXXX",
    "    XooXooXXX",
    "    XooXooXooXX",
    " XX XooXooXooXoX",
    "XooXXooooooooXooX",
    "XoooXoooooooooooX",
    " XooXoooooooooooX",
    "  XoXoooooooooooX",
    "  XoooooooooooooX",
    "   XooooooooooooX",
    "   XoooooooooooX",
    "    XooooooooooX",
    "    XoooooooooX",
    "     XooooooooX",
    "     XooooooooX",
    "     XXXXXXXXXX",
};

const Art kGrabHand = {
    "",
    "",
    "",
    "",
    "     XX XX XX",
    "    XooXooXooXX",
    "    XooXooXooXoX",
    "  XXXooooooooXoX",
    " XooXoooooooooooX",
    " XoooooooooooooX",
    "  XooooooooooooX",
    "  XooooooooooooX",
    "   XoooooooooooX",
    "   XooooooooooX",
    "    XoooooooooX",
    "    XoooooooooX",
    "    XXXXXXXXXXX",
};

const Art kDragArrow = {
    "X",
    "XX",
    "XoX",
    "XooX",
    "XoooX",
    "XooooX",
    "XoooooX",
    "XooooooX",
    "XoooooooX",
    "XooooooooX",
    "XoooooXXXXX",
    "XooXooX",
    "XoX XooX",
    "XX  XooX",
    "X    XooX",
    "     XooX",
    "      XX  XXXXXXXXX",
    "          XoooooooX",
    "          XoooooooX",
    "          XoooooooX",
    "          XoooooooX",
    "          XXXXXXXXX",
};

Bytes Cursor(const Art& art, int hot_x, int hot_y) {
  const int n = 32;
  Bytes xor_bits(n * 4, 0), and_bits(n * 4, 0xFF);
  for (int y = 0; y < static_cast<int>(art.size()) && y < n; ++y)
    for (int x = 0; x < static_cast<int>(art[y].size()) && x < n; ++x) {
      const char c = art[y][x];
      if (c != 'X' && c != 'o') continue;
      const int row = n - 1 - y;  // bottom-up
      and_bits[row * 4 + x / 8] &= ~(0x80 >> (x % 8));
      if (c == 'o') xor_bits[row * 4 + x / 8] |= 0x80 >> (x % 8);
    }
  Bytes image;
  Put32(image, 40);
  Put32(image, n);
  Put32(image, n * 2);
  Put16(image, 1);
  Put16(image, 1);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  Put32(image, 0x000000);  // palette: black, white
  Put32(image, 0xFFFFFF);
  image.insert(image.end(), xor_bits.begin(), xor_bits.end());
  image.insert(image.end(), and_bits.begin(), and_bits.end());
  Bytes file;
  Put16(file, 0);
  Put16(file, 2);  // cursor
  Put16(file, 1);
  file.push_back(n);
  file.push_back(n);
  file.push_back(0);
  file.push_back(0);
  Put16(file, static_cast<uint16_t>(hot_x));
  Put16(file, static_cast<uint16_t>(hot_y));
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

// The key icon: a gold ring with a hole, a shaft and two teeth, outlined.
Bytes KeyIcon() {
  const int n = 32;
  auto inside = [](int x, int y) {
    const double dx = x - 9.5, dy = y - 15.5, d = std::sqrt(dx * dx + dy * dy);
    if (d <= 7.5 && d >= 3.0) return true;
    if (x >= 16 && x <= 29 && y >= 14 && y <= 17) return true;
    if (((x >= 21 && x <= 22) || (x >= 25 && x <= 27)) && y >= 18 && y <= 21) return true;
    return false;
  };
  Bytes pixels;  // BGRA, bottom-up
  Bytes mask(n * 4, 0xFF);
  for (int row = 0; row < n; ++row) {
    const int y = n - 1 - row;
    for (int x = 0; x < n; ++x) {
      uint8_t b = 0, g = 0, r = 0, a = 0;
      if (inside(x, y)) {
        const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
        if (edge) {
          r = 0x70, g = 0x50, b = 0x00;
        } else {
          const double shade = 1.0 - 0.012 * (x + y);
          r = static_cast<uint8_t>(0xF0 * shade), g = static_cast<uint8_t>(0xC0 * shade), b = 0x20;
        }
        a = 0xFF;
        mask[row * 4 + x / 8] &= ~(0x80 >> (x % 8));
      }
      pixels.insert(pixels.end(), {b, g, r, a});
    }
  }
  Bytes image;
  Put32(image, 40);
  Put32(image, n);
  Put32(image, n * 2);
  Put16(image, 1);
  Put16(image, 32);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  image.insert(image.end(), pixels.begin(), pixels.end());
  image.insert(image.end(), mask.begin(), mask.end());
  Bytes file;
  Put16(file, 0);
  Put16(file, 1);  // icon
  Put16(file, 1);
  file.push_back(n);
  file.push_back(n);
  file.push_back(0);
  file.push_back(0);
  Put16(file, 1);
  Put16(file, 32);
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

// The check tree's state images "LKTREEVW_CHECKS": 64 x 16 pixels, 16
// colours, four 16 x 16 cells in state order on an olive ground (the mask
// colour). Each cell holds an 11 x 11 box (pixels 2 to 12) with a grey
// outline and a white inside: 0 a grey diagonal cross (never shown), 1
// empty, 2 a black check mark, 3 a grey check mark on a silver and white
// checkerboard.
Bytes CheckBoxes() {
  // The standard 16-colour palette, as red, green, blue.
  static const uint8_t kPalette[16][3] = {
      {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
      {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  enum : uint8_t { kBlack = 0, kOlive = 3, kSilver = 7, kGrey = 8, kWhite = 15 };
  const char* kMark[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};
  const int w = 64, h = 16;
  std::vector<uint8_t> px(w * h, kOlive);
  auto put = [&](int cell, int x, int y, uint8_t c) { px[y * w + cell * 16 + x] = c; };
  for (int cell = 0; cell < 4; ++cell) {
    for (int y = 2; y <= 12; ++y)
      for (int x = 2; x <= 12; ++x) {
        const bool edge = x == 2 || x == 12 || y == 2 || y == 12;
        uint8_t c = edge ? kGrey : kWhite;
        if (!edge && cell == 3 && (x + y) % 2) c = kSilver;
        put(cell, x, y, c);
      }
    if (cell == 0)
      for (int i = 0; i < 7; ++i) {
        put(0, 4 + i, 4 + i, kGrey);
        put(0, 10 - i, 4 + i, kGrey);
      }
    if (cell >= 2)
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
          if (kMark[y][x] == 'X') put(cell, 4 + x, 4 + y, cell == 2 ? kBlack : kGrey);
  }
  const int stride = w / 2;  // four bits a pixel: 32 bytes, already a multiple of four
  Bytes file;
  const uint32_t bits_at = 14 + 40 + 16 * 4;
  file.push_back('B');
  file.push_back('M');
  Put32(file, bits_at + stride * h);
  Put32(file, 0);
  Put32(file, bits_at);
  Put32(file, 40);
  Put32(file, w);
  Put32(file, h);  // bottom-up
  Put16(file, 1);
  Put16(file, 4);
  Put32(file, 0);  // no compression
  Put32(file, stride * h);
  Put32(file, 0);
  Put32(file, 0);
  Put32(file, 16);
  Put32(file, 16);
  for (const auto& c : kPalette) file.insert(file.end(), {c[2], c[1], c[0], 0});
  for (int row = h - 1; row >= 0; --row)
    for (int x = 0; x < w; x += 2) file.push_back(static_cast<uint8_t>(px[row * w + x] << 4 | px[row * w + x + 1]));
  return file;
}

// The directory edit's default glyph "FEDITBMP": a sheet of paper behind a
// folder, 15 x 14, on black. Black is the glyph's transparent colour (its
// bottom-left pixel), so the outline is a dark grey, and the generated
// disabled picture, which is taken against black, shows the whole shape.
const Art kFolderAndFile = {
    "........ooooo..",
    "........owwwoo.",
    "........owwwwwo",
    "........owgggwo",
    ".oooo...owwwwwo",
    "oyyyyo..owgggwo",
    "oyyyyyooooooooo",
    "oyYYYYYYYYYYYYo",
    "oyYYYYYYYYYYYYo",
    "oyYYYYYYYYYYYYo",
    "oyYYYYYYYYYYYYo",
    "oyYYYYYYYYYYYYo",
    "ooooooooooooooo",
    "...............",
};

// A 24-bit bottom-up .bmp file of the art.
Bytes Bitmap(const Art& art) {
  const int h = static_cast<int>(art.size()), w = static_cast<int>(art[0].size());
  const int row = (w * 3 + 3) / 4 * 4;
  auto colour = [](char c) -> uint32_t {  // 0xRRGGBB
    switch (c) {
      case 'o': return 0x404040;
      case 'w': return 0xFFFFFF;
      case 'g': return 0x808080;
      case 'y': return 0xFFF080;
      case 'Y': return 0xE8C040;
      default: return 0x000000;
    }
  };
  Bytes pixels;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(art[y][x]);
      pixels.push_back(c & 0xFF);
      pixels.push_back((c >> 8) & 0xFF);
      pixels.push_back((c >> 16) & 0xFF);
    }
    for (int pad = w * 3; pad < row; ++pad) pixels.push_back(0);
  }
  Bytes file;
  file.push_back('B');
  file.push_back('M');
  Put32(file, static_cast<uint32_t>(14 + 40 + pixels.size()));
  Put32(file, 0);
  Put32(file, 14 + 40);
  Put32(file, 40);
  Put32(file, static_cast<uint32_t>(w));
  Put32(file, static_cast<uint32_t>(h));
  Put16(file, 1);
  Put16(file, 24);
  Put32(file, 0);
  Put32(file, static_cast<uint32_t>(pixels.size()));
  for (int i = 0; i < 4; ++i) Put32(file, 0);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A resource-script string: quotes doubled, backslashes escaped.
std::string RcString(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"') r += "\"\"";
    else if (c == '\\') r += "\\\\";
    else r += c;
  }
  return r + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_lkres OUTDIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  struct Pic {
    const char* name;
    Bytes data;
  };
  const Pic pics[] = {
      {"LK_HANDCUR.cur", Cursor(kPointingHand, 5, 0)},    {"LK_DRAGCUR.cur", Cursor(kDragArrow, 0, 0)},
      {"LK_HANDPOINT.cur", Cursor(kPointingHand, 5, 0)},  {"LK_SMALLHANDPOINT.cur", Cursor(kPointingHand, 5, 0)},
      {"LK_GRABHAND.cur", Cursor(kGrabHand, 8, 8)},       {"LK_GRABHANDARROW.cur", Cursor(kGrabHand, 8, 8)},
      {"LK_DRAGHAND.cur", Cursor(kGrabHand, 8, 8)},       {"KEYICON2.ico", KeyIcon()},
      {"LKTREEVW_CHECKS.bmp", CheckBoxes()},
      {"FEDITBMP.bmp", Bitmap(kFolderAndFile)},
  };
  for (const Pic& p : pics)
    if (!WriteFile(dir + p.name, p.data)) {
      std::fprintf(stderr, "gen_lkres: cannot write %s%s\n", dir.c_str(), p.name);
      return 1;
    }

  std::string rc =
      "// Generated by gen_lkres: do not edit.\n"
      "#pragma code_page(65001)\n\n";
  for (const Pic& p : pics) {
    const std::string name = p.name;
    const std::string ext = name.substr(name.size() - 4);
    const char* type = ext == ".ico" ? " ICON " : ext == ".bmp" ? " BITMAP " : " CURSOR ";
    rc += name.substr(0, name.size() - 4) + type + RcString(dir + p.name) + "\n";
  }
  rc += "\nSTRINGTABLE\nBEGIN\n";
  for (int k = pbkOk; k < kButtonKindCount; ++k) {
    const auto kind = static_cast<TLkButtonKind>(k);
    rc += "  " + std::to_string(ButtonCaptionId(kind)) + ", " + RcString(ButtonCaptionText(kind)) + "\n";
  }
  for (int l = 0; l < kDialogLanguageCount; ++l) {
    const auto lang = static_cast<TDialogLanguage>(l);
    rc += "  " + std::to_string(PasswordCaptionId(lang)) + ", " + RcString(PasswordCaptionText(lang)) + "\n";
    rc += "  " + std::to_string(PasswordPromptId(lang)) + ", " + RcString(PasswordPromptText(lang)) + "\n";
  }
  rc += "END\n";
  if (!WriteFile(dir + "lkctrls.rc", Bytes(rc.begin(), rc.end()))) {
    std::fprintf(stderr, "gen_lkres: cannot write %slkctrls.rc\n", dir.c_str());
    return 1;
  }
  return 0;
}
