// Dates in a locale's style, with Windows picture rules.
#pragma once

#include "platform/types.h"

namespace platform {

// GetDateFormat: `date` in the locale's long (DATE_LONGDATE) or short
// (DATE_SHORTDATE, the default) date, or by the explicit `picture` (flags
// then without those two). Pictures: d dd day, ddd dddd weekday name;
// M MM month, MMM MMMM month name (the genitive form when the picture shows
// the day as a number); y yy two-digit year, yyy and longer the whole year;
// g gg the era; 'text' literal, '' a quote. Text in the ANSI code page.
// Returns the length with the terminator (`size` 0 asks for it); 0 with
// ERROR_INVALID_PARAMETER for an invalid date or a year outside 1601 to
// 30827, ERROR_INSUFFICIENT_BUFFER when the text does not fit.
int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, const char* picture, char* buffer, int size);

}  // namespace platform
