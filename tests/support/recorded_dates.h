// Dates in several locales as the platform's GetDateFormatA writes them:
// the long and short date and a set of explicit pictures. The Windows build
// under Wine records them into tests/datetime/wine_dates.txt
// (scripts/record-dates.sh); the tests compare the platform layer with it.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// One line per date and form: "locale<TAB>yyyy-mm-dd<TAB>form<TAB>text",
// the locale id in hex, the form "LONG", "SHORT" or the picture, the text
// in UTF-8.
std::vector<std::string> RecordDateFormats();

}  // namespace testing_support
