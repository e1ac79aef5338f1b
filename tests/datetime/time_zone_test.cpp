#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

// The offset a fresh process takes under the zone, and whether its racing threads agree.
std::string OffsetUnder(const char* zone) {
  testing_support::SetEnvironment("TZ", zone);
  testing_support::HelperProcess child({"time-zone"});
  std::string line = child.ReadLine();
  child.Finish();
  testing_support::SetEnvironment("TZ", nullptr);
  return line;
}

TEST(TimeZone, FixedZonesAndTheOffsetInForceNow) {
  EXPECT_EQ(OffsetUnder("UTC0"), "0 agree");
  EXPECT_EQ(OffsetUnder("XST5"), "300 agree");
  EXPECT_EQ(OffsetUnder("XST-5:30"), "-330 agree");
#ifndef _WIN32
  for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "Europe/Dublin"}) {  // shifts of 1, 0.5, -1 h
    testing_support::SetEnvironment("TZ", zone);
    tzset();
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    EXPECT_EQ(OffsetUnder(zone), std::to_string(-local.tm_gmtoff / 60) + " agree") << zone;
  }
#endif
}

}  // namespace
