// The Windows libraries the POSIX layer stands in for, and the functions of
// each that can be looked up by name.
#pragma once

#include <stddef.h>

#include "platform/library.h"

namespace platform {
namespace posix {

struct SystemProc {
  const char* name;
  ProcAddress address;
};

struct SystemLibrary {
  const char* fileName;  // lower case, with its extension
  const SystemProc* procs;
  size_t procCount;
};

// The table, in system_libraries.cpp; each library's functions are the
// layer's own, with the Windows signatures.
const SystemLibrary* SystemLibraries(size_t* count);

}  // namespace posix
}  // namespace platform
