// Deleting, moving and copying files, making and removing directories, and
// file attributes.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <tuple>

#include "platform/files.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/file_names.h"
#include "platform/posix/open_file.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

const size_t kCopyBlock = 1 << 16;

// The file a name operation is about to change, opened only to read the
// share locks on it; its guard is held from the check until the change is
// made. A file that cannot be opened for reading carries no locks of ours.
class FileUnderChange {
 public:
  explicit FileUnderChange(const std::string& path)
      : fd_(path.empty() ? -1 : sys::Open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {}
  ~FileUnderChange() {
    guard_.reset();
    if (fd_ >= 0) close(fd_);
  }
  FileUnderChange(const FileUnderChange&) = delete;
  FileUnderChange& operator=(const FileUnderChange&) = delete;

  bool Guard() {
    if (fd_ < 0) return true;
    guard_.reset(new ShareGuard(fd_));
    return guard_->held();
  }
  // Another handle keeps the file from being renamed or deleted. Both
  // checks mark the file open till the change is made, so that an open
  // without sharing, which takes no guard, cannot come in between.
  bool DeletionDenied() const {
    return fd_ >= 0 && (!HoldOpen(fd_) || ConflictsWithOthers(fd_, ShareClaim{kShareDelete, 0}));
  }
  bool OpenElsewhere() const { return fd_ >= 0 && (!HoldOpen(fd_) || posix::OpenElsewhere(fd_)); }
  std::tuple<dev_t, ino_t> Identity() const {
    struct stat facts = {};
    if (fd_ >= 0) fstat(fd_, &facts);
    return std::make_tuple(facts.st_dev, facts.st_ino);
  }

 private:
  int fd_;
  std::unique_ptr<ShareGuard> guard_;
};

// Guards of two files are always taken in the same order, so two moves
// between the same files never wait on each other.
bool GuardBoth(FileUnderChange& a, FileUnderChange& b) {
  if (b.Identity() < a.Identity()) return b.Guard() && a.Guard();
  return a.Guard() && b.Guard();
}

ResolvedPath Native(const std::string& path) {
  ResolvedPath name;
  name.native = path;
  return name;
}

BOOL SyncFolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int fd = sys::Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FailFromErrno(errno, folder);
  bool synced = sys::Fsync(fd) == 0;
  close(fd);
  return synced ? TRUE : FailFromErrno(errno, folder);
}

BOOL CopyBytes(int from, int to) {
  std::unique_ptr<char[]> block(new char[kCopyBlock]);
  for (;;) {
    ssize_t got = sys::Read(from, block.get(), kCopyBlock);
    if (got < 0) return FailFromErrno(errno);
    if (got == 0) return TRUE;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = sys::Write(to, block.get() + done, static_cast<size_t>(got - done));
      if (put < 0) return FailFromErrno(errno);
      done += put;
    }
  }
}

BOOL CopyFacts(int from, int to) {
  struct stat facts;
  if (fstat(from, &facts) != 0) return FailFromErrno(errno);
  struct timespec times[2] = {facts.st_atim, facts.st_mtim};
  if (fchmod(to, facts.st_mode & 07777) != 0 || futimens(to, times) != 0) return FailFromErrno(errno);
  return TRUE;
}

// Renames without replacing where the file system can refuse atomically;
// elsewhere the caller has already seen that the target is free.
int Rename(const std::string& from, const std::string& to, bool replace) {
  if (replace) return sys::Rename(from.c_str(), to.c_str());
  int result = sys::RenameNoReplace(from.c_str(), to.c_str());
  if (result != 0 && (errno == EINVAL || errno == ENOSYS)) return sys::Rename(from.c_str(), to.c_str());
  return result;
}

