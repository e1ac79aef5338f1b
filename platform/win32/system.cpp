#include "platform/system.h"

namespace platform {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD error) { ::SetLastError(error); }
DWORD GetCurrentThreadId() { return ::GetCurrentThreadId(); }
DWORD GetTickCount() { return ::GetTickCount(); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
BOOL QueueUserWorkItem(LPTHREAD_START_ROUTINE routine, void* context, ULONG flags) {
  return ::QueueUserWorkItem(routine, context, flags);
}
DWORD GetVersion() { return ::GetVersion(); }
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

}  // namespace platform
