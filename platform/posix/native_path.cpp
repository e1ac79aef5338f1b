#include "platform/posix/native_path.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/drives.h"

namespace platform {
namespace posix {
namespace {

WideString WideFromCodePage(UINT codePage, const char* text, size_t size) {
  if (size == 0) return WideString();
  int length = MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
  WideString out(static_cast<size_t>(length), 0);
  MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), &out[0], length);
  return out;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
bool IsRefusedInNames(char c) {
  switch (c) {
    case '*': case '?': case '<': case '>': case '|': case '"': return true;
    default: return false;
  }
}
bool IsRelativeStep(std::string_view part) { return part == "." || part == ".."; }

// Whether `text` begins with `prefix`, either separator standing for `\`.
bool BeginsWith(std::string_view text, const char* prefix) {
  size_t length = std::strlen(prefix);
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    bool same = prefix[i] == '\\' ? IsSeparator(text[i]) : text[i] == prefix[i];
    if (!same) return false;
  }
  return true;
}

std::vector<std::string> SplitComponents(std::string_view text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (!IsSeparator(c)) {
      part.push_back(c);
    } else if (!part.empty()) {
      parts.push_back(part);
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Windows drops one period ending a component ("dir." is "dir") and, from
// the last one when no separator follows it, the periods and blanks ending it.
std::string_view TrimmedAsWindows(std::string_view part, bool endsTheName) {
  bool onePeriod = part.size() >= 2 && part.back() == '.' && part[part.size() - 2] != '.';
  if (onePeriod && !IsRelativeStep(part)) part.remove_suffix(1);
  if (!endsTheName || IsRelativeStep(part)) return part;
  size_t end = part.find_last_not_of(". ");
  return part.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// A native path built in the caller's buffer; notes when it would not fit.
class BufferText {
 public:
  BufferText(char* buffer, size_t room) : buffer_(buffer), room_(room) {}
  bool empty() const { return length_ == 0; }
  size_t size() const { return length_; }
  char back() const { return buffer_[length_ - 1]; }
  const char* data() const { return buffer_; }
  void push_back(char c) { append(&c, 1); }
  void append(const char* text, size_t length) {
    if (overflowed_ || length_ + length >= room_) {
      overflowed_ = true;
      return;
    }
    std::memcpy(buffer_ + length_, text, length);
    length_ += length;
    buffer_[length_] = '\0';
  }
  void resize(size_t length) {
    length_ = std::min(length, length_);
    if (room_ > 0) buffer_[length_] = '\0';
  }
  bool overflowed() const { return overflowed_; }

 private:
  char* buffer_;
  size_t room_;
  size_t length_ = 0;
  bool overflowed_ = false;
};

// The components of the name appended to the folder a path starts from:
// "." and ".." folded away by the text (`clamped` stops ".." at the start,
// a root; otherwise leading ".." stay for the file system).
template <typename Text>
class JoinedPath {
 public:
  JoinedPath(Text& path, bool clamped) : path_(path), start_(path.size()), clamped_(clamped) {}

  void Add(std::string_view part) {
    if (part == ".") return;
    if (part == "..") {
      if (parts_ > 0 && LastPart() != "..") return RemoveLast();
      if (clamped_) return;
    }
    if (!path_.empty() && path_.back() != '/') path_.push_back('/');
    path_.append(part.data(), part.size());
    ++parts_;
  }
  size_t parts() const { return parts_; }

 private:
  size_t LastSeparator() const {
    std::string_view added(path_.data() + start_, path_.size() - start_);
    size_t slash = added.rfind('/');
    return slash == std::string_view::npos ? start_ : start_ + slash;
  }
  std::string_view LastPart() const {
    size_t from = LastSeparator();
    if (from < path_.size() && path_.data()[from] == '/') ++from;
    return std::string_view(path_.data() + from, path_.size() - from);
  }
  void RemoveLast() {
    path_.resize(LastSeparator());
    --parts_;
  }

  Text& path_;
  size_t start_;
  bool clamped_;
  size_t parts_ = 0;
};

ResolvedPath Failed(DWORD error) {
  ResolvedPath out;
  out.error = error;
  return out;
}

// Where the name starts from (a native folder, or empty for the current
// directory) and where its own components begin.
struct Origin {
  std::string base;
  size_t restStart = 0;
  bool clamped = false;
  int drive = 0;
  DWORD error = ERROR_SUCCESS;
};

Origin OriginOf(std::string_view text) {
  const DriveTable& drives = DriveTable::Instance();
  Origin origin;
  if (BeginsWithDrive(text)) {
    origin.drive = std::toupper(static_cast<unsigned char>(text[0])) - 'A' + 1;
    origin.restStart = 2;
    if (drives.Root(origin.drive).empty()) {
      origin.error = ERROR_PATH_NOT_FOUND;
    } else if (text.size() > 2 && IsSeparator(text[2])) {
      origin.base = drives.Root(origin.drive);
      origin.clamped = true;
    } else {
      origin.base = drives.CurrentDirectoryOf(origin.drive);
    }
  } else if (BeginsWith(text, "\\\\")) {
    std::vector<std::string> parts = SplitComponents(text);
    origin.error = ERROR_BAD_NETPATH;
    if (parts.size() < 2) return origin;
    origin.base = drives.ShareRoot(parts[0], parts[1]);
    if (origin.base.empty()) return origin;
    origin.error = ERROR_SUCCESS;
    origin.clamped = true;
    origin.restStart = text.find(parts[1], 2 + parts[0].size()) + parts[1].size();
  } else if (IsSeparator(text[0])) {
    origin.base = "/";
    origin.clamped = true;
  }
  return origin;
}

// How a character bears on whether a name is plain (below): most not at all.
enum PlainClass : unsigned char { kOrdinary, kNotPlain, kSlash };

struct PlainClasses {
  constexpr PlainClasses() : of() {
    for (unsigned char c : {'\\', '*', '?', '<', '>', '|', '"'}) of[c] = kNotPlain;
    of[static_cast<unsigned char>('/')] = kSlash;
  }
  PlainClass of[256];
};
constexpr PlainClasses kPlainClasses;

// A name already in the file system's form that the Windows rules leave
// as it is (absolute, '/' only, no empty, "." or ".." component, no period
// ending a component nor blank ending the name, nothing refused) resolves
// to itself: one pass instead of the walk over its components.
bool IsPlainNative(std::string_view text) {
  if (text.empty() || text[0] != '/') return false;
  for (size_t i = 1; i < text.size(); ++i) {
    const PlainClass kind = kPlainClasses.of[static_cast<unsigned char>(text[i])];
    if (kind == kOrdinary) continue;
    if (kind == kNotPlain || text[i - 1] == '/' || text[i - 1] == '.') return false;
  }
  return text.back() != '.' && text.back() != ' ';
}

// The resolution itself, into `native` (a string, or the caller's buffer
// on the paths that must not allocate); `out->native` is left alone.
template <typename Text>
DWORD ResolveInto(std::string_view name, Text& native, ResolvedPath* out) {
  if (name.empty()) return ERROR_PATH_NOT_FOUND;
  if (IsPlainNative(name)) {
    out->trailingSeparator = name.back() == '/';
    out->root = name.size() == 1;
    native.append(name.data(), name.size());
    return ERROR_SUCCESS;
  }
  std::string_view text = name;
  std::string unc;  // \\?\UNC\server\share read as \\server\share
  bool literal = true;
  if (BeginsWith(text, "\\\\?\\UNC\\")) {
    unc = "\\\\" + std::string(text.substr(8));
    text = unc;
  } else if (BeginsWith(text, "\\\\?\\")) {
    text.remove_prefix(4);
  } else {
    literal = false;
  }
  if (text.empty()) return ERROR_PATH_NOT_FOUND;
  if (std::any_of(text.begin(), text.end(), [](char c) { return IsRefusedInNames(c); })) return ERROR_INVALID_NAME;

  Origin origin = OriginOf(text);
  if (origin.error != ERROR_SUCCESS) return origin.error;
  out->drive = origin.drive;
  out->trailingSeparator = IsSeparator(text.back());
  native.append(origin.base.data(), origin.base.size());
  JoinedPath<Text> path(native, origin.clamped);
  std::string_view rest = text.substr(origin.restStart);
  for (size_t at = 0; at < rest.size();) {
    if (IsSeparator(rest[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(at, end - at);
    if (!literal) part = TrimmedAsWindows(part, end == rest.size());
    if (!part.empty()) path.Add(part);
    at = end;
  }
  out->root = origin.clamped && path.parts() == 0;
  if (native.empty()) native.push_back('.');
  if (out->trailingSeparator && native.back() != '/') native.push_back('/');
  return ERROR_SUCCESS;
}

}  // namespace

bool BeginsWithDrive(std::string_view name) {
  return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

ResolvedPath ResolveUtf8(const std::string& name) {
  ResolvedPath out;
  out.error = ResolveInto(name, out.native, &out);
  if (out.error != ERROR_SUCCESS) out = Failed(out.error);
  return out;
}

bool ResolveUtf8Into(std::string_view name, char* buffer, size_t room, ResolvedPath* resolved) {
  BufferText native(buffer, room);
  native.resize(0);
  resolved->error = ResolveInto(name, native, resolved);
  return !native.overflowed();
}

StackResolved::StackResolved(std::string_view name, bool narrow) {
  buffer_[0] = '\0';
  if (narrow && GetACP() != CP_UTF8 && !IsAscii(name)) {
    resolved_ = ResolveUtf8(Utf8FromNarrow(std::string(name).c_str()));
    native_ = resolved_.native.c_str();
  } else if (!ResolveUtf8Into(name, buffer_, sizeof buffer_, &resolved_)) {
    resolved_ = ResolveUtf8(std::string(name));
    native_ = resolved_.native.c_str();
  }
  if (resolved_.error != ERROR_SUCCESS) native_ = "";
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

ResolvedPath ResolveNarrow(const char* name) { return ResolveUtf8(Utf8FromNarrow(name)); }
ResolvedPath ResolveWide(const WCHAR* name) { return ResolveUtf8(Utf8FromWide(WideString(name))); }

std::string NativePathFromNarrow(const char* path) { return ResolveNarrow(path).native; }
std::string NativePathFromWide(const WCHAR* path) { return ResolveWide(path).native; }

std::string Utf8FromWide(const WideString& text) {
  if (text.empty()) return std::string();
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr,
                      nullptr);
  return out;
}

std::string Utf8FromNarrow(const char* text) {
  if (GetACP() == CP_UTF8) return text;
  return Utf8FromWide(WideFromNarrow(text));
}

WideString WideFromNarrow(const char* text) { return WideFromCodePage(CP_ACP, text, std::strlen(text)); }

std::string NarrowFromWide(const WideString& text) {
  if (text.empty()) return std::string();
  int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
  return out;
}

WideString WideFromNative(const std::string& native) {
  return WideFromCodePage(CP_UTF8, native.data(), native.size());
}

std::string NarrowFromNative(const std::string& native) {
  if (GetACP() == CP_UTF8) return native;
  return NarrowFromWide(WideFromNative(native));
}

}  // namespace posix
}  // namespace platform
