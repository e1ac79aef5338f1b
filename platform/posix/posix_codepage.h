// Internals of the POSIX code page layer shared between its files and its
// test seam.
#pragma once

#include <unicode/ucnv.h>

#include <atomic>
#include <memory>

#include "platform/codepage.h"

namespace platform {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// An ICU converter for a Windows code page number, or null.
ConverterPtr OpenCodePageConverter(UINT codePage);

bool IsDoubleByteCodePage(UINT codePage);
UINT CtypeLocaleCodePage(const CtypeLocale* locale);

// Whether `byte` begins a two-byte character in `codePage`.
bool IsLeadByteOf(UINT codePage, BYTE byte);

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
