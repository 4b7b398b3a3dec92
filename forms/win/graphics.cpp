#include "forms/win/graphics.h"

#include <algorithm>
#include <cstring>

#include "base/fontcmap.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "base/win/comctl_load.h"
#include "base/win/lazy_dll.h"

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

namespace {

// The font's character map, empty if it is not a TrueType font.
std::vector<std::uint8_t> CharacterMap(HDC dc) {
  const DWORD tag = 'c' | 'm' << 8 | 'a' << 16 | static_cast<DWORD>('p') << 24;
  const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0) return {};
  std::vector<std::uint8_t> table(size);
  if (GetFontData(dc, tag, 0, table.data(), size) != size) return {};
  return table;
}

// Without GetGlyphIndices: a TrueType font's own map, or for any other font
// the range of characters it holds.
bool HasGlyphsByMap(HDC dc, const std::string& text) {
  TEXTMETRICA tm{};
  if (!GetTextMetricsA(dc, &tm)) return false;
  const std::vector<std::uint8_t> map = CharacterMap(dc);
  if (map.empty()) {
    for (unsigned char c : text)
      if (c < static_cast<BYTE>(tm.tmFirstChar) || c > static_cast<BYTE>(tm.tmLastChar)) return false;
    return true;
  }
  // A symbol font's map is by byte; any other's by the character's code.
  std::vector<std::uint32_t> codes;
  if (tm.tmCharSet == SYMBOL_CHARSET) {
    for (unsigned char c : text) codes.push_back(c);
  } else {
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size()));
    if (n <= 0) return false;
    for (int k = 0; k < n; ++k) codes.push_back(static_cast<std::uint16_t>(wide[k]));
  }
  for (std::uint32_t code : codes)
    if (!CmapHasGlyph(map.data(), map.size(), code)) return false;
  return true;
}

// Runs `answer` with the font selected into a screen DC.
template <class F>
bool WithFont(const TFont& font, F answer) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  const bool result = answer(dc);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return result;
}

}  // namespace

bool FontHasGlyphs(const TFont& font, const std::string& text) {
  if (text.empty()) return true;
  return WithFont(font, [&](HDC dc) {
    std::vector<WORD> glyphs(text.size());
    const DWORD n = gdi::GetGlyphIndicesA(dc, text.data(), static_cast<int>(text.size()), glyphs.data(),
                                          GGI_MARK_NONEXISTING_GLYPHS);
    if (n == GDI_ERROR) return GetLastError() == ERROR_PROC_NOT_FOUND && HasGlyphsByMap(dc, text);
    for (WORD g : glyphs)
      if (g == 0xFFFF) return false;
    return true;
  });
}

bool FontHasGlyphsByMap(const TFont& font, const std::string& text) {
  if (text.empty()) return true;
  return WithFont(font, [&](HDC dc) { return HasGlyphsByMap(dc, text); });
}

bool IntersectRects(TRect& out, const TRect& a, const TRect& b) {
  out = TRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
  if (out.Empty()) {
    out = TRect();
    return false;
  }
  return true;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphicsObject::Releasing() {
  if (OnRelease) OnRelease(this);
}

// ---- TFont

TFont::TFont() = default;
TFont::~TFont() { Drop(); }

void TFont::Drop() {
  if (!handle_) return;
  Releasing();
  DeleteObject(handle_);
  handle_ = nullptr;
}

void TFont::Assign(const TFont& o) {
  if (&o == this) return;
  if (name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ && charset_ == o.charset_)
    return;
  name_ = o.name_;
  height_ = o.height_;
  style_ = o.style_;
  color_ = o.color_;
  charset_ = o.charset_;
  Drop();
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Drop();
  Changed();
}
void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Drop();
  Changed();
}
static int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}
int TFont::Size() const { return -MulDiv(height_, 72, ScreenDpi()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenDpi(), 72)); }
void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Drop();
  Changed();
}
void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();  // the handle does not carry the colour
}
void TFont::SetCharset(BYTE charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Drop();
  Changed();
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTA lf = LogFont();
    handle_ = CreateFontIndirectA(&lf);
  }
  return handle_;
}

