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
// (GetLocaleInfoW is declared in platform/codepage.h.)

}  // namespace platform
