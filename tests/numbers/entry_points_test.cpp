#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "support/test_support.h"

namespace {

char* Text(const char* text) { return const_cast<char*>(text); }

// The global record with chosen separators and digits, restored afterwards.
class WithRecord : public ::testing::Test {
 protected:
  void SetUp() override { Use(",", ".", 3); }
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
  static std::string Formatted(const char* number, int decimals, unsigned grouping = 3) {
    Use(".", ",", grouping);
    char out[256];
    const int length = FormatGeneralNumber(out, number, decimals, Text(","), nullptr);
    return std::string(out, static_cast<size_t>(length)) + (length == 0 ? out : "");
  }
  InternationalSettings saved_ = *GetGlobalInternational();
};

TEST_F(WithRecord, EntryPointsAndConversionsReadTheRecord) {
  char out[64], db[64], money[64], number[64], shown[64];
  EXPECT_EQ(std::string(out, FormatGeneralNumber(out, "1234.5", 2, Text("."), nullptr)), "1.234,50");
  EXPECT_EQ(std::string(out, FormatAnyNumber(out, "1234.5", -2, 0)), "1234,500");
  EXPECT_EQ(std::string(out, FormatNumber(out, "1234.567", 12345, 1, 1)), "1.234,57");
  EXPECT_EQ(std::string(out, FormatNumber(out, "1234.567", -7, 0, 0)), "1235");
  EXPECT_EQ(FormatDecimal(out, "-1234", 1), 8);
  EXPECT_STREQ(out, "-1.234,0");
  EXPECT_EQ(OVStr2Dbl("1.234,5"), 1.0);
  MoneyToDB(db, "1.234,567");
  DBToMoney(money, "1234.5");
  NumberToDB(number, "2,5", 0);
  DBToNumber(shown, "99.96", 1);
  EXPECT_EQ(std::string(db) + " " + money + " " + number + " " + shown, "1234.57 1234,50 3. 100,0");
  GetGlobalInternational()->currencyDigits = 0;  // as ja-JP has it
  DBToMoney(out, "12.50");
  EXPECT_STREQ(out, "13");
  Use(".", ",", 3);
  EXPECT_EQ(OVStr2Dbl("12.5"), 12.5);
}

// "RegionalDigits" is read once per process: each fresh start sees the file.
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
    EXPECT_STREQ(out, "1.23");
  }
}

TEST_F(WithRecord, PlatformPathAndUserFormatsInEnglishUs) {
  if (platform::GetUserDefaultLCID() != 0x0409) GTEST_SKIP() << "needs the en-US user locale";
  EXPECT_EQ(Formatted("  1234567.891 ", 2, 32), "1,234,567.89");  // the locale's own groups
  EXPECT_EQ(Formatted("-0.004", 0, 32), "-0");
  EXPECT_EQ(Formatted("1,234.5", 2, 32) + "|" + Formatted("--5", 1, 32), "|");
  EXPECT_EQ(Formatted("1,234.5", 2) + "|" + Formatted("--5", 1), "1,234.50|--5.0");
  CURRENCYFMTA currency;
  char symbol[4] = "x", decimal[5], thousands[5], list[16];
  GetCurrentPrefFmt(&currency, symbol, decimal, 5, thousands, 5);
  EXPECT_EQ(std::string(currency.lpCurrencySymbol) + currency.lpDecimalSep + currency.lpThousandSep, ".,");
  EXPECT_EQ(currency.Grouping * 100 + currency.NumDigits * 10 + currency.LeadingZero, 321u);
  NUMBERFMTA number;
  GetNumberPrefFmt(&number, decimal, 5, thousands, 1, 0);
  EXPECT_EQ(std::string(number.lpDecimalSep) + "|" + number.lpThousandSep + "|" + std::to_string(number.Grouping), ".||0");
  EXPECT_EQ(isvalidmoney("-1,234.50", list), 1);
  EXPECT_EQ(isvalidmoney("12a4b", list), 0);
  EXPECT_STREQ(list, "\"a\", \"b\"");
}

TEST_F(WithRecord, IndianGroupingThroughThePlatform) {
  if (platform::GetUserDefaultLCID() != 0x0439) GTEST_SKIP() << "runs with LC_ALL=hi_IN.UTF-8";
  EXPECT_EQ(Formatted("999999.995", 2, 32), "10,00,000.00");
}

// Random bytes through the platform's path: nothing past its 200 bytes.
TEST_F(WithRecord, RandomBytesOnThePlatformPath) {
  Use(".", ",", 32);
  std::mt19937 random(11);
  for (int round = 0; round < 500; ++round) {
    std::string text(random() % 301, ' ');
    for (char& c : text) c = static_cast<char>(random() % 4 ? '0' + random() % 10 : 1 + random() % 255);
    std::string out(208, '#');
    FormatGeneralNumber(&out[0], text.c_str(), static_cast<int>(random() % 12), Text(","), nullptr);
    EXPECT_EQ(out.substr(200), "########");
    isvalidmoney(text.c_str(), nullptr);
  }
}

// Both paths and the conversions write only the caller's buffer: eight
// threads get the answers one thread gets.
TEST_F(WithRecord, ThreadsGetTheSingleThreadAnswers) {
  Use(".", ",", 3);
  auto forms = [](const std::string& text) {
    InternationalSettings plain = *GetGlobalInternational(), other = plain;
    other.grouping = 32;
    char grouped[256] = {}, platformText[256] = {}, database[96], display[96];
    const int length = FormatGeneralNumberEx(grouped, text.c_str(), 3, Text(","), Text("."), &plain);
    FormatGeneralNumberEx(platformText, text.c_str(), 2, Text(","), Text("."), &other);
    MoneyToDB(database, text.c_str());
    DBToMoney(display, database);
    return std::string(grouped, static_cast<size_t>(length)) + "|" + platformText + "|" + database + "|" + display;
  };
  std::vector<std::string> texts, expected;
  for (int i = 0; i < 200; ++i) {
    texts.push_back((i % 3 ? "" : "-") + std::to_string(i * 7919LL * i) + "." + std::to_string(i * 37 % 1000) + "5");
    expected.push_back(forms(texts.back()));
  }
  std::vector<int> mismatches(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round)
        for (size_t i = 0; i < texts.size(); ++i) mismatches[t] += forms(texts[i]) != expected[i];
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(8));
}

}  // namespace
