#include "controls/win/framedcombo.h"

#include <algorithm>

#include "base/locale.h"
#include "forms/win/application.h"

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
  edit_search_.Set(text);
  const int found = text.empty() ? -1 : FindEntry(text);
  if (found < 0) return false;
  SetItemIndex(found);
  Select();
  if (OnKeyPress && key) OnKeyPress(this, key);
  const int end = static_cast<int>(Items()[found].size());
  SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(text.size(), end));
  if (OnMatch) OnMatch(this);
  return true;
}

void TLkCustomComboBox::CompleteQuietly() {
  const std::string& text = edit_search_.Text();
  const int found = text.empty() ? -1 : FindEntry(text);
  if (found < 0) return;
  SetItemIndex(found);
  SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(text.size(), Items()[found].size()));
}

void TLkCustomComboBox::EditSelection(int& start, int& end) {
  DWORD s = 0, e = 0;
  SendMessageA(hwnd_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

bool TLkCustomComboBox::DoKeyDown(WORD& key, TShiftState shift) {
  if (!TCustomComboBox::DoKeyDown(key, shift)) return false;
  if (Style() == TComboBoxStyle::csDropDownList || !HandleAllocated()) return true;
  switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
      edit_search_.Clear();
      break;
    case VK_END: case VK_HOME: case VK_LEFT: case VK_RIGHT:
      edit_search_.Set(Text());
      break;
    case VK_INSERT:
      if (!allow_edit_) {
        key = 0;
        return false;
      }
      if (shift & ssShift) {  // paste by key, without a character to pass on
        clip_by_key_ = true;
        clip_key_ = 0;
      }
      break;
    case VK_DELETE: {
      int start = 0, end = 0;
      EditSelection(start, end);
      if (shift & ssShift) {  // Shift+Delete cuts: the cut's rule applies
        if (!allow_edit_) {
          key = 0;
          return false;
        }
        clip_by_key_ = true;
        clip_key_ = 0;
        break;
      }
      if (!edit_search_.Delete(Text(), start, end, allow_edit_)) {
        key = 0;
        return false;
      }
      break;
    }
    default:
      break;
  }
  return true;
}

bool TLkCustomComboBox::DoKeyPress(char& key) {
  // The drop-down list's own type-ahead (WM_CHAR) decides which keys reach
  // OnKeyPress: only those that found an entry.
  if (Style() == TComboBoxStyle::csDropDownList) return true;
  if (!HandleAllocated()) return TCustomComboBox::DoKeyPress(key);
  const auto ch = static_cast<unsigned char>(key);
  int start = 0, end = 0;
  EditSelection(start, end);
  if (ch == 27) {
    SetItemIndex(-1);
    edit_search_.Clear();
    Select();
    if (OnKeyPress) OnKeyPress(this, key);
    return false;
  }
  if (ch == 8) {
    const TLkEditBackspace r = edit_search_.Backspace(start, end, allow_edit_);
    if (r.Beep) {
      InvalidKeyBeep();
      return true;
    }
    Change();
    if (r.Emptied) {
      SetItemIndex(-1);
      edit_search_.Clear();
      Select();
      if (OnKeyPress) OnKeyPress(this, key);
      return true;
    }
    return !Complete(r.Result, key);
  }
  if (ch == 0x16 || ch == 0x18) {  // Ctrl+V, Ctrl+X
    if (!allow_edit_) return false;
    clip_by_key_ = true;
    clip_key_ = key;
    if (TCustomComboBox::DoKeyPress(key)) return true;
    clip_by_key_ = false;
    return false;
  }
  if (ch < 32) return TCustomComboBox::DoKeyPress(key);
  if (!TCustomComboBox::DoKeyPress(key)) return false;  // OnKeyPress dropped it
  if (Style() == TComboBoxStyle::csDropDown && MaxLength() > 0 && GetWindowTextLengthA(hwnd_) >= MaxLength() &&
      end == start) {
    InvalidKeyBeep();
    return false;
  }
  const TLkEditTyped typed = edit_search_.Type(key, start, end);
  if (Complete(typed.Candidate, key)) return false;
  if (!allow_edit_) {
    InvalidKeyBeep();
    edit_search_.Set(typed.Remembered);
    return false;
  }
  // The typed text without the completion; the platform inserts the key.
  const int caret = std::min<int>(start, static_cast<int>(typed.Remembered.size()));
  setting_text_ = true;
  SetWindowTextA(hwnd_, typed.Remembered.c_str());
  setting_text_ = false;
  SendMessageA(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
  edit_search_.Set(typed.Candidate);
  return true;
}

void TLkCustomComboBox::AfterClipboardEdit() {
  edit_search_.Set(Text());
  if (clip_by_key_) {
    // By key: completed like typing, with its events.
    char key = clip_key_;
    clip_by_key_ = false;
    clip_key_ = 0;
    const std::string text = edit_search_.Text();
    Complete(text, key);
  } else if (Style() == TComboBoxStyle::csDropDown) {
    CompleteQuietly();
  }
}

LRESULT CALLBACK TLkCustomComboBox::EditHook(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TLkCustomComboBox*>(GetPropA(hwnd, "Lk.ComboEdit"));
  if (!self) return DefWindowProcA(hwnd, msg, w, l);
  return GuardCallback(self, [&] { return self->EditMessage(hwnd, msg, w, l); });
}

LRESULT TLkCustomComboBox::EditMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  const WNDPROC native = edit_proc_;
  switch (msg) {
    case WM_LBUTTONDOWN:
      edit_search_.Set(Text());
      break;
    case WM_CUT:
    case WM_PASTE: {
      if (!allow_edit_) {
        clip_by_key_ = false;
        return 0;
      }
      const LRESULT r = CallWindowProcA(native, hwnd, msg, w, l);
      AfterClipboardEdit();
      return r;
    }
    case WM_KEYDOWN:
    case WM_CHAR: {
      // The edit may cut or paste for a key without a WM_CUT or WM_PASTE
      // of its own (Shift+Insert, Shift+Delete).
      const LRESULT r = CallWindowProcA(native, hwnd, msg, w, l);
      if (clip_by_key_) AfterClipboardEdit();
      return r;
    }
    case WM_SETFOCUS: {  // the editable styles' focus is the edit part's
      const LRESULT r = CallWindowProcA(native, hwnd, msg, w, l);
      UpdateFrame(false, true);
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = CallWindowProcA(native, hwnd, msg, w, l);
      FocusLost();
      return r;
    }
    case WM_NCDESTROY:
      UnhookEdit();
      break;
    default:
      break;
  }
  return CallWindowProcA(native, hwnd, msg, w, l);
}

void TLkCustomComboBox::HookEdit() {
  edit_ = EditHandle();
  if (!edit_) return;
  SetPropA(edit_, "Lk.ComboEdit", this);
  edit_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TLkCustomComboBox::EditHook)));
}

