// CreateFile, CloseHandle and DuplicateHandle on the POSIX file system.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/posix/change_time.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/network_processes.h"
#include "platform/posix/open_file.h"
#include "platform/common/recycled_blocks.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

// A name that keeps changing under an open (deleted or replaced between the
// open and its share check) is tried this often.
const int kOpenAttempts = 8;

struct Request {
  const char* path = nullptr;
  bool trailingSeparator = false;
  ShareClaim claim;
  DWORD disposition = 0;
  bool directoryAllowed = false;
  mode_t createMode = 0666;
};

bool Truncates(DWORD disposition) { return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING; }

// Emptying a file writes it, whatever the handle asked for. An open that
// uses no data right (attributes only) neither meets nor sets share modes.
Request RequestFor(const ResolvedPath& name, const char* native, DWORD access, DWORD shareMode, DWORD disposition,
                   DWORD flags) {
  Request request;
  request.path = native;
  request.trailingSeparator = name.trailingSeparator;
  request.claim.uses = RightsOf(access) | (Truncates(disposition) ? kShareWrite : 0u);
  request.claim.denies = request.claim.uses != 0 ? kShareAll & ~shareMode : 0u;
  request.disposition = disposition;
  request.directoryAllowed = (flags & FILE_FLAG_BACKUP_SEMANTICS) != 0;
  request.createMode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  return request;
}

// open(2), with the fallbacks Windows rights allow: a directory for a handle
// that may name one, a descriptor for writing alone when the file may not be
// read, and a bare path descriptor for a handle that asks for no data access.
int OpenWith(const Request& request, int flags) {
  const char* path = request.path;
  int fd = sys::Open(path, flags | O_CLOEXEC | O_NOCTTY, request.createMode);
  if (fd >= 0) return fd;
  int failure = errno;
  bool readWrite = (flags & O_ACCMODE) == O_RDWR;
  if (failure == EISDIR && request.directoryAllowed) {
    fd = sys::Open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } else if (failure == EACCES && readWrite && !(request.claim.uses & kShareRead)) {
    fd = sys::Open(path, (flags & ~O_ACCMODE) | O_WRONLY | O_CLOEXEC | O_NOCTTY, request.createMode);
  } else if (failure == EACCES && request.claim.uses == 0) {
    fd = sys::Open(path, O_PATH | O_CLOEXEC);
  }
  if (fd < 0) errno = failure;
  return fd;
}

struct Opened {
  int fd = -1;
  bool created = false;
  ClockReading began;  // before the lookup
};

Opened OpenAsRequested(const Request& request) {
  int flags = (request.claim.uses & kShareWrite) ? O_RDWR : O_RDONLY;
  Opened opened;
  opened.began = ReadChangeClock();
  switch (request.disposition) {
    case CREATE_NEW:
      opened.fd = OpenWith(request, flags | O_CREAT | O_EXCL);
      opened.created = opened.fd >= 0;
      return opened;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      // Opening first and creating only when missing tells whether the file
      // was there, which the last error reports.
      for (;;) {
        opened.fd = OpenWith(request, flags);
        if (opened.fd >= 0 || errno != ENOENT) return opened;
        opened.fd = OpenWith(request, flags | O_CREAT | O_EXCL);
        opened.created = opened.fd >= 0;
        if (opened.fd >= 0 || errno != EEXIST) return opened;
      }
    default:
      opened.fd = OpenWith(request, flags);
      return opened;
  }
}

DWORD OpenError(const Request& request, int error) {
  if (error == EEXIST) return ERROR_FILE_EXISTS;
  if (error == ENOTDIR && request.trailingSeparator) return ERROR_INVALID_NAME;
  return WindowsErrorFromErrno(error, request.path);
}

// Whether `path` still names the file open as `facts`: a delete or rename
// between the open and the claim would leave the handle on another file.
// Asks for the identity alone, so that the file's times are not read (see
// ChangeTimeFacts).
bool StillNamed(const char* path, const struct statx& facts) {
  struct statx now;
  return statx(AT_FDCWD, path, 0, STATX_INO, &now) == 0 && now.stx_dev_major == facts.stx_dev_major &&
         now.stx_dev_minor == facts.stx_dev_minor && now.stx_ino == facts.stx_ino;
}

