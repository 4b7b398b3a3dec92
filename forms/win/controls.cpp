#include "forms/win/controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>
#include <set>

#include "base/sysutils.h"
#include "base/win/mouseleave.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"

namespace {

const char kOwnClass[] = "LkWindow";

// Every class our procedure serves, by atom: our own (no native procedure)
// and the superclassed native ones (their native procedure). Never
// destroyed: windows may still go during exit.
std::map<ATOM, WNDPROC>& OurClasses() {
  static auto* m = new std::map<ATOM, WNDPROC>;
  return *m;
}
// Our class names already registered, by own class style or native class.
std::map<std::string, std::string>& RegisteredNames() {
  static auto* m = new std::map<std::string, std::string>;
  return *m;
}

ATOM ClassAtom(HWND hwnd) { return static_cast<ATOM>(GetClassLongPtrA(hwnd, GCW_ATOM)); }

// Every control that exists (never destroyed itself: controls may go during exit).
std::set<const TControl*>& LiveControls() {
  static auto* s = new std::set<const TControl*>;
  return *s;
}

UINT_PTR NextControlId() {
  static UINT_PTR next = 100;
  if (++next > 0xFFF0) next = 101;
  return next;
}

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::mbRight;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
  }
}

bool ControlChainEnabled(const TControl* c) {
  for (; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

// The off-screen picture of one WM_PAINT: painted into, then copied to the
// window in one piece (no flicker), and the paint ended, also when a
// handler threw on the way.
class TPaintBuffer {
 public:
  TPaintBuffer(HWND hwnd, HBRUSH background) : hwnd_(hwnd) {
    dc_ = BeginPaint(hwnd, &ps_);
    clip_ = TRect(ps_.rcPaint);
    if (clip_.Empty()) return;
    mem_ = CreateCompatibleDC(dc_);
    bmp_ = CreateCompatibleBitmap(dc_, clip_.Width(), clip_.Height());
    old_ = SelectObject(mem_, bmp_);
    SetViewportOrgEx(mem_, -clip_.left, -clip_.top, nullptr);
    RECT rc = clip_;
    FillRect(mem_, &rc, background);
  }
  ~TPaintBuffer() {
    if (mem_) {
      SetViewportOrgEx(mem_, 0, 0, nullptr);
      BitBlt(dc_, clip_.left, clip_.top, clip_.Width(), clip_.Height(), mem_, 0, 0, SRCCOPY);
      SelectObject(mem_, old_);
      DeleteObject(bmp_);
      DeleteDC(mem_);
    }
    EndPaint(hwnd_, &ps_);
  }
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;
  HDC dc() const { return mem_; }  // null: nothing to paint
  const TRect& clip() const { return clip_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr, mem_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  TRect clip_;
};

}  // namespace

LRESULT CALLBACK LkWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

// Registers our own class or a superclass of a native one; returns the name to create.
static std::string RegisterClassFor(const TCreateParams& p) {
  const bool own = p.window_class.empty();
  const std::string key = own ? "own:" + IntToStr(p.class_style) : "native:" + p.window_class;
  if (auto it = RegisteredNames().find(key); it != RegisteredNames().end()) return it->second;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  WNDPROC native = nullptr;
  std::string name;
  if (own) {
    name = std::string(kOwnClass) + "." + IntToStr(p.class_style);  // one class per class style
    wc.style = p.class_style;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  } else {
    name = "Lk." + p.window_class;
    if (!GetClassInfoExA(nullptr, p.window_class.c_str(), &wc) && !GetClassInfoExA(inst, p.window_class.c_str(), &wc))
      throw EOSError("Window class \"" + p.window_class + "\" not found", GetLastError());
    native = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
    wc.style &= ~CS_GLOBALCLASS;
  }
  wc.lpfnWndProc = LkWindowProc;
  wc.hInstance = inst;
  wc.lpszClassName = name.c_str();
  ATOM atom = RegisterClassExA(&wc);
  if (!atom) throw EOSError("Cannot register the window class " + name, GetLastError());
  OurClasses()[atom] = native;
  RegisteredNames()[key] = name;
  return name;
}

// The one window procedure. `this` rides in GWLP_USERDATA from WM_NCCREATE
// to WM_NCDESTROY; the control's WndProc runs behind the exception boundary.
LRESULT CALLBACK LkWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE)
    TWinControl::Attach(hwnd, static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
  TWinControl* self = TWinControl::FromHandle(hwnd);
  if (!self) {  // messages before WM_NCCREATE
    const WNDPROC native = OurClasses()[ClassAtom(hwnd)];
    return native ? CallWindowProcA(native, hwnd, msg, w, l) : DefWindowProcA(hwnd, msg, w, l);
  }
  const LRESULT result = GuardCallback(self, [&] { return self->WndProc(msg, w, l); });
  if (msg == WM_NCDESTROY) TWinControl::Detach(hwnd, self);
  return result;
}

// The routing: menu messages to the menu code in one call, the rest to a
// routine each; whatever none takes ends in the native procedure.
LRESULT TWinControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (DispatchMenuMessage(msg, w, l, result)) return result;
  switch (msg) {
    case WM_PAINT:
      if (!own_paint_) break;
      PaintMessage(reinterpret_cast<HDC>(w));
      return 0;
    case WM_ERASEBKGND:
      if (!own_paint_) break;
      return EraseMessage(reinterpret_cast<HDC>(w));
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      // A handler may have freed us (a click that closes): then nothing more.
      if (MouseMessage(msg, w, l) || !Alive(this)) return 0;
      break;
    case WM_MOUSELEAVE: MouseLeftWindow(); break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != hwnd_) capture_control_ = nullptr;
      break;
    case WM_SETCURSOR:
      if (CursorMessage(w, l)) return TRUE;
      break;
    case WM_CONTEXTMENU:
      if (ContextMenu(l)) return 0;
      break;
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM: case WM_DELETEITEM:
    case WM_HSCROLL: case WM_VSCROLL:
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORMSGBOX: case WM_CTLCOLORDLG:
      if (ReflectToChild(msg, w, l, result)) return result;
      break;
    case CN_CTLCOLOREDIT: case CN_CTLCOLORLISTBOX: case CN_CTLCOLORBTN: case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR:
      return CtlColor(reinterpret_cast<HDC>(w));
    case WM_SYSCOLORCHANGE: SysColorMessage(w, l); break;
    case WM_SIZE: ClientResized(w, LOWORD(l), HIWORD(l)); break;
    case WM_MOVE: UpdateBoundsFromWindow(); break;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      result = DefaultHandler(msg, w, l);
      ApplyFocusHooks(msg);
      return result;
    default:
      if (msg >= CN_BASE && msg < CN_BASE + 0x400) return 0;  // nobody took the reflection
      break;
  }
  return DefaultHandler(msg, w, l);
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

