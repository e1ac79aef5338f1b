#include "platform/system.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/posix/posix_codepage.h"

namespace platform {
namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

DWORD GetVersion() {
  const DWORD major = 6, minor = 1, build = 7601;
  return major | (minor << 8) | (build << 16);
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_DBCSENABLED: return IsDoubleByteCodePage(GetACP()) ? 1 : 0;
    default: return 0;
  }
}

}  // namespace platform
