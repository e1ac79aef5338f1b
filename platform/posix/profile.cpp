// INI profile reads with the semantics of the Windows profile functions.
//
// The file is read at every call (the library reads each key once per
// process, so a cache would buy nothing). Text is handled as UTF-16: a file
// with a UTF-16LE or UTF-8 byte order mark is decoded as such, any other in
// the ANSI code page, as Windows does.

#include "platform/profile.h"

#include <fcntl.h>
#include <unicode/uchar.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/native_path.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

namespace platform {
namespace {

using posix::NarrowFromWide;
using posix::WideFromNarrow;

struct Entry {
  WideString key;
  WideString value;
  bool hasValue;
};

struct Section {
  WideString name;
  std::vector<Entry> entries;
};

bool IsProfileSpace(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v'; }

WideString Trimmed(const WCHAR* begin, const WCHAR* end) {
  while (begin < end && IsProfileSpace(*begin)) ++begin;
  while (end > begin && IsProfileSpace(end[-1])) --end;
  return WideString(begin, end);
}

// The name asked for loses its surrounding blanks as the file's names do.
bool SameName(const WideString& a, const WCHAR* b) {
  WideString asked = Trimmed(b, b + std::char_traits<WCHAR>::length(b));
  if (asked.size() != a.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (u_foldCase(a[i], U_FOLD_CASE_DEFAULT) != u_foldCase(asked[i], U_FOLD_CASE_DEFAULT)) return false;
  }
  return true;
}

WideString DecodeFile(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    WideString text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<WCHAR>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
  }
  UINT codePage = CP_ACP;
  size_t start = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    codePage = CP_UTF8;
    start = 3;
  }
  if (bytes.size() == start) return WideString();
  int sourceLength = static_cast<int>(bytes.size() - start);
  int length = MultiByteToWideChar(codePage, 0, bytes.data() + start, sourceLength, nullptr, 0);
  WideString text(static_cast<size_t>(length), 0);
  MultiByteToWideChar(codePage, 0, bytes.data() + start, sourceLength, &text[0], length);
  return text;
}

// Lines are "[section]", "key=value" (blanks around names and value trimmed,
// inside the brackets too) or a bare
// key with no value; anything before the first section is ignored.
std::vector<Section> ParseProfile(const WideString& text) {
  std::vector<Section> sections;
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find_first_of(u"\r\n", lineStart);
    if (lineEnd == WideString::npos) lineEnd = text.size();
    WideString line = Trimmed(text.data() + lineStart, text.data() + lineEnd);
    lineStart = lineEnd + 1;
    if (line.empty()) continue;
    if (line[0] == u'[') {
      size_t close = line.rfind(u']');
      if (close != WideString::npos) sections.push_back(Section{Trimmed(line.data() + 1, line.data() + close), {}});
      continue;
    }
    if (sections.empty()) continue;
    size_t equals = line.find(u'=');
    if (equals == WideString::npos) {
      sections.back().entries.push_back(Entry{line, WideString(), false});
    } else {
      const WCHAR* data = line.data();
      sections.back().entries.push_back(
          Entry{Trimmed(data, data + equals), Trimmed(data + equals + 1, data + line.size()), true});
    }
  }
  return sections;
}

bool LoadProfile(const WCHAR* fileName, std::vector<Section>* sections) {
  std::string bytes;
  if (!posix::sys::ReadWholeFile(posix::NativePathFromWide(fileName), &bytes)) return false;
  *sections = ParseProfile(DecodeFile(bytes));
  return true;
}

