#include "forms/win/application.h"

#include <commctrl.h>

#include <mutex>

#include "base/sysutils.h"
#include "base/win/comctl_load.h"
#include "base/win/critsec.h"
#include "base/win/structsizes.h"
#include "forms/win/controls.h"
#include "forms/win/forms.h"
#include "base/win/lazy_dll.h"
#include "forms/win/menus.h"
#include "forms/win/thread.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

TUiSeam* g_seam = nullptr;
TCriticalSection g_queue_lock;
constexpr UINT kRunQueued = WM_APP + 0x3F01;

// The objects exist from start-up to exit, as the programs expect.
struct GlobalObjects {
  GlobalObjects() { EnsureFormsGlobals(); }
  ~GlobalObjects() {
    TApplication* a = Application;
    Application = nullptr;
    // Forms first (their OnDestroy may still use the application).
    if (a) {
      Application = a;
      while (a->ComponentCount() > 0) Free(a->Components(a->ComponentCount() - 1));
      Application = nullptr;
      delete a;
    }
    delete Screen;
    Screen = nullptr;
  }
};
GlobalObjects g_objects;

// The hidden window: popup menus' messages and the queue's wake-up call.
LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  const bool handled = GuardCallback(Application, [&] {
    if (msg != kRunQueued) return DispatchMenuMessage(msg, w, l, result);
    if (Application) Application->RunQueued();
    return true;
  });
  return handled ? result : DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

void EnsureFormsGlobals() {
  if (!Application) Application = new TApplication(nullptr);
  if (!Screen) Screen = new TScreen(nullptr);
}

TUiSeam* UiSeam() { return g_seam; }
void SetUiSeam(TUiSeam* seam) { g_seam = seam; }

intptr_t LkShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                        const std::string& dir, int show) {
  if (g_seam && g_seam->shell_execute) return g_seam->shell_execute(verb, file, params, dir, show);
  return reinterpret_cast<intptr_t>(shell::ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                                  params.empty() ? nullptr : params.c_str(),
                                                  dir.empty() ? nullptr : dir.c_str(), show));
}

// ======================================================================
// TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = ExtractFileName(path);
  std::string ext = ExtractFileExt(name);
  title_ = name.substr(0, name.size() - ext.size());
}

TApplication::~TApplication() {
  if (hint_window_) DestroyWindow(hint_window_);
  if (handle_) DestroyWindow(handle_);
}

void TApplication::Initialize() {
  // The common controls are loaded by the first one made (comctl_load.h),
  // and the hidden window is made by the first use of Handle().
}

HINSTANCE TApplication::Instance() const { return GetModuleHandleA(nullptr); }

HWND TApplication::Handle() {
  if (!handle_) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = Instance();
    wc.lpszClassName = "LkApplication";
    RegisterClassExA(&wc);
    handle_ = CreateWindowExA(0, "LkApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Instance(),
                              nullptr);
    if (handle_) {
      std::vector<std::function<void(HWND)>> pending;
      pending.swap(on_handle_created_);
      for (auto& fn : pending) fn(handle_);
    }
  }
  return handle_;
}

void TApplication::WhenHandleCreated(std::function<void(HWND)> fn) {
  if (handle_)
    fn(handle_);
  else
    on_handle_created_.push_back(std::move(fn));
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) SetWindowTextA(handle_, title.c_str());
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
  if (g_seam && g_seam->help) return g_seam->help(help_file_, command, data);
  if (help_file_.empty()) return false;
  HWND owner = GetActiveWindow();
  if (!owner) owner = Handle();
  using WinHelpFn = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
  // WinHelp is looked up at run time: systems without it just do nothing.
  HMODULE user = GetModuleHandleA("user32.dll");
  auto fn = user ? reinterpret_cast<WinHelpFn>(GetProcAddress(user, "WinHelpA")) : nullptr;
  return fn && fn(owner, help_file_.c_str(), command, data);
}

bool TApplication::HelpContext(int context) { return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(context)); }

void TApplication::AfterCreateForm(TCustomForm* form) {
  if (!main_form_) main_form_ = form;
  form->EnsureCreated();
  if (form->Visible() && !form->HandleAllocated()) form->Show();
}

