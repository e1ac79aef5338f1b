// Failures made on purpose under the file functions, for tests only: the
// Nth call of one kind, counted from when the fault is armed, fails as the
// system would make it fail, so a test can see what a full disk, a failing
// device or a signal leaves behind. A child process is armed through
// OVPB_FAULTS instead ("CALL:NTH:FAULT[:TIMES]", several separated by
// commas; CALL is open, read, write, rename, fsync or lookup, FAULT is
// ENOSPC, EIO, EINTR or short), read at its first file call.
#pragma once

#include <climits>

namespace platform {
namespace posix {

enum class SystemCall { kOpen, kRead, kWrite, kRename, kFsync, kLookUp, kKinds };

enum class Fault {
  kDiskFull,     // ENOSPC
  kDeviceError,  // EIO
  kInterrupted,  // EINTR, which the layer retries
  kShortWrite,   // a write that puts down half of what it was given
};

// Calls nth .. nth + times - 1 of `call` fail; earlier and later ones run.
// Arming one kind restarts its count and leaves the other kinds as they are.
void ArmFault(SystemCall call, unsigned nth, Fault fault, unsigned times = 1);
void DisarmFaults();
// How many calls of `call` failed on purpose since it was armed.
unsigned FaultsMade(SystemCall call);

}  // namespace posix
}  // namespace platform
