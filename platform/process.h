// The running process: its id, its session, and the functions the library
// looks up by name to ask about a process handle.
#pragma once

#include "platform/types.h"

namespace platform {

DWORD GetCurrentProcessId();

// The process basic information (information class 0), fields pointer-sized
// as the system lays them out.
struct ProcessBasicInformation {
  LONG_PTR exitStatus;
  void* pebBaseAddress;
  ULONG_PTR affinityMask;
  LONG_PTR basePriority;
  ULONG_PTR uniqueProcessId;
  ULONG_PTR inheritedFromUniqueProcessId;
};

// The signatures of kernel32's and ntdll's functions, as looked up by name.
typedef DWORD(WINAPI* GetProcessIdFunction)(HANDLE process);
typedef BOOL(WINAPI* ProcessIdToSessionIdFunction)(DWORD processId, DWORD* sessionId);
typedef LONG(WINAPI* NtQueryInformationProcessFunction)(HANDLE process, int informationClass,
                                                             void* information, ULONG length, ULONG* returned);

}  // namespace platform
