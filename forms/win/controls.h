// Controls: TControl (a rectangle in its parent), the windowless
// TGraphicControl and TWinControl over a real window.
//
// Every window of ours, native or not, runs through one window procedure,
// LkWindowProc: `this` rides in GWLP_USERDATA from WM_NCCREATE (only windows
// of our classes are ever read so), and the procedure calls the virtual
// WndProc behind the exception boundary (GuardCallback, application.h), so
// no C++ exception ever crosses into the system. WndProc only routes: the
// menu messages go to the menu code in one call, the rest to a routine each
// (painting, mouse, cursor, context menu, reflection, size and alignment).
//
// Hooks: the layer calls these virtual members itself, and a method of a
// derived form with the same name and parameters replaces them (the build
// warns: -Wsuggest-override). Name handlers after their component and event
// (ExitClick, FormShow), never after a hook: Click, DblClick, MouseDown,
// MouseUp, MouseMove, MouseEnter, MouseLeave, DoContextPopup, Paint,
// PaintWindow, Resized, AdjustSize, Loaded, Notification, BeforeDestruction,
// FontChanged, ColorChanged, TextChanged, EnabledChanged, VisibleChanged,
// ControlNotice, DialogChar, SysColorChanged, CreateParams, CreateWnd,
// DestroyWnd, WndProc, EraseBackground, CtlColor, DoEnter, DoExit,
// DoKeyDown, DoKeyPress, DoKeyUp; on forms also DoShow, DoHide, DoClose and
// ShowModal.
//
// Wrapping a native control class (the common controls, BUTTON, EDIT ...):
//
//   class TMyListView : public TWinControl {
//    public:
//     explicit TMyListView(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 200, 150); }
//    protected:
//     void CreateParams(TCreateParams& p) override {
//       TWinControl::CreateParams(p);
//       p.window_class = WC_LISTVIEWA;              // a native class: superclassed for us
//       p.style |= LVS_REPORT | WS_TABSTOP;
//       p.ex_style |= WS_EX_CLIENTEDGE;
//     }
//     void CreateWnd() override { TWinControl::CreateWnd(); /* send setup messages */ }
//     LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override {
//       if (msg == CN_NOTIFY) { auto* nm = reinterpret_cast<NMHDR*>(l); ...; return 0; }
//       return TWinControl::WndProc(msg, w, l);        // ends in the native procedure
//     }
//   };
//
// A native class named in CreateParams is superclassed (registered again as
// "Lk.<class>" with our procedure in front), so our procedure sees the window
// from WM_NCCREATE on and passes everything it does not take to the native
// procedure. The parent reflects WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_CTLCOLOR*, WM_HSCROLL/WM_VSCROLL and WM_DELETEITEM to the
// child that sent them, as CN_BASE + the message, with the same parameters.
// A handle is created on demand (Handle()) or when the parent's is created;
// RecreateWnd() rebuilds it after a style change. Handles of children are
// created after the parent's CreateWnd, in z-order.
//
// Coordinates: Left/Top are relative to the parent's client area (for a form:
// the screen); Width/Height are the outer size. A client size set before the
// window exists sizes for the frame of the style at that moment and is made
// exact once the window (with a form's menu bar) exists; setting the outer
// size meanwhile drops it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"
#include "base/sysutils.h"
#include "forms/win/graphics.h"

class TWinControl;
class TPopupMenu;

class EInvalidOperation : public Exception { using Exception::Exception; };
class TCustomForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A notice a control sends to the other controls of its parent: the
// buttons of a radio-style group tell each other which one went down.
struct TControlNotice {
  int Code = 0;
  intptr_t Value = 0;
  class TControl* Sender = nullptr;
};

// Shift state bits.
enum : uint16_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = uint16_t;
TShiftState KeysToShiftState(WPARAM keys);  // MK_xxx bits of a mouse message
TShiftState KeyboardShiftState();           // the keyboard's state now

using TMouseEvent = TEvent<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = TEvent<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = TEvent<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = TEvent<void(TObject* sender, char& key)>;
// Before a control's context menu shows: MousePos in its client
// coordinates, (-1, -1) from the keyboard; Handled suppresses the menu
// (ours and a native control's own).
using TContextPopupEvent = TEvent<void(TObject* sender, TPoint mouse_pos, bool& handled)>;

// Reflected notifications (the parent passes these to the child that sent them).
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
// Posted to a form to free it after its handlers have returned (TCustomForm::Release).
constexpr UINT CM_RELEASE = WM_APP + 0x3F00;

