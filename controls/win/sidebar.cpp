#include "controls/win/sidebar.h"

#include "controls/win/frames.h"
#include "forms/win/application.h"

namespace {
TRect ToRect(const TLkRect& r) { return TRect(r.Left, r.Top, r.Right, r.Bottom); }

void RaisedFrame(TCanvas* c, const TRect& r) { PaintFrameSides(c, r, cl3DLight, kAllSides, cl3DDkShadow); }
void SunkenFrame(TCanvas* c, const TRect& r) { PaintFrameSides(c, r, cl3DDkShadow, kAllSides, cl3DLight); }
}  // namespace

TLkCustomSideBar::TLkCustomSideBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 100, 300);
  SetControlStyle(csClickEvents | csOpaque | csDoubleClicks | csCaptureMouse);
  SetColor(clBtnShadow);
  SetParentColor(false);
  scroll_bar_width_ = GetSystemMetrics(SM_CXVSCROLL);
  button_font_.OnChange = TNotifyEvent(this, &TLkCustomSideBar::FontChangedHandler);
  selected_font_.OnChange = TNotifyEvent(this, &TLkCustomSideBar::FontChangedHandler);
  background_.OnChange = TNotifyEvent(this, &TLkCustomSideBar::FontChangedHandler);
}

TLkCustomSideBar::~TLkCustomSideBar() {
  if (images_) images_->RemoveFreeNotification(this);
}

int TLkCustomSideBar::AddGroup(const std::string& caption) {
  model_.Groups.emplace_back().Caption = caption;
  items_.emplace_back();
  RefreshBar();
  return GroupCount() - 1;
}

int TLkCustomSideBar::AddItem(int group, const std::string& caption, int imageIndex) {
  TLkSideItemModel item;
  item.Caption = caption;
  item.ImageIndex = imageIndex;
  auto& items = model_.Groups.at(group).Items;
  items.push_back(item);
  items_.at(group).push_back(std::make_unique<TLkSideItem>(this, group, static_cast<int>(items.size()) - 1));
  RefreshBar();
  return static_cast<int>(items.size()) - 1;
}

void TLkCustomSideBar::SetItemEnabled(int group, int index, bool on) {
  auto& item = Item(group, index);
  if (item.Enabled == on) return;
  item.Enabled = on;
  RefreshBar();
}

void TLkCustomSideBar::SetItemVisible(int group, int index, bool on) {
  auto& item = Item(group, index);
  if (item.Visible == on) return;
  item.Visible = on;
  RefreshBar();
}

void TLkCustomSideBar::SetItemCaption(int group, int index, const std::string& caption) {
  auto& item = Item(group, index);
  if (item.Caption == caption) return;
  item.Caption = caption;
  RefreshBar();
}

void TLkCustomSideBar::SetItemImageIndex(int group, int index, int imageIndex) {
  auto& item = Item(group, index);
  if (item.ImageIndex == imageIndex) return;
  item.ImageIndex = imageIndex;
  RefreshBar();
}

void TLkCustomSideBar::ClearGroups() {
  if (editing_) EndEdit(false);
  model_.ClearGroups();
  items_.clear();
  pressed_ = hover_ = {};
  rename_candidate_ = -1;
  Invalidate();
}

bool TLkCustomSideBar::HasItem(int group, int index) const {
  return group >= 0 && group < GroupCount() && index >= 0 && index < static_cast<int>(items_[group].size());
}

std::vector<TLkSideGroupData> TLkCustomSideBar::List() const {
  std::vector<TLkSideGroupData> list;
  for (int g = 0; g < GroupCount(); ++g) {
    TLkSideGroupData& group = list.emplace_back();
    group.Caption = model_.Groups[g].Caption;
    for (const auto& item : items_[g]) {
      TLkSideItemData& d = group.Items.emplace_back();
      d.Action = item->Action();
      d.Caption = item->Caption();
      d.Enabled = item->Enabled();
      d.ImageIndex = item->ImageIndex();
      d.Tag = item->Tag();
      d.Visible = item->Visible();
      d.OnClick = item->OnClick;
    }
  }
  return list;
}

