// Narrow and wide conversion through the conversion locale, so that the
// results do not follow whatever runtime locale the host has set.

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"

namespace {

// Without a conversion locale nothing can be converted; that is reported
// as an invalid sequence.
constexpr size_t kConversionError = static_cast<size_t>(-1);

}  // namespace

extern "C" size_t OVPB_API li_mbstowcs(WCHAR* dest, const char* source, size_t max) {
  platform::CtypeLocale* locale = frame::ConversionLocale();
  return locale != nullptr ? platform::MbsToWcsL(dest, source, max, locale) : kConversionError;
}

extern "C" size_t OVPB_API li_wcstombs(char* dest, const WCHAR* source, size_t max) {
  platform::CtypeLocale* locale = frame::ConversionLocale();
  return locale != nullptr ? platform::WcsToMbsL(dest, source, max, locale) : kConversionError;
}