TCustomForm* GetParentForm(const TControl* c) {
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ======================================================================
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = TNotifyEvent(this, &TControl::OnFontChange);
  LiveControls().insert(this);
}

TControl::TControl(TComponent* owner, TWindowedKind) : TControl(owner) { windowed_ = true; }

bool TControl::Alive(const TControl* control) { return control && LiveControls().count(control) != 0; }

TControl::~TControl() {
  LiveControls().erase(this);
  if (Application) Application->ControlDestroying(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    if (parent_font_) {
      font_from_parent_ = true;
      font_.Assign(*parent->Font());
      font_from_parent_ = false;
    }
    if (parent_color_ && color_ != parent->Color()) {
      color_ = parent->Color();
      ColorChanged();
    }
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  RequestAlign();
  if (resized) Resized();
}

TRect TControl::ClientRect() const { return TRect(0, 0, width_, height_); }

void TControl::SetClientSize(int w, int h) { SetBounds(left_, top_, w, h); }

TPoint TControl::ClientOrigin() const {
  if (IsWindowed()) {
    auto* w = static_cast<const TWinControl*>(this);
    if (w->hwnd_) {
      POINT pt{0, 0};
      ::ClientToScreen(w->hwnd_, &pt);
      return TPoint{pt.x, pt.y};
    }
  }
  TPoint p{left_, top_};
  if (parent_) {
    TPoint o = parent_->ClientOrigin();
    p.x += o.x;
    p.y += o.y;
  }
  return p;
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return TPoint{p.x + o.x, p.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return TPoint{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  RequestAlign();
}

void TControl::SetAutoSize(bool on) {
  if (on == auto_size_) return;
  auto_size_ = on;
  if (on) AdjustSize();
}

void TControl::RequestAlign() {
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();
  visible_ = visible;
  VisibleChanged();
  if (visible) Invalidate();
  RequestAlign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TControl::OnFontChange(TObject*) {
  if (!font_from_parent_) parent_font_ = false;
  FontChanged();
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    for (TControl* c : w->controls_)
      if (c->parent_font_) {
        c->font_from_parent_ = true;
        c->font_.Assign(font_);
        c->font_from_parent_ = false;
        c->ParentFontChanged();
      }
  }
}

void TControl::SetParentFont(bool on) {
  if (on == parent_font_) return;
  parent_font_ = on;
  if (on && parent_) {
    font_from_parent_ = true;
    font_.Assign(*parent_->Font());
    font_from_parent_ = false;
  }
}

void TControl::SetColor(TColor color) {
  parent_color_ = false;
  if (color == color_) return;
  color_ = color;
  ColorChanged();
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    for (TControl* c : w->controls_)
      if (c->parent_color_ && c->color_ != color) {
        c->color_ = color;
        c->ColorChanged();
        c->ParentColorChanged();
      }
  }
}

void TControl::SetParentColor(bool on) {
  if (on == parent_color_) return;
  if (on && parent_ && parent_->Color() != color_) {
    SetColor(parent_->Color());
  }
  parent_color_ = on;
}

void TControl::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  TextChanged();
}

bool TControl::ShowHint() const { return parent_show_hint_ && parent_ ? parent_->ShowHint() : show_hint_; }

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  // Take the new shape at once when the pointer is over us.
  if (Application && Application->MouseControl() == this && Screen) ::SetCursor(Screen->Cursors(cursor));
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popup_menu_) return;
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popup_menu_) popup_menu_ = nullptr;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (auto_size_) AdjustSize();
  RequestAlign();
}

