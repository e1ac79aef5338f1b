// Memory of often made and dropped objects (open files behind handles),
// kept when freed for the next object of the same size: an open and close
// allocate nothing once the first has run.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

namespace platform {
namespace posix {

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

}  // namespace posix
}  // namespace platform
