#include "platform/clock.h"

#include <sys/time.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/files.h"
#include "platform/posix/file_facts.h"

namespace platform {
namespace {

// `value` in at least `width` digits, zeros before it. Written by hand: a
// log entry writes the time, and printf would cost more than its line.
char* PutNumber(char* out, int value, int width) {
  char digits[16];
  char* last = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (int pad = width - static_cast<int>(last - digits); pad > 0; --pad) *out++ = '0';
  return std::copy(digits, last, out);
}

// The runtime's ctime text: English names, two-digit day.
int FormatLocalTime(char* text, size_t size, const int64_t* time) {
  static const char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (text == nullptr || size == 0) return EINVAL;
  text[0] = '\0';
  if (size < 26) return ERANGE;
  if (time == nullptr || *time < 0) return EINVAL;
  time_t seconds = static_cast<time_t>(*time);
  tm local;
  if (localtime_r(&seconds, &local) == nullptr) return EINVAL;
  // "Sun Dec 06 00:12:35 2026\n", cut at the buffer's size.
  char line[64];
  char* out = std::copy(kDays[local.tm_wday], kDays[local.tm_wday] + 3, line);
  *out++ = ' ';
  out = std::copy(kMonths[local.tm_mon], kMonths[local.tm_mon] + 3, out);
  *out++ = ' ';
  out = PutNumber(out, local.tm_mday, 2);
  *out++ = ' ';
  out = PutNumber(out, local.tm_hour, 2);
  *out++ = ':';
  out = PutNumber(out, local.tm_min, 2);
  *out++ = ':';
  out = PutNumber(out, local.tm_sec, 2);
  *out++ = ' ';
  out = PutNumber(out, local.tm_year + 1900, 4);
  *out++ = '\n';
  const size_t length = std::min(static_cast<size_t>(out - line), size - 1);
  std::memcpy(text, line, length);
  text[length] = '\0';
  return 0;
}

}  // namespace

void GetSystemTime(SYSTEMTIME* now) {
  timespec time;
  clock_gettime(CLOCK_REALTIME, &time);
  const FILETIME ticks = posix::FileTimeFrom(time);
  FileTimeToSystemTime(&ticks, now);
}

int64_t _time64(int64_t* result) {
  int64_t now = static_cast<int64_t>(::time(nullptr));
  if (result != nullptr) *result = now;
  return now;
}

int _ctime64_s(char* buffer, size_t size, const int64_t* time) { return FormatLocalTime(buffer, size, time); }

int _wctime64_s(WCHAR* buffer, size_t size, const int64_t* time) {
  char narrow[32];
  int error = FormatLocalTime(narrow, size < sizeof narrow ? size : sizeof narrow, time);
  if (buffer != nullptr && size > 0) {
    size_t i = 0;
    for (; narrow[i] != '\0' && error == 0; ++i) buffer[i] = static_cast<WCHAR>(narrow[i]);
    buffer[i] = 0;
  }
  return error;
}

// The zone's current offset split as the runtime splits it, so that bias
// less 60 in daylight time is exactly minus tm_gmtoff, also where daylight
// time shifts by other than an hour.
void _ftime64(TimeB64* now) {
  timeval clock;
  gettimeofday(&clock, nullptr);
  time_t seconds = clock.tv_sec;
  tm local{};
  localtime_r(&seconds, &local);
  bool daylight = local.tm_isdst > 0;
  now->time = static_cast<int64_t>(clock.tv_sec);
  now->millitm = static_cast<unsigned short>(clock.tv_usec / 1000);
  now->timezone = static_cast<short>(-local.tm_gmtoff / 60 + (daylight ? 60 : 0));
  now->dstflag = daylight ? 1 : 0;
}

TimeFields* _gmtime64(const int64_t* time) {
  static thread_local TimeFields fields;
  if (time == nullptr || *time < 0) return nullptr;
  time_t seconds = static_cast<time_t>(*time);
  tm utc;
  if (gmtime_r(&seconds, &utc) == nullptr) return nullptr;
  fields = {utc.tm_sec, utc.tm_min, utc.tm_hour, utc.tm_mday, utc.tm_mon,
            utc.tm_year, utc.tm_wday, utc.tm_yday, utc.tm_isdst};
  return &fields;
}

}  // namespace platform