void TControl::BringToFront() {
  if (parent_) parent_->SetZOrder(this, true);
}
void TControl::SendToBack() {
  if (parent_) parent_->SetZOrder(this, false);
}

void TControl::Invalidate() {
  if (!parent_ || !parent_->hwnd_ || width_ <= 0 || height_ <= 0) return;
  RECT r = BoundsRect();
  InvalidateRect(parent_->hwnd_, &r, !(ControlStyle() & csOpaque));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

bool TControl::MouseCapture() const {
  if (IsWindowed()) {
    auto* w = static_cast<const TWinControl*>(this);
    return w->hwnd_ && GetCapture() == w->hwnd_;
  }
  return parent_ && parent_->capture_control_ == this && parent_->hwnd_ && GetCapture() == parent_->hwnd_;
}

void TControl::SetMouseCapture(bool on) {
  if (IsWindowed()) {
    auto* w = static_cast<TWinControl*>(this);
    if (on && w->hwnd_)
      SetCapture(w->hwnd_);
    else if (!on && w->hwnd_ && GetCapture() == w->hwnd_)
      ReleaseCapture();
    return;
  }
  if (!parent_) return;
  if (on) {
    parent_->capture_control_ = this;
    if (parent_->hwnd_) SetCapture(parent_->hwnd_);
  } else if (parent_->capture_control_ == this) {
    parent_->capture_control_ = nullptr;
    if (parent_->hwnd_ && GetCapture() == parent_->hwnd_) ReleaseCapture();
  }
}

void TControl::DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool dbl) {
  if (button == TMouseButton::mbLeft && !dbl) control_state_ |= csLButtonDown;
  if (dbl) {
    shift |= ssDouble;
    if (control_style_ & csDoubleClicks) DblClick();
    if (!Alive(this)) return;
  }
  MouseDown(button, shift, x, y);
}

