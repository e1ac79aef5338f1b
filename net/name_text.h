// Narrow and wide text the same way for the network names' templates.
#pragma once

#include <string.h>

#include <cstring>
#include <string>

#include "files/paths.h"
#include "platform/network.h"
#include "platform/wide.h"

namespace net {

template <typename Char>
using Text = std::basic_string<Char>;

template <typename Char>
size_t Length(const Char* text) {
  return std::char_traits<Char>::length(text);
}

// At most capacity-1 units and a terminator.
template <typename Char>
void CopyCut(Char* dest, const Char* source, size_t capacity) {
  size_t i = 0;
  for (; i + 1 < capacity && source[i] != 0; ++i) dest[i] = source[i];
  dest[i] = 0;
}
inline void CopyCut(char* dest, const char* source, size_t capacity) {
  size_t length = strnlen(source, capacity - 1);
  std::memcpy(dest, source, length);
  dest[length] = 0;
}

template <typename Char>
void CopyText(Char* dest, const Text<Char>& source) {
  std::copy(source.c_str(), source.c_str() + source.size() + 1, dest);
}

inline int CompareNoCase(const char* a, const char* b) {
  return platform::_mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}
inline int CompareNoCase(const WCHAR* a, const WCHAR* b) { return platform::_wcsicmp(a, b); }
inline int CompareNoCase(const char* a, const char* b, size_t count) {
  return platform::_mbsnbicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b),
                              count);
}
inline int CompareNoCase(const WCHAR* a, const WCHAR* b, size_t count) { return platform::_wcsnicmp(a, b, count); }

inline void Upper(Text<char>* text) {
  platform::_mbsupr(reinterpret_cast<unsigned char*>(&(*text)[0]));
}
inline void Upper(Text<WCHAR>* text) { platform::_wcsupr(&(*text)[0]); }

// Units to the next character: a double-byte character is taken whole.
inline size_t Step(const char* p) { return text::CharacterLength(p); }
inline size_t Step(const WCHAR*) { return 1; }

inline bool StartsWithTwoBackslashes(const char* t) { return t[0] == '\\' && t[1] == '\\'; }
inline bool StartsWithTwoBackslashes(const WCHAR* t) { return t[0] == '\\' && t[1] == '\\'; }

// A path's drive-and-directory part and its file name with extension;
// both empty when the path or a part is longer than the room given.
template <typename Char>
struct SplitName {
  Text<Char> root;
  Text<Char> file;
};

inline files::NarrowPathParts* PartsFor(char*, files::NarrowPathParts* narrow, files::WidePathParts*) { return narrow; }
inline files::WidePathParts* PartsFor(WCHAR*, files::NarrowPathParts*, files::WidePathParts* wide) { return wide; }

template <typename Char>
SplitName<Char> Split(const Char* path, size_t root_room, size_t file_room) {
  files::NarrowPathParts narrow;
  files::WidePathParts wide;
  auto* parts = PartsFor(static_cast<Char*>(nullptr), &narrow, &wide);
  SplitName<Char> split;
  if (!files::SplitPath(path, parts)) return split;
  split.root = Text<Char>(parts->drive) + parts->dir;
  split.file = Text<Char>(parts->name) + parts->ext;
  if (split.root.size() >= root_room || split.file.size() >= file_room) return SplitName<Char>();
  return split;
}

// directory, a backslash unless it ends in one, name: as MakePath joins them.
template <typename Char>
Text<Char> Joined(const Text<Char>& directory, const Text<Char>& name) {
  Text<Char> joined(directory.size() + name.size() + 2, Char(0));
  files::JoinPath(&joined[0], joined.size(), directory.c_str(), name.c_str(), nullptr);
  joined.resize(Length(joined.c_str()));
  return joined;
}

template <typename Char>
bool IsDriveRoot(const Text<Char>& root) {
  return root.size() >= 3 && ((root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z')) &&
         root[1] == ':' && root[2] == '\\';
}

template <typename Char>
Char UpperAscii(Char c) {
  return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

}  // namespace net
