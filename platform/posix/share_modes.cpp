#include "platform/posix/share_modes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <time.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace platform {
namespace posix {
namespace {

// The lock bytes: far past any real data, so that no read or write meets them.
// An open that uses no data right marks itself open on a byte of its own,
// so that the bytes of the opens that do form one range after it; in that
// range the bytes of a shared read (open, uses read, denies write and
// delete) lie side by side, so that it takes one lock.
const off_t kLockBase = INT64_MAX - 1024;
const off_t kAttributesOpenByte = 0;
const off_t kOpenByte = 1;
const off_t kUsesByte[] = {2, 5, 6};    // read, write, delete
const off_t kDeniesByte[] = {7, 3, 4};  // read, write, delete
const off_t kLockBytes = 8;

const auto kGuardPatience = std::chrono::seconds(2);

struct flock LockRange(short type, off_t offset, off_t length) {
  struct flock range = {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = kLockBase + offset;
  range.l_len = length;
  return range;
}

// A file system without these locks answers with an error: nothing is held.
bool HeldByOthers(int fd, off_t offset, off_t length) {
  struct flock probe = LockRange(F_WRLCK, offset, length);
  return fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// False only when an open without sharing holds a byte of the range: a file
// system without these locks holds nothing and refuses nothing.
bool HoldShared(int fd, off_t offset, off_t length) {
  struct flock range = LockRange(F_RDLCK, offset, length);
  return fcntl(fd, F_OFD_SETLK, &range) == 0 || (errno != EAGAIN && errno != EACCES);
}

bool Marked(unsigned bytes, off_t offset) { return (bytes >> offset) & 1u; }

void Pause(long microseconds) {
  timespec pause = {0, microseconds * 1000};
  nanosleep(&pause, nullptr);
}

}  // namespace

// The guard is held for a few system calls at a time, so waiting for it is
// short; polling with a deadline rather than blocking keeps a foreign flock
// holder from stopping an open for ever.
ShareGuard::ShareGuard(int fd) : fd_(fd) {
  auto deadline = std::chrono::steady_clock::now() + kGuardPatience;
  long pause = 20;
  for (;;) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      locked_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return;  // no flock here: go unguarded
    if (std::chrono::steady_clock::now() >= deadline) {
      held_ = false;
      return;
    }
    Pause(pause);
    if (pause < 2000) pause *= 2;
  }
}

ShareGuard::~ShareGuard() {
  if (locked_) flock(fd_, LOCK_UN);
}

bool ConflictsWithOthers(int fd, const ShareClaim& claim) {
  if (!HeldByOthers(fd, kOpenByte, kLockBytes - kOpenByte)) return false;
  for (int bit = 0; bit < 3; ++bit) {
    unsigned right = 1u << bit;
    if ((claim.uses & right) && HeldByOthers(fd, kDeniesByte[bit], 1)) return true;
    if ((claim.denies & right) && HeldByOthers(fd, kUsesByte[bit], 1)) return true;
  }
  return false;
}

bool OpenElsewhere(int fd) { return HeldByOthers(fd, kAttributesOpenByte, kOpenByte + 1 - kAttributesOpenByte); }

// Every other open that uses a right holds the open byte and its uses bytes,
// and the others conflict with no claim; so for a claim that denies all
// rights, one write lock over those bytes is the check and the claim at
// once, atomic in the kernel: it needs no guard. Later openers meet it as
// they would meet the claim's own bytes: any of them that uses a right is
// denied it either way, also one that checked before it came.
AloneClaim TakeAloneIfFree(int fd) {
  struct flock range = LockRange(F_WRLCK, kOpenByte, kLockBytes - kOpenByte);
  if (fcntl(fd, F_OFD_SETLK, &range) == 0) return AloneClaim::kTaken;
  return errno == EAGAIN || errno == EACCES ? AloneClaim::kHeldByOthers : AloneClaim::kNotPossible;
}

bool HoldOpen(int fd) { return HoldShared(fd, kOpenByte, 1); }

// Neighbouring bytes are taken as one range: fewer calls for each open. The
// first range holds the open byte, so an open without sharing that came in
// after the check is met there, before anything is held.
bool TakeClaim(int fd, const ShareClaim& claim) {
  unsigned bytes = 1u << (claim.uses != 0 ? kOpenByte : kAttributesOpenByte);
  for (int bit = 0; bit < 3; ++bit) {
    unsigned right = 1u << bit;
    if (claim.uses & right) bytes |= 1u << kUsesByte[bit];
    if (claim.denies & right) bytes |= 1u << kDeniesByte[bit];
  }
  for (off_t first = 0; first < kLockBytes;) {
    off_t end = first;
    while (end < kLockBytes && Marked(bytes, end)) ++end;
    if (end > first && !HoldShared(fd, first, end - first)) return false;
    first = end + 1;
  }
  return true;
}

}  // namespace posix
}  // namespace platform