void TLkCustomSideBar::ReadList(const std::vector<TLkSideGroupData>& list) {
  for (const TLkSideGroupData& group : list) {
    const int g = AddGroup(group.Caption);
    for (const TLkSideItemData& d : group.Items) {
      TLkSideItem* item = SideItem(g, AddItem(g, d.Caption, d.ImageIndex));
      item->SetEnabled(d.Enabled);
      item->SetTag(d.Tag);
      item->SetVisible(d.Visible);
      item->OnClick = d.OnClick;
      // While loading the action's values wait for Loaded.
      if (d.Action) item->SetAction(d.Action);
    }
  }
}

void TLkCustomSideBar::UpdateActions() {
  for (const auto& group : items_)
    for (const auto& item : group)
      if (item->ActionLink()) item->ActionLink()->Update();
}

void TLkCustomSideBar::RefreshBar() {
  if (Loading()) return;
  model_.OpenFirstGroup();
  Invalidate();
}

void TLkCustomSideBar::Changed() {
  if (!Loading() && OnChange) OnChange(this);
}

void TLkCustomSideBar::ItemTextChanged() {
  if (!Loading() && OnItemTextChange) OnItemTextChange(this);
}

void TLkCustomSideBar::SetSelectedButton(int value) {
  if (Loading()) {
    model_.SetSelectedButton(value, true);
    return;
  }
  const int target = value < 0 ? (GroupCount() ? 0 : -1) : value;
  if (target >= GroupCount() || target == SelectedButton()) return;
  if (smooth_scrolling_ && HandleAllocated()) AnimateTo(target);
  model_.SetSelectedButton(target);
  RefreshBar();
  Changed();
}

void TLkCustomSideBar::SetSelectedItem(int value) {
  // The scroll to the item needs how many items fit, which only a layout
  // knows: lay the bar out at its present size first (a selection made
  // before the first paint used to scroll the item out of sight).
  if (!Loading() && Width() > 0 && Height() > 0) model_.Layout(Width(), Height(), Metrics(buffer_.Canvas()), !animating_);
  if (model_.SetSelectedItem(value, Loading())) {
    Invalidate();
    Changed();
  }
}

void TLkCustomSideBar::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
  Invalidate();
}

void TLkCustomSideBar::SetItemHightlightColor(TColor c) {
  hot_color_ = c;
  Invalidate();
}
void TLkCustomSideBar::SetButtonColor(TColor c) {
  button_color_ = c;
  Invalidate();
}
void TLkCustomSideBar::SetFrameStyle(TLkSideFrameStyle s) {
  model_.FrameStyle = s;
  Repaint();
}
void TLkCustomSideBar::SetScrollBtnStyle(TLkScrollBtnStyle s) {
  model_.ScrollBtnStyle = s;
  Invalidate();
}
void TLkCustomSideBar::SetSpacing(int v) {
  model_.Spacing = v;
  Repaint();
}
void TLkCustomSideBar::SetTopSpacing(int v) {
  model_.TopSpacing = v;
  Repaint();
}
void TLkCustomSideBar::SetWordWrap(bool on) {
  model_.WordWrap = on;
  Repaint();
}
void TLkCustomSideBar::SetStripAccChar(bool on) {
  model_.StripAccChar = on;
  Invalidate();
}

void TLkCustomSideBar::CreateWnd() {
  TCustomControl::CreateWnd();
  model_.OpenFirstGroup();
}

void TLkCustomSideBar::Loaded() {
  TCustomControl::Loaded();
  for (const auto& group : items_)
    for (const auto& item : group)
      if (TBasicAction* action = item->Action()) item->ActionChange(action, true);
  model_.OpenFirstGroup();
}

void TLkCustomSideBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) images_ = nullptr;
  // A freed action has let go of its links: the items drop them.
  for (const auto& group : items_)
    for (const auto& item : group)
      if (item->ActionLink() && !item->ActionLink()->Action()) item->SetAction(nullptr);
}

