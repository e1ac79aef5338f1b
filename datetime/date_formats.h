// The date formats' test seam.
#pragma once

namespace datetime {

// Pins the user's short-date pattern the masks are made from (null: the
// locale's again); returns the previous pin.
const char* SetShortDatePatternForTesting(const char* pattern);

}  // namespace datetime
