#include "controls/win/menupainter.h"

#include <vector>

#include "controls/core/menupaint.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"

namespace {

TMenuDrawItemEvent DrawHandler(TLkMenuPainter* p) { return TMenuDrawItemEvent(p, &TLkMenuPainter::DrawItem); }
TMenuMeasureItemEvent MeasureHandler(TLkMenuPainter* p) {
  return TMenuMeasureItemEvent(p, &TLkMenuPainter::MeasureItem);
}

// The picture of an item: an image of the parent's sub-menu images or of
// the menu's images, else the item's own bitmap, else none.
struct TItemPicture {
  TImageList* List = nullptr;
  int Index = -1;
  TBitmap* Bitmap = nullptr;
  int Width = 0, Height = 0;
  bool Present() const { return List || Bitmap; }
};

TItemPicture PictureOf(TMenuItem* item) {
  TItemPicture p;
  TMenu* menu = item->GetParentMenu();
  TMenuItem* parent = item->Parent();
  TImageList* list = parent && parent->SubMenuImages() ? parent->SubMenuImages() : menu ? menu->Images() : nullptr;
  if (list && item->ImageIndex() != -1) {
    p.List = list;
    p.Index = item->ImageIndex();
    p.Width = list->Width();
    p.Height = list->Height();
  } else if (item->HasBitmap()) {
    p.Bitmap = item->Bitmap();
    p.Width = p.Bitmap->Width();
    p.Height = p.Bitmap->Height();
  }
  return p;
}

// A top-level item of a main menu (drawn on the menu bar).
bool IsBarItem(TMenuItem* item) {
  auto* menu = dynamic_cast<TMainMenu*>(item->GetParentMenu());
  return menu && item->Parent() == menu->Items();
}

bool IsLastBarItem(TMenuItem* item) {
  TMenuItem* root = item->Parent();
  for (int i = root->Count() - 1; i >= 0; --i)
    if (root->Items(i)->Visible()) return root->Items(i) == item;
  return false;
}

TLkRect ToLk(const TRect& r) { return TLkRect{r.left, r.top, r.right, r.bottom}; }
TRect FromLk(const TLkRect& r) { return TRect(r.Left, r.Top, r.Right, r.Bottom); }

void Play(TCanvas& c, const std::vector<TLkMenuStep>& steps, const TItemPicture& picture, bool enabled) {
  for (const TLkMenuStep& s : steps) {
    const TRect r = FromLk(s.Rect);
    switch (s.Kind) {
      case TLkMenuStepKind::Fill:
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Brush()->SetColor(s.Brush);
        c.FillRect(r);
        break;
      case TLkMenuStepKind::Rectangle:
      case TLkMenuStepKind::RoundRect:
      case TLkMenuStepKind::Ellipse:
        c.Pen()->SetStyle(TPenStyle::psSolid);
        c.Pen()->SetColor(s.Pen);
        c.Brush()->SetColor(s.Brush);
        c.Brush()->SetStyle(s.ClearBrush ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
        if (s.Kind == TLkMenuStepKind::Rectangle)
          c.Rectangle(r);
        else if (s.Kind == TLkMenuStepKind::RoundRect)
          c.RoundRect(r.left, r.top, r.right, r.bottom, s.CornerW, s.CornerH);
        else
          c.Ellipse(r.left, r.top, r.right, r.bottom);
        break;
      case TLkMenuStepKind::Line:
        c.Pen()->SetStyle(TPenStyle::psSolid);
        c.Pen()->SetColor(s.Pen);
        c.MoveTo(s.Points[0].X, s.Points[0].Y);
        for (size_t i = 1; i < s.Points.size(); ++i) c.LineTo(s.Points[i].X, s.Points[i].Y);
        break;
      case TLkMenuStepKind::Text: {
        c.Brush()->SetStyle(TBrushStyle::bsClear);
        c.Font()->SetColor(s.Pen);
        TRect tr = r;
        c.DrawText(s.Text, tr, (s.Right ? DT_RIGHT : DT_LEFT) | (s.RtlReading ? DT_RTLREADING : 0));
        break;
      }
      case TLkMenuStepKind::Picture:
        if (picture.List)
          picture.List->Draw(&c, s.Points[0].X, s.Points[0].Y, picture.Index, enabled);
        else if (picture.Bitmap)
          c.Draw(s.Points[0].X, s.Points[0].Y, picture.Bitmap);
        break;
    }
  }
}

}  // namespace

TLkMenuPainter::TLkMenuPainter(TComponent* owner) : TComponent(owner), form_(owner) {
  font_.SetName("Tahoma");
  auto* form = dynamic_cast<TControl*>(owner);
  menu_bar_color_ = form ? form->Color() : clBtnFace;
}

TLkMenuPainter::~TLkMenuPainter() {
  // A form going takes its menus with it; anything else keeps its menus,
  // without our handlers.
  if (form_ && !form_->Destroying()) HookMenus(false);
}

void TLkMenuPainter::SetActive(bool on) {
  active_ = on;
  HookMenus(false);
  if (on) HookMenus(true);
}

// The form's menus, and those of the parts it is built of (a page that owns
// its popup menus); another form's menus are that form's own.
void TLkMenuPainter::HookMenus(bool hook) {
  ForEachFormComponent(form_, [&](TComponent* c) {
    if (!dynamic_cast<TMainMenu*>(c) && !dynamic_cast<TPopupMenu*>(c)) return;
    auto* menu = static_cast<TMenu*>(c);
    TMenuItem* root = menu->Items();
    for (int k = 0; k < root->Count(); ++k) {
      menu->SetOwnerDraw(true);
      HookItem(root->Items(k), hook);
    }
  });
}

void TLkMenuPainter::HookItem(TMenuItem* item, bool hook) {
  if (hook) {
    if (!item->OnDrawItem) item->OnDrawItem = DrawHandler(this);
    if (!item->OnMeasureItem) item->OnMeasureItem = MeasureHandler(this);
  } else {
    if (item->OnDrawItem == DrawHandler(this)) item->OnDrawItem = nullptr;
    if (item->OnMeasureItem == MeasureHandler(this)) item->OnMeasureItem = nullptr;
  }
  for (int i = 0; i < item->Count(); ++i) HookItem(item->Items(i), hook);
}

void TLkMenuPainter::MeasureItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!active_ || !item || !canvas) return;
  canvas->Font()->Assign(font_);
  const TItemPicture picture = PictureOf(item);
  TLkMenuMeasure m;
  m.Separator = item->IsLine();
  m.Text = MenuMeasureText(item->Caption(), ShortCutToText(item->ShortCut()));
  const SIZE text = canvas->TextExtent(m.Text);
  m.TextWidth = text.cx;
  m.TextHeight = text.cy;
  m.AmpersandWidth = canvas->TextWidth("&");
  m.PictureWidth = picture.Width;
  m.PictureHeight = picture.Height;
  m.IconWidth = icon_width_;
  auto* form = dynamic_cast<TCustomForm*>(form_);
  m.MainMenuTopLevel = form && form->Menu() && item->Parent() == form->Menu()->Items();
  MenuMeasureItem(m, width, height);
}