// The same for facts read after the claim was taken: a rename or delete
// that came before it shows in them, and the change time mostly tells
// without a walk of the path.
bool NamedAfterClaim(const Request& request, const Opened& opened, const struct statx& facts) {
  return UnchangedSince(opened.fd, request.path, facts, opened.began) || StillNamed(request.path, facts);
}

enum class Admission { kAdmitted, kRefused, kRetry };

Admission Refuse(DWORD error) {
  SetLastError(error);
  return Admission::kRefused;
}

// The kind and the read-only attribute, which Windows checks before the
// share modes; `more` is what else of statx the caller needs.
DWORD KindError(const Request& request, const Opened& opened, unsigned more, struct statx* facts) {
  const unsigned wanted = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_INO | more;
  if (statx(opened.fd, "", AT_EMPTY_PATH, wanted, facts) != 0) return WindowsErrorFromErrno(errno, request.path);
  if (S_ISDIR(facts->stx_mode) && !request.directoryAllowed) return ERROR_ACCESS_DENIED;
  bool writes = (request.claim.uses & kShareWrite) != 0;
  if (!opened.created && writes && IsReadOnly(facts->stx_mode)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

// What Windows checks once the file is found: its kind, its read-only
// attribute, and the share modes of the other opens. An open without
// sharing claims first, in one lock and without the guard; whatever is
// refused after it lets the lock go with the descriptor.
Admission Admit(const Request& request, const Opened& opened) {
  // A write lock needs a descriptor open for writing.
  const bool tryAlone = request.claim.denies == kShareAll && (request.claim.uses & kShareWrite) != 0;
  const AloneClaim alone = tryAlone ? TakeAloneIfFree(opened.fd) : AloneClaim::kNotPossible;
  const unsigned more = alone == AloneClaim::kTaken ? ChangeTimeFacts(request.path, opened.began) : 0;
  struct statx facts;
  if (DWORD error = KindError(request, opened, more, &facts)) return Refuse(error);
  if (alone == AloneClaim::kTaken) {
    return NamedAfterClaim(request, opened, facts) ? Admission::kAdmitted : Admission::kRetry;
  }
  if (alone == AloneClaim::kHeldByOthers) {
    return StillNamed(request.path, facts) ? Refuse(ERROR_SHARING_VIOLATION) : Admission::kRetry;
  }
  ShareGuard guard(opened.fd);
  if (!guard.held()) return Refuse(ERROR_SHARING_VIOLATION);
  if (!StillNamed(request.path, facts)) return Admission::kRetry;
  if (ConflictsWithOthers(opened.fd, request.claim) || !TakeClaim(opened.fd, request.claim)) {
    return Refuse(ERROR_SHARING_VIOLATION);
  }
  return Admission::kAdmitted;
}

bool Finish(const Request& request, const Opened& opened) {
  bool existed = !opened.created;
  if (existed && Truncates(request.disposition) && ftruncate(opened.fd, 0) != 0) return FailFromErrno(errno);
  bool reportsExisting = request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS;
  SetLastError(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return true;
}

std::shared_ptr<OpenFile> NoFile(DWORD error) {
  SetLastError(error);
  return nullptr;
}

bool ValidRequest(DWORD access, DWORD shareMode, DWORD disposition) {
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return false;
  if ((shareMode & ~static_cast<DWORD>(kShareAll)) != 0) return false;
  return disposition != TRUNCATE_EXISTING || (RightsOf(access) & kShareWrite) != 0;
}

}  // namespace

OpenFile::OpenFile(int fd, std::string_view path) : fd_(fd) {
  std::string_view name = BaseNameOf(path);
  const size_t length = std::min(name.size(), sizeof name_ - 1);
  std::memcpy(name_, name.data(), length);
  name_[length] = '\0';
}

OpenFile::~OpenFile() { close(fd_); }

unsigned RightsOf(DWORD access) {
  if (access & GENERIC_ALL) return kShareAll;
  unsigned rights = 0;
  if (access & (GENERIC_READ | GENERIC_EXECUTE | FILE_READ_DATA | FILE_EXECUTE)) rights |= kShareRead;
  if (access & (GENERIC_WRITE | FILE_WRITE_DATA | FILE_APPEND_DATA)) rights |= kShareWrite;
  if (access & DELETE) rights |= kShareDelete;
  return rights;
}

std::shared_ptr<OpenFile> OpenShared(const ResolvedPath& name, const char* native, DWORD access, DWORD shareMode,
                                     DWORD disposition, DWORD flagsAndAttributes) {
  DWORD error = name.error;
  if (error == ERROR_SUCCESS && !ValidRequest(access, shareMode, disposition)) error = ERROR_INVALID_PARAMETER;
  if (error != ERROR_SUCCESS) return NoFile(error);
  Request request = RequestFor(name, native, access, shareMode, disposition, flagsAndAttributes);
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    Opened opened = OpenAsRequested(request);
    if (opened.fd < 0) return NoFile(OpenError(request, errno));
    // Closes the descriptor on every way out.
    auto file = std::allocate_shared<OpenFile>(RecyclingAllocator<OpenFile>(), opened.fd, request.path);
    Admission admission = Admit(request, opened);
    if (admission == Admission::kRefused) return nullptr;
    if (admission == Admission::kAdmitted) return Finish(request, opened) ? file : nullptr;
  }
  return NoFile(ERROR_SHARING_VIOLATION);
}

std::shared_ptr<OpenFile> FileOfHandle(HANDLE handle, unsigned* rights) {
  DWORD access = 0;
  std::shared_ptr<OpenFile> file = ObjectOf<OpenFile>(handle, &access);
  *rights = RightsOf(access);
  return file;
}

}  // namespace posix

