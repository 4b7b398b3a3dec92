// The application object (title, help file, message loop, exception box),
// the screen (cursor table), the exception boundary and the test seams.
//
// Exceptions: no C++ exception crosses into the system. Every Win32
// callback of the layer and of the controls (window procedures, timers,
// hooks, sort and browse callbacks, the worker's synchronous call) runs its
// body through GuardCallback, the one boundary; see its comment at the end.
// The message loop's dispatch step is guarded the same way, for the key
// handlers it runs itself. What reaches the application goes through
// HandleException: OnException when set, else the default box: the
// message, caption "Unexpected Error", error icon, OK. EAbort is silent.
//
// Test seams: Application->MessageBox, help calls, ShellExecute through
// LkShellExecute and TCustomForm::ShowModal ask the installed TUiSeam first
// (null in the shipped programs, so they do what the system does). A test
// records the texts and returns a scripted answer.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "base/component.h"
#include "base/events.h"
#include "forms/win/graphics.h"

class TCustomForm;
class TControl;

using TExceptionEvent = TEvent<void(TObject* sender, const std::exception& e)>;

// What a test installs to answer the program's boxes and shell calls. Each
// hook that is empty lets the real call happen.
struct TUiSeam {
  // A message box: return the button pressed (IDOK, IDYES ...).
  std::function<int(const std::string& text, const std::string& caption, UINT flags)> message_box;
  // A modal form about to show: return true to answer it without showing,
  // with `result` as its ModalResult.
  std::function<bool(TCustomForm& form, int& result)> show_modal;
  // WinHelp(file, command, data): return its BOOL.
  std::function<bool(const std::string& file, UINT command, ULONG_PTR data)> help;
  // ShellExecute(verb, file, params, dir, show): return the instance value (> 32 is success).
  std::function<intptr_t(const std::string& verb, const std::string& file, const std::string& params,
                         const std::string& dir, int show)>
      shell_execute;
};
// The installed seam; null outside tests.
TUiSeam* UiSeam();
void SetUiSeam(TUiSeam* seam);

// ShellExecuteA through the seam.
intptr_t LkShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                        const std::string& dir, int show);

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  HINSTANCE Instance() const;
  // A hidden window that owns popup menus and receives their commands,
  // made by the first call (in the main thread).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Runs fn on the hidden window now if it exists, else as soon as it is made.
  void WhenHandleCreated(std::function<void(HWND)> fn);

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  const std::string& HelpFile() const { return help_file_; }
  void SetHelpFile(const std::string& file) { help_file_ = file; }
  bool HelpContext(int context);  // opens the help file at a topic
  bool HelpCommand(UINT command, ULONG_PTR data);

  // Creates a form owned by the application; the first becomes the main form.
  template <class T>
  T* CreateForm(T*& ref) {
    ref = new T(this);
    AfterCreateForm(ref);
    return ref;
  }
  template <class T>
  T* CreateForm() {
    T* f = nullptr;
    return CreateForm(f);
  }
  TCustomForm* MainForm() const { return main_form_; }
  void SetMainForm(TCustomForm* form) { main_form_ = form; }
  bool ShowMainForm() const { return show_main_form_; }
  void SetShowMainForm(bool on) { show_main_form_ = on; }

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // Handles every queued message, then returns.
  void ProcessMessages();
  // Waits for and handles one message (the loop of modal forms).
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Call inside a catch block: routes the current exception.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  TExceptionEvent OnException;

  // A message box owned by the active form (through the seam).
  int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);

  TColor HintColor() const { return hint_color_; }
  void SetHintColor(TColor color) { hint_color_ = color; }
  int HintHidePause() const { return hint_hide_pause_; }
  void SetHintHidePause(int ms) { hint_hide_pause_ = ms; }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool on) { show_hint_ = on; }

  // The tooltip window that shows the hint of the control under the mouse
  // (the text before any "|"), when the control's ShowHint (its own, or
  // its parent's while ParentShowHint) is on; null until a hint was shown.
  HWND HintWindow() const { return hint_window_; }

  // The control under the mouse (windowless ones included); the window
  // layer keeps it to send enter and leave.
  TControl* MouseControl() const { return mouse_control_; }
  void SetMouseControl(TControl* control);
  void ControlDestroying(TControl* control);

  // Runs fn in the main thread on the next pass of the message loop.
  void Queue(std::function<void()> fn);
  // Runs what was queued so far (the message loop does this after each message).
  void RunQueued();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void AfterCreateForm(TCustomForm* form);
  // The one dispatch step of both loops: key handling, then the window.
  void Dispatch(MSG& msg);
  bool PreTranslate(MSG& msg);
  std::string title_;
  std::string help_file_;
  TCustomForm* main_form_ = nullptr;
  bool show_main_form_ = true;
  bool terminated_ = false;
  bool handling_exception_ = false;
  TColor hint_color_ = clInfoBk;
  int hint_hide_pause_ = 2500;
  bool show_hint_ = true;
  HWND handle_ = nullptr;
  std::vector<std::function<void(HWND)>> on_handle_created_;
  HWND hint_window_ = nullptr;
  TControl* mouse_control_ = nullptr;
  void UpdateHint(TControl* control);
  std::vector<std::function<void()>> queued_;
};

