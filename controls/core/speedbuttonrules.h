// The glyph speed button's rules that need no window: which image each state
// shows, the glyph count a bitmap implies, where glyph, caption and drop-down
// mark go, which frames a state draws, and how a press, the Down property and
// a group of buttons change the state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/core/geometry.h"

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The five looks; each has a slot in the glyph's image table.
enum class TButtonState : uint8_t { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3, bsInactive = 4 };
constexpr int kButtonStateCount = 5;
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TLkDropDownMenuPos { dmpBottom, dmpRight };
enum class TLkMenuAlignment { maLeft, maRight, maCenter };

struct TLkPoint {
  int X = 0, Y = 0;
  bool operator==(const TLkPoint&) const = default;
};

// ---- Glyph images ----

// A glyph strip of `width` x `height` pixels implies this many images: the
// quotient when the width is a whole multiple of the height (1 when it is
// above 5); otherwise, and for a strip narrower than it is high, `current`.
int NumGlyphsForBitmap(int width, int height, int current);
// Values written to NumGlyphs are kept within 1..5.
int ClampNumGlyphs(int value);

enum class TGlyphImageKind {
  gikNone,      // no picture: the bitmap is empty
  gikSection,   // a copy of image `Section` of the strip
  gikDisabled,  // the generated disabled picture of the whole bitmap
  gikGrayed,    // image 0 turned grey
};
struct TGlyphImagePlan {
  TGlyphImageKind Kind = TGlyphImageKind::gikNone;
  TButtonState Slot = TButtonState::bsUp;  // the table slot the image is kept in
  int Section = 0;
  bool operator==(const TGlyphImagePlan&) const = default;
};
// How the image of a state is made from a strip of `numGlyphs` images.
TGlyphImagePlan PlanGlyphImage(TButtonState state, int numGlyphs, int bitmapWidth, int bitmapHeight);

// The grey of the inactive picture: the transparent and the button-face
// colours stay, any other becomes (77 R + 150 G + 29 B) / 256 in all three
// channels. Colours are 0x00BBGGRR.
uint32_t GrayGlyphPixel(uint32_t rgb, uint32_t transparent, uint32_t buttonFace);

// ---- Layout ----

struct TGlyphLayoutInput {
  TLkRect Client;
  int GlyphWidth = 0;   // one image: bitmap width / NumGlyphs; 0 without a glyph
  int GlyphHeight = 0;
  std::string Caption;
  TButtonLayout Layout = TButtonLayout::blGlyphTop;
  int Margin = -1;
  int Spacing = 1;
  bool WordWrap = false;
  bool DrawMark = false;
};

struct TGlyphLayout {
  TLkPoint GlyphPos;    // top-left of the glyph image
  TLkRect TextBounds;   // where the caption is drawn (its own size, without the mark's room)
  std::string Text;     // the caption as drawn: shortened line by line unless word-wrapped
  TLkPoint MarkPos;     // the drop-down mark's anchor (only with DrawMark)
};

// Text measuring for the layout: the width of one line, and the size of a
// text drawn centred in a rectangle `width` wide (broken into lines when
// `wordWrap`).
struct TTextMetrics {
  std::function<int(const std::string&)> LineWidth;
  std::function<TLkPoint(const std::string& text, int width, bool wordWrap)> Measure;
};

TGlyphLayout LayoutGlyph(const TGlyphLayoutInput& in, const TTextMetrics& metrics);

// The caption's lines (CR LF, LF or CR end a line) each shortened with "..."
// to `width`, after the caption was cut to 255 characters.
std::string ShortenCaptionLines(const std::string& caption, int width,
                                const std::function<int(const std::string&)>& lineWidth);

// The drop-down mark: a downward triangle of 4 rows (7, 5, 3, 1 pixels)
// from (x, y - 1); each row as its first pixel and length.
struct TMarkRow {
  int X, Y, Length;
  bool operator==(const TMarkRow&) const = default;
};
void DropDownMarkRows(TLkPoint anchor, TMarkRow rows[4]);

// Where the drop-down menu pops up, in the button's client coordinates.
TLkPoint DropDownMenuPoint(TLkDropDownMenuPos pos, TLkMenuAlignment alignment, int width, int height);

// Whether a point counts as inside a button of that size while it is held.
bool InsideButton(int x, int y, int width, int height);

// The accelerator of a caption: the character after a single "&" ("&&" is a
// literal ampersand), 0 when it has none.
char CaptionAccelerator(const std::string& caption);
// Whether `key` is that accelerator (letters compared without case).
bool IsCaptionAccelerator(char key, const std::string& caption);

// ---- Painting ----

// What the face is painted as: a flat button the mouse is not over looks
// Inactive (never at design time).
TButtonState PaintStateOf(TButtonState state, bool flat, bool mouseInControl, bool designing);
// The state an enabled button leaves Disabled for.
TButtonState StateAfterEnabling(bool down, int groupIndex);
// The glyph image to draw: with GrayedInactive a state other than Disabled
// takes the paint state.
TButtonState GlyphStateOf(TButtonState state, TButtonState paintState, bool grayedInactive);

enum class TFrameColor { fcNone, fcWindowFrame, fcHighlight, fcShadow, fcFace };
// One one-pixel frame: top-left colour and bottom-right colour (fcNone: that
// half is not drawn).
struct TFrameRing {
  TFrameColor TopLeft = TFrameColor::fcNone;
  TFrameColor BottomRight = TFrameColor::fcNone;
  bool operator==(const TFrameRing&) const = default;
};
struct TFacePlan {
  int RingCount = 0;
  TFrameRing Rings[2];
  int Shrink = 0;             // how far the face rectangle shrinks in all
  bool Checkerboard = false;  // the latched look: a face/highlight pattern
  int ContentShift = 0;       // pressed looks move glyph and caption by 1, 1
};
TFacePlan PlanFace(TButtonState state, TButtonState paintState, bool newFrames, bool flat, bool transparent);
// "New" frames: bsNew, or bsAutoDetect where the system has the new shell.
bool UsesNewFrames(TButtonStyle style, bool newShell);

// ---- Press, Down and groups ----

// The state of one button as presses, Down and its group move it.
class TSpeedButtonModel {
 public:
  TButtonState State = TButtonState::bsUp;
  bool Down = false;
  int GroupIndex = 0;
  bool AllowAllUp = false;
  bool Dragging = false;  // a left-button press is being tracked
  bool MouseIn = false;

  // The Down property. Returns true when it changed; `notifyGroup` then
  // says whether the button went down in a group (its siblings must hear).
  bool SetDown(bool value, bool& notifyGroup);
  // Left button down on an enabled button.
  void BeginPress();
  // A move while the press is tracked; true when the state changed.
  bool TrackMove(bool inside);
  struct TPressEnd {
    bool Click = false;
    bool NotifyGroup = false;
  };
  // The press ends at a point inside or outside the button; a click unless
  // outside or a drop-down menu was tracked.
  TPressEnd EndPress(bool inside, bool menuTracked);
  // A sibling of group `groupIndex` (down or not, with its AllowAllUp) told
  // the group about itself; true when this button must repaint.
  bool GroupNotice(int groupIndex, bool senderDown, bool senderAllowAllUp);
  // Enabled changed: the state Disabled or the one it leaves it for.
  void EnabledChanged(bool enabled);
};
