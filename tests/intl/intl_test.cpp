// Locale values against Windows' recorded under Wine (differences, with reasons, in locale_value_differences.txt);
// names, code pages and charsets; the record's formats once per locale in a process of its own (OVPB_TEST_LOCALE).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "frame/config.h"
#include "frame/module.h"
#include "intl/intl.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/library.h"
#include "platform/locale.h"
#include "platform/system.h"
#include "support/guarded_memory.h"
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

TEST(LocaleValues, BufferRulesIdsAndGroupPatternsAsOnWindows) {
  char narrow[32];
  EXPECT_EQ(platform::GetLocaleInfoW(0x0409, LOCALE_SSHORTDATE, nullptr, 0), 9);  // M/d/yyyy
  EXPECT_EQ(platform::GetLocaleInfoA(0x0409, LOCALE_SSHORTDATE, narrow, 8), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(platform::GetLocaleInfoA(0x1234, LOCALE_SCURRENCY, narrow, 32), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
#ifndef _WIN32  // Windows converts in the locale's code page; the record's is the user's, the process's
  WCHAR wide[32];
  ASSERT_GT(platform::GetLocaleInfoW(0x0411, LOCALE_S1159, wide, 32), 0);
  ASSERT_GT(platform::GetLocaleInfoA(0x0411, LOCALE_S1159, narrow, 32), 0);
  char converted[32];
  platform::WideCharToMultiByte(CP_ACP, 0, wide, -1, converted, 32, nullptr, nullptr);
  EXPECT_STREQ(narrow, converted);
#endif
  const LCID user = platform::GetUserDefaultLCID();
  const LCID cases[][2] = {{0x0009, 0x0409}, {0x0007, 0x0407}, {0x0011, 0x0411}, {0x10407, 0x0407}, {0x007F, 0x007F},
                           {0x0809, 0x0809}, {0x0400, user}, {0x0000, user}, {0x0800, platform::GetSystemDefaultLCID()}};
  for (const auto& c : cases) EXPECT_EQ(platform::ConvertDefaultLocale(c[0]), c[1]) << std::hex << c[0];
#ifndef _WIN32  // Wine's runtime names single-byte code pages too
  UINT acp = platform::GetACP();
  bool multiByte = acp == 932 || acp == 936 || acp == 949 || acp == 950 || acp == CP_UTF8;
  EXPECT_EQ(platform::_getmbcp(), multiByte ? static_cast<int>(acp) : 0);
#endif
  const std::pair<const char*, unsigned int> patterns[] = {
      {"3;0", 3}, {"3;2;0", 32}, {"3", 30}, {"3;2", 320}, {"", 0}, {"3;", 30}, {"0;", 0},
      {"9;9;9;9;9;9;9;9;9;9;9", 3567587318u}};  // 999999999990 mod 2^32
  for (const auto& c : patterns) EXPECT_EQ(ConvertGroupPatternToNumber(c.first), c.second) << c.first;
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

std::string NameOf(int codePage) {
  char name[68] = {};
  EXPECT_EQ(GetCharSetFromCodePage(name, codePage), 1);
  return name;
}

std::string InCase(std::string text, int (*change)(int)) {
  for (char& c : text) c = static_cast<char>(change(static_cast<unsigned char>(c)));
  return text;
}

TEST(CharsetNames, NamesCodePagesAndFontCharsetsBothWays) {
  size_t count = 0;
  const intl::CharsetRow* rows = intl::CharsetTable(&count);
  ASSERT_EQ(count, 111u);
  for (size_t i = 0; i < count; ++i) {
    // A code page's first row names it; a name's last row gives its code page.
    if (i == 0 || rows[i - 1].codePage != rows[i].codePage) {
      EXPECT_EQ(NameOf(rows[i].codePage), rows[i].name);
    }
    int expected = rows[i].codePage;
    for (size_t later = i + 1; later < count; ++later) {
      if (InCase(rows[later].name, ::tolower) == InCase(rows[i].name, ::tolower)) expected = rows[later].codePage;
    }
    EXPECT_EQ(GetCodePageFromCharSetString(InCase(rows[i].name, ::toupper).c_str()), expected) << rows[i].name;
  }
  for (int codePage : {1250, 1252, 1, -5, 65002}) EXPECT_EQ(NameOf(codePage), "windows-" + std::to_string(codePage));
  const struct { const char* name; int codePage; } cases[] = {
      {"windows-", 0}, {"windows-4294967297", 1}, {"Windows-1250", 1250}, {"latin1", 0}, {"iso-2022-jp", 50222},
      {"utf-8", 65001}, {"no-such-charset", 0}, {"", 0}, {nullptr, 0}};
  for (const auto& c : cases) EXPECT_EQ(GetCodePageFromCharSetString(c.name), c.codePage) << c.name;
  std::string longest = "windows-" + std::string(55, '0') + "1252";  // 67 bytes
  EXPECT_EQ(GetCodePageFromCharSetString(longest.c_str()), 1252);
  EXPECT_EQ(GetCodePageFromCharSetString(("windows-0" + longest.substr(8)).c_str()), 0);
  // Nothing is read past a terminator at a guard page, nor past 68 bytes.
  testing_support::GuardedText<char> atGuard(std::string("UTF-8") + '\0');
  EXPECT_EQ(GetCodePageFromCharSetString(atGuard.get()), 65001);
  testing_support::GuardedText<char> unterminated(std::string(68, 'a'));
  EXPECT_EQ(GetCodePageFromCharSetString(unterminated.get()), 0);
  const UINT pairs[][2] = {{0, 1252},   {2, 42},     {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
                           {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
                           {222, 874},  {238, 1250}};
  for (UINT charset = 0; charset < 256; ++charset) {
#ifdef _WIN32
    if (charset == 254) continue;  // Wine adds a pair of its own for UTF-8
#endif
    UINT expected = 0;
    for (const auto& pair : pairs) expected = pair[0] == charset ? pair[1] : expected;
    EXPECT_EQ(GetCodePageFromCharSet(static_cast<BYTE>(charset)), expected) << charset;
  }
  for (const auto& pair : pairs) {
    CHARSETINFO info = {};
    EXPECT_TRUE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{pair[1]}), &info, TCI_SRCCODEPAGE));
    EXPECT_EQ(info.ciCharset, pair[0]);
    EXPECT_FALSE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{pair[1] + 10000}), &info, TCI_SRCCODEPAGE));
  }
}

