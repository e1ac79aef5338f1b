// Internals of the POSIX code page layer shared between its files and its
// test seam.
#pragma once

#include <atomic>

#include "platform/codepage.h"

namespace platform {

bool IsDoubleByteCodePage(UINT codePage);
UINT CtypeLocaleCodePage(const CtypeLocale* locale);

// The process's ANSI code page: read once, or pinned by a test.
class AnsiCodePageStore {
 public:
  static UINT Current() {
    UINT pinned = override_.load(std::memory_order_relaxed);
    return pinned != 0 ? pinned : Load();
  }
  static void Pin(UINT codePage) { override_.store(codePage, std::memory_order_relaxed); }

 private:
  static UINT Load();
  static std::atomic<UINT> override_;
};

}  // namespace platform
