// GoogleTest's port settings for our Windows toolchain, found before GoogleTest's own
// (empty) file of this name. The toolchain's win32 thread model has no std::mutex or
// std::condition_variable, which GoogleTest's Notification is built on; this one is a
// flag polled by the waiting thread. Only GoogleTest's own thread helpers use it.
#pragma once

#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
#endif
