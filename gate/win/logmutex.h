// The named mutex around every load-change-save of the log file.
#pragma once

#include <windows.h>

#include "shared/core/logrecord.h"

class TLogFileLock {
 public:
  // Waits up to `timeoutMs`; an abandoned mutex is taken over.
  explicit TLogFileLock(DWORD timeoutMs = 30000) {
    handle_ = CreateMutexA(nullptr, FALSE, kLogMutexName);
    if (handle_) {
      const DWORD r = WaitForSingleObject(handle_, timeoutMs);
      owned_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
  }
  ~TLogFileLock() {
    if (owned_) ReleaseMutex(handle_);
    if (handle_) CloseHandle(handle_);
  }
  TLogFileLock(const TLogFileLock&) = delete;
  TLogFileLock& operator=(const TLogFileLock&) = delete;
  bool Owned() const { return owned_; }

 private:
  HANDLE handle_ = nullptr;
  bool owned_ = false;
};
