// The narrow ("ANSI") code page and conversions between it and UTF-16.
#pragma once

#include <stddef.h>

#include "platform/types.h"

namespace platform {

// The process's ANSI code page (1252, 932, 65001, ...).
UINT GetACP();

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength,
                        WCHAR* dest, int destLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength,
                        char* dest, int destLength, const char* defaultChar, BOOL* usedDefaultChar);

// Whether `byte` begins a two-byte character in the ANSI code page.
BOOL IsDBCSLeadByte(BYTE byte);

// A runtime locale for LC_CTYPE, named as the runtime names them (".1252"):
// the locale that the library's narrow/wide conversions go through.
struct CtypeLocale;
CtypeLocale* CreateCtypeLocale(const WCHAR* name);
void FreeCtypeLocale(CtypeLocale* locale);

// The runtime's _mbstowcs_l and _wcstombs_l in such a locale: the count of
// wide characters (bytes) stored, terminator not counted, which is stored
// only if there is room for it within `count`; a null destination asks for
// the count the whole source needs. (size_t)-1 when the source holds an
// invalid sequence, or a character the code page cannot represent.
size_t MbsToWcsL(WCHAR* dest, const char* source, size_t count, CtypeLocale* locale);
size_t WcsToMbsL(char* dest, const WCHAR* source, size_t count, CtypeLocale* locale);

}  // namespace platform
