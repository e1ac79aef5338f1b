// Sleeps, as the existence test with a time-out relies on them.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/system.h"

namespace {

using namespace std::chrono_literals;

TEST(Sleep, WaitsAtLeastItsTimeAsTicksCountIt) {
  const auto start = std::chrono::steady_clock::now();
  const DWORD startTick = platform::GetTickCount();
  platform::Sleep(200);
  const DWORD ticks = platform::GetTickCount() - startTick;
  const auto slept = std::chrono::steady_clock::now() - start;
  EXPECT_GE(slept, 200ms);
  // The tick count may step in units of a scheduler period (about 16 ms on
  // Windows).
  EXPECT_GE(ticks, 200u - 16u);
  EXPECT_LE(ticks, static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(slept).count()) + 16u);
}

}  // namespace
