// Stops the process's other threads to take their registers, from a helper
// process that attaches to each with ptrace (the caller permits it), writes
// the dump with plain system calls while they stand, and lets them go on.
// Nothing in this process takes a lock meanwhile: the calling thread only
// waits for the helper.
#pragma once

#include <atomic>

#include "platform/posix/mini_dump_writer.h"

namespace platform {
namespace posix {

enum class StoppedWrite {
  Written,
  Failed,   // the file could not be written
  Refused,  // no thread could be stopped: ptrace refused, or no helper
};

StoppedWrite WriteWithThreadsStopped(const ProcessSnapshot& snapshot, DumpScratch& scratch,
                                     const DumpRequest& request);

// Test seam: the helper behaves as if ptrace were refused.
std::atomic<bool>& RefusePtraceForTesting();

}  // namespace posix
}  // namespace platform