// ---- TPen

TPen::~TPen() { Drop(); }
void TPen::Drop() {
  if (!handle_) return;
  Releasing();
  DeleteObject(handle_);
  handle_ = nullptr;
}
void TPen::Assign(const TPen& o) {
  if (&o == this) return;
  color_ = o.color_;
  width_ = o.width_;
  style_ = o.style_;
  Drop();
  Changed();
}
void TPen::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Drop();
  Changed();
}
void TPen::SetWidth(int w) {
  if (w == width_) return;
  width_ = w;
  Drop();
  Changed();
}
void TPen::SetStyle(TPenStyle s) {
  if (s == style_) return;
  style_ = s;
  Drop();
  Changed();
}
HPEN TPen::Handle() const {
  if (!handle_) {
    static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_ = CreatePen(kStyles[static_cast<int>(style_)], width_, ColorToRGB(color_));
  }
  return handle_;
}

// ---- TBrush

TBrush::~TBrush() { Drop(); }
void TBrush::Drop() {
  if (!handle_) return;
  Releasing();
  DeleteObject(handle_);
  handle_ = nullptr;
}
void TBrush::Assign(const TBrush& o) {
  if (&o == this) return;
  color_ = o.color_;
  style_ = o.style_;
  bitmap_ = o.bitmap_;
  Drop();
  Changed();
}
void TBrush::SetBitmap(const TBitmap* bitmap) {
  if (bitmap == bitmap_) return;
  bitmap_ = bitmap;
  Drop();
  Changed();
}
void TBrush::SetColor(TColor c) {
  if (c == color_ && style_ != TBrushStyle::bsClear) return;
  color_ = c;
  if (style_ == TBrushStyle::bsClear) style_ = TBrushStyle::bsSolid;
  Drop();
  Changed();
}
void TBrush::SetStyle(TBrushStyle s) {
  if (s == style_) return;
  style_ = s;
  Drop();
  Changed();
}
HBRUSH TBrush::Handle() const {
  if (bitmap_ && !bitmap_->Empty() && !handle_) {
    // The brush takes a copy that no device context holds.
    TBitmap copy;
    copy.Assign(*bitmap_);
    HBITMAP pattern = copy.ReleaseHandle();
    handle_ = CreatePatternBrush(pattern);
    DeleteObject(pattern);
  }
  if (handle_) return handle_;
  if (style_ == TBrushStyle::bsClear) return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  if (!handle_) {
    switch (style_) {
      case TBrushStyle::bsSolid: handle_ = CreateSolidBrush(ColorToRGB(color_)); break;
      case TBrushStyle::bsHorizontal: handle_ = CreateHatchBrush(HS_HORIZONTAL, ColorToRGB(color_)); break;
      case TBrushStyle::bsVertical: handle_ = CreateHatchBrush(HS_VERTICAL, ColorToRGB(color_)); break;
      case TBrushStyle::bsFDiagonal: handle_ = CreateHatchBrush(HS_FDIAGONAL, ColorToRGB(color_)); break;
      case TBrushStyle::bsBDiagonal: handle_ = CreateHatchBrush(HS_BDIAGONAL, ColorToRGB(color_)); break;
      case TBrushStyle::bsCross: handle_ = CreateHatchBrush(HS_CROSS, ColorToRGB(color_)); break;
      case TBrushStyle::bsDiagCross: handle_ = CreateHatchBrush(HS_DIAGCROSS, ColorToRGB(color_)); break;
      default: break;
    }
  }
  return handle_;
}

// ---- TCanvas

