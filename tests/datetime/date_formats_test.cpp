#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "datetime/date_formats.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "support/guarded_memory.h"
#include "support/test_support.h"

namespace {

int DayNumber(int day, int month, int year) {
  int number;
  DateToJulian(&number, day, month, year);
  return number;
}

// ANSI text as UTF-8, to compare with texts written here.
std::string Utf8(const char* ansi) {
  WideString wide(256, 0);
  int units = platform::MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], 256);
  wide.resize(units > 0 ? units - 1 : 0);
  return testing_support::ToUtf8(wide);
}

bool AnsiCodePageIsOneOf(std::initializer_list<UINT> pages) {
  for (UINT page : pages) {
    if (platform::GetACP() == page) return true;
  }
  return false;
}

// ICU's Russian long date, which the POSIX locale layer passes on, has a
// narrow no-break space before "г." where Windows has a blank.
std::string SpacesAsBlanks(std::string text) {
#ifndef _WIN32
  for (const char* space : {"\u202F", "\u00A0"}) {
    for (size_t at = text.find(space); at != std::string::npos; at = text.find(space)) text.replace(at, std::strlen(space), " ");
  }
#endif
  return text;
}

std::string LongDate(int number, int primary = 0, int sub = 0) {
  char text[255];
  OVGetDateFormatEx(number, text, primary, sub);
  return Utf8(text);
}

std::string ShortDate(int number, int primary = 0, int sub = 0) {
  char text[255];
  OVGetShortDateFormatEx(number, text, primary, sub);
  return Utf8(text);
}

// The tests run in the user locale en-US (Wine's, and the POSIX layer's,
// for the C locale).
TEST(DateFormats, LocaleChoiceOfTheExForms) {
  const int march5 = DayNumber(5, 3, 2001), january5 = DayNumber(5, 1, 2001);
  char plain[255];
  OVGetDateFormat(march5, plain);
  EXPECT_EQ(Utf8(plain), "March 5, 2001");
  OVGetShortDateFormat(march5, plain);
  EXPECT_EQ(Utf8(plain), "3/5/2001");
  EXPECT_EQ(LongDate(march5, 9, 0), "March 5, 2001");
  EXPECT_EQ(LongDate(march5, 9, 2), "March 5, 2001");  // the user's language keeps the user's locale
  EXPECT_EQ(LongDate(march5, 7, 0), "5. März 2001");
  EXPECT_EQ(LongDate(january5, 7, 0), "5. Januar 2001");
  EXPECT_EQ(LongDate(january5, 7, 3), "5. Jänner 2001");  // de-AT
  EXPECT_EQ(LongDate(march5, 0x7F, 0), "05 March 2001");
  EXPECT_EQ(ShortDate(march5, 0x7F, 0), "03/05/2001");
  EXPECT_EQ(LongDate(march5, 0x234, 4), "");
  EXPECT_EQ(ShortDate(march5, 0x234, 4), "");
  if (AnsiCodePageIsOneOf({1251, 65001})) EXPECT_EQ(SpacesAsBlanks(LongDate(march5, 0x19, 0)), "5 марта 2001 г.");
}

TEST(DateFormats, YearsThePlatformCannotFormatGiveTheEmptyText) {
  for (int number : {-109267, -693960, INT_MIN, INT_MAX}) {
    EXPECT_EQ(LongDate(number), "") << number;
    EXPECT_EQ(ShortDate(number), "") << number;
  }
  EXPECT_EQ(ShortDate(-109266), "1/1/1601");
  EXPECT_EQ(ShortDate(DayNumber(31, 12, 9999)), "12/31/9999");
}

class PinnedShortDate : public ::testing::Test {
 protected:
  void Pin(const char* pattern) { previous_ = datetime::SetShortDatePatternForTesting(pattern); }
  void TearDown() override { datetime::SetShortDatePatternForTesting(previous_); }

 private:
  const char* previous_ = nullptr;
};

std::string Preferred(int number) {
  char text[255];
  OVGetShortDatePrefFormat(number, text);
  return text;
}

