#include "controls/core/menupaint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr TLkRgb kBarFrame = 0x606060;  // red, green and blue 96
constexpr TLkRgb kSilver = 0xC0C0C0;
constexpr TLkRgb kGrey = 0x808080;

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

TLkRect Rect(int l, int t, int r, int b) { return TLkRect{l, t, r, b}; }

struct Steps {
  std::vector<TLkMenuStep> list;

  void Fill(const TLkRect& r, TLkRgb brush) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Fill;
    s.Rect = r;
    s.Brush = brush;
    list.push_back(std::move(s));
  }
  void Rectangle(const TLkRect& r, TLkRgb pen, TLkRgb brush) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Rectangle;
    s.Rect = r;
    s.Pen = pen;
    s.Brush = brush;
    list.push_back(std::move(s));
  }
  void RoundRect(const TLkRect& r, int w, int h, TLkRgb pen, TLkRgb brush, bool clear) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::RoundRect;
    s.Rect = r;
    s.CornerW = w;
    s.CornerH = h;
    s.Pen = pen;
    s.Brush = brush;
    s.ClearBrush = clear;
    list.push_back(std::move(s));
  }
  void Ellipse(const TLkRect& r, TLkRgb pen, TLkRgb brush) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Ellipse;
    s.Rect = r;
    s.Pen = pen;
    s.Brush = brush;
    list.push_back(std::move(s));
  }
  void Line(TLkRgb pen, std::vector<TLkMenuPoint> points) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Line;
    s.Pen = pen;
    s.Points = std::move(points);
    list.push_back(std::move(s));
  }
  void Text(const TLkRect& r, const std::string& text, TLkRgb color, bool right, bool rtl) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Text;
    s.Rect = r;
    s.Text = text;
    s.Pen = color;
    s.Right = right;
    s.RtlReading = rtl;
    list.push_back(std::move(s));
  }
  void Picture(int x, int y) {
    TLkMenuStep s;
    s.Kind = TLkMenuStepKind::Picture;
    s.Points = {{x, y}};
    list.push_back(std::move(s));
  }
};

TLkRect Shifted(TLkRect r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return r;
}

// The frame and shadow of the selected item of the menu bar.
void BarSelection(Steps& s, const TLkRect& R, bool rtl, TLkRgb bar) {
  const int x1 = rtl ? R.Left + 6 : R.Left;
  const int x2 = rtl ? R.Right + 7 : R.Right;
  const int t = R.Top;
  s.Line(kBarFrame, {{x1, R.Bottom - 1}, {x1, t}, {x2 - 8, t}, {x2 - 8, R.Bottom}});
  const struct {
    int amount, top, right;
  } shadow[] = {{10, 1, 0}, {30, 3, 2}, {40, 5, 3}, {60, 6, 5}};
  for (const auto& sh : shadow) {
    const TLkRgb c = MenuDarken(bar, sh.amount);
    s.Rectangle(Rect(x2 - 7, t + sh.top, x2 - sh.right, R.Bottom), c, c);
  }
  s.Line(bar, {{x2 - 5, t + 1}, {x2 - 1, t + 1}, {x2 - 1, t + 6}});
  s.Line(bar, {{x2 - 3, t + 2}, {x2 - 2, t + 2}, {x2 - 2, t + 3}, {x2 - 3, t + 3}});
  s.Line(MenuDarken(bar, 10), {{x2 - 6, t + 3}, {x2 - 3, t + 3}, {x2 - 3, t + 6}, {x2 - 4, t + 6}, {x2 - 4, t + 3}});
  s.Line(MenuDarken(bar, 30), {{x2 - 5, t + 5}, {x2 - 4, t + 5}, {x2 - 4, t + 9}});
  s.Line(MenuDarken(bar, 40), {{x2 - 6, t + 5}, {x2 - 6, t + 7}});
}

}  // namespace

TLkRgb MenuDarken(TLkRgb rgb, int amount) {
  const int r = std::abs((rgb & 0xFF) - amount);
  const int g = std::abs(((rgb >> 8) & 0xFF) - amount);
  const int b = std::abs(((rgb >> 16) & 0xFF) - amount);
  return std::min(r, 255) | std::min(g, 255) << 8 | std::min(b, 255) << 16;
}

int MenuRound(double value) { return static_cast<int>(std::nearbyint(value)); }

std::string MenuMeasureText(const std::string& caption, const std::string& shortcutText) {
  std::string text = caption == "-" ? "" : caption;
  const std::string shortcut = Trim(shortcutText);
  if (!shortcut.empty()) text += shortcut + "W";
  return text;
}

void MenuMeasureItem(const TLkMenuMeasure& m, int& width, int& height) {
  const int picture = m.MainMenuTopLevel ? m.PictureWidth : std::max(m.PictureWidth, m.IconWidth);
  const int amp = m.Text.find('&') != std::string::npos ? m.AmpersandWidth : 0;
  width = std::max(width, m.TextWidth - amp + picture + 10);
  if (m.Separator) {
    height = 4;
    return;
  }
  const int h = std::max(m.TextHeight + MenuRound(0.75 * m.TextHeight), m.PictureHeight + 4);
  height = std::max(height, h);
}

