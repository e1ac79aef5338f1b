#include "platform/system.h"

#include <errno.h>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/posix/posix_codepage.h"

namespace platform {
namespace {
thread_local DWORD lastError = ERROR_SUCCESS;

// The kernel's id of the thread, asked once per thread (the log asks at
// every entry). The one thread of a forked child has an id of its own, so
// the child forgets the id it inherited.
thread_local DWORD threadId = 0;
void ForgetThreadId() { threadId = 0; }

struct WorkItem {
  LPTHREAD_START_ROUTINE routine;
  void* context;
};

void* RunWorkItem(void* argument) {
  const WorkItem item = *static_cast<WorkItem*>(argument);
  delete static_cast<WorkItem*>(argument);
  item.routine(item.context);
  return nullptr;
}
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD GetCurrentThreadId() {
  static const int forgetsInChild = pthread_atfork(nullptr, nullptr, ForgetThreadId);
  static_cast<void>(forgetsInChild);
  if (threadId == 0) threadId = static_cast<DWORD>(syscall(SYS_gettid));
  return threadId;
}

// The boot-time clock counts suspended time too, as the Windows tick does.
DWORD GetTickCount() {
  timespec now{};
#ifdef CLOCK_BOOTTIME
  clock_gettime(CLOCK_BOOTTIME, &now);
#else
  clock_gettime(CLOCK_MONOTONIC, &now);
#endif
  const uint64_t milliseconds =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(milliseconds);
}

// A sleep resumes after a signal for the time left.
void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

// Every item gets a detached thread of its own: the library queues the odd
// search that may block for minutes, not a stream of short tasks to pool.
BOOL QueueUserWorkItem(LPTHREAD_START_ROUTINE routine, void* context, ULONG) {
  auto* item = new (std::nothrow) WorkItem{routine, context};
  pthread_attr_t attributes;
  int error = item != nullptr ? pthread_attr_init(&attributes) : ENOMEM;
  if (error == 0) {
    pthread_t thread;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    error = pthread_create(&thread, &attributes, RunWorkItem, item);
    pthread_attr_destroy(&attributes);
  }
  if (error == 0) return TRUE;
  delete item;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}

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
