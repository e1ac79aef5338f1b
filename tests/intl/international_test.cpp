// Locale values against Windows' recorded under Wine (wine_locale_values.txt;
// differences allowed, with reasons, in locale_value_differences.txt); the
// settings record and its formats, once per locale in a process of its own
// (PerLocale, locale in OVPB_TEST_LOCALE); the interface locale.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/system.h"
#include "support/locale_values.h"
#include "support/test_support.h"

namespace {

// "locale type rest" lines keyed by "locale type".
std::map<std::string, std::string> ReadKeyedLines(const char* fileName) {
  std::map<std::string, std::string> lines;
  for (const auto& line : testing_support::ReadTable(testing_support::ProgramDirectory() / fileName, '\n')) {
    if (line[0].size() >= 10) lines[line[0].substr(0, 9)] = line[0].substr(10);
  }
  return lines;
}

TEST(LocaleValues, AgreeWithWindowsValueByValue) {
  auto recorded = ReadKeyedLines("wine_locale_values.txt");
  auto accepted = ReadKeyedLines("locale_value_differences.txt");
  const auto& locales = testing_support::ComparedLocales();
  ASSERT_EQ(recorded.size(), locales.size() * testing_support::ComparedLocaleValues().size());
  // The recording's user and system locale: en-US in code page 1252.
  bool defaultsAsRecorded = platform::GetUserDefaultLCID() == 0x0409 && platform::GetACP() == 1252;
  for (LCID locale : locales) {
    if ((locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT) && !defaultsAsRecorded) continue;
    for (LCTYPE type : testing_support::ComparedLocaleValues()) {
      std::string line = testing_support::LocaleValueLine(locale, type);
      std::string key = line.substr(0, 9), expected = recorded[key];
#ifndef _WIN32
      if (accepted.count(key) != 0) expected = accepted[key].substr(0, accepted[key].find(" | "));
#endif
      EXPECT_EQ(line.substr(10), expected) << "locale, type: " << key;
    }
  }
}

TEST(LocaleValues, FollowWindowsBufferRulesInTheProcessCodePage) {
  char narrow[32];
  WCHAR wide[32];
  EXPECT_EQ(platform::GetLocaleInfoW(0x0409, LOCALE_SSHORTDATE, nullptr, 0), 9);  // M/d/yyyy
  EXPECT_EQ(platform::GetLocaleInfoA(0x0409, LOCALE_SSHORTDATE, narrow, 8), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(platform::GetLocaleInfoA(0x1234, LOCALE_SCURRENCY, narrow, 32), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
#ifndef _WIN32  // Windows converts in the locale's code page; the record's is the user's, the process's
  ASSERT_GT(platform::GetLocaleInfoW(0x0411, LOCALE_S1159, wide, 32), 0);
  ASSERT_GT(platform::GetLocaleInfoA(0x0411, LOCALE_S1159, narrow, 32), 0);
  char converted[32];
  platform::WideCharToMultiByte(CP_ACP, 0, wide, -1, converted, 32, nullptr, nullptr);
  EXPECT_STREQ(narrow, converted);
#endif
}

TEST(LocaleIds, DefaultNeutralAndSortIdsResolveAsOnWindows) {
  const LCID user = platform::GetUserDefaultLCID();
  const LCID cases[][2] = {{0x0009, 0x0409}, {0x0007, 0x0407}, {0x0011, 0x0411}, {0x10407, 0x0407}, {0x007F, 0x007F},
                           {0x0809, 0x0809}, {0x0400, user}, {0x0000, user}, {0x0800, platform::GetSystemDefaultLCID()}};
  for (const auto& c : cases) EXPECT_EQ(platform::ConvertDefaultLocale(c[0]), c[1]) << std::hex << c[0];
#ifndef _WIN32  // Wine's runtime names single-byte code pages too
  UINT acp = platform::GetACP();
  bool multiByte = acp == 932 || acp == 936 || acp == 949 || acp == 950 || acp == CP_UTF8;
  EXPECT_EQ(platform::_getmbcp(), multiByte ? static_cast<int>(acp) : 0);
#endif
}

TEST(GroupPattern, DigitsBecomeTheFormatsGroupingNumber) {
  const std::pair<const char*, unsigned int> cases[] = {
      {"3;0", 3}, {"3;2;0", 32}, {"3", 30}, {"3;2", 320}, {"", 0}, {"3;", 30}, {"0;", 0},
      {"9;9;9;9;9;9;9;9;9;9;9", 3567587318u}};  // 999999999990 mod 2^32
  for (const auto& c : cases) EXPECT_EQ(ConvertGroupPatternToNumber(c.first), c.second) << c.first;
}

struct LocaleExpectation {
  const char* name;
  LCID lcid;
  const char* charsetName;  // null: not checked
  BYTE fontCharset;
  unsigned int grouping;
};

const LocaleExpectation kLocales[] = {
    {"en-US", 0x0409, "windows-1252", 0, 3}, {"fr-CA", 0x0C0C, "windows-1252", 0, 3},
    {"ja-JP", 0x0411, "shift_jis", 128, 3},  {"ru-RU", 0x0419, "windows-1251", 204, 3},
    {"de-DE", 0x0407, "windows-1252", 0, 3}, {"hi-IN", 0x0439, nullptr, 0, 32}};

bool AllBytes(const void* data, size_t size, unsigned char value) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  return std::count(bytes, bytes + size, value) == static_cast<std::ptrdiff_t>(size);
}

bool InGlobalRecord(const char* pointer) {
  const char* record = reinterpret_cast<const char*>(GetGlobalInternational());
  return pointer >= record && pointer < record + sizeof(InternationalSettings);
}

TEST(PerLocale, RecordFormatsAndTheirPointers) {
  const char* name = std::getenv("OVPB_TEST_LOCALE");
  const LocaleExpectation* expected = nullptr;
  for (const LocaleExpectation& locale : kLocales) expected = name && !std::strcmp(name, locale.name) ? &locale : expected;
  if (expected == nullptr) GTEST_SKIP() << "runs with OVPB_TEST_LOCALE in a process of its own";
  // Nothing has filled them yet in this process.
  CURRENCYFMTA currency;
  NUMBERFMTA number;
  std::memset(&currency, 0xCC, sizeof currency);
  std::memset(&number, 0xCC, sizeof number);
  GetDefaultCurrencyFormat(&currency);
  GetDefaultNumberFormat(&number);
  EXPECT_TRUE(AllBytes(GetGlobalInternational(), sizeof(InternationalSettings), 0));
  EXPECT_TRUE(AllBytes(&currency, sizeof currency, 0) && AllBytes(&number, sizeof number, 0));

  unsigned char memory[sizeof(InternationalSettings) + 32];
  auto& record = *reinterpret_cast<InternationalSettings*>(memory);
  for (int init = 0; init < 2; ++init) {
    std::memset(memory, 0xCC, sizeof memory);
    InitInternational(&record);
    GetDefaultCurrencyFormat(&currency);
    GetDefaultNumberFormat(&number);
    EXPECT_TRUE(AllBytes(memory + sizeof record, 32, 0xCC));
    for (const char* pointer : {currency.lpDecimalSep, currency.lpThousandSep, currency.lpCurrencySymbol,
                                number.lpDecimalSep, number.lpThousandSep}) {
      EXPECT_TRUE(InGlobalRecord(pointer));
    }
  }
  const std::pair<const char*, size_t> texts[] = {
      {record.terms, 22},         {record.morning, 10},          {record.afternoon, 10},
      {record.currencySymbol, 13}, {record.thousandsSeparator, 2}, {record.decimalSeparator, 2},
      {record.dateSeparator, 2},  {record.timeSeparator, 2},     {record.listSeparator, 2},
      {record.shortDate, 12},     {record.longDate, 26},         {record.charsetName, 67}};
  for (const auto& text : texts) EXPECT_NE(std::memchr(text.first, 0, text.second), nullptr) << text.second;
  EXPECT_EQ(std::memcmp(&record, GetGlobalInternational(), sizeof record), 0);
  EXPECT_STREQ(record.terms, "");
  EXPECT_STREQ(record.charsetName, expected->charsetName != nullptr ? expected->charsetName : record.charsetName);
  EXPECT_EQ(record.grouping, expected->grouping);
  EXPECT_EQ(platform::GetUserDefaultLCID(), expected->lcid);
  EXPECT_EQ(GetUserFontCharset(), expected->fontCharset);
  EXPECT_EQ(currency.Grouping, record.grouping);
  EXPECT_EQ(number.Grouping, 0u);
  EXPECT_EQ(number.NegativeOrder, static_cast<UINT>(record.negativeNumberOrder));
  bool parentheses = currency.NegativeOrder == 0 || currency.NegativeOrder == 4 || currency.NegativeOrder >= 14;
  EXPECT_EQ(record.negativeMoneySign, parentheses ? 0 : 1);
  if (expected->lcid == 0x0C0C) {
    EXPECT_STREQ(record.timeSeparator, ":");  // its own does not fit the field
    EXPECT_EQ(currency.NegativeOrder, 15u);
  }
  InitInternational(nullptr);
  GetDefaultCurrencyFormat(nullptr);
  GetDefaultNumberFormat(nullptr);
  EXPECT_EQ(std::memcmp(&record, GetGlobalInternational(), sizeof record), 0);
}

// With cv.ver written beside the test program.
TEST(Applocale, ChoosesTheSystemLocaleWhenSetAndKeepsItUnlessMinusOne) {
  auto configure = [](const std::string& value) {
    testing_support::WriteTextFile(frame::GetConfigFilePathA(), "[VERSION]\r\n" + value + "\r\n");
  };
  const LCID user = platform::GetUserDefaultLCID();
  const struct { const char* value; DWORD mode; LCID lcid; } cases[] = {
      {"Applocale=1", 1, LOCALE_SYSTEM_DEFAULT}, {"Applocale=0", 0, user}, {"", 0, user}, {"Applocale=-1", ~0u, 0x0800}};
  for (const auto& c : cases) {
    frame::ForgetConfigForTesting();
    configure(c.value);
    EXPECT_EQ(GetAppropriateLCID(), c.lcid) << c.value;
    EXPECT_EQ(UseApplocaleMode(), c.mode) << c.value;
  }
  configure("Applocale=1");  // the -1 is read again, then kept
  EXPECT_EQ(UseApplocaleMode(), 1u);
  configure("Applocale=0");
  EXPECT_EQ(UseApplocaleMode(), 1u);
  std::remove(frame::GetConfigFilePathA());
  frame::ForgetConfigForTesting();
}

}  // namespace