// ControlStyle bits.
enum : uint32_t {
  csAcceptsControls = 1, csCaptureMouse = 2, csClickEvents = 4, csOpaque = 8, csDoubleClicks = 16,
  csSetCaption = 32, csReplicatable = 64
};
// ControlState bits.
enum : uint32_t { csLButtonDown = 1, csPaintCopy = 2, csAligning = 4, csFocusing = 8, csCreating = 16 };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const;  // (0, 0, ClientWidth, ClientHeight)
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  virtual void SetClientSize(int width, int height);
  void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
  void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
  TPoint ClientOrigin() const;  // the client area's top-left on the screen
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  bool AutoSize() const { return auto_size_; }
  virtual void SetAutoSize(bool on);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Showing() const;  // visible, and every parent too
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  TFont* Font() { return &font_; }
  const TFont* Font() const { return &font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool on);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool on);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  // Whether the hint shows: the parent's choice until ShowHint is set here.
  bool ShowHint() const;
  void SetShowHint(bool on) {
    show_hint_ = on;
    parent_show_hint_ = false;
  }
  bool ParentShowHint() const { return parent_show_hint_; }
  void SetParentShowHint(bool on) { parent_show_hint_ = on; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* menu);
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int context) { help_context_ = context; }

  uint32_t ControlStyle() const { return control_style_; }
  void SetControlStyle(uint32_t style) { control_style_ = style; }
  uint32_t ControlState() const { return control_state_; }
  void SetControlState(uint32_t state) { control_state_ = state; }

  // Z-order within the parent (children are painted first to last).
  void BringToFront();
  void SendToBack();

  virtual void Invalidate();
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  // The mouse is held for this control (windowless ones too).
  bool MouseCapture() const;
  void SetMouseCapture(bool on);

  // Entry points used by the window layer; they call the virtual handlers below.
  void DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool dbl);
  void DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void DispatchMouseMove(TShiftState shift, int x, int y);
  void DispatchMouseEnter() { MouseEnter(); }
  void DispatchMouseLeave() { MouseLeave(); }

  // Paints a windowless control onto `dc` with the origin at its top-left
  // (used by the parent and by CopyParentImage); windowed controls do nothing.
  virtual void PaintTo(HDC dc) {}

  virtual void Click();  // runs OnClick
  // A fact fixed at construction, not a virtual: it still answers right while
  // the control is being destroyed and its parent lets go of it.
  bool IsWindowed() const { return windowed_; }
  // False once the control has been destroyed: callers that ran a handler
  // which may have freed it ask before touching it again.
  static bool Alive(const TControl* control);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();  // runs OnMouseEnter
  virtual void MouseLeave();  // runs OnMouseLeave
  virtual void DblClick();
  virtual void DoContextPopup(TPoint mouse_pos, bool& handled);  // runs OnContextPopup

  virtual void FontChanged();     // repaints
  virtual void ColorChanged();    // repaints
  virtual void TextChanged();     // repaints
  virtual void EnabledChanged();  // repaints
  virtual void VisibleChanged();
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  virtual void Resized();         // runs OnResize
  // A sibling's notice (TWinControl::NotifyControls).
  virtual void ControlNotice(const TControlNotice& notice) {}
  // Alt and a character, offered to the form's controls: true takes it
  // (a control whose caption has that accelerator).
  virtual bool DialogChar(char key) { return false; }
  // The system's colours changed: repaint with the new ones.
  virtual void SysColorChanged() { Invalidate(); }
  virtual void AdjustSize() {}    // AutoSize: fit the content (labels)
  void RequestAlign();            // the parent re-lays its children out
  // Takes a caption that the window already shows (edits after typing).
  void StoreCaption(std::string text) { caption_ = std::move(text); }

  friend class TWinControl;
  struct TWindowedKind {};
  TControl(TComponent* owner, TWindowedKind);  // TWinControl's
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TWinControl* parent_ = nullptr;
  TFont font_;

 private:
  void OnFontChange(TObject*);
  bool windowed_ = false;  // set once, by TWinControl's constructor
  TAlign align_ = TAlign::alNone;
  bool auto_size_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool parent_font_ = true;
  bool parent_color_ = true;
  bool show_hint_ = false;
  bool parent_show_hint_ = true;
  bool font_from_parent_ = false;  // the font change now comes from the parent
  TColor color_ = clBtnFace;
  std::string caption_;
  std::string hint_;
  TCursor cursor_ = crDefault;
  TPopupMenu* popup_menu_ = nullptr;
  int help_context_ = 0;
  uint32_t control_style_ = csClickEvents | csCaptureMouse | csDoubleClicks | csSetCaption;
  uint32_t control_state_ = 0;
};

// A windowless control, painted by its parent in z-order and given mouse
// input (and capture) by it. Derived classes paint in Paint() on Canvas().
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return &canvas_; }
  void PaintTo(HDC dc) override;

 protected:
  virtual void Paint() {}

 private:
  TCanvas canvas_;
};

struct TCreateParams {
  std::string caption;
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND wnd_parent = nullptr;
  // Empty: our own window class. Otherwise a native class to superclass.
  std::string window_class;
  UINT class_style = CS_DBLCLKS;  // own window class only
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle();  // creates the window (and the parents') when needed
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  void HandleNeeded() { Handle(); }
  void RecreateWnd();

