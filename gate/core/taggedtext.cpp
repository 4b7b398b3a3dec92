#include "gate/core/taggedtext.h"

#include <algorithm>
#include <array>

#include "base/locale.h"
#include "base/sysutils.h"

namespace {

struct TStyleTag {
  std::string_view Name;  // after "<", including ">"
  TTagKind Kind;
  uint8_t Style;
};

constexpr std::array<TStyleTag, 6> StyleTags{{
    {"b>", TTagKind::StyleOn, tgBold},
    {"/b>", TTagKind::StyleOff, tgBold},
    {"i>", TTagKind::StyleOn, tgItalic},
    {"/i>", TTagKind::StyleOff, tgItalic},
    {"u>", TTagKind::StyleOn, tgUnderline},
    {"/u>", TTagKind::StyleOff, tgUnderline},
}};

bool StartsWithText(std::string_view s, std::size_t at, std::string_view prefix) {
  return s.size() - at >= prefix.size() && SameText(s.substr(at, prefix.size()), prefix);
}

struct TColorIdent {
  std::string_view Name;
  uint32_t Value;
};

constexpr uint32_t Sys(uint32_t index) { return 0x80000000u | index; }

constexpr std::array<TColorIdent, 54> ColorIdents{{
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},       {"clGreen", 0x008000},
    {"clOlive", 0x008080},        {"clNavy", 0x800000},         {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},         {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},          {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},      {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},       {"clDkGray", 0x808080},       {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},   {"clSkyBlue", 0xF0CAA6},      {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},      {"clNone", 0x1FFFFFFF},       {"clDefault", 0x20000000},
    {"clScrollBar", Sys(0)},      {"clBackground", Sys(1)},     {"clActiveCaption", Sys(2)},
    {"clInactiveCaption", Sys(3)}, {"clMenu", Sys(4)},          {"clWindow", Sys(5)},
    {"clWindowFrame", Sys(6)},    {"clMenuText", Sys(7)},       {"clWindowText", Sys(8)},
    {"clCaptionText", Sys(9)},    {"clActiveBorder", Sys(10)},  {"clInactiveBorder", Sys(11)},
    {"clAppWorkSpace", Sys(12)},  {"clHighlight", Sys(13)},     {"clHighlightText", Sys(14)},
    {"clBtnFace", Sys(15)},       {"clBtnShadow", Sys(16)},     {"clGrayText", Sys(17)},
    {"clBtnText", Sys(18)},       {"clInactiveCaptionText", Sys(19)}, {"clBtnHighlight", Sys(20)},
    {"cl3DDkShadow", Sys(21)},    {"cl3DLight", Sys(22)},       {"clInfoText", Sys(23)},
    {"clInfoBk", Sys(24)},        {"clHotLight", Sys(26)},      {"clGradientActiveCaption", Sys(27)},
    {"clGradientInactiveCaption", Sys(28)}, {"clMenuHighlight", Sys(29)}, {"clMenuBar", Sys(30)},
}};

}  // namespace

std::vector<TTaggedToken> TokenizeTaggedLine(std::string_view line) {
  std::vector<TTaggedToken> tokens;
  std::string pending;
  auto flush = [&] {
    if (!pending.empty()) tokens.push_back({TTagKind::Text, std::move(pending)});
    pending.clear();
  };
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '<') {
      const TStyleTag* style = nullptr;
      for (const auto& t : StyleTags)
        if (StartsWithText(line, i + 1, t.Name)) style = &t;
      if (style) {
        flush();
        tokens.push_back({style->Kind, {}, style->Style});
        i += 1 + style->Name.size();
        continue;
      }
      if (StartsWithText(line, i + 1, "c:")) {
        flush();
        const std::size_t start = i + 3;
        const std::size_t close = line.find('>', start);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        tokens.push_back({TTagKind::Colour, std::string(line.substr(start, end - start))});
        i = close == std::string_view::npos ? line.size() : close + 1;
        continue;
      }
    }
    pending.push_back(line[i++]);
  }
  flush();
  return tokens;
}

bool IdentToColor(std::string_view ident, TColor& colour) {
  for (const auto& c : ColorIdents)
    if (SameText(c.Name, ident)) {
      colour = static_cast<TColor>(c.Value);
      return true;
    }
  return false;
}

bool ColorFromTagValue(std::string_view value, TColor& colour) {
  if (!value.empty() && value[0] == '$') {
    int32_t v = 0;
    if (!TryStrToInt(std::string(value), v)) return false;
    colour = v;
    return true;
  }
  return IdentToColor("cl" + std::string(value), colour);
}

