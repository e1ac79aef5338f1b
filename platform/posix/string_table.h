// The library's string table, compiled from its .rc file at build time.
#pragma once

#include <stddef.h>

namespace platform {
namespace posix {

struct StringTableEntry {
  unsigned id;
  const char* text;  // UTF-8
};

extern const StringTableEntry kStringTable[];
extern const size_t kStringTableSize;

}  // namespace posix
}  // namespace platform
