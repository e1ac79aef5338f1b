#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "datetime/date_formats.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/date_format.h"
#include "platform/string_table.h"
#include "platform/system.h"
#include "support/guarded_memory.h"
#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

const int kMarch5 = 36894;  // 5 March 2001

// The text in UTF-8. ICU's Russian long date, which the POSIX locale layer
// passes on, has a narrow no-break space where Windows has a blank.
std::string Date(void (*format)(int, char*, int, int), int number, int primary, int sub) {
  char ansi[255];
  format(number, ansi, primary, sub);
  WideString wide(256, 0);
  wide.resize(platform::MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], 256) - 1);
  std::string text = testing_support::ToUtf8(wide);
#ifndef _WIN32
  for (size_t at = text.find("\u202F"); at != std::string::npos; at = text.find("\u202F")) text.replace(at, 3, " ");
#endif
  return text;
}

// The user's locale is en-US: Wine's, and the POSIX layer's, in the C locale.
TEST(DateFormats, LocaleChoiceOfTheExForms) {
  const struct {
    int number, primary, sub;
    const char *longDate, *shortDate;
  } cases[] = {{kMarch5, 9, 2, "March 5, 2001", "3/5/2001"},     {kMarch5, 7, 0, "5. März 2001", nullptr},
               {36835, 7, 3, "5. Jänner 2001", nullptr},          {kMarch5, 0x7F, 0, "05 March 2001", "03/05/2001"},
               {kMarch5, 0x234, 4, "", ""},                       {-109266, 0, 0, "January 1, 1601", "1/1/1601"},
               {-109267, 0, 0, "", ""},                           {INT_MAX, 0, 0, "", ""},
               {kMarch5, 9, 0, "March 5, 2001", "3/5/2001"},      {INT_MIN, 0, 0, "", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(Date(OVGetDateFormatEx, c.number, c.primary, c.sub), c.longDate) << c.primary << "/" << c.sub;
    if (c.shortDate) {
      EXPECT_EQ(Date(OVGetShortDateFormatEx, c.number, c.primary, c.sub), c.shortDate) << c.number;
    }
  }
  if (platform::GetACP() == 1251 || platform::GetACP() == 65001) {
    EXPECT_EQ(Date(OVGetDateFormatEx, kMarch5, 0x19, 0), "5 марта 2001 г.");
  }
  char pattern[100];
  OVGetShortDatePrefFormat(-2, pattern);
  EXPECT_STREQ(pattern, "MM/dd/yyyy");  // from the locale's M/d/yyyy
}

struct PinnedShortDate : ::testing::Test {
  const char* previous = nullptr;
  void Pin(const char* pattern) { previous = datetime::SetShortDatePatternForTesting(pattern); }
  void TearDown() override { datetime::SetShortDatePatternForTesting(previous); }
};

TEST_F(PinnedShortDate, PatternsAndMasks) {
  const char* const cases[][6] = {
      // pattern, rebuilt, display mask, edit mask, marker mask ('/' doubled in both), date
      {"M/d/yyyy", "MM/dd/yyyy", "mm/dd/aaaa", "99//99//9999", "\1\1//\1\1//\1\1\1\1", "03/05/2001"},
      {"d/M/y", "dd/MM/yy", "dd/mm/aa", "99//99//99", "\1\1//\1\1//\1\1", "05/03/01"},
      {"dd-MMM-yy", "dd-MMM-yy", "dd-mmm-aa", "99-NNN-99", "\1\1-\1\1\1-\1\1", "05-Mar-01"},
      {"yyyy'/'M'/'d", "yyyy'/'MM'/'dd", "aaaa'/'mm'/'dd", "9999'//'99'//'99", "\1\1\1\1'//'\1\1'//'\1\1",
       "2001/03/05"}};
  for (const auto& c : cases) {
    Pin(c[0]);
    char text[255];
    OVGetShortDateEditMask(text, '/');
    EXPECT_STREQ(text, c[3]) << c[0];
    OVGetShortDatePrefMask(text, '/');
    EXPECT_STREQ(text, c[4]) << c[0];
    const int numbers[] = {-2, -1, -59, kMarch5}, expected[] = {1, 2, 2, 5};
    for (int i = 0; i < 4; ++i) {
      OVGetShortDatePrefFormat(numbers[i], text);
      EXPECT_STREQ(text, c[expected[i]]) << c[0] << " " << numbers[i];
    }
  }
}

TEST_F(PinnedShortDate, NothingPastAHundredBytes) {
  const std::string pattern = "d/M/y" + std::string(94, '-');
  Pin(pattern.c_str());
  testing_support::GuardedBytes out(100);
  char* text = reinterpret_cast<char*>(out.data());
  OVGetShortDatePrefFormat(-1, text);
  EXPECT_EQ(std::strlen(text), 51u);
  OVGetShortDatePrefFormat(-2, text);
  EXPECT_EQ(std::strlen(text), 99u);
  OVGetShortDateEditMask(text, '-');
  EXPECT_EQ(std::strlen(text), 99u);
}

// Locales enter the platform's caches from several threads at once.
TEST(DateFormats, ThreadsAgreeWithOneThread) {
  auto formatAll = [](int t) {
    std::vector<std::string> texts;
    for (int language : {9, 7, 0xC, 0x11, 0x19, 0x10, 0x0A, 0x16, 0x13, 0x7F}) {
      for (int number = 30000 + t; number < 50000; number += 499) {
        char text[255];
        OVGetDateFormatEx(number, text, language, 1 + (t + number) % 3);
        texts.push_back(text);
      }
    }
    return texts;
  };
  std::vector<std::vector<std::string>> answers(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([&, t] { answers[t] = formatAll(t); });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(answers[t], formatAll(t)) << t;
}

TEST(DatePlatform, FormatFailuresSizesAndStrings) {
  const WORD dates[][3] = {{30827, 12, 31}, {1600, 12, 31}, {2001, 13, 1}, {2001, 4, 31}, {2001, 0, 1}};
  SYSTEMTIME date[5];
  for (int i = 0; i < 5; ++i) date[i] = {dates[i][0], dates[i][1], 0, dates[i][2], 0, 0, 0, 0};
  char text[16];
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", nullptr, 0), 12);  // "31/12/30827"
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", text, 11), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  for (int i = 1; i < 5; ++i) {
    EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[i], "d", text, 8), 0) << i;
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9070, text, sizeof text), 2);
  EXPECT_STREQ(text, "aa");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9068, text, 2), 1);  // size-1 characters at most
  EXPECT_STREQ(text, "d");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9071, text, sizeof text), 0);
}

// Where the POSIX layer may differ from the recording, by locale and form: Wine writes the era once per g (Windows
// once per run of g); Windows writes Russian in code page 1251, which lacks the narrow no-break space before "г.".
bool KnownDifference(const std::string& line) {
  return line.find("\t'It''s' dd-MMM-yy gg") != std::string::npos ||
         (line.find("0419\t") == 0 && line.find("\tLONG\t") != std::string::npos);
}

// The child writes the recording's lines in its order.
TEST(RecordedDates, PlatformWritesWhatWindowsWrote) {
  std::ifstream file(testing_support::ProgramDirectory() / "wine_dates.txt");
  testing_support::HelperProcess child({"date-formats"});
  for (std::string line; std::getline(file, line);) {
    if (line[0] == '#') continue;
    std::string written = child.ReadLine();
    ASSERT_TRUE(written == line || KnownDifference(line)) << "Windows: " << line << "\nhere:    " << written;
  }
  EXPECT_EQ(child.ReadLine(), "");
  child.Finish();
}

}  // namespace
