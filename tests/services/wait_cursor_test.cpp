#include <gtest/gtest.h>

#include <thread>

#include "ovpb32.h"
#include "platform/user.h"

namespace {

class WaitCursor : public ::testing::Test {
 protected:
  void SetUp() override {
    WaitCleanup();
    platform::SetCursor(arrow_);
  }
  HCURSOR arrow_ = platform::LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR ibeam_ = platform::LoadCursorA(nullptr, IDC_IBEAM);
  HCURSOR wait_ = platform::LoadCursorA(nullptr, IDC_WAIT);
};

TEST_F(WaitCursor, NestsAndRestores) {
  ASSERT_NE(nullptr, wait_);
  WaitOn();
  WaitOn();
  EXPECT_EQ(wait_, platform::GetCursor());
  WaitOff();
  EXPECT_EQ(1, IsWaitOn());
  EXPECT_EQ(wait_, platform::GetCursor());
  WaitOff();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  platform::SetCursor(ibeam_);
  WaitOff();  // unmatched: depth 0 and the saved cursor (the arrow) back
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
}

TEST_F(WaitCursor, CleanupEndsAllNesting) {
  WaitOn();
  WaitOn();
  WaitOn();
  WaitCleanup();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  EXPECT_EQ(1, WaitFunction());
  EXPECT_EQ(wait_, platform::GetCursor());
}

TEST_F(WaitCursor, WorkersDoNotNestButMayReplaceTheSavedCursor) {
  std::thread([] { WaitOn(); }).join();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  WaitOn();
  std::thread([&] {
    WaitOff();
    platform::SetCursor(ibeam_);
    WaitFunction();
  }).join();
  EXPECT_EQ(1, IsWaitOn());
  WaitOff();
  EXPECT_EQ(ibeam_, platform::GetCursor());
}

}  // namespace