void TLkCustomComboBox::UnhookEdit() {
  if (!edit_) return;
  SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(edit_proc_));
  RemovePropA(edit_, "Lk.ComboEdit");
  edit_ = nullptr;
}

TLkCustomComboBox::~TLkCustomComboBox() { UnhookEdit(); }

void TLkCustomComboBox::SetDropDownWidth(int w) {
  drop_down_width_ = w;
  if (HandleAllocated()) SendMessageA(hwnd_, CB_SETDROPPEDWIDTH, w, 0);
}

void TLkCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  HookEdit();
  if (drop_down_width_ != 0) SendMessageA(hwnd_, CB_SETDROPPEDWIDTH, drop_down_width_, 0);
}

void TLkCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) drop_down_width_ = static_cast<int>(SendMessageA(hwnd_, CB_GETDROPPEDWIDTH, 0, 0));
  UnhookEdit();
  TCustomComboBox::DestroyWnd();
}

void TLkCustomComboBox::SetFlatButtons(bool on) {
  if (flat_buttons_ == on) return;
  flat_buttons_ = on;
  Invalidate();
}

void TLkCustomComboBox::FrameVisibleChanged() {
  ctl3d_ = !FrameVisible();
  parent_ctl3d_ = !FrameVisible();
  Invalidate();
}

void TLkCustomComboBox::SetCtl3D(bool on) {
  parent_ctl3d_ = false;
  if (ctl3d_ == on) return;
  ctl3d_ = on;
  Invalidate();
}

void TLkCustomComboBox::SetParentCtl3D(bool on) {
  if (parent_ctl3d_ == on) return;
  parent_ctl3d_ = on;
  if (on && !ctl3d_) {
    ctl3d_ = true;
    Invalidate();
  }
}

void TLkCustomComboBox::UpdateFrame(bool viaMouse, bool value) {
  if (DroppedDown()) return;
  if (viaMouse)
    SetHover(value);
  else
    focused_ = value;
  if (FollowActivity(focused_ || Hover())) {
    Invalidate();
  } else if (flat_buttons_ && HandleAllocated()) {
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    RECT r{Width() - sb - 2, 0, Width(), Height()};
    InvalidateRect(hwnd_, &r, FALSE);
  }
}

void TLkCustomComboBox::PaintFrame() {
  if ((!FrameVisible() && ctl3d_) || !HandleAllocated()) return;
  HDC dc = GetDC(hwnd_);
  TCanvas c;
  c.SetHandle(dc);
  RECT cr;
  GetClientRect(hwnd_, &cr);
  const TRect client(cr);
  // Over the platform's 3-D edge; without a frame that is all (Ctl3D off).
  PaintBevelRings(&c, client, Color(), Color(), 2, kAllSides);
  if (FrameVisible() && flat_buttons_ && !focused_ && !Hover()) {
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
  if (FrameVisible()) PaintFrameLines(&c, client);
  c.SetHandle(nullptr);
  ReleaseDC(hwnd_, dc);
}

void TLkCustomComboBox::FocusLost() {
  // The focus may only move between the box and its edit part.
  HWND now = GetFocus();
  if (now && (now == hwnd_ || now == edit_)) return;
  search_.Clear();
  edit_search_.Clear();
  SetHover(false);
  UpdateFrame(false, false);
  if (Style() == TComboBoxStyle::csDropDown) {
    const std::string text = Text();
    if (!text.empty() && !SelectText(text) && OnNotInList) OnNotInList(this);
  }
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
      if (Style() != TComboBoxStyle::csDropDownList) break;
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
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      FocusLost();
      return r;
    }
    case WM_SETTEXT: {
      // A text set from outside: its start finds and completes an entry.
      const LRESULT r = TCustomComboBox::WndProc(msg, w, l);
      if (!setting_text_ && Style() == TComboBoxStyle::csDropDown) {
        edit_search_.Set(Text());
        CompleteQuietly();
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
      if (FrameVisible()) Invalidate();
      return r;
    }
    default:
      break;
  }
  return TCustomComboBox::WndProc(msg, w, l);
}
