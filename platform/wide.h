// UTF-16 text helpers shared by every subsystem. WCHAR is wchar_t on Windows
// and char16_t elsewhere, so wide literals and the C library's wcs* functions
// cannot be used portably; these can.
#pragma once

#include <string>

#include "platform/types.h"

#ifdef _WIN32
#define OV_WIDE_(s) L##s
#else
#define OV_WIDE_(s) u##s
#endif
// A UTF-16 string literal: OV_WIDE("cv.ver").
#define OV_WIDE(s) OV_WIDE_(s)

using WideString = std::basic_string<WCHAR>;

inline size_t WideLength(const WCHAR* text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// Copies at most size-1 units and terminates, like lstrcpynW.
inline void WideCopyBounded(WCHAR* dest, const WCHAR* src, size_t size) {
  if (size == 0) return;
  size_t i = 0;
  for (; i + 1 < size && src[i] != 0; ++i) dest[i] = src[i];
  dest[i] = 0;
}

// Latin-1 text widened unit by unit; enough for the ASCII names the library
// builds its wide paths and keys from.
inline WideString WidenAscii(const char* text) {
  WideString out;
  for (; *text != 0; ++text) out.push_back(static_cast<WCHAR>(static_cast<unsigned char>(*text)));
  return out;
}