TCanvas::TCanvas() {
  // A change of a selected object must reach the DC: the old object goes
  // back in before the handle is deleted, and the new one is selected on
  // next use.
  auto font = [this](TObject*) { if (dc_ && old_font_) { SelectObject(dc_, old_font_); old_font_ = nullptr; } };
  auto pen = [this](TObject*) { if (dc_ && old_pen_) { SelectObject(dc_, old_pen_); old_pen_ = nullptr; } };
  auto brush = [this](TObject*) { if (dc_ && old_brush_) { SelectObject(dc_, old_brush_); old_brush_ = nullptr; } };
  font_.OnChange = font;
  font_.OnRelease = font;
  pen_.OnChange = pen;
  pen_.OnRelease = pen;
  brush_.OnChange = brush;
  brush_.OnRelease = brush;
}
TCanvas::~TCanvas() { Restore(); }

void TCanvas::Restore() {
  if (!dc_) return;
  if (old_font_) SelectObject(dc_, old_font_);
  if (old_pen_) SelectObject(dc_, old_pen_);
  if (old_brush_) SelectObject(dc_, old_brush_);
  old_font_ = old_pen_ = old_brush_ = nullptr;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Restore();
  dc_ = dc;
}

void TCanvas::RequireFont() {
  if (!dc_) return;
  HGDIOBJ prev = SelectObject(dc_, font_.Handle());
  if (!old_font_) old_font_ = prev;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
}
void TCanvas::RequirePen() {
  if (!dc_) return;
  HGDIOBJ prev = SelectObject(dc_, pen_.Handle());
  if (!old_pen_) old_pen_ = prev;
}
void TCanvas::RequireBrush() {
  if (!dc_) return;
  HGDIOBJ prev = SelectObject(dc_, brush_.Handle());
  if (!old_brush_) old_brush_ = prev;
  SetBkColor(dc_, ColorToRGB(brush_.Color()));
  SetBkMode(dc_, brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::MoveTo(int x, int y) {
  if (dc_) MoveToEx(dc_, x, y, nullptr);
}
void TCanvas::LineTo(int x, int y) {
  RequirePen();
  if (dc_) ::LineTo(dc_, x, y);
}
void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RequirePen();
  RequireBrush();
  if (dc_) ::Rectangle(dc_, x1, y1, x2, y2);
}
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RequirePen();
  RequireBrush();
  if (dc_) ::Ellipse(dc_, x1, y1, x2, y2);
}
void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
  RequirePen();
  RequireBrush();
  if (dc_) ::RoundRect(dc_, x1, y1, x2, y2, w, h);
}
void TCanvas::FillRect(const TRect& r) {
  if (!dc_) return;
  RECT rc = r;
  ::FillRect(dc_, &rc, brush_.Handle());
}
void TCanvas::FrameRect(const TRect& r) {
  if (!dc_) return;
  RECT rc = r;
  ::FrameRect(dc_, &rc, brush_.Handle());
}
void TCanvas::DrawFocusRect(const TRect& r) {
  if (!dc_) return;
  RECT rc = r;
  ::DrawFocusRect(dc_, &rc);
}
void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireFont();
  RequireBrush();
  if (dc_) ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}
void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  RequireFont();
  RequireBrush();
  if (!dc_) return;
  RECT rc = r;
  UINT opts = ETO_CLIPPED | (brush_.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutA(dc_, x, y, opts, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
}
int TCanvas::DrawText(const std::string& text, TRect& r, UINT flags) {
  RequireFont();
  RequireBrush();
  if (!dc_) return 0;
  RECT rc = r;
  int h = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rc, flags);
  r = rc;
  return h;
}
SIZE TCanvas::TextExtent(const std::string& text) {
  SIZE s{0, 0};
  RequireFont();
  if (dc_) GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
  return s;
}
void TCanvas::Draw(int x, int y, TGraphic* g) {
  if (g && !g->Empty()) g->Draw(this, Bounds(x, y, g->Width(), g->Height()));
}
void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
  if (g && !g->Empty()) g->Draw(this, r);
}
void TCanvas::CopyRect(const TRect& d, TCanvas* source, const TRect& s) {
  if (!dc_ || !source || !source->dc_) return;
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, d.left, d.top, d.Width(), d.Height(), source->dc_, s.left, s.top, s.Width(), s.Height(), SRCCOPY);
}
TColor TCanvas::Pixel(int x, int y) { return dc_ ? static_cast<TColor>(GetPixel(dc_, x, y)) : clNone; }
void TCanvas::SetPixel(int x, int y, TColor c) {
  if (dc_) ::SetPixel(dc_, x, y, ColorToRGB(c));
}

