// Network-safe and persistable names over hosts of the test's own, and
// through the system's resolver in a namespace whose hosts file is the
// test's (in_namespace.sh; skipped when run outside one); the six caches
// under threads, and the automatic mode following a process named colligo.exe.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "support/guarded_memory.h"
#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

using net_test::FakeNetwork;
using testing_support::GuardedBytes;
using net_test::Narrow;
using net_test::Wide;

std::string SafeA(const std::string& path) { return Narrow(GetNetworkSafeNameA, path); }
std::string PersistableA(const std::string& path) { return Narrow(GetNetworkPersistableNameA, path); }

class SafeNames : public ::testing::Test {
 protected:
  void SetUp() override {
    network_.AddHost("fs.dept", {"10.1.2.3", "10.9.9.9"}, 1);
    network_.AddHost("six.dept", {}, 2);
    network_.AddName("10.1.2.3", "fs.dept");
    network_.AddName("10.1.2.4", "fs");
    network_.AddName("10.0.0.1", "ten.dept");
    SetSafeNameHandling(2);
  }
  FakeNetwork network_;
};

TEST_F(SafeNames, DottedServersBecomeAddressesAndBack) {
  const char* const cases[][3] = {  // the path, its safe and its persistable name ("=": the path)
      {"\\\\fs.dept\\data\\x.txt", "\\\\10.1.2.3\\data\\x.txt", "="}, {"\\\\fs\\data\\x.txt", "=", "="},
      {"\\\\fs\\dir.d\\x.txt", "=", "="}, {"\\\\fs.dept", "=", "="}, {"\\\\six.dept\\data", "=", "="},
      {"\\\\no.such\\data", "=", "="}, {"C:\\x.txt", "=", "="}, {"\\\\10.1.2.3\\data", "=", "\\\\fs.dept\\data"},
      {"\\\\10.1.2.4\\data\\y", "=", "\\\\fs.\\data\\y"}, {"\\\\10.1.2.3", "=", "\\\\fs.dept"},
      {"\\\\10.1\\x", "=", "\\\\ten.dept\\x"}, {"\\\\10.1.2.3x\\data", "=", "="}, {"\\\\10.7.7.7\\data", "=", "="},
      {"\\\\1.2.3.4.5\\data", "=", "="}, {"\\\\255.255.255.255\\d", "=", "="}};
  for (const auto& c : cases) {
    EXPECT_EQ(net_test::Both(GetNetworkSafeNameA, GetNetworkSafeNameW, c[0]), c[1][0] == '=' ? c[0] : c[1]) << c[0];
    EXPECT_EQ(net_test::Both(GetNetworkPersistableNameA, GetNetworkPersistableNameW, c[0]), c[2][0] == '=' ? c[0] : c[2])
        << c[0];
  }
}

TEST_F(SafeNames, OnlyConversionsFillTheCaches) {
  EXPECT_EQ(SafeA("\\\\fs.dept\\data"), "\\\\10.1.2.3\\data");
  EXPECT_EQ(PersistableA("\\\\10.1.2.3\\data"), "\\\\fs.dept\\data");
  network_.AddHost("fs.dept", {"10.5.5.5"});
  network_.AddName("10.1.2.3", "moved.dept");
  int lookups = network_.Lookups();
  SetSafeNameHandling(0);
  EXPECT_EQ(SafeA("\\\\FS.DEPT\\DATA"), "\\\\FS.DEPT\\DATA");
  SetSafeNameHandling(-1);  // 2 or more, taken as unsigned
  EXPECT_EQ(SafeA("\\\\no.such\\data"), "\\\\no.such\\data");  // a failed look-up keeps the cache
  EXPECT_EQ(PersistableA("\\\\10.7.7.7\\data"), "\\\\10.7.7.7\\data");
  EXPECT_EQ(network_.Lookups(), lookups + 2);
  EXPECT_EQ(SafeA("\\\\FS.DEPT\\DATA"), "\\\\10.1.2.3\\data");
  EXPECT_EQ(PersistableA("\\\\10.1.2.3\\DATA"), "\\\\fs.dept\\data");
  EXPECT_EQ(network_.Lookups(), lookups + 2);
  EXPECT_EQ(Wide(GetNetworkSafeNameW, WidenAscii("\\\\fs.dept\\data")), "\\\\10.5.5.5\\data");  // the wide cache is its own
}

