#include "controls/core/speedbuttonrules.h"

#include <cctype>
#include <vector>

#include "controls/core/textfit.h"

int NumGlyphsForBitmap(int width, int height, int current) {
  if (height <= 0 || width <= 0 || width % height != 0) return current;
  const int n = width / height;
  return n > 5 ? 1 : n;
}

int ClampNumGlyphs(int value) { return value < 1 ? 1 : value > 5 ? 5 : value; }

TGlyphImagePlan PlanGlyphImage(TButtonState state, int numGlyphs, int bitmapWidth, int bitmapHeight) {
  const int n = ClampNumGlyphs(numGlyphs);
  // A pressed button without its own picture shows the Up one.
  if (state == TButtonState::bsDown && n < 3) state = TButtonState::bsUp;
  TGlyphImagePlan plan;
  plan.Slot = state;
  if (bitmapWidth <= 0 || bitmapHeight <= 0 || bitmapWidth / n <= 0) return plan;
  const int index = static_cast<int>(state);
  plan.Section = index < n ? index : 0;
  if (state == TButtonState::bsDisabled && n < 2) {
    plan.Kind = TGlyphImageKind::gikDisabled;
    plan.Section = 0;
  } else if (state == TButtonState::bsInactive && n < 5) {
    plan.Kind = TGlyphImageKind::gikGrayed;
    plan.Section = 0;
  } else {
    plan.Kind = TGlyphImageKind::gikSection;
  }
  return plan;
}

uint32_t GrayGlyphPixel(uint32_t rgb, uint32_t transparent, uint32_t buttonFace) {
  rgb &= 0xFFFFFF;
  if (rgb == (transparent & 0xFFFFFF) || rgb == (buttonFace & 0xFFFFFF)) return rgb;
  const uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  const uint32_t grey = (77 * r + 150 * g + 29 * b) >> 8;
  return grey | (grey << 8) | (grey << 16);
}

std::string ShortenCaptionLines(const std::string& caption, int width,
                                const std::function<int(const std::string&)>& lineWidth) {
  const std::string text = caption.substr(0, 255);
  std::string out;
  std::size_t i = 0;
  while (true) {
    std::size_t end = text.find_first_of("\r\n", i);
    const std::string line = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    out += MinimizeText(line, lineWidth, width);
    if (end == std::string::npos) break;
    // Each line break is kept as it was written.
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    out += text.substr(end, next - end);
    i = next;
  }
  return out;
}

namespace {
bool Horizontal(TButtonLayout l) { return l == TButtonLayout::blGlyphLeft || l == TButtonLayout::blGlyphRight; }
int Max0(int v) { return v < 0 ? 0 : v; }
}  // namespace