// ---- TGraphic

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}
void TGraphic::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  Changed();
}
void TGraphic::LoadFromFile(const std::string& name) {
  TFileStream f(name, fmOpenRead);
  LoadFromStream(f);
}
void TGraphic::SaveToFile(const std::string& name) const {
  TFileStream f(name, fmCreate);
  SaveToStream(f);
}

// ---- TBitmap

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() {
  Unselect();
  canvas_.reset();
  if (handle_) DeleteObject(handle_);
}

void TBitmap::Unselect() const {
  if (canvas_ && canvas_->Handle()) {
    HDC dc = canvas_->Handle();
    canvas_->SetHandle(nullptr);
    if (old_bitmap_) SelectObject(dc, old_bitmap_);
    old_bitmap_ = nullptr;
    DeleteDC(dc);
  }
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  if (!canvas_->Handle()) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (handle_) old_bitmap_ = SelectObject(dc, handle_);
    canvas_->SetHandle(dc);
  }
  return canvas_.get();
}

void TBitmap::SetSize(int w, int h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == width_ && h == height_ && handle_) return;
  Unselect();
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  width_ = w;
  height_ = h;
  if (w > 0 && h > 0) {
    if (monochrome_) {
      handle_ = CreateBitmap(w, h, 1, 1, nullptr);
    } else {
      HDC screen = GetDC(nullptr);
      handle_ = CreateCompatibleBitmap(screen, w, h);
      ReleaseDC(nullptr, screen);
    }
  }
  Changed();
}

void TBitmap::SetMonochrome(bool on) {
  if (on == monochrome_) return;
  monochrome_ = on;
  int w = width_, h = height_;
  width_ = height_ = -1;
  SetSize(w, h);
}

