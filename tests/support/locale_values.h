// The locales and locale values compared between the platforms, and the
// line form they are recorded in: "locale type value", the value in UTF-8,
// or "locale type !error" when the read fails.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace testing_support {

const std::vector<LCID>& ComparedLocales();
const std::vector<LCTYPE>& ComparedLocaleValues();

// GetLocaleInfoW's answer for one value as a recorded line.
std::string LocaleValueLine(LCID locale, LCTYPE type);

}  // namespace testing_support
