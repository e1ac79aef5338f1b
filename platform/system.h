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

// Runs routine(context) on a worker thread of the process and returns at
// once; WT_EXECUTELONGFUNCTION tells that the routine may block for long.
// FALSE, with the last error set, when no worker could take it.
BOOL QueueUserWorkItem(LPTHREAD_START_ROUTINE routine, void* context, ULONG flags);

// Packed as Windows packs it: major version in the low byte, minor in the
// next, build in the high word. The POSIX layer reports 6.1.
DWORD GetVersion();

// Only the metrics the library reads are answered; any other index gives 0,
// as Windows gives for an unknown index.
int GetSystemMetrics(int index);

}  // namespace platform

namespace platform {

// %NAME% replaced by the variable's value (names without regard to case);
// an unknown %NAME% stays as it is, both signs included. Returns the room needed, terminator
// included; when that exceeds `size` nothing is written. 0 on failure.
DWORD ExpandEnvironmentStringsA(const char* source, char* dest, DWORD size);

// The computer's name (at most 15 characters) and the user's. `size` is the
// room in, and the length out: without the terminator on success, the room
// needed when the buffer is too small (which fails).
BOOL GetComputerNameA(char* buffer, DWORD* size);
BOOL GetComputerNameW(WCHAR* buffer, DWORD* size);
// Like the computer name, but `size` out counts the terminator.
BOOL GetUserNameA(char* buffer, DWORD* size);
BOOL GetUserNameW(WCHAR* buffer, DWORD* size);

}  // namespace platform
