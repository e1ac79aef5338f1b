// Process-wide facts of the platform: errors, threads, version, metrics.
#pragma once

#include "platform/types.h"

namespace platform {

DWORD GetLastError();
void SetLastError(DWORD error);

DWORD GetCurrentThreadId();

// Milliseconds since the system started, wrapping every 49.7 days.
DWORD GetTickCount();

// Suspends the calling thread for at least `milliseconds`; 0 gives up the
// rest of its time slice.
void Sleep(DWORD milliseconds);

// Packed as Windows packs it: major version in the low byte, minor in the
// next, build in the high word. The POSIX layer reports 6.1.
DWORD GetVersion();

// Only the metrics the library reads are answered; any other index gives 0,
// as Windows gives for an unknown index.
int GetSystemMetrics(int index);

}  // namespace platform
