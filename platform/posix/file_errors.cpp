#include "platform/posix/file_errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

// A folder name too long for the buffer is too long for stat as well.
bool FolderOfExists(std::string_view path) {
  size_t end = path.find_last_not_of('/');
  if (end == std::string_view::npos) return true;
  size_t slash = path.rfind('/', end);
  if (slash == std::string_view::npos) return true;
  size_t length = slash == 0 ? 1 : slash;
  char folder[PATH_MAX];
  if (length >= sizeof folder) return false;
  std::memcpy(folder, path.data(), length);
  folder[length] = '\0';
  struct stat facts;
  return stat(folder, &facts) == 0 && S_ISDIR(facts.st_mode);
}

}  // namespace

DWORD WindowsErrorFromErrno(int error, std::string_view path) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return FolderOfExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EILSEQ: return ERROR_INVALID_NAME;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    case EIO: return ERROR_IO_DEVICE;
    default: return ERROR_GEN_FAILURE;
  }
}

BOOL Fail(DWORD windowsError) {
  SetLastError(windowsError);
  return FALSE;
}

BOOL FailFromErrno(int error, std::string_view path) { return Fail(WindowsErrorFromErrno(error, path)); }

}  // namespace posix
}  // namespace platform
