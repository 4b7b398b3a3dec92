#include "controls/win/diredit.h"

#include <shellapi.h>

#include <memory>

#include "controls/win/browsefolder.h"
#include "controls/win/filecopy.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"

namespace {

bool NewShell() { return LOBYTE(LOWORD(GetVersion())) >= 4; }

// The window that holds the button: a plain child of the edit.
class TButtonHolder : public TCustomControl {
 public:
  explicit TButtonHolder(TComponent* owner) : TCustomControl(owner) { SetColor(clBtnFace); }

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.style |= WS_CLIPSIBLINGS;
  }
};

// "FEDITBMP", loaded once for the whole program.
TBitmap* FileDirGlyph() {
  static std::unique_ptr<TBitmap> glyph = [] {
    auto b = std::make_unique<TBitmap>();
    try {
      b->LoadFromResourceName(GetModuleHandleA(nullptr), "FEDITBMP");
    } catch (const EOSError&) {
      // A program without the picture shows a button without a glyph.
    }
    return b;
  }();
  return glyph.get();
}

int FontHeight(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  return tm.tmHeight;
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

// ======================================================================
// TEditButton

TEditButton::TEditButton(TCustomComboEdit* edit) : TLkSpeedButton(edit), edit_(edit) { SetParentShowHint(true); }

void TEditButton::Paint() {
  TLkSpeedButton::Paint();
  if (State() == TButtonState::bsDown) return;
  TCanvas* c = Canvas();
  c->Pen()->SetColor(NewShell() ? clBtnFace : clBtnShadow);
  c->MoveTo(0, 0);
  c->LineTo(0, Height());
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(1, 1);
  c->LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && edit_ && edit_->TabStop() && edit_->CanFocus() && !edit_->Focused())
    edit_->SetFocus();
  TLkSpeedButton::MouseDown(button, shift, x, y);
}

// ======================================================================
// TCustomComboEdit

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TCustomEdit(owner) {
  SetControlState(ControlState() | csCreating);
  container_ = new TButtonHolder(this);
  container_->SetBounds(0, 0, 21, 17);
  container_->SetParent(this);
  button_ = new TEditButton(this);
  button_->SetParent(container_);
  button_->SetBounds(0, 0, 21, 17);
  button_->OnClick = TNotifyEvent::WithIdentity(this, 0, [this](TObject*) { DoClick(); });
  SetHeight(21);
  SetButtonWidth(21);
  SetControlState(ControlState() & ~csCreating);
}

TCustomComboEdit::~TCustomComboEdit() {
  if (button_) button_->OnClick = nullptr;
}

void TCustomComboEdit::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  // Multi-line, so a formatting rectangle can keep the text off the button.
  p.style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TCustomComboEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  ApplyReadOnly();
  PlaceButton();
  SetEditRect();
}

void TCustomComboEdit::Loaded() {
  TCustomEdit::Loaded();
  PlaceButton();
  SetEditRect();
}

void TCustomComboEdit::PlaceButton() {
  TEditButtonPlaceInput in;
  in.EditWidth = Width();
  in.EditHeight = Height();
  in.ButtonWidth = button_width_;
  in.NewShell = NewShell();
  in.Ctl3D = true;  // a single border is the sunken client edge
  in.SingleBorder = BorderStyle() == TEditBorderStyle::bsSingle;
  const TLkRect r = EditButtonPlace(in);
  container_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  container_->SetVisible(button_width_ > 1);
  button_->SetBounds(0, 0, button_width_, r.Height());
}

void TCustomComboEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  const TRect client = ClientRect();
  const int holder = container_->Visible() ? container_->Width() : 0;
  const TLkRect r = EditFormattingRect(client.Width(), client.Height(), holder);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  SendMessageA(hwnd_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rc));
}

void TCustomComboEdit::Resized() {
  TCustomEdit::Resized();
  PlaceButton();
  SetEditRect();
}

