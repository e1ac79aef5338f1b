#include "platform/posix/change_time.h"

#include <linux/magic.h>
#include <sys/statfs.h>

#include <atomic>
#include <cstdint>
#include <cstring>

namespace platform {
namespace posix {
namespace {

// Local file systems whose renames and deletes stamp the inode's change time
// from this kernel's clock, in steps of a second or finer. Network and
// user-space file systems take their times from elsewhere, overlays from
// the layer below; they always get the name check.
bool StampsWithKernelClock(long type) {
  switch (type) {
    case EXT4_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
      return true;
    default:
      return false;
  }
}

// The verdicts for the mounts met last, (mount id << 1) | trusted, 0 when
// empty. Keyed by the unique mount id, which is never reused, unlike device
// numbers and plain mount ids: a file system mounted later cannot inherit
// an earlier one's verdict.
const int kMountsKept = 8;
std::atomic<uint64_t> mountVerdicts[kMountsKept];
std::atomic<unsigned> nextMountVerdict{0};

bool StampsLocally(int fd, const struct statx& facts) {
  if (!(facts.stx_mask & STATX_MNT_ID_UNIQUE) || facts.stx_mnt_id == 0) return false;
  const uint64_t key = facts.stx_mnt_id << 1;
  for (const auto& slot : mountVerdicts) {
    uint64_t verdict = slot.load(std::memory_order_relaxed);
    if ((verdict & ~uint64_t{1}) == key) return (verdict & 1) != 0;
  }
  struct statfs system;
  const bool trusted = fstatfs(fd, &system) == 0 && StampsWithKernelClock(system.f_type);
  unsigned slot = nextMountVerdict.fetch_add(1, std::memory_order_relaxed) % kMountsKept;
  mountVerdicts[slot].store(key | (trusted ? 1 : 0), std::memory_order_relaxed);
  return trusted;
}

// The path last found changed within a second, with that second: a hash of
// the path's length and last bytes (where names differ most) in the high
// half, the second in the low. A collision only costs a name check.
std::atomic<uint64_t> changedRecently{0};

uint64_t PathKey(const char* path) {
  const size_t length = std::strlen(path);
  uint64_t tail = 0;
  std::memcpy(&tail, path + (length > 8 ? length - 8 : 0), length < 8 ? length : 8);
  return ((tail ^ length) * 0x9E3779B97F4A7C15u) & 0xFFFFFFFF00000000u;
}

uint64_t Noted(const char* path, const ClockReading& start) {
  return PathKey(path) | (static_cast<uint64_t>(start.wall.tv_sec) & 0xFFFFFFFFu);
}

int64_t Nanoseconds(const timespec& time) { return int64_t{time.tv_sec} * 1000000000 + time.tv_nsec; }

// The wall clock against the monotonic one moves only when the clock is
// set. Readings that straddle a tick also differ: they fall back too.
bool ClockNotSet(const ClockReading& start, const ClockReading& now) {
  return Nanoseconds(start.wall) - Nanoseconds(start.monotonic) == Nanoseconds(now.wall) - Nanoseconds(now.monotonic);
}

}  // namespace

// The coarse wall clock is the one the kernel stamps inode changes with.
ClockReading ReadChangeClock() {
  ClockReading reading;
  clock_gettime(CLOCK_REALTIME_COARSE, &reading.wall);
  clock_gettime(CLOCK_MONOTONIC_COARSE, &reading.monotonic);
  return reading;
}

unsigned ChangeTimeFacts(const char* path, const ClockReading& start) {
  if (changedRecently.load(std::memory_order_relaxed) == Noted(path, start)) return 0;
  return STATX_CTIME | STATX_MNT_ID_UNIQUE;
}

// A rename or delete that could leave the handle on a file without the name
// comes after the open's lookup, so after `start`, and stamps the change
// time from the same clock, cut down to the file system's step (a second at
// the coarsest here). So with the clock not set since, a change time in a
// whole second before `start` rules both out; a delete also shows in the
// link count. Anything else, a file changed within the second included,
// gets the name check.
bool UnchangedSince(int fd, const char* path, const struct statx& facts, const ClockReading& start) {
  if (facts.stx_nlink == 0 || !(facts.stx_mask & STATX_CTIME)) return false;
  if (facts.stx_ctime.tv_sec >= start.wall.tv_sec) {
    changedRecently.store(Noted(path, start), std::memory_order_relaxed);
    return false;
  }
  return ClockNotSet(start, ReadChangeClock()) && StampsLocally(fd, facts);
}

}  // namespace posix
}  // namespace platform
