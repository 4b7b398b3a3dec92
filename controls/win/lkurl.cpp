#include "controls/win/lkurl.h"

#include "forms/win/application.h"

void RegisterUrlCursors() {
  EnsureFormsGlobals();
  HINSTANCE inst = GetModuleHandleA(nullptr);
  static const char* const kNames[] = {"LK_HANDPOINT", "LK_SMALLHANDPOINT", "LK_GRABHAND", "LK_GRABHANDARROW",
                                       "LK_DRAGHAND"};
  // Loaded when first shown: most runs never point at a link.
  for (int i = 0; i < 5; ++i)
    Screen->SetCursorLoader(crLkHandPoint + i, [inst, name = kNames[i]] { return LoadCursorA(inst, name); });
}

// Once, at start-up, for every program that has the link label: nothing else
// registers them.
namespace {
struct UrlCursorStartup {
  UrlCursorStartup() { RegisterUrlCursors(); }
} g_url_cursor_startup;
}  // namespace

void OpenWithShell(const std::string& text) {
  if (text.empty()) return;
  HWND owner = Application ? Application->Handle() : nullptr;
  LkShellExecute(owner, "open", text, "", "", SW_SHOW);
}

TLkUrlLabel::TLkUrlLabel(TComponent* owner) : TLkLabel(owner) {
  SetCursor(crLkHandPoint);
  Font()->SetColor(0xFF0000);
  Font()->SetStyle(Font()->Style() | fsUnderline);
}

void TLkUrlLabel::SetUnderline(bool on) {
  Font()->SetStyle(on ? (Font()->Style() | fsUnderline) : (Font()->Style() & ~fsUnderline));
}

void TLkUrlLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TLkLabel::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft) return;
  pressed_ = true;
  Font()->SetColor(activated_);
}

void TLkUrlLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TLkLabel::MouseUp(button, shift, x, y);
  if (button != TMouseButton::mbLeft) return;
  if (x < 0 || y < 0 || x > Width() || y > Height()) {
    Font()->SetColor(visited_ ? visited_color_ : unvisited_);
  } else if (pressed_) {
    visited_ = true;
    Font()->SetColor(can_hover_ ? hovered_ : visited_color_);
    pressed_ = false;
    OpenWithShell(url_.empty() ? Caption() : url_);
    return;
  }
  pressed_ = false;
}

void TLkUrlLabel::MouseEnter() {
  TLkLabel::MouseEnter();
  if (can_hover_) SetUnderline(true);
  if (pressed_)
    Font()->SetColor(activated_);
  else if (can_hover_)
    Font()->SetColor(hovered_);
}

void TLkUrlLabel::MouseLeave() {
  TLkLabel::MouseLeave();
  if (can_hover_) SetUnderline(false);
  Font()->SetColor(visited_ ? visited_color_ : unvisited_);
}

void TLkUrlLabel::FontChanged() {
  TLkLabel::FontChanged();
  if (!can_hover_ && !pressed_) {
    if (visited_)
      visited_color_ = Font()->Color();
    else
      unvisited_ = Font()->Color();
  }
}

// Both colour writers store the value in every case, so a colour written
// while hovering is not lost; the shown colour follows the state.
void TLkUrlLabel::SetUnvisitedColor(TColor c) {
  if (c == unvisited_) return;
  unvisited_ = c;
  if (!visited_) Font()->SetColor(c);
}

void TLkUrlLabel::SetVisitedColor(TColor c) {
  if (c == visited_color_) return;
  visited_color_ = c;
  if (visited_) Font()->SetColor(c);
}

void TLkUrlLabel::SetHoveredColor(TColor c) { hovered_ = c; }

void TLkUrlLabel::SetCanHover(bool on) {
  can_hover_ = on;
  SetUnderline(!on);
}