int TCustomComboEdit::MinimumHeight() {
  HDC dc = GetDC(nullptr);
  const int system = FontHeight(dc, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  const int own = FontHeight(dc, Font()->Handle());
  ReleaseDC(nullptr, dc);
  return EditMinimumHeight(system, own, GetSystemMetrics(SM_CYBORDER));
}

void TCustomComboEdit::SetBounds(int left, int top, int width, int height) {
  if (!Loading() && !(ControlState() & csCreating) && height != Height()) {
    const int least = MinimumHeight();
    if (height < least) height = least;
  }
  TCustomEdit::SetBounds(left, top, width, height);
}

void TCustomComboEdit::SetButtonWidth(int width) {
  const bool creating = ControlState() & csCreating;
  if (width == button_width_ && !creating) return;
  if (!creating && width >= ClientWidth()) return;
  button_width_ = width;
  container_->SetVisible(width > 1);
  if (creating) {
    container_->SetWidth(width);
    button_->SetWidth(width);
  } else {
    PlaceButton();
    SetEditRect();
  }
  RecreateGlyph();
}

void TCustomComboEdit::SetDirectInput(bool on) {
  direct_input_ = on;
  ApplyReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool on) {
  read_only_ = on;
  ApplyReadOnly();
}

void TCustomComboEdit::ApplyReadOnly() { TCustomEdit::SetReadOnly(read_only_ || !direct_input_); }

void TCustomComboEdit::SetGlyph(const TBitmap* bitmap) { button_->SetGlyph(bitmap); }

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind) {
  if (kind == glyph_kind_) return;
  glyph_kind_ = kind;
  if (kind == TGlyphKind::gkCustom && Loading()) button_->SetGlyph(nullptr);
  RecreateGlyph();
  const int glyphWidth = Glyph()->Empty() ? 0 : Glyph()->Width();
  if ((kind == TGlyphKind::gkDefault && glyphWidth > 0) || kind == TGlyphKind::gkDropDown) {
    SetButtonWidth(ButtonWidthForGlyph(kind, glyphWidth, NumGlyphs(), button_width_, GetSystemMetrics(SM_CXVSCROLL)));
  }
}

void TCustomComboEdit::SetNumGlyphs(int n) {
  switch (glyph_kind_) {
    case TGlyphKind::gkDropDown:
    case TGlyphKind::gkEllipsis: button_->SetNumGlyphs(1); break;
    case TGlyphKind::gkDefault: button_->SetNumGlyphs(DefaultImageCount()); break;
    case TGlyphKind::gkCustom: button_->SetNumGlyphs(n); break;
  }
}

void TCustomComboEdit::RecreateGlyph() {
  switch (glyph_kind_) {
    case TGlyphKind::gkCustom:
      return;
    case TGlyphKind::gkDefault: {
      TBitmap* def = DefaultGlyph();
      button_->SetGlyph(def && !def->Empty() ? def : nullptr);
      button_->SetNumGlyphs(DefaultImageCount());
      return;
    }
    case TGlyphKind::gkDropDown: {
      TBitmap arrow;
      arrow.SetHandle(LoadBitmapA(nullptr, MAKEINTRESOURCEA(32738)));  // OBM_COMBO
      button_->SetGlyph(&arrow);
      button_->SetNumGlyphs(1);
      return;
    }
    case TGlyphKind::gkEllipsis: {
      const TEllipsisGlyph g = EllipsisGlyph(button_width_);
      TBitmap dots;
      dots.SetMonochrome(true);
      dots.SetSize(g.Width, 4);
      TCanvas* c = dots.Canvas();
      c->Brush()->SetColor(clWhite);
      c->FillRect(TRect(0, 0, g.Width, 4));
      c->Brush()->SetColor(clBlack);
      for (int x : g.Squares) c->FillRect(TRect(x, 1, x + 2, 3));
      button_->SetGlyph(&dots);
      button_->SetNumGlyphs(1);
      return;
    }
  }
}

