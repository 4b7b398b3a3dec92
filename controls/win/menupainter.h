// TLkMenuPainter: every main and popup menu of the form that owns it (and of
// the parts the form owns, such as its pages) drawn flat: a light
// background, a shaded icon column, a rounded selection frame, drawn check
// and radio marks, thin separators, right-aligned shortcuts and a shadowed
// frame for the selected item of the menu bar.
//
// It works only through the items' OnMeasureItem and OnDrawItem: hooking
// sets the painter's handlers where an item has none (a program's own
// handler stays), unhooking clears only the painter's own. Menus and items
// made later are hooked the next time Active is set. The decisions (colours,
// sizes, drawing steps) are controls/core/menupaint.h.
#pragma once

#include "base/component.h"
#include "forms/win/graphics.h"

class TMenuItem;
class TMenu;

class TLkMenuPainter : public TComponent {
 public:
  explicit TLkMenuPainter(TComponent* owner);
  ~TLkMenuPainter() override;

  bool Active() const { return active_; }
  // Unhooks every menu, then hooks them again when on.
  void SetActive(bool on);
  TFont* Font() { return &font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }

  TColor Color() const { return color_; }
  void SetColor(TColor c) { color_ = c; }
  TColor IconBackColor() const { return icon_back_color_; }
  void SetIconBackColor(TColor c) { icon_back_color_ = c; }
  TColor MenuBarColor() const { return menu_bar_color_; }
  void SetMenuBarColor(TColor c) { menu_bar_color_ = c; }
  TColor CheckedColor() const { return checked_color_; }
  void SetCheckedColor(TColor c) { checked_color_ = c; }
  TColor SeparatorColor() const { return separator_color_; }
  void SetSeparatorColor(TColor c) { separator_color_ = c; }
  TColor SelecBorderColor() const { return selec_border_color_; }
  void SetSelecBorderColor(TColor c) { selec_border_color_ = c; }
  TColor SelectColor() const { return select_color_; }
  void SetSelectColor(TColor c) { select_color_ = c; }
  TColor DisabledColor() const { return disabled_color_; }
  void SetDisabledColor(TColor c) { disabled_color_ = c; }
  TColor SelectFontColor() const { return select_font_color_; }
  void SetSelectFontColor(TColor c) { select_font_color_ = c; }
  int IconWidth() const { return icon_width_; }
  void SetIconWidth(int w) { icon_width_ = w; }
  bool DrawSelect() const { return draw_select_; }
  void SetDrawSelect(bool on) { draw_select_ = on; }

  // The items' handlers (they paint and measure only while Active).
  void DrawItem(TObject* sender, TCanvas* canvas, const TRect& rect, bool selected);
  void MeasureItem(TObject* sender, TCanvas* canvas, int& width, int& height);

 private:
  void HookMenus(bool hook);
  void HookItem(TMenuItem* item, bool hook);

  bool active_ = false;
  TComponent* form_;
  TFont font_;
  TColor color_ = 16251129;
  TColor icon_back_color_ = 13752539;
  TColor menu_bar_color_;
  TColor checked_color_ = 5263440;
  TColor separator_color_ = 11316397;
  TColor selec_border_color_ = clNavy;
  TColor select_color_ = 13940915;
  TColor disabled_color_ = clGray;
  TColor select_font_color_ = clBlack;
  int icon_width_ = 24;
  bool draw_select_ = true;
};
