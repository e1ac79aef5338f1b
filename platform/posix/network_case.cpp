// Case-blind comparison and upper-casing: narrow text character by
// character in the ANSI code page, UTF-16 by ICU's simple case mapping.

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "platform/mbcs.h"
#include "platform/posix/posix_codepage.h"
#include "platform/network.h"

namespace platform {
namespace {

int Sign(long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

// The upper case of every byte in a single-byte code page, made once per
// thread and code page; null in a double-byte one.
const unsigned char* SingleByteUpper() {
  thread_local UINT code_page = 0;
  thread_local unsigned char upper[256];
  UINT current = GetACP();
  if (IsDoubleByteCodePage(current)) return nullptr;
  if (code_page != current) {
    for (unsigned c = 0; c < 256; ++c) {
      unsigned mapped = _mbctoupper(c);
      upper[c] = static_cast<unsigned char>(mapped <= 0xFF ? mapped : c);
    }
    code_page = current;
  }
  return upper;
}

// Compares at most `bytes` bytes; a character is taken whole.
int CompareNarrow(const unsigned char* a, const unsigned char* b, size_t bytes) {
  if (const unsigned char* upper = SingleByteUpper()) {
    for (size_t i = 0; i < bytes; ++i) {
      if (upper[a[i]] != upper[b[i]]) return Sign(static_cast<long>(upper[a[i]]) - static_cast<long>(upper[b[i]]));
      if (a[i] == 0) return 0;
    }
    return 0;
  }
  size_t seen = 0;
  while (seen < bytes) {
    unsigned int x = _mbctoupper(_mbsnextc(a)), y = _mbctoupper(_mbsnextc(b));
    if (x != y) return Sign(static_cast<long>(x) - static_cast<long>(y));
    if (x == 0) return 0;
    size_t length = _mbclen(a);
    seen += length;
    a += length;
    b += _mbclen(b);
  }
  return 0;
}

UChar32 NextCodePoint(const WCHAR* text, size_t* i, size_t length) {
  UChar32 c;
  U16_NEXT(reinterpret_cast<const UChar*>(text), *i, length, c);
  return c;
}

int CompareWide(const WCHAR* a, const WCHAR* b, size_t count) {
  size_t length_a = 0, length_b = 0;
  while (length_a < count && a[length_a] != 0) ++length_a;
  while (length_b < count && b[length_b] != 0) ++length_b;
  size_t i = 0, j = 0;
  while (i < length_a && j < length_b) {
    UChar32 x = u_toupper(NextCodePoint(a, &i, length_a)), y = u_toupper(NextCodePoint(b, &j, length_b));
    if (x != y) return Sign(static_cast<long>(x) - static_cast<long>(y));
  }
  return Sign(static_cast<long>(length_a - i) - static_cast<long>(length_b - j));
}

}  // namespace

int _mbsicmp(const unsigned char* a, const unsigned char* b) { return CompareNarrow(a, b, static_cast<size_t>(-1)); }

int _mbsnbicmp(const unsigned char* a, const unsigned char* b, size_t bytes) { return CompareNarrow(a, b, bytes); }

unsigned char* _mbsupr(unsigned char* text) {
  for (unsigned char* p = text; *p != 0; p += _mbclen(p)) {
    unsigned int upper = _mbctoupper(_mbsnextc(p));
    if (_mbclen(p) == 2 && upper > 0xFF) {
      p[0] = static_cast<unsigned char>(upper >> 8);
      p[1] = static_cast<unsigned char>(upper);
    } else if (_mbclen(p) == 1 && upper <= 0xFF) {
      p[0] = static_cast<unsigned char>(upper);
    }
  }
  return text;
}

int _wcsicmp(const WCHAR* a, const WCHAR* b) { return CompareWide(a, b, static_cast<size_t>(-1)); }

int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count) { return CompareWide(a, b, count); }

// A character whose upper case takes another number of units stays.
WCHAR* _wcsupr(WCHAR* text) {
  size_t length = WideLength(text);
  for (size_t i = 0; i < length;) {
    size_t start = i;
    UChar32 upper = u_toupper(NextCodePoint(text, &i, length));
    if (static_cast<size_t>(U16_LENGTH(upper)) != i - start) continue;
    size_t k = start;
    U16_APPEND_UNSAFE(reinterpret_cast<UChar*>(text), k, upper);
  }
  return text;
}

}  // namespace platform
