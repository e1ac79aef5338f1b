// The runtime's multi-byte character services over narrow text in the ANSI
// code page (the runtime's multi-byte code page), and its wide character
// classification. Names and behaviour are the runtime's:
// - a double-byte character's code is lead byte * 256 + trail byte;
// - a lead byte followed by the terminator counts as one byte;
// - in a single-byte code page nothing is a lead byte, and a code above 0xFF
//   is no character.
#pragma once

#include <stddef.h>

#include "platform/types.h"

namespace platform {

// Whether the low byte of `c` is a lead byte.
int _ismbblead(unsigned int c);

// The next character (past a lead byte and its trail byte).
unsigned char* _mbsinc(const unsigned char* current);
// 2 for a lead byte followed by a trail byte, else 1.
size_t _mbclen(const unsigned char* c);
// Copies one character; a lead byte followed by the terminator copies a 0.
void _mbccpy(unsigned char* dest, const unsigned char* src);
// The code of the character at `text`.
unsigned int _mbsnextc(const unsigned char* text);

// The first and last character of `text` whose code is `c` (0 finds the
// terminator); a trail byte never matches. Null when there is none.
unsigned char* _mbschr(const unsigned char* text, unsigned int c);
unsigned char* _mbsrchr(const unsigned char* text, unsigned int c);

// Lower-cases `text` in place, character by character; returns it.
unsigned char* _mbslwr(unsigned char* text);
// The upper case of a character code, or the code itself.
unsigned int _mbctoupper(unsigned int c);

// Classification of a character code: nonzero when it is white space, a
// letter or digit, a decimal digit (double-byte ones included).
int _ismbcspace(unsigned int c);
int _ismbcalnum(unsigned int c);
int _ismbcdigit(unsigned int c);

// Wide classification; as on Windows it does not depend on the locale.
int iswspace(WCHAR c);
int iswalnum(WCHAR c);

}  // namespace platform