TLkMenuLayout MenuItemLayout(const TLkMenuItemLook& look) {
  TLkMenuLayout l;
  TLkRect R = look.Rect;
  R.Bottom += 1;
  l.R = R;
  const int iw = look.IconWidth;
  const int pw = look.HasPicture ? look.PictureWidth : 0;
  l.IconColumn = look.RightToLeft ? Rect(R.Right - iw, R.Top, R.Right, R.Bottom) : Rect(R.Left, R.Top, R.Left + iw, R.Bottom);
  const TLkRect& c = l.IconColumn;
  if (look.HasPicture) {
    l.MarkBox = Rect(c.Left + 2, c.Top + 2, c.Right - 2, c.Bottom - 2);
  } else {
    const int x = c.Left + (c.Width() - 10) / 2;
    const int y = c.Top + (c.Height() - 10) / 2;
    l.MarkBox = Rect(x, y, x + 10, y + 10);
  }
  if (look.RightToLeft) {
    l.TextRect = Rect(R.Left, R.Top, pw > iw ? R.Right - pw - 4 : R.Right - iw, R.Bottom);
  } else {
    l.TextRect = Rect(R.Left + iw < pw ? pw + 4 : R.Left + iw, R.Top, R.Right, R.Bottom);
  }
  if (look.BarItem) {
    if (!look.HasPicture) {
      l.TextRect = R;
    } else if (look.RightToLeft) {
      l.TextRect.Right += 5;
    } else {
      l.TextRect.Left -= 5;
    }
  }
  return l;
}

TLkRgb MenuTextColor(const TLkMenuItemLook& look, const TLkMenuColors& colors) {
  if (!look.Enabled) return colors.DisabledColor;
  return look.Selected ? colors.SelectFontColor : colors.FontColor;
}

std::vector<TLkMenuStep> MenuDrawSteps(const TLkMenuItemLook& look, const TLkMenuColors& colors) {
  Steps s;
  const TLkMenuLayout l = MenuItemLayout(look);
  const TLkRect& R = l.R;
  const bool rtl = look.RightToLeft;

  // Background.
  if (look.BarItem) {
    const TLkRgb bar = colors.MenuBarColor;
    s.Fill(R, bar);
    if (look.LastBarItem) {
      s.Rectangle(rtl ? Rect(3, R.Top, R.Right, R.Bottom) : Rect(R.Left, R.Top, look.FormClientWidth + 5, R.Bottom),
                  bar, bar);
    } else if (rtl) {
      s.Rectangle(Rect(R.Left, R.Top, R.Right + 7, R.Bottom), bar, bar);
    }
  } else {
    s.Fill(R, colors.Color);
    s.Fill(l.IconColumn, colors.IconBackColor);
  }

  // Selection.
  if (look.Selected && look.DrawSelect) {
    if (look.BarItem) {
      BarSelection(s, R, rtl, colors.MenuBarColor);
    } else if (look.Enabled) {
      const TLkRect sel = Rect(R.Left, R.Top + 1, R.Right, R.Bottom - 1);
      s.Fill(sel, colors.SelectColor);
      s.RoundRect(sel, 3, 3, colors.SelecBorderColor, 0, true);
    }
  }

  // Check and radio marks.
  if (look.Checked) {
    const TLkRect& m = l.MarkBox;
    if (look.RadioItem) {
      if (look.HasPicture)
        s.RoundRect(m, 6, 6, colors.CheckedColor, colors.Color, false);
      else
        s.Ellipse(m, colors.CheckedColor, colors.Color);
    } else {
      s.Rectangle(m, colors.CheckedColor, colors.Color);
      if (!look.HasPicture) {
        const int L = m.Left, T = m.Top, Rt = m.Right, B = m.Bottom;
        const TLkRgb c = colors.CheckedColor;
        s.Line(c, {{L + 1, T + 5}, {L + 4, B - 2}});
        s.Line(c, {{L + 2, T + 5}, {L + 4, B - 3}});
        s.Line(c, {{L + 2, T + 4}, {L + 5, B - 3}});
        s.Line(c, {{L + 4, B - 3}, {Rt + 2, T - 1}});
        s.Line(c, {{L + 4, B - 2}, {Rt - 2, T + 3}});
      }
    }
  }

  // Picture.
  if (look.HasPicture) {
    const TLkRect& c = l.IconColumn;
    int x;
    if (look.IconWidth >= look.PictureWidth)
      x = c.Left + (look.IconWidth - look.PictureWidth) / 2;
    else
      x = rtl ? c.Right - look.PictureWidth - 2 : c.Left + 2;
    int y = c.Top + (c.Height() - look.PictureHeight) / 2;
    if (look.Selected && look.Enabled && !look.BarItem) {
      --x;
      --y;
    }
    s.Picture(x, y);
  }

  const TLkRgb text_color = MenuTextColor(look, colors);
  TLkRect t = l.TextRect;
  if (look.Caption == "-") {
    const int y = t.Top + MenuRound((t.Bottom - t.Top) / 2.0);
    if (rtl)
      s.Line(colors.SeparatorColor, {{t.Left, y}, {t.Right - 7, y}});
    else
      s.Line(colors.SeparatorColor, {{t.Left + 7, y}, {t.Right, y}});
    return s.list;
  }

  t.Top += (t.Height() - look.TextHeightW) / 2;
  if (rtl)
    t.Right -= 5;
  else
    t.Left += 5;
  const std::string caption = " " + look.Caption;
  if (look.Default && look.Enabled) {
    s.Text(Shifted(t, 1, 2), caption, kSilver, rtl, rtl);
    s.Text(Shifted(t, 0, 1), caption, kSilver, rtl, rtl);
    s.Text(Shifted(t, 1, 1), caption, kGrey, rtl, rtl);
  }
  s.Text(t, caption, text_color, rtl, rtl);
  if (!look.ShortCutText.empty()) s.Text(t, look.ShortCutText + " ", text_color, !rtl, rtl);
  return s.list;
}