void TBitmap::SetHandle(HBITMAP bmp) {
  Unselect();
  if (handle_ && handle_ != bmp) DeleteObject(handle_);
  handle_ = bmp;
  width_ = height_ = 0;
  monochrome_ = false;
  if (bmp) {
    BITMAP b{};
    GetObjectA(bmp, sizeof b, &b);
    width_ = b.bmWidth;
    height_ = b.bmHeight;
    monochrome_ = b.bmBitsPixel == 1 && b.bmPlanes == 1;
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  Unselect();
  HBITMAP h = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  return h;
}

void TBitmap::Assign(const TBitmap& o) {
  if (&o == this) return;
  if (o.Empty()) {
    SetHandle(nullptr);
    return;
  }
  HBITMAP copy = static_cast<HBITMAP>(CopyImage(o.handle_, IMAGE_BITMAP, 0, 0, 0));
  if (!copy) {
    // The source is selected into its canvas: copy by blitting.
    monochrome_ = o.monochrome_;
    SetSize(o.width_, o.height_);
    TBitmap& src = const_cast<TBitmap&>(o);
    BitBlt(Canvas()->Handle(), 0, 0, width_, height_, src.Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    SetHandle(copy);
  }
  transparent_ = o.transparent_;
  transparent_color_ = o.transparent_color_;
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HBITMAP b = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!b) throw EOSError("Bitmap resource \"" + name + "\" not found", GetLastError());
  SetHandle(b);
}

TColor TBitmap::TransparentColor() const {
  if (transparent_color_ != clDefault) return transparent_color_;
  if (Empty()) return clNone;
  TBitmap& self = const_cast<TBitmap&>(*this);
  return static_cast<TColor>(GetPixel(self.Canvas()->Handle(), 0, height_ - 1));
}

void MaskedTransparentBlt(HDC dst, const TRect& r, HDC src, int width, int height, COLORREF transparent) {
  HDC maskDc = CreateCompatibleDC(dst);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  if (!maskDc || !mask) {
    if (mask) DeleteObject(mask);
    if (maskDc) DeleteDC(maskDc);
    return;
  }
  HGDIOBJ oldMask = SelectObject(maskDc, mask);
  // Colour to monochrome: the source's background colour becomes white.
  const COLORREF oldSrcBk = SetBkColor(src, transparent);
  BitBlt(maskDc, 0, 0, width, height, src, 0, 0, SRCCOPY);
  SetBkColor(src, oldSrcBk);
  // Monochrome to colour takes the text colour for 0 and the background for
  // 1: black and white, so the AND keeps the transparent pixels' XOR.
  const COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(dst, RGB(255, 255, 255));
  const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
  const int x = r.left, y = r.top, cx = r.Width(), cy = r.Height();
  // dst ^ src, then 0 where opaque, then ^ src: src where opaque, dst elsewhere.
  StretchBlt(dst, x, y, cx, cy, src, 0, 0, width, height, SRCINVERT);
  StretchBlt(dst, x, y, cx, cy, maskDc, 0, 0, width, height, SRCAND);
  StretchBlt(dst, x, y, cx, cy, src, 0, 0, width, height, SRCINVERT);
  SetStretchBltMode(dst, oldMode);
  SetBkColor(dst, oldBk);
  SetTextColor(dst, oldText);
  SelectObject(maskDc, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDc);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || !canvas->Handle()) return;
  HDC src = Canvas()->Handle();
  HDC dst = canvas->Handle();
  if (monochrome_) {
    SetTextColor(dst, RGB(0, 0, 0));
    SetBkColor(dst, RGB(255, 255, 255));
  }
  if (transparent_) {
    const COLORREF key = ColorToRGB(TransparentColor());
    if (!msimg::TransparentBlt(dst, r.left, r.top, r.Width(), r.Height(), src, 0, 0, width_, height_, key))
      MaskedTransparentBlt(dst, r, src, width_, height_, key);
  } else {
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, r.left, r.top, r.Width(), r.Height(), src, 0, 0, width_, height_, SRCCOPY);
  }
}

void TBitmap::LoadFromStream(TStream& stream) {
  int64_t size = stream.Size() - stream.Position();
  if (size < static_cast<int64_t>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)))
    throw EInvalidGraphic("Bitmap image is not valid");
  std::string data(static_cast<size_t>(size), '\0');
  stream.ReadBuffer(data.data(), static_cast<int32_t>(size));
  auto* fh = reinterpret_cast<const BITMAPFILEHEADER*>(data.data());
  if (fh->bfType != 0x4D42 || fh->bfOffBits >= data.size()) throw EInvalidGraphic("Bitmap image is not valid");
  auto* bi = reinterpret_cast<const BITMAPINFO*>(data.data() + sizeof(BITMAPFILEHEADER));
  // The pixels the header announces must all be there: GDI reads them blindly.
  const BITMAPINFOHEADER& h = bi->bmiHeader;
  const int64_t w = h.biWidth, rows = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  const int bpp = h.biBitCount;
  const bool depth_ok = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || w <= 0 || rows <= 0 || w > 32768 || rows > 32768 || h.biPlanes != 1 ||
      !depth_ok)
    throw EInvalidGraphic("Bitmap image is not valid");
  const int64_t available = static_cast<int64_t>(data.size()) - fh->bfOffBits;
  if (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) {
    const int64_t stride = ((w * bpp + 31) / 32) * 4;
    if (stride * rows > available) throw EInvalidGraphic("Bitmap image is truncated");
  } else if (h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4) {
    if (h.biSizeImage == 0 || h.biSizeImage > available) throw EInvalidGraphic("Bitmap image is truncated");
  } else {
    throw EInvalidGraphic("Bitmap image is not valid");
  }
  // The header and its colour table lie before the pixels.
  const int64_t colours = h.biClrUsed ? h.biClrUsed : (bpp <= 8 ? (int64_t{1} << bpp) : 0);
  const int64_t masks = h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  if (static_cast<int64_t>(sizeof(BITMAPFILEHEADER)) + h.biSize + masks + colours * 4 > fh->bfOffBits)
    throw EInvalidGraphic("Bitmap image is not valid");
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateDIBitmap(screen, &bi->bmiHeader, CBM_INIT, data.data() + fh->bfOffBits, bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!b) throw EInvalidGraphic("Bitmap image is not valid");
  SetHandle(b);
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (Empty()) return;
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof bih;
  bih.biWidth = width_;
  bih.biHeight = height_;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  const int stride = ((width_ * 3) + 3) & ~3;
  std::string bits(static_cast<size_t>(stride) * height_, '\0');
  const_cast<TBitmap*>(this)->Unselect();
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, handle_, 0, height_, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bih;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(bits.size());
  stream.WriteBuffer(&fh, sizeof fh);
  stream.WriteBuffer(&bih, sizeof bih);
  stream.WriteBuffer(bits.data(), static_cast<int32_t>(bits.size()));
}

