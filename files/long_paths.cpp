// Long paths, attributes and handles: the long-path form that lets the file
// system take paths of MAX_PATH characters or more, attribute changes and
// reads, names that end in periods, and rewound handle copies.

#include <cstring>
#include <new>
#include <string>

#include "files/paths.h"
#include "frame/config.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/system.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace files {
namespace {

template <typename Char>
bool StartsWith(const Char* text, const char* ascii) {
  for (; *ascii != 0; ++text, ++ascii) {
    if (*text != static_cast<Char>(*ascii)) return false;
  }
  return true;
}

template <typename Char>
Char* AppendAscii(Char* out, const char* ascii) {
  while (*ascii != 0) *out++ = static_cast<Char>(*ascii++);
  return out;
}

// "\\?\" before a drive path, "\\?\UNC" in place of the first backslash of a
// UNC path; a path that has the prefix already is copied.
template <typename Char>
std::unique_ptr<Char[]> LongPathFormOf(const Char* path) {
  if (path == nullptr) return nullptr;
  size_t length = std::char_traits<Char>::length(path);
  if (length < kLongPathLength) return nullptr;
  std::unique_ptr<Char[]> form(new (std::nothrow) Char[length + 8]());
  if (!form) return nullptr;
  Char* out = form.get();
  if (StartsWith(path, "\\\\?\\")) {
    // copied as it is
  } else if (StartsWith(path, "\\\\")) {
    out = AppendAscii(out, "\\\\?\\UNC");
    ++path;
  } else {
    out = AppendAscii(out, "\\\\?\\");
  }
  std::char_traits<Char>::copy(out, path, std::char_traits<Char>::length(path));
  return form;
}

// A period or a space of the code page (its double-byte space included).
bool IsPeriodOrSpace(const char* p) {
  return *p == '.' || text::CharacterSteps::IsSpace(text::CharacterSteps::Code(p));
}

// A name that ends in a period and is neither "." nor "..".
bool EndsInPeriod(const char* begin, const char* end, const char* lastChar) {
  if (lastChar == nullptr || *lastChar != '.') return false;
  size_t length = static_cast<size_t>(end - begin);
  bool dotOrDotDot = length == 1 || (length == 2 && begin[0] == '.');
  return !dotOrDotDot;
}

}  // namespace

std::unique_ptr<char[]> LongPathForm(const char* path) { return LongPathFormOf(path); }
std::unique_ptr<WCHAR[]> LongPathForm(const WCHAR* path) { return LongPathFormOf(path); }

}  // namespace files

std::basic_string<WCHAR> OVPB_API MakeLongPathStub(const WCHAR* path) {
  if (path == nullptr) return std::basic_string<WCHAR>();
  files::FileSystemPath<WCHAR> name(path);
  return std::basic_string<WCHAR>(name.get());
}

extern "C" BOOL OVPB_API ChangeFileAttributes(const char* path, DWORD set, DWORD clear) {
  if (path == nullptr) return FALSE;
  DWORD attributes = platform::GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  return platform::SetFileAttributesA(path, (attributes | set) & ~clear);
}

extern "C" BOOL OVPB_API ChangeFileAttributesW(const WCHAR* path, DWORD set, DWORD clear) {
  if (path == nullptr) return FALSE;
  files::FileSystemPath<WCHAR> name(path);
  DWORD attributes = platform::GetFileAttributesW(name.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
  return platform::SetFileAttributesW(name.get(), (attributes | set) & ~clear);
}

// Through an open handle, since the plain query is refused on some shares;
// a directory opens only with backup semantics.
extern "C" DWORD OVPB_API OVGetFileAttributes(const WCHAR* path) {
  if (path == nullptr) return INVALID_FILE_ATTRIBUTES;
  if (frame::ConfigInteger(frame::ConfigKey::GetFileAttributesOld) != 0) return platform::GetFileAttributesW(path);
  const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = platform::CreateFileW(path, GENERIC_READ, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (platform::GetLastError() != ERROR_ACCESS_DENIED) return platform::GetFileAttributesW(path);
    file = platform::CreateFileW(path, GENERIC_READ, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr);
    if (file == INVALID_HANDLE_VALUE) return platform::GetFileAttributesW(path);
  }
  BY_HANDLE_FILE_INFORMATION information;
  BOOL read = platform::GetFileInformationByHandle(file, &information);
  platform::CloseHandle(file);
  return read ? information.dwFileAttributes : platform::GetFileAttributesW(path);
}

// The platform strips trailing periods and spaces from names, or refuses
// them; this gives the name as it would be kept.
extern "C" void OVPB_API RemoveTrailingSpacesAndPeriods(const char* in, char* out) {
  if (out == nullptr) return;
  if (in == nullptr) {
    out[0] = 0;
    return;
  }
  if (in != out) std::memmove(out, in, std::strlen(in) + 1);
  text::str_trimA(out);
  text::str_trim_leftA(out);
  char* cut = out;
  for (const char* p = out; *p != 0; p = files::NextChar(p)) {
    if (!files::IsPeriodOrSpace(p)) cut = out + (files::NextChar(p) - out);
  }
  *cut = 0;
}

extern "C" int OVPB_API DoesAnyFolderHaveTrailingPeriods(const char* path) {
  if (path == nullptr) return 0;
  const char* begin = path;
  while (*begin == ' ') ++begin;
  const char* end = begin + std::strlen(begin);
  while (end > begin && end[-1] == ' ') --end;

  const char* component = begin;
  const char* lastChar = nullptr;
  for (const char* p = begin; p < end; p = files::NextChar(p)) {
    if (*p == '\\') {
      if (files::EndsInPeriod(component, p, lastChar)) return 1;
      component = p + 1;
      lastChar = nullptr;
    } else {
      lastChar = p;
    }
  }
  return files::EndsInPeriod(component, end, lastChar) ? 1 : 0;
}

extern "C" HANDLE OVPB_API OVDuplFileHandle(HANDLE file) {
  if (file == INVALID_HANDLE_VALUE) return file;
  HANDLE process = platform::GetCurrentProcess();
  HANDLE copy = nullptr;
  if (!platform::DuplicateHandle(process, file, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return INVALID_HANDLE_VALUE;
  }
  platform::SetFilePointer(copy, 0, nullptr, FILE_BEGIN);
  return copy;
}
