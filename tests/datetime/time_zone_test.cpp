#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

// The offset a fresh process takes under the zone TZ names, with eight
// threads racing to take it.
std::string OffsetUnder(const char* zone) {
  const char* saved = std::getenv("TZ");
  std::string previous = saved != nullptr ? saved : "";
  testing_support::SetEnvironment("TZ", zone);
  testing_support::HelperProcess child({"time-zone", "8"});
  std::string line = child.ReadLine();
  child.Finish();
  testing_support::SetEnvironment("TZ", saved != nullptr ? previous.c_str() : nullptr);
  return line;
}

TEST(TimeZone, FixedZonesTakenOnceByRacingThreads) {
  EXPECT_EQ(OffsetUnder("UTC0"), "0 agree");
  EXPECT_EQ(OffsetUnder("XST5"), "300 agree");
  EXPECT_EQ(OffsetUnder("XST-5:30"), "-330 agree");
}

#ifndef _WIN32
// With daylight time the offset is the one in force now, also for shifts
// other than an hour.
TEST(TimeZone, DaylightZonesGiveTheOffsetInForceNow) {
  for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "Europe/Dublin", "America/St_Johns"}) {
    testing_support::SetEnvironment("TZ", zone);
    tzset();
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    std::string expected = std::to_string(-local.tm_gmtoff / 60) + " agree";
    EXPECT_EQ(OffsetUnder(zone), expected) << zone;
  }
  testing_support::SetEnvironment("TZ", nullptr);
  tzset();
}
#endif

}  // namespace