void TApplication::Run() {
  if (terminated_) return;
  if (main_form_ && show_main_form_) main_form_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

bool TApplication::PreTranslate(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
      msg.message != WM_KEYUP && msg.message != WM_SYSCHAR)
    return false;
  // The control the key is for (a native control's inner window counts as the control).
  TWinControl* target = nullptr;
  for (HWND h = msg.hwnd; h && !target; h = GetParent(h)) target = TWinControl::FromHandle(h);
  if (!target) return false;
  TCustomForm* form = GetParentForm(target);
  static char eat_char = 0;

  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    eat_char = 0;
    WORD key = static_cast<WORD>(msg.wParam);
    TShiftState shift = KeyboardShiftState();
    // The message itself says when Alt came with the key.
    if (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29))) shift |= ssAlt;
    // A shortcut's key and its character go no further.
    if (IsMenuKey(target, key, shift)) return true;
    if (form && form->PreviewKeyDown(key, shift)) return true;
    if (!target->DoKeyDown(key, shift)) return true;
    msg.wParam = key;
    if (form && msg.message == WM_KEYDOWN && (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB)) {
      const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
      const bool wants = (code & DLGC_WANTALLKEYS) || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                         (code & DLGC_WANTMESSAGE);
      if (!wants && form->DialogKey(key, shift, target)) {
        eat_char = key == VK_RETURN ? '\r' : key == VK_ESCAPE ? '\x1b' : '\t';
        return true;
      }
    }
    return false;
  }
  if (msg.message == WM_SYSCHAR) {
    // Alt and a character: the accelerator of a control of the form.
    return form && form->DispatchDialogChar(static_cast<char>(msg.wParam));
  }
  if (msg.message == WM_CHAR) {
    char key = static_cast<char>(msg.wParam);
    if (eat_char && key == eat_char) {
      eat_char = 0;
      return true;
    }
    if (form && form->PreviewKeyPress(key)) return true;
    if (!target->DoKeyPress(key)) return true;
    msg.wParam = static_cast<unsigned char>(key);
    return false;
  }
  WORD key = static_cast<WORD>(msg.wParam);
  const TShiftState shift = KeyboardShiftState();
  if (form && form->KeyPreview() && form->OnKeyUp) {
    form->OnKeyUp(form, key, shift);
    if (key == 0) return true;
  }
  target->DoKeyUp(key, shift);
  return key == 0;
}

void TApplication::Dispatch(MSG& msg) {
  GuardCallback(this, [&] {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  });
}

void TApplication::HandleMessage() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return;
  }
  Dispatch(msg);
  RunQueued();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    Dispatch(msg);
  }
  RunQueued();
}

void TApplication::Queue(std::function<void()> fn) {
  {
    std::lock_guard<TCriticalSection> lock(g_queue_lock);
    queued_.push_back(std::move(fn));
  }
  // The hidden window must be the main thread's: another thread only posts
  // to it, or to the main thread itself while there is none yet (the loop
  // runs the queue after every message).
  if (GetCurrentThreadId() == MainThreadID())
    PostMessageA(Handle(), kRunQueued, 0, 0);
  else if (handle_)
    PostMessageA(handle_, kRunQueued, 0, 0);
  else
    PostThreadMessageA(MainThreadID(), kRunQueued, 0, 0);
}

void TApplication::RunQueued() {
  std::vector<std::function<void()>> now;
  {
    std::lock_guard<TCriticalSection> lock(g_queue_lock);
    now.swap(queued_);
  }
  for (auto& fn : now) GuardCallback(this, fn);
}

void TApplication::HandleException(TObject* sender) {
  // A failing handler must not take the program down with it.
  if (handling_exception_) return;
  handling_exception_ = true;
  try {
    try {
      throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
      if (OnException)
        OnException(sender, e);
      else
        ShowException(e);
    } catch (...) {
      Exception unknown("Unknown exception");
      if (OnException)
        OnException(sender, unknown);
      else
        ShowException(unknown);
    }
  } catch (...) {
  }
  handling_exception_ = false;
}

