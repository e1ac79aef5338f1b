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
