#include "platform/clock.h"

#include <sys/timeb.h>
#include <time.h>

namespace platform {

void GetSystemTime(SYSTEMTIME* now) { ::GetSystemTime(now); }

int64_t _time64(int64_t* result) { return ::_time64(reinterpret_cast<__time64_t*>(result)); }

int _ctime64_s(char* buffer, size_t size, const int64_t* time) {
  return ::_ctime64_s(buffer, size, reinterpret_cast<const __time64_t*>(time));
}

int _wctime64_s(WCHAR* buffer, size_t size, const int64_t* time) {
  return ::_wctime64_s(buffer, size, reinterpret_cast<const __time64_t*>(time));
}

void _ftime64(TimeB64* now) {
  __timeb64 runtime;
  ::_ftime64(&runtime);
  now->time = static_cast<int64_t>(runtime.time);
  now->millitm = runtime.millitm;
  now->timezone = runtime.timezone;
  now->dstflag = runtime.dstflag;
}

TimeFields* _gmtime64(const int64_t* time) {
  static thread_local TimeFields fields;
  const tm* utc = ::_gmtime64(reinterpret_cast<const __time64_t*>(time));
  if (utc == nullptr) return nullptr;
  fields = {utc->tm_sec, utc->tm_min, utc->tm_hour, utc->tm_mday, utc->tm_mon,
            utc->tm_year, utc->tm_wday, utc->tm_yday, utc->tm_isdst};
  return &fields;
}

}  // namespace platform