TEST(LocaleNames, AreWindowsNamesWithinTheGivenRoom) {
  const struct { LCID locale; const char* name; } cases[] = {
      {0x0409, "en-US"}, {0x0C0C, "fr-CA"}, {0x0404, "zh-TW"}, {0x241A, "sr-Latn-RS"},
      {0x007F, ""}, {0x10407, "de-DE_phoneb"}, {0x040A, "es-ES_tradnl"}};
  for (const auto& c : cases) {
    char name[64] = "stale";
    EXPECT_EQ(LocaleIDToLocaleName(c.locale, name, sizeof name), 1) << std::hex << c.locale;
    EXPECT_STREQ(name, c.name);
  }
  char name[16] = "untouched";
  EXPECT_EQ(LocaleIDToLocaleName(0x1234, name, sizeof name), 0);
  EXPECT_STREQ(name, "untouched");
  EXPECT_TRUE(LanguageCodeToLocaleName(0x0419, name, sizeof name) == 1 && std::string(name) == "ru-RU");
  std::memset(name, 'x', sizeof name);
  LocaleIDToLocaleName(0x0409, name, 3);
  EXPECT_EQ(std::string(name + 3, sizeof name - 3), std::string(sizeof name - 3, 'x'));
}

// Hides the kernel's function and every "nlsdl.dll", keeping what is loaded.
struct NoLocaleNames : platform::LibrarySeam {
  bool OnLoad(const char* fileName) override {
    loads.push_back(fileName);
    return loads.back().find("nlsdl.dll") == std::string::npos;
  }
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    return std::strcmp(procName, "LCIDToLocaleName") == 0 ? nullptr : found;
  }
  std::vector<std::string> loads;
};

// In a process of its own: the function once found is kept.
TEST(LocaleNameSearch, LooksInTheKernelThenNlsdlAndAgainUntilFound) {
  if (std::getenv("OVPB_TEST_NAME_SEARCH") == nullptr) GTEST_SKIP() << "runs in a process of its own";
  NoLocaleNames seam;
  platform::ActiveLibrarySeam().store(&seam);
  char name[16] = "untouched";
  EXPECT_EQ(LocaleIDToLocaleName(0x0409, name, sizeof name) + LocaleIDToLocaleName(0x0409, name, sizeof name), 0);
  platform::ActiveLibrarySeam().store(nullptr);
  EXPECT_STREQ(name, "untouched");
  ASSERT_EQ(seam.loads.size(), 6u);
  EXPECT_EQ(seam.loads[0] + "|" + seam.loads[1], "KERNEL32.dll|nlsdl.dll");
  EXPECT_EQ(seam.loads[2].substr(std::max<size_t>(seam.loads[2].size(), 10) - 9), "nlsdl.dll");  // in the host's folder
  EXPECT_TRUE(LocaleIDToLocaleName(0x0409, name, sizeof name) == 1 && std::string(name) == "en-US") << name;
}

std::string Answers() {
  char text[80];
  std::string answers = std::to_string(GetCharSetFromCodePage(text, -1)) + text;
  for (LCID locale : {0x0409u, 0x0411u, 0x0C0Cu, 0x0419u}) {
    answers += LocaleIDToLocaleName(locale, text, sizeof text) ? text : "-";
    for (LCTYPE type : {LOCALE_SLONGDATE, LOCALE_SCURRENCY, LOCALE_INEGCURR, LOCALE_ICOUNTRY}) {
      answers += "|" + testing_support::LocaleValueLine(locale, type);
    }
  }
  return answers;
}

TEST(FirstUse, ThreadsRacingToTheFirstCallsGetTheSameAnswers) {
  if (std::getenv("OVPB_TEST_FIRST_USE") == nullptr) GTEST_SKIP() << "runs in a fresh process of its own";
  std::atomic<int> waiting{8};
  std::vector<std::string> answers(8);
  std::vector<testing_support::TestThread> threads;
  for (std::string& answer : answers) {
    threads.emplace_back([&] {
      for (waiting.fetch_sub(1); waiting.load() > 0;) std::this_thread::yield();
      answer = Answers();
    });
  }
  for (testing_support::TestThread& thread : threads) thread.join();
  for (const std::string& answer : answers) EXPECT_EQ(answer, Answers());
}

}  // namespace
