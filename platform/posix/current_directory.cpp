// The process's current directory and the runtime's current drive. The
// directory is the kernel's (chdir); the drive table keeps which drive is
// current and where each drive was last.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/files.h"
#include "platform/posix/drives.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/native_path.h"
#include "platform/system.h"

namespace platform {
namespace {

BOOL Enter(const posix::ResolvedPath& name) {
  if (name.error != ERROR_SUCCESS) return posix::Fail(name.error);
  if (chdir(name.native.c_str()) != 0) {
    struct stat facts;
    bool notFolder = errno == ENOTDIR && stat(name.native.c_str(), &facts) == 0 && !S_ISDIR(facts.st_mode);
    return notFolder ? posix::Fail(ERROR_DIRECTORY) : posix::FailFromErrno(errno, name.native);
  }
  char directory[PATH_MAX];
  if (getcwd(directory, sizeof directory) != nullptr) posix::DriveTable::Instance().Entered(directory, name.drive);
  return TRUE;
}

}  // namespace

// The directory is reported as the native path it is.
DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
  char native[PATH_MAX];
  if (getcwd(native, sizeof native) == nullptr) {
    posix::FailFromErrno(errno);
    return 0;
  }
  std::string directory = posix::NarrowFromNative(native);
  DWORD length = static_cast<DWORD>(directory.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, directory.c_str(), length + 1);
  return length;
}

BOOL SetCurrentDirectoryA(const char* name) { return Enter(posix::ResolveNarrow(name != nullptr ? name : "")); }

int _getdrive() { return posix::DriveTable::Instance().CurrentDrive(); }

// "X:" names the directory drive X was last current in, or its root.
int _chdrive(int drive) {
  if (drive < 1 || drive > 26) {
    errno = EACCES;
    return -1;
  }
  const char name[] = {static_cast<char>('A' + drive - 1), ':', '\0'};
  if (Enter(posix::ResolveUtf8(name))) return 0;
  errno = EACCES;
  return -1;
}

}  // namespace platform