bool TCustomComboEdit::ButtonWidthStored() const {
  TBitmap* glyph = const_cast<TCustomComboEdit*>(this)->button_->Glyph();
  return ::ButtonWidthStored(glyph_kind_, glyph->Empty() ? 0 : glyph->Width(), button_->NumGlyphs(), button_width_,
                             GetSystemMetrics(SM_CXVSCROLL));
}

void TCustomComboEdit::DoClick() {
  if (read_only_) return;
  ButtonClick();
}

bool TCustomComboEdit::DoKeyDown(WORD& key, TShiftState shift) {
  if (!TCustomEdit::DoKeyDown(key, shift)) return false;
  TShortCut pressed = key;
  if (shift & ssShift) pressed |= scShift;
  if (shift & ssCtrl) pressed |= scCtrl;
  if (shift & ssAlt) pressed |= scAlt;
  if (click_key_ && pressed == click_key_) {
    if (button_width_ > 0) DoClick();
    key = 0;
    return false;
  }
  if (key == VK_RETURN || key == VK_ESCAPE) {
    // The form's default and cancel buttons first; a line break never goes in.
    TCustomForm* form = GetParentForm(this);
    const bool taken = form && form->DialogKey(key, shift, this);
    if (taken || key == VK_RETURN) {
      key = 0;
      return false;
    }
  }
  return true;
}

void TCustomComboEdit::DoEnter() {
  // Entered from another control of the form (not back from the chooser or
  // another program) without the mouse: the text is selected for typing over.
  TWinControl* from = FromHandle(focus_from_);
  const bool fromForm = from && from != this && GetParentForm(from) == GetParentForm(this);
  if (auto_select_ && direct_input_ && fromForm && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
  TCustomEdit::DoEnter();
}

void TCustomComboEdit::DoExit() {
  has_focus_ = false;
  TCustomEdit::DoExit();
}

void TCustomComboEdit::EnabledChanged() {
  TCustomEdit::EnabledChanged();
  button_->SetEnabled(Enabled());
}

void TCustomComboEdit::FontChanged() {
  TCustomEdit::FontChanged();
  SetEditRect();
}

LRESULT TCustomComboEdit::CtlColor(HDC dc) {
  const LRESULT brush = TCustomEdit::CtlColor(dc);
  if (NewShell()) {
    TColor text = Font()->Color();
    if (!Enabled() && ColorToRGB(Color()) != ColorToRGB(clGrayText)) text = clGrayText;
    SetTextColor(dc, ColorToRGB(text));
  }
  return brush;
}

void TCustomComboEdit::Paste() {
  if (!direct_input_ || read_only_) return;
  // One line: a pasted line break would split the text in the multi-line window.
  const std::string text = SingleLineText(ClipboardText(hwnd_));
  SendMessageA(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT TCustomComboEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PASTE:
      Paste();
      return 0;
    case WM_CUT:
      if (!direct_input_ || read_only_) return 0;
      break;
    case WM_CHAR:
      // The window is multi-line only for its formatting rectangle.
      if (w == '\r' || w == '\n' || w == '\t') return 0;
      break;
    case WM_GETDLGCODE: {
      const LRESULT code = TCustomEdit::WndProc(msg, w, l);
      return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    case WM_SETFOCUS: {
      focus_from_ = reinterpret_cast<HWND>(w);
      const LRESULT r = TCustomEdit::WndProc(msg, w, l);
      has_focus_ = true;
      HDC dc = GetDC(nullptr);
      const int system = FontHeight(dc, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
      const int own = FontHeight(dc, Font()->Handle());
      ReleaseDC(nullptr, dc);
      DestroyCaret();
      CreateCaret(hwnd_, nullptr, (Font()->Style() & fsBold) ? 2 : 1, system < own ? system : own);
      ShowCaret(hwnd_);
      return r;
    }
    case WM_SIZE: {
      const LRESULT r = TCustomEdit::WndProc(msg, w, l);
      PlaceButton();
      SetEditRect();
      return r;
    }
    default:
      break;
  }
  return TCustomEdit::WndProc(msg, w, l);
}

// ======================================================================
// TFileDirEdit

TFileDirEdit::TFileDirEdit(TComponent* owner) : TCustomComboEdit(owner) {
  SetControlState(ControlState() | csCreating);
  SetGlyphKind(TGlyphKind::gkDefault);
  SetControlState(ControlState() & ~csCreating);
}

TFileDirEdit::~TFileDirEdit() = default;

void TFileDirEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  if (accept_files_ && !(ComponentState() & csDesigning)) DragAcceptFiles(hwnd_, TRUE);
}

void TFileDirEdit::DestroyWnd() {
  if (accept_files_ && hwnd_) DragAcceptFiles(hwnd_, FALSE);
  TCustomComboEdit::DestroyWnd();
}

void TFileDirEdit::SetAcceptFiles(bool on) {
  if (on == accept_files_) return;
  accept_files_ = on;
  if (HandleAllocated()) DragAcceptFiles(hwnd_, on ? TRUE : FALSE);
}

TBitmap* TFileDirEdit::DefaultGlyph() { return FileDirGlyph(); }

void TFileDirEdit::ButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
}

void TFileDirEdit::DropFiles(HDROP drop) {
  struct Release {
    HDROP h;
    ~Release() { DragFinish(h); }
  } release{drop};
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  ClearFileList();
  const auto* dirs = dynamic_cast<TDirectoryEdit*>(this);
  const bool multiple = dirs && dirs->MultipleDirs();
  for (UINT i = 0; i < count; ++i) {
    // As long as the shell says the name is: no name is cut short.
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    const UINT got = DragQueryFileA(drop, i, name.data(), length + 1);
    name.resize(got);
    AcceptName(name);
    if (!multiple) break;
  }
  if (OnDropFiles) OnDropFiles(this);
}

LRESULT TFileDirEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DROPFILES) {
    DropFiles(reinterpret_cast<HDROP>(w));
    return 0;
  }
  return TCustomComboEdit::WndProc(msg, w, l);
}