  // Finds our control for a window handle (null for foreign windows).
  static TWinControl* FromHandle(HWND hwnd);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }
  int IndexOfControl(const TControl* c) const;
  bool ContainsControl(const TControl* c) const;  // any depth
  // The topmost visible child at a client point (windowless ones when `allow_windowed` is off).
  TControl* ControlAtPos(int x, int y, bool allow_disabled = false, bool allow_windowed = false) const;

  // Lays out the aligned children (top, bottom, left, right, client, each in z-order).
  void Realign();
  void DisableAlign() { ++align_disabled_; }
  void EnableAlign();
  // The client area that aligned children share (panels shrink it by their bevels).
  virtual void AdjustClientRect(TRect& r) const {}

  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool on);
  int TabOrder() const;
  void SetTabOrder(int order);
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  // Tab order navigation among this control's descendants.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool check_tab_stop) const;
  void GetTabOrderList(std::vector<TWinControl*>& list) const;

  TBrush* Brush() { return &brush_; }  // background: follows Color
  bool DoubleBuffered() const { return double_buffered_; }
  void SetDoubleBuffered(bool on) { double_buffered_ = on; }

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  void SetClientSize(int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void Update() override;

  // Paints the window itself, without its children, into `dc` (CopyParentImage).
  void PaintSelf(HDC dc) { PaintWindow(dc); }

  // Sends a message through our own procedure (no handle needed for CN_/CM_ messages).
  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);

  // Hands a notice to every control of this one but its sender.
  void NotifyControls(const TControlNotice& notice);
  // Offers Alt + key to this control and its descendants; true once one took it.
  bool DispatchDialogChar(char key);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // Keyboard entry points used by the message loop (return false when the key was eaten).
  virtual bool DoKeyDown(WORD& key, TShiftState shift);
  virtual bool DoKeyPress(char& key);
  virtual void DoKeyUp(WORD& key, TShiftState shift);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // The message handler. Unhandled messages end in DefaultHandler.
  virtual LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
  // The native procedure of a superclassed control, else DefWindowProc.
  LRESULT DefaultHandler(UINT msg, WPARAM w, LPARAM l);

  // Paints the windowless children that intersect `clip` (client coordinates).
  void PaintControls(HDC dc, const TRect& clip, TControl* stop_at = nullptr);
  // WM_PAINT of a window that paints itself: background, PaintWindow, then the windowless children.
  virtual void PaintWindow(HDC dc) {}
  // WM_ERASEBKGND: fills with Brush unless the control is opaque.
  virtual bool EraseBackground(HDC dc);
  // Our windows paint themselves; native ones keep the native painting.
  bool OwnPaint() const { return own_paint_; }
  void SetOwnPaint(bool on) { own_paint_ = on; }

  virtual void DoEnter();
  virtual void DoExit();
  // Reflected WM_CTLCOLOR*: our font colour and background brush.
  virtual LRESULT CtlColor(HDC dc);

  void ColorChanged() override;
  void FontChanged() override;
  void TextChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void ParentFontChanged() override {}

  friend class TControl;
  friend class TApplication;
  friend LRESULT CALLBACK LkWindowProc(HWND, UINT, WPARAM, LPARAM);
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  void AlignControls(TRect r);
  void UpdateBoundsFromWindow();
  void SetZOrder(TControl* c, bool top);

  // The routines WndProc routes to.
  void PaintMessage(HDC given);     // WM_PAINT; `given`: a copy into that DC
  LRESULT EraseMessage(HDC dc);     // WM_ERASEBKGND
  bool MouseMessage(UINT msg, WPARAM w, LPARAM l);  // true: a windowless child took it
  void TrackMouseControl(int x, int y);
  void MouseLeftWindow();           // WM_MOUSELEAVE
  bool CursorMessage(WPARAM w, LPARAM l);  // WM_SETCURSOR: true when we set one
  bool ContextMenu(LPARAM l);       // WM_CONTEXTMENU: true when a control took it
  bool ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  void SysColorMessage(WPARAM w, LPARAM l);  // WM_SYSCOLORCHANGE to us and every control below
  void ClientResized(WPARAM kind, int width, int height);  // WM_SIZE: alignment

  HWND hwnd_ = nullptr;
  WNDPROC native_proc_ = nullptr;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tab_list_;   // windowed children in tab order
  TControl* capture_control_ = nullptr;  // windowless child holding the mouse

 private:
  static void Attach(HWND hwnd, TWinControl* self);  // WM_NCCREATE
  static void Detach(HWND hwnd, TWinControl* self);  // WM_NCDESTROY
  void CreateHandle();
  void CreateChildHandles();
  SIZE EstimatedFrame() const;  // outer minus client size, before the window exists
  void ApplyFocusHooks(UINT msg);
  TBrush brush_;
  bool tab_stop_ = false;
  bool double_buffered_ = false;
  bool own_paint_ = true;
  bool realign_pending_ = false;
  int align_disabled_ = 0;
  int last_client_w_ = -1, last_client_h_ = -1;
  UINT_PTR control_id_ = 0;
  TPoint pending_client_{-1, -1};  // client size asked for before the window existed
};

// A windowed control that paints itself on a canvas (panels, custom bars).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return &canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  TCanvas canvas_;
};

// The form a control sits on (null when it sits on none).
TCustomForm* GetParentForm(const TControl* control);
