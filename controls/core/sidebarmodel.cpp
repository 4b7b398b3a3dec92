#include "controls/core/sidebarmodel.h"

#include <algorithm>

bool TLkSideBarModel::SetSelectedButton(int value, bool loading) {
  if (loading) {
    selectedButton_ = value;
    return false;
  }
  if (value < 0) value = Groups.empty() ? -1 : 0;
  if (value >= static_cast<int>(Groups.size()) || value == selectedButton_) return false;
  selectedButton_ = value;
  selectedItem_ = -1;
  topIndex_ = 0;
  return true;
}

bool TLkSideBarModel::SetSelectedItem(int value, bool loading) {
  if (value < 0) value = -1;
  if (loading) {
    selectedItem_ = value;
    return false;
  }
  const bool open = selectedButton_ >= 0 && selectedButton_ < static_cast<int>(Groups.size());
  const int count = open ? static_cast<int>(Groups[selectedButton_].Items.size()) : 0;
  if (value >= 0 && value < count && !Groups[selectedButton_].Items[value].Visible) value = -1;
  if (value == selectedItem_ || value >= count) return false;
  selectedItem_ = value;
  // At least the item itself is counted as fitting: it is never scrolled
  // above the top.
  const int fit = std::max(fitCount_, 1);
  if (topIndex_ < value && value > topIndex_ + fit - 1)
    topIndex_ = value - fit + 1;
  else if (topIndex_ >= value)
    topIndex_ = value;
  if (topIndex_ < 0) topIndex_ = 0;
  return true;
}

void TLkSideBarModel::OpenFirstGroup() {
  if (!Groups.empty() && selectedButton_ < 0) SetSelectedButton(0);
}

void TLkSideBarModel::ClearGroups() {
  Groups.clear();
  selectedItem_ = -1;
  selectedButton_ = -1;
  topIndex_ = 0;
}

void TLkSideBarModel::ScrollBy(int delta) { SetTopIndex(topIndex_ + delta); }

bool TLkSideBarModel::IsRowStyle() const {
  return FrameStyle == TLkSideFrameStyle::fsRowRaised || FrameStyle == TLkSideFrameStyle::fsRowLowered ||
         FrameStyle == TLkSideFrameStyle::fsRowButton;
}

std::string TLkSideBarModel::DisplayCaption(const std::string& caption) const {
  if (!StripAccChar) return caption;
  std::string s;
  for (char c : caption)
    if (c != '&') s += c;
  return s;
}

TLkSideLayout TLkSideBarModel::Layout(int width, int height, const TLkSideMetrics& m, bool itemsShown) {
  TLkSideLayout out;
  out.ButtonHeight = m.ButtonTextHeight + 8;
  out.Client = {1, 1, width - 1, height - 1};
  const TLkRect& c = out.Client;
  const int bh = out.ButtonHeight;
  const int groups = static_cast<int>(Groups.size());
  scrollUp_ = scrollDown_ = TLkRect{};
  int y = c.Top;
  for (int g = 0; g < groups; ++g) {
    TLkSideGroupModel& group = Groups[g];
    group.ButtonRect = {c.Left, y, c.Right, y + bh};
    y += bh;
    if (g != selectedButton_) continue;

    out.HasOpenGroup = true;
    const TLkRect area{c.Left, y, c.Right, c.Bottom - (groups - 1 - g) * bh};
    for (auto& item : group.Items) item.ImageRect = item.TextRect = TLkRect{};
    out.ItemAreaOuter = {area.Left - 1, area.Top, area.Right + 1, area.Bottom};
    out.ItemArea = {area.Left, area.Top + 1, area.Right, area.Bottom - 1};
    y = area.Bottom;
    if (!itemsShown) continue;

    const TLkRect& ia = out.ItemArea;
    const int iw = m.ImageWidth, ih = m.ImageHeight;
    const int slot = m.TextHeight + ih + Spacing + 12;
    fitCount_ = slot > 0 ? std::max(0, ia.Height()) / slot : 0;
    int iy = ia.Top + TopSpacing;
    const int count = static_cast<int>(group.Items.size());
    for (int i = std::max(0, topIndex_); i < count; ++i) {
      TLkSideItemModel& item = group.Items[i];
      if (!item.Visible) continue;
      TLkSidePlacedItem placed;
      placed.Index = i;
      placed.Text_ = DisplayCaption(item.Caption);
      const int textLeft = c.Left + 2, textRight = c.Right - 2;
      const int captionHeight = (WordWrap && m.WrappedTextHeight) ? m.WrappedTextHeight(placed.Text_, textRight - textLeft)
                                                                   : m.TextHeight;
      const int itemHeight = ih + 4 + captionHeight + Spacing;
      if (iy + itemHeight >= ia.Bottom) {
        scrollDown_ = ScrollBtnStyle == TLkScrollBtnStyle::sbSlider
                          ? TLkRect{ia.Left, ia.Bottom - 10, ia.Right, ia.Bottom + 1}
                          : TLkRect{ia.Right - 4 - m.ScrollBarWidth, ia.Bottom - 4 - m.ScrollBarWidth, ia.Right - 4,
                                    ia.Bottom - 4};
        break;
      }
      const int frameLeft = c.Left + (c.Width() - iw) / 2 - 4;
      placed.ImageAt = {frameLeft + 4, iy + 4, frameLeft + 4 + iw, iy + 4 + ih};
      placed.Frame = IsRowStyle() ? TLkRect{1, iy, c.Right, AllowEditing ? iy + ih + 8 : iy + itemHeight}
                                  : TLkRect{frameLeft, iy, frameLeft + iw + 8, iy + ih + 8};
      placed.Text = {textLeft, iy + ih + 8, textRight, iy + itemHeight};
      item.ImageRect = placed.Frame;
      item.TextRect = placed.Text;
      out.Items.push_back(placed);
      iy += itemHeight;
    }
    if (topIndex_ > 0)
      scrollUp_ = ScrollBtnStyle == TLkScrollBtnStyle::sbSlider
                      ? TLkRect{ia.Left, ia.Top - 1, ia.Right, ia.Top + 10}
                      : TLkRect{ia.Right - 4 - m.ScrollBarWidth, ia.Top + 4, ia.Right - 4, ia.Top + 4 + m.ScrollBarWidth};
  }
  return out;
}

