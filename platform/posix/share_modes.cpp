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
const off_t kLockBase = INT64_MAX - 1024;
const off_t kOpenByte = 0;
const off_t kUsesBytes = 1;    // + 0 read, 1 write, 2 delete
const off_t kDeniesBytes = 4;  // + 0 read, 1 write, 2 delete
const off_t kLockBytes = 7;

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

void HoldShared(int fd, off_t offset, off_t length) {
  struct flock range = LockRange(F_RDLCK, offset, length);
  fcntl(fd, F_OFD_SETLK, &range);
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
  if (!HeldByOthers(fd, kOpenByte, kLockBytes)) return false;
  for (off_t bit = 0; bit < 3; ++bit) {
    unsigned right = 1u << bit;
    if ((claim.uses & right) && HeldByOthers(fd, kDeniesBytes + bit, 1)) return true;
    if ((claim.denies & right) && HeldByOthers(fd, kUsesBytes + bit, 1)) return true;
  }
  return false;
}

bool OpenElsewhere(int fd) { return HeldByOthers(fd, kOpenByte, 1); }

// Neighbouring bytes are taken as one range: fewer calls for each open.
void TakeClaim(int fd, const ShareClaim& claim) {
  unsigned bytes = 1u << kOpenByte;
  for (off_t bit = 0; bit < 3; ++bit) {
    unsigned right = 1u << bit;
    if (claim.uses & right) bytes |= 1u << (kUsesBytes + bit);
    if (claim.denies & right) bytes |= 1u << (kDeniesBytes + bit);
  }
  for (off_t first = 0; first < kLockBytes;) {
    off_t end = first;
    while (end < kLockBytes && Marked(bytes, end)) ++end;
    if (end > first) HoldShared(fd, first, end - first);
    first = end + 1;
  }
}

}  // namespace posix
}  // namespace platform