TEST_F(PinnedShortDate, PatternsAndMasks) {
  const struct {
    const char *pattern, *rebuilt, *display, *edit, *marker, *date;
  } cases[] = {
      {"M/d/yyyy", "MM/dd/yyyy", "mm/dd/aaaa", "99//99//9999", "\1\1//\1\1//\1\1\1\1", "03/05/2001"},
      {"d/M/y", "dd/MM/yy", "dd/mm/aa", "99//99//99", "\1\1//\1\1//\1\1", "05/03/01"},
      {"dd-MMM-yy", "dd-MMM-yy", "dd-mmm-aa", "99-NNN-99", "\1\1-\1\1\1-\1\1", "05-Mar-01"},
      {"dd.MM.yyyy", "dd.MM.yyyy", "dd.mm.aaaa", "99.99.9999", "\1\1.\1\1.\1\1\1\1", "05.03.2001"},
      {"yyyy'/'M'/'d", "yyyy'/'MM'/'dd", "aaaa'/'mm'/'dd", "9999'//'99'//'99", "\1\1\1\1'//'\1\1'//'\1\1",
       "2001/03/05"},
      {"", "", "", "", "", ""},
  };
  const int march5 = DayNumber(5, 3, 2001);
  for (const auto& c : cases) {
    Pin(c.pattern);
    EXPECT_EQ(Preferred(-2), c.rebuilt) << c.pattern;
    EXPECT_EQ(Preferred(-1), c.display) << c.pattern;
    EXPECT_EQ(Preferred(-59), c.display) << c.pattern;
    EXPECT_EQ(Preferred(march5), c.date) << c.pattern;
    char mask[100];
    OVGetShortDateEditMask(mask, '/');
    EXPECT_EQ(std::string(mask), c.edit) << c.pattern;
    OVGetShortDatePrefMask(mask, '/');
    EXPECT_EQ(std::string(mask), c.marker) << c.pattern;
  }
  Pin("M/d/yyyy");
  char mask[100];
  OVGetShortDateEditMask(mask, 0);
  EXPECT_STREQ(mask, "99/99/9999");
}

TEST_F(PinnedShortDate, NothingPastAHundredBytes) {
  std::string longest = "d/M/y" + std::string(94, '-');
  for (const std::string& pattern : {longest, std::string(97, '/') + "dMy"}) {
    Pin(pattern.c_str());
    testing_support::GuardedBytes out(100);
    char* text = reinterpret_cast<char*>(out.data());
    for (int number : {-2, -1}) {
      OVGetShortDatePrefFormat(number, text);
      EXPECT_EQ(std::strlen(text), number == -2 ? 99u : 51u) << pattern;
    }
    OVGetShortDateEditMask(text, '-');
    EXPECT_EQ(std::strlen(text), 99u);
    OVGetShortDatePrefMask(text, '/');
    EXPECT_EQ(std::strlen(text), 99u);
  }
}

TEST(DateFormats, LocalePatternsGiveTheirMasks) {
  char pattern[100], mask[100];
  OVGetShortDatePrefFormat(-2, pattern);
  EXPECT_STREQ(pattern, "MM/dd/yyyy");  // en-US: M/d/yyyy
  OVGetShortDateEditMask(mask, '/');
  EXPECT_STREQ(mask, "99//99//9999");
}

TEST(DateFormats, ThreadsFormattingInManyLocalesAgreeWithOneThread) {
  const int languages[][2] = {{9, 1}, {7, 1}, {7, 3}, {0xC, 1}, {0xC, 3}, {0x11, 1},
                              {0x19, 1}, {0x10, 1}, {0x0A, 3}, {0x16, 2}, {0x7F, 0}, {0x13, 1}};
  std::vector<int> days;
  for (int year = 1990; year < 2030; ++year) days.push_back(DayNumber(year % 28 + 1, year % 12 + 1, year));
  std::vector<std::thread> threads;
  std::vector<std::vector<std::string>> answers(8);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (const auto& language : languages) {
        for (int day : days) {
          char text[255];
          OVGetDateFormatEx(day, text, language[0], language[1] + t % 2);
          answers[t].push_back(text);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) {
    size_t i = 0;
    for (const auto& language : languages) {
      for (int day : days) {
        char text[255];
        OVGetDateFormatEx(day, text, language[0], language[1] + t % 2);
        ASSERT_EQ(answers[t][i++], text) << language[0] << "/" << language[1] + t % 2;
      }
    }
  }
}

}  // namespace
