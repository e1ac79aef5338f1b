#ifndef _WIN32

#include <gtest/gtest.h>

#include <ctime>

#include "platform/clock.h"

// Against the C library's own English names and zero-padded fields.
TEST(LocalTimeText, IsCtimeTextWithItsLineEnd) {
  for (int64_t time : {int64_t{0}, int64_t{951782400}, int64_t{1791186755}, int64_t{253402300799}}) {
    time_t seconds = static_cast<time_t>(time);
    tm local;
    char expected[64], text[64];
    std::strftime(expected, sizeof expected, "%a %b %d %H:%M:%S %Y\n", localtime_r(&seconds, &local));
    EXPECT_EQ(platform::_ctime64_s(text, sizeof text, &time), 0);
    EXPECT_STREQ(text, expected);
  }
}

#endif  // _WIN32
