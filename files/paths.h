// Path text of the files: splitting and joining (from the text layer's path
// toolkit), the trailing backslash, and the long-path form that lets the
// file system take paths of MAX_PATH characters or more.
#pragma once

#include <stddef.h>

#include <memory>

#include "platform/types.h"
#include "text/path_toolkit.h"

namespace files {

// The path splitting and joining of the text layer, under the names the
// files have always used.
using text::IsDriveOnly;
using text::JoinPath;
using text::LastChar;
using text::NarrowPathParts;
using text::NextChar;
using text::SplitPath;
using text::WidePathParts;

// ---- Long paths ------------------------------------------------------------

// Paths of this many characters or more go to the file system in long-path form.
constexpr size_t kLongPathLength = MAX_PATH;

// The long-path form of a path of kLongPathLength characters or more, in a
// fresh zeroed allocation; null for a shorter path (use it as given) or when
// no memory can be had.
std::unique_ptr<char[]> LongPathForm(const char* path);
std::unique_ptr<WCHAR[]> LongPathForm(const WCHAR* path);

// The path to hand to the file system: the long-path form when the path has
// one, else the path itself. Keeps the form alive as long as it lives.
template <typename Char>
class FileSystemPath {
 public:
  explicit FileSystemPath(const Char* path) : longForm_(LongPathForm(path)), path_(path) {}
  const Char* get() const { return longForm_ ? longForm_.get() : path_; }

 private:
  std::unique_ptr<Char[]> longForm_;
  const Char* path_;
};

}  // namespace files
