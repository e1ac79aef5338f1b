#include "platform/thread.h"

namespace platform {

DWORD GetTickCount() { return ::GetTickCount(); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace platform