// ======================================================================
// TDirectoryEdit

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TFileDirEdit(owner) {}

std::string TDirectoryEdit::LongName() { return ConvertDirList(Text(), multiple_dirs_, ::LongPath); }
std::string TDirectoryEdit::ShortName() { return ConvertDirList(Text(), multiple_dirs_, ::ShortPath); }

void TDirectoryEdit::AcceptName(const std::string& name) {
  const bool isFile = FileHasAttributes(name, 0) && !FolderExists(name);
  SetText(TextAfterDrop(Text(), name, isFile, multiple_dirs_));
}

void TDirectoryEdit::ButtonClick() {
  TFileDirEdit::ButtonClick();
  std::string name = Text();
  bool action = true;
  if (OnBeforeDialog) OnBeforeDialog(this, name, action);
  if (!action) return;
  name = ChooserStartFolder(name, initial_dir_, [](const std::string& f) { return FolderExists(f); });
  saved_error_mode_ = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  struct RestoreMode {
    UINT mode;
    ~RestoreMode() { SetErrorMode(mode); }
  } restore{saved_error_mode_};
  // Both kinds use the shell's chooser: it is the one this system has.
  action = BrowseFolder(name, dialog_text_, HelpContext());
  if (!Alive(this)) return;
  if (CanFocus() && HandleAllocated()) SetFocus();
  if (OnAfterDialog) OnAfterDialog(this, name, action);
  if (!action) return;
  SetText(TextAfterChoice(Text(), SelStart(), SelLength(), name, multiple_dirs_));
  if (!name.empty() && FolderExists(name)) initial_dir_ = name;
}
