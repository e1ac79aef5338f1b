// Message boxes. A test can observe every box instead of showing it.
#pragma once

#include "platform/types.h"

namespace platform {

// Shows a modal box and waits for it to close. On POSIX, where there may be
// no screen, the box is one line "<caption>: <text>" on standard error.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style);

using MessageBoxObserver = void (*)(const char* caption, const char* text, UINT style);

// Test seam: while an observer is set, every box reaches it, and on Windows
// no window is shown. Pass null to restore the normal box.
void SetMessageBoxObserver(MessageBoxObserver observer);

}  // namespace platform