TLkSideMetrics TLkCustomSideBar::Metrics(TCanvas* c) {
  TLkSideMetrics m;
  c->Font()->Assign(button_font_);
  m.ButtonTextHeight = c->TextHeight("Wg");
  c->Font()->Assign(*Font());
  m.TextHeight = c->TextHeight("Wg");
  if (images_) {
    m.ImageWidth = images_->Width();
    m.ImageHeight = images_->Height();
  }
  m.ScrollBarWidth = scroll_bar_width_;
  m.WrappedTextHeight = [c](const std::string& text, int width) {
    TRect r(0, 0, width, 0);
    return c->DrawText(text, r, DT_CENTER | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  };
  return m;
}

void TLkCustomSideBar::ScheduleActionUpdate() {
  // Not inside the paint: a handler that changes an item repaints the bar,
  // and one that fails must not fail the paint.
  if (update_pending_ || Destroying()) return;
  bool any = false;
  for (const auto& group : items_)
    for (const auto& item : group) any = any || item->Action();
  if (!any) return;
  update_pending_ = true;
  Application->Queue([this] {
    if (!TControl::Alive(this)) return;
    update_pending_ = false;
    UpdateActions();
  });
}

void TLkCustomSideBar::PaintWindow(HDC dc) {
  ScheduleActionUpdate();
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  if (buffer_.Width() != w || buffer_.Height() != h) buffer_.SetSize(w, h);
  PaintBar(buffer_.Canvas());
  BitBlt(dc, 0, 0, w, h, buffer_.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TLkCustomSideBar::Paint() {
  // PaintWindow paints through the buffer; nothing else to do.
}

void TLkCustomSideBar::PaintBar(TCanvas* c) {
  const int w = Width(), h = Height();
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(TRect(0, 0, w, h));
  PaintFrameSides(c, TRect(0, 0, w, h), clBtnShadow, kAllSides, clBtnHighlight);

  const TLkSideMetrics m = Metrics(c);
  painted_ = model_.Layout(w, h, m, !animating_);
  const TLkSideLayout& l = painted_;
  for (int g = 0; g < GroupCount(); ++g) {
    TRect r = ToRect(model_.Groups[g].ButtonRect);
    const bool down = pressed_.Kind == shButton && pressed_.Index == g;
    c->Brush()->SetColor(button_color_);
    c->FillRect(r);
    if (down)
      PaintFrameSides(c, r, clBtnShadow, kAllSides, clBtnHighlight);
    else
      PaintFrameSides(c, r, clBtnHighlight, kAllSides, clBtnShadow);
    if (down) r.Offset(1, 1);
    c->Font()->Assign(button_font_);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->DrawText(model_.Groups[g].Caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
  }
  if (l.HasOpenGroup) PaintItemArea(c, l);
}

void TLkCustomSideBar::PaintItemArea(TCanvas* c, const TLkSideLayout& l) {
  const TRect area(l.ItemAreaOuter.Left + 1, l.ItemAreaOuter.Top, l.ItemAreaOuter.Right - 1, l.ItemAreaOuter.Bottom);
  if (!background_.Empty()) {
    HRGN clip = CreateRectRgn(area.left, area.top, area.right, area.bottom);
    SelectClipRgn(c->Handle(), clip);
    for (int y = area.top; y < area.bottom; y += background_.Height())
      for (int x = area.left; x < area.right; x += background_.Width()) c->Draw(x, y, background_.Graphic());
    SelectClipRgn(c->Handle(), nullptr);
    DeleteObject(clip);
  } else {
    c->Brush()->SetColor(Color());
    c->FillRect(area);
  }
  PaintFrameSides(c, ToRect(l.ItemAreaOuter), clBlack, kAllSides, clBtnHighlight);
  if (animating_) return;

  const TLkSideFrameStyle fs = model_.FrameStyle;
  const bool buttonStyle = fs == TLkSideFrameStyle::fsButton || fs == TLkSideFrameStyle::fsRowButton;
  const bool pressing = pressed_.Kind == shImage;
  const auto& items = model_.Groups[model_.SelectedButton()].Items;
  for (const TLkSidePlacedItem& p : l.Items) {
    const TLkSideItemModel& item = items[p.Index];
    const TRect frame = ToRect(p.Frame);
    const bool isPressed = pressing && pressed_.Index == p.Index;
    const bool hot = isPressed || (hover_.Kind == shImage && hover_.Index == p.Index);
    const bool selected = p.Index == model_.SelectedItem();
    c->Font()->Assign(*Font());
    auto fill = [&] {
      if (hot_color_ == clNone) return;
      c->Brush()->SetColor(hot_color_);
      c->FillRect(TRect(frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1));
    };
    if (hot) {
      const bool raisedStyle = fs == TLkSideFrameStyle::fsRaised || buttonStyle || fs == TLkSideFrameStyle::fsRowRaised;
      if (raisedStyle && !pressing) {
        if (!(selected && buttonStyle)) RaisedFrame(c, frame);
        fill();
        c->Font()->Assign(hot_font_);
      } else if (fs == TLkSideFrameStyle::fsLowered || fs == TLkSideFrameStyle::fsRowLowered || pressing) {
        fill();
        c->Font()->Assign(hot_font_);
        SunkenFrame(c, frame);
      }
    }
    if ((selected && !pressing) || isPressed) {
      if (buttonStyle) SunkenFrame(c, frame);
      c->Font()->Assign(selected_font_);
    }
    if (images_ && item.ImageIndex >= 0 && item.ImageIndex < images_->Count())
      images_->Draw(c, p.ImageAt.Left, p.ImageAt.Top, item.ImageIndex, item.Enabled);
    TRect tr = ToRect(p.Text);
    UINT flags = DT_CENTER | (model_.WordWrap ? DT_WORDBREAK : (DT_SINGLELINE | DT_END_ELLIPSIS));
    if (model_.StripAccChar) flags |= DT_NOPREFIX;
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->DrawText(p.Text_, tr, flags);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
  }
  if (!model_.ScrollUpRect().Empty())
    PaintScrollButton(c, ToRect(model_.ScrollUpRect()), true, pressed_.Kind == shScroll && pressed_.Index == 1);
  if (!model_.ScrollDownRect().Empty())
    PaintScrollButton(c, ToRect(model_.ScrollDownRect()), false, pressed_.Kind == shScroll && pressed_.Index == 0);
}

void TLkCustomSideBar::PaintScrollButton(TCanvas* c, const TRect& r, bool up, bool pressed) {
  c->Brush()->SetColor(button_color_);
  c->FillRect(r);
  const bool slider = model_.ScrollBtnStyle == TLkScrollBtnStyle::sbSlider;
  TColor light = slider ? clBtnHighlight : clWhite, dark = slider ? clBtnShadow : clBlack;
  if (pressed) std::swap(light, dark);
  PaintFrameSides(c, r, light, kAllSides, dark);
  int x0 = r.left + r.Width() / 2 - 3, y0 = r.top + r.Height() / 2 - 1;
  if (pressed) {
    ++x0;
    ++y0;
  }
  POINT pts[4];
  if (up) {
    pts[0] = {x0 + 3, y0}; pts[1] = {x0 + 2, y0}; pts[2] = {x0 + 5, y0 + 2}; pts[3] = {x0, y0 + 2};
  } else {
    pts[0] = {x0, y0}; pts[1] = {x0 + 5, y0}; pts[2] = {x0 + 2, y0 + 2}; pts[3] = {x0 + 3, y0 + 2};
  }
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clBlack);
  c->RequirePen();
  c->RequireBrush();
  Polygon(c->Handle(), pts, 4);
}

void TLkCustomSideBar::AnimateTo(int group) {
  // The picture of the last paint moves on the screen in 5-pixel steps, at
  // least ScrollDelay ms apart (a busy wait, as the bar has always done).
  if (!HandleAllocated() || buffer_.Empty() || buffer_.Width() != Width() || buffer_.Height() != Height()) return;
  const TLkSideSlide slide = model_.Slide(painted_, group);
  if (slide.Distance <= 0) return;
  // A failing frame still leaves the bar painting its items and the DC back.
  struct Slide {
    TLkCustomSideBar* bar;
    HDC dc;
    ~Slide() {
      ReleaseDC(bar->hwnd_, dc);
      bar->animating_ = false;
    }
  } on{this, GetDC(hwnd_)};
  animating_ = true;
  for (int offset : slide.Offsets()) {
    const DWORD start = GetTickCount();
    PaintSlideFrame(on.dc, slide.At(offset));
    while (GetTickCount() - start < static_cast<DWORD>(scroll_delay_)) {
    }
  }
}

void TLkCustomSideBar::PaintSlideFrame(HDC dc, const TLkSideSlide::Frame& f) {
  if (!f.From.Empty())
    BitBlt(dc, f.From.Left, f.ToTop, f.From.Width(), f.From.Height(), buffer_.Canvas()->Handle(), f.From.Left,
           f.From.Top, SRCCOPY);
  if (f.Uncovered.Empty()) return;
  TCanvas canvas;
  TCanvasOnDC on(canvas, dc);
  TLkSideLayout uncovered;
  uncovered.ItemAreaOuter = f.Uncovered;
  PaintItemArea(&canvas, uncovered);  // animating: the empty area only
}

void TLkCustomSideBar::SetItemOnClick(int group, int index, TNotifyEvent handler) {
  SideItem(group, index)->OnClick = std::move(handler);
}

void TLkCustomSideBar::ItemClick(int group, int index) { SideItem(group, index)->Click(); }

void TLkCustomSideBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != TMouseButton::mbLeft) {
    TCustomControl::MouseDown(button, shift, x, y);
    return;
  }
  SetMouseCapture(true);
  if (HandleAllocated() && buffer_.Empty()) Repaint();
  const TLkSideHit hit = model_.HitTest(x, y);
  if (editing_) EndEdit(true);
  if (model_.AllowEditing) {
    if (hit.Kind != shImage && hit.Kind != shText)
      rename_candidate_ = -1;
    else if (hit.Kind == shText && hit.Index == rename_candidate_)
      BeginEdit();
    else
      rename_candidate_ = hit.Index;
  }
  pressed_ = hit;
  hover_ = {};
  Invalidate();
}

void TLkCustomSideBar::MouseMove(TShiftState shift, int x, int y) {
  const TLkSideHit hit = model_.HitTest(x, y);
  if (!(hit == hover_)) {
    hover_ = hit;
    Invalidate();
  }
}

void TLkCustomSideBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != TMouseButton::mbLeft) {
    TCustomControl::MouseUp(button, shift, x, y);
    return;
  }
  SetMouseCapture(false);
  const TLkSideHit hit = model_.HitTest(x, y);
  bool allowed = true;
  if ((hit.Kind == shButton || hit.Kind == shImage) && OnChanging) {
    OnChanging(this, allowed);
    if (!Alive(this)) return;
  }
  if (allowed) ClickHit(hit, SelectedButton());
  if (!Alive(this)) return;
  pressed_ = {};
  hover_ = {};
  Invalidate();
}

