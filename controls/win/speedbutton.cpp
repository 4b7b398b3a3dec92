#include "controls/win/speedbutton.h"

#include <algorithm>

#include "base/win/comctl_load.h"
#include "controls/win/drawhelpers.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/timer.h"

// ======================================================================
// TGlyphList

TGlyphList::TGlyphList(int width, int height) : TImageList(nullptr, width, height) {}

int TGlyphList::FreeSlot() {
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (!slots_[i]) return static_cast<int>(i);
  return -1;
}

// Puts an image and its mask into `slot` (-1: a new one at the end).
int TGlyphList::Place(int slot, HBITMAP image, HBITMAP mask) {
  int index;
  if (slot < 0) {
    index = comctl::ImageList_Add(Handle(), image, mask);
    if (index < 0) return -1;
    if (static_cast<int>(slots_.size()) <= index) slots_.resize(index + 1, false);
  } else {
    if (!comctl::ImageList_Replace(Handle(), slot, image, mask)) return -1;
    index = slot;
  }
  slots_[index] = true;
  ++used_;
  return index;
}

int TGlyphList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  TBitmap i, m;
  i.Assign(*image);
  if (mask) m.Assign(*mask);
  HBITMAP ih = i.ReleaseHandle(), mh = mask ? m.ReleaseHandle() : nullptr;
  const int index = Place(FreeSlot(), ih, mh);
  DeleteObject(ih);
  if (mh) DeleteObject(mh);
  if (OnChange) OnChange(this);
  return index;
}

int TGlyphList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  const int w = image->Width(), h = image->Height();
  // The mask: pixels of the mask colour set (transparent); under them the
  // image is made black, as a masked image list draws it.
  TBitmap picture;
  picture.Assign(*image);
  HDC pdc = picture.Canvas()->Handle();
  HDC mdc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  const COLORREF oldBk = ::SetBkColor(pdc, ColorToRGB(maskColor));
  BitBlt(mdc, 0, 0, w, h, pdc, 0, 0, SRCCOPY);
  ::SetBkColor(pdc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(pdc, RGB(0, 0, 0));
  BitBlt(pdc, 0, 0, w, h, mdc, 0, 0, 0x00220326);  // destination AND NOT mask
  ::SetBkColor(pdc, oldBk);
  SetTextColor(pdc, oldText);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  HBITMAP ih = picture.ReleaseHandle();
  const int index = Place(FreeSlot(), ih, mono);
  DeleteObject(ih);
  DeleteObject(mono);
  if (OnChange) OnChange(this);
  return index;
}

void TGlyphList::Delete(int index) {
  if (index < 0 || index >= static_cast<int>(slots_.size()) || !slots_[index]) return;
  slots_[index] = false;
  --used_;
}

// ======================================================================
// TGlyphCache

namespace {
TGlyphCache* g_cache = nullptr;
int g_glyphs = 0;  // glyph objects alive

TGlyphCache& Cache() {
  if (!g_cache) g_cache = new TGlyphCache;
  return *g_cache;
}
}  // namespace

TGlyphCache* GlyphCache() { return g_cache; }

TGlyphCache::~TGlyphCache() {
  for (TGlyphList* l : lists_) delete l;
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return *it;
  lists_.push_back(new TGlyphList(width, height));
  return lists_.back();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (!list || list->UsedCount() > 0) return;
  auto it = std::find(lists_.begin(), lists_.end(), list);
  if (it == lists_.end()) return;
  lists_.erase(it);
  delete list;
}

// ======================================================================
// TLkButtonGlyph

TLkButtonGlyph::TLkButtonGlyph() {
  indexes_.fill(-1);
  ++g_glyphs;
  Cache();
  original_.OnChange = TNotifyEvent(this, &TLkButtonGlyph::OriginalChanged);
}

TLkButtonGlyph::~TLkButtonGlyph() {
  original_.OnChange = nullptr;
  Invalidate();
  if (--g_glyphs == 0 && g_cache && g_cache->Empty()) {
    delete g_cache;
    g_cache = nullptr;
  }
}