void TControl::DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && (control_state_ & csLButtonDown)) {
    control_state_ &= ~csLButtonDown;
    if ((control_style_ & csClickEvents) && ClientRect().Contains(x, y)) {
      Click();
      if (!Alive(this)) return;  // the click handler freed us
    }
  }
  MouseUp(button, shift, x, y);
}

void TControl::DispatchMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::DoContextPopup(TPoint mouse_pos, bool& handled) {
  if (OnContextPopup) OnContextPopup(this, mouse_pos, handled);
}
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}
void TControl::ParentFontChanged() {}
void TControl::ParentColorChanged() {}
void TControl::Resized() {
  if (OnResize) OnResize(this);
}

// ======================================================================
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
  TCanvasOnDC on(canvas_, dc);
  canvas_.Font()->Assign(font_);
  Paint();
}

// ======================================================================
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner, TWindowedKind{}) {
  brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
  SetDestroying();
  // Leave the parent first, still whole: its tab order, and its form's
  // active control when that is us or one of our children, forget us.
  if (parent_) parent_->RemoveControl(this);
  // Free what we own while we are still a window control, last first.
  while (ComponentCount() > 0) Free(Components(ComponentCount() - 1));
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
  tab_list_.clear();
  if (hwnd_) {
    HWND h = hwnd_;
    DestroyWindow(h);
    hwnd_ = nullptr;
  }
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  // Only our classes' user data is ours to read.
  if (!hwnd || !OurClasses().count(ClassAtom(hwnd))) return nullptr;
  auto* c = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return c && c->hwnd_ == hwnd ? c : nullptr;
}

void TWinControl::Attach(HWND hwnd, TWinControl* self) {
  if (!self) return;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  self->hwnd_ = hwnd;
  self->native_proc_ = OurClasses()[ClassAtom(hwnd)];
}

void TWinControl::Detach(HWND hwnd, TWinControl* self) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  if (self->hwnd_ == hwnd) self->hwnd_ = nullptr;
}

HWND TWinControl::Handle() {
  if (!hwnd_) {
    if (parent_) parent_->HandleNeeded();  // creates ours too
    if (!hwnd_) CreateHandle();
  }
  return hwnd_;
}

void TWinControl::CreateHandle() {
  control_state_ |= csCreating;
  try {
    CreateWnd();
  } catch (...) {
    control_state_ &= ~csCreating;
    throw;
  }
  control_state_ &= ~csCreating;
  // A client size asked for before the window existed was an estimate of its
  // frame; the whole window (a form's menu bar included) now shows the real one.
  if (pending_client_.x >= 0) {
    const TPoint want = pending_client_;
    pending_client_ = TPoint{-1, -1};
    RECT cr;
    GetClientRect(hwnd_, &cr);
    if (cr.right != want.x || cr.bottom != want.y) SetClientSize(want.x, want.y);
  }
  CreateChildHandles();
  Realign();
}

void TWinControl::CreateChildHandles() {
  auto children = controls_;
  for (TControl* c : children)
    if (c->IsWindowed()) {
      auto* w = static_cast<TWinControl*>(c);
      if (!w->hwnd_) w->CreateHandle();
    }
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.caption = Caption();
  p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (parent_) p.style |= WS_CHILD;
  if (Visible() && parent_) p.style |= WS_VISIBLE;
  if (!Enabled()) p.style |= WS_DISABLED;
  if (tab_stop_) p.style |= WS_TABSTOP;
  p.x = left_;
  p.y = top_;
  p.width = width_;
  p.height = height_;
  p.wnd_parent = parent_ ? parent_->hwnd_ : nullptr;
}

void TWinControl::SetClientSize(int w, int h) {
  if (hwnd_) {
    RECT cr;
    GetClientRect(hwnd_, &cr);
    SetBounds(left_, top_, width_ - cr.right + w, height_ - cr.bottom + h);
    return;
  }
  // No window yet: size for the frame the style gives now, and keep the
  // asked size, since the frame may still change (style, icons, menu).
  const SIZE frame = EstimatedFrame();
  SetBounds(left_, top_, w + frame.cx, h + frame.cy);
  pending_client_ = TPoint{w, h};
}