void TLkCustomSideBar::ClickHit(const TLkSideHit& hit, int group) {
  // Every handler may change the groups or free the bar: the item is looked
  // up again before each use.
  const int index = hit.Index;
  auto still = [&] { return Alive(this) && SelectedButton() == group && HasItem(group, index); };
  switch (hit.Kind) {
    case shButton:
      SetSelectedButton(index);
      break;
    case shImage:
      if (!still()) break;
      if (Item(group, index).Enabled) {
        SetSelectedItem(index);
        if (still()) ItemClick(group, index);
      }
      if (Alive(this) && OnItemClick) OnItemClick(this);
      break;
    case shScroll:
      model_.ScrollBy(index == 1 ? -1 : +1);
      break;
    case shText:
      if (!still()) break;
      if (Item(group, index).Enabled) SetSelectedItem(index);
      if (Alive(this) && OnItemTextClick) OnItemTextClick(this);
      break;
    default:
      break;
  }
}

void TLkCustomSideBar::MouseLeave() {
  if (hover_.Kind == shImage) {
    hover_ = {};
    Invalidate();
  }
  TCustomControl::MouseLeave();
}

void TLkCustomSideBar::ClickAt(int x, int y) {
  // Lay out first: the hit rectangles come from the last paint.
  if (buffer_.Width() != Width() || buffer_.Height() != Height()) buffer_.SetSize(Width(), Height());
  PaintBar(buffer_.Canvas());
  MouseDown(TMouseButton::mbLeft, 0, x, y);
  MouseUp(TMouseButton::mbLeft, 0, x, y);
}

