#include "platform/number_format.h"

#include <stdlib.h>

namespace platform {

int GetCurrencyFormatA(LCID locale, DWORD flags, const char* value, const CURRENCYFMTA* format,
                       char* out, int size) {
  return ::GetCurrencyFormatA(locale, flags, value, format, out, size);
}

double atof(const char* text) { return ::atof(text); }

}  // namespace platform
