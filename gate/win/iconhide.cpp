#include "gate/win/iconhide.h"

#include <windows.h>

#include "forms/win/application.h"

namespace {

bool hidden = false;
LONG savedExStyle = 0;
bool savedStyleRead = false;
bool waitingForWindow = false;

LONG SavedExStyle(HWND appWindow) {
  if (!savedStyleRead) {
    savedExStyle = GetWindowLongA(appWindow, GWL_EXSTYLE);
    savedStyleRead = true;
  }
  return savedExStyle;
}

void ApplyHidden(HWND app) {
  const LONG saved = SavedExStyle(app);
  // A tool window has no taskbar button; the style takes hold while hidden.
  const bool wasVisible = IsWindowVisible(app) != FALSE;
  ShowWindow(app, SW_HIDE);
  SetWindowLongA(app, GWL_EXSTYLE, hidden ? (saved | WS_EX_TOOLWINDOW | WS_EX_TOPMOST) : saved);
  if (wasVisible) ShowWindow(app, SW_SHOW);
}

}  // namespace

bool TaskbarButtonHidden() { return hidden; }

TIconHide::TIconHide(TComponent* owner) : TComponent(owner) {
  if (!(ComponentState() & csDesigning)) SetHidden(true);
}

bool TIconHide::Hidden() const { return hidden; }

void TIconHide::SetHidden(bool on) {
  if (on == hidden) return;
  hidden = on;
  if (ComponentState() & csDesigning || !Application) return;
  if (Application->HandleAllocated()) {
    ApplyHidden(Application->Handle());
  } else if (!waitingForWindow) {
    // The application's hidden window is made on its first use: it takes
    // the style then, as it stands at that moment.
    waitingForWindow = true;
    Application->WhenHandleCreated([](HWND app) {
      waitingForWindow = false;
      ApplyHidden(app);
    });
  }
}
