// UTF-16 printf. Numbers are formatted by the C library one conversion at a
// time; strings and characters are handled here, since the C library knows
// no char16_t text.

#include "platform/format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/posix/native_path.h"
#include "platform/wide.h"

namespace platform {
namespace {

struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  enum class Size { Default, Short, Char, Long, LongLong, LongDouble, Wide, SizeT, IntMax, PtrDiff } size = Size::Default;
  char type = 0;
};

bool IsFlag(WCHAR c) { return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0'; }

int ReadNumber(const WCHAR*& p) {
  int value = 0;
  while (*p >= u'0' && *p <= u'9') value = value * 10 + (*p++ - u'0');
  return value;
}

// Reads "%[flags][width][.precision][size]type" after the '%'.
Conversion ReadConversion(const WCHAR*& p, va_list& arguments) {
  Conversion c;
  while (IsFlag(*p)) c.flags.push_back(static_cast<char>(*p++));
  if (*p == u'*') {
    ++p;
    c.width = va_arg(arguments, int);
    if (c.width < 0) {
      c.flags.push_back('-');
      c.width = -c.width;
    }
  } else if (*p >= u'0' && *p <= u'9') {
    c.width = ReadNumber(p);
  }
  if (*p == u'.') {
    ++p;
    if (*p == u'*') {
      ++p;
      c.precision = va_arg(arguments, int);
      if (c.precision < 0) c.precision = -1;
    } else {
      c.precision = ReadNumber(p);
    }
  }
  using Size = Conversion::Size;
  if (p[0] == u'h' && p[1] == u'h') { c.size = Size::Char; p += 2; }
  else if (*p == u'h') { c.size = Size::Short; ++p; }
  else if (p[0] == u'l' && p[1] == u'l') { c.size = Size::LongLong; p += 2; }
  else if (*p == u'l' || *p == u'w') { c.size = Size::Long; ++p; }
  else if (*p == u'L') { c.size = Size::LongDouble; ++p; }
  else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') { c.size = Size::LongLong; p += 3; }
  else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') { c.size = Size::Default; p += 3; }
  else if (*p == u'I' || *p == u'z') { c.size = Size::SizeT; ++p; }
  else if (*p == u'j') { c.size = Size::IntMax; ++p; }
  else if (*p == u't') { c.size = Size::PtrDiff; ++p; }
  c.type = *p != 0 && *p < 0x80 ? static_cast<char>(*p++) : 0;
  return c;
}

std::string NarrowSpec(const Conversion& c, const char* size, char type) {
  std::string pattern = "%" + c.flags;
  if (c.width >= 0) pattern += std::to_string(c.width);
  if (c.precision >= 0) pattern += "." + std::to_string(c.precision);
  return pattern + size + type;
}

template <typename Value>
void AppendNumber(WideString& out, const std::string& pattern, Value value) {
  char text[512];
  int length = std::snprintf(text, sizeof text, pattern.c_str(), value);
  for (int i = 0; i < length && i < static_cast<int>(sizeof text) - 1; ++i) out.push_back(static_cast<WCHAR>(text[i]));
}

void AppendInteger(WideString& out, const Conversion& c, va_list& arguments) {
  using Size = Conversion::Size;
  bool isSigned = c.type == 'd' || c.type == 'i';
  switch (c.size) {
    case Size::LongLong:
    case Size::IntMax:
      if (isSigned) AppendNumber(out, NarrowSpec(c, "ll", c.type), va_arg(arguments, long long));
      else AppendNumber(out, NarrowSpec(c, "ll", c.type), va_arg(arguments, unsigned long long));
      return;
    case Size::SizeT:
    case Size::PtrDiff:
      if (isSigned) AppendNumber(out, NarrowSpec(c, "ll", c.type), static_cast<long long>(va_arg(arguments, intptr_t)));
      else AppendNumber(out, NarrowSpec(c, "ll", c.type), static_cast<unsigned long long>(va_arg(arguments, uintptr_t)));
      return;
    case Size::Short:
      AppendNumber(out, NarrowSpec(c, "h", c.type), va_arg(arguments, int));
      return;
    case Size::Char:
      AppendNumber(out, NarrowSpec(c, "hh", c.type), va_arg(arguments, int));
      return;
    default:
      // Windows' long is 32 bits, so %ld takes an int-sized argument.
      AppendNumber(out, NarrowSpec(c, "", c.type), va_arg(arguments, int));
      return;
  }
}

void AppendPadded(WideString& out, const Conversion& c, WideString text) {
  if (c.precision >= 0 && text.size() > static_cast<size_t>(c.precision)) text.resize(c.precision);
  size_t padding = c.width > 0 && text.size() < static_cast<size_t>(c.width) ? c.width - text.size() : 0;
  bool left = c.flags.find('-') != std::string::npos;
  if (!left) out.append(padding, u' ');
  out += text;
  if (left) out.append(padding, u' ');
}

void AppendText(WideString& out, const Conversion& c, va_list& arguments) {
  bool narrow = c.type == 'S' || c.size == Conversion::Size::Short;
  if (narrow) {
    const char* text = va_arg(arguments, const char*);
    AppendPadded(out, c, text != nullptr ? posix::WideFromNarrow(text) : WideString(OV_WIDE("(null)")));
  } else {
    const WCHAR* text = va_arg(arguments, const WCHAR*);
    AppendPadded(out, c, text != nullptr ? WideString(text) : WideString(OV_WIDE("(null)")));
  }
}

void AppendCharacter(WideString& out, const Conversion& c, va_list& arguments) {
  int value = va_arg(arguments, int);
  bool narrow = c.type == 'C' || c.size == Conversion::Size::Short;
  if (narrow) {
    char text[2] = {static_cast<char>(value), '\0'};
    AppendPadded(out, c, posix::WideFromNarrow(text));
  } else {
    AppendPadded(out, c, WideString(1, static_cast<WCHAR>(value)));
  }
}

}  // namespace

int FormatWide(WCHAR* buffer, size_t capacity, const WCHAR* format, va_list arguments) {
  if (buffer == nullptr || capacity == 0 || format == nullptr) return -1;
  va_list remaining;
  va_copy(remaining, arguments);
  WideString out;
  for (const WCHAR* p = format; *p != 0;) {
    if (*p != u'%') {
      out.push_back(*p++);
      continue;
    }
    ++p;
    if (*p == u'%') {
      out.push_back(*p++);
      continue;
    }
    Conversion c = ReadConversion(p, remaining);
    switch (c.type) {
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
        AppendInteger(out, c, remaining);
        break;
      case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
        if (c.size == Conversion::Size::LongDouble) AppendNumber(out, NarrowSpec(c, "L", c.type), va_arg(remaining, long double));
        else AppendNumber(out, NarrowSpec(c, "", c.type), va_arg(remaining, double));
        break;
      case 'p':
        AppendNumber(out, "%p", va_arg(remaining, void*));
        break;
      case 's': case 'S':
        AppendText(out, c, remaining);
        break;
      case 'c': case 'C':
        AppendCharacter(out, c, remaining);
        break;
      case 'n':
        (void)va_arg(remaining, void*);  // writing through %n is refused, as the secure runtime does
        break;
      default:
        break;  // an unknown conversion produces nothing
    }
  }
  va_end(remaining);
  bool fits = out.size() < capacity;
  size_t length = fits ? out.size() : capacity - 1;
  std::memcpy(buffer, out.data(), length * sizeof(WCHAR));
  buffer[length] = 0;
  return fits ? static_cast<int>(length) : -1;
}

}  // namespace platform