SIZE TWinControl::EstimatedFrame() const {
  TCreateParams p;
  const_cast<TWinControl*>(this)->CreateParams(p);
  RECT r{0, 0, 0, 0};
  const auto* form = dynamic_cast<const TCustomForm*>(this);
  AdjustWindowRectEx(&r, p.style, form && form->Menu() != nullptr, p.ex_style);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (parent_ && !p.wnd_parent) p.wnd_parent = parent_->Handle();
  std::string cls = RegisterClassFor(p);
  own_paint_ = p.window_class.empty();
  if (!control_id_) control_id_ = NextControlId();
  HMENU id = (p.style & WS_CHILD) ? reinterpret_cast<HMENU>(control_id_) : nullptr;
  HWND h = CreateWindowExA(p.ex_style, cls.c_str(), p.caption.c_str(), p.style, p.x, p.y, p.width, p.height,
                           p.wnd_parent, id, GetModuleHandleA(nullptr), this);
  if (!h) throw EOSError("Error creating window", GetLastError());
  hwnd_ = h;
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  // Windows can refuse a size (minimum track sizes): keep what it gave.
  UpdateBoundsFromWindow();
}

void TWinControl::DestroyWnd() {
  if (!hwnd_) return;
  // Keep the text the window holds (edits) before it goes.
  int n = GetWindowTextLengthA(hwnd_);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(hwnd_, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  StoreCaption(text);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!hwnd_) return;
  DestroyWnd();
  CreateHandle();
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM w, LPARAM l) {
  if (!hwnd_) return 0;
  if (native_proc_) return CallWindowProcA(native_proc_, hwnd_, msg, w, l);
  return DefWindowProcA(hwnd_, msg, w, l);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM w, LPARAM l) { return WndProc(msg, w, l); }

void TWinControl::InsertControl(TControl* c) {
  controls_.push_back(c);
  c->parent_ = this;
  if (c->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(c);
    tab_list_.push_back(w);
    if (hwnd_ && !w->hwnd_) w->CreateHandle();
    if (w->hwnd_ && hwnd_) ::SetParent(w->hwnd_, hwnd_);
  }
  c->Invalidate();
  if (c->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
  if (capture_control_ == c) {
    capture_control_ = nullptr;
    if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
  }
  c->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  if (c->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(c);
    tab_list_.erase(std::remove(tab_list_.begin(), tab_list_.end(), w), tab_list_.end());
    // A window about to go with its parent, or on its own, is not moved.
    if (w->hwnd_ && !Destroying() && !w->Destroying()) ::SetParent(w->hwnd_, nullptr);
    if (TCustomForm* f = GetParentForm(this); f && (f->active_control_ == w || w->ContainsControl(f->active_control_)))
      f->active_control_ = nullptr;
  }
  c->parent_ = nullptr;
  if (c->Align() != TAlign::alNone) Realign();
}

int TWinControl::IndexOfControl(const TControl* c) const {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  return it == controls_.end() ? -1 : static_cast<int>(it - controls_.begin());
}

bool TWinControl::ContainsControl(const TControl* c) const {
  for (; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(int x, int y, bool allow_disabled, bool allow_windowed) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() && !allow_windowed) continue;
    if (!c->Visible() || (!allow_disabled && !c->Enabled())) continue;
    if (c->BoundsRect().Contains(x, y)) return c;
  }
  return nullptr;
}

void TWinControl::SetZOrder(TControl* c, bool top) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (top)
    controls_.push_back(c);
  else
    controls_.insert(controls_.begin(), c);
  if (c->IsWindowed()) {
    auto* w = static_cast<TWinControl*>(c);
    if (w->hwnd_) SetWindowPos(w->hwnd_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    c->Invalidate();
  }
  Realign();
}

void TWinControl::EnableAlign() {
  if (align_disabled_ > 0 && --align_disabled_ == 0 && realign_pending_) Realign();
}

