// The formatted-text engine behind TLkHtLabel: the tag tokenizer, the
// colour names, the drawing and measuring walk over an abstract canvas and
// the placement of the lines in the label. The window layer supplies a
// canvas over GDI; the tests supply one that records what it is asked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// $BBGGRR, or a system colour (0x80000000 | COLOR_xxx) as the platform keeps it.
using TColor = int32_t;

// Style bits, the same values as the platform's font styles.
enum TTagStyleBit : uint8_t { tgBold = 1, tgItalic = 2, tgUnderline = 4 };

enum class TTagKind { Text, StyleOn, StyleOff, Colour };

struct TTaggedToken {
  TTagKind Kind;
  std::string Text;   // the segment for Text, the value after "c:" for Colour
  uint8_t Style = 0;  // the style bit for StyleOn / StyleOff
  bool operator==(const TTaggedToken&) const = default;
};

// Splits one line into text segments and tags. Only "<b>", "</b>", "<i>",
// "</i>", "<u>", "</u>" and "<c:...>" (any case) are tags; every other "<"
// is text. A colour tag without ">" takes the rest of the line. Adjacent
// text is merged into one segment.
std::vector<TTaggedToken> TokenizeTaggedLine(std::string_view line);

// The platform's colour identifiers ("clRed", "clBtnFace", ...; any case).
bool IdentToColor(std::string_view ident, TColor& colour);
// The value of a colour tag: "$" and hexadecimal digits as a number, else
// "cl" + the value as a colour name. False (colour unchanged) otherwise.
bool ColorFromTagValue(std::string_view value, TColor& colour);

// What the engine needs from a canvas.
class ITaggedCanvas {
 public:
  virtual ~ITaggedCanvas() = default;
  virtual uint8_t FontStyle() = 0;
  virtual void SetFontStyle(uint8_t style) = 0;
  virtual TColor FontColor() = 0;
  virtual void SetFontColor(TColor colour) = 0;
  virtual void SetBrushColor(TColor colour) = 0;
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
};

struct TTagRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TTagRect&) const = default;
};

enum TTagItemState : uint8_t { tgSelected = 1 };

// Colours the engine uses for the hide-selection case (window, window text).
inline constexpr TColor kTagWindowColor = static_cast<TColor>(0x80000005);
inline constexpr TColor kTagWindowTextColor = static_cast<TColor>(0x80000008);

// Draws (or with `measureOnly` only measures) one line of tagged text into
// `rect`. `width` gets the text width plus 4, `plain` the text without tags.
// No canvas: nothing is drawn and the width is 4.
void DrawTaggedText(ITaggedCanvas* canvas, const TTagRect& rect, uint8_t itemState, bool measureOnly, int& width,
                    std::string& plain, bool hideSelectionColor, std::string_view text);
void DrawTaggedLine(ITaggedCanvas& canvas, const TTagRect& rect, uint8_t itemState, bool hideSelectionColor,
                    std::string_view text);
int TaggedLineWidth(ITaggedCanvas* canvas, const TTagRect& rect, uint8_t itemState, bool hideSelectionColor,
                    std::string_view text);

// The label's caption as lines (split at CR, LF or CR LF).
std::vector<std::string> SplitCaptionLines(std::string_view caption);

enum class TTagAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTagLayout { tlTop, tlCenter, tlBottom };

// The rectangle of line `index` of `count` in the label's client rectangle,
// each line `lineHeight` high; `lineWidth` serves the right and centre cases.
TTagRect TaggedLineRect(const TTagRect& client, int lineHeight, int index, int count, TTagLayout layout,
                        TTagAlignment alignment, int lineWidth);

// The size an auto-sized label takes: lines x line height, and the client
// left plus the widest line.
struct TTagExtent {
  int Width = 0, Height = 0;
};
TTagExtent TaggedTextExtent(ITaggedCanvas& canvas, const TTagRect& client, std::string_view caption);
