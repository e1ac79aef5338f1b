// A module-wide text computed at first use and kept for the life of the
// process once it is non-empty. Threads that race on the first use compute
// the same text; the lock only keeps the buffer from being written twice at
// once, and once kept the text is read without it.
#pragma once

#include <atomic>
#include <mutex>

namespace frame {

template <typename Char, size_t Capacity>
class KeptText {
 public:
  // `fill(buffer, Capacity)` writes a terminated text into the buffer.
  template <typename Fill>
  const Char* Get(Fill fill) {
    if (kept_.load(std::memory_order_acquire)) return text_;
    std::lock_guard<std::mutex> hold(filling_);
    if (!kept_.load(std::memory_order_relaxed)) {
      text_[0] = 0;
      fill(text_, Capacity);
      if (text_[0] == 0) return kEmpty;
      kept_.store(true, std::memory_order_release);
    }
    return text_;
  }

  // Replaces the text (a setter of a kept value, such as a log path).
  template <typename Fill>
  void Set(Fill fill) {
    std::lock_guard<std::mutex> hold(filling_);
    kept_.store(false, std::memory_order_relaxed);
    text_[0] = 0;
    fill(text_, Capacity);
    if (text_[0] != 0) kept_.store(true, std::memory_order_release);
  }

 private:
  static constexpr Char kEmpty[1] = {0};
  std::atomic<bool> kept_{false};
  std::mutex filling_;
  Char text_[Capacity] = {};
};

}  // namespace frame
