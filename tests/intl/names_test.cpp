// Locale names, character-set names, code pages and font character sets; the
// first calls made by many threads at once, in a fresh process.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "intl/intl.h"
#include "ovpb32.h"
#include "platform/library.h"
#include "platform/locale.h"
#include "support/guarded_memory.h"
#include "support/locale_values.h"

namespace {

std::string NameOf(int codePage) {
  char name[68] = {};
  EXPECT_EQ(GetCharSetFromCodePage(name, codePage), 1);
  return name;
}

std::string InCase(std::string text, int (*change)(int)) {
  for (char& c : text) c = static_cast<char>(change(static_cast<unsigned char>(c)));
  return text;
}

TEST(CharsetNames, EveryRowBothWaysInAnyCase) {
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
}

TEST(CharsetNames, WindowsNamesUnknownNamesAndLongNames) {
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
}

TEST(CharsetNames, FontCharsetsAndCodePagesBothWays) {
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
  std::vector<std::thread> threads;
  for (std::string& answer : answers) {
    threads.emplace_back([&] {
      for (waiting.fetch_sub(1); waiting.load() > 0;) std::this_thread::yield();
      answer = Answers();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& answer : answers) EXPECT_EQ(answer, Answers());
}

}  // namespace
