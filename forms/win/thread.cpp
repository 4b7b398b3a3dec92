#include "forms/win/thread.h"

#include <process.h>

#include "base/sysutils.h"
#include "forms/win/application.h"

namespace {

constexpr UINT kSyncMessage = WM_APP + 0x51;

struct SyncCall {
  const std::function<void()>* fn;
  TCallbackError error;
  bool ran = false;
};

// Static initialisation runs on the thread that runs main(): the main thread.
const DWORD g_mainThread = GetCurrentThreadId();
HWND g_syncWindow = nullptr;

LRESULT CALLBACK SyncWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSyncMessage) {
    auto* call = reinterpret_cast<SyncCall*>(lp);
    call->ran = true;
    // Whatever it throws travels back to the worker; nothing crosses this frame.
    GuardCallback(call->error, *call->fn);
    return 1;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

bool OnMainThread() { return GetCurrentThreadId() == g_mainThread; }

}  // namespace

DWORD MainThreadID() { return g_mainThread; }

void InitThreadSynchronization() {
  // The window must belong to the main thread, which serves its messages.
  if (g_syncWindow || !OnMainThread()) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = SyncWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "LkSyncWindow";
  RegisterClassA(&wc);
  g_syncWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

TThread::TThread(bool createSuspended) {
  InitThreadSynchronization();
  if (!createSuspended) Start();
}

TThread::~TThread() {
  if (!handle_) return;
  if (GetCurrentThreadId() != threadId_) WaitFor();
  CloseHandle(handle_);
}

void TThread::Start() {
  if (handle_) return;
  {
    std::lock_guard<TCriticalSection> lock(state_);
    started_ = true;
  }
  unsigned id = 0;
  handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, 0, &id));
  if (!handle_) {
    std::lock_guard<TCriticalSection> lock(state_);
    started_ = false;
    throw EOSError("Thread creation error", GetLastError());
  }
  threadId_ = id;
}

unsigned __stdcall TThread::ThreadProc(void* p) {
  auto* self = static_cast<TThread*>(p);
  GuardCallback(self->fatal_, [self] { self->Execute(); });
  bool freeNow;
  {
    std::lock_guard<TCriticalSection> lock(self->state_);
    self->finished_ = true;
    freeNow = self->freeOnFinish_;
  }
  if (freeNow) delete self;
  return 0;
}

bool TThread::Finished() const {
  std::lock_guard<TCriticalSection> lock(state_);
  return finished_;
}

void TThread::FreeWhenFinished() {
  {
    std::lock_guard<TCriticalSection> lock(state_);
    if (started_ && !finished_) {
      freeOnFinish_ = true;
      return;
    }
  }
  delete this;
}

void TThread::WaitFor() {
  if (!handle_ || GetCurrentThreadId() == threadId_) return;
  if (!OnMainThread()) {
    WaitForSingleObject(handle_, INFINITE);
    return;
  }
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) return;
    // Serve a worker's Synchronize without taking posted messages off the queue.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void TThread::Synchronize(const std::function<void()>& fn) {
  if (OnMainThread()) {
    fn();
    return;
  }
  SyncCall call{&fn, {}, false};
  SendMessageA(g_syncWindow, kSyncMessage, 0, reinterpret_cast<LPARAM>(&call));
  if (!call.ran) throw Exception("The main thread did not take the synchronous call");
  call.error.RaiseAgain();
}
