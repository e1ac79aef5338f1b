#include "platform/posix/mini_dump.h"

#include <sys/stat.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/open_file.h"
#include "platform/posix/thread_stopper.h"
#include "platform/process.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

#if defined(__x86_64__)
uint16_t SegmentRegister(int which) {
  uint16_t value = 0;
  switch (which) {
    case 0: asm("mov %%cs, %0" : "=r"(value)); break;
    case 1: asm("mov %%ss, %0" : "=r"(value)); break;
    case 2: asm("mov %%ds, %0" : "=r"(value)); break;
    default: asm("mov %%es, %0" : "=r"(value)); break;
  }
  return value;
}

void ContextFromUcontext(const ucontext_t& own, minidump::ContextAmd64* context) {
  const greg_t* registers = own.uc_mcontext.gregs;
  *context = {};
  context->contextFlags = minidump::kContextAmd64Full;
  context->segCs = SegmentRegister(0), context->segSs = SegmentRegister(1);
  context->segDs = SegmentRegister(2), context->segEs = SegmentRegister(3);
  context->eFlags = static_cast<uint32_t>(registers[REG_EFL]);
  context->rax = registers[REG_RAX], context->rcx = registers[REG_RCX], context->rdx = registers[REG_RDX];
  context->rbx = registers[REG_RBX], context->rsp = registers[REG_RSP], context->rbp = registers[REG_RBP];
  context->rsi = registers[REG_RSI], context->rdi = registers[REG_RDI];
  context->r8 = registers[REG_R8], context->r9 = registers[REG_R9], context->r10 = registers[REG_R10];
  context->r11 = registers[REG_R11], context->r12 = registers[REG_R12], context->r13 = registers[REG_R13];
  context->r14 = registers[REG_R14], context->r15 = registers[REG_R15];
  context->rip = registers[REG_RIP];
  if (own.uc_mcontext.fpregs != nullptr) {
    context->mxCsr = own.uc_mcontext.fpregs->mxcsr;
    std::memcpy(context->floatSave, own.uc_mcontext.fpregs, sizeof context->floatSave);
  }
}
#endif

bool IsThisProcess(HANDLE process, DWORD processId) {
  return process == GetCurrentProcess() && processId == GetCurrentProcessId();
}

}  // namespace

BOOL WINAPI MiniDumpWriteDump(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                              MINIDUMP_EXCEPTION_INFORMATION*, MINIDUMP_USER_STREAM_INFORMATION* userStreams,
                              MINIDUMP_CALLBACK_INFORMATION*) {
#if defined(__x86_64__)
  if (!IsThisProcess(process, processId)) return Fail(ERROR_INVALID_PARAMETER);
  unsigned rights = 0;
  std::shared_ptr<OpenFile> open = FileOfHandle(file, &rights);
  if (open == nullptr) return Fail(ERROR_INVALID_HANDLE);
  if (!(rights & kShareWrite)) return Fail(ERROR_ACCESS_DENIED);
  // It will hold the process's memory: its owner's alone before any byte.
  if (fchmod(open->fd(), 0600) != 0) return Fail(WindowsErrorFromErrno(errno, {}));

  ProcessSnapshot snapshot = TakeProcessSnapshot((type & kMiniDumpWithFullMemory) != 0);
  DumpScratch scratch(snapshot, userStreams);
  DumpRequest request;
  request.fd = open->fd();
  request.type = static_cast<DWORD>(type) | kMiniDumpWithHandleData;
  request.userStreams = userStreams;
  // The caller's registers here, in a frame that stays while the dump is written.
  ucontext_t own;
  getcontext(&own);
  for (ThreadCapture& thread : scratch.threads) {
    if (thread.thread != snapshot.callerThread) continue;
    ContextFromUcontext(own, &thread.context);
    thread.hasContext = true;
  }
  StoppedWrite outcome = WriteWithThreadsStopped(snapshot, scratch, request);
  if (outcome == StoppedWrite::Refused) {
    // The other threads by id only; the memory is this process's own.
    outcome = WriteMiniDump(snapshot, scratch, request) ? StoppedWrite::Written : StoppedWrite::Failed;
  }
  if (outcome != StoppedWrite::Written) return Fail(outcome == StoppedWrite::Failed ? ERROR_WRITE_FAULT : ERROR_GEN_FAILURE);
  return TRUE;
#else
  return Fail(ERROR_NOT_SUPPORTED);
#endif
}

}  // namespace posix
}  // namespace platform
