#include "controls/win/framedlistview.h"

#include "controls/core/listsort.h"

TLkCustomListView::TLkCustomListView(TComponent* owner) : TListView(owner) {}

void TLkCustomListView::SetFillLastColumn(bool on) {
  if (fill_last_column_ == on) return;
  fill_last_column_ = on;
  FitLastColumn();
}

void TLkCustomListView::FitLastColumn() {
  if (!fill_last_column_ || Destroying() || ColumnCount() < 2 || fitting_ || SettingUp()) return;
  fitting_ = true;
  std::vector<int> widths;
  for (int i = 0; i < ColumnCount(); ++i) widths.push_back(ColumnWidth(i));
  const int w = FittedLastColumnWidth(widths, ClientWidth(), Count() > 0, GetSystemMetrics(SM_CXVSCROLL));
  if (w != widths.back()) SetColumnWidth(ColumnCount() - 1, w);
  fitting_ = false;
}

void TLkCustomListView::CreateWnd() {
  TListView::CreateWnd();
  FitLastColumn();
}

void TLkCustomListView::Loaded() {
  TListView::Loaded();
  FitLastColumn();
}

void TLkCustomListView::SortByColumn(int column) {
  CustomSort([column](TListItem* a, TListItem* b) {
    const std::string& x = column == 0 ? a->Caption() : a->SubItem(column - 1);
    const std::string& y = column == 0 ? b->Caption() : b->SubItem(column - 1);
    return CompareColumnTexts(x, y);
  });
}

void TLkCustomListView::ColumnClick(int column) {
  if (alpha_sort_all_) SortByColumn(column);
  TListView::ColumnClick(column);
}

bool TLkCustomListView::CanEdit(TListItem* item) {
  if (edit_on_row_click_) return true;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  const TRect label = LabelRect(item->Index());
  return label.Contains(p.x, p.y) && TListView::CanEdit(item);
}

void TLkCustomListView::RepaintFrame() {
  if (HandleAllocated()) RepaintWindowFrame(Handle());
}

void TLkCustomListView::UpdateFrameStyle(bool viaMouse, bool inside) {
  if (viaMouse) SetHover(inside);
  if (FollowActivity(Focused() || Hover())) RepaintFrame();
}

void TLkCustomListView::FrameVisibleChanged() {
  if (HandleAllocated()) RecreateWnd();
}

void TLkCustomListView::ColorChanged() {
  TListView::ColorChanged();
  if (FrameVisible()) RepaintFrame();
}

void TLkCustomListView::MouseEnter() {
  UpdateFrameStyle(true, true);
  TListView::MouseEnter();
}

void TLkCustomListView::MouseLeave() {
  UpdateFrameStyle(true, false);
  TListView::MouseLeave();
}

LRESULT TLkCustomListView::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_NCPAINT: {
      const LRESULT r = TListView::WndProc(msg, w, l);
      if (!FrameVisible()) return r;
      PaintWindowFrame(Handle(), Color());
      return 0;
    }
    case WM_SETFOCUS:
      UpdateFrameStyle(false, false);
      return TListView::WndProc(msg, w, l);
    case WM_KILLFOCUS: {
      const LRESULT r = TListView::WndProc(msg, w, l);
      UpdateFrameStyle(false, false);
      return r;
    }
    case WM_SIZE: {
      const LRESULT r = TListView::WndProc(msg, w, l);
      FitLastColumn();
      // The frame is drawn over the window's outer edge: only a new window
      // size moves it. A scroll bar coming or going changes the client
      // alone, and the system has just painted the frame for it; painting
      // it again at once would also draw every shown row once more.
      RECT wr;
      GetWindowRect(Handle(), &wr);
      const SIZE size{wr.right - wr.left, wr.bottom - wr.top};
      if (FrameVisible() && (size.cx != framed_size_.cx || size.cy != framed_size_.cy)) RepaintFrame();
      framed_size_ = size;
      return r;
    }
    case WM_MOUSEWHEEL: {
      const int notches = wheel_.Add(GET_WHEEL_DELTA_WPARAM(w));
      if (notches == 0) return 0;
      UINT lines = 3;
      SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      const int step = ViewStyle() == TViewStyle::vsIcon ? 32 : 16;
      Scroll(0, -notches * static_cast<int>(lines) * step);
      return 0;
    }
    default:
      return TListView::WndProc(msg, w, l);
  }
}
