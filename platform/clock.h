// Wall-clock time as the C runtime gives it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/types.h"

namespace platform {

// The current time in UTC, to the millisecond.
void GetSystemTime(SYSTEMTIME* now);

// Seconds since 1970-01-01 UTC.
int64_t _time64(int64_t* result);

// Local time as "Www Mmm dd hh:mm:ss yyyy\n" (26 bytes with the terminator);
// 0 on success, an errno value when the buffer is too small or the time
// cannot be shown (the buffer then holds the empty text).
int _ctime64_s(char* buffer, size_t size, const int64_t* time);
int _wctime64_s(WCHAR* buffer, size_t size, const int64_t* time);

// The runtime's _ftime64 record: the time, and the time zone as the runtime
// reports it (standard bias in minutes west of UTC, daylight flag).
struct TimeB64 {
  int64_t time;
  unsigned short millitm;
  short timezone;
  short dstflag;
};
void _ftime64(TimeB64* now);

// The runtime's broken-down time (struct tm's fields, tm_year from 1900).
struct TimeFields {
  int tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year, tm_wday, tm_yday, tm_isdst;
};
// `time` in UTC into the calling thread's own record; null for a time the
// runtime cannot break down.
TimeFields* _gmtime64(const int64_t* time);

}  // namespace platform