// ---- TIcon

TIcon::~TIcon() {
  if (handle_) DestroyIcon(handle_);
}
void TIcon::SetHandle(HICON icon) {
  if (handle_ && handle_ != icon) DestroyIcon(handle_);
  handle_ = icon;
  width_ = height_ = 0;
  if (icon) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      BITMAP b{};
      GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof b, &b);
      width_ = b.bmWidth;
      height_ = ii.hbmColor ? b.bmHeight : b.bmHeight / 2;
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
  }
  Changed();
}
HICON TIcon::ReleaseHandle() {
  HICON h = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  return h;
}
void TIcon::Assign(const TIcon& o) {
  if (&o == this) return;
  SetHandle(o.handle_ ? CopyIcon(o.handle_) : nullptr);
}
void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int size) {
  HICON h = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, size, size, size ? 0 : LR_DEFAULTSIZE));
  if (!h) throw EOSError("Icon resource \"" + name + "\" not found", GetLastError());
  SetHandle(h);
}
void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (handle_ && canvas->Handle()) DrawIconEx(canvas->Handle(), r.left, r.top, handle_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}
void TIcon::LoadFromStream(TStream& stream) {
  // An .ico file: take the first image of the directory.
  int64_t size = stream.Size() - stream.Position();
  std::string data(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (size > 0) stream.ReadBuffer(data.data(), static_cast<int32_t>(size));
  if (data.size() < 6 + 16) throw EInvalidGraphic("Icon image is not valid");
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8); };
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16); };
  if (u16(0) != 0 || u16(2) != 1 || u16(4) == 0) throw EInvalidGraphic("Icon image is not valid");
  uint32_t bytes = u32(6 + 8), offset = u32(6 + 12);
  if (offset > data.size() || bytes > data.size() - offset) throw EInvalidGraphic("Icon image is not valid");
  HICON h = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(data.data() + offset), bytes, TRUE, 0x00030000, 0, 0, 0);
  if (!h) throw EInvalidGraphic("Icon image is not valid");
  SetHandle(h);
}
void TIcon::SaveToStream(TStream&) const { throw EInvalidGraphic("Saving icons is not supported"); }

// ---- TPicture

void TPicture::Hook() {
  if (graphic_) graphic_->OnChange = [this](TObject*) { if (OnChange) OnChange(this); };
  if (OnChange) OnChange(this);
}
void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
  graphic_ = std::move(g);
  Hook();
}
TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) SetGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}
TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) SetGraphic(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}
void TPicture::Assign(const TPicture& o) {
  if (&o == this) return;
  if (auto* b = dynamic_cast<TBitmap*>(o.graphic_.get())) {
    auto nb = std::make_unique<TBitmap>();
    nb->Assign(*b);
    SetGraphic(std::move(nb));
  } else if (auto* i = dynamic_cast<TIcon*>(o.graphic_.get())) {
    auto ni = std::make_unique<TIcon>();
    ni->Assign(*i);
    SetGraphic(std::move(ni));
  } else {
    Clear();
  }
}
void TPicture::LoadFromFile(const std::string& name) {
  std::string ext = LowerCase(ExtractFileExt(name));
  std::unique_ptr<TGraphic> g;
  if (ext == ".ico")
    g = std::make_unique<TIcon>();
  else if (ext == ".bmp")
    g = std::make_unique<TBitmap>();
  else
    throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  g->LoadFromFile(name);
  SetGraphic(std::move(g));
}
void TPicture::Clear() { SetGraphic(nullptr); }

