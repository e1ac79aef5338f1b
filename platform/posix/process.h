// The layer's stand-ins for kernel32's and ntdll's process functions, found
// by name through the system libraries' table.
#pragma once

#include "platform/process.h"

namespace platform {
namespace posix {

DWORD WINAPI GetProcessId(HANDLE process);
BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD* sessionId);
NTSTATUS WINAPI NtQueryInformationProcess(HANDLE process, int informationClass, void* information, ULONG length,
                                          ULONG* returned);

}  // namespace posix
}  // namespace platform
