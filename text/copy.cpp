// Bounded copies and assembly. A bound in bytes is met with whole
// characters only where a double-byte character could be cut in two.

#include <cstring>

#include "ovpb32.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace text {
namespace {

template <typename Char>
Char* CopyBounded(Char* dest, const Char* source, size_t maximum) {
  size_t copied = 0;
  for (; copied < maximum && source[copied] != 0; ++copied) dest[copied] = source[copied];
  dest[copied] = 0;
  return dest;
}

// The bytes of the whole characters at the start of `text` that fit in
// `maximum` bytes.
size_t FittingCharacters(const char* text, size_t maximum) {
  size_t fitting = 0;
  while (text[fitting] != 0) {
    const size_t length = CharacterLength(text + fitting);
    if (fitting + length > maximum) break;
    fitting += length;
  }
  return fitting;
}

template <typename Char>
void PutInFront(Char* text, const Char* prefix) {
  const size_t prefixLength = Length(prefix);
  if (prefixLength == 0) return;
  std::memmove(text + prefixLength, text, (Length(text) + 1) * sizeof(Char));
  std::memcpy(text, prefix, prefixLength * sizeof(Char));
}

// The first character whose code is `stop`: as _mbschr finds it, stepping
// whole characters so that a trail byte never matches, but without reading
// past a lead byte that ends the text (the runtime under Wine does).
const char* FindCharacter(const char* text, unsigned stop) {
  for (const char* p = text;; p += CharacterSteps::Length(p)) {
    if (CharacterSteps::Code(p) == stop) return p;
    if (*p == 0) return nullptr;
  }
}

}  // namespace

char* lstrncpyA(char* dest, const char* source, int maximum) {
  const size_t bound = maximum > 0 ? static_cast<size_t>(maximum) : 0;
  if (DoubleByte()) return DBCSlstrncpy(dest, source, static_cast<unsigned>(bound));
  return CopyBounded(dest, source, bound);
}

WCHAR* lstrncpyW(WCHAR* dest, const WCHAR* source, unsigned maximum) { return CopyBounded(dest, source, maximum); }

char* DBCSlstrncpy(char* dest, const char* source, unsigned maximum) {
  const size_t copied = FittingCharacters(source, maximum);
  std::memcpy(dest, source, copied);
  dest[copied] = 0;
  return dest;
}

int _tcstrunc(char* text, unsigned maximum) {
  const size_t kept = FittingCharacters(text, maximum);
  if (text[kept] != 0) text[kept] = 0;
  return static_cast<int>(kept);
}

int str_copy_till(char* dest, const char* source, int stop) {
  const char* found = DoubleByte() ? FindCharacter(source, static_cast<unsigned>(stop)) : std::strchr(source, stop);
  const size_t copied = found != nullptr ? static_cast<size_t>(found - source) : std::strlen(source);
  std::memcpy(dest, source, copied);
  dest[copied] = 0;
  return static_cast<int>(copied);
}

void str_cat_frontA(char* text, const char* prefix) { PutInFront(text, prefix); }
void str_cat_frontW(WCHAR* text, const WCHAR* prefix) { PutInFront(text, prefix); }

// Byte by byte: each backslash or colon starts the name again, each dot
// ends it (what follows is still written, past that terminator).
void str_filename(char* dest, const char* path) {
  char* out = dest;
  for (const char* p = path; *p != 0; ++p) {
    if (*p == '\\' || *p == ':') {
      out = dest;
    } else {
      *out++ = *p == '.' ? '\0' : *p;
    }
  }
  *out = 0;
}

}  // namespace text

extern "C" char* OVPB_API lstrncpyA(char* dest, const char* source, int maximum) {
  return text::lstrncpyA(dest, source, maximum);
}

extern "C" WCHAR* OVPB_API lstrncpyW(WCHAR* dest, const WCHAR* source, unsigned int maximum) {
  return text::lstrncpyW(dest, source, maximum);
}

extern "C" int OVPB_API _tcstrunc(char* text, unsigned int maximum) { return text::_tcstrunc(text, maximum); }

extern "C" int OVPB_API str_copy_till(char* dest, const char* source, int stop) {
  return text::str_copy_till(dest, source, stop);
}

extern "C" void OVPB_API str_cat_frontA(char* text, const char* prefix) { text::str_cat_frontA(text, prefix); }
extern "C" void OVPB_API str_cat_frontW(WCHAR* text, const WCHAR* prefix) { text::str_cat_frontW(text, prefix); }
extern "C" void OVPB_API str_filename(char* dest, const char* path) { text::str_filename(dest, path); }
