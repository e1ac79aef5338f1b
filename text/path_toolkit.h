// The path toolkit, beside the string toolkit: a path's components as the
// runtime's splitter finds them, and joining them again. Below the files and
// the log, which both take paths apart.
#pragma once

#include <stddef.h>

#include "platform/types.h"
#include "text/characters.h"

namespace text {

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

}  // namespace text
