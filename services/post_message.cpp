// The post-message pointer cache: blocks handed across window messages by a
// 32-bit key, owned by the cache until a sweep frees them.

#include "services/post_message.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "ovpb32.h"
#include "platform/system.h"

namespace services {
namespace {

constexpr DWORD kFirstCapacity = 256;
constexpr DWORD kGrowth = 50;
constexpr DWORD kExpiryAge = 10000;
constexpr DWORD kFreedKey = 0xFFFFFFFFu;

struct Entry {
  DWORD tick;
  void* pointer;
  DWORD key;
};

// The cache; every field is guarded by the spin flag `lock`.
struct PointerCache {
  std::atomic<DWORD> lock{0};
  Entry* entries = nullptr;
  DWORD capacity = 0;
  DWORD live = 0;
  DWORD keyCounter = 0;
};

PointerCache cache;
std::atomic<TickSource> tickSource{nullptr};

DWORD Now() {
  TickSource ticks = tickSource.load();
  return ticks != nullptr ? ticks() : platform::GetTickCount();
}

// Its sections are short and wait only for the allocator, so a thread that
// finds the flag taken yields its slice and tries again.
class CacheLock {
 public:
  CacheLock() {
    DWORD free = 0;
    while (!cache.lock.compare_exchange_weak(free, 1, std::memory_order_acquire)) {
      free = 0;
      platform::Sleep(0);
    }
  }
  ~CacheLock() { cache.lock.store(0, std::memory_order_release); }
  CacheLock(const CacheLock&) = delete;
  CacheLock& operator=(const CacheLock&) = delete;
};

// Room for one more block: the first free entry, growing the array when
// every entry holds one. Null when memory runs out.
Entry* FreeEntry() {
  if (cache.entries == nullptr) {
    cache.entries = static_cast<Entry*>(std::calloc(kFirstCapacity, sizeof(Entry)));
    if (cache.entries == nullptr) return nullptr;
    cache.capacity = kFirstCapacity;
  }
  for (DWORD index = 0; index < cache.capacity; ++index) {
    if (cache.entries[index].pointer == nullptr) return &cache.entries[index];
  }
  const DWORD grown = cache.capacity + kGrowth;
  auto* entries = static_cast<Entry*>(std::realloc(cache.entries, grown * sizeof(Entry)));
  if (entries == nullptr) return nullptr;
  std::memset(entries + cache.capacity, 0, kGrowth * sizeof(Entry));
  cache.entries = entries;
  Entry* first = &entries[cache.capacity];
  cache.capacity = grown;
  return first;
}

// The counter skips 0 and 0xFFFFFFFF when it wraps: they mark unused and
// freed entries.
DWORD NextKey() {
  ++cache.keyCounter;
  if (cache.keyCounter == kFreedKey) cache.keyCounter = 1;
  return cache.keyCounter;
}

// A block is kept while now lies in [tick, tick + 10000] on the wrapping
// clock as the comparison reads it.
bool Expired(const Entry& entry, DWORD now) {
  return !(entry.tick + kExpiryAge >= now && now >= entry.tick);
}

void Sweep(bool all) {
  if (cache.entries == nullptr || cache.live == 0) return;
  const DWORD now = Now();
  for (DWORD index = 0; index < cache.capacity; ++index) {
    Entry& entry = cache.entries[index];
    if (entry.pointer == nullptr || (!all && !Expired(entry, now))) continue;
    std::free(entry.pointer);
    entry.pointer = nullptr;
    entry.key = kFreedKey;
    --cache.live;
  }
}

}  // namespace

void SetPostMessageTicksForTesting(TickSource ticks) { tickSource.store(ticks); }

DWORD PostMessageCapacityForTesting() {
  CacheLock hold;
  return cache.entries == nullptr ? 0 : cache.capacity;
}

}  // namespace services

using services::CacheLock;
using services::cache;

// 0xFFFFFFFF, and the block stays the caller's, when the cache has no room.
extern "C" DWORD OVPB_API CachePostMessagePointer(void* block) {
  CacheLock hold;
  services::Entry* entry = services::FreeEntry();
  if (entry == nullptr) return services::kFreedKey;
  entry->pointer = block;
  entry->tick = services::Now();
  entry->key = services::NextKey();
  ++cache.live;
  return entry->key;
}

extern "C" void* OVPB_API AllocatePostMessagePointer(size_t size, DWORD* key) {
  void* block = std::calloc(1, size);
  DWORD given = services::kFreedKey;
  if (block != nullptr) {
    given = CachePostMessagePointer(block);
    if (given == services::kFreedKey) {
      std::free(block);
      block = nullptr;
    }
  }
  if (key != nullptr) *key = given;
  return block;
}

extern "C" void* OVPB_API GetPostMessagePointer(DWORD key) {
  CacheLock hold;
  for (DWORD index = 0; index < cache.capacity && cache.entries != nullptr; ++index) {
    if (cache.entries[index].key == key) return cache.entries[index].pointer;
  }
  return nullptr;
}

extern "C" void OVPB_API FlushPostMessagePointers() {
  CacheLock hold;
  services::Sweep(false);
}

extern "C" void OVPB_API CleanUpPostMessagePointers() {
  CacheLock hold;
  services::Sweep(true);
  std::free(cache.entries);
  cache.entries = nullptr;
  cache.capacity = 0;
}
