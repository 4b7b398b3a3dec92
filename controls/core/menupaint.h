// The menu painter's decisions without a device: its colours, the size of an
// item, and the drawing of one item as a list of steps (fills, lines, frames,
// texts, the picture) that the Windows painter plays on the item's canvas in
// order. Colours are plain RGB values (red in the low byte); the painter
// resolves system colours before it asks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/core/geometry.h"

using TLkRgb = int32_t;

// Every channel becomes |channel - amount|, so a dark channel rises again.
TLkRgb MenuDarken(TLkRgb rgb, int amount);

// Rounds half to even, as the platform's Round does.
int MenuRound(double value);

// The painter's colours, all resolved to RGB.
struct TLkMenuColors {
  TLkRgb Color = 0xF7F8F9;
  TLkRgb IconBackColor = 0xD1D8DB;
  TLkRgb MenuBarColor = 0;
  TLkRgb CheckedColor = 0x505050;
  TLkRgb SeparatorColor = 0xACACAD;
  TLkRgb SelecBorderColor = 0x800000;
  TLkRgb SelectColor = 0xD4B8B3;
  TLkRgb DisabledColor = 0x808080;
  TLkRgb SelectFontColor = 0;
  TLkRgb FontColor = 0;  // the painter's Font colour
};

// ---- Measuring ----

// The text an item is measured by: empty for a separator; with a shortcut,
// caption + shortcut text (trimmed) + "W" for the gap between the two.
std::string MenuMeasureText(const std::string& caption, const std::string& shortcutText);

struct TLkMenuMeasure {
  bool Separator = false;
  std::string Text;        // MenuMeasureText
  int TextWidth = 0;       // of Text in the painter's font
  int TextHeight = 0;
  int AmpersandWidth = 0;  // taken off once when Text holds an "&"
  int PictureWidth = 0, PictureHeight = 0;
  int IconWidth = 24;
  bool MainMenuTopLevel = false;  // the picture need not fill the icon column
};

// Raises width and height to what the item needs (a separator is 4 high).
void MenuMeasureItem(const TLkMenuMeasure& m, int& width, int& height);

// ---- Drawing ----

struct TLkMenuPoint {
  int X = 0, Y = 0;
  bool operator==(const TLkMenuPoint&) const = default;
};

enum class TLkMenuStepKind {
  Fill,       // Rect with Brush
  Rectangle,  // Rect framed with Pen and filled with Brush
  RoundRect,  // Rect with corners CornerW x CornerH, Pen, Brush unless ClearBrush
  Ellipse,    // in Rect, Pen and Brush
  Line,       // Pen: move to Points[0], line to each further point
  Text,       // Text in Rect, colour Pen, aligned by Right / RtlReading, "&" underlines
  Picture,    // the item's picture with its top-left at Points[0]
};

struct TLkMenuStep {
  TLkMenuStepKind Kind = TLkMenuStepKind::Fill;
  TLkRect Rect;
  TLkRgb Pen = 0;
  TLkRgb Brush = 0;
  bool ClearBrush = false;
  int CornerW = 0, CornerH = 0;
  std::vector<TLkMenuPoint> Points;
  std::string Text;
  bool Right = false;       // right-aligned text
  bool RtlReading = false;  // right-to-left reading order
};

struct TLkMenuItemLook {
  TLkRect Rect;  // as the system gives it
  std::string Caption;
  std::string ShortCutText;
  bool RightToLeft = false;
  bool BarItem = false;      // a top-level item of a main menu
  bool LastBarItem = false;  // the last of those: it paints the rest of the bar
  int FormClientWidth = 0;
  bool Selected = false;
  bool Enabled = true;
  bool Checked = false;
  bool RadioItem = false;
  bool Default = false;
  bool DrawSelect = true;
  bool HasPicture = false;
  int PictureWidth = 0, PictureHeight = 0;
  bool PictureEnabled = true;
  int IconWidth = 24;
  int TextHeightW = 0;  // text height of "W" in the painter's font
};

// The places the drawing is built on (exposed for the tests).
struct TLkMenuLayout {
  TLkRect R;         // the item rectangle, one pixel taller
  TLkRect IconColumn;
  TLkRect MarkBox;
  TLkRect TextRect;  // before the text's own vertical centring
};
TLkMenuLayout MenuItemLayout(const TLkMenuItemLook& look);

// The colour the item's text is drawn in.
TLkRgb MenuTextColor(const TLkMenuItemLook& look, const TLkMenuColors& colors);

std::vector<TLkMenuStep> MenuDrawSteps(const TLkMenuItemLook& look, const TLkMenuColors& colors);
