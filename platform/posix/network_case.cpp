// Case-blind comparison and upper-casing: narrow text character by
// character in the ANSI code page, UTF-16 by ICU's simple case mapping.

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <string.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/mbcs.h"
#include "platform/posix/posix_codepage.h"
#include "platform/network.h"

namespace platform {
namespace {

int Sign(long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

// The upper case of every byte in a single-byte code page, made once per
// thread and code page; null in a double-byte one.
struct SingleByteCase {
  unsigned char upper[256];
  bool ascii_as_ascii;  // ASCII letters fold as in ASCII, other ASCII bytes stay
};

const SingleByteCase* SingleByteUpper() {
  thread_local UINT code_page = 0;
  thread_local bool single_byte = false;
  thread_local SingleByteCase folding;
  UINT current = GetACP();
  if (code_page != current) {
    single_byte = !IsDoubleByteCodePage(current);
    folding.ascii_as_ascii = true;
    for (unsigned c = 0; single_byte && c < 256; ++c) {
      unsigned mapped = _mbctoupper(c);
      folding.upper[c] = static_cast<unsigned char>(mapped <= 0xFF ? mapped : c);
      unsigned ascii = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
      if (c < 0x80 && folding.upper[c] != ascii) folding.ascii_as_ascii = false;
    }
    code_page = current;
  }
  return single_byte ? &folding : nullptr;
}

// Sixteen bytes at a time, as the compiler's vector extension gives them to
// the processor's vector unit.
typedef unsigned char Block __attribute__((vector_size(16)));

Block UpperAscii(Block bytes) {
  Block lower = reinterpret_cast<Block>(bytes - 'a' < 26);
  return bytes - (lower & 0x20);
}

// Equal after upper-casing ASCII letters: the same under the code page's
// case too, as a byte outside ASCII then stands for itself on both sides.
bool SameAsciiBlock(const unsigned char* a, const unsigned char* b) {
  Block x, y;
  std::memcpy(&x, a, sizeof x);
  std::memcpy(&y, b, sizeof y);
  Block differing = reinterpret_cast<Block>(UpperAscii(x) != UpperAscii(y));
  uint64_t halves[2];
  std::memcpy(halves, &differing, sizeof halves);
  return (halves[0] | halves[1]) == 0;
}

// How far a and b hold the same text but for the case of ASCII letters,
// found a block at a time (the last block may overlap the one before);
// `length` is at most the shorter text's length.
size_t SameAsciiBlocks(const unsigned char* a, const unsigned char* b, size_t length) {
  const size_t kBlock = sizeof(Block);
  size_t i = 0;
  for (; i + kBlock <= length; i += kBlock) {
    if (!SameAsciiBlock(a + i, b + i)) return i;
  }
  return i > 0 && i < length && SameAsciiBlock(a + length - kBlock, b + length - kBlock) ? length : i;
}

size_t LengthWithin(const unsigned char* text, size_t bytes) {
  const char* p = reinterpret_cast<const char*>(text);
  return bytes == static_cast<size_t>(-1) ? std::strlen(p) : strnlen(p, bytes);
}

// Compares at most `bytes` bytes; a character is taken whole.
int CompareNarrow(const unsigned char* a, const unsigned char* b, size_t bytes) {
  if (const SingleByteCase* folding = SingleByteUpper()) {
    const unsigned char* upper = folding->upper;
    size_t i = 0;
    size_t length = folding->ascii_as_ascii ? LengthWithin(a, bytes) : 0;
    if (length >= sizeof(Block)) {
      size_t other_length = LengthWithin(b, bytes);
      i = SameAsciiBlocks(a, b, std::min(length, other_length));
      if (i == length && i == other_length) return 0;  // alike to both ends, or to the limit
    }
    for (; i < bytes; ++i) {
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