void TApplication::ShowException(const std::exception& e) {
  MessageBox(e.what(), "Unexpected Error", MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  if (g_seam && g_seam->message_box) return g_seam->message_box(text, caption, flags);
  HWND owner = GetActiveWindow();
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::SetMouseControl(TControl* control) {
  if (control == mouse_control_) return;
  TControl* old = mouse_control_;
  mouse_control_ = control;
  if (old) old->DispatchMouseLeave();
  // A leave handler may have moved on already.
  if (control && mouse_control_ == control) control->DispatchMouseEnter();
  if (mouse_control_ == control) UpdateHint(control);
}

void TApplication::UpdateHint(TControl* control) {
  std::string text;
  if (control && show_hint_ && control->ShowHint()) text = control->Hint().substr(0, control->Hint().find('|'));
  // The tool lives on the window that gets the mouse: the control's, or its parent's.
  HWND host = nullptr;
  RECT r{0, 0, 0, 0};
  if (control) {
    if (control->IsWindowed()) {
      auto* w = static_cast<TWinControl*>(control);
      host = w->HandleAllocated() ? w->Handle() : nullptr;
      r = w->ClientRect();
    } else if (control->Parent() && control->Parent()->HandleAllocated()) {
      host = control->Parent()->Handle();
      r = control->BoundsRect();
    }
  }
  if (text.empty() || !host) {
    if (hint_window_) {
      TOOLINFOA ti{};
      ti.cbSize = kToolInfoSize;
      while (SendMessageA(hint_window_, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)))
        SendMessageA(hint_window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    return;
  }
  if (!hint_window_) {
    LoadCommonControls();
    hint_window_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   Instance(), nullptr);
    if (!hint_window_) return;
  }
  TOOLINFOA old{};
  old.cbSize = kToolInfoSize;
  while (SendMessageA(hint_window_, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&old)))
    SendMessageA(hint_window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&old));
  TOOLINFOA ti{};
  ti.cbSize = kToolInfoSize;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = host;
  ti.uId = 1;
  ti.rect = r;
  ti.lpszText = text.data();
  SendMessageA(hint_window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageA(hint_window_, TTM_SETDELAYTIME, TTDT_AUTOPOP, hint_hide_pause_);
  SendMessageA(hint_window_, TTM_SETTIPBKCOLOR, ColorToRGB(hint_color_), 0);
}

void TApplication::ControlDestroying(TControl* control) {
  if (mouse_control_ == control) mouse_control_ = nullptr;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == main_form_) main_form_ = nullptr;
}

// ======================================================================
// TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}
int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::PixelsPerInch() const {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

HCURSOR TScreen::Cursors(TCursor cursor) const {
  auto it = cursors_.find(cursor);
  if (it != cursors_.end()) return it->second;
  if (auto l = cursor_loaders_.find(cursor); l != cursor_loaders_.end()) {
    const std::function<HCURSOR()> load = std::move(l->second);
    cursor_loaders_.erase(l);
    if (HCURSOR h = load()) return cursors_[cursor] = h;
  }
  LPCSTR id = IDC_ARROW;
  switch (cursor) {
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crNone: return nullptr;
    default: break;
  }
  return LoadCursor(nullptr, id);
}

void TScreen::SetCursors(TCursor cursor, HCURSOR handle) {
  cursor_loaders_.erase(cursor);
  if (handle)
    cursors_[cursor] = handle;
  else
    cursors_.erase(cursor);
}

void TScreen::SetCursorLoader(TCursor cursor, std::function<HCURSOR()> load) {
  cursors_.erase(cursor);
  cursor_loaders_[cursor] = std::move(load);
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (cursor != crDefault) {
    ::SetCursor(Cursors(cursor));
  } else {
    // Let the window under the pointer choose again.
    POINT pt;
    GetCursorPos(&pt);
    SetCursorPos(pt.x, pt.y);
  }
}

TCustomForm* TScreen::ActiveForm() const {
  HWND active = GetActiveWindow();
  for (TCustomForm* f : forms_)
    if (f->HandleAllocated() && f->Handle() == active) return f;
  return nullptr;
}

void TScreen::AddForm(TCustomForm* f) { forms_.push_back(f); }
void TScreen::RemoveForm(TCustomForm* f) { forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end()); }
