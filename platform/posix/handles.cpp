#include "platform/posix/handles.h"

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

// Handle values are multiples of four from four on, as Windows makes them.
const uintptr_t kHandleStep = 4;

class HandleTable {
 public:
  HANDLE Add(HandleEntry entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = slots_.size();
    if (free_.empty()) {
      slots_.push_back(std::move(entry));
    } else {
      slot = free_.back();
      free_.pop_back();
      slots_[slot] = std::move(entry);
    }
    return reinterpret_cast<HANDLE>((slot + 1) * kHandleStep);
  }

  HandleEntry Find(HANDLE handle, const std::type_info& kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    HandleEntry* entry = Slot(handle, kind);
    return entry != nullptr ? *entry : HandleEntry();
  }

  // The entry leaves the table under the lock but is destroyed after it,
  // so that closing a descriptor never holds up other threads' handles.
  HandleEntry Remove(HANDLE handle, const std::type_info& kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    HandleEntry* entry = Slot(handle, kind);
    if (entry == nullptr) return HandleEntry();
    HandleEntry removed = std::move(*entry);
    *entry = HandleEntry();
    free_.push_back(reinterpret_cast<uintptr_t>(handle) / kHandleStep - 1);
    return removed;
  }

 private:
  HandleEntry* Slot(HANDLE handle, const std::type_info& kind) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value % kHandleStep != 0 || value / kHandleStep > slots_.size()) return nullptr;
    HandleEntry& entry = slots_[value / kHandleStep - 1];
    if (!entry.object) return nullptr;
    const auto& object = *entry.object;
    return typeid(object) == kind ? &entry : nullptr;
  }

  std::mutex mutex_;
  std::vector<HandleEntry> slots_;
  std::vector<size_t> free_;
};

// Never destroyed: handles may still be closed while the process ends.
HandleTable& Table() {
  static HandleTable* table = new HandleTable();
  return *table;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<HandleObject> object, DWORD access) {
  return Table().Add(HandleEntry{std::move(object), access});
}

HandleEntry FindHandle(HANDLE handle, const std::type_info& kind) {
  HandleEntry entry = Table().Find(handle, kind);
  if (!entry.object) SetLastError(ERROR_INVALID_HANDLE);
  return entry;
}

bool RemoveHandle(HANDLE handle, const std::type_info& kind) {
  HandleEntry removed = Table().Remove(handle, kind);
  if (!removed.object) SetLastError(ERROR_INVALID_HANDLE);
  return removed.object != nullptr;
}

}  // namespace posix
}  // namespace platform