TEST_F(SafeNames, OversizedOrUnconvertibleServersStayUnchanged) {
  const std::string long_server = "\\\\" + std::string(250, 'a') + "." + std::string(5, 'b') + "\\s";
  const std::string digits = "\\\\" + std::string(300, '1') + "\\s";
  network_.AddHost(long_server.substr(2, 256), {"10.1.1.1"});
  EXPECT_EQ(SafeA(long_server), long_server);
  EXPECT_EQ(PersistableA(digits), digits);
  WideString unconvertible = WidenAscii("\\\\fs.dept\\x");
  unconvertible[3] = 0x4E2D;  // a character no single-byte code page holds
  if (platform::GetACP() != 65001) {
    EXPECT_EQ(Wide(GetNetworkSafeNameW, unconvertible), testing_support::ToUtf8(unconvertible));
  }
  // Under 256 characters, but more than 255 bytes narrow (in UTF-8): not cut
  // to a shorter server that has an address.
  WideString outgrown = WidenAscii("\\\\d.") + WideString(85, 0x4E2D) + WidenAscii("\\s");
  network_.AddHost(testing_support::ToUtf8(outgrown.substr(2, 86)), {"10.1.1.2"});
  EXPECT_EQ(Wide(GetNetworkSafeNameW, outgrown), testing_support::ToUtf8(outgrown));
  EXPECT_EQ(network_.Lookups(), 0);
}

// Whatever the lengths, nothing is written past the outputs (guard pages)
// or the working buffers (AddressSanitizer).
TEST_F(SafeNames, LongInputStaysWithinItsBuffers) {
  network_.Connect('Z', "\\\\srv\\data");
  network_.Remember('R', "\\\\srv\\data");
  for (size_t length : {0u, 1u, 15u, 31u, 255u, 256u, 259u, 260u, 2051u, 2052u, 2053u, 5000u}) {
    for (const char* shape : {"\\\\", "\\\\fs.dept\\", "\\\\10.1.2.3\\", "\\\\1.", "Z:\\", "R:\\", ""}) {
      for (char filler : {'1', 'a', '.', '\\'}) {
        const std::string path = shape + std::string(length, filler);
        const WideString wide = WidenAscii(path.c_str());
        const size_t room = path.size() + 300;
        GuardedBytes narrow(room), computer(32), units(room * sizeof(WCHAR)), wideComputer(32 * sizeof(WCHAR));
        auto* n = reinterpret_cast<char*>(narrow.data());
        auto* w = reinterpret_cast<WCHAR*>(units.data());
        int done = GetNetworkSafeNameA(path.c_str(), n) + GetNetworkPersistableNameA(path.c_str(), n) +
                   GetMinimalDriveMappingA(path.c_str(), n) +
                   GetUniversalNameA(path.c_str(), n, reinterpret_cast<char*>(computer.data()), 32) +
                   GetNetworkSafeNameW(wide.c_str(), w) + GetNetworkPersistableNameW(wide.c_str(), w) +
                   GetMinimalDriveMappingW(wide.c_str(), w) +
                   GetUniversalNameW(wide.c_str(), w, reinterpret_cast<WCHAR*>(wideComputer.data()), 32);
        EXPECT_EQ(done, 8) << path.size();
      }
    }
  }
}

class RealLookups : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* hosts = std::getenv("OVPB_TEST_HOSTS");
    if (hosts == nullptr) GTEST_SKIP() << "runs in a namespace of its own (test net-lookups)";
#ifdef _WIN32
    hosts_ = std::string("Z:") + hosts;  // Wine's drive for /
#else
    hosts_ = hosts;
#endif
    net::ResetStateForTesting();
  }
  void TearDown() override { net::ResetStateForTesting(); }

  // Winsock is left as it was found: one more clean-up fails.
  static void ExpectWinsockBalanced() {
    EXPECT_NE(platform::WSACleanup(), 0);
    EXPECT_EQ(platform::WSAGetLastError(), WSANOTINITIALISED);
  }

  std::string hosts_;
};

TEST_F(RealLookups, TheLastIpv4AddressIsStored) {
  DWORD address = 0x12345678;
  EXPECT_EQ(GetIPAddrFromHostName("multi.test", &address), 0);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{10, 0, 0, 2}));
  ExpectWinsockBalanced();
  address = 0x12345678;
  EXPECT_EQ(GetIPAddrFromHostName("six.test", &address), WSAHOST_NOT_FOUND);
  EXPECT_EQ(GetIPAddrFromHostName("nothing.test", &address), WSAHOST_NOT_FOUND);
  EXPECT_EQ(address, 0x12345678u);
  ExpectWinsockBalanced();
}

