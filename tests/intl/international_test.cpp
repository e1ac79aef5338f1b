// The international settings record, its global copy and the default
// formats, and the interface locale. The PerLocale tests run in a process
// of their own per locale (see tests/CMakeLists.txt), named by
// OVPB_TEST_LOCALE; they are skipped elsewhere.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "support/test_support.h"

namespace {

TEST(GroupPattern, DigitsBecomeTheFormatsGroupingNumber) {
  const struct {
    const char* pattern;
    unsigned int number;
  } cases[] = {{"3;0", 3},   {"3;2;0", 32}, {"3", 30},  {"3;2", 320}, {"", 0},
               {"3;", 30},   {"0", 0},      {"0;", 0},  {"12;0", 12}, {"9;9;9;9;9;9;9;9;9;9;9", 3567587318u}};  // 999999999990 mod 2^32
  for (const auto& c : cases) EXPECT_EQ(ConvertGroupPatternToNumber(c.pattern), c.number) << c.pattern;
}

struct LocaleExpectation {
  const char* name;
  LCID lcid;
  const char* charsetName;
  BYTE fontCharset;
  unsigned int grouping;
};

const LocaleExpectation kLocales[] = {
    {"en-US", 0x0409, "windows-1252", 0, 3},  {"fr-CA", 0x0C0C, "windows-1252", 0, 3},
    {"ja-JP", 0x0411, "shift_jis", 128, 3},   {"ru-RU", 0x0419, "windows-1251", 204, 3},
    {"de-DE", 0x0407, "windows-1252", 0, 3},  {"hi-IN", 0x0439, nullptr, 0, 32},
};

const LocaleExpectation* ExpectedLocale() {
  const char* name = std::getenv("OVPB_TEST_LOCALE");
  for (const LocaleExpectation& locale : kLocales) {
    if (name != nullptr && std::strcmp(name, locale.name) == 0) return &locale;
  }
  return nullptr;
}

class PerLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    expected_ = ExpectedLocale();
    if (expected_ == nullptr) GTEST_SKIP() << "runs with OVPB_TEST_LOCALE in a process of its own";
  }
  const LocaleExpectation* expected_ = nullptr;
};

