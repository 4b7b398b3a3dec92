// Graphics over GDI: colours, fonts, pens, brushes, a canvas over a device
// context, bitmaps, icons, pictures and image lists.
//
// TColor is a 32-bit value: 0x00BBGGRR is a plain RGB colour; 0x800000nn is
// the system colour nn (COLOR_xxx), looked up when it is used, so a control
// set to clBtnFace follows the desktop scheme. ColorToRGB resolves both.
//
// The GDI objects (TFont, TPen, TBrush) create their handle lazily and drop it
// on every change; each fires OnChange so the control that owns it repaints.
// Assign copies by value (a control's Font is never shared).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"
#include "base/streams.h"
#include "base/sysutils.h"

class EInvalidGraphic : public Exception { using Exception::Exception; };

using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours are looked up now.
COLORREF ColorToRGB(TColor color);

struct TPoint {
  int x = 0, y = 0;
  bool operator==(const TPoint&) const = default;
};

// A rectangle with exclusive right and bottom edges, layout-compatible with RECT.
struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  TRect() = default;
  TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  TRect(const RECT& r) : left(r.left), top(r.top), right(r.right), bottom(r.bottom) {}
  operator RECT() const { return RECT{left, top, right, bottom}; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Empty() const { return right <= left || bottom <= top; }
  void Offset(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  bool operator==(const TRect&) const = default;
};
inline TRect Bounds(int left, int top, int width, int height) { return TRect(left, top, left + width, top + height); }
bool IntersectRects(TRect& out, const TRect& a, const TRect& b);

// Cursor numbers of the screen's cursor table (negative: system cursors).
using TCursor = int;
enum : TCursor {
  crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6, crSizeNS = -7,
  crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
  crHSplit = -14, crVSplit = -15, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22
};

// Font style bits.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

class TGraphicsObject : public TObject {
 public:
  TNotifyEvent OnChange;
  // Told just before the handle is deleted, while it is still a live object:
  // a canvas that holds it selected puts its old object back first, since
  // the 9x line refuses to delete a selected object (and leaks it).
  TNotifyEvent OnRelease;

 protected:
  void Changed();
  void Releasing();
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  void Assign(const TFont& other);  // copies every attribute, fires OnChange once

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Height() const { return height_; }  // negative: character height in pixels
  void SetHeight(int height);
  int Size() const;                       // points at the screen's resolution
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE charset);

  // The attributes as a LOGFONT (for rotated or otherwise derived fonts).
  LOGFONTA LogFont() const;
  HFONT Handle() const;

 private:
  void Drop();
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  BYTE charset_ = DEFAULT_CHARSET;
  mutable HFONT handle_ = nullptr;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// Whether the font has a glyph of its own for every character of `text`
// (a symbol font of another system may lack some, and would draw boxes).
bool FontHasGlyphs(const TFont& font, const std::string& text);
// The same answer from the font's own character map, as FontHasGlyphs gives
// it on a system without GetGlyphIndices (before Windows 2000).
bool FontHasGlyphsByMap(const TFont& font, const std::string& text);

class TPen : public TGraphicsObject {
 public:
  TPen() = default;
  ~TPen() override;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  void Assign(const TPen& other);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  HPEN Handle() const;

 private:
  void Drop();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  mutable HPEN handle_ = nullptr;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
 public:
  TBrush() = default;
  ~TBrush() override;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  void Assign(const TBrush& other);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern brush of the bitmap's pixels (the caller keeps the bitmap;
  // null goes back to Color and Style).
  const TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(const TBitmap* bitmap);
  HBRUSH Handle() const;  // the hollow stock brush for bsClear

 private:
  void Drop();
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  const TBitmap* bitmap_ = nullptr;
  mutable HBRUSH handle_ = nullptr;
};

class TGraphic;

// Drawing on a device context. The canvas selects its Font, Pen and Brush
// into the DC before each operation that uses them and puts the DC's own
// objects back when the handle is released.
class TCanvas : public TObject {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc);  // null releases the current one
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return &font_; }
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
  void FillRect(const TRect& r);       // with Brush
  void FrameRect(const TRect& r);      // with Brush
  void DrawFocusRect(const TRect& r);
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);  // clipped to r
  int DrawText(const std::string& text, TRect& r, UINT flags);           // DrawTextA; returns the height
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);  // SRCCOPY stretch
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // Selects Font, Pen and Brush now (for raw GDI calls on Handle()).
  void RequireFont();
  void RequirePen();
  void RequireBrush();

 private:
  void Restore();
  HDC dc_ = nullptr;
  HGDIOBJ old_font_ = nullptr, old_pen_ = nullptr, old_brush_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
};

