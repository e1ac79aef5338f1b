// The locales and values compared between the platforms, as recorded lines:
// "locale type value" (hex ids, the value in UTF-8), "!error" for a failure.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace testing_support {

const std::vector<LCID>& ComparedLocales();
const std::vector<LCTYPE>& ComparedLocaleValues();
std::string LocaleValueLine(LCID locale, LCTYPE type);

}  // namespace testing_support
