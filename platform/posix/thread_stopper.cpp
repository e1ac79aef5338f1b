#include "platform/posix/thread_stopper.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace platform {
namespace posix {
namespace {

enum HelperExit { kHelperWrote = 0, kHelperFailed = 1, kHelperRefused = 2 };

#if defined(__x86_64__)
void ContextFromRegisters(const user_regs_struct& registers, const user_fpregs_struct& floats,
                          minidump::ContextAmd64* context) {
  *context = {};
  context->contextFlags = minidump::kContextAmd64Full;
  context->mxCsr = floats.mxcsr;
  context->segCs = static_cast<uint16_t>(registers.cs);
  context->segDs = static_cast<uint16_t>(registers.ds);
  context->segEs = static_cast<uint16_t>(registers.es);
  context->segFs = static_cast<uint16_t>(registers.fs);
  context->segGs = static_cast<uint16_t>(registers.gs);
  context->segSs = static_cast<uint16_t>(registers.ss);
  context->eFlags = static_cast<uint32_t>(registers.eflags);
  context->rax = registers.rax, context->rcx = registers.rcx, context->rdx = registers.rdx;
  context->rbx = registers.rbx, context->rsp = registers.rsp, context->rbp = registers.rbp;
  context->rsi = registers.rsi, context->rdi = registers.rdi;
  context->r8 = registers.r8, context->r9 = registers.r9, context->r10 = registers.r10;
  context->r11 = registers.r11, context->r12 = registers.r12, context->r13 = registers.r13;
  context->r14 = registers.r14, context->r15 = registers.r15;
  context->rip = registers.rip;
  static_assert(sizeof floats == sizeof context->floatSave, "FXSAVE area");
  std::memcpy(context->floatSave, &floats, sizeof floats);
}

// Stops one thread and takes its registers; false when it could not be
// stopped (gone meanwhile, or refused).
bool Capture(ThreadCapture* thread) {
  if (RefusePtraceForTesting().load()) {
    errno = EPERM;
    return false;
  }
  if (ptrace(PTRACE_SEIZE, thread->thread, nullptr, nullptr) != 0) return false;
  thread->seized = true;
  int status = 0;
  if (ptrace(PTRACE_INTERRUPT, thread->thread, nullptr, nullptr) != 0) return false;
  while (waitpid(thread->thread, &status, __WALL) < 0) {
    if (errno != EINTR) return false;
  }
  if (!WIFSTOPPED(status)) return false;
  user_regs_struct registers;
  user_fpregs_struct floats;
  if (ptrace(PTRACE_GETREGS, thread->thread, nullptr, &registers) != 0 ||
      ptrace(PTRACE_GETFPREGS, thread->thread, nullptr, &floats) != 0) {
    return false;
  }
  ContextFromRegisters(registers, floats, &thread->context);
  thread->hasContext = true;
  return true;
}
#else
bool Capture(ThreadCapture*) {
  errno = EPERM;
  return false;
}
#endif

// The helper's work, in the forked copy: plain system calls only.
int RunHelper(const ProcessSnapshot& snapshot, DumpScratch& scratch, const DumpRequest& request) {
  bool anyStopped = false, refused = false;
  for (ThreadCapture& thread : scratch.threads) {
    if (thread.thread == snapshot.callerThread) continue;
    if (Capture(&thread)) {
      anyStopped = true;
    } else if (errno == EPERM) {
      refused = true;
    }
  }
  if (refused && !anyStopped) return kHelperRefused;
  const bool written = WriteMiniDump(snapshot, scratch, request);
  for (ThreadCapture& thread : scratch.threads) {
    if (thread.seized) ptrace(PTRACE_DETACH, thread.thread, nullptr, nullptr);
  }
  return written ? kHelperWrote : kHelperFailed;
}

int WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return kHelperRefused;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kHelperRefused;
}

}  // namespace

std::atomic<bool>& RefusePtraceForTesting() {
  static std::atomic<bool> refused{false};
  return refused;
}

StoppedWrite WriteWithThreadsStopped(const ProcessSnapshot& snapshot, DumpScratch& scratch,
                                     const DumpRequest& request) {
  int release[2];
  if (pipe2(release, O_CLOEXEC) != 0) return StoppedWrite::Refused;
  const pid_t helper = fork();
  if (helper == 0) {
    close(release[1]);
    char go = 0;
    ssize_t got;
    while ((got = read(release[0], &go, 1)) < 0 && errno == EINTR) {
    }
    _exit(got == 1 ? RunHelper(snapshot, scratch, request) : kHelperRefused);
  }
  close(release[0]);
  if (helper < 0) {
    close(release[1]);
    return StoppedWrite::Refused;
  }
  // Where the system lets only a process's ancestors trace it, the helper
  // needs this leave; elsewhere it changes nothing.
  prctl(PR_SET_PTRACER, helper, 0, 0, 0);
  (void)!write(release[1], "g", 1);
  close(release[1]);
  const int outcome = WaitFor(helper);
  prctl(PR_SET_PTRACER, 0, 0, 0, 0);
  if (outcome == kHelperWrote) return StoppedWrite::Written;
  return outcome == kHelperFailed ? StoppedWrite::Failed : StoppedWrite::Refused;
}

}  // namespace posix
}  // namespace platform
