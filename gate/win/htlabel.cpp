#include "gate/win/htlabel.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

TTagAlignment ToTag(TAlignment a) {
  switch (a) {
    case TAlignment::taRightJustify: return TTagAlignment::taRightJustify;
    case TAlignment::taCenter: return TTagAlignment::taCenter;
    default: return TTagAlignment::taLeftJustify;
  }
}

TTagLayout ToTag(TTextLayout l) {
  switch (l) {
    case TTextLayout::tlCenter: return TTagLayout::tlCenter;
    case TTextLayout::tlBottom: return TTagLayout::tlBottom;
    default: return TTagLayout::tlTop;
  }
}

TTagRect ToTag(const TRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

uint8_t TTaggedCanvasAdapter::FontStyle() { return c_.Font()->Style() & (tgBold | tgItalic | tgUnderline); }
void TTaggedCanvasAdapter::SetFontStyle(uint8_t style) {
  c_.Font()->SetStyle(static_cast<TFontStyles>((c_.Font()->Style() & ~(tgBold | tgItalic | tgUnderline)) | style));
}
TColor TTaggedCanvasAdapter::FontColor() { return c_.Font()->Color(); }
void TTaggedCanvasAdapter::SetFontColor(TColor colour) { c_.Font()->SetColor(colour); }
void TTaggedCanvasAdapter::SetBrushColor(TColor colour) { c_.Brush()->SetColor(colour); }
void TTaggedCanvasAdapter::FillRect(int left, int top, int right, int bottom) {
  c_.FillRect(TRect(left, top, right, bottom));
}
int TTaggedCanvasAdapter::TextWidth(std::string_view text) { return c_.TextWidth(std::string(text)); }
int TTaggedCanvasAdapter::TextHeight(std::string_view text) { return c_.TextHeight(std::string(text)); }
void TTaggedCanvasAdapter::TextOut(int x, int y, std::string_view text) {
  const std::string piece(text);
  c_.RequireFont();  // the raw calls below draw and measure with it
  HDC dc = c_.Handle();
  // Segments sit side by side: no background of their own.
  SetBkMode(dc, TRANSPARENT);
  // Each character at the advance the measurement gives it: a plain
  // TextOut may place glyphs closer than the font's measured widths (Wine
  // does with Tahoma's small sizes), and the next piece, put where this
  // one measured to end, would then stand a few blanks off.
  const int n = static_cast<int>(piece.size());
  std::vector<int> ends(piece.size() + 1, 0), dx(piece.size() + 1, 0);
  int fit = 0;
  SIZE size{};
  if (n == 0 || !GetTextExtentExPointA(dc, piece.data(), n, INT_MAX, &fit, ends.data(), &size) || fit != n) {
    c_.TextOut(x, y, piece);
    return;
  }
  for (int i = 0; i < n; ++i) dx[i] = ends[i] - (i ? ends[i - 1] : 0);
  ExtTextOutA(dc, x, y, 0, nullptr, piece.data(), static_cast<UINT>(n), dx.data());
}

TLkHtLabel::TLkHtLabel(TComponent* owner) : TCustomLabel(owner) {}

void TLkHtLabel::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetColor(Color());
  canvas.Brush()->SetStyle(Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
  const TRect client = ClientRect();
  if (!Transparent()) canvas.FillRect(client);
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);

  TTaggedCanvasAdapter adapter(canvas);
  const int h = canvas.TextHeight("W");
  const auto lines = SplitCaptionLines(Caption());
  const int n = static_cast<int>(lines.size());
  for (int i = 0; i < n; ++i) {
    int width = 0;
    if (Alignment() != TAlignment::taLeftJustify) width = TaggedLineWidth(&adapter, ToTag(client), 0, false, lines[i]);
    const TTagRect r = TaggedLineRect(ToTag(client), h, i, n, ToTag(Layout()), ToTag(Alignment()), width);
    DrawTaggedLine(adapter, r, 0, false, lines[i]);
  }
}

void TLkHtLabel::AdjustSize() {
  if (!AutoSize() || Loading()) return;
  HDC screen = GetDC(nullptr);
  TTagExtent extent;
  {
    TCanvas canvas;
    canvas.SetHandle(screen);
    canvas.Font()->Assign(*Font());
    TTaggedCanvasAdapter adapter(canvas);
    extent = TaggedTextExtent(adapter, ToTag(ClientRect()), Caption());
    canvas.SetHandle(nullptr);
  }
  ReleaseDC(nullptr, screen);
  int left = Left();
  if (Alignment() == TAlignment::taRightJustify) left += Width() - extent.Width;
  SetBounds(left, Top(), extent.Width, extent.Height);
}
