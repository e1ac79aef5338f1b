#include "platform/date_format.h"

namespace platform {

int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, const char* picture, char* buffer, int size) {
  return ::GetDateFormatA(locale, flags, date, picture, buffer, size);
}

}  // namespace platform
