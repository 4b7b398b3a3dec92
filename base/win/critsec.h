// The programs' lock: a critical section, which every system from Windows 95
// and NT 4.0 on carries out. The toolchain's C++ library has no std::mutex
// (its thread library would need calls those systems lack). It has the
// members std::lock_guard and std::unique_lock expect.
#pragma once

#include <windows.h>

class TCriticalSection {
 public:
  TCriticalSection() { InitializeCriticalSection(&section_); }
  ~TCriticalSection() { DeleteCriticalSection(&section_); }
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};