void TLkButtonGlyph::Invalidate() {
  for (int& index : indexes_) {
    if (index >= 0 && list_) list_->Delete(index);
    index = -1;
  }
  if (list_ && g_cache) g_cache->ReturnList(list_);
  list_ = nullptr;
}

void TLkButtonGlyph::SetGlyph(const TBitmap* bitmap) {
  Invalidate();
  if (bitmap && !bitmap->Empty())
    original_.Assign(*bitmap);  // fires OriginalChanged
  else {
    original_.SetSize(0, 0);
    OriginalChanged(nullptr);
  }
}

void TLkButtonGlyph::OriginalChanged(TObject*) {
  if (updating_) return;
  Invalidate();
  if (original_.Height() > 0 && !original_.Empty()) {
    transparent_color_ = static_cast<TColor>(original_.TransparentColor() & ~0x02000000);
    num_glyphs_ = NumGlyphsForBitmap(original_.Width(), original_.Height(), num_glyphs_);
  }
  if (OnChange) OnChange(this);
}

void TLkButtonGlyph::SetNumGlyphs(int n) {
  n = ClampNumGlyphs(n);
  if (n == num_glyphs_) return;
  Invalidate();
  num_glyphs_ = n;
  if (OnChange) OnChange(this);
}

void TLkButtonGlyph::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  if (OnChange) OnChange(this);
}

void TLkButtonGlyph::SetWordWrap(bool on) {
  if (on == word_wrap_) return;
  word_wrap_ = on;
  if (OnChange) OnChange(this);
}

int TLkButtonGlyph::CreateButtonGlyph(TButtonState state) {
  const TGlyphImagePlan plan = PlanGlyphImage(state, num_glyphs_, original_.Width(), original_.Height());
  if (plan.Kind == TGlyphImageKind::gikNone || original_.Empty()) return -1;
  int& index = indexes_[static_cast<int>(plan.Slot)];
  if (index >= 0) return index;
  const int w = original_.Width() / num_glyphs_, h = original_.Height();
  if (!list_) list_ = Cache().GetList(w, h);

  TBitmap image;
  image.SetSize(w, h);
  HDC dst = image.Canvas()->Handle();
  HDC src = original_.Canvas()->Handle();
  switch (plan.Kind) {
    case TGlyphImageKind::gikSection:
      BitBlt(dst, 0, 0, w, h, src, plan.Section * w, 0, SRCCOPY);
      index = list_->AddMasked(&image, transparent_color_);
      break;
    case TGlyphImageKind::gikDisabled: {
      std::unique_ptr<TBitmap> disabled = CreateDisabledBitmap(&original_, clBlack);
      HDC ddc = disabled->Canvas()->Handle();
      BitBlt(dst, 0, 0, w, h, ddc, 0, 0, SRCCOPY);
      index = list_->AddMasked(&image, clBtnFace);
      break;
    }
    case TGlyphImageKind::gikGrayed: {
      BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
      const uint32_t transparent = ColorToRGB(transparent_color_), face = ColorToRGB(clBtnFace);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const COLORREF c = GetPixel(dst, x, y);
          const COLORREF g = GrayGlyphPixel(c, transparent, face);
          if (g != c) ::SetPixelV(dst, x, y, g);
        }
      index = list_->AddMasked(&image, transparent_color_);
      break;
    }
    case TGlyphImageKind::gikNone:
      break;
  }
  return index;
}

TGlyphLayout TLkButtonGlyph::Layout(TCanvas* canvas, const TRect& client, const std::string& caption,
                                    TButtonLayout layout, int margin, int spacing, bool drawMark) {
  TGlyphLayoutInput in;
  in.Client = {client.left, client.top, client.right, client.bottom};
  if (!original_.Empty() && original_.Height() > 0) {
    in.GlyphWidth = original_.Width() / num_glyphs_;
    in.GlyphHeight = original_.Height();
  }
  in.Caption = caption;
  in.Layout = layout;
  in.Margin = margin;
  in.Spacing = spacing;
  in.WordWrap = word_wrap_;
  in.DrawMark = drawMark;
  TTextMetrics m;
  m.LineWidth = [canvas](const std::string& s) { return canvas->TextWidth(s); };
  m.Measure = [canvas](const std::string& text, int width, bool wrap) {
    TRect r(0, 0, width, 0);
    canvas->DrawText(text, r, DT_CALCRECT | DT_CENTER | DT_VCENTER | (wrap ? DT_WORDBREAK : 0));
    return TLkPoint{r.Width(), r.Height()};
  };
  return LayoutGlyph(in, m);
}

