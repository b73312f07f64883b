// A thread of the test, over CreateThread: the toolchain's thread model has no std::thread.
// It runs the function at once and is joined when it goes, at the latest.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>

class TestThread {
 public:
  explicit TestThread(std::function<void()> body);
  ~TestThread();
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;

  // Waits until the function has returned.
  void Join();

 private:
  static DWORD WINAPI Run(void* body);

  std::unique_ptr<std::function<void()>> body_;  // read by the thread until it ends
  HANDLE thread_ = nullptr;
};