void TWinControl::Realign() {
  if (align_disabled_ > 0 || Loading()) {
    realign_pending_ = true;
    return;
  }
  if (control_state_ & csAligning) {
    realign_pending_ = true;
    return;
  }
  realign_pending_ = false;
  TRect r = ClientRect();
  AdjustClientRect(r);
  control_state_ |= csAligning;
  try {
    AlignControls(r);
  } catch (...) {
    control_state_ &= ~csAligning;
    throw;
  }
  control_state_ &= ~csAligning;
  // A child that changed its own size while we aligned asks again.
  if (realign_pending_) {
    realign_pending_ = false;
    control_state_ |= csAligning;
    AlignControls(r);
    control_state_ &= ~csAligning;
  }
}

void TWinControl::AlignControls(TRect r) {
  static const TAlign kOrder[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
  auto children = controls_;
  for (TAlign a : kOrder) {
    for (TControl* c : children) {
      if (c->Align() != a || !c->Visible()) continue;
      int w = c->width_, h = c->height_;
      switch (a) {
        case TAlign::alTop:
          c->SetBounds(r.left, r.top, r.Width(), h);
          r.top += c->height_;
          break;
        case TAlign::alBottom:
          c->SetBounds(r.left, r.bottom - h, r.Width(), h);
          r.bottom -= c->height_;
          break;
        case TAlign::alLeft:
          c->SetBounds(r.left, r.top, w, r.Height());
          r.left += c->width_;
          break;
        case TAlign::alRight:
          c->SetBounds(r.right - w, r.top, w, r.Height());
          r.right -= c->width_;
          break;
        case TAlign::alClient:
          c->SetBounds(r.left, r.top, r.Width(), r.Height());
          break;
        default: break;
      }
    }
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // A new outer size replaces a client size still waiting for the window; a move does not.
  if (resized) pending_client_ = TPoint{-1, -1};
  if (hwnd_) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (resized) {
    Realign();
  }
  RequestAlign();
  if (resized && !hwnd_) Resized();
}

TRect TWinControl::ClientRect() const {
  if (hwnd_) {
    RECT r;
    GetClientRect(hwnd_, &r);
    return TRect(r);
  }
  // No window yet: the size asked for, else the frame its style will give it.
  if (pending_client_.x >= 0) return TRect(0, 0, pending_client_.x, pending_client_.y);
  const SIZE frame = EstimatedFrame();
  return TRect(0, 0, std::max<int>(0, width_ - frame.cx), std::max<int>(0, height_ - frame.cy));
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!hwnd_) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  HWND p = GetParent(hwnd_);
  if (p && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD)) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
}

void TWinControl::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TControl::SetVisible(visible);
  if (hwnd_ && parent_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TControl::SetEnabled(enabled);
}

void TWinControl::EnabledChanged() {
  if (hwnd_) EnableWindow(hwnd_, Enabled());
  Invalidate();
}

void TWinControl::VisibleChanged() {}

void TWinControl::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (hwnd_) UpdateWindow(hwnd_);
}

void TWinControl::ColorChanged() {
  brush_.SetColor(Color());
  Invalidate();
}

void TWinControl::FontChanged() {
  if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
  Invalidate();
}

void TWinControl::TextChanged() {
  if (!hwnd_) return;
  SetWindowTextA(hwnd_, Caption().c_str());
  // The system repaints only a native control's text; a window that draws
  // its own caption (a panel) draws it again.
  if (own_paint_) Invalidate();
}

void TWinControl::SetTabStop(bool on) {
  if (on == tab_stop_) return;
  tab_stop_ = on;
  if (hwnd_) {
    LONG s = GetWindowLongA(hwnd_, GWL_STYLE);
    SetWindowLongA(hwnd_, GWL_STYLE, on ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto& l = parent_->tab_list_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& l = parent_->tab_list_;
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  order = std::clamp(order, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + order, this);
}

bool TWinControl::Focused() const { return hwnd_ && GetFocus() == hwnd_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this) {
    f->active_control_ = this;
  }
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* w : tab_list_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool check_tab_stop) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == current) start = i;
  if (start < 0) start = forward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    TWinControl* c = list[(forward ? start + step : start - step + n) % n];
    if (c->CanFocus() && (!check_tab_stop || c->TabStop())) return c;
  }
  return nullptr;
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key != 0;
}
bool TWinControl::DoKeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
  return key != 0;
}
void TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

