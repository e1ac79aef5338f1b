// Currency formatting of plain number text, and the runtime's reading of a
// number from text.
#pragma once

#include "platform/types.h"

namespace platform {

// Windows' GetCurrencyFormatA. The value is an optional '-', digits and at
// most one '.', nothing else; it is rounded half away from zero to
// NumDigits, grouped as the Grouping number says (3 repeats, 32 is 3 then
// 2s, 30 and 320 stop after the listed groups) and laid out by
// PositiveOrder (0-3) or NegativeOrder (0-15). Returns the length written
// with the terminator, or with `size` 0 the length needed; 0 on failure with
// ERROR_INVALID_PARAMETER (bad value, format or locale), ERROR_INVALID_FLAGS
// or ERROR_INSUFFICIENT_BUFFER. The POSIX layer needs `format` (the library
// always passes one) and takes separators of any length and NumDigits
// above 9.
int GetCurrencyFormatA(LCID locale, DWORD flags, const char* value, const CURRENCYFMTA* format,
                       char* out, int size);

// The runtime's atof, reading a '.' as the decimal point whatever locale
// the host has set.
double atof(const char* text);

}  // namespace platform