// A canvas on a DC for one scope: taken off again at its end, also when a
// handler throws.
class TCanvasOnDC {
 public:
  TCanvasOnDC(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas.SetHandle(dc); }
  ~TCanvasOnDC() { canvas_.SetHandle(nullptr); }
  TCanvasOnDC(const TCanvasOnDC&) = delete;
  TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

 private:
  TCanvas& canvas_;
};

// The common base of bitmaps and icons.
class TGraphic : public TObject {
 public:
  TNotifyEvent OnChange;
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  virtual ~TGraphic() = default;
  void LoadFromFile(const std::string& name);
  void SaveToFile(const std::string& name) const;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

 protected:
  void Changed();
  bool transparent_ = false;
};

// A device-dependent bitmap with its own memory DC as canvas.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  void Assign(const TBitmap& other);

  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetSize(int width, int height);  // keeps nothing of the old picture
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  bool Monochrome() const { return monochrome_; }
  void SetMonochrome(bool on);

  TCanvas* Canvas();
  HBITMAP Handle() const { return handle_; }
  void SetHandle(HBITMAP bitmap);       // takes ownership
  HBITMAP ReleaseHandle();              // gives up ownership
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);

  // Transparent drawing: the colour of the bottom-left pixel (clDefault) or TransparentColor.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color) { transparent_color_ = color; }

  void Draw(TCanvas* canvas, const TRect& r) override;
  void LoadFromStream(TStream& stream) override;  // a .bmp file image
  void SaveToStream(TStream& stream) const override;

 private:
  void Unselect() const;
  HBITMAP handle_ = nullptr;
  int width_ = 0, height_ = 0;
  bool monochrome_ = false;
  TColor transparent_color_ = clDefault;
  mutable std::unique_ptr<TCanvas> canvas_;
  mutable HGDIOBJ old_bitmap_ = nullptr;
};

// TransparentBlt's picture from calls every system has (msimg32, which holds
// TransparentBlt, came with Windows 98 and 2000): the source's pixels of the
// `transparent` colour leave `dst` as it was, through a monochrome mask.
void MaskedTransparentBlt(HDC dst, const TRect& r, HDC src, int width, int height, COLORREF transparent);

class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;
  void Assign(const TIcon& other);
  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HICON Handle() const { return handle_; }
  void SetHandle(HICON icon);  // takes ownership
  HICON ReleaseHandle();
  void LoadFromResourceName(HINSTANCE instance, const std::string& name, int size = 0);  // size 0: the default
  void Draw(TCanvas* canvas, const TRect& r) override;
  void LoadFromStream(TStream& stream) override;  // an .ico file image
  void SaveToStream(TStream& stream) const override;

 private:
  HICON handle_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Holds one graphic of either kind.
class TPicture : public TObject {
 public:
  TPicture() = default;
  TNotifyEvent OnChange;
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  TBitmap* Bitmap();  // makes the picture a bitmap when it holds something else
  TIcon* Icon();      // likewise an icon
  bool Empty() const { return !graphic_ || graphic_->Empty(); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  void Assign(const TPicture& other);
  void LoadFromFile(const std::string& name);  // by extension: .bmp or .ico
  void Clear();

 private:
  void Hook();
  std::unique_ptr<TGraphic> graphic_;
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

// A list of equal-sized images over a comctl32 image list.
class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner, int width = 16, int height = 16);
  ~TImageList() override;
  TNotifyEvent OnChange;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);  // clears the list
  int Count() const;
  HIMAGELIST Handle() const;

  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor mask_color);
  int AddIcon(TIcon* icon);
  void Delete(int index);
  void Clear();
  bool GetBitmap(int index, TBitmap* out);
  bool GetIcon(int index, TIcon* out);
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int index, int overlay);
  bool Overlay(int index, int overlay);  // makes image `index` overlay number `overlay` (1..15)
  TColor BkColor() const { return bk_color_; }
  void SetBkColor(TColor color);

 private:
  void Changed();
  int width_, height_;
  TColor bk_color_ = clNone;
  mutable HIMAGELIST handle_ = nullptr;
};