LRESULT TWinControl::CtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_.Color()));
  SetBkColor(dc, ColorToRGB(Color()));
  return reinterpret_cast<LRESULT>(brush_.Handle());
}

bool TWinControl::EraseBackground(HDC dc) {
  RECT r;
  GetClientRect(hwnd_, &r);
  FillRect(dc, &r, brush_.Handle());
  return true;
}

void TWinControl::PaintControls(HDC dc, const TRect& clip, TControl* stop_at) {
  auto children = controls_;
  for (TControl* c : children) {
    if (c == stop_at) break;
    if (c->IsWindowed() || !c->Visible()) continue;
    TRect inter;
    if (!IntersectRects(inter, clip, c->BoundsRect())) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    // One failing child neither names its parent nor stops its siblings.
    GuardCallback(c, [&] { c->PaintTo(dc); });
    RestoreDC(dc, saved);
  }
}

void TWinControl::NotifyControls(const TControlNotice& notice) {
  auto children = controls_;  // a handler may change the list
  for (TControl* c : children)
    if (c != notice.Sender && Alive(c)) c->ControlNotice(notice);
}

bool TWinControl::DispatchDialogChar(char key) {
  if (DialogChar(key)) return true;
  auto children = controls_;
  for (TControl* c : children) {
    if (!Alive(c) || !c->Visible()) continue;
    if (c->IsWindowed() ? static_cast<TWinControl*>(c)->DispatchDialogChar(key) : c->DialogChar(key)) return true;
  }
  return false;
}

// Top-level windows get it; each window hands it to its children.
void TWinControl::SysColorMessage(WPARAM w, LPARAM l) {
  SysColorChanged();
  auto children = controls_;
  for (TControl* c : children) {
    if (!Alive(c)) continue;
    if (!c->IsWindowed())
      c->SysColorChanged();
    else if (auto* wc = static_cast<TWinControl*>(c); wc->hwnd_)
      SendMessageA(wc->hwnd_, WM_SYSCOLORCHANGE, w, l);
  }
}

bool TWinControl::ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(l); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(l)->hwndFrom; break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      if (dis->CtlType == ODT_MENU) return false;
      child = dis->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (mis->CtlType == ODT_MENU) return false;
      child = GetDlgItem(hwnd_, static_cast<int>(mis->CtlID));
      break;
    }
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(l)->hwndItem; break;
    default: child = reinterpret_cast<HWND>(l); break;  // WM_HSCROLL, WM_VSCROLL, WM_CTLCOLOR*
  }
  TWinControl* target = FromHandle(child);
  if (!target || target == this) return false;
  // The child's handler failed, not ours: the box names the child.
  result = GuardCallback(target, [&] { return target->Perform(CN_BASE + msg, w, l); });
  return true;
}

void TWinControl::PaintMessage(HDC given) {
  if (given) {  // a copy into a given DC (CopyParentImage, WindowPixels)
    PaintWindow(given);
    PaintControls(given, ClientRect());
    return;
  }
  TPaintBuffer buffer(hwnd_, brush_.Handle());
  if (!buffer.dc()) return;
  PaintWindow(buffer.dc());
  PaintControls(buffer.dc(), buffer.clip());
}

LRESULT TWinControl::EraseMessage(HDC dc) {
  // Painted with the rest in WM_PAINT, except for a copy of our image.
  if (ControlState() & csPaintCopy) EraseBackground(dc);
  return 1;
}

