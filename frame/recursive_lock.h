// The module lock: a lock its holder may take again, as a critical section
// is. It guards only short copies, so a waiter yields its turn rather than
// sleeping, and an uncontended lock and unlock make one atomic exchange.
#pragma once

#include <atomic>
#include <thread>

namespace frame {

class RecursiveLock {
 public:
  void lock() {
    std::thread::id self = std::this_thread::get_id();
    // Only this thread ever stores its own id, so seeing it means holding.
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    while (!TryTake(self)) std::this_thread::yield();
    depth_ = 1;
  }

  void unlock() {
    if (--depth_ > 0) return;
    owner_.store(std::thread::id(), std::memory_order_release);
  }

 private:
  bool TryTake(std::thread::id self) {
    std::thread::id none;
    return owner_.load(std::memory_order_relaxed) == none &&
           owner_.compare_exchange_strong(none, self, std::memory_order_acquire, std::memory_order_relaxed);
  }

  std::atomic<std::thread::id> owner_{std::thread::id()};
  unsigned depth_ = 0;  // read and written only by the holder
};

}  // namespace frame