// The rename itself, under the guards of both files. The guards go before
// anything else opens the files (a copy across file systems does).
BOOL RenameGuarded(const std::string& from, const std::string& to, bool replaces, bool sameFile) {
  FileUnderChange moved(from), replaced(replaces ? to : std::string());
  if (!GuardBoth(moved, replaced) || moved.DeletionDenied()) return Fail(ERROR_SHARING_VIOLATION);
  if (replaced.OpenElsewhere()) return Fail(ERROR_ACCESS_DENIED);
  if (Rename(from, to, replaces || sameFile) == 0) return TRUE;
  return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailFromErrno(errno, to);
}

// A move takes a read-only file along as a rename does; when the old name
// cannot go, the copy goes again and the move fails.
BOOL MoveAcross(const std::string& from, const std::string& to, DWORD flags) {
  if (!CopyNative(from, to, (flags & MOVEFILE_REPLACE_EXISTING) != 0)) return FALSE;
  if (DeleteNative(from, true)) return TRUE;
  DWORD error = GetLastError();
  unlink(to.c_str());
  return Fail(error);
}

BOOL Moved(const std::string& to, DWORD flags) {
  return (flags & MOVEFILE_WRITE_THROUGH) ? SyncFolderOf(to) : TRUE;
}

DWORD NoAttributes(DWORD error) {
  SetLastError(error);
  return INVALID_FILE_ATTRIBUTES;
}

}  // namespace

DWORD AttributesOfName(const ResolvedPath& name) {
  if (name.error != ERROR_SUCCESS) return NoAttributes(name.error);
  struct stat facts;
  if (stat(name.native.c_str(), &facts) != 0) return NoAttributes(WindowsErrorFromErrno(errno, name.native));
  return AttributesOf(facts.st_mode, BaseName(name.native));
}

// Only read-only can be kept, as the write permission; hidden follows the
// name, and directories keep no read-only mark.
BOOL SetAttributesOfName(const ResolvedPath& name, DWORD attributes) {
  if (name.error != ERROR_SUCCESS) return Fail(name.error);
  struct stat facts;
  if (stat(name.native.c_str(), &facts) != 0) return FailFromErrno(errno, name.native);
  if (S_ISDIR(facts.st_mode)) return TRUE;
  mode_t mode = facts.st_mode & 07777;
  mode_t wanted = mode;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    wanted = mode & ~0222;
  } else if (IsReadOnly(mode)) {
    wanted = mode | S_IWUSR;
  }
  if (wanted != mode && chmod(name.native.c_str(), wanted) != 0) return FailFromErrno(errno, name.native);
  return TRUE;
}

BOOL DeleteNative(const std::string& path, bool readOnlyToo) {
  struct stat facts;
  if (sys::Lstat(path.c_str(), &facts) != 0) return FailFromErrno(errno, path);
  if (S_ISDIR(facts.st_mode) || (IsReadOnly(facts.st_mode) && !readOnlyToo)) return Fail(ERROR_ACCESS_DENIED);
  FileUnderChange file(path);
  if (!file.Guard() || file.DeletionDenied()) return Fail(ERROR_SHARING_VIOLATION);
  if (unlink(path.c_str()) != 0) return FailFromErrno(errno, path);
  return TRUE;
}

