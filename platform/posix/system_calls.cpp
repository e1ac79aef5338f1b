#include "platform/posix/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/posix/fault_injection.h"

namespace platform {
namespace posix {
namespace {

struct ArmedFault {
  unsigned first = 0;  // 0: none armed for this kind
  unsigned last = 0;
  Fault fault = Fault::kDeviceError;
  unsigned calls = 0;
  unsigned made = 0;
};

enum FaultState { kUnread, kDisarmed, kArmed };  // kUnread: OVPB_FAULTS not looked at yet

// Constant-initialised, so nothing runs before the first check.
struct FaultTable {
  std::atomic<int> state{kUnread};
  std::mutex lock;
  ArmedFault kinds[static_cast<int>(SystemCall::kKinds)];
};
FaultTable faults;

void ArmLocked(SystemCall call, unsigned nth, Fault fault, unsigned times) {
  ArmedFault& kind = faults.kinds[static_cast<int>(call)];
  kind = ArmedFault();
  kind.first = nth == 0 ? 1 : nth;
  kind.last = times > UINT_MAX - kind.first ? UINT_MAX : kind.first + times - 1;
  kind.fault = fault;
  faults.state.store(kArmed, std::memory_order_relaxed);
}

template <size_t N, typename Value>
bool Named(const char* const (&names)[N], const char* text, Value* value) {
  auto same = [text](const char* name) { return std::strcmp(name, text) == 0; };
  const char* const* found = std::find_if(names, names + N, same);
  *value = static_cast<Value>(found - names);
  return found != names + N;
}

// OVPB_FAULTS arms a child process the way a test arms itself:
// "CALL:NTH:FAULT[:TIMES]", several separated by commas, for example
// "rename:2:ENOSPC,read:1:EIO".
void ArmFromEnvironmentLocked() {
  static const char* const kCalls[] = {"open", "read", "write", "rename", "fsync", "lookup"};
  static const char* const kFaults[] = {"ENOSPC", "EIO", "EINTR", "short"};
  faults.state.store(kDisarmed, std::memory_order_relaxed);
  const char* setting = std::getenv("OVPB_FAULTS");
  for (const char* item = setting; item != nullptr && *item != '\0'; item = std::strchr(item, ',')) {
    item += *item == ',' ? 1 : 0;
    char call[8], fault[8];
    unsigned nth = 0, times = 1;
    SystemCall kind;
    Fault made;
    if (std::sscanf(item, "%7[a-z]:%u:%7[A-Za-z]:%u", call, &nth, fault, &times) >= 3 && Named(kCalls, call, &kind) &&
        Named(kFaults, fault, &made) && nth != 0 && times != 0) {
      ArmLocked(kind, nth, made, times);
    }
  }
}

int ErrorOf(Fault fault) {
  switch (fault) {
    case Fault::kDiskFull: return ENOSPC;
    case Fault::kInterrupted: return EINTR;
    default: return EIO;
  }
}

// The fault this call of `call` is to suffer, if any.
bool FaultFor(SystemCall call, Fault* fault) {
  if (faults.state.load(std::memory_order_relaxed) == kDisarmed) return false;
  std::lock_guard<std::mutex> hold(faults.lock);
  if (faults.state.load(std::memory_order_relaxed) == kUnread) ArmFromEnvironmentLocked();
  ArmedFault& kind = faults.kinds[static_cast<int>(call)];
  if (kind.first == 0) return false;
  ++kind.calls;
  if (kind.calls < kind.first || kind.calls > kind.last) return false;
  ++kind.made;
  *fault = kind.fault;
  return true;
}

// -1 with errno set when an armed fault fails this call; 0 to go on.
int Injected(SystemCall call) {
  Fault fault;
  if (!FaultFor(call, &fault) || fault == Fault::kShortWrite) return 0;
  errno = ErrorOf(fault);
  return -1;
}

// How much of `size` this write may put down: half when it is to be short.
size_t WritableSize(size_t size, int* injected) {
  Fault fault;
  *injected = 0;
  if (!FaultFor(SystemCall::kWrite, &fault)) return size;
  if (fault == Fault::kShortWrite) return size > 1 ? size / 2 : size;
  errno = ErrorOf(fault);
  *injected = -1;
  return 0;
}

// Runs `operation` until no signal interrupts it.
template <typename Operation>
auto Restarted(SystemCall call, Operation operation) -> decltype(operation()) {
  for (;;) {
    if (Injected(call) != 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    auto result = operation();
    if (result >= 0 || errno != EINTR) return result;
  }
}

template <typename Operation>
ssize_t RestartedWrite(size_t size, Operation operation) {
  for (;;) {
    int injected = 0;
    size_t allowed = WritableSize(size, &injected);
    if (injected != 0 && errno == EINTR) continue;
    if (injected != 0) return -1;
    ssize_t put = operation(allowed);
    if (put >= 0 || errno != EINTR) return put;
  }
}

}  // namespace

void ArmFault(SystemCall call, unsigned nth, Fault fault, unsigned times) {
  std::lock_guard<std::mutex> hold(faults.lock);
  ArmLocked(call, nth, fault, times);
}

void DisarmFaults() {
  std::lock_guard<std::mutex> hold(faults.lock);
  for (ArmedFault& kind : faults.kinds) kind = ArmedFault();
  faults.state.store(kDisarmed, std::memory_order_relaxed);
}

unsigned FaultsMade(SystemCall call) {
  std::lock_guard<std::mutex> hold(faults.lock);
  return faults.kinds[static_cast<int>(call)].made;
}

namespace sys {

int Open(const char* path, int flags, mode_t mode) {
  return Restarted(SystemCall::kOpen, [&] { return ::open(path, flags, mode); });
}

ssize_t Read(int fd, void* buffer, size_t size) {
  return Restarted(SystemCall::kRead, [&] { return ::read(fd, buffer, size); });
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  int fd = Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  char block[4096];
  ssize_t got;
  while ((got = Read(fd, block, sizeof block)) > 0) bytes->append(block, static_cast<size_t>(got));
  close(fd);
  return got == 0;
}

ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) {
  return Restarted(SystemCall::kRead, [&] { return ::pread(fd, buffer, size, offset); });
}

ssize_t Write(int fd, const void* buffer, size_t size) {
  return RestartedWrite(size, [&](size_t allowed) { return ::write(fd, buffer, allowed); });
}

ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) {
  return RestartedWrite(size, [&](size_t allowed) { return ::pwrite(fd, buffer, allowed, offset); });
}

int Rename(const char* from, const char* to) {
  return Restarted(SystemCall::kRename, [&] { return ::rename(from, to); });
}

int RenameNoReplace(const char* from, const char* to) {
  return Restarted(SystemCall::kRename,
                   [&] { return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE); });
}

int Fsync(int fd) {
  return Restarted(SystemCall::kFsync, [&] { return ::fsync(fd); });
}

int Lstat(const char* path, struct stat* facts) {
  return Restarted(SystemCall::kLookUp, [&] { return ::lstat(path, facts); });
}

int Statx(int folderFd, const char* path, int flags, unsigned mask, struct statx* facts) {
  return Restarted(SystemCall::kLookUp, [&] { return ::statx(folderFd, path, flags, mask, facts); });
}

DIR* OpenDir(const char* path) {
  if (Restarted(SystemCall::kOpen, [] { return 0; }) != 0) return nullptr;
  return ::opendir(path);
}

dirent* ReadDir(DIR* folder) {
  if (Restarted(SystemCall::kRead, [] { return 0; }) != 0) return nullptr;
  return ::readdir(folder);
}

}  // namespace sys
}  // namespace posix
}  // namespace platform
