// Memory of often made and dropped objects, kept when freed for the next
// object of the same size, so that making one allocates nothing once the
// first has been dropped.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>

namespace platform {

// Blocks kept for any thread (open files behind handles, which one thread
// may open and another close).

template <size_t Size, size_t Alignment>
class FreeBlocks {
 public:
  static FreeBlocks& Instance() {
    static FreeBlocks blocks;
    return blocks;
  }
  void* Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_ > 0 ? blocks_[--count_] : nullptr;
  }
  // False when enough are kept already: the caller frees the block.
  bool Keep(void* block) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == kKept) return false;
    blocks_[count_++] = block;
    return true;
  }

 private:
  static constexpr size_t kKept = 64;
  std::mutex mutex_;
  void* blocks_[kKept] = {};
  size_t count_ = 0;
};

// For std::allocate_shared: single objects come from and go back to the
// free blocks of their size.
template <typename T>
struct RecyclingAllocator {
  using value_type = T;
  using Blocks = FreeBlocks<sizeof(T), alignof(T)>;

  RecyclingAllocator() = default;
  template <typename U>
  RecyclingAllocator(const RecyclingAllocator<U>&) {}

  T* allocate(size_t count) {
    void* block = count == 1 ? Blocks::Instance().Take() : nullptr;
    return block != nullptr ? static_cast<T*>(block) : std::allocator<T>().allocate(count);
  }
  void deallocate(T* object, size_t count) {
    if (count != 1 || !Blocks::Instance().Keep(object)) std::allocator<T>().deallocate(object, count);
  }
};

template <typename T, typename U>
bool operator==(const RecyclingAllocator<T>&, const RecyclingAllocator<U>&) { return true; }
template <typename T, typename U>
bool operator!=(const RecyclingAllocator<T>&, const RecyclingAllocator<U>&) { return false; }

// One block kept per thread, for objects a thread makes and drops at a rate
// where even an uncontended lock would cost more than the rest of the work
// (the address lists of look-ups).
class ThreadKeptBlock {
 public:
  ~ThreadKeptBlock() { ::operator delete(block_); }
  void* Take() { return std::exchange(block_, nullptr); }
  // False when a block is kept already: the caller frees the block.
  bool Keep(void* block) {
    if (block_ != nullptr) return false;
    block_ = block;
    return true;
  }

 private:
  void* block_ = nullptr;
};

}  // namespace platform
