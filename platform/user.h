// Window-system services the library uses without a window: case mapping of
// narrow text as the window system does it, and the cursor.
#pragma once

#include "platform/types.h"

namespace platform {

// Upper-cases `text` in place through Unicode, character by character; a
// character whose upper case the code page cannot show stays. Returns text.
char* CharUpperA(char* text);

// A system cursor (module null, name IDC_WAIT and the like); null with
// ERROR_RESOURCE_NAME_NOT_FOUND for any other.
HCURSOR LoadCursorA(HINSTANCE module, const char* name);
// The calling thread's current cursor; SetCursor returns the one before and
// refuses an unknown handle (null, ERROR_INVALID_CURSOR_HANDLE).
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The pointer's position, one for the process.
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);

}  // namespace platform
