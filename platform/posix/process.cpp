// The process as /proc shows it, answering the Windows functions that the
// library looks up by name. Only the calling process's pseudo-handle names a
// process here.

#include "platform/posix/process.h"

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace platform {
namespace {

// The text of a small /proc file, empty when it cannot be read.
std::string ReadProcFile(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "re")) {
    char block[512];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    std::fclose(file);
  }
  return text;
}

// Parent id and scheduling priority from /proc/self/stat; the command name
// in parentheses may hold blanks, so the fields are counted after its end.
void ReadStat(ULONG_PTR* parent, LONG_PTR* priority) {
  const std::string stat = ReadProcFile("/proc/self/stat");
  const size_t nameEnd = stat.rfind(')');
  long long fields[16] = {};
  char state = 0;
  if (nameEnd == std::string::npos ||
      std::sscanf(stat.c_str() + nameEnd + 1, " %c %lld %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lld",
                  &state, &fields[0], &fields[1]) != 3) {
    return;
  }
  *parent = static_cast<ULONG_PTR>(fields[0]);
  *priority = static_cast<LONG_PTR>(fields[1]);
}

ULONG_PTR AffinityMask() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 0;
  ULONG_PTR mask = 0;
  for (unsigned cpu = 0; cpu < sizeof(ULONG_PTR) * 8; ++cpu) {
    if (CPU_ISSET(cpu, &set)) mask |= ULONG_PTR{1} << cpu;
  }
  return mask;
}

bool IsThisProcess(HANDLE process) { return process == GetCurrentProcess(); }

}  // namespace

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

namespace posix {

DWORD WINAPI GetProcessId(HANDLE process) {
  if (!IsThisProcess(process)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return GetCurrentProcessId();
}

// The kernel's login session; a process outside any (the value -1) is in
// session 0, as Windows' services are.
BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD* sessionId) {
  if (sessionId == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string text = ReadProcFile("/proc/" + std::to_string(processId) + "/sessionid");
  if (text.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const unsigned long long session = std::strtoull(text.c_str(), nullptr, 10);
  *sessionId = session >= 0xFFFFFFFFull ? 0 : static_cast<DWORD>(session);
  return TRUE;
}

NTSTATUS WINAPI NtQueryInformationProcess(HANDLE process, int informationClass, void* information, ULONG length,
                                          ULONG* returned) {
  if (informationClass != 0) return STATUS_INVALID_INFO_CLASS;
  if (length != sizeof(ProcessBasicInformation) || information == nullptr) return STATUS_INFO_LENGTH_MISMATCH;
  if (!IsThisProcess(process)) return STATUS_INVALID_HANDLE;
  ProcessBasicInformation basic = {};
  basic.exitStatus = STATUS_PENDING;  // still running
  basic.affinityMask = AffinityMask();
  basic.uniqueProcessId = GetCurrentProcessId();
  ReadStat(&basic.inheritedFromUniqueProcessId, &basic.basePriority);
  std::memcpy(information, &basic, sizeof basic);
  if (returned != nullptr) *returned = sizeof basic;
  return 0;
}

}  // namespace posix
}  // namespace platform
