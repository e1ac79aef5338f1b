#include "platform/posix/system_libraries.h"

#include "platform/posix/icu_locale.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

template <typename Function>
ProcAddress Proc(Function function) {
  return reinterpret_cast<ProcAddress>(function);
}

const SystemProc kKernel32[] = {
    {"GetCurrentThreadId", Proc(&GetCurrentThreadId)},
    {"GetTickCount", Proc(&GetTickCount)},
    {"LCIDToLocaleName", Proc(&LCIDToLocaleName)},
};

const SystemLibrary kLibraries[] = {
    {"kernel32.dll", kKernel32, sizeof kKernel32 / sizeof kKernel32[0]},
};

}  // namespace

const SystemLibrary* SystemLibraries(size_t* count) {
  *count = sizeof kLibraries / sizeof kLibraries[0];
  return kLibraries;
}

}  // namespace posix
}  // namespace platform
