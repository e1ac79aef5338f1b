#include "platform/process.h"

namespace platform {

DWORD GetCurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace platform
