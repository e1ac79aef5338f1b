// printf-style formatting of UTF-16 text, with the Windows runtime's reading
// of the conversions: %s and %c take wide arguments, %S, %hs and %hc narrow
// ones, %ls and %lc wide ones.
#pragma once

#include <stdarg.h>
#include <stddef.h>

#include "platform/types.h"

namespace platform {

// At most `capacity` units, terminator included. Returns the length written,
// or -1 when the text did not fit (the buffer then holds its first
// capacity-1 units, terminated), as _vsnwprintf_s with _TRUNCATE does.
int FormatWide(WCHAR* buffer, size_t capacity, const WCHAR* format, va_list arguments);

}  // namespace platform