TRect TLkButtonGlyph::Draw(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption,
                           TButtonLayout layout, int margin, int spacing, TButtonState state, bool drawMark) {
  const TGlyphLayout l = Layout(canvas, client, caption, layout, margin, spacing, drawMark);
  DrawGlyphImage(canvas, TPoint{l.GlyphPos.X + offset.x, l.GlyphPos.Y + offset.y}, state);
  TRect text(l.TextBounds.Left + offset.x, l.TextBounds.Top + offset.y, l.TextBounds.Right + offset.x,
             l.TextBounds.Bottom + offset.y);
  DrawCaption(canvas, l.Text, text, state);
  if (drawMark) DrawMark(canvas, {l.MarkPos.X + offset.x, l.MarkPos.Y + offset.y}, state);
  return text;
}

void TLkButtonGlyph::DrawGlyphImage(TCanvas* canvas, TPoint at, TButtonState state) {
  const int index = CreateButtonGlyph(state);
  if (index < 0 || !list_) return;
  list_->Draw(canvas, at.x, at.y, index);
}

void TLkButtonGlyph::DrawCaption(TCanvas* canvas, const std::string& text, TRect r, TButtonState state) {
  if (text.empty()) return;
  UINT flags = DT_VCENTER | (word_wrap_ ? DT_WORDBREAK : 0);
  flags |= alignment_ == TAlignment::taLeftJustify ? DT_LEFT : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                                                                        : DT_CENTER;
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  if (state == TButtonState::bsDisabled) {
    TRect shifted = r;
    shifted.Offset(1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    canvas->DrawText(text, shifted, flags);
    canvas->Font()->SetColor(clBtnShadow);
  }
  canvas->DrawText(text, r, flags);
  canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}

void TLkButtonGlyph::DrawMark(TCanvas* canvas, TLkPoint anchor, TButtonState state) {
  auto rows = [canvas](TLkPoint a, TColor colour) {
    TMarkRow r[4];
    DropDownMarkRows(a, r);
    canvas->Pen()->SetColor(colour);
    for (const TMarkRow& row : r) {
      canvas->MoveTo(row.X, row.Y);
      canvas->LineTo(row.X + row.Length, row.Y);
    }
  };
  if (state == TButtonState::bsDisabled) {
    rows({anchor.X + 1, anchor.Y + 1}, clBtnHighlight);
    rows(anchor, clBtnShadow);
  } else {
    rows(anchor, clBtnText);
  }
}

// ======================================================================
// TLkSpeedButton

TBitmap* CheckerPattern() {
  static TBitmap* pattern = new TBitmap;
  static COLORREF face = CLR_INVALID, light = CLR_INVALID;
  // Drawn again after the system's colours changed.
  if (face != ColorToRGB(clBtnFace) || light != ColorToRGB(clBtnHighlight)) {
    face = ColorToRGB(clBtnFace);
    light = ColorToRGB(clBtnHighlight);
    pattern->SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pattern->Canvas()->SetPixel(x, y, static_cast<TColor>((x + y) % 2 ? light : face));
  }
  return pattern;
}

namespace {
bool NewShell() { return LOBYTE(LOWORD(GetVersion())) >= 4; }

TColor FrameColour(TFrameColor c) {
  switch (c) {
    case TFrameColor::fcWindowFrame: return clWindowFrame;
    case TFrameColor::fcHighlight: return clBtnHighlight;
    case TFrameColor::fcShadow: return clBtnShadow;
    case TFrameColor::fcFace: return clBtnFace;
    case TFrameColor::fcNone: break;
  }
  return clNone;
}

// One ring: top and left in one colour, right and bottom in the other; the
// rectangle shrinks by 1.
void DrawRing(TCanvas* canvas, TRect& r, const TFrameRing& ring) {
  if (ring.TopLeft != TFrameColor::fcNone) {
    canvas->Pen()->SetColor(FrameColour(ring.TopLeft));
    canvas->MoveTo(r.left, r.bottom - 1);
    canvas->LineTo(r.left, r.top);
    canvas->LineTo(r.right, r.top);
  }
  if (ring.BottomRight != TFrameColor::fcNone) {
    canvas->Pen()->SetColor(FrameColour(ring.BottomRight));
    canvas->MoveTo(r.right - 1, r.top);
    canvas->LineTo(r.right - 1, r.bottom - 1);
    canvas->LineTo(r.left - 1, r.bottom - 1);
  }
  r = TRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
}
}  // namespace

TLkSpeedButton::TLkSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 25, 25);
  // Clicks come from the end of a press (EndPress), not from the layer.
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csSetCaption);
  SetParentShowHint(false);
  SetShowHint(true);
  glyph_.OnChange = TNotifyEvent(this, &TLkSpeedButton::GlyphChanged);
}

