#include "forms/win/stdctrls.h"

#include <algorithm>

#include "forms/win/application.h"

// ======================================================================
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetControlStyle(ControlStyle() | csReplicatable);
  TControl::SetAutoSize(true);
}

UINT TCustomLabel::TextFlags() const {
  UINT f = DT_EXPANDTABS;
  if (alignment_ == TAlignment::taRightJustify) f |= DT_RIGHT;
  if (alignment_ == TAlignment::taCenter) f |= DT_CENTER;
  if (word_wrap_) f |= DT_WORDBREAK;
  if (!show_accel_char_) f |= DT_NOPREFIX;
  return f;
}

void TCustomLabel::DoDrawText(TRect& r, UINT flags) {
  std::string text = Caption();
  TCanvas* c = Canvas();
  if ((flags & DT_CALCRECT) && (text.empty() || (show_accel_char_ && text == "&"))) text += ' ';
  c->Font()->Assign(*Font());
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  if (flags & DT_CALCRECT) {
    c->DrawText(text, r, flags);
    return;
  }
  if (!Enabled()) {
    TRect shifted = r;
    shifted.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->DrawText(text, shifted, flags);
    c->Font()->SetColor(clBtnShadow);
    c->DrawText(text, r, flags);
    return;
  }
  c->DrawText(text, r, flags);
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!transparent_) {
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  UINT flags = TextFlags();
  if (layout_ != TTextLayout::tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int space = r.Height() - calc.Height();
    r.top += layout_ == TTextLayout::tlCenter ? space / 2 : space;
  }
  DoDrawText(r, flags);
}

namespace {

// What a caption measures on the screen depends on these alone (a colour
// change, say, measures the same); the last few are remembered, so labels
// that are set up step by step measure each distinct look once.
struct TLabelMeasure {
  std::string text, face;
  int height = 0, wrapWidth = 0;
  TFontStyles style = 0;
  BYTE charset = 0;
  UINT flags = 0;
  TRect extent;
  bool Same(const TLabelMeasure& o) const {
    return text == o.text && face == o.face && height == o.height && wrapWidth == o.wrapWidth && style == o.style &&
           charset == o.charset && flags == o.flags;
  }
};

std::vector<TLabelMeasure>& LabelMeasures() {
  static auto* measures = new std::vector<TLabelMeasure>;  // never destroyed: labels may go during exit
  return *measures;
}

}  // namespace

void TCustomLabel::AdjustSize() {
  if (!AutoSize() || Loading()) return;
  TRect r(0, 0, word_wrap_ ? Width() : 0, 0);
  const UINT flags = TextFlags() | DT_CALCRECT;
  TLabelMeasure key;
  key.text = Caption();
  key.face = Font()->Name();
  key.height = Font()->Height();
  key.style = Font()->Style();
  key.charset = Font()->Charset();
  key.wrapWidth = r.right;
  key.flags = flags;
  std::vector<TLabelMeasure>& known = LabelMeasures();
  auto hit = std::find_if(known.begin(), known.end(), [&](const TLabelMeasure& m) { return m.Same(key); });
  if (remember_measures_ && hit != known.end()) {
    r = hit->extent;
  } else {
    HDC dc = GetDC(nullptr);
    Canvas()->SetHandle(dc);
    DoDrawText(r, flags);
    Canvas()->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    if (remember_measures_) {
      constexpr size_t kRemembered = 8;
      if (known.size() == kRemembered) known.erase(known.begin());
      key.extent = r;
      known.push_back(std::move(key));
    }
  }
  int left = Left();
  if (alignment_ == TAlignment::taRightJustify) left += Width() - r.right;
  else if (alignment_ == TAlignment::taCenter) left += (Width() - r.right) / 2;
  SetBounds(word_wrap_ ? Left() : left, Top(), r.right, r.bottom);
}

void TCustomLabel::SetAutoSize(bool on) {
  if (on == AutoSize()) return;
  TControl::SetAutoSize(on);
  Invalidate();
}

void TCustomLabel::TextChanged() {
  Invalidate();
  AdjustSize();
}

void TCustomLabel::FontChanged() {
  Invalidate();
  AdjustSize();
}

void TCustomLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool on) {
  if (on == word_wrap_) return;
  word_wrap_ = on;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool on) {
  if (on == show_accel_char_) return;
  show_accel_char_ = on;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  SetControlStyle(on ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}
void TCustomLabel::SetFocusControl(TWinControl* c) {
  if (focus_control_) RemoveFreeNotification(focus_control_);
  focus_control_ = c;
  if (c) FreeNotification(c);
}
void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focus_control_) focus_control_ = nullptr;
}

// ======================================================================
// TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  // The native button reports its clicks (BN_CLICKED).
  SetControlStyle(ControlStyle() & ~csClickEvents);
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.window_class = "BUTTON";
  p.style |= (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
  p.style &= ~WS_CLIPCHILDREN;
}