namespace {

HANDLE HandleFor(const posix::ResolvedPath& name, const char* native, DWORD access, DWORD shareMode,
                 DWORD disposition, DWORD flagsAndAttributes) {
  auto file = posix::OpenShared(name, native, access, shareMode, disposition, flagsAndAttributes);
  if (!file) return INVALID_HANDLE_VALUE;
  DWORD error = GetLastError();
  HANDLE handle = posix::AddHandle(std::move(file), access);
  SetLastError(error);
  return handle;
}

}  // namespace

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  const posix::StackResolved path(name != nullptr ? name : "", true);
  return HandleFor(path.resolved(), path.native(), access, shareMode, disposition, flagsAndAttributes);
}

HANDLE CreateFileW(const WCHAR* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  const posix::ResolvedPath path = posix::ResolveWide(name != nullptr ? name : OV_WIDE(""));
  return HandleFor(path, path.native.c_str(), access, shareMode, disposition, flagsAndAttributes);
}

// INVALID_HANDLE_VALUE is also the process's pseudo-handle, which closes
// without effect.
BOOL CloseHandle(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return TRUE;
  bool closed = posix::RemoveHandle(handle, typeid(posix::OpenFile)) ||
                posix::RemoveHandle(handle, typeid(posix::ProcessObject));
  return closed ? TRUE : FALSE;
}

HANDLE GetCurrentProcess() { return INVALID_HANDLE_VALUE; }

// Both handles name one open file, so they share its position and its
// share-mode locks, as Windows duplicates do.
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD access,
                     BOOL inheritable, DWORD options) {
  if (sourceProcess != GetCurrentProcess() || targetProcess != GetCurrentProcess()) {
    return posix::Fail(ERROR_INVALID_HANDLE);
  }
  DWORD sourceAccess = 0;
  auto file = posix::ObjectOf<posix::OpenFile>(source, &sourceAccess);
  if (!file) return FALSE;
  if (options & DUPLICATE_CLOSE_SOURCE) CloseHandle(source);
  if (target != nullptr) *target = posix::AddHandle(file, (options & DUPLICATE_SAME_ACCESS) ? sourceAccess : access);
  return TRUE;
}

}  // namespace platform