TGlyphLayout LayoutGlyph(const TGlyphLayoutInput& in, const TTextMetrics& metrics) {
  TGlyphLayout out;
  const TLkPoint c{in.Client.Width(), in.Client.Height()};
  TLkPoint g{in.GlyphWidth, in.GlyphHeight};
  if (g.X <= 0 || g.Y <= 0) g = {0, 0};
  const TLkPoint realGlyph = g;
  int margin = in.Margin, spacing = in.Spacing;
  const bool horizontal = Horizontal(in.Layout);

  // The room the caption may take.
  TLkPoint room;
  if (horizontal) {
    room.X = c.X - g.X - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0) - (in.DrawMark ? 9 : 0);
    room.Y = c.Y;
  } else {
    room.X = c.X;
    room.Y = c.Y - g.Y - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0);
  }
  room = {Max0(room.X), Max0(room.Y)};

  out.Text = in.WordWrap ? in.Caption.substr(0, 255) : ShortenCaptionLines(in.Caption, room.X, metrics.LineWidth);
  TLkPoint t{0, 0};
  if (!out.Text.empty()) {
    t = metrics.Measure(out.Text, room.X, in.WordWrap);
    if (t.X > room.X) t.X = room.X;
    if (t.Y > room.Y) t.Y = room.Y;
  }
  const TLkPoint realText = t;

  // The mark takes room beside the caption, or beside the glyph.
  if (in.DrawMark) {
    if (g.X == 0 || g.Y == 0 || in.Layout == TButtonLayout::blGlyphLeft)
      t.X += 9;
    else
      g.X += 6;
  }

  TLkPoint glyphPos, textPos;
  if (horizontal) {
    glyphPos.Y = c.Y / 2 - g.Y / 2;
    textPos.Y = c.Y / 2 - t.Y / 2;
  } else {
    glyphPos.X = c.X / 2 - g.X / 2;
    textPos.X = c.X / 2 - t.X / 2;
  }
  if (t.X == 0 || g.X == 0) spacing = 0;

  const int cAxis = horizontal ? c.X : c.Y;
  const int gAxis = horizontal ? g.X : g.Y;
  const int tAxis = horizontal ? t.X : t.Y;
  if (margin == -1 && spacing == -1) {
    margin = spacing = (cAxis - gAxis - tAxis) / 3;
  } else if (margin == -1) {
    margin = cAxis / 2 - (gAxis + spacing + tAxis) / 2;
  } else if (spacing == -1) {
    spacing = (cAxis - margin - gAxis) / 2 - tAxis / 2;
  }

  switch (in.Layout) {
    case TButtonLayout::blGlyphLeft:
      glyphPos.X = margin;
      textPos.X = margin + g.X + spacing;
      break;
    case TButtonLayout::blGlyphRight:
      glyphPos.X = c.X - margin - g.X;
      textPos.X = glyphPos.X - spacing - t.X;
      break;
    case TButtonLayout::blGlyphTop:
      glyphPos.Y = margin;
      textPos.Y = margin + g.Y + spacing;
      break;
    case TButtonLayout::blGlyphBottom:
      glyphPos.Y = c.Y - margin - g.Y;
      textPos.Y = glyphPos.Y - spacing - t.Y;
      break;
  }

  glyphPos.X += in.Client.Left;
  glyphPos.Y += in.Client.Top;
  textPos.X += in.Client.Left;
  textPos.Y += in.Client.Top;
  out.GlyphPos = glyphPos;
  out.TextBounds = {textPos.X, textPos.Y, textPos.X + realText.X, textPos.Y + realText.Y};

  // The mark sits in the room kept for it: right of the glyph, or right of
  // the caption (in the middle without one).
  if (in.DrawMark) {
    if (in.Layout != TButtonLayout::blGlyphLeft && realGlyph.X > 0) {
      out.MarkPos = {glyphPos.X + realGlyph.X + 1, glyphPos.Y + realGlyph.Y / 2};
    } else {
      const int x = out.Text.empty() ? (in.Client.Left + in.Client.Right - 7) / 2 : out.TextBounds.Right + 3;
      out.MarkPos = {x, (out.TextBounds.Top + out.TextBounds.Bottom) / 2};
    }
  }
  return out;
}

void DropDownMarkRows(TLkPoint a, TMarkRow rows[4]) {
  for (int i = 0; i < 4; ++i) rows[i] = {a.X + i, a.Y - 1 + i, 7 - 2 * i};
}

TLkPoint DropDownMenuPoint(TLkDropDownMenuPos pos, TLkMenuAlignment alignment, int width, int height) {
  if (alignment == TLkMenuAlignment::maCenter) return {width / 2, height};
  if (pos == TLkDropDownMenuPos::dmpBottom)
    return alignment == TLkMenuAlignment::maLeft ? TLkPoint{-1, height} : TLkPoint{width + 1, height};
  return alignment == TLkMenuAlignment::maLeft ? TLkPoint{width, -1} : TLkPoint{-1, -1};
}

bool InsideButton(int x, int y, int width, int height) { return x >= 0 && x < width && y >= 0 && y <= height; }

char CaptionAccelerator(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" is an ampersand
      continue;
    }
    return caption[i + 1];
  }
  return 0;
}

bool IsCaptionAccelerator(char key, const std::string& caption) {
  const char accel = CaptionAccelerator(caption);
  if (!accel || !key) return false;
  return std::toupper(static_cast<unsigned char>(accel)) == std::toupper(static_cast<unsigned char>(key));
}

TButtonState PaintStateOf(TButtonState state, bool flat, bool mouseInControl, bool designing) {
  return flat && !mouseInControl && !designing ? TButtonState::bsInactive : state;
}

TButtonState StateAfterEnabling(bool down, int groupIndex) {
  return down && groupIndex != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
}

