// The six caches under threads, a look-up held while others hit their
// caches, and the automatic mode following a process named colligo.exe.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "fake_network.h"
#include "ovpb32.h"
#include "support/helper_process.h"

namespace {

using net_test::FakeNetwork;
using Clock = std::chrono::steady_clock;

// Every function's answer for one path, narrow and wide.
std::string Answers(const std::string& path) {
  char narrow[5][600];
  WCHAR wide[5][600];
  WideString w = WidenAscii(path.c_str());
  GetUniversalNameA(path.c_str(), narrow[0], narrow[1], 32);
  GetNetworkSafeNameA(path.c_str(), narrow[2]);
  GetNetworkPersistableNameA(path.c_str(), narrow[3]);
  GetUniversalNameW(w.c_str(), wide[0], wide[1], 32);
  GetNetworkSafeNameW(w.c_str(), wide[2]);
  GetNetworkPersistableNameW(w.c_str(), wide[3]);
  std::string all;
  for (int i = 0; i < 4; ++i) all += std::string(narrow[i]) + "|" + testing_support::ToUtf8(wide[i]) + "|";
  return all;
}

class NetThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    network_.Connect('Z', "\\\\srv\\data");
    network_.Remember('R', "\\\\srv\\data");
    network_.AddHost("fs.dept", {"10.1.2.3"});
    network_.AddHost("slow.dept", {"10.4.4.4"});
    network_.AddName("10.1.2.3", "fs.dept");
    SetSafeNameHandling(2);
  }
  FakeNetwork network_;
};

TEST_F(NetThreads, ThreadsGetTheSingleThreadAnswers) {
  // Case variants would answer from whichever entry the cache holds.
  const std::vector<std::string> paths = {"Z:\\a\\b.txt", "R:\\a\\b.txt", "\\\\fs.dept\\d\\x", "\\\\10.1.2.3\\d",
                                          "\\\\fs.dept\\e", "C:\\x", "Z:\\c.txt"};
  std::vector<std::string> expected;
  for (const std::string& path : paths) expected.push_back(Answers(path));
  std::vector<std::future<int>> threads;
  for (int t = 0; t < 8; ++t) {
    threads.push_back(std::async(std::launch::async, [&, t] {
      int wrong = 0;
      for (int i = 0; i < 300; ++i) {
        size_t k = (i * 7 + t) % paths.size();
        if (Answers(paths[k]) != expected[k]) ++wrong;
      }
      return wrong;
    }));
  }
  for (auto& thread : threads) EXPECT_EQ(thread.get(), 0);
}

TEST_F(NetThreads, CacheHitsGoOnWhileALookUpIsHeld) {
  char out[300];
  GetNetworkSafeNameA("\\\\fs.dept\\d", out);
  network_.Hold("slow.dept");
  auto held = std::async(std::launch::async, [] { return net_test::Narrow(GetNetworkSafeNameA, "\\\\slow.dept\\d"); });
  network_.WaitUntilHeld();
  auto hit = std::async(std::launch::async, [] { return net_test::Narrow(GetNetworkSafeNameA, "\\\\FS.DEPT\\D"); });
  ASSERT_EQ(hit.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(hit.get(), "\\\\10.1.2.3\\d");
  network_.Hold("");
  EXPECT_EQ(held.get(), "\\\\10.4.4.4\\d");
}

// The time until a conversion happens (or not), asking every 200 ms for at most 8 s.
double SecondsUntil(bool converted) {
  auto start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(8) &&
         (net_test::Narrow(GetNetworkSafeNameA, "\\\\fs.dept\\d") != "\\\\fs.dept\\d") != converted) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST_F(NetThreads, AutomaticModeFollowsColligo) {
  testing_support::TempDir dir;
  auto colligo = dir / "colligo.exe";
  testing_support::fs::copy_file(testing_support::HelperProgram(), colligo);
  testing_support::WriteTextFile(dir / "held.txt", "x");
  SetSafeNameHandling(1);
  EXPECT_GE(SecondsUntil(false), 0.0);
  DWORD scans = platform::ProcessListingsForTesting();
  testing_support::HelperProcess process(colligo.string(), {"hold", (dir / "held.txt").string(), "r", "7"});
  ASSERT_EQ(process.ReadLine(), "held");
  double on = SecondsUntil(true);
  EXPECT_LE(on, 5.5);
  EXPECT_LE(platform::ProcessListingsForTesting() - scans, on / 5 + 1);
  process.Finish();
  double off = SecondsUntil(false);
  EXPECT_LE(off, 5.5);
  EXPECT_LE(platform::ProcessListingsForTesting() - scans, (on + off) / 5 + 2);
}

}  // namespace
