#include "platform/user.h"

namespace platform {

char* CharUpperA(char* text) { return text == nullptr ? nullptr : ::CharUpperA(text); }

}  // namespace platform

namespace platform {

HCURSOR LoadCursorA(HINSTANCE module, const char* name) { return ::LoadCursorA(module, name); }
HCURSOR SetCursor(HCURSOR cursor) { return ::SetCursor(cursor); }
HCURSOR GetCursor() { return ::GetCursor(); }
BOOL GetCursorPos(POINT* point) { return ::GetCursorPos(point); }
BOOL SetCursorPos(int x, int y) { return ::SetCursorPos(x, y); }

}  // namespace platform
