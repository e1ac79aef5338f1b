#include "support/guarded_memory.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

size_t PageSize() {
#ifdef _WIN32
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

}  // namespace

GuardedBytes::GuardedBytes(size_t size) : size_(size) {
  const size_t page = PageSize();
  const size_t usable = (size + page - 1) / page * page;
  mappingSize_ = usable + page;
#ifdef _WIN32
  mapping_ = VirtualAlloc(nullptr, mappingSize_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  DWORD previous;
  if (mapping_ == nullptr || !VirtualProtect(static_cast<char*>(mapping_) + usable, page, PAGE_NOACCESS, &previous)) {
    std::abort();
  }
#else
  mapping_ = mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED || mprotect(static_cast<char*>(mapping_) + usable, page, PROT_NONE) != 0) std::abort();
#endif
  data_ = static_cast<unsigned char*>(mapping_) + usable - size;
}

GuardedBytes::~GuardedBytes() {
#ifdef _WIN32
  VirtualFree(mapping_, 0, MEM_RELEASE);
#else
  munmap(mapping_, mappingSize_);
#endif
}

}  // namespace testing_support
