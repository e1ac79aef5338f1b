// The string toolkit: trimming, padding, justification, bounded copies and
// tests of fixed-form text, in place in the caller's buffers. The exported
// functions of the same names forward here; the rest of the library calls
// these.
//
// Narrow text is in the ANSI code page, wide text UTF-16 (a unit is a
// character). Lengths and widths count bytes (narrow) or units (wide). A
// blank is the space (0x20) only; white space is what the runtime's
// classification calls space. When the double-byte flag is set, the narrow
// functions marked so step a character at a time and never split one.
#pragma once

#include "platform/types.h"

namespace text {

// ---- Trailing blanks
void str_trimA(char* text);  // character-aware
void str_trimW(WCHAR* text);
void strtrm(char* text);
// How many of the first `maximum` characters remain without the trailing
// blanks among them; the text is not changed.
int strtrmlenA(const char* text, int maximum);
int strtrmlenW(const WCHAR* text, int maximum);

// ---- Leading blanks
void str_trim_leftA(char* text);
void str_trim_leftW(WCHAR* text);
void strtrmlft(char* text);
// The first non-blank position within `length`; `remaining` (if given)
// receives what is left of the length from there, 0 if all of it was blank.
char* strtrmleftstartA(const char* text, unsigned length, unsigned* remaining);
WCHAR* strtrmleftstartW(const WCHAR* text, unsigned length, unsigned* remaining);

// ---- Removing characters; the counts returned are the new lengths
int strtrmspc(char* text);    // all white space; character-aware
int wcstrmspc(WCHAR* text);
int strtrmextra(char* text);  // each run between alphanumerics to one character; character-aware
int wcstrmextra(WCHAR* text);
void str_rid_charA(char* text, char removed);  // bytewise, trail bytes included
void str_rid_charW(WCHAR* text, WCHAR removed);
// Leading white space of the fields of a value typed into a mask of
// dot-separated fields, and the value's trailing white space.
void str_trim_mask(const char* mask, char* value);  // character-aware through DBCSstr_trim_mask
void DBCSstr_trim_mask(const char* mask, char* value);

// ---- Padding and justification: the buffer holds width + 1
void str_pad(char* text, unsigned width);
void str_padA(char* text, int width);
void str_space(char* out, int count);  // count blanks and a terminator
void str_justifyA(char* text, int width);
void str_justifyW(WCHAR* text, int width);

// ---- Bounded copies and assembly
// At most `maximum` bytes (units) and a terminator; the destination holds
// maximum + 1. With the double-byte flag lstrncpyA copies whole characters.
char* lstrncpyA(char* dest, const char* source, int maximum);
WCHAR* lstrncpyW(WCHAR* dest, const WCHAR* source, unsigned maximum);
char* DBCSlstrncpy(char* dest, const char* source, unsigned maximum);
// Shortens to at most `maximum` bytes of whole characters; the new length.
int _tcstrunc(char* text, unsigned maximum);
// Copies up to the first `stop` character; the number of bytes copied.
int str_copy_till(char* dest, const char* source, int stop);
void str_cat_frontA(char* text, const char* prefix);
void str_cat_frontW(WCHAR* text, const WCHAR* prefix);
// The base name of a path without extension; the destination holds as much
// as the path.
void str_filename(char* dest, const char* path);

// ---- Tests: 1 or 0. A negative limit (all bits set for the wide forms)
// means no limit.
int strblankA(const char* text, int limit);
int strblankW(const WCHAR* text, unsigned limit);
int strzeroA(const char* text, int limit);
int strzeroW(const WCHAR* text, unsigned limit);
int strdigits(const char* text);

}  // namespace text