bool TWinControl::MouseMessage(UINT msg, WPARAM w, LPARAM l) {
  const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  const TShiftState shift = KeysToShiftState(w);
  TControl* target = capture_control_;
  if (!target) {
    target = ControlAtPos(x, y);
    if (target && !ControlChainEnabled(target)) target = nullptr;
  }
  if (!target) target = this;
  if (msg == WM_MOUSEMOVE) TrackMouseControl(x, y);

  const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  const bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  const bool windowless = target != this;
  const int cx = x - (windowless ? target->Left() : 0), cy = y - (windowless ? target->Top() : 0);
  if (down || dbl) {
    if (msg == WM_LBUTTONDOWN && (target->ControlStyle() & csCaptureMouse) && (windowless || own_paint_))
      target->SetMouseCapture(true);
    target->DispatchMouseDown(ButtonOf(msg), shift, cx, cy, dbl);
  } else if (up) {
    // Let go before the handlers run: they may free the control.
    if (windowless && capture_control_ == target && !(w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
      target->SetMouseCapture(false);
    if (!windowless && own_paint_ && msg == WM_LBUTTONUP && GetCapture() == hwnd_) ReleaseCapture();
    target->DispatchMouseUp(ButtonOf(msg), shift, cx, cy);
  } else {
    target->DispatchMouseMove(shift, cx, cy);
  }
  // A windowless child took it; our own mouse messages go on to the native
  // procedure, and so does every right-button release: from it the system
  // makes the context-menu message that opens the child's popup menu.
  return windowless && msg != WM_RBUTTONUP;
}

void TWinControl::TrackMouseControl(int x, int y) {
  if (!Application) return;
  // Hover tracking, windowless children included: the control under the
  // pointer, whoever holds the mouse.
  TControl* over = ControlAtPos(x, y);
  if (over && !ControlChainEnabled(over)) over = nullptr;
  Application->SetMouseControl(over ? over : this);
  TrackMouseLeave(hwnd_);
}

void TWinControl::MouseLeftWindow() {
  if (!Application) return;
  TControl* m = Application->MouseControl();
  if (m == this || (m && !m->IsWindowed() && m->Parent() == this)) Application->SetMouseControl(nullptr);
}

bool TWinControl::CursorMessage(WPARAM w, LPARAM l) {
  if (reinterpret_cast<HWND>(w) != hwnd_ || LOWORD(l) != HTCLIENT || !Screen) return false;
  TCursor cur = Screen->Cursor();
  if (cur == crDefault) {
    POINT pt;
    GetCursorPos(&pt);
    ::ScreenToClient(hwnd_, &pt);
    TControl* c = capture_control_ ? capture_control_ : ControlAtPos(pt.x, pt.y);
    cur = c ? c->Cursor() : Cursor();
    if (cur == crDefault) cur = Cursor();
  }
  if (cur == crDefault) return false;
  ::SetCursor(Screen->Cursors(cur));
  return true;
}

bool TWinControl::ContextMenu(LPARAM l) {
  POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  const bool keyboard = pt.x == -1 && pt.y == -1;
  if (keyboard) {
    const TPoint o = ClientToScreen(TPoint{0, 0});
    pt = POINT{o.x, o.y};
  }
  POINT cp = pt;
  ::ScreenToClient(hwnd_, &cp);
  TControl* c = keyboard ? nullptr : ControlAtPos(cp.x, cp.y, true);
  if (!c) c = this;
  // The control under the pointer first, then its parents up to us; the
  // native procedure (an edit's own menu) or our parent may take it after.
  for (TControl* p = c;; p = p->Parent()) {
    bool handled = false;
    p->DoContextPopup(keyboard ? TPoint{-1, -1} : p->ScreenToClient(TPoint{pt.x, pt.y}), handled);
    if (handled || !Alive(p)) return true;
    TPopupMenu* m = p->PopupMenu();
    if (m && m->AutoPopup()) {
      m->SetPopupComponent(c);
      m->Popup(pt.x, pt.y);
      return true;
    }
    if (p == this) return false;
  }
}

void TWinControl::ClientResized(WPARAM kind, int width, int height) {
  if (kind == SIZE_MINIMIZED) return;
  UpdateBoundsFromWindow();
  if (width == last_client_w_ && height == last_client_h_) return;
  last_client_w_ = width;
  last_client_h_ = height;
  Realign();
  Resized();
}

void TWinControl::ApplyFocusHooks(UINT msg) {
  if (msg == WM_SETFOCUS) {
    if (TCustomForm* f = GetParentForm(this); f && f != this) f->active_control_ = this;
    DoEnter();
  } else {
    DoExit();
  }
}

// ======================================================================
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasOnDC on(canvas_, dc);
  canvas_.Font()->Assign(font_);
  canvas_.Brush()->SetColor(Color());
  Paint();
}
