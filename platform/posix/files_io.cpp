// Reading, writing and moving within files open through handles, and the
// old-style HFILE functions, which on POSIX work on a file descriptor: the
// HFILE a Linux program already has.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/files.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/open_file.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

namespace platform {
namespace {

using posix::Fail;
using posix::FailFromErrno;

// The file of `handle` when the handle holds `right` (0: any handle);
// otherwise null with ERROR_INVALID_HANDLE or ERROR_ACCESS_DENIED.
std::shared_ptr<posix::OpenFile> FileWithRight(HANDLE handle, unsigned right) {
  unsigned rights = 0;
  auto file = posix::FileOfHandle(handle, &rights);
  if (file && (rights & right) != right) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return file;
}

DWORD PointerFailure(DWORD error) {
  SetLastError(error);
  return INVALID_SET_FILE_POINTER;
}

// A distance in one LONG, or in two that make a 64-bit one.
int64_t Distance(LONG low, const LONG* high) {
  if (high == nullptr) return low;
  uint64_t joined = (static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) | static_cast<uint32_t>(low);
  return static_cast<int64_t>(joined);
}

// The position a move by `method` starts from; -1 with errno set.
int64_t OriginOf(const posix::OpenFile& file, DWORD method) {
  struct stat facts;
  switch (method) {
    case FILE_BEGIN: return 0;
    case FILE_CURRENT: return file.position();
    default: return fstat(file.fd(), &facts) == 0 ? facts.st_size : -1;
  }
}

// HFILE_ERROR, with the Windows error of `error` as the last error.
int HfileFailure(int error) {
  FailFromErrno(error);
  return HFILE_ERROR;
}

}  // namespace

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped) {
  if (read != nullptr) *read = 0;
  auto open = FileWithRight(file, posix::kShareRead);
  if (!open) return FALSE;
  if (overlapped != nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const int64_t start = open->position();
  DWORD done = 0;
  int failure = 0;
  while (done < toRead) {
    ssize_t got = posix::sys::Pread(open->fd(), static_cast<char*>(buffer) + done, toRead - done, start + done);
    if (got < 0) failure = errno;
    if (got <= 0) break;
    done += static_cast<DWORD>(got);
  }
  open->MoveTo(start + done);
  if (failure != 0) return FailFromErrno(failure);
  if (read != nullptr) *read = done;
  return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped) {
  if (written != nullptr) *written = 0;
  auto open = FileWithRight(file, posix::kShareWrite);
  if (!open) return FALSE;
  if (overlapped != nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const int64_t start = open->position();
  DWORD done = 0;
  int failure = 0;
  while (done < toWrite) {
    ssize_t put =
        posix::sys::Pwrite(open->fd(), static_cast<const char*>(buffer) + done, toWrite - done, start + done);
    if (put < 0) {
      failure = errno;
      break;
    }
    done += static_cast<DWORD>(put);
    if (written != nullptr) *written = done;
  }
  open->MoveTo(start + done);
  return failure != 0 ? FailFromErrno(failure) : TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  auto open = FileWithRight(file, 0);
  if (!open) return INVALID_SET_FILE_POINTER;
  if (method > FILE_END) return PointerFailure(ERROR_INVALID_PARAMETER);
  int64_t origin = OriginOf(*open, method);
  if (origin < 0) return PointerFailure(posix::WindowsErrorFromErrno(errno, open->name()));
  int64_t position = origin + Distance(distance, distanceHigh);
  if (position < 0) return PointerFailure(ERROR_NEGATIVE_SEEK);
  if (distanceHigh == nullptr && position > UINT32_MAX) return PointerFailure(ERROR_INVALID_PARAMETER);
  open->MoveTo(position);
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(position >> 32);
  return static_cast<DWORD>(position);
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) {
  auto open = FileWithRight(file, 0);
  if (!open) return FALSE;
  struct stat facts;
  if (fstat(open->fd(), &facts) != 0) return FailFromErrno(errno);
  size->QuadPart = facts.st_size;
  return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
  auto open = FileWithRight(file, posix::kShareWrite);
  if (!open) return FALSE;
  if (ftruncate(open->fd(), open->position()) != 0) return FailFromErrno(errno);
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  auto open = FileWithRight(file, posix::kShareWrite);
  if (!open) return FALSE;
  return posix::sys::Fsync(open->fd()) == 0 ? TRUE : FailFromErrno(errno);
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  auto open = FileWithRight(file, 0);
  if (!open) return FALSE;
  posix::FileFacts facts;
  if (!posix::ReadFacts(open->fd(), "", AT_EMPTY_PATH, open->name(), &facts)) {
    return FailFromErrno(errno);
  }
  information->dwFileAttributes = facts.attributes;
  information->ftCreationTime = posix::FileTimeFrom(facts.created);
  information->ftLastAccessTime = posix::FileTimeFrom(facts.accessed);
  information->ftLastWriteTime = posix::FileTimeFrom(facts.written);
  information->dwVolumeSerialNumber = static_cast<DWORD>(facts.device ^ (facts.device >> 32));
  information->nFileSizeHigh = static_cast<DWORD>(facts.size >> 32);
  information->nFileSizeLow = static_cast<DWORD>(facts.size);
  information->nNumberOfLinks = facts.links;
  information->nFileIndexHigh = static_cast<DWORD>(facts.index >> 32);
  information->nFileIndexLow = static_cast<DWORD>(facts.index);
  return TRUE;
}

// OF_SHARE_COMPAT opens as OF_SHARE_DENY_NONE does, as on Windows NT. The
// HFILE is a descriptor of the caller's to close with _lclose or close(2).
HFILE _lopen(const char* name, int mode) {
  static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, GENERIC_READ};
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (mode & 0x70) {
    case OF_SHARE_EXCLUSIVE: share = 0; break;
    case OF_SHARE_DENY_WRITE: share = FILE_SHARE_READ; break;
    case OF_SHARE_DENY_READ: share = FILE_SHARE_WRITE; break;
  }
  HANDLE file = CreateFileA(name, kAccess[mode & 3], share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HFILE_ERROR;
  // A second descriptor of the same open file description keeps its share
  // locks, which the kernel drops with the last descriptor.
  int descriptor = fcntl(posix::ObjectOf<posix::OpenFile>(file)->fd(), F_DUPFD_CLOEXEC, 0);
  int failure = errno;
  CloseHandle(file);
  return descriptor >= 0 ? descriptor : HfileFailure(failure);
}

HFILE _lclose(HFILE file) { return close(file) == 0 ? 0 : HfileFailure(errno); }

LONG _llseek(HFILE file, LONG offset, int origin) {
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (static_cast<unsigned>(origin) > FILE_END) return HfileFailure(EINVAL);
  off_t position = lseek(file, offset, kWhence[origin]);
  if (position < 0) return HfileFailure(errno);
  if (position > INT32_MAX) return HfileFailure(EOVERFLOW);
  return static_cast<LONG>(position);
}

UINT _lread(HFILE file, void* buffer, UINT count) {
  UINT done = 0;
  while (done < count) {
    ssize_t got = ::read(file, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return static_cast<UINT>(HfileFailure(errno));
    if (got == 0) break;
    done += static_cast<UINT>(got);
  }
  return done;
}

}  // namespace platform
