// Window-system services the library uses without a window: case mapping of
// narrow text as the window system does it, and the cursor.
#pragma once

#include "platform/types.h"

namespace platform {

// Upper-cases `text` in place through Unicode, character by character; a
// character whose upper case the code page cannot show stays. Returns text.
char* CharUpperA(char* text);

}  // namespace platform