TLkSpeedButton::~TLkSpeedButton() {
  glyph_.OnChange = nullptr;
  if (drop_down_menu_) RemoveFreeNotification(drop_down_menu_);
}

void TLkSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TLkSpeedButton::SetAllowAllUp(bool on) {
  if (on == model_.AllowAllUp) return;
  model_.AllowAllUp = on;
  SendGroupNotice();
}

void TLkSpeedButton::SetGroupIndex(int index) {
  if (index == model_.GroupIndex) return;
  model_.GroupIndex = index;
  SendGroupNotice();
}

void TLkSpeedButton::SetDown(bool on) {
  bool notify = false;
  if (!model_.SetDown(on, notify)) return;
  Invalidate();
  if (notify) SendGroupNotice();
}

void TLkSpeedButton::SendGroupNotice() {
  if (model_.GroupIndex == 0 || !Parent()) return;
  TControlNotice notice;
  notice.Code = kNoticeButtonPressed;
  notice.Value = model_.GroupIndex;
  notice.Sender = this;
  Parent()->NotifyControls(notice);
}

void TLkSpeedButton::ControlNotice(const TControlNotice& notice) {
  if (notice.Code != kNoticeButtonPressed || notice.Sender == this || !Parent() || !Parent()->HandleAllocated())
    return;
  auto* sender = dynamic_cast<TLkSpeedButton*>(notice.Sender);
  if (!sender) return;
  if (model_.GroupNotice(static_cast<int>(notice.Value), sender->Down(), sender->AllowAllUp())) Invalidate();
}

void TLkSpeedButton::SetAllowTimer(bool on) {
  allow_timer_ = on;
  if (!on && repeat_timer_) {
    TTimer* t = repeat_timer_;
    repeat_timer_ = nullptr;
    Free(t);
  }
}

void TLkSpeedButton::StopRepeat() {
  if (repeat_timer_) repeat_timer_->SetEnabled(false);
}

void TLkSpeedButton::SetDropDownMenu(TPopupMenu* menu) {
  if (menu == drop_down_menu_) return;
  if (drop_down_menu_) RemoveFreeNotification(drop_down_menu_);
  drop_down_menu_ = menu;
  if (menu) FreeNotification(menu);
  if (mark_drop_down_) Invalidate();
}

void TLkSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == drop_down_menu_) {
    drop_down_menu_ = nullptr;
    Invalidate();
  }
}

void TLkSpeedButton::SetFlat(bool on) {
  if (on == flat_) return;
  flat_ = on;
  Invalidate();
}

void TLkSpeedButton::SetGrayedInactive(bool on) {
  if (on == grayed_inactive_) return;
  grayed_inactive_ = on;
  Invalidate();
}

void TLkSpeedButton::SetLayout(TButtonLayout layout) {
  if (layout == layout_) return;
  layout_ = layout;
  Invalidate();
}

void TLkSpeedButton::SetMargin(int margin) {
  if (margin == margin_ || margin < -1) return;
  margin_ = margin;
  Invalidate();
}

