// Locale services: locale identifiers, the values of a locale, and the
// conversions between character sets and code pages that go with them.
// Windows answers them itself; the POSIX layer answers them from ICU.
#pragma once

#include "platform/types.h"

namespace platform {

// The user's locale (LOCALE_USER_DEFAULT resolved) and the system locale
// (LOCALE_SYSTEM_DEFAULT resolved, the one that fixes the ANSI code page).
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

// Resolves the default and neutral ids to a specific locale, as Windows does.
LCID ConvertDefaultLocale(LCID locale);

// One value of a locale, with Windows' buffer rules: `size` 0 asks for the
// length with the terminator; a value that does not fit fails with
// ERROR_INSUFFICIENT_BUFFER; an unknown locale with ERROR_INVALID_PARAMETER.
// The narrow form gives text in the process's ANSI code page.
int GetLocaleInfoA(LCID locale, LCTYPE type, char* buffer, int size);
int GetLocaleInfoW(LCID locale, LCTYPE type, WCHAR* buffer, int size);

// The font character set that goes with a code page and back: with
// TCI_SRCCHARSET `source` is the character set itself, with TCI_SRCCODEPAGE
// the code page, with TCI_SRCFONTSIG it points to a code-page bitfield.
BOOL TranslateCharsetInfo(DWORD* source, CHARSETINFO* info, DWORD flags);

// The runtime's multi-byte code page: the ANSI code page when it is a
// multi-byte one, else 0.
int _getmbcp();

}  // namespace platform
