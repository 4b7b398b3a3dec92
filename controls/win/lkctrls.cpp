#include "controls/win/lkctrls.h"

#include <cmath>
#include <vector>

#include "base/utf8.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"

POINT DirectionOffset(TDirection d) {
  static const POINT kOffsets[] = {{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  return kOffsets[static_cast<int>(d)];
}

TAngledTextBox AngledTextBox(int angle, int w, int h) {
  const double rad = angle * 3.14159265358979323846 / 180.0;
  const int wc = static_cast<int>(w * std::cos(rad)), ws = static_cast<int>(w * std::sin(rad));
  const int hc = static_cast<int>(h * std::cos(rad)), hs = static_cast<int>(h * std::sin(rad));
  TAngledTextBox b{};
  if (angle < 90) {
    b.width = hs + wc, b.height = ws + hc;
  } else if (angle < 180) {
    b.width = hs - wc, b.height = ws - hc;
  } else if (angle < 270) {
    b.width = -wc - hs, b.height = -ws - hc;
  } else {
    b.width = wc - hs, b.height = hc - ws;
  }
  return b;
}

// The text origin inside a (possibly clipped) box.
static POINT AngledOrigin(int angle, int w, int h, int box_w, int box_h) {
  const double rad = angle * 3.14159265358979323846 / 180.0;
  const int wc = static_cast<int>(w * std::cos(rad)), ws = static_cast<int>(w * std::sin(rad));
  const int hc = static_cast<int>(h * std::cos(rad)), hs = static_cast<int>(h * std::sin(rad));
  if (angle < 90) return POINT{0, ws};
  if (angle < 180) return POINT{-wc, box_h};
  if (angle < 270) return POINT{box_w, -hc};
  return POINT{-hs, 0};
}

// ======================================================================
// TLkCustomLabel

TLkCustomLabel::TLkCustomLabel(TComponent* owner) : TCustomLabel(owner) {}

void TLkCustomLabel::SetAngle(int degrees) {
  int a = degrees % 360;
  if (a < 0) a += 360;
  if (a == angle_) return;
  angle_ = a;
  const double rad = a * 3.14159265358979323846 / 180.0;
  cos_ = std::cos(rad);
  sin_ = std::sin(rad);
  if (a > 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TLkCustomLabel::SetOffsetX(int v) {
  if (v == offset_x_) return;
  offset_x_ = v;
  if (v > 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TLkCustomLabel::SetOffsetY(int v) {
  if (v == offset_y_) return;
  offset_y_ = v;
  if (v > 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TLkCustomLabel::CustomChanged() {
  if (!applying_preset_) shadow_style_ = TShadowStyle::ssCustom;
  Invalidate();
}

void TLkCustomLabel::SetHighlightDirection(TDirection d) {
  if (d == highlight_direction_) return;
  highlight_direction_ = d;
  CustomChanged();
}
void TLkCustomLabel::SetHighlightDepth(int v) {
  if (v == highlight_depth_) return;
  highlight_depth_ = v;
  CustomChanged();
}
void TLkCustomLabel::SetHighlightColor(TColor c) {
  if (c == highlight_color_) return;
  highlight_color_ = c;
  CustomChanged();
}
void TLkCustomLabel::SetShadowDirection(TDirection d) {
  if (d == shadow_direction_) return;
  shadow_direction_ = d;
  CustomChanged();
}
void TLkCustomLabel::SetShadowDepth(int16_t v) {
  if (v == shadow_depth_) return;
  shadow_depth_ = v;
  CustomChanged();
}
void TLkCustomLabel::SetShadowSize(int16_t v) {
  if (v == shadow_size_) return;
  shadow_size_ = v;
  CustomChanged();
}
void TLkCustomLabel::SetShadowColor(TColor c) {
  if (c == shadow_color_) return;
  shadow_color_ = c;
  CustomChanged();
}

void TLkCustomLabel::SetShadowStyle(TShadowStyle s) {
  if (s == shadow_style_) return;
  shadow_style_ = s;
  if (s == TShadowStyle::ssCustom) return;
  struct Preset {
    TDirection hd;
    int hdepth;
    TDirection sd;
    int16_t sdepth, ssize;
    bool face_colour;
  };
  using D = TDirection;
  static const Preset kPresets[] = {
      {D::drNone, 0, D::drNone, 0, 0, false},            // ssNone
      {D::drNone, 0, D::drNone, 0, 0, false},            // ssCustom (not applied)
      {D::drUpLeft, 1, D::drNone, 0, 0, false},          // ssRaised
      {D::drUpLeft, 1, D::drDownRight, 1, 1, true},      // ssRaisedColor
      {D::drUpLeft, 1, D::drDownRight, 1, 1, false},     // ssRaisedShadow
      {D::drUpLeft, 1, D::drDownRight, 1, 4, false},     // ssRaisedThickShadow
      {D::drDownRight, 1, D::drNone, 0, 0, false},       // ssRecessed
      {D::drDownRight, 1, D::drUpLeft, 1, 1, true},      // ssRecessedColor
      {D::drDownRight, 1, D::drUpLeft, 1, 1, false},     // ssRecessedShadow
      {D::drNone, 0, D::drDownRight, 2, 1, false},       // ssShadow
      {D::drNone, 0, D::drDownRight, 1, 4, false},       // ssThickShadow
  };
  const Preset& p = kPresets[static_cast<int>(s)];
  applying_preset_ = true;
  SetHighlightDirection(p.hd);
  SetHighlightDepth(p.hdepth);
  SetShadowDirection(p.sd);
  SetShadowDepth(p.sdepth);
  SetShadowSize(p.ssize);
  SetHighlightColor(clBtnHighlight);
  SetShadowColor(clBtnShadow);
  if (p.face_colour) Font()->SetColor(clBtnFace);
  applying_preset_ = false;
  Invalidate();
}

void TLkCustomLabel::SetVerticalAlignment(TVerticalAlignment v) {
  if (v == vertical_alignment_) return;
  vertical_alignment_ = v;
  SetLayout(v == TVerticalAlignment::vaTop ? TTextLayout::tlTop
            : v == TVerticalAlignment::vaCenter ? TTextLayout::tlCenter
                                                : TTextLayout::tlBottom);
  Invalidate();
}

void TLkCustomLabel::DrawCaption(HDC dc, const TRect& r, UINT flags, TColor colour) {
  SetTextColor(dc, ColorToRGB(colour));
  const std::string& text = Caption();
  if (angle_ > 0) {
    TextOutA(dc, r.left, r.top, text.data(), static_cast<int>(text.size()));
  } else {
    RECT rc = r;
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rc, flags);
  }
}

void TLkCustomLabel::Paint() {
  TCanvas* c = Canvas();
  UINT flags = DT_EXPANDTABS;
  if (Alignment() == TAlignment::taRightJustify) flags |= DT_RIGHT;
  if (Alignment() == TAlignment::taCenter) flags |= DT_CENTER;
  if (WordWrap()) flags |= DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;

  const TRect client = ClientRect();
  TRect r = client;
  c->Font()->Assign(*Font());
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->RequireFont();
  c->RequireBrush();
  HDC dc = c->Handle();
  SetBkMode(dc, TRANSPARENT);

  HFONT rotated = nullptr;
  HGDIOBJ before_rotation = nullptr;
  if (angle_ > 0) {
    LOGFONTA lf = Font()->LogFont();
    lf.lfEscapement = lf.lfOrientation = angle_ * 10;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    rotated = CreateFontIndirectA(&lf);
    before_rotation = SelectObject(dc, rotated);
    SIZE ext{0, 0};
    GetTextExtentPoint32A(dc, Caption().data(), static_cast<int>(Caption().size()), &ext);
    TAngledTextBox box = AngledTextBox(angle_, ext.cx, ext.cy);
    box.width = std::min(box.width, client.right);
    box.height = std::min(box.height, client.bottom);
    r = Bounds(r.left, r.top, box.width, box.height);
    if (Alignment() == TAlignment::taCenter) r.Offset((client.Width() - box.width) / 2, 0);
    if (Alignment() == TAlignment::taRightJustify) r.Offset(client.Width() - box.width, 0);
    if (vertical_alignment_ == TVerticalAlignment::vaCenter) r.Offset(0, (client.Height() - box.height) / 2);
    if (vertical_alignment_ == TVerticalAlignment::vaBottom) r.Offset(0, client.Height() - box.height);
    POINT o = AngledOrigin(angle_, ext.cx, ext.cy, box.width, box.height);
    r.Offset(o.x, o.y);
  } else if (vertical_alignment_ != TVerticalAlignment::vaTop) {
    RECT calc = r;
    DrawTextA(dc, Caption().data(), static_cast<int>(Caption().size()), &calc, flags | DT_CALCRECT);
    const int space = r.Height() - (calc.bottom - calc.top);
    r.Offset(0, vertical_alignment_ == TVerticalAlignment::vaCenter ? space / 2 : space);
  }
  r.Offset(offset_x_, offset_y_);

  if (Enabled()) {
    if (shadow_style_ != TShadowStyle::ssNone) {
      const POINT s = DirectionOffset(shadow_direction_);
      TRect sr = r;
      sr.Offset(s.x * shadow_depth_, s.y * shadow_depth_);
      for (int i = 0; i < shadow_size_; ++i) {
        DrawCaption(dc, sr, flags, shadow_color_);
        sr.Offset(s.x, s.y);
      }
      const POINT h = DirectionOffset(highlight_direction_);
      TRect hr = r;
      hr.Offset(h.x * highlight_depth_, h.y * highlight_depth_);
      DrawCaption(dc, hr, flags, highlight_color_);
    }
    DrawCaption(dc, r, flags, Font()->Color());
  } else {
    TRect lr = r;
    lr.Offset(1, 1);
    DrawCaption(dc, lr, flags, clBtnHighlight);
    DrawCaption(dc, r, flags, clBtnShadow);
  }
  if (rotated) {
    SelectObject(dc, before_rotation);
    DeleteObject(rotated);
  }
}

// ======================================================================
// TLkButton

// LoadStringA gives the table's text in the ANSI code page on every system
// (Windows 95 carries out neither LoadStringW's pointer form nor UTF-8
// conversions); the UTF-8 fallback is decoded here for the same reason.
std::string LoadLkString(int id, const std::string& fallback_utf8) {
  char text[512];
  const int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, static_cast<int>(sizeof text));
  if (n > 0) return std::string(text, static_cast<size_t>(n));
  const std::u16string wide = Utf8ToUtf16(fallback_utf8);
  const auto* chars = reinterpret_cast<const wchar_t*>(wide.data());
  const int size = static_cast<int>(wide.size());
  const int an = WideCharToMultiByte(CP_ACP, 0, chars, size, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(an > 0 ? an : 0), '\0');
  if (an > 0) WideCharToMultiByte(CP_ACP, 0, chars, size, ansi.data(), an, nullptr, nullptr);
  return ansi;
}

TLkButtonKind TLkButton::Kind() const {
  if (kind_ != pbkCustom && (Default() != ButtonIsDefault(kind_) || Cancel() != ButtonIsCancel(kind_) ||
                             ModalResult() != ButtonModalResult(kind_)))
    kind_ = pbkCustom;
  return kind_;
}

void TLkButton::SetKind(TLkButtonKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  if (kind == pbkCustom) return;
  SetDefault(ButtonIsDefault(kind));
  SetCancel(ButtonIsCancel(kind));
  if (Loading() && !Caption().empty()) {
    SetModalResult(ButtonModalResult(kind));
    return;
  }
  SetCaption(LoadLkString(ButtonCaptionId(kind), ButtonCaptionText(kind)));
  SetModalResult(ButtonModalResult(kind));
}

void TLkButton::Click() {
  const TLkButtonGroup group = ButtonGroup(Kind());
  if (group == bgHelp) {
    for (TControl* c = this; c; c = c->Parent())
      if (c->HelpContext() != 0) {
        if (Application) Application->HelpContext(c->HelpContext());
        return;
      }
  } else if (group == bgClose) {
    if (TCustomForm* f = GetParentForm(this)) f->Close();
    return;
  }
  TButton::Click();
}

// ======================================================================
// TLkMouseRegion

TLkMouseRegion::TLkMouseRegion(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TLkMouseRegion::Paint() {
  if (!(ComponentState() & csDesigning)) return;
  TCanvas* c = Canvas();
  c->Pen()->SetStyle(TPenStyle::psDash);
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->Rectangle(0, 0, Width(), Height());
}