void TLkSpeedButton::SetMarkDropDown(bool on) {
  if (on == mark_drop_down_) return;
  mark_drop_down_ = on;
  Invalidate();
}

void TLkSpeedButton::SetNumGlyphs(int n) {
  glyph_.SetNumGlyphs(n);
  Invalidate();
}

void TLkSpeedButton::SetSpacing(int spacing) {
  if (spacing == spacing_) return;
  spacing_ = spacing;
  Invalidate();
}

void TLkSpeedButton::SetStyle(TButtonStyle style) {
  if (style == style_) return;
  style_ = style;
  Invalidate();
}

void TLkSpeedButton::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  SetControlStyle(on ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}

void TLkSpeedButton::Paint() {
  model_.EnabledChanged(Enabled());
  const TButtonState paintState = PaintStateOf(model_.State, flat_, model_.MouseIn, Designing());
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  if (face_.Width() != w || face_.Height() != h) face_.SetSize(w, h);
  TCanvas* c = face_.Canvas();
  c->Font()->Assign(*Font());
  c->Brush()->SetColor(clBtnFace);
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
  c->FillRect(TRect(0, 0, w, h));
  if (transparent_) CopyParentImage(this, c);

  const TFacePlan plan = PlanFace(model_.State, paintState, UsesNewFrames(style_, NewShell()), flat_, transparent_);
  TRect r(0, 0, w, h);
  for (int i = 0; i < plan.RingCount; ++i) DrawRing(c, r, plan.Rings[i]);
  const int rest = plan.Shrink - plan.RingCount;
  r = TRect(r.left + rest, r.top + rest, r.right - rest, r.bottom - rest);
  if (plan.Checkerboard) {
    c->Brush()->SetBitmap(CheckerPattern());
    c->FillRect(TRect(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1));
    c->Brush()->SetBitmap(nullptr);
  }
  if (plan.ContentShift) r.Offset(plan.ContentShift, plan.ContentShift);
  const TButtonState glyphState = GlyphStateOf(model_.State, paintState, grayed_inactive_);
  PaintGlyph(c, r, glyphState, mark_drop_down_ && drop_down_menu_);
  BitBlt(Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCCOPY);
}

TRect TLkSpeedButton::PaintGlyph(TCanvas* canvas, const TRect& client, TButtonState state, bool drawMark) {
  return glyph_.Draw(canvas, client, TPoint{0, 0}, Caption(), layout_, margin_, spacing_, state, drawMark);
}

void TLkSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (menu_tracking_) return;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!Alive(this)) return;
  if (Enabled() && !model_.MouseIn) {
    model_.MouseIn = true;
    Invalidate();
  }
  if (button == TMouseButton::mbRight) UpdateTracking();
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  model_.BeginPress();
  Repaint();
  menu_tracking_ = true;
  struct MenuScope {
    bool& flag;
    ~MenuScope() { flag = false; }
  } scope{menu_tracking_};
  if (ShowDropDown()) {
    if (!Alive(this)) return;
    EndPress(x, y);
    if (!Alive(this)) return;
    // The press that closed the menu over the button is no new press.
    MSG msg;
    if (Parent() && Parent()->HandleAllocated() &&
        PeekMessageA(&msg, Parent()->Handle(), WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) {
      POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
      if (BoundsRect().Contains(pt.x, pt.y)) RemovePendingMessage(Parent()->Handle(), msg.message);
    }
  }
  if (allow_timer_) {
    if (!repeat_timer_) {
      repeat_timer_ = new TTimer(this);
      repeat_timer_->SetOnTimer(TNotifyEvent(this, &TLkSpeedButton::RepeatTick));
    }
    repeat_timer_->SetEnabled(false);
    repeat_timer_->SetInterval(init_pause_);
    repeat_timer_->SetEnabled(true);
  }
}

