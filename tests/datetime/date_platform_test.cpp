// The platform services the date formats stand on, pinned to what Windows does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
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

std::string Format(const SYSTEMTIME& date, const char* picture, LCID locale = 0x0409) {
  char text[255];
  if (platform::GetDateFormatA(locale, 0, &date, picture, text, sizeof text) == 0) return "(error)";
  return text;
}

TEST(DatePlatform, PictureRules) {
  const SYSTEMTIME date = Date(2001, 3, 5);
  const struct {
    const char *picture, *text;
  } cases[] = {{"d dd ddd dddd ddddd", "5 05 Mon Monday Monday"},
               {"M MM MMM MMMM MMMMM", "3 03 Mar March March"},
               {"y yy yyy yyyy yyyyy", "01 01 2001 2001 2001"},
               {"'d''M' 'y", "d'M y"},
               {"dd/MM 'unclosed", "05/03 unclosed"},
               {"hh:mm:ss tt x", "hh:mm:ss tt x"},
               {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(Format(date, c.picture), c.text) << c.picture;
  EXPECT_EQ(Format(Date(2005, 3, 5), "y"), "05");
#ifndef _WIN32
  // '' outside quotes too (Wine 8 reads it as an empty quoted text).
  EXPECT_EQ(Format(date, "d '' M"), "5 ' 3");
#endif
}

// Month names take the form that goes with a day number only when the
// picture shows one.
TEST(DatePlatform, GenitiveMonthNamesWithADayNumber) {
  const SYSTEMTIME date = Date(2001, 3, 5);
  const LCID russian = 0x0419;
  char withDay[255], alone[255], quotedDay[255];
  ASSERT_NE(platform::GetDateFormatA(russian, 0, &date, "d MMMM", withDay, sizeof withDay), 0);
  ASSERT_NE(platform::GetDateFormatA(russian, 0, &date, "MMMM", alone, sizeof alone), 0);
  ASSERT_NE(platform::GetDateFormatA(russian, 0, &date, "'d' MMMM", quotedDay, sizeof quotedDay), 0);
  EXPECT_STRNE(withDay + 2, alone);  // "марта" against "март" (in the code page at hand)
  EXPECT_STREQ(quotedDay + 2, alone);
}

TEST(DatePlatform, FailuresAndSizes) {
  const SYSTEMTIME date = Date(2001, 3, 5);
  char text[8];
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date, "d/M/yyyy", nullptr, 0), 9);
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date, "d/M/yyyy", text, 8), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<SYSTEMTIME> invalid = {Date(1600, 12, 31), Date(2001, 13, 1), Date(2001, 4, 31), Date(2001, 0, 1)};
#ifndef _WIN32
  invalid.push_back(Date(2001, 2, 29));  // Wine 8 formats 29 February of a common year
#endif
  for (const SYSTEMTIME& bad : invalid) {
    EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &bad, "d", text, 8), 0) << bad.wYear << "-" << bad.wMonth;
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(Format(Date(30827, 12, 31), "yyyy"), "30827");
  EXPECT_EQ(Format(Date(1601, 1, 1), "dddd"), "Monday");
  EXPECT_EQ(Format(Date(2000, 2, 29), "ddd"), "Tue");
}

TEST(DatePlatform, StringTable) {
  HINSTANCE module = frame::ModuleInstance();
  char text[8];
  const struct {
    UINT id;
    const char* text;
  } strings[] = {{9068, "dd"}, {9069, "mm"}, {9070, "aa"}};
  for (const auto& s : strings) {
    EXPECT_EQ(platform::LoadStringA(module, s.id, text, sizeof text), 2);
    EXPECT_STREQ(text, s.text);
  }
  EXPECT_EQ(platform::LoadStringA(module, 9068, text, 2), 1);  // size-1 characters at most
  EXPECT_STREQ(text, "d");
  EXPECT_EQ(platform::LoadStringA(module, 9071, text, sizeof text), 0);
}

}  // namespace