void DrawTaggedText(ITaggedCanvas* canvas, const TTagRect& rect, uint8_t itemState, bool measureOnly, int& width,
                    std::string& plain, bool hideSelectionColor, std::string_view text) {
  plain.clear();
  width = rect.Left;
  int x = rect.Left + 2;
  if (!canvas) {
    for (const auto& t : TokenizeTaggedLine(text))
      if (t.Kind == TTagKind::Text) plain += t.Text;
    width = x - width + 2;
    return;
  }
  const uint8_t savedStyle = canvas->FontStyle();
  const TColor savedColor = canvas->FontColor();
  struct Restore {
    ITaggedCanvas* c;
    uint8_t s;
    TColor col;
    ~Restore() {
      c->SetFontStyle(s);
      c->SetFontColor(col);
    }
  } restore{canvas, savedStyle, savedColor};

  if (hideSelectionColor) {
    canvas->SetBrushColor(kTagWindowColor);
    canvas->SetFontColor(kTagWindowTextColor);
  }
  // Measuring happens on screen contexts too: only a real drawing fills.
  if (!measureOnly) canvas->FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom);

  const bool keepSelectionColour = (itemState & tgSelected) && !hideSelectionColor;
  for (const auto& t : TokenizeTaggedLine(text)) {
    switch (t.Kind) {
      case TTagKind::Text:
        if (!measureOnly) canvas->TextOut(x, rect.Top, t.Text);
        x += canvas->TextWidth(t.Text);
        plain += t.Text;
        break;
      case TTagKind::StyleOn:
        canvas->SetFontStyle(canvas->FontStyle() | t.Style);
        break;
      case TTagKind::StyleOff:
        canvas->SetFontStyle(canvas->FontStyle() & ~t.Style);
        break;
      case TTagKind::Colour: {
        TColor c;
        if (!keepSelectionColour && ColorFromTagValue(t.Text, c)) canvas->SetFontColor(c);
        break;
      }
    }
  }
  width = x - width + 2;
}

void DrawTaggedLine(ITaggedCanvas& canvas, const TTagRect& rect, uint8_t itemState, bool hideSelectionColor,
                    std::string_view text) {
  int width = 0;
  std::string plain;
  DrawTaggedText(&canvas, rect, itemState, false, width, plain, hideSelectionColor, text);
}

int TaggedLineWidth(ITaggedCanvas* canvas, const TTagRect& rect, uint8_t itemState, bool hideSelectionColor,
                    std::string_view text) {
  int width = 0;
  std::string plain;
  DrawTaggedText(canvas, rect, itemState, true, width, plain, hideSelectionColor, text);
  return width;
}

std::vector<std::string> SplitCaptionLines(std::string_view caption) {
  std::vector<std::string> lines;
  std::size_t start = 0, i = 0;
  while (i < caption.size()) {
    if (caption[i] == '\r' || caption[i] == '\n') {
      lines.emplace_back(caption.substr(start, i - start));
      if (caption[i] == '\r' && i + 1 < caption.size() && caption[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < caption.size()) lines.emplace_back(caption.substr(start));
  return lines;
}

TTagRect TaggedLineRect(const TTagRect& client, int lineHeight, int index, int count, TTagLayout layout,
                        TTagAlignment alignment, int lineWidth) {
  TTagRect r = client;
  switch (layout) {
    case TTagLayout::tlTop: r.Top = client.Top + lineHeight * index; break;
    case TTagLayout::tlCenter:
      r.Top = (client.Bottom - client.Top - count * lineHeight) / 2 + lineHeight * index;
      break;
    case TTagLayout::tlBottom: r.Top = client.Bottom - (count - index) * lineHeight; break;
  }
  if (alignment == TTagAlignment::taRightJustify)
    r.Left = r.Right - lineWidth;
  else if (alignment == TTagAlignment::taCenter)
    r.Left = r.Left + (r.Right - r.Left - lineWidth) / 2;
  return r;
}

TTagExtent TaggedTextExtent(ITaggedCanvas& canvas, const TTagRect& client, std::string_view caption) {
  const auto lines = SplitCaptionLines(caption);
  const int h = canvas.TextHeight("W");
  int widest = 0;
  for (const auto& line : lines) widest = std::max(widest, TaggedLineWidth(&canvas, client, 0, false, line));
  return {client.Left + widest, h * static_cast<int>(lines.size())};
}
