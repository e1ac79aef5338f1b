// Windows share modes between handles, threads and processes.
//
// Every open file holds shared open-file-description locks on a few bytes
// far beyond any data: one saying that it is open, one for each right it uses
// (read, write, delete) and one for each right it denies to others. An
// opener reads the others' locks (F_OFD_GETLK) and takes its own while it
// holds the file's guard, an exclusive flock on its own descriptor, so no
// other opener can come between the check and the taking; an open without
// sharing checks and takes in one lock instead, and the guarded meet it
// when they take theirs. Both kinds of lock
// work on descriptors open only for reading, and the kernel drops them with
// the last descriptor of the open file, so also when a process dies.
#pragma once

namespace platform {
namespace posix {

// The same bits as FILE_SHARE_READ, FILE_SHARE_WRITE and FILE_SHARE_DELETE.
enum ShareRight : unsigned { kShareRead = 1, kShareWrite = 2, kShareDelete = 4, kShareAll = 7 };

struct ShareClaim {
  unsigned uses = 0;    // the rights an open uses
  unsigned denies = 0;  // the rights it denies to others (those its share mode leaves out)
};

// Holds the guard of the file open on `fd` while it lives.
class ShareGuard {
 public:
  explicit ShareGuard(int fd);
  ~ShareGuard();
  ShareGuard(const ShareGuard&) = delete;
  ShareGuard& operator=(const ShareGuard&) = delete;

  // False when others kept the guard past a generous wait: the file is in use.
  bool held() const { return held_; }

 private:
  int fd_;
  bool held_ = true;
  bool locked_ = false;
};

// Whether an open of the file elsewhere denies a right `claim` uses, or uses
// a right `claim` denies.
bool ConflictsWithOthers(int fd, const ShareClaim& claim);
// Whether the file is open anywhere else.
bool OpenElsewhere(int fd);
// Records `claim` for the open file of `fd`; the locks go with it. False
// when an open without sharing (which takes no guard) claimed the file
// since the check: the claim is refused.
bool TakeClaim(int fd, const ShareClaim& claim);
// Marks the file open, as every open that uses a right does, so that no
// open without sharing comes in while the mark is held; false when one has.
bool HoldOpen(int fd);
// For a claim that uses a right and denies all (share mode 0): checks and
// records it in one step, without the guard, where the descriptor can take
// a write lock (it is open for writing, the file system has the locks);
// otherwise the usual check and TakeClaim do.
enum class AloneClaim { kTaken, kHeldByOthers, kNotPossible };
AloneClaim TakeAloneIfFree(int fd);

}  // namespace posix
}  // namespace platform