TEST_F(RealLookups, SafeAndPersistableNamesAskTheResolver) {
  SetSafeNameHandling(2);
  char out[300];
  const char* const cases[][2] = {  // addresses go to the persistable name, names to the safe one
      {"\\\\multi.test\\s\\x", "\\\\10.0.0.1\\s\\x"}, {"\\\\six.test\\s", "\\\\six.test\\s"},
      {"\\\\10.0.0.1\\s", "\\\\multi.test\\s"},   {"\\\\10.0.0.3\\s", "\\\\plain.\\s"},
      {"\\\\10.0.0.9\\s", "\\\\10.0.0.9\\s"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Narrow(c[0][2] == '1' ? GetNetworkPersistableNameA : GetNetworkSafeNameA, c[0]), c[1]);
  }
  ExpectWinsockBalanced();
  std::ofstream(hosts_, std::ios::trunc) << "10.0.0.7 multi.test\n";
  GetNetworkSafeNameA("\\\\MULTI.TEST\\S\\X", out);
  EXPECT_STREQ(out, "\\\\10.0.0.1\\s\\x");  // the cached answer
  GetNetworkSafeNameA("\\\\multi.test\\t", out);
  EXPECT_STREQ(out, "\\\\10.0.0.7\\t");
  SetSafeNameHandling(0);
}

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

TEST_F(SafeNames, ThreadsGetTheSingleThreadAnswers) {
  network_.Connect('Z', "\\\\srv\\data");
  network_.Remember('R', "\\\\srv\\data");
  // Case variants would answer from whichever entry the cache holds.
  const std::vector<std::string> paths = {"Z:\\a\\b.txt", "R:\\a\\b.txt", "\\\\fs.dept\\d\\x", "\\\\10.1.2.3\\d",
                                          "\\\\fs.dept\\e", "C:\\x", "Z:\\c.txt"};
  std::vector<std::string> expected;
  for (const std::string& path : paths) expected.push_back(Answers(path));
  std::vector<int> wrong(8, 0);
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        size_t k = (i * 7 + t) % paths.size();
        if (Answers(paths[k]) != expected[k]) ++wrong[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(8, 0));
}

TEST_F(SafeNames, CacheHitsGoOnWhileALookUpIsHeld) {
  network_.AddHost("slow.dept", {"10.4.4.4"});
  char out[300];
  GetNetworkSafeNameA("\\\\fs.dept\\d", out);
  network_.Hold("slow.dept");
  std::string held;
  testing_support::TestThread holder([&] { held = net_test::Narrow(GetNetworkSafeNameA, "\\\\slow.dept\\d"); });
  network_.WaitUntilHeld();
  std::promise<std::string> answer;
  testing_support::TestThread hitter([&] { answer.set_value(net_test::Narrow(GetNetworkSafeNameA, "\\\\FS.DEPT\\D")); });
  std::future<std::string> hit = answer.get_future();
  ASSERT_EQ(hit.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(hit.get(), "\\\\10.1.2.3\\d");
  network_.Hold("");
  holder.join();
  EXPECT_EQ(held, "\\\\10.4.4.4\\d");
}

// The time until a conversion happens (or not), asking every 200 ms for at most 8 s.
// A change must show within one 5 s scan interval; the rest of the allowance is
// for a slow process listing (Wine on a loaded machine takes most of a second).
constexpr double kFollowLimit = 7.0;
double SecondsUntil(bool converted) {
  auto start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(8) &&
         (net_test::Narrow(GetNetworkSafeNameA, "\\\\fs.dept\\d") != "\\\\fs.dept\\d") != converted) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST_F(SafeNames, AutomaticModeFollowsColligo) {
  testing_support::TempDir dir;
  auto colligo = dir / "colligo.exe";
  testing_support::fs::copy_file(testing_support::HelperProgram(), colligo);
  testing_support::WriteTextFile(dir / "held.txt", "x");
  SetSafeNameHandling(1);
  EXPECT_LE(SecondsUntil(false), kFollowLimit);
  DWORD scans = platform::ProcessListingsForTesting();
  for (int i = 0; i < 20; ++i) net_test::Narrow(GetNetworkSafeNameA, "\\\\fs.dept\\d");
  EXPECT_LE(platform::ProcessListingsForTesting() - scans, 1u);  // one scan per 5 s at most
  testing_support::HelperProcess process(colligo.string(), {"hold", (dir / "held.txt").string(), "r", "7"});
  ASSERT_EQ(process.ReadLine(), "held");
  double on = SecondsUntil(true);
  EXPECT_LE(on, kFollowLimit);
  EXPECT_LE(platform::ProcessListingsForTesting() - scans, on / 5 + 1);
  process.Finish();
  double off = SecondsUntil(false);
  EXPECT_LE(off, kFollowLimit);
  EXPECT_LE(platform::ProcessListingsForTesting() - scans, (on + off) / 5 + 2);
}

}  // namespace
