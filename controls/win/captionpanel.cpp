#include "controls/win/captionpanel.h"

#include "forms/win/stdctrls.h"

TLkCustomCaptionPanel::TLkCustomCaptionPanel(TComponent* owner) : TCustomPanel(owner) {
  SetBevelOuter(TBevelCut::bvLowered);
  SetColor(clBtnFace);
}

void TLkCustomCaptionPanel::SetCaptionHeight(uint16_t h) {
  if (caption_height_ == h) return;
  caption_height_ = h;
  Realign();
  Invalidate();
}

void TLkCustomCaptionPanel::SetButtonVisible(bool on) {
  if (button_visible_ == on) return;
  button_visible_ = on;
  Repaint();
}

void TLkCustomCaptionPanel::SetButtonFlat(bool on) {
  if (button_flat_ == on) return;
  button_flat_ = on;
  Invalidate();
}

void TLkCustomCaptionPanel::AdjustClientRect(TRect& r) const {
  TCustomPanel::AdjustClientRect(r);
  r.top += caption_height_;
}

void TLkCustomCaptionPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    const bool lowered = cut == TBevelCut::bvLowered;
    Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, BevelWidth());
  };
  bevel(BevelOuter());
  Frame3D(c, r, Color(), Color(), BorderWidth());
  bevel(BevelInner());
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
  c->FillRect(r);

  TRect bar(r.left, r.top, r.right, r.top + caption_height_);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(bar);
  Frame3D(c, bar, clBtnHighlight, clBtnShadow, 1);  // leaves `bar` as the text area

  if (button_visible_) {
    const int h = bar.Height();
    button_rect_ = TRect(bar.right - h, bar.top + 2, bar.right - 4, bar.bottom - 2);
    DrawButton(c, button_flat_ ? 0 : 1);
    bar.right = button_rect_.left - 2;
  } else {
    button_rect_ = TRect(-1, -1, -1, -1);
    bar.right -= 2;
  }

  c->Font()->Assign(*Font());
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  const int th = c->TextHeight("W");
  bar.top = (bar.bottom + bar.top - th) / 2;
  bar.bottom = bar.top + th;
  // No DT_NOPREFIX: "&" marks the next character (underlined), "&&" shows one "&".
  UINT flags = DT_SINGLELINE | DT_EXPANDTABS;
  switch (Alignment()) {
    case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
  }
  c->DrawText(Caption(), bar, flags);
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
}

void TLkCustomCaptionPanel::ShowButton(int state) {
  // Between paints the new look goes straight onto the window; a paint
  // draws the button itself, into its own picture.
  if (button_rect_.left < 0 || !HandleAllocated()) return;
  HDC dc = GetDC(hwnd_);
  {
    TCanvas canvas;
    TCanvasOnDC on(canvas, dc);
    DrawButton(&canvas, state);
  }
  ReleaseDC(hwnd_, dc);
}

void TLkCustomCaptionPanel::DrawButton(TCanvas* canvas, int state) {
  if (button_rect_.left < 0) return;
  const int w = button_rect_.Width(), h = button_rect_.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap bmp;
  bmp.SetSize(w, h);
  TCanvas* b = bmp.Canvas();
  b->Brush()->SetColor(clBtnFace);
  b->FillRect(TRect(0, 0, w, h));
  RECT glyph{1, 1, w - 1, h - 1};
  DrawFrameControl(b->Handle(), &glyph, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
  TRect ring(1, 1, w - 1, h - 1);
  Frame3D(b, ring, clBtnFace, clBtnFace, 1);
  TRect all(0, 0, w, h);
  if (state == 1) Frame3D(b, all, clBtnHighlight, clBtnShadow, 1);
  if (state == 2) Frame3D(b, all, clBtnShadow, clBtnHighlight, 1);
  BitBlt(canvas->Handle(), button_rect_.left, button_rect_.top, w, h, b->Handle(), 0, 0, SRCCOPY);
}

bool TLkCustomCaptionPanel::OnButton(int x, int y) const {
  const TRect& r = button_rect_;
  return x > r.left && x < r.right - 1 && y > r.top && y < r.bottom - 1;
}

void TLkCustomCaptionPanel::BtnClick() {
  if (OnBtnClick) OnBtnClick(this);
}

void TLkCustomCaptionPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPanel::MouseDown(button, shift, x, y);
  if (OnButton(x, y)) {
    SetMouseCapture(true);
    pressed_ = true;
    ShowButton(2);
  }
}

void TLkCustomCaptionPanel::MouseMove(TShiftState shift, int x, int y) {
  if (!pressed_ && button_flat_ && inside_) ShowButton(OnButton(x, y) ? 1 : 0);
  TCustomPanel::MouseMove(shift, x, y);
}

void TLkCustomCaptionPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (pressed_) {
    ShowButton(button_flat_ ? (inside_ && OnButton(x, y) ? 1 : 0) : 1);
    // Let go before the click: a close button's handler may well free the panel.
    pressed_ = false;
    SetMouseCapture(false);
    if (OnButton(x, y)) {
      BtnClick();
      if (!Alive(this)) return;
    }
  }
  TCustomPanel::MouseUp(button, shift, x, y);
}

void TLkCustomCaptionPanel::MouseEnter() {
  inside_ = true;
  TCustomPanel::MouseEnter();
}

void TLkCustomCaptionPanel::MouseLeave() {
  inside_ = false;
  if (!pressed_ && button_flat_) ShowButton(0);
  TCustomPanel::MouseLeave();
}