bool IsZero(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

bool InGlobalRecord(const char* pointer) {
  const char* record = reinterpret_cast<const char*>(GetGlobalInternational());
  return pointer >= record && pointer < record + sizeof(InternationalSettings);
}

// First of the suite: nothing has filled the record yet in this process.
TEST_F(PerLocale, RecordAndFormatsAreZeroBeforeTheFirstInit) {
  CURRENCYFMTA currency;
  NUMBERFMTA number;
  std::memset(&currency, 0xCC, sizeof currency);
  std::memset(&number, 0xCC, sizeof number);
  GetDefaultCurrencyFormat(&currency);
  GetDefaultNumberFormat(&number);
  EXPECT_TRUE(IsZero(GetGlobalInternational(), sizeof(InternationalSettings)));
  EXPECT_TRUE(IsZero(&currency, sizeof currency));
  EXPECT_TRUE(IsZero(&number, sizeof number));
}

TEST_F(PerLocale, RecordFillsExactlyItsBytesAndTheGlobalCopy) {
  unsigned char memory[sizeof(InternationalSettings) + 32];
  std::memset(memory, 0xCC, sizeof memory);
  auto* record = reinterpret_cast<InternationalSettings*>(memory);
  InitInternational(record);
  for (size_t i = sizeof(InternationalSettings); i < sizeof memory; ++i) ASSERT_EQ(memory[i], 0xCC) << i;
  const struct {
    const char* field;
    size_t width;
  } texts[] = {{record->terms, 22},
               {record->morning, 10},
               {record->afternoon, 10},
               {record->currencySymbol, 13},
               {record->thousandsSeparator, 2},
               {record->decimalSeparator, 2},
               {record->dateSeparator, 2},
               {record->timeSeparator, 2},
               {record->listSeparator, 2},
               {record->shortDate, 12},
               {record->longDate, 26},
               {record->charsetName, 67}};
  for (const auto& text : texts) EXPECT_NE(std::memchr(text.field, 0, text.width), nullptr) << text.width;
  EXPECT_EQ(std::memcmp(record, GetGlobalInternational(), sizeof *record), 0);
  EXPECT_STREQ(record->terms, "");
  if (expected_->charsetName != nullptr) {
    EXPECT_STREQ(record->charsetName, expected_->charsetName);
  }
  EXPECT_EQ(record->grouping, expected_->grouping);
  EXPECT_EQ(platform::GetUserDefaultLCID(), expected_->lcid);
  EXPECT_EQ(GetUserFontCharset(), expected_->fontCharset);
}

TEST_F(PerLocale, FormatsPointIntoTheGlobalRecord) {
  InternationalSettings first, second;
  InitInternational(&first);
  CURRENCYFMTA currency = {};
  NUMBERFMTA number = {};
  GetDefaultCurrencyFormat(&currency);
  GetDefaultNumberFormat(&number);
  for (const char* pointer : {currency.lpDecimalSep, currency.lpThousandSep, currency.lpCurrencySymbol,
                              number.lpDecimalSep, number.lpThousandSep}) {
    EXPECT_TRUE(InGlobalRecord(pointer));
  }
  EXPECT_STREQ(currency.lpCurrencySymbol, first.currencySymbol);
  EXPECT_EQ(currency.Grouping, first.grouping);
  EXPECT_EQ(number.Grouping, 0u);
  EXPECT_EQ(number.NegativeOrder, static_cast<UINT>(first.negativeNumberOrder));
  EXPECT_EQ(currency.NegativeOrder == 0 || currency.NegativeOrder == 4 || currency.NegativeOrder == 14 ||
                currency.NegativeOrder == 15,
            first.negativeMoneySign == 0);
  InitInternational(&second);
  GetDefaultCurrencyFormat(&currency);
  EXPECT_TRUE(InGlobalRecord(currency.lpCurrencySymbol));
  InitInternational(nullptr);
  GetDefaultCurrencyFormat(nullptr);
  GetDefaultNumberFormat(nullptr);
  EXPECT_EQ(std::memcmp(&second, GetGlobalInternational(), sizeof second), 0);
}

TEST_F(PerLocale, FrenchCanadianTimeSeparatorAndParentheses) {
  if (expected_->lcid != 0x0C0C) GTEST_SKIP() << "fr-CA only";
  InternationalSettings record;
  InitInternational(&record);
  CURRENCYFMTA currency = {};
  GetDefaultCurrencyFormat(&currency);
  EXPECT_STREQ(record.timeSeparator, ":");  // its separator does not fit the field
  EXPECT_EQ(record.negativeMoneySign, 0);
  EXPECT_EQ(currency.NegativeOrder, 15u);
}

// The interface locale, with cv.ver written beside the test program.
class Applocale : public ::testing::Test {
 protected:
  void TearDown() override {
    std::remove(frame::GetConfigFilePathA());
    frame::ForgetConfigForTesting();
  }
  void Configure(const char* contents) {
    testing_support::WriteTextFile(frame::GetConfigFilePathA(), contents);
  }
};

TEST_F(Applocale, ChoosesTheSystemLocaleWhenSet) {
  const struct {
    const char* config;
    DWORD mode;
    LCID lcid;
  } cases[] = {{"[VERSION]\r\nApplocale=1\r\n", 1, LOCALE_SYSTEM_DEFAULT},
               {"[VERSION]\r\nApplocale=0\r\n", 0, platform::GetUserDefaultLCID()},
               {"[VERSION]\r\n", 0, platform::GetUserDefaultLCID()}};
  for (const auto& c : cases) {
    frame::ForgetConfigForTesting();
    Configure(c.config);
    EXPECT_EQ(GetAppropriateLCID(), c.lcid) << c.config;
    EXPECT_EQ(UseApplocaleMode(), c.mode) << c.config;
  }
}

TEST_F(Applocale, IsKeptOnceReadExceptMinusOne) {
  Configure("[VERSION]\r\nApplocale=-1\r\n");
  EXPECT_EQ(UseApplocaleMode(), 0xFFFFFFFFu);
  Configure("[VERSION]\r\nApplocale=1\r\n");
  EXPECT_EQ(UseApplocaleMode(), 1u);
  Configure("[VERSION]\r\nApplocale=0\r\n");
  EXPECT_EQ(UseApplocaleMode(), 1u);
}

}  // namespace
