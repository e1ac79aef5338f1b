// The runtime's own multi-byte services: its multi-byte code page is the
// process's ANSI code page, set when the runtime starts.

#include "platform/mbcs.h"

#include <mbctype.h>
#include <mbstring.h>
#include <wctype.h>

namespace platform {

int _ismbblead(unsigned int c) { return ::_ismbblead(c); }

unsigned char* _mbsinc(const unsigned char* current) { return ::_mbsinc(current); }

size_t _mbclen(const unsigned char* c) { return ::_mbclen(c); }

void _mbccpy(unsigned char* dest, const unsigned char* src) { ::_mbccpy(dest, src); }

unsigned int _mbsnextc(const unsigned char* text) { return ::_mbsnextc(text); }

unsigned char* _mbschr(const unsigned char* text, unsigned int c) {
  return const_cast<unsigned char*>(::_mbschr(text, c));
}

unsigned char* _mbsrchr(const unsigned char* text, unsigned int c) {
  return const_cast<unsigned char*>(::_mbsrchr(text, c));
}

unsigned char* _mbslwr(unsigned char* text) { return ::_mbslwr(text); }

unsigned int _mbctoupper(unsigned int c) { return ::_mbctoupper(c); }

int _ismbcspace(unsigned int c) { return ::_ismbcspace(c); }
int _ismbcalnum(unsigned int c) { return ::_ismbcalnum(c); }
int _ismbcdigit(unsigned int c) { return ::_ismbcdigit(c); }

int iswspace(WCHAR c) { return ::iswspace(c); }
int iswalnum(WCHAR c) { return ::iswalnum(c); }

}  // namespace platform