void TLkCustomSideBar::BeginEdit() {
  if (!HasItem(SelectedButton(), rename_candidate_)) return;
  const auto& item = model_.Groups[SelectedButton()].Items[rename_candidate_];
  if (!editor_) {
    editor_ = new TEdit(this);
    editor_->SetParent(this);
    editor_->SetBorderStyle(TEditBorderStyle::bsNone);
    editor_->OnKeyDown = TKeyEvent(this, &TLkCustomSideBar::EditorKeyDown);
  }
  const TLkRect& r = item.TextRect;
  editor_->SetBounds(r.Left, r.Top, r.Width(), editor_->Height());
  editor_->SetText(item.Caption);
  editor_->Show();
  editor_->SelectAll();
  editor_->SetFocus();
  editing_ = true;
}

void TLkCustomSideBar::EndEdit(bool accept) {
  if (!editing_) return;
  editing_ = false;
  editor_->Hide();
  if (HandleAllocated()) SetFocus();
  if (accept && HasItem(SelectedButton(), SelectedItem())) {
    model_.Groups[SelectedButton()].Items[SelectedItem()].Caption = editor_->Text();
    ItemTextChanged();
    Invalidate();
  }
}

void TLkCustomSideBar::EditorKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_RETURN) EndEdit(true);
  if (key == VK_ESCAPE) EndEdit(false);
}

