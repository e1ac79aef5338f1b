#include "support/test_thread.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#endif

namespace testing_support {

#ifdef _WIN32

namespace {

DWORD WINAPI RunBody(void* body) {
  std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
  (*owned)();
  return 0;
}

}  // namespace

TestThread::TestThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  handle_ = CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr);
  if (handle_ == nullptr) {
    const DWORD error = GetLastError();
    throw std::runtime_error("CreateThread failed with error " + std::to_string(error));
  }
  owned.release();  // the thread frees it
}

TestThread::TestThread(TestThread&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

TestThread& TestThread::operator=(TestThread&& other) noexcept {
  join();
  handle_ = std::exchange(other.handle_, nullptr);
  return *this;
}

void TestThread::join() {
  if (handle_ == nullptr) return;
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
}

#else

TestThread::TestThread(std::function<void()> body) : thread_(std::move(body)) {}

TestThread::TestThread(TestThread&& other) noexcept : thread_(std::move(other.thread_)) {}

TestThread& TestThread::operator=(TestThread&& other) noexcept {
  join();
  thread_ = std::move(other.thread_);
  return *this;
}

void TestThread::join() {
  if (thread_.joinable()) thread_.join();
}

#endif

TestThread::~TestThread() { join(); }

}  // namespace testing_support
