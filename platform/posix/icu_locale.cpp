#include "platform/posix/icu_locale.h"

#include <unicode/uloc.h>

#include "platform/system.h"

namespace platform {
namespace posix {

bool IcuLocaleIdOf(LCID locale, char* icuId, size_t size) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = uloc_getLocaleForLCID(locale, icuId, static_cast<int32_t>(size), &status);
  if (U_FAILURE(status) || length <= 0 || static_cast<size_t>(length) >= size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

}  // namespace posix
}  // namespace platform
