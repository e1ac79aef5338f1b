#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "support/test_support.h"

namespace {

// The global record with chosen separators and digits, restored afterwards.
class WithRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = *GetGlobalInternational();
    Use(",", ".", 3);
  }
  void TearDown() override {
    *GetGlobalInternational() = saved_;
    std::remove(frame::GetConfigFilePathA());
    frame::ForgetConfigForTesting();
  }
  static void Use(const char* decimal, const char* thousands, unsigned grouping) {
    InternationalSettings& record = *GetGlobalInternational();
    std::strcpy(record.decimalSeparator, decimal);
    std::strcpy(record.thousandsSeparator, thousands);
    record.grouping = grouping;
    record.currencyDigits = 2;
    record.numberDigits = 3;
    record.leadingZero = 1;
  }
  static bool EnglishUs() { return platform::GetUserDefaultLCID() == 0x0409; }
  InternationalSettings saved_;
};

std::string Text(int length, const char* out) { return std::string(out, static_cast<size_t>(length)); }

TEST_F(WithRecord, EntryPointsFillInTheRecord) {
  char out[64];
  EXPECT_EQ(Text(FormatGeneralNumber(out, "1234.5", 2, const_cast<char*>("."), nullptr), out), "1.234,50");
  EXPECT_EQ(Text(FormatAnyNumber(out, "1234.5", -2, 0), out), "1234,500");
  EXPECT_EQ(Text(FormatNumber(out, "1234.567", 12345, 1, 1), out), "1.234,57");
  EXPECT_EQ(Text(FormatNumber(out, "1234.567", -7, 0, 0), out), "1235");
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(FormatDecimal(out, "-1234", 1), 8);
  EXPECT_STREQ(out, "-1.234,0");
  EXPECT_EQ(OVStr2Dbl("1.234,5"), 1.0);
  Use(".", ",", 3);
  EXPECT_EQ(OVStr2Dbl("12.5"), 12.5);
}

TEST_F(WithRecord, DatabaseConversionsFollowTheRecord) {
  char out[64];
  MoneyToDB(out, "1.234,567");
  EXPECT_STREQ(out, "1234.57");
  DBToMoney(out, "1234.5");
  EXPECT_STREQ(out, "1234,50");
  NumberToDB(out, "2,5", 0);
  EXPECT_STREQ(out, "3.");
  DBToNumber(out, "99.96", 1);
  EXPECT_STREQ(out, "100,0");
  GetGlobalInternational()->currencyDigits = 0;  // as ja-JP has it
  DBToMoney(out, "12.50");
  EXPECT_STREQ(out, "13");
  GetGlobalInternational()->leadingZero = 0;
  DBToNumber(out, ".004", 2);
  EXPECT_STREQ(out, ",00");
}

// "RegionalDigits" is read once per process: a fresh start sees the file.
TEST_F(WithRecord, RegionalDigitsKeepsMoreDatabaseDecimals) {
  char out[64];
  for (int regional : {0, 1}) {
    testing_support::WriteTextFile(frame::GetConfigFilePathA(), "[Version]\r\nRegionalDigits=" + std::to_string(regional));
    frame::ForgetConfigForTesting();
    for (int digits : {3, 1, 0}) {
      GetGlobalInternational()->currencyDigits = digits;
      MoneyToDB(out, "1,23456");
      EXPECT_STREQ(out, regional && digits == 3 ? "1.235" : "1.23") << regional << " " << digits;
    }
    testing_support::WriteTextFile(frame::GetConfigFilePathA(), "[Version]\r\nRegionalDigits=" + std::to_string(!regional));
    MoneyToDB(out, "1,23456");
    EXPECT_STREQ(out, "1.23");  // kept: the file is not read again
  }
}

TEST_F(WithRecord, PlatformPathForOtherGroupings) {
  if (!EnglishUs()) GTEST_SKIP() << "needs the en-US user locale";
  Use(".", ",", 32);
  char out[256];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(FormatGeneralNumber(out, "  1234567.891 ", 2, const_cast<char*>(","), nullptr), 12);
  EXPECT_STREQ(out, "1,234,567.89");  // the locale's own three-digit groups
  EXPECT_EQ(FormatGeneralNumber(out, "-0.004", 0, const_cast<char*>(","), nullptr), 2);
  EXPECT_STREQ(out, "-0");
  for (const char* refused : {"1,234.5", "--5"}) {
    EXPECT_EQ(FormatGeneralNumber(out, refused, 2, const_cast<char*>(","), nullptr), 0) << refused;
    EXPECT_STREQ(out, "");
  }
  Use(".", ",", 3);
  EXPECT_EQ(Text(FormatGeneralNumber(out, "--5", 1, const_cast<char*>(","), nullptr), out), "--5.0");
}

TEST_F(WithRecord, IndianGroupingThroughThePlatform) {
  if (platform::GetUserDefaultLCID() != 0x0439) GTEST_SKIP() << "runs with LC_ALL=hi_IN.UTF-8";
  Use(".", ",", 32);
  char out[64];
  EXPECT_EQ(FormatGeneralNumber(out, "999999.995", 2, const_cast<char*>(","), nullptr), 12);
  EXPECT_STREQ(out, "10,00,000.00");
}

TEST_F(WithRecord, UserFormatsAndMoneyText) {
  if (!EnglishUs()) GTEST_SKIP() << "needs the en-US user locale";
  CURRENCYFMTA currency;
  char symbol[4] = "x", decimal[5], thousands[5], list[16];
  GetCurrentPrefFmt(&currency, symbol, decimal, 5, thousands, 5);
  EXPECT_EQ(std::string(currency.lpCurrencySymbol) + currency.lpDecimalSep + currency.lpThousandSep, ".,");
  EXPECT_EQ(currency.Grouping * 100 + currency.NumDigits * 10 + currency.LeadingZero, 321u);
  NUMBERFMTA number;
  GetNumberPrefFmt(&number, decimal, 5, thousands, 1, 0);
  EXPECT_EQ(std::string(number.lpDecimalSep) + "|" + number.lpThousandSep + "|" + std::to_string(number.Grouping),
            ".||0");
  EXPECT_EQ(isvalidmoney("-1,234.50", list), 1);
  EXPECT_EQ(isvalidmoney("12a4b", list), 0);
  EXPECT_STREQ(list, "\"a\", \"b\"");
}

// Random bytes through the platform path: nothing past its 200 bytes.
TEST_F(WithRecord, BadInputOnThePlatformPath) {
  Use(".", ",", 32);
  std::mt19937 random(11);
  for (int round = 0; round < 500; ++round) {
    std::string text(random() % 301, ' ');
    for (char& c : text) c = static_cast<char>(random() % 4 ? '0' + random() % 10 : 1 + random() % 255);
    std::string out(208, '#');
    FormatGeneralNumber(&out[0], text.c_str(), static_cast<int>(random() % 12), const_cast<char*>(","), nullptr);
    EXPECT_EQ(out.substr(200), "########");
    isvalidmoney(text.c_str(), nullptr);
  }
}

}  // namespace
