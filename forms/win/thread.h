// A worker thread whose synchronous call runs in the main thread.
//
// Synchronize hands a function to a hidden message-only window of the main
// thread with SendMessage: the main thread runs it whenever it pumps messages,
// in the application loop, a modal loop or a message box alike, and the
// worker waits until it is done.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>

#include "base/win/critsec.h"
#include "forms/win/application.h"

// The thread that runs main() and the message loop.
DWORD MainThreadID();
// Creates the main thread's hidden window for Synchronize; the first TThread
// made in the main thread does it, so a program need not call it.
void InitThreadSynchronization();

class TThread {
 public:
  // The thread starts at once unless `createSuspended`; then Start() runs it.
  explicit TThread(bool createSuspended = false);
  // Waits for the thread (pumping synchronous calls when on the main
  // thread). A derived class whose Execute touches its own members must stop
  // and WaitFor in its own destructor, while those members still exist.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits until Execute has returned. On the main thread it keeps serving
  // Synchronize calls meanwhile, so a worker blocked in one cannot deadlock it.
  void WaitFor();
  // True once Execute has returned (the OS thread may still be leaving).
  bool Finished() const;
  HANDLE Handle() const { return handle_; }
  DWORD ThreadID() const { return threadId_; }
  // An exception that escaped Execute, kept rather than ending the process.
  const TCallbackError& FatalException() const { return fatal_; }

  // The object deletes itself when Execute returns. If it has returned
  // already, it is deleted here, at once. Either way the caller must forget
  // it: there is no moment at which both sides may touch it.
  void FreeWhenFinished();

 protected:
  virtual void Execute() = 0;
  // Runs `fn` in the main thread and waits for it. An exception it raises is
  // raised again here, in the worker. Called on the main thread: runs directly.
  void Synchronize(const std::function<void()>& fn);

 private:
  static unsigned __stdcall ThreadProc(void* self);

  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  mutable TCriticalSection state_;
  bool started_ = false;
  bool finished_ = false;
  bool freeOnFinish_ = false;
  TCallbackError fatal_;
};
