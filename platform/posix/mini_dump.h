// The layer's stand-in for the debugging library's dump writer, found by
// name in "dbghelp.dll" through the system libraries' table.
#pragma once

#include "platform/debug_help.h"

namespace platform {
namespace posix {

// Writes the platform's minidump of this process (the only one it can dump)
// into `file`, made readable by its owner alone first. Of the dump types,
// full memory (2) adds every readable mapping and indirect memory (0x40)
// what the stacks point to; handle data (4) is always there. Exception
// information and callbacks are not supported and are ignored.
BOOL WINAPI MiniDumpWriteDump(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                              MINIDUMP_EXCEPTION_INFORMATION* exception,
                              MINIDUMP_USER_STREAM_INFORMATION* userStreams,
                              MINIDUMP_CALLBACK_INFORMATION* callback);

}  // namespace posix
}  // namespace platform
