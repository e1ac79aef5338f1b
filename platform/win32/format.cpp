#include "platform/format.h"

#include <stdio.h>

namespace platform {

int FormatWide(WCHAR* buffer, size_t capacity, const WCHAR* format, va_list arguments) {
  if (buffer == nullptr || capacity == 0 || format == nullptr) return -1;
  // The runtime's own reading of the conversions (%s wide); it leaves a
  // full buffer unterminated, so terminate here.
  int length = ::_vsnwprintf(buffer, capacity, format, arguments);
  if (length < 0 || static_cast<size_t>(length) >= capacity) {
    buffer[capacity - 1] = 0;
    return -1;
  }
  return length;
}

}  // namespace platform