// ---- TImageList

TImageList::TImageList(TComponent* owner, int w, int h) : TComponent(owner), width_(w), height_(h) {}
TImageList::~TImageList() {
  if (handle_) comctl::ImageList_Destroy(handle_);
}
HIMAGELIST TImageList::Handle() const {
  if (!handle_) handle_ = comctl::ImageList_Create(width_, height_, ILC_COLORDDB | ILC_MASK, 4, 4);
  return handle_;
}
void TImageList::Changed() {
  if (OnChange) OnChange(this);
}
void TImageList::SetSize(int w, int h) {
  if (w == width_ && h == height_) return;
  if (handle_) comctl::ImageList_Destroy(handle_);
  handle_ = nullptr;
  width_ = w;
  height_ = h;
  Changed();
}
int TImageList::Count() const { return handle_ ? comctl::ImageList_GetImageCount(handle_) : 0; }

// An image list refuses a bitmap that is selected into a DC: hand it a copy.
static HBITMAP DetachedCopy(TBitmap* b) {
  if (!b || b->Empty()) return nullptr;
  TBitmap copy;
  copy.Assign(*b);
  return copy.ReleaseHandle();
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  HBITMAP i = DetachedCopy(image), m = DetachedCopy(mask);
  int r = comctl::ImageList_Add(Handle(), i, m);
  if (i) DeleteObject(i);
  if (m) DeleteObject(m);
  Changed();
  return r;
}
int TImageList::AddMasked(TBitmap* image, TColor mask_color) {
  HBITMAP i = DetachedCopy(image);
  int r = comctl::ImageList_AddMasked(Handle(), i, ColorToRGB(mask_color));
  if (i) DeleteObject(i);
  Changed();
  return r;
}
int TImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  int r = comctl::ImageList_AddIcon(Handle(), icon->Handle());
  Changed();
  return r;
}
void TImageList::Delete(int index) {
  if (handle_ && comctl::ImageList_Remove(handle_, index)) Changed();
}
void TImageList::Clear() {
  if (handle_) comctl::ImageList_Remove(handle_, -1);
  Changed();
}
bool TImageList::GetBitmap(int index, TBitmap* out) {
  if (!out || index < 0 || index >= Count()) return false;
  out->SetSize(width_, height_);
  TCanvas* c = out->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, width_, height_));
  return comctl::ImageList_Draw(handle_, index, c->Handle(), 0, 0, ILD_NORMAL);
}
bool TImageList::GetIcon(int index, TIcon* out) {
  if (!out || index < 0 || index >= Count()) return false;
  HICON h = comctl::ImageList_GetIcon(handle_, index, ILD_NORMAL);
  if (!h) return false;
  out->SetHandle(h);
  return true;
}
void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas->Handle() || index < 0 || index >= Count()) return;
  if (enabled) {
    comctl::ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
  } else {
    comctl::ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE),
                     ILD_TRANSPARENT | ILD_BLEND50);
  }
}
void TImageList::DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay) {
  if (!canvas->Handle() || index < 0 || index >= Count()) return;
  comctl::ImageList_Draw(handle_, index, canvas->Handle(), x, y, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(overlay));
}
bool TImageList::Overlay(int index, int overlay) { return handle_ && comctl::ImageList_SetOverlayImage(handle_, index, overlay); }
void TImageList::SetBkColor(TColor c) {
  bk_color_ = c;
  comctl::ImageList_SetBkColor(Handle(), c == clNone ? CLR_NONE : ColorToRGB(c));
  Changed();
}
