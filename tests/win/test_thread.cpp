#include "tests/win/test_thread.h"

TestThread::TestThread(std::function<void()> body)
    : body_(std::make_unique<std::function<void()>>(std::move(body))) {
  // The C runtime is msvcrt.dll, which sets up and frees its per-thread data itself, so
  // CreateThread serves as well as _beginthreadex here.
  thread_ = CreateThread(nullptr, 0, &TestThread::Run, body_.get(), 0, nullptr);
  // A test that cannot start its helper cannot go on; as std::thread would, stop here.
  if (thread_ == nullptr) std::terminate();
}

TestThread::~TestThread() {
  Join();
}

void TestThread::Join() {
  if (thread_ == nullptr) return;
  if (WaitForSingleObject(thread_, INFINITE) != WAIT_OBJECT_0) std::terminate();
  CloseHandle(thread_);
  thread_ = nullptr;
}

DWORD WINAPI TestThread::Run(void* body) {
  // An exception may not leave the thread: as with std::thread, the program ends.
  try {
    (*static_cast<std::function<void()>*>(body))();
  } catch (...) {
    std::terminate();
  }
  return 0;
}