const Section* FindSection(const std::vector<Section>& sections, const WCHAR* name) {
  for (const Section& section : sections) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

// A value quoted with matching ' or " at both ends loses the quotes.
WideString Unquoted(const WideString& value) {
  if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

DWORD CopyValue(const WideString& value, WCHAR* buffer, DWORD size) {
  DWORD length = static_cast<DWORD>(value.size()) < size - 1 ? static_cast<DWORD>(value.size()) : size - 1;
  value.copy(buffer, length);
  buffer[length] = 0;
  return length;
}

// Section or key names, each terminated, the list ending in a second
// terminator; on truncation the result is size-2 as on Windows.
DWORD CopyNameList(const std::vector<WideString>& names, WCHAR* buffer, DWORD size) {
  if (size < 2) {
    if (size == 1) buffer[0] = 0;
    return 0;
  }
  DWORD used = 0;
  for (const WideString& name : names) {
    for (WCHAR c : name) {
      if (used + 2 >= size) {
        buffer[size - 2] = 0;
        buffer[size - 1] = 0;
        return size - 2;
      }
      buffer[used++] = c;
    }
    if (used + 2 > size) {  // an empty name right at the end: no room for its terminator and the list's
      buffer[size - 2] = 0;
      buffer[size - 1] = 0;
      return size - 2;
    }
    buffer[used++] = 0;
  }
  buffer[used] = 0;
  return used;
}

WideString WithoutTrailingBlanks(const WCHAR* text) {
  WideString value = text != nullptr ? WideString(text) : WideString();
  while (!value.empty() && value.back() == u' ') value.pop_back();
  return value;
}

}  // namespace

DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue, WCHAR* buffer,
                               DWORD size, const WCHAR* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  WideString fallback = WithoutTrailingBlanks(defaultValue);
  std::vector<Section> sections;
  if (fileName == nullptr || !LoadProfile(fileName, &sections)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return CopyValue(fallback, buffer, size);
  }
  if (section == nullptr) {
    std::vector<WideString> names;
    for (const Section& each : sections) names.push_back(each.name);
    return CopyNameList(names, buffer, size);
  }
  const Section* found = FindSection(sections, section);
  if (key == nullptr) {
    std::vector<WideString> names;
    if (found != nullptr) {
      for (const Entry& entry : found->entries) names.push_back(entry.key);
    }
    return CopyNameList(names, buffer, size);
  }
  if (found != nullptr && key[0] != 0) {
    for (const Entry& entry : found->entries) {
      if (entry.hasValue && SameName(entry.key, key)) return CopyValue(Unquoted(entry.value), buffer, size);
    }
  }
  return CopyValue(fallback, buffer, size);
}

UINT GetPrivateProfileIntW(const WCHAR* section, const WCHAR* key, INT defaultValue, const WCHAR* fileName) {
  WCHAR text[30];
  if (GetPrivateProfileStringW(section, key, u"", text, 30, fileName) == 0) return static_cast<UINT>(defaultValue);
  // Leading blanks, a sign, then decimal digits (0x, 0o and 0b prefixes
  // choose another base); whatever follows the digits is ignored.
  const WCHAR* p = text;
  while (*p != 0 && *p <= u' ') ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
  UINT base = 10;
  if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'o' || p[1] == u'b')) {
    base = p[1] == u'x' ? 16 : p[1] == u'o' ? 8 : 2;
    p += 2;
  }
  UINT value = 0;
  for (;; ++p) {
    UINT digit;
    if (*p >= u'0' && *p <= u'9') digit = *p - u'0';
    else if (*p >= u'a' && *p <= u'z') digit = *p - u'a' + 10;
    else if (*p >= u'A' && *p <= u'Z') digit = *p - u'A' + 10;
    else break;
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  WideString sectionW = section ? WideFromNarrow(section) : WideString();
  WideString keyW = key ? WideFromNarrow(key) : WideString();
  WideString defaultW = defaultValue ? WideFromNarrow(defaultValue) : WideString();
  WideString fileW = fileName ? WideFromNarrow(fileName) : WideString();
  std::vector<WCHAR> wide(size);
  DWORD length = GetPrivateProfileStringW(section ? sectionW.c_str() : nullptr, key ? keyW.c_str() : nullptr,
                                          defaultValue ? defaultW.c_str() : nullptr, wide.data(), size,
                                          fileName ? fileW.c_str() : nullptr);
  int written = 0;
  if (length != 0) {
    written = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), buffer,
                                  static_cast<int>(size - 1), nullptr, nullptr);
    if (written == 0) written = static_cast<int>(size - 1);
  }
  buffer[written] = 0;
  return static_cast<DWORD>(written);
}

UINT GetPrivateProfileIntA(const char* section, const char* key, INT defaultValue, const char* fileName) {
  if (section == nullptr || key == nullptr || fileName == nullptr) return static_cast<UINT>(defaultValue);
  return GetPrivateProfileIntW(WideFromNarrow(section).c_str(), WideFromNarrow(key).c_str(), defaultValue,
                               WideFromNarrow(fileName).c_str());
}

// The user's profile, the counterpart of win.ini: $OVPB_WIN_INI, else
// $XDG_CONFIG_HOME/ovpb32/win.ini, else ~/.config/ovpb32/win.ini.
DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size) {
  std::string path;
  if (const char* configured = std::getenv("OVPB_WIN_INI"); configured != nullptr && *configured != '\0') {
    path = configured;
  } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    path = std::string(xdg) + "/ovpb32/win.ini";
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    path = std::string(home) + "/.config/ovpb32/win.ini";
  } else {
    path = "win.ini";
  }
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size,
                                  posix::NarrowFromNative(path).c_str());
}

}  // namespace platform
