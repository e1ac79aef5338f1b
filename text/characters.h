// How the string functions step through text and classify what they meet.
// One algorithm serves every path: it is written once over a Steps policy.
//   ByteSteps       narrow text a byte at a time, classified by the runtime's
//                   current locale (bytes as unsigned values);
//   CharacterSteps  narrow text a character at a time with the runtime's
//                   multi-byte services, classified by full code;
//   UnitSteps       UTF-16 text a unit at a time.
#pragma once

#include <cctype>
#include <cstddef>

#include "frame/module.h"
#include "platform/mbcs.h"
#include "platform/types.h"

namespace text {

inline const unsigned char* Unsigned(const char* p) { return reinterpret_cast<const unsigned char*>(p); }
inline unsigned char* Unsigned(char* p) { return reinterpret_cast<unsigned char*>(p); }

// A lead byte before the terminator is a character of its own.
inline size_t CharacterLength(const char* p) {
  return static_cast<size_t>(platform::_mbsinc(Unsigned(p)) - Unsigned(p));
}

// Whether the narrow functions take their character-aware paths.
inline bool DoubleByte() { return frame::DoubleByteFlag() != 0; }

struct ByteSteps {
  static size_t Length(const char*) { return 1; }
  static unsigned Code(const char* p) { return static_cast<unsigned char>(*p); }
  static void Copy(char* dest, const char* src, size_t) { *dest = *src; }
  static bool IsSpace(unsigned c) { return std::isspace(static_cast<int>(c)) != 0; }
  static bool IsAlnum(unsigned c) { return std::isalnum(static_cast<int>(c)) != 0; }
  static bool IsDigit(unsigned c) { return std::isdigit(static_cast<int>(c)) != 0; }
  static unsigned Upper(unsigned c) { return static_cast<unsigned>(std::toupper(static_cast<int>(c))); }
};

struct CharacterSteps {
  static size_t Length(const char* p) { return CharacterLength(p); }
  static unsigned Code(const char* p) {
    return CharacterLength(p) == 2 ? platform::_mbsnextc(Unsigned(p)) : static_cast<unsigned char>(*p);
  }
  static void Copy(char* dest, const char* src, size_t length) {
    if (length == 2) {
      platform::_mbccpy(Unsigned(dest), Unsigned(src));
    } else {
      *dest = *src;
    }
  }
  static bool IsSpace(unsigned c) { return platform::_ismbcspace(c) != 0; }
  static bool IsAlnum(unsigned c) { return platform::_ismbcalnum(c) != 0; }
  static bool IsDigit(unsigned c) { return platform::_ismbcdigit(c) != 0; }
  static unsigned Upper(unsigned c) { return platform::_mbctoupper(c); }
};

struct UnitSteps {
  static size_t Length(const WCHAR*) { return 1; }
  static unsigned Code(const WCHAR* p) { return *p; }
  static void Copy(WCHAR* dest, const WCHAR* src, size_t) { *dest = *src; }
  static bool IsSpace(unsigned c) { return platform::iswspace(static_cast<WCHAR>(c)) != 0; }
  static bool IsAlnum(unsigned c) { return platform::iswalnum(static_cast<WCHAR>(c)) != 0; }
};

template <typename Char>
size_t Length(const Char* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

}  // namespace text
