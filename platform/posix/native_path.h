// Windows-form names to the names the POSIX file system takes, and back.
//
// Narrow names are in the ANSI code page and wide ones UTF-16; native names
// are UTF-8. Both `\` and `/` separate. A name that begins with a drive
// letter or \\server\share goes through the drive table (drives.h); one that
// begins with a single separator, or none, is a native POSIX path and passes
// as it is. The long-path prefixes \\?\ and \\?\UNC\ are accepted.
//
// As Windows does, "." and ".." are folded away by the text alone (a ".."
// never climbs above a drive's root), a component ending in one period
// loses it, and trailing periods and blanks of the last component go.
#pragma once

#include <limits.h>

#include <string>
#include <string_view>

#include "platform/types.h"
#include "platform/wide.h"

namespace platform {
namespace posix {

struct ResolvedPath {
  std::string native;              // empty when `error` is set
  DWORD error = ERROR_SUCCESS;     // ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME, ERROR_BAD_NETPATH
  bool trailingSeparator = false;  // the name ended in a separator (kept in `native`)
  bool root = false;               // the root of a drive, of a share or of the file system
  int drive = 0;                   // the drive letter the name began with (1 = A), else 0
};

// `name` in UTF-8; names with wildcard or other characters Windows refuses
// in names (* ? < > | ") give ERROR_INVALID_NAME.
ResolvedPath ResolveUtf8(const std::string& name);
ResolvedPath ResolveNarrow(const char* name);
ResolvedPath ResolveWide(const WCHAR* name);

// As ResolveUtf8, with the native path written into the caller's `buffer`
// of `room` bytes (terminated) instead of a string, for the paths that must
// not allocate. False when it would not fit; `resolved->native` stays empty.
bool ResolveUtf8Into(std::string_view name, char* buffer, size_t room, ResolvedPath* resolved);

// A name resolved into a buffer on the stack where it can be (text that
// needs no conversion, a result that fits), else into `resolved().native`:
// how the paths that must not allocate resolve names.
class StackResolved {
 public:
  // `name` in UTF-8, or when `narrow` in the ANSI code page.
  StackResolved(std::string_view name, bool narrow);
  StackResolved(const StackResolved&) = delete;
  StackResolved& operator=(const StackResolved&) = delete;

  const ResolvedPath& resolved() const { return resolved_; }
  // The native path; empty when `resolved().error` is set.
  const char* native() const { return native_; }

 private:
  char buffer_[PATH_MAX];
  ResolvedPath resolved_;
  const char* native_ = buffer_;
};

// Pure ASCII is the same text in UTF-8 and in every ANSI code page.
bool IsAscii(std::string_view text);

// Whether a Windows-form name begins with a drive letter and its colon.
bool BeginsWithDrive(std::string_view name);

// The resolved native path, or empty for a name that resolves to nothing.
std::string NativePathFromNarrow(const char* path);
std::string NativePathFromWide(const WCHAR* path);

// Text between the ANSI code page or UTF-16 and UTF-8, as whole strings.
std::string Utf8FromNarrow(const char* text);
std::string Utf8FromWide(const WideString& text);

// Native UTF-8 text (a file name, a path) in the ANSI code page or UTF-16.
std::string NarrowFromNative(const std::string& native);
WideString WideFromNative(const std::string& native);

// UTF-16 <-> the ANSI code page, as whole strings.
WideString WideFromNarrow(const char* text);
std::string NarrowFromWide(const WideString& text);

}  // namespace posix
}  // namespace platform