BOOL MoveNative(const std::string& from, const std::string& to, DWORD flags) {
  struct stat source, target;
  if (sys::Lstat(from.c_str(), &source) != 0) return FailFromErrno(errno, from);
  bool targetExists = sys::Lstat(to.c_str(), &target) == 0;
  bool sameFile = targetExists && source.st_dev == target.st_dev && source.st_ino == target.st_ino;
  bool replaces = targetExists && !sameFile;
  if (replaces && !(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
  if (replaces && (S_ISDIR(target.st_mode) || S_ISDIR(source.st_mode) || IsReadOnly(target.st_mode))) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  if (RenameGuarded(from, to, replaces, sameFile)) return Moved(to, flags);
  bool copies = (flags & MOVEFILE_COPY_ALLOWED) && !S_ISDIR(source.st_mode);
  if (GetLastError() != ERROR_NOT_SAME_DEVICE || !copies) return FALSE;
  return MoveAcross(from, to, flags) && Moved(to, flags);
}

BOOL CopyNative(const std::string& from, const std::string& to, bool replace) {
  auto source = OpenShared(Native(from), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
  if (!source) return FALSE;
  auto target = OpenShared(Native(to), GENERIC_WRITE, 0, replace ? CREATE_ALWAYS : CREATE_NEW, 0);
  if (!target) return FALSE;
  if (CopyBytes(source->fd(), target->fd()) && CopyFacts(source->fd(), target->fd())) return TRUE;
  DWORD error = GetLastError();
  unlink(to.c_str());
  return Fail(error);
}

BOOL CreateDirectoryNative(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return TRUE;
  return errno == EEXIST ? Fail(ERROR_ALREADY_EXISTS) : FailFromErrno(errno, path);
}

BOOL RemoveDirectoryNative(const std::string& path) {
  struct stat facts;
  if (sys::Lstat(path.c_str(), &facts) != 0) return FailFromErrno(errno, path);
  if (!S_ISDIR(facts.st_mode)) return Fail(ERROR_DIRECTORY);
  FileUnderChange folder(path);
  if (!folder.Guard() || folder.DeletionDenied()) return Fail(ERROR_SHARING_VIOLATION);
  if (rmdir(path.c_str()) == 0) return TRUE;
  return errno == EEXIST ? Fail(ERROR_DIR_NOT_EMPTY) : FailFromErrno(errno, path);
}

}  // namespace posix

namespace {

// Runs `operation` on the native form of `name`, or fails with the reason
// the name resolves to nothing.
template <typename Operation>
BOOL OnName(const posix::ResolvedPath& name, Operation operation) {
  if (name.error != ERROR_SUCCESS) return posix::Fail(name.error);
  return operation(name.native);
}

BOOL DeleteUnlessReadOnly(const std::string& path) { return posix::DeleteNative(path); }

const char* OrEmpty(const char* name) { return name != nullptr ? name : ""; }
const WCHAR* OrEmpty(const WCHAR* name) { return name != nullptr ? name : OV_WIDE(""); }

}  // namespace

BOOL MoveFileA(const char* existing, const char* replacement) {
  return MoveFileExA(existing, replacement, MOVEFILE_COPY_ALLOWED);
}

BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags) {
  posix::ResolvedPath to = posix::ResolveNarrow(OrEmpty(replacement));
  return OnName(posix::ResolveNarrow(OrEmpty(existing)), [&](const std::string& from) {
    return OnName(to, [&](const std::string& target) { return posix::MoveNative(from, target, flags); });
  });
}

BOOL DeleteFileA(const char* name) { return OnName(posix::ResolveNarrow(OrEmpty(name)), DeleteUnlessReadOnly); }
BOOL DeleteFileW(const WCHAR* name) {
  return OnName(posix::ResolveWide(OrEmpty(name)), DeleteUnlessReadOnly);
}

BOOL CreateDirectoryA(const char* name, void* security) {
  return OnName(posix::ResolveNarrow(OrEmpty(name)), posix::CreateDirectoryNative);
}

BOOL RemoveDirectoryA(const char* name) {
  return OnName(posix::ResolveNarrow(OrEmpty(name)), posix::RemoveDirectoryNative);
}

DWORD GetFileAttributesA(const char* name) { return posix::AttributesOfName(posix::ResolveNarrow(OrEmpty(name))); }
DWORD GetFileAttributesW(const WCHAR* name) {
  return posix::AttributesOfName(posix::ResolveWide(OrEmpty(name)));
}

BOOL SetFileAttributesA(const char* name, DWORD attributes) {
  return posix::SetAttributesOfName(posix::ResolveNarrow(OrEmpty(name)), attributes);
}
BOOL SetFileAttributesW(const WCHAR* name, DWORD attributes) {
  return posix::SetAttributesOfName(posix::ResolveWide(OrEmpty(name)), attributes);
}

}  // namespace platform
