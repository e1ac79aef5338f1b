// Telling from an opened file's change time that no rename or delete has
// touched it since its open began, so that an open need not walk its path
// again to see that the name still names the file.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x4000U
#endif

namespace platform {
namespace posix {

// The moment an open began, on the clock the kernel stamps inode changes
// with, and the monotonic clock that shows whether that clock was set.
struct ClockReading {
  timespec wall;
  timespec monotonic;
};

ClockReading ReadChangeClock();

// What UnchangedSince needs of statx besides the basic facts.
const unsigned kChangeTimeFacts = STATX_MNT_ID_UNIQUE;

// True when the file open on `fd`, whose `facts` (statx) were read after its
// share claim, cannot have been renamed or deleted since `start`. False when it
// may have been, or when its file system gives no such assurance: the
// caller looks at the name.
bool UnchangedSince(int fd, const struct statx& facts, const ClockReading& start);

}  // namespace posix
}  // namespace platform
