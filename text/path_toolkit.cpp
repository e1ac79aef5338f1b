// The path toolkit: splitting and joining path text as the runtime does,
// for every subsystem that handles paths (the files and the log). Narrow
// text is in the ANSI code page, stepped a character at a time.

#include "text/path_toolkit.h"

#include <string>

namespace text {
namespace {

bool IsSeparator(unsigned unit) { return unit == '\\' || unit == '/'; }

// Appends to a buffer of fixed room, whole characters only, and remembers
// whether everything fitted.
template <typename Char>
class BoundedAppender {
 public:
  BoundedAppender(Char* out, size_t size) : out_(out), size_(size) {
    if (size_ > 0) out_[0] = 0;
    fits_ = size_ > 0;
  }
  void Append(const Char* text) {
    while (fits_ && *text != 0) {
      size_t width = CharWidth(text);
      if (used_ + width + 1 > size_) {
        fits_ = false;
        break;
      }
      for (size_t i = 0; i < width; ++i) out_[used_++] = text[i];
      text += width;
    }
    if (size_ > 0) out_[used_] = 0;
  }
  void Append(Char unit) {
    const Char text[2] = {unit, 0};
    Append(text);
  }
  bool fits() const { return fits_; }

 private:
  static size_t CharWidth(const char* p) { return text::CharacterLength(p); }
  static size_t CharWidth(const WCHAR*) { return 1; }

  Char* out_;
  size_t size_;
  size_t used_ = 0;
  bool fits_;
};

bool EndsWithSeparator(const char* text) {
  const char* last = LastChar(text, text + Length(text));
  return last != nullptr && IsSeparator(static_cast<unsigned char>(*last));
}

bool EndsWithSeparator(const WCHAR* text) {
  size_t n = Length(text);
  return n > 0 && IsSeparator(text[n - 1]);
}

template <typename Char>
bool JoinPathOf(Char* out, size_t size, const Char* dir, const Char* name, const Char* ext) {
  BoundedAppender<Char> joined(out, size);
  if (dir != nullptr && dir[0] != 0) {
    joined.Append(dir);
    if (!EndsWithSeparator(dir)) joined.Append(Char('\\'));
  }
  if (name != nullptr) joined.Append(name);
  if (ext != nullptr && ext[0] != 0) {
    if (ext[0] != Char('.')) joined.Append(Char('.'));
    joined.Append(ext);
  }
  return joined.fits();
}

// Copies [begin, end) into a component buffer of `room` units.
template <typename Char, size_t room>
bool TakeComponent(Char (&component)[room], const Char* begin, const Char* end) {
  size_t n = static_cast<size_t>(end - begin);
  if (n >= room) return false;
  std::char_traits<Char>::copy(component, begin, n);
  component[n] = 0;
  return true;
}

bool StartsWithDrive(const char* path) { return path[0] != 0 && text::CharacterLength(path) == 1 && path[1] == ':'; }
bool StartsWithDrive(const WCHAR* path) { return path[0] != 0 && path[1] == u':'; }

const char* Next(const char* p) { return NextChar(p); }
const WCHAR* Next(const WCHAR* p) { return p + 1; }

// The runtime's split: the drive is "X:", the directory runs to the last
// separator, the extension from the last dot after it.
template <typename Parts, typename Char>
bool SplitPathOf(const Char* path, Parts* parts) {
  *parts = Parts{};
  const Char* rest = path;
  if (StartsWithDrive(path)) {
    TakeComponent(parts->drive, path, path + 2);
    rest = path + 2;
  }
  const Char* lastSeparator = nullptr;
  const Char* lastDot = nullptr;
  const Char* end = rest;
  for (; *end != 0; end = Next(end)) {
    if (IsSeparator(*end)) lastSeparator = end;
    if (*end == Char('.')) lastDot = end;
  }
  const Char* nameStart = lastSeparator != nullptr ? lastSeparator + 1 : rest;
  const Char* extStart = lastDot != nullptr && lastDot >= nameStart ? lastDot : end;
  if (TakeComponent(parts->dir, rest, nameStart) && TakeComponent(parts->name, nameStart, extStart) &&
      TakeComponent(parts->ext, extStart, end)) {
    return true;
  }
  *parts = Parts{};
  return false;
}

}  // namespace

const char* LastChar(const char* text, const char* end) {
  const char* last = nullptr;
  for (const char* p = text; p < end && *p != 0; p = NextChar(p)) last = p;
  return last;
}

bool SplitPath(const char* path, NarrowPathParts* parts) {
  if (Length(path) >= MAX_PATH) {
    *parts = NarrowPathParts{};
    return false;
  }
  return SplitPathOf(path, parts);
}

bool SplitPath(const WCHAR* path, WidePathParts* parts) { return SplitPathOf(path, parts); }

bool JoinPath(char* out, size_t size, const char* dir, const char* name, const char* ext) {
  return JoinPathOf(out, size, dir, name, ext);
}

bool JoinPath(WCHAR* out, size_t size, const WCHAR* dir, const WCHAR* name, const WCHAR* ext) {
  return JoinPathOf(out, size, dir, name, ext);
}

bool IsDriveOnly(const char* path) { return StartsWithDrive(path) && path[2] == 0; }
bool IsDriveOnly(const WCHAR* path) { return StartsWithDrive(path) && path[2] == 0; }

}  // namespace text
