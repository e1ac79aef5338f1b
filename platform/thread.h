// Time and waiting as the Windows kernel gives them: a millisecond tick count
// that wraps at 2^32, and a sleep of the calling thread.
#pragma once

#include "platform/types.h"

namespace platform {

// Milliseconds since an arbitrary start (the system's start on Windows),
// modulo 2^32; differences of two readings are elapsed times.
DWORD GetTickCount();

// Suspends the calling thread for at least `milliseconds`; 0 gives up the
// rest of its time slice.
void Sleep(DWORD milliseconds);

}  // namespace platform
