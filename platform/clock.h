// Wall-clock time as the C runtime gives it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/types.h"

namespace platform {

// Seconds since 1970-01-01 UTC.
int64_t _time64(int64_t* result);

// Local time as "Www Mmm dd hh:mm:ss yyyy\n" (26 bytes with the terminator);
// 0 on success, an errno value when the buffer is too small or the time
// cannot be shown (the buffer then holds the empty text).
int _ctime64_s(char* buffer, size_t size, const int64_t* time);
int _wctime64_s(WCHAR* buffer, size_t size, const int64_t* time);

}  // namespace platform
