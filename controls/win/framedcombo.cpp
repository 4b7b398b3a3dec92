#include "controls/win/framedcombo.h"

#include "forms/base/locale.h"

TLkCustomComboBox::TLkCustomComboBox(TComponent* owner) : TCustomComboBox(owner) {
  // The component name never becomes the text.
  SetControlStyle(ControlStyle() & ~csSetCaption);
  reset_timer_ = new TTimer(this);
  reset_timer_->SetEnabled(false);
  reset_timer_->SetInterval(1500);
  reset_timer_->SetOnTimer(TNotifyEvent(this, &TLkCustomComboBox::ResetTimerFired));
}

bool TLkCustomComboBox::SelectText(const std::string& text) {
  for (int i = 0; i < ItemCount(); ++i)
    if (AnsiSameText(Items()[i], text)) {
      SetItemIndex(i);
      return true;
    }
  return false;
}

int TLkCustomComboBox::FindEntry(const std::string& text) const { return FindEntryPrefix(Items(), text); }

void TLkCustomComboBox::InvalidKeyBeep() {
  if (beep_on_invalid_key_) MessageBeep(0);
}

void TLkCustomComboBox::ResetTimerFired(TObject*) {
  if (typing_) return;
  reset_timer_->SetEnabled(false);
  search_.Clear();
}

void TLkCustomComboBox::ApplyStep(const TLkSearchStep& step, char& key) {
  if (step.Beep) InvalidKeyBeep();
  if (step.Select != -2) SetItemIndex(step.Select);
  if (step.FireEvents) Select();
  if (step.PassKey && OnKeyPress) OnKeyPress(this, key);
}

bool TLkCustomComboBox::Complete(const std::string& text, char& key) {
  const int found = FindEntry(text);
  if (found < 0 || text.empty()) return false;
  SetItemIndex(found);
  Select();
  if (OnKeyPress) OnKeyPress(this, key);
  const int end = static_cast<int>(Items()[found].size());
  SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(text.size(), end));
  if (OnMatch) OnMatch(this);
  return true;
}

bool TLkCustomComboBox::DoKeyPress(char& key) {
  if (Style() == TComboBoxStyle::csDropDownList || !HandleAllocated()) return TCustomComboBox::DoKeyPress(key);
  const auto ch = static_cast<unsigned char>(key);
  DWORD start = 0, end = 0;
  SendMessageA(hwnd_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::string text = Text();
  if (ch == 27) {
    SetItemIndex(-1);
    search_.Clear();
    Select();
    if (OnKeyPress) OnKeyPress(this, key);
    return false;
  }
  if (ch == 8) {
    if (text.empty()) {
      InvalidKeyBeep();
      return true;
    }
    std::string shorter = text;
    if (end > start && allow_edit_)
      shorter.erase(start, end - start);
    else if (start > 0 && (allow_edit_ || start >= text.size()))
      shorter.erase(start - 1, 1);
    Change();
    if (shorter.empty()) {
      SetItemIndex(-1);
      search_.Clear();
      Select();
      if (OnKeyPress) OnKeyPress(this, key);
      return true;
    }
    return !Complete(shorter, key);
  }
  if (ch < 32) return TCustomComboBox::DoKeyPress(key);
  if (!TCustomComboBox::DoKeyPress(key)) return false;  // OnKeyPress dropped it
  if (Style() == TComboBoxStyle::csDropDown && MaxLength() > 0 && static_cast<int>(text.size()) >= MaxLength() &&
      end == start) {
    InvalidKeyBeep();
    return false;
  }
  const std::string typed = text.substr(0, start) + key + text.substr(end);
  if (Complete(typed.substr(0, start + 1), key)) return false;
  if (allow_edit_) return true;  // the platform inserts the character
  InvalidKeyBeep();
  return false;
}

void TLkCustomComboBox::SetDropDownWidth(int w) {
  drop_down_width_ = w;
  if (HandleAllocated()) SendMessageA(hwnd_, CB_SETDROPPEDWIDTH, w, 0);
}

void TLkCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  if (drop_down_width_ != 0) SendMessageA(hwnd_, CB_SETDROPPEDWIDTH, drop_down_width_, 0);
}

void TLkCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) drop_down_width_ = static_cast<int>(SendMessageA(hwnd_, CB_GETDROPPEDWIDTH, 0, 0));
  TCustomComboBox::DestroyWnd();
}

void TLkCustomComboBox::SetFlatButtons(bool on) {
  flat_buttons_ = on;
  Invalidate();
}
void TLkCustomComboBox::SetFrameColor(TColor c) {
  frame_color_ = c;
  Invalidate();
}
void TLkCustomComboBox::SetFrameFlat(bool on) {
  frame_flat_ = on;
  if (on) {
    frame_visible_ = true;
    frame_sides_ = kAllSides;
    frame_style_ = frame_flat_style_;
  }
  Invalidate();
}
void TLkCustomComboBox::SetFrameFlatStyle(TFrameStyle s) {
  frame_flat_style_ = s;
  Invalidate();
}
void TLkCustomComboBox::SetFrameFocusStyle(TFrameStyle s) {
  frame_focus_style_ = s;
  Invalidate();
}
void TLkCustomComboBox::SetFrameSides(TSides s) {
  frame_sides_ = s;
  Invalidate();
}
void TLkCustomComboBox::SetFrameStyle(TFrameStyle s) {
  frame_style_ = s;
  Invalidate();
}
void TLkCustomComboBox::SetFrameVisible(bool on) {
  frame_visible_ = on;
  Invalidate();
}

