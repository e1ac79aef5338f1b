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

// What UnchangedSince needs of statx for the file at `path`, or 0 when the
// answer would not pay: the file was found changed within the current
// second, as a log written all the time is. Asking costs the file's writer:
// once a file's times have been read, the kernel may stamp its next write
// with the fine clock and so write the inode out again, and a read after it
// its access time.
unsigned ChangeTimeFacts(const char* path, const ClockReading& start);

// True when the file open on `fd` as `path`, whose `facts` (statx, with
// what ChangeTimeFacts asked for) were read after its share claim, cannot
// have been renamed or deleted since `start`. False when it may have been,
// or when its file system gives no such assurance: the caller looks at the
// name.
bool UnchangedSince(int fd, const char* path, const struct statx& facts, const ClockReading& start);

}  // namespace posix
}  // namespace platform
