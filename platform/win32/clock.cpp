#include "platform/clock.h"

#include <time.h>

namespace platform {

int64_t _time64(int64_t* result) { return ::_time64(reinterpret_cast<__time64_t*>(result)); }

int _ctime64_s(char* buffer, size_t size, const int64_t* time) {
  return ::_ctime64_s(buffer, size, reinterpret_cast<const __time64_t*>(time));
}

int _wctime64_s(WCHAR* buffer, size_t size, const int64_t* time) {
  return ::_wctime64_s(buffer, size, reinterpret_cast<const __time64_t*>(time));
}

}  // namespace platform