TButtonState GlyphStateOf(TButtonState state, TButtonState paintState, bool grayedInactive) {
  return grayedInactive && state != TButtonState::bsDisabled ? paintState : state;
}

bool UsesNewFrames(TButtonStyle style, bool newShell) {
  return style == TButtonStyle::bsNew || (style == TButtonStyle::bsAutoDetect && newShell);
}

TFacePlan PlanFace(TButtonState state, TButtonState paintState, bool newFrames, bool flat, bool transparent) {
  using C = TFrameColor;
  TFacePlan p;
  const bool pressed = state == TButtonState::bsDown || state == TButtonState::bsExclusive;
  if (paintState == TButtonState::bsInactive && state != TButtonState::bsExclusive) {
    p.Shrink = 2;  // a flat button away from the mouse has no frame
  } else {
    auto ring = [&p](C tl, C br) { p.Rings[p.RingCount++] = {tl, br}; };
    if (flat) {
      if (pressed)
        ring(C::fcWindowFrame, C::fcHighlight);
      else if (newFrames)
        ring(C::fcHighlight, C::fcShadow);
      else
        ring(C::fcHighlight, C::fcWindowFrame);
    } else if (pressed) {
      if (newFrames) {
        ring(C::fcWindowFrame, C::fcHighlight);
        ring(C::fcShadow, C::fcFace);
      } else {
        ring(C::fcWindowFrame, C::fcWindowFrame);
        ring(C::fcShadow, C::fcNone);
      }
    } else if (newFrames) {
      ring(C::fcHighlight, C::fcWindowFrame);
      ring(C::fcFace, C::fcShadow);
    } else {
      ring(C::fcWindowFrame, C::fcWindowFrame);
      ring(C::fcHighlight, C::fcShadow);
    }
    p.Shrink = p.RingCount + 1;
  }
  p.Checkerboard = state == TButtonState::bsExclusive && !transparent &&
                   (!flat || paintState == TButtonState::bsInactive);
  p.ContentShift = pressed ? 1 : 0;
  return p;
}

bool TSpeedButtonModel::SetDown(bool value, bool& notifyGroup) {
  notifyGroup = false;
  if (GroupIndex == 0) value = false;
  if (value == Down) return false;
  // The one down button of a group that must keep one stays down.
  if (Down && !AllowAllUp) return false;
  Down = value;
  State = value ? TButtonState::bsExclusive : TButtonState::bsUp;
  notifyGroup = value;
  return true;
}

void TSpeedButtonModel::BeginPress() {
  if (!Down) State = TButtonState::bsDown;
  Dragging = true;
}

bool TSpeedButtonModel::TrackMove(bool inside) {
  if (!Dragging) return false;
  const TButtonState now = Down ? TButtonState::bsExclusive : inside ? TButtonState::bsDown : TButtonState::bsUp;
  if (now == State) return false;
  State = now;
  return true;
}

TSpeedButtonModel::TPressEnd TSpeedButtonModel::EndPress(bool inside, bool menuTracked) {
  TPressEnd end;
  if (!Dragging) return end;
  Dragging = false;
  if (GroupIndex == 0) {
    State = TButtonState::bsUp;
    MouseIn = false;
  } else if (inside) {
    SetDown(!Down, end.NotifyGroup);
    // A click on the down button of a group that keeps one leaves it latched.
    if (Down) State = TButtonState::bsExclusive;
  } else if (Down) {
    State = TButtonState::bsExclusive;
  } else {
    State = TButtonState::bsUp;
  }
  end.Click = inside && !menuTracked;
  return end;
}

bool TSpeedButtonModel::GroupNotice(int groupIndex, bool senderDown, bool senderAllowAllUp) {
  if (groupIndex == 0 || groupIndex != GroupIndex) return false;
  AllowAllUp = senderAllowAllUp;
  if (senderDown && Down) {
    Down = false;
    State = TButtonState::bsUp;
    return true;
  }
  return false;
}

void TSpeedButtonModel::EnabledChanged(bool enabled) {
  if (!enabled) {
    State = TButtonState::bsDisabled;
    Dragging = false;
  } else if (State == TButtonState::bsDisabled) {
    State = StateAfterEnabling(Down, GroupIndex);
  }
}
