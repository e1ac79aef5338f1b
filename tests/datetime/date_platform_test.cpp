// The platform services under the date formats, pinned to Windows' answers.
// (The picture rules are compared with Windows' in recorded_dates_test.)
#include <gtest/gtest.h>

#include <vector>

#include "frame/module.h"
#include "platform/date_format.h"
#include "platform/string_table.h"
#include "platform/system.h"

namespace {

TEST(DatePlatform, FormatFailuresAndSizes) {
  const WORD dates[][3] = {{30827, 12, 31}, {1600, 12, 31}, {2001, 13, 1}, {2001, 4, 31}, {2001, 0, 1}, {2001, 2, 29}};
  std::vector<SYSTEMTIME> date(6);
  for (int i = 0; i < 6; ++i) date[i] = {dates[i][0], dates[i][1], 0, dates[i][2], 0, 0, 0, 0};
  char text[16];
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", nullptr, 0), 12);  // "31/12/30827"
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", text, 11), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
#ifdef _WIN32
  date.pop_back();  // Wine 8 formats 29 February of a common year
#endif
  for (size_t i = 1; i < date.size(); ++i) {
    EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[i], "d", text, 8), 0) << i;
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
#ifndef _WIN32
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d '' M", text, 8), 8);  // Wine 8: '' is empty text
  EXPECT_STREQ(text, "31 ' 12");
#endif
}

TEST(DatePlatform, StringTable) {
  char text[8];
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9070, text, sizeof text), 2);
  EXPECT_STREQ(text, "aa");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9068, text, 2), 1);  // size-1 characters at most
  EXPECT_STREQ(text, "d");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9071, text, sizeof text), 0);
}

}  // namespace
