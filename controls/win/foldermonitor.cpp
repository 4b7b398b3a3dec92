#include "controls/win/foldermonitor.h"

#include "controls/win/drawhelpers.h"
#include "controls/win/filecopy.h"
#include "base/sysutils.h"
#include "forms/win/application.h"
#include "forms/win/timer.h"

DWORD ChangeNotifyFlags(const TFileChangeFilters& filter) {
  static const DWORD values[] = {
      FILE_NOTIFY_CHANGE_FILE_NAME,   FILE_NOTIFY_CHANGE_DIR_NAME, FILE_NOTIFY_CHANGE_ATTRIBUTES,
      FILE_NOTIFY_CHANGE_SIZE,        FILE_NOTIFY_CHANGE_LAST_WRITE, FILE_NOTIFY_CHANGE_LAST_ACCESS,
      FILE_NOTIFY_CHANGE_CREATION,    FILE_NOTIFY_CHANGE_SECURITY,
  };
  DWORD flags = 0;
  for (TFileChangeFilter f : filter) flags |= values[f];
  return flags;
}

// ---- TNotifyThread ----

TNotifyThread::TNotifyThread(const std::string& folder, bool subtree, const TFileChangeFilters& filter,
                             std::function<void()> callback)
    : TThread(true), callback_(std::move(callback)) {
  notify_ = FindFirstChangeNotificationA(folder.c_str(), subtree, ChangeNotifyFlags(filter));
  if (notify_ == INVALID_HANDLE_VALUE)
    error_ = GetLastError();
  else
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Start();
}

TNotifyThread::~TNotifyThread() {
  callback_ = nullptr;
  Terminate();
  if (stop_) SetEvent(stop_);
  WaitFor();  // here, while the handles still exist (returns at once on the thread itself)
  if (notify_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(notify_);
  if (stop_) CloseHandle(stop_);
}

void TNotifyThread::Stop() {
  Terminate();
  if (stop_) SetEvent(stop_);
}

void TNotifyThread::Execute() {
  while (!Terminated() && notify_ != INVALID_HANDLE_VALUE) {
    HANDLE waits[2] = {notify_, stop_};
    const DWORD r = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) {
      if (!Terminated()) {
        // The callback is read in the main thread, where Stop clears it.
        Synchronize([this] {
          if (callback_) {
            std::function<void()> cb = callback_;
            cb();
          }
        });
      }
      if (!FindNextChangeNotification(notify_)) {
        error_ = GetLastError();
        break;
      }
    } else if (r == WAIT_OBJECT_0 + 1) {
      break;
    } else {
      error_ = GetLastError();
      break;
    }
  }
}

// ---- TLkFolderMonitor ----

TLkFolderMonitor::TLkFolderMonitor(TComponent* owner) : TComponent(owner) {}

TLkFolderMonitor::~TLkFolderMonitor() {
  OnChange = nullptr;
  CancelDelay();
  StopWatch();
}

void TLkFolderMonitor::StopWatch() {
  TNotifyThread* t = thread_;
  if (!t) return;
  thread_ = nullptr;
  t->SetCallback(nullptr);
  t->Stop();
  t->FreeWhenFinished();  // from here on the thread is its own
}

void TLkFolderMonitor::CancelDelay() {
  TTimer* t = delay_;
  delay_ = nullptr;
  delete t;
}

void TLkFolderMonitor::Restart(bool activate) {
  StopWatch();
  if (!activate) CancelDelay();  // a deactivated monitor reports nothing more
  if (!activate || !FolderExists(folderName_)) return;
  auto* t = new TNotifyThread(folderName_, subtree_, filter_, [this] { ThreadChange(); });
  if (const DWORD code = t->ErrorCode()) {
    delete t;
    CheckWin32Error(code);
  }
  thread_ = t;
}

void TLkFolderMonitor::SetActive(bool value) {
  requested_ = value;
  if (Loading()) return;
  // Asked again while a missing folder kept it off: try again.
  if (value != Active()) Restart(value);
}

void TLkFolderMonitor::Loaded() {
  TComponent::Loaded();
  if (requested_) Restart(true);
}

void TLkFolderMonitor::SetFolderName(const std::string& name) {
  if (name == folderName_) return;
  folderName_ = name;
  if (!Loading()) Restart(requested_);
}

void TLkFolderMonitor::SetMonitorSubtree(bool value) {
  if (value == subtree_) return;
  subtree_ = value;
  if (!Loading()) Restart(requested_);
}

void TLkFolderMonitor::SetFilter(const TFileChangeFilters& filter) {
  if (filter == filter_) return;
  const TFileChangeFilters old = filter_;
  const bool wasActive = Active();
  filter_ = filter;
  if (Loading()) return;
  try {
    Restart(requested_);
  } catch (...) {
    filter_ = old;
    if (wasActive) {
      try {
        Restart(true);
      } catch (...) {
      }
    }
    throw;
  }
}

void TLkFolderMonitor::SetDelayTime(int ms) {
  if (delay_) {
    if (ms != 0)
      delay_->SetInterval(static_cast<unsigned>(ms));
    else
      CancelDelay();
  }
  delayTime_ = ms;
}

void TLkFolderMonitor::ThreadChange() {
  // Runs in the main thread for the worker: what fails here is the
  // application's to show, not the worker's to die of.
  GuardCallback(this, [this] {
    if (delayTime_ == 0) {
      Change();
      return;
    }
    if (delay_) return;  // merged into the pending report
    delay_ = new TTimer(this);
    delay_->SetInterval(static_cast<unsigned>(delayTime_));
    delay_->SetOnTimer(TNotifyEvent(this, &TLkFolderMonitor::DelayFired));
    delay_->SetEnabled(true);
  });
}

void TLkFolderMonitor::DelayFired(TObject*) {
  CancelDelay();  // frees the timer inside its own handler; it touches nothing after this
  Change();
}

void TLkFolderMonitor::Change() {
  if (OnChange) {
    TNotifyEvent handler = OnChange;  // may free the monitor
    handler(this);
  }
}
