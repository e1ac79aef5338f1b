// What Windows tells about a file, read from the POSIX file system:
// attributes, size, the three times and the file's identity.
#pragma once

#include <stdint.h>
#include <time.h>

#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {
namespace posix {

struct FileFacts {
  DWORD attributes = 0;
  uint64_t size = 0;
  timespec created{}, accessed{}, written{};
  uint64_t device = 0, index = 0;
  uint32_t links = 0;
  uint32_t mode = 0;
};

// Facts of `path` relative to the folder `folderFd` (AT_FDCWD for the current
// directory; an empty path with AT_EMPTY_PATH for `folderFd` itself).
// `name` is the file's name, which decides the hidden attribute. False with
// errno set when the file cannot be read.
bool ReadFacts(int folderFd, const char* path, int flags, const std::string& name, FileFacts* facts);

// The attributes of a file of `mode` called `name`: a directory; hidden for
// a name beginning with a dot; read-only for a file no one may write; else
// archive, as Windows marks a file it has written.
DWORD AttributesOf(uint32_t mode, const std::string& name);
bool IsReadOnly(uint32_t mode);

// The last component of a native path.
std::string_view BaseNameOf(std::string_view path);
std::string BaseName(const std::string& path);

FILETIME FileTimeFrom(const timespec& time);

}  // namespace posix
}  // namespace platform