void TButton::SetDefault(bool on) {
  if (on == default_) return;
  default_ = on;
  if (HandleAllocated()) SendMessageA(hwnd_, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (TCustomForm* f = GetParentForm(this); f && modal_result_ != mrNone) f->SetModalResult(modal_result_);
  TWinControl::Click();
}

LRESULT TButton::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == CN_COMMAND) {
    if (HIWORD(w) == BN_CLICKED) Click();
    return 0;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ======================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.window_class = "EDIT";
  p.style |= WS_TABSTOP | ES_AUTOHSCROLL;
  p.style &= ~WS_CLIPCHILDREN;
  if (password_char_ && !multi_line_) p.style |= ES_PASSWORD;
  if (read_only_) p.style |= ES_READONLY;
  if (char_case_ == TEditCharCase::ecUpperCase) p.style |= ES_UPPERCASE;
  if (char_case_ == TEditCharCase::ecLowerCase) p.style |= ES_LOWERCASE;
  if (border_style_ == TEditBorderStyle::bsSingle) p.ex_style |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (password_char_ && !multi_line_) SendMessageA(hwnd_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(password_char_), 0);
  SendMessageA(hwnd_, EM_LIMITTEXT, max_length_, 0);
  SendMessageA(hwnd_, EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::SetPasswordChar(char c) {
  if (c == password_char_) return;
  password_char_ = c;
  if (HandleAllocated()) {
    SendMessageA(hwnd_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

void TCustomEdit::SetMaxLength(int n) {
  if (n < 0) n = 0;
  max_length_ = n;
  if (HandleAllocated()) SendMessageA(hwnd_, EM_LIMITTEXT, n, 0);
}

void TCustomEdit::SetReadOnly(bool on) {
  read_only_ = on;
  if (HandleAllocated()) SendMessageA(hwnd_, EM_SETREADONLY, on, 0);
}

void TCustomEdit::SetBorderStyle(TEditBorderStyle s) {
  if (s == border_style_) return;
  border_style_ = s;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
  if (c == char_case_) return;
  char_case_ = c;
  RecreateWnd();
}

int TCustomEdit::SelStart() const {
  if (!hwnd_) return static_cast<int>(Caption().size());
  DWORD start = 0, end = 0;
  SendMessageA(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int pos) {
  if (hwnd_) SendMessageA(hwnd_, EM_SETSEL, pos, pos);
}

int TCustomEdit::SelLength() const {
  if (!hwnd_) return 0;
  DWORD start = 0, end = 0;
  SendMessageA(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int n) {
  if (!hwnd_) return;
  int s = SelStart();
  SendMessageA(hwnd_, EM_SETSEL, s, s + n);
}

std::string TCustomEdit::SelText() const {
  const int s = SelStart(), n = SelLength();
  const std::string& t = Caption();
  if (s >= static_cast<int>(t.size())) return "";
  return t.substr(static_cast<size_t>(s), static_cast<size_t>(n));
}

void TCustomEdit::SetSelText(const std::string& text) {
  if (!hwnd_) {
    SetText(Caption() + text);
    return;
  }
  SendMessageA(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll() {
  if (hwnd_) SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

void TCustomEdit::TextChanged() {
  if (!HandleAllocated()) {
    Change();
    return;
  }
  // A single-line edit answers WM_SETTEXT with EN_CHANGE; a multi-line one
  // does not (or not everywhere), so the change is told here, once.
  if (!multi_line_) {
    TWinControl::TextChanged();
    return;
  }
  setting_text_ = true;
  try {
    TWinControl::TextChanged();
  } catch (...) {
    setting_text_ = false;
    throw;
  }
  setting_text_ = false;
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

LRESULT TCustomEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == CN_COMMAND) {
    if (HIWORD(w) == EN_CHANGE) {
      int n = GetWindowTextLengthA(hwnd_);
      std::string text(static_cast<size_t>(n) + 1, '\0');
      GetWindowTextA(hwnd_, text.data(), n + 1);
      text.resize(static_cast<size_t>(std::max(n, 0)));
      StoreCaption(text);
      modified_ = SendMessageA(hwnd_, EM_GETMODIFY, 0, 0) != 0;
      if (!setting_text_) Change();
    }
    return 0;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ======================================================================
// TMemo

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
  multi_line_ = true;
  SetBounds(0, 0, 185, 89);
}

void TMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (want_returns_) p.style |= ES_WANTRETURN;
  if (word_wrap_ && scroll_bars_ != TScrollStyle::ssHorizontal && scroll_bars_ != TScrollStyle::ssBoth)
    p.style &= ~ES_AUTOHSCROLL;
  if (scroll_bars_ == TScrollStyle::ssVertical || scroll_bars_ == TScrollStyle::ssBoth) p.style |= WS_VSCROLL;
  if (scroll_bars_ == TScrollStyle::ssHorizontal || scroll_bars_ == TScrollStyle::ssBoth) p.style |= WS_HSCROLL;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  const std::string& t = Caption();
  size_t start = 0;
  while (start < t.size()) {
    size_t e = t.find('\n', start);
    if (e == std::string::npos) e = t.size();
    size_t end = e;
    if (end > start && t[end - 1] == '\r') --end;
    lines.push_back(t.substr(start, end - start));
    start = e + 1;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string t;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) t += "\r\n";
    t += lines[i];
  }
  SetText(t);
}

void TMemo::SetWordWrap(bool on) {
  if (on == word_wrap_) return;
  word_wrap_ = on;
  RecreateWnd();
}

void TMemo::SetScrollBars(TScrollStyle s) {
  if (s == scroll_bars_) return;
  scroll_bars_ = s;
  RecreateWnd();
}

LRESULT TMemo::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_GETDLGCODE) {
    LRESULT code = TCustomEdit::WndProc(msg, w, l);
    if (!want_returns_) code &= ~DLGC_WANTALLKEYS;
    return code;
  }
  return TCustomEdit::WndProc(msg, w, l);
}

// ======================================================================
// TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetControlStyle(ControlStyle() & ~csClickEvents);
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.window_class = "BUTTON";
  p.style |= (allow_grayed_ ? BS_3STATE : BS_CHECKBOX) | WS_TABSTOP;
  p.style &= ~WS_CLIPCHILDREN;
  if (alignment_ == TAlignment::taLeftJustify) p.style |= BS_LEFTTEXT;
  if (word_wrap_) p.style |= BS_MULTILINE;
}

void TCheckBox::SetWordWrap(bool on) {
  if (on == word_wrap_) return;
  word_wrap_ = on;
  RecreateWnd();
}

void TCheckBox::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(hwnd_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  if (HandleAllocated()) SendMessageA(hwnd_, BM_SETCHECK, static_cast<WPARAM>(s), 0);
  Click();
}

void TCheckBox::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

LRESULT TCheckBox::CtlColor(HDC dc) { return TWinControl::CtlColor(dc); }

// The system draws a disabled check box's caption into a picture measured a
// few pixels short of the text in some fonts (Wine: the last letter of "Use
// Selected Icon" is lost). The caption is drawn again, whole, in the
// disabled look, over the one the system drew: after every paint of the box.
void TCheckBox::RedrawDisabledCaption() {
  if (!hwnd_ || IsWindowEnabled(hwnd_) || word_wrap_ || alignment_ != TAlignment::taRightJustify ||
      Caption().empty() || !IsWindowVisible(hwnd_))
    return;
  HDC dc = GetDC(hwnd_);
  if (!dc) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  // Where the system puts the text: right of a box 13 pixels wide (at 96
  // dots per inch) and half a digit's width further.
  INT digit = 0;
  GetCharWidth32A(dc, '0', '0', &digit);
  RECT text;
  GetClientRect(hwnd_, &text);
  text.left += 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1 + digit / 2;
  FillRect(dc, &text, reinterpret_cast<HBRUSH>(CtlColor(dc)));
  SetBkMode(dc, TRANSPARENT);
  const UINT flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  RECT raised = text;
  OffsetRect(&raised, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
  DrawTextA(dc, Caption().c_str(), -1, &raised, flags);
  SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
  DrawTextA(dc, Caption().c_str(), -1, &text, flags);
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
}

LRESULT TCheckBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: case BM_SETCHECK: case BM_SETSTATE: case WM_SETTEXT: case WM_SETFONT: case WM_ENABLE:
    case WM_UPDATEUISTATE: case WM_SETFOCUS: case WM_KILLFOCUS: {
      // The system paints these at once, each time with the caption cut.
      const LRESULT r = TWinControl::WndProc(msg, w, l);
      if (msg != WM_PAINT || w == 0) RedrawDisabledCaption();
      return r;
    }
    default:
      break;
  }
  if (msg == CN_COMMAND) {
    // Our own toggling: unchecked -> checked (-> grayed) -> unchecked.
    if (HIWORD(w) == BN_CLICKED) {
      TCheckBoxState next = state_ == TCheckBoxState::cbUnchecked ? TCheckBoxState::cbChecked
                            : state_ == TCheckBoxState::cbChecked && allow_grayed_ ? TCheckBoxState::cbGrayed
                                                                                 : TCheckBoxState::cbUnchecked;
      SetState(next);
    }
    return 0;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ======================================================================
// TCustomGroupBox

namespace {
// The height of the font's text: where the frame's top edge runs.
int CaptionHeight(const TFont& font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}
}  // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 105);
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

void TCustomGroupBox::AdjustClientRect(TRect& r) const {
  r.top += CaptionHeight(*Font());
  r = TRect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(*Font());
  const int h = CaptionHeight(*Font());
  // The etched frame, its top edge through the middle of the caption.
  RECT frame{0, h / 2 - 1, Width(), Height()};
  DrawEdge(c->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  if (Caption().empty()) return;
  TRect text(8, 0, 0, h);
  c->DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
  c->Brush()->SetColor(Color());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  c->DrawText(Caption(), text, DT_SINGLELINE);
}