TLkSideHit TLkSideBarModel::HitTest(int x, int y) const {
  if (!scrollUp_.Empty() && scrollUp_.Contains(x, y)) return {shScroll, 1};
  if (!scrollDown_.Empty() && scrollDown_.Contains(x, y)) return {shScroll, 0};
  for (int g = 0; g < static_cast<int>(Groups.size()); ++g)
    if (Groups[g].ButtonRect.Contains(x, y)) return {shButton, g};
  if (selectedButton_ >= 0 && selectedButton_ < static_cast<int>(Groups.size())) {
    const auto& items = Groups[selectedButton_].Items;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      if (items[i].ImageRect.Contains(x, y)) return {shImage, i};
      if (items[i].TextRect.Contains(x, y)) return {shText, i};
    }
  }
  return {};
}

TLkSideSlide TLkSideBarModel::Slide(const TLkSideLayout& painted, int to) const {
  TLkSideSlide slide;
  const int from = selectedButton_, groups = static_cast<int>(Groups.size());
  if (!painted.HasOpenGroup || from < 0 || from >= groups || to < 0 || to >= groups || to == from) return slide;
  const TLkRect& area = painted.ItemAreaOuter;
  slide.Distance = area.Height();
  slide.Up = to > from;
  slide.Band.Left = area.Left;
  slide.Band.Right = area.Right;
  if (slide.Up) {
    slide.Band.Top = area.Top;
    slide.Band.Bottom = Groups[to].ButtonRect.Bottom;
  } else {
    slide.Band.Top = Groups[to + 1].ButtonRect.Top;
    slide.Band.Bottom = area.Top;  // the old group's button ends where its area begins
  }
  // A group added since the paint has no button in the picture: nothing to slide.
  if (slide.Distance <= 0 || slide.Band.Empty() || Groups[slide.Up ? to : to + 1].ButtonRect.Empty()) return {};
  return slide;
}

TLkSideSlide::Frame TLkSideSlide::At(int offset) const {
  Frame f;
  const int d = offset < 0 ? 0 : offset > Distance ? Distance : offset;
  f.From = Band;
  f.Uncovered = Band;
  if (Up) {
    // The band's top rows slide under the button above it.
    f.From.Top = Band.Top + d;
    f.ToTop = Band.Top;
    f.Uncovered.Top = Band.Bottom - d;
  } else {
    f.ToTop = Band.Top + d;
    f.Uncovered.Bottom = Band.Top + d;
  }
  return f;
}

std::vector<int> TLkSideSlide::Offsets(int step) const {
  std::vector<int> out;
  if (Distance <= 0 || step <= 0) return out;
  for (int d = step; d < Distance; d += step) out.push_back(d);
  out.push_back(Distance);
  return out;
}