void TLkMenuPainter::DrawItem(TObject* sender, TCanvas* canvas, const TRect& rect, bool selected) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!active_ || !item || !canvas) return;
  TMenu* menu = item->GetParentMenu();
  const bool rtl = menu && menu->RightToLeft();
  canvas->Font()->Assign(font_);
  if (rtl) canvas->Font()->SetCharset(ARABIC_CHARSET);

  const TItemPicture picture = PictureOf(item);
  TLkMenuItemLook look;
  look.Rect = ToLk(rect);
  look.Caption = item->Caption();
  look.ShortCutText = ShortCutToText(item->ShortCut());
  look.RightToLeft = rtl;
  look.BarItem = IsBarItem(item);
  look.LastBarItem = look.BarItem && IsLastBarItem(item);
  auto* form = dynamic_cast<TControl*>(form_);
  look.FormClientWidth = form ? form->ClientWidth() : 0;
  look.Selected = selected;
  look.Enabled = item->Enabled();
  look.Checked = item->Checked();
  look.RadioItem = item->RadioItem();
  look.Default = item->Default();
  look.DrawSelect = draw_select_;
  look.HasPicture = picture.Present();
  look.PictureWidth = picture.Width;
  look.PictureHeight = picture.Height;
  look.IconWidth = icon_width_;
  look.TextHeightW = canvas->TextHeight("W");

  TLkMenuColors colors;
  colors.Color = ColorToRGB(color_);
  colors.IconBackColor = ColorToRGB(icon_back_color_);
  colors.MenuBarColor = ColorToRGB(menu_bar_color_);
  colors.CheckedColor = ColorToRGB(checked_color_);
  colors.SeparatorColor = ColorToRGB(separator_color_);
  colors.SelecBorderColor = ColorToRGB(selec_border_color_);
  colors.SelectColor = ColorToRGB(select_color_);
  colors.DisabledColor = ColorToRGB(disabled_color_);
  colors.SelectFontColor = ColorToRGB(select_font_color_);
  colors.FontColor = ColorToRGB(font_.Color());

  Play(*canvas, MenuDrawSteps(look, colors), picture, item->Enabled());
}
