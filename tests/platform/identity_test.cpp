// Names of the computer and the user, environment expansion, local time,
// sleeps and the tick count.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

#include "platform/clock.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace {

std::string Expanded(const char* text, DWORD size = 260) {
  std::string buffer(size, '#');
  DWORD needed = platform::ExpandEnvironmentStringsA(text, &buffer[0], size);
  return needed <= size ? buffer.c_str() : "needs " + std::to_string(needed);
}

TEST(EnvironmentExpansion, ReplacesKnownVariablesWithoutRegardToCase) {
  testing_support::SetEnvironment("OVPB_EXPAND_TEST", "value");
  const std::pair<const char*, const char*> cases[] = {
      {"a%OVPB_EXPAND_TEST%b", "avalueb"}, {"%ovpb_expand_test%", "value"},
      {"%OVPB_NO_SUCH_VARIABLE%x", "%OVPB_NO_SUCH_VARIABLE%x"}, {"100%", "100%"},
      {"%%OVPB_EXPAND_TEST%", "%%OVPB_EXPAND_TEST%"}, {"%X%%OVPB_EXPAND_TEST%", "%X%value"}};
  for (const auto& [text, expanded] : cases) EXPECT_EQ(Expanded(text), expanded) << text;
  // The room needed, and nothing written when it is short.
  EXPECT_EQ(platform::ExpandEnvironmentStringsA("x%OVPB_EXPAND_TEST%", nullptr, 0), 7u);
  EXPECT_EQ(Expanded("x%OVPB_EXPAND_TEST%", 4), "needs 7");
}

TEST(Names, ComputerAndUserNamesAndTheRoomTheyNeed) {
  char name[16];
  DWORD size = sizeof name;
  ASSERT_TRUE(platform::GetComputerNameA(name, &size));
  EXPECT_EQ(size, std::string(name).size());
  EXPECT_GT(size, 0u);
  char tiny[1];
  DWORD tinySize = sizeof tiny;
  EXPECT_FALSE(platform::GetComputerNameA(tiny, &tinySize));
  EXPECT_EQ(tinySize, size + 1);
  WCHAR wide[16];
  DWORD wideSize = 16;
  ASSERT_TRUE(platform::GetComputerNameW(wide, &wideSize));
  EXPECT_EQ(testing_support::ToUtf8(WideString(wide, wideSize)), name);

  char user[260];
  size = sizeof user;
  ASSERT_TRUE(platform::GetUserNameA(user, &size));
  EXPECT_EQ(size, std::string(user).size() + 1);  // the user name counts its terminator
  DWORD small = 1;
  EXPECT_FALSE(platform::GetUserNameA(user, &small));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small, size);
}

TEST(LocalTime, HasTheRuntimesCtimeShape) {
  int64_t now = platform::_time64(nullptr);
  char text[99];
  ASSERT_EQ(platform::_ctime64_s(text, sizeof text, &now), 0);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\n)"))) << text;
  int64_t epoch = 86400 * 365;
  ASSERT_EQ(platform::_ctime64_s(text, sizeof text, &epoch), 0);
  EXPECT_NE(std::string(text).find("1971"), std::string::npos);
  char small[20];
  EXPECT_NE(platform::_ctime64_s(small, sizeof small, &now), 0);
  WCHAR wide[99];
  ASSERT_EQ(platform::_wctime64_s(wide, 99, &now), 0);
  EXPECT_EQ(WideLength(wide), 25u);
}

// The existence test with a time-out relies on both.
TEST(Sleep, WaitsAtLeastItsTimeAsTicksCountIt) {
  const auto start = std::chrono::steady_clock::now();
  const DWORD startTick = platform::GetTickCount();
  platform::Sleep(200);
  const DWORD ticks = platform::GetTickCount() - startTick;
  const auto slept = std::chrono::steady_clock::now() - start;
  EXPECT_GE(slept, std::chrono::milliseconds(200));
  // The tick count may step in units of a scheduler period (about 16 ms on Windows).
  EXPECT_GE(ticks, 200u - 16u);
  EXPECT_LE(ticks, static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(slept).count()) + 16u);
}

}  // namespace
