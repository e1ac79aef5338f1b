#include "platform/clock.h"

#include <sys/time.h>
#include <time.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/posix/file_facts.h"

namespace platform {
namespace {

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
  std::snprintf(text, size, "%s %s %02d %02d:%02d:%02d %04d\n", kDays[local.tm_wday], kMonths[local.tm_mon],
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
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
