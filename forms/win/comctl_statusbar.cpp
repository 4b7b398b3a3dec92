#include "forms/win/comctl_statusbar.h"

#include <commctrl.h>

#include "base/win/comctl_load.h"

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 200, 19);
  SetAlign(TAlign::alBottom);
  SetOwnPaint(false);
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  LoadCommonControls();
  p.window_class = STATUSCLASSNAMEA;
  // The layer places us; the bar must not move itself to the parent's bottom.
  p.style |= WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (size_grip_) p.style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendParts();
}

void TStatusBar::SendParts() {
  if (!HandleAllocated()) return;
  SendMessageA(hwnd_, SB_SIMPLE, simple_panel_, 0);
  if (simple_panel_) {
    SendMessageA(hwnd_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple_text_.c_str()));
    return;
  }
  std::vector<int> edges;
  int x = 0;
  for (const TStatusPanel& p : panels_) {
    x += p.Width;
    edges.push_back(p.Width < 0 ? -1 : x);
  }
  // The last panel runs to the right edge whatever its width.
  if (edges.empty())
    edges.push_back(-1);
  else
    edges.back() = -1;
  SendMessageA(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < PanelCount(); ++i)
    SendMessageA(hwnd_, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(panels_[i].Text.c_str()));
}

void TStatusBar::AddPanel(int width, const std::string& text) {
  panels_.push_back({text, width});
  SendParts();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
  panels_.at(index).Text = text;
  if (HandleAllocated() && !simple_panel_)
    SendMessageA(hwnd_, SB_SETTEXTA, index, reinterpret_cast<LPARAM>(panels_[index].Text.c_str()));
}

void TStatusBar::SetSimplePanel(bool on) {
  simple_panel_ = on;
  SendParts();
}

void TStatusBar::SetSimpleText(const std::string& text) {
  simple_text_ = text;
  if (HandleAllocated() && simple_panel_)
    SendMessageA(hwnd_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple_text_.c_str()));
}

LRESULT TStatusBar::WndProc(UINT msg, WPARAM w, LPARAM l) {
  // The native bar measures itself on WM_SIZE; keep the size we were given.
  if (msg == WM_SIZE) return 0;
  return TWinControl::WndProc(msg, w, l);
}
