#include "platform/posix/native_path.h"

#include <algorithm>
#include <cctype>
#include <cstring>
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
bool IsRefusedInNames(char c) { return std::strchr("*?<>|\"", c) != nullptr && c != '\0'; }
bool IsRelativeStep(const std::string& part) { return part == "." || part == ".."; }

// Whether `text` begins with `prefix`, either separator standing for `\`.
bool BeginsWith(const std::string& text, const char* prefix) {
  size_t length = std::strlen(prefix);
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    bool same = prefix[i] == '\\' ? IsSeparator(text[i]) : text[i] == prefix[i];
    if (!same) return false;
  }
  return true;
}

std::vector<std::string> SplitComponents(const std::string& text) {
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

// Windows drops one period ending a component ("dir." is "dir") and the
// periods and blanks ending the last one, unless a separator follows it.
void TrimAsWindows(std::vector<std::string>& parts, bool trailingSeparator) {
  for (std::string& part : parts) {
    bool onePeriod = part.size() >= 2 && part.back() == '.' && part[part.size() - 2] != '.';
    if (onePeriod && !IsRelativeStep(part)) part.pop_back();
  }
  if (trailingSeparator || parts.empty() || IsRelativeStep(parts.back())) return;
  std::string& last = parts.back();
  size_t end = last.find_last_not_of(". ");
  last.erase(end == std::string::npos ? 0 : end + 1);
  if (last.empty()) parts.pop_back();
}

// Folds "." and ".." away by the text; `clamped` stops ".." at the start
// (a root), otherwise leading ".." stay for the file system.
std::vector<std::string> Folded(const std::vector<std::string>& parts, bool clamped) {
  std::vector<std::string> out;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part != "..") {
      out.push_back(part);
    } else if (!out.empty() && out.back() != "..") {
      out.pop_back();
    } else if (!clamped) {
      out.push_back(part);
    }
  }
  return out;
}

std::string Joined(std::string path, const std::vector<std::string>& parts, bool trailingSeparator) {
  for (const std::string& part : parts) {
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path += part;
  }
  if (path.empty()) path = ".";
  if (trailingSeparator && path.back() != '/') path.push_back('/');
  return path;
}

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

Origin OriginOf(const std::string& text) {
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

}  // namespace

bool BeginsWithDrive(const std::string& name) {
  return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

ResolvedPath ResolveUtf8(const std::string& name) {
  if (name.empty()) return Failed(ERROR_PATH_NOT_FOUND);
  std::string text = name;
  bool literal = true;
  if (BeginsWith(text, "\\\\?\\UNC\\")) {
    text = "\\\\" + text.substr(8);
  } else if (BeginsWith(text, "\\\\?\\")) {
    text = text.substr(4);
  } else {
    literal = false;
  }
  if (text.empty()) return Failed(ERROR_PATH_NOT_FOUND);
  if (std::any_of(text.begin(), text.end(), IsRefusedInNames)) return Failed(ERROR_INVALID_NAME);

  Origin origin = OriginOf(text);
  if (origin.error != ERROR_SUCCESS) return Failed(origin.error);
  ResolvedPath out;
  out.drive = origin.drive;
  out.trailingSeparator = IsSeparator(text.back());
  std::vector<std::string> parts = SplitComponents(text.substr(origin.restStart));
  if (!literal) TrimAsWindows(parts, out.trailingSeparator);
  parts = Folded(parts, origin.clamped);
  out.root = origin.clamped && parts.empty();
  out.native = Joined(origin.base, parts, out.trailingSeparator);
  return out;
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