bool TLkSpeedButton::ShowDropDown() {
  if (!drop_down_menu_ || !drop_down_menu_->AutoPopup() || Designing()) return false;
  if (TCustomForm* form = GetParentForm(this); form && form->HandleAllocated()) {
    if (GetCapture()) ReleaseCapture();  // the form leaves any mouse mode first
  }
  drop_down_menu_->SetPopupComponent(this);
  const TPopupAlignment a = drop_down_menu_->Alignment();
  const TLkMenuAlignment ma = a == TPopupAlignment::paRight    ? TLkMenuAlignment::maRight
                              : a == TPopupAlignment::paCenter ? TLkMenuAlignment::maCenter
                                                               : TLkMenuAlignment::maLeft;
  const TLkPoint at = DropDownMenuPoint(menu_position_, ma, Width(), Height());
  const TPoint screen = ClientToScreen(TPoint{at.X, at.Y});
  drop_down_menu_->Popup(screen.x, screen.y);
  return true;
}

void TLkSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (model_.TrackMove(InsideButton(x, y, ClientWidth(), ClientHeight()))) Invalidate();
}

void TLkSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!Alive(this)) return;
  if (button == TMouseButton::mbLeft) EndPress(x, y);
  if (!Alive(this)) return;
  if (button == TMouseButton::mbRight) UpdateTracking();
  StopRepeat();
}

void TLkSpeedButton::EndPress(int x, int y) {
  if (!model_.Dragging) return;
  const bool inside = InsideButton(x, y, ClientWidth(), ClientHeight());
  const TSpeedButtonModel::TPressEnd end = model_.EndPress(inside, menu_tracking_);
  Invalidate();
  if (end.NotifyGroup) SendGroupNotice();
  if (end.Click) {
    Click();
    if (!Alive(this)) return;
  }
  UpdateTracking();
}

void TLkSpeedButton::RepeatTick(TObject*) {
  if (!repeat_timer_) return;
  repeat_timer_->SetInterval(repeat_interval_);
  if (model_.State == TButtonState::bsDown && MouseCapture()) {
    try {
      Click();
    } catch (...) {
      StopRepeat();
      throw;
    }
  }
}

void TLkSpeedButton::DblClick() {
  if (menu_tracking_) return;
  if (model_.Down) TGraphicControl::DblClick();
}

void TLkSpeedButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modal_result_);
  TGraphicControl::Click();
}

void TLkSpeedButton::SetMouseIn(bool in) {
  if (in == model_.MouseIn) return;
  model_.MouseIn = in;
  if (flat_) Invalidate();
  if (in)
    TGraphicControl::MouseEnter();
  else
    TGraphicControl::MouseLeave();
}

void TLkSpeedButton::MouseEnter() {
  if (Enabled() && !model_.MouseIn && IsThreadWindowActive()) SetMouseIn(true);
}

void TLkSpeedButton::MouseLeave() {
  if (Enabled() && model_.MouseIn && !model_.Dragging) SetMouseIn(false);
}

void TLkSpeedButton::UpdateTracking() {
  if (!Parent() || !Parent()->HandleAllocated()) return;
  POINT pt;
  GetCursorPos(&pt);
  const TPoint p = Parent()->ScreenToClient(TPoint{pt.x, pt.y});
  const bool over = Parent()->ControlAtPos(p.x, p.y, true) == this && Enabled() && IsThreadWindowActive();
  SetMouseIn(over);
}

void TLkSpeedButton::MakeCurrentLook() {
  glyph_.CreateButtonGlyph(!Enabled() ? TButtonState::bsDisabled
                           : flat_    ? TButtonState::bsInactive
                                      : TButtonState::bsUp);
}

void TLkSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  MakeCurrentLook();
}

void TLkSpeedButton::EnabledChanged() {
  model_.EnabledChanged(Enabled());
  MakeCurrentLook();
  UpdateTracking();
  Invalidate();
}

void TLkSpeedButton::VisibleChanged() {
  TGraphicControl::VisibleChanged();
  if (Visible()) UpdateTracking();
}

void TLkSpeedButton::FontChanged() { Invalidate(); }
void TLkSpeedButton::TextChanged() { Invalidate(); }

bool TLkSpeedButton::DialogChar(char key) {
  if (!Enabled() || !Visible() || !IsCaptionAccelerator(key, Caption())) return false;
  Click();
  return true;
}

void TLkSpeedButton::SysColorChanged() {
  glyph_.Invalidate();
  Invalidate();
}
