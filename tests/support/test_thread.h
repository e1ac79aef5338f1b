// A joinable thread for the tests. On Windows it is the system's own thread:
// under Wine a runtime (std::thread) thread sometimes never started while
// other processes of the prefix came and went.
#pragma once

#include <functional>
#include <thread>

namespace testing_support {

class TestThread {
 public:
  // A thread that cannot be made throws, with the system's error code.
  explicit TestThread(std::function<void()> body);
  ~TestThread();  // joins
  TestThread(TestThread&& other) noexcept;
  TestThread& operator=(TestThread&& other) noexcept;

  void join();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  std::thread thread_;
#endif
};

}  // namespace testing_support