void TLkCustomComboBox::UpdateFrame(bool viaMouse, bool value) {
  if (DroppedDown()) return;
  (viaMouse ? hover_ : focused_) = value;
  if (frame_flat_) {
    frame_style_ = (focused_ || hover_) ? frame_focus_style_ : frame_flat_style_;
    Invalidate();
  } else if (flat_buttons_ && HandleAllocated()) {
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    RECT r{Width() - sb - 2, 0, Width(), Height()};
    InvalidateRect(hwnd_, &r, FALSE);
  }
}

void TLkCustomComboBox::PaintFrame() {
  if (!frame_visible_ || !HandleAllocated()) return;
  HDC dc = GetDC(hwnd_);
  TCanvas c;
  c.SetHandle(dc);
  RECT cr;
  GetClientRect(hwnd_, &cr);
  const TRect client(cr);
  PaintBevelRings(&c, client, Color(), Color(), 2, kAllSides);
  if (flat_buttons_ && !focused_ && !hover_) {
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    const int w = client.Width(), h = client.Height();
    const TRect button(w - sb - 2, 2, w - 2, h - 2);
    c.Brush()->SetColor(Color());
    c.FillRect(button);
    const int x = button.left + sb / 2, y = 2 + h / 2;
    POINT pts[3] = {{x - 1, y}, {x - 6, y - 5}, {x + 4, y - 5}};
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clBlack);
    c.RequirePen();
    c.RequireBrush();
    Polygon(dc, pts, 3);
  }
  if (frame_style_ == TFrameStyle::fsFlat)
    PaintFrameSides(&c, client, frame_color_, frame_sides_, frame_color_);
  else
    PaintStyledBorder(&c, client, frame_style_, frame_sides_);
  c.SetHandle(nullptr);
  ReleaseDC(hwnd_, dc);
}

void TLkCustomComboBox::CloseUp() { TCustomComboBox::CloseUp(); }

void TLkCustomComboBox::MouseEnter() {
  UpdateFrame(true, true);
  TCustomComboBox::MouseEnter();
}

void TLkCustomComboBox::MouseLeave() {
  UpdateFrame(true, false);
  TCustomComboBox::MouseLeave();
}

LRESULT TLkCustomComboBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CHAR:
      if (Style() == TComboBoxStyle::csDropDownList) {
        // Our own type-ahead replaces the platform's first-letter selection.
        const auto key = static_cast<unsigned char>(w);
        if (key != 8 && key != 27 && key < 32) return 0;
        if (key >= 32) typing_ = true;
        const TLkSearchStep step = search_.TypeChar(key, Items(), beep_on_invalid_key_);
        char k = static_cast<char>(key);
        ApplyStep(step, k);
        if (step.RestartTimer) {
          reset_timer_->SetEnabled(false);
          reset_timer_->SetEnabled(true);
        }
        typing_ = false;
        return 0;
      }
      break;
    case WM_KEYDOWN:
      switch (w) {
        case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
          search_.Clear();
          break;
        default:
          break;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(w);
      if (DroppedDown()) {
        UINT lines = 3;
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        const int top = static_cast<int>(SendMessageA(hwnd_, CB_GETTOPINDEX, 0, 0));
        SendMessageA(hwnd_, CB_SETTOPINDEX, top + (delta < 0 ? 1 : -1) * static_cast<int>(lines), 0);
        return 0;
      }
      const int index = ItemIndex();
      if (delta < 0) {
        if (index + 1 < ItemCount()) {
          SetItemIndex(index + 1);
          Select();
        }
      } else if (index > 0) {
        SetItemIndex(index - 1);
        Select();
      } else if (ItemCount() > 0) {
        SetItemIndex(0);
      }
      return 0;
    }
    case WM_SETFOCUS: {
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      UpdateFrame(false, true);
      return r;
    }
    case WM_KILLFOCUS: {
      search_.Clear();
      hover_ = false;
      UpdateFrame(false, false);
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      if (Style() == TComboBoxStyle::csDropDown) {
        const std::string text = Text();
        if (!text.empty() && !SelectText(text) && OnNotInList) OnNotInList(this);
      }
      return r;
    }
    case WM_PAINT: {
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      PaintFrame();
      return r;
    }
    case WM_SIZE: {
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      if (frame_visible_) Invalidate();
      return r;
    }
    default:
      break;
  }
  return TCustomComboBox::WndProc(msg, w, l);
}
