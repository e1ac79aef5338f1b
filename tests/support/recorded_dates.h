// Dates in several locales by the platform's GetDateFormatA (long, short,
// explicit pictures), one line each: "locale<TAB>yyyy-mm-dd<TAB>form<TAB>text",
// the text in UTF-8. scripts/record-dates.sh records them under Wine into
// tests/datetime/wine_dates.txt; the tests compare the platform layer with it.
#pragma once

#include <string>
#include <vector>

namespace testing_support {
std::vector<std::string> RecordDateFormats();
}  // namespace testing_support
