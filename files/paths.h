// Path text for the other subsystems: splitting and joining, the trailing
// backslash, and the long-path form that lets the file system take paths of
// MAX_PATH characters or more.
#pragma once

#include <stddef.h>

#include <memory>

#include "platform/types.h"
#include "text/characters.h"

namespace files {

// ---- Narrow text in the ANSI code page -------------------------------------

// The next character after p (p must not be at the terminator): a lead byte
// takes the byte after it along, unless that is the terminator.
inline const char* NextChar(const char* p) { return p + text::CharacterLength(p); }
// The start of the last character of text[0, end), or null when it is empty.
const char* LastChar(const char* text, const char* end);

// ---- Splitting and joining -------------------------------------------------

// The four components of a path as the runtime's splitter finds them; the
// extension keeps its dot. Each is empty when the path has none.
struct NarrowPathParts {
  char drive[4];
  char dir[MAX_PATH];
  char name[MAX_PATH];
  char ext[MAX_PATH];
};
struct WidePathParts {
  WCHAR drive[4];
  WCHAR dir[2049];
  WCHAR name[257];
  WCHAR ext[257];
};

// False, with every component empty, when a component does not fit. The
// narrow split takes paths of up to MAX_PATH - 1 bytes, so that any
// combination of its components fits a MAX_PATH buffer.
bool SplitPath(const char* path, NarrowPathParts* parts);
bool SplitPath(const WCHAR* path, WidePathParts* parts);

// Joins directory, name and extension as MakePathA does (any of them may be
// null) into out of `size` units. False when the path does not fit; out then
// holds as much as fits, terminated.
bool JoinPath(char* out, size_t size, const char* dir, const char* name, const char* ext);
bool JoinPath(WCHAR* out, size_t size, const WCHAR* dir, const WCHAR* name, const WCHAR* ext);

// Exactly a drive letter and a colon ("C:"): the drive's current directory.
bool IsDriveOnly(const char* path);
bool IsDriveOnly(const WCHAR* path);

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
