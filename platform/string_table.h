// The module's string resources.
#pragma once

#include "platform/types.h"

namespace platform {

// The string `id` of the module's string table in the process's ANSI code
// page, at most size-1 characters and a terminator; its length, 0 when the
// table has no such string (LoadString semantics).
int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size);

}  // namespace platform