extern TApplication* Application;

// Creates Application and Screen when they do not exist yet (for start-up
// code of other units that may run before ours).
void EnsureFormsGlobals();

// The screen: its size, the cursor table and the global cursor.
class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner);
  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
  // The cursor of a number: our registered ones, or the system's.
  HCURSOR Cursors(TCursor cursor) const;
  void SetCursors(TCursor cursor, HCURSOR handle);
  // Registers a cursor that is loaded when first asked for (a null result
  // leaves the system's); SetCursors for the number replaces it.
  void SetCursorLoader(TCursor cursor, std::function<HCURSOR()> load);
  // Overrides every control's cursor (crHourGlass during long work); crDefault ends it.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TCustomForm* ActiveForm() const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int i) const { return forms_.at(i); }
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);

 private:
  mutable std::map<TCursor, HCURSOR> cursors_;
  mutable std::map<TCursor, std::function<HCURSOR()>> cursor_loaders_;
  TCursor cursor_ = crDefault;
  std::vector<TCustomForm*> forms_;
};

extern TScreen* Screen;

// The exception boundary. A Win32 callback runs its body as
// GuardCallback(..., fn) and returns what fn returned, or a value-initialised
// result (0, FALSE, nothing) when fn threw. What fn threw goes
//  - with a sender: to the application (HandleException, the box), at once;
//  - with a TCallbackError: into it, for our own code that waits right behind
//    the system call which made the callback (a sort, a synchronous call from
//    a worker) to raise again once that call has returned.
class TCallbackError {
 public:
  bool Failed() const { return error_ != nullptr; }
  // Raises the kept exception again (nothing when there is none).
  void RaiseAgain() const {
    if (error_) std::rethrow_exception(error_);
  }
  void Keep(std::exception_ptr error) { error_ = std::move(error); }

 private:
  std::exception_ptr error_;
};

namespace lk_boundary {
template <class F, class OnError>
auto Run(F& fn, OnError&& on_error) noexcept -> std::invoke_result_t<F&> {
  try {
    return fn();
  } catch (...) {
    on_error();  // inside the handler: the exception is still current
  }
  if constexpr (!std::is_void_v<std::invoke_result_t<F&>>) return {};
}
}  // namespace lk_boundary

template <class F>
auto GuardCallback(TObject* sender, F&& fn) noexcept {
  return lk_boundary::Run(fn, [sender] {
    if (Application) Application->HandleException(sender);
  });
}

template <class F>
auto GuardCallback(TCallbackError& error, F&& fn) noexcept {
  return lk_boundary::Run(fn, [&error] { error.Keep(std::current_exception()); });
}
