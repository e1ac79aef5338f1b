// Name operations of the POSIX layer on native paths. Each answers as its
// Windows namesake does, last error included, and respects the share modes
// of open handles; the platform functions and the shell operations are
// built on them.
#pragma once

#include <string>

#include "platform/posix/native_path.h"
#include "platform/types.h"

namespace platform {
namespace posix {

// A read-only file is refused unless `readOnlyToo` (a move, or the shell,
// which asks no one).
BOOL DeleteNative(const std::string& path, bool readOnlyToo = false);
// MOVEFILE_REPLACE_EXISTING, MOVEFILE_COPY_ALLOWED, MOVEFILE_WRITE_THROUGH.
BOOL MoveNative(const std::string& from, const std::string& to, DWORD flags);
// Copies a file's bytes, permissions and write time; `replace` allows an
// existing target.
BOOL CopyNative(const std::string& from, const std::string& to, bool replace);
BOOL CreateDirectoryNative(const std::string& path);
BOOL RemoveDirectoryNative(const std::string& path);

// GetFileAttributes and SetFileAttributes of a resolved name.
DWORD AttributesOfName(const ResolvedPath& name);
BOOL SetAttributesOfName(const ResolvedPath& name, DWORD attributes);

}  // namespace posix
}  // namespace platform
