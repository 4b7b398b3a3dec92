// GoogleTest's own hook for a platform's port. On the Windows side its
// Notification would need std::mutex and std::condition_variable, which the
// toolchain's C++ library lacks; this one waits on a Win32 event.
#pragma once

#if defined(_WIN32)
#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets a controlling thread hold threads it made until it says go.
class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event
};

}  // namespace internal
}  // namespace testing
#endif