LRESULT TLkCustomSideBar::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SIZE) {
    const LRESULT r = TCustomControl::WndProc(msg, w, l);
    Invalidate();
    return r;
  }
  return TCustomControl::WndProc(msg, w, l);
}

// ---- TLkSideItem ----

TLkSideItem::~TLkSideItem() = default;

TLkSideItemModel& TLkSideItem::Model() const { return bar_->Item(group_, index_); }
const std::string& TLkSideItem::Caption() const { return Model().Caption; }
void TLkSideItem::SetCaption(const std::string& caption) { bar_->SetItemCaption(group_, index_, caption); }
int TLkSideItem::ImageIndex() const { return Model().ImageIndex; }
void TLkSideItem::SetImageIndex(int index) { bar_->SetItemImageIndex(group_, index_, index); }
bool TLkSideItem::Enabled() const { return Model().Enabled; }
void TLkSideItem::SetEnabled(bool on) { bar_->SetItemEnabled(group_, index_, on); }
bool TLkSideItem::Visible() const { return Model().Visible; }
void TLkSideItem::SetVisible(bool on) { bar_->SetItemVisible(group_, index_, on); }
int TLkSideItem::Tag() const { return Model().Tag; }
void TLkSideItem::SetTag(int tag) { Model().Tag = tag; }

void TLkSideItem::SetAction(TBasicAction* action) {
  if (!action) {
    if (link_) {
      if (TBasicAction* old = link_->Action()) old->RemoveFreeNotification(bar_);
      link_.reset();
    }
    return;
  }
  if (link_ && link_->Action() && link_->Action() != action) link_->Action()->RemoveFreeNotification(bar_);
  if (!link_) link_ = std::make_unique<TLkItemActionLink>(this);
  link_->SetAction(action);
  // A bar read in code while loading stands for a form being loaded, its
  // actions with it: the item's stored values then win.
  ActionChange(action, action->Loading() || bar_->Loading());
  action->FreeNotification(bar_);
}

void TLkSideItem::ActionChange(TBasicAction* action, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(action);
  if (!a) return;
  if (!checkDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(a->Enabled());
  if (!checkDefaults || Visible()) SetVisible(a->Visible());
  if (!checkDefaults || !OnClick) OnClick = a->OnExecute();
}

void TLkSideItem::Assign(const TLkSideItem& other) {
  SetAction(other.Action());
  SetImageIndex(other.ImageIndex());
  SetCaption(other.Caption());
  SetEnabled(other.Enabled());
  SetVisible(other.Visible());
}

void TLkSideItem::Click() {
  TBasicAction* action = Action();
  if (OnClick && action && OnClick != action->OnExecute()) {
    OnClick(this);
  } else if (link_ && action && !(bar_->ComponentState() & csDesigning)) {
    link_->Execute();
  } else if (OnClick) {
    OnClick(this);
  }
}

// ---- TLkItemActionLink ----

namespace {
TCustomAction* AsCustom(TBasicAction* a) { return dynamic_cast<TCustomAction*>(a); }
}  // namespace

bool TLkItemActionLink::IsCaptionLinked() const {
  return TActionLink::IsCaptionLinked() && client_->Caption() == AsCustom(Action())->Caption();
}
bool TLkItemActionLink::IsEnabledLinked() const {
  return TActionLink::IsEnabledLinked() && client_->Enabled() == AsCustom(Action())->Enabled();
}
bool TLkItemActionLink::IsVisibleLinked() const {
  return TActionLink::IsVisibleLinked() && client_->Visible() == AsCustom(Action())->Visible();
}
bool TLkItemActionLink::IsOnExecuteLinked() const {
  return TActionLink::IsOnExecuteLinked() && client_->OnClick == Action()->OnExecute();
}
void TLkItemActionLink::SetCaption(const std::string& caption) { client_->SetCaption(caption); }
void TLkItemActionLink::SetEnabled(bool on) { client_->SetEnabled(on); }
void TLkItemActionLink::SetVisible(bool on) { client_->SetVisible(on); }
void TLkItemActionLink::SetOnExecute(const TNotifyEvent& handler) { client_->OnClick = handler; }
