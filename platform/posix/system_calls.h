// The file system calls of the POSIX layer, each in one place: a call
// interrupted by a signal is made again, and a fault armed for tests is
// made here (one relaxed load when none is).
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace platform {
namespace posix {
namespace sys {

int Open(const char* path, int flags, mode_t mode = 0);
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
ssize_t Write(int fd, const void* buffer, size_t size);
ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset);
int Rename(const char* from, const char* to);
int RenameNoReplace(const char* from, const char* to);
int Fsync(int fd);
int Lstat(const char* path, struct stat* facts);
int Statx(int folderFd, const char* path, int flags, unsigned mask, struct statx* facts);
DIR* OpenDir(const char* path);
// Null at the end of the folder with errno untouched, or on a failure with
// errno set.
dirent* ReadDir(DIR* folder);
// The whole file appended to `bytes`, or false when it cannot be read to
// its end: a file read in part would silently lose what follows.
bool ReadWholeFile(const std::string& path, std::string* bytes);

}  // namespace sys
}  // namespace posix
}  // namespace platform
