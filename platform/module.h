// The library's own module: which file it was loaded from.
#pragma once

#include "platform/types.h"

namespace platform {

// The module whose image contains `address` (VirtualQuery's allocation base
// on Windows). Null when the address belongs to no loaded module.
HMODULE ModuleFromAddress(const void* address);

// Full path of the module's file, truncated to size-1 units; returns the
// length written, 0 on failure (GetModuleFileName semantics).
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size);

}  // namespace platform
