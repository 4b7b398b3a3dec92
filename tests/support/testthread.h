// A thread and a lock for tests that run on both sides. The Windows side's
// C++ library has no std::thread or std::mutex (the programs' toolchain
// leaves out the thread library that needs calls Windows 95 lacks), so there
// these are a Win32 thread and a critical section; natively the C++ library's.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#include <process.h>

#include "base/win/critsec.h"
using TTestLock = TCriticalSection;
#else
#include <mutex>
#include <thread>
using TTestLock = std::mutex;
#endif

// Runs `body` on a thread of its own from construction; join() (or the
// destructor) waits for it. Movable, so a vector can hold several.
class TTestThread {
 public:
  explicit TTestThread(std::function<void()> body) : body_(std::make_unique<std::function<void()>>(std::move(body))) {
#ifdef _WIN32
    handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Run, body_.get(), 0, nullptr));
#else
    thread_ = std::thread(*body_);
#endif
  }
#ifdef _WIN32
  TTestThread(TTestThread&& other) noexcept
      : body_(std::move(other.body_)), handle_(std::exchange(other.handle_, nullptr)) {}
#else
  TTestThread(TTestThread&& other) noexcept = default;
#endif
  TTestThread& operator=(TTestThread&&) = delete;
  TTestThread(const TTestThread&) = delete;
  ~TTestThread() { join(); }

  void join() {
#ifdef _WIN32
    if (!handle_) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
#else
    if (thread_.joinable()) thread_.join();
#endif
  }

 private:
  std::unique_ptr<std::function<void()>> body_;  // stays put while the thread runs
#ifdef _WIN32
  static unsigned __stdcall Run(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
  }
  HANDLE handle_ = nullptr;
#else
  std::thread thread_;
#endif
};
