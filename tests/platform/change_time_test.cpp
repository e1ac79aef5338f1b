#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "platform/posix/change_time.h"
#include "support/test_support.h"

namespace {

using platform::posix::ClockReading;

// Files last changed a second before the open begins; each case then does
// what may come between an open's lookup and its claim.
TEST(ChangeTime, OnlyAFileLeftAloneSinceTheOpenBeganNeedsNoNameCheck) {
  testing_support::TempDir dir;
  const std::string base = (dir / "f").string();
  auto name = [&](int i) { return base + std::to_string(i); };
  const struct {
    std::function<void(const std::string&)> between;
    long clockSetBack;
    bool unchanged;
    bool changeTimeSkippedNext;  // found changed within the second
  } cases[] = {
      {[](const std::string&) {}, 0, true, false},
      {[&](const std::string& file) { rename(file.c_str(), (file + "moved").c_str()); }, 0, false, true},
      {[&](const std::string& file) { link(file.c_str(), (file + "b").c_str()), unlink(file.c_str()); }, 0, false, true},
      {[](const std::string& file) { unlink(file.c_str()); }, 0, false, false},
      {[](const std::string&) {}, 5, false, false},
  };
  int count = sizeof cases / sizeof cases[0];
  for (int i = 0; i < count; ++i) testing_support::WriteTextFile(name(i), "x");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  for (int i = 0; i < count; ++i) {
    int fd = open(name(i).c_str(), O_RDONLY);
    ClockReading start = platform::posix::ReadChangeClock();
    start.wall.tv_sec += cases[i].clockSetBack;  // as if the clock was set back since
    cases[i].between(name(i));
    struct statx facts;
    statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | platform::posix::ChangeTimeFacts(name(i).c_str(), start), &facts);
    EXPECT_EQ(platform::posix::UnchangedSince(fd, name(i).c_str(), facts, start), cases[i].unchanged) << "case " << i;
    EXPECT_EQ(platform::posix::ChangeTimeFacts(name(i).c_str(), start) == 0, cases[i].changeTimeSkippedNext) << i;
    close(fd);
  }
}

}  // namespace

#endif  // _WIN32
