// The platform's locale services: ids, values with Windows' buffer rules,
// and every value against Windows' answers recorded under Wine in
// wine_locale_values.txt (differences the POSIX layer is allowed are listed
// with their reason in locale_value_differences.txt).

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/system.h"
#include "support/locale_values.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadTextFile;

// "locale type rest" lines keyed by "locale type"; comments skipped.
std::map<std::string, std::string> ReadKeyedLines(const char* fileName) {
  std::map<std::string, std::string> lines;
  std::istringstream file(ReadTextFile(testing_support::ProgramDirectory() / fileName));
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    size_t second = line.find(' ', line.find(' ') + 1);
    if (second == std::string::npos) continue;
    lines[line.substr(0, second)] = line.substr(second + 1);
  }
  return lines;
}

// The user and system locale of the recording: en-US in code page 1252.
bool EnvironmentMatchesRecording() { return platform::GetUserDefaultLCID() == 0x0409 && platform::GetACP() == 1252; }

TEST(LocaleValues, AgreeWithWindowsValueByValue) {
  auto recorded = ReadKeyedLines("wine_locale_values.txt");
  auto accepted = ReadKeyedLines("locale_value_differences.txt");
  ASSERT_EQ(recorded.size(), testing_support::ComparedLocales().size() * testing_support::ComparedLocaleValues().size());
  for (LCID locale : testing_support::ComparedLocales()) {
    if ((locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT) && !EnvironmentMatchesRecording()) continue;
    for (LCTYPE type : testing_support::ComparedLocaleValues()) {
      std::string line = testing_support::LocaleValueLine(locale, type);
      std::string key = line.substr(0, 9);
      std::string expected = recorded[key];
#ifndef _WIN32
      // "linux-value | reason": the POSIX layer's answer where it differs.
      auto difference = accepted.find(key);
      if (difference != accepted.end()) expected = difference->second.substr(0, difference->second.find(" | "));
#endif
      EXPECT_EQ(line.substr(10), expected) << "locale, type: " << key;
    }
  }
}

TEST(LocaleValues, FollowWindowsBufferRules) {
  WCHAR wide[16];
  char narrow[16] = "untouched";
  EXPECT_EQ(platform::GetLocaleInfoW(0x0409, LOCALE_SSHORTDATE, nullptr, 0), 9);  // "M/d/yyyy"
  EXPECT_EQ(platform::GetLocaleInfoA(0x0409, LOCALE_SSHORTDATE, nullptr, 0), 9);
  EXPECT_EQ(platform::GetLocaleInfoA(0x0409, LOCALE_SSHORTDATE, narrow, 8), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(platform::GetLocaleInfoW(0x0409, LOCALE_SSHORTDATE, wide, 9), 9);
  EXPECT_EQ(platform::GetLocaleInfoA(0x0409, LOCALE_SCURRENCY, narrow, 2), 2);
  EXPECT_STREQ(narrow, "$");
  EXPECT_EQ(platform::GetLocaleInfoA(0x1234, LOCALE_SCURRENCY, narrow, 16), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(LocaleValues, NarrowTextIsInTheProcessCodePage) {
  WCHAR wide[32];
  char narrow[32];
  ASSERT_GT(platform::GetLocaleInfoW(0x0411, LOCALE_S1159, wide, 32), 0);
  ASSERT_GT(platform::GetLocaleInfoA(0x0411, LOCALE_S1159, narrow, 32), 0);
  char converted[32];
  ASSERT_GT(platform::WideCharToMultiByte(CP_ACP, 0, wide, -1, converted, 32, nullptr, nullptr), 0);
  EXPECT_STREQ(narrow, converted);
}

TEST(LocaleIds, DefaultNeutralAndSortIdsResolveAsOnWindows) {
  const struct {
    LCID given, resolved;
  } cases[] = {
      {0x0009, 0x0409}, {0x0007, 0x0407}, {0x0011, 0x0411}, {0x10407, 0x10407}, {0x007F, 0x007F},
      {0x0809, 0x0809}, {0x0400, platform::GetUserDefaultLCID()}, {0x0000, platform::GetUserDefaultLCID()},
      {0x0800, platform::GetSystemDefaultLCID()},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ConvertDefaultLocale(c.given), c.resolved) << std::hex << c.given;
}

TEST(CharsetInfo, TranslatesWindowsPairsBothWays) {
  const struct {
    UINT charset, codePage;
  } pairs[] = {{0, 1252},   {238, 1250}, {204, 1251}, {161, 1253}, {162, 1254}, {177, 1255},
               {178, 1256}, {186, 1257}, {163, 1258}, {222, 874},  {128, 932},  {134, 936},
               {129, 949},  {136, 950},  {130, 1361}, {2, 42}};
  for (const auto& pair : pairs) {
    CHARSETINFO info = {};
    ASSERT_TRUE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{pair.charset}), &info,
                                               TCI_SRCCHARSET));
    EXPECT_EQ(info.ciACP, pair.codePage);
    info = {};
    ASSERT_TRUE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{pair.codePage}), &info,
                                               TCI_SRCCODEPAGE));
    EXPECT_EQ(info.ciCharset, pair.charset);
  }
  CHARSETINFO info = {};
  EXPECT_FALSE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{437}), &info, TCI_SRCCODEPAGE));
  EXPECT_FALSE(platform::TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{77}), &info, TCI_SRCCHARSET));
}

TEST(CharsetInfo, MultiByteCodePageIsTheAnsiOneWhenMultiByte) {
  UINT acp = platform::GetACP();
  bool multiByte = acp == 932 || acp == 936 || acp == 949 || acp == 950 || acp == CP_UTF8;
  EXPECT_EQ(platform::_getmbcp(), multiByte ? static_cast<int>(acp) : 0);
}

}  // namespace
