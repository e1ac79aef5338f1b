#include "platform/posix/system_libraries.h"

#include "platform/posix/icu_locale.h"
#include "platform/posix/mini_dump.h"
#include "platform/posix/process.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

template <typename Function>
ProcAddress Proc(Function function) {
  return reinterpret_cast<ProcAddress>(function);
}

const SystemProc kDbghelp[] = {
    {"MiniDumpWriteDump", Proc(&posix::MiniDumpWriteDump)},
};

const SystemProc kKernel32[] = {
    {"GetCurrentThreadId", Proc(&GetCurrentThreadId)},
    {"GetProcessId", Proc(&posix::GetProcessId)},
    {"GetTickCount", Proc(&GetTickCount)},
    {"LCIDToLocaleName", Proc(&LCIDToLocaleName)},
    {"ProcessIdToSessionId", Proc(&posix::ProcessIdToSessionId)},
};

const SystemProc kNtdll[] = {
    {"NtQueryInformationProcess", Proc(&posix::NtQueryInformationProcess)},
};

const SystemLibrary kLibraries[] = {
    {"dbghelp.dll", kDbghelp, sizeof kDbghelp / sizeof kDbghelp[0]},
    {"kernel32.dll", kKernel32, sizeof kKernel32 / sizeof kKernel32[0]},
    {"ntdll.dll", kNtdll, sizeof kNtdll / sizeof kNtdll[0]},
};

}  // namespace

const SystemLibrary* SystemLibraries(size_t* count) {
  *count = sizeof kLibraries / sizeof kLibraries[0];
  return kLibraries;
}

}  // namespace posix
}  // namespace platform
