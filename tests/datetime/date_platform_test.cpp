// The platform services under the date formats, pinned to Windows' answers.
// (The picture rules are compared with Windows' in recorded_dates_test.)
#include <gtest/gtest.h>

#include <vector>

#include "frame/module.h"
#include "platform/date_format.h"
#include "platform/string_table.h"
#include "platform/system.h"

namespace {

SYSTEMTIME Date(int year, int month, int day) {
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  return date;
}

TEST(DatePlatform, FailuresAndSizes) {
  const SYSTEMTIME date = Date(30827, 12, 31);
  char text[16];
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date, "d/M/yyyy", nullptr, 0), 12);  // "31/12/30827"
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date, "d/M/yyyy", text, 11), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<SYSTEMTIME> invalid = {Date(1600, 12, 31), Date(2001, 13, 1), Date(2001, 4, 31), Date(2001, 0, 1)};
#ifndef _WIN32
  invalid.push_back(Date(2001, 2, 29));  // Wine 8 formats 29 February of a common year
#endif
  for (const SYSTEMTIME& bad : invalid) {
    EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &bad, "d", text, 8), 0) << bad.wYear << "-" << bad.wMonth;
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
#ifndef _WIN32
  const SYSTEMTIME march5 = Date(2001, 3, 5);  // '' outside quotes too (Wine 8 reads an empty quoted text)
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &march5, "d '' M", text, 8), 6);
  EXPECT_STREQ(text, "5 ' 3");
#endif
}

TEST(DatePlatform, StringTable) {
  char text[8];
  const char* const strings[] = {"dd", "mm", "aa"};
  for (UINT id = 9068; id <= 9070; ++id) {
    EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), id, text, sizeof text), 2);
    EXPECT_STREQ(text, strings[id - 9068]);
  }
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9068, text, 2), 1);  // size-1 characters at most
  EXPECT_STREQ(text, "d");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9071, text, sizeof text), 0);
}

}  // namespace
