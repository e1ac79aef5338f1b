// Network-safe and persistable names over hosts of the test's own, and
// through the system's resolver in a namespace whose hosts file is the
// test's (in_namespace.sh; skipped when run outside one).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "support/test_support.h"

namespace {

using net_test::FakeNetwork;
using net_test::Guarded;
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
  const char* const cases[][3] = {  // the path, its safe and its persistable name
      {"\\\\fs.dept\\data\\x.txt", "\\\\10.1.2.3\\data\\x.txt", "\\\\fs.dept\\data\\x.txt"},
      {"\\\\fs\\data\\x.txt", "\\\\fs\\data\\x.txt", "\\\\fs\\data\\x.txt"},
      {"\\\\fs\\dir.d\\x.txt", "\\\\fs\\dir.d\\x.txt", "\\\\fs\\dir.d\\x.txt"},
      {"\\\\fs.dept", "\\\\fs.dept", "\\\\fs.dept"},
      {"\\\\six.dept\\data", "\\\\six.dept\\data", "\\\\six.dept\\data"},
      {"\\\\no.such\\data", "\\\\no.such\\data", "\\\\no.such\\data"},
      {"C:\\x.txt", "C:\\x.txt", "C:\\x.txt"},
      {"\\\\10.1.2.3\\data", "\\\\10.1.2.3\\data", "\\\\fs.dept\\data"},
      {"\\\\10.1.2.4\\data\\y", "\\\\10.1.2.4\\data\\y", "\\\\fs.\\data\\y"},
      {"\\\\10.1.2.3", "\\\\10.1.2.3", "\\\\fs.dept"},
      {"\\\\10.1\\x", "\\\\10.1\\x", "\\\\ten.dept\\x"},
      {"\\\\10.1.2.3x\\data", "\\\\10.1.2.3x\\data", "\\\\10.1.2.3x\\data"},
      {"\\\\10.7.7.7\\data", "\\\\10.7.7.7\\data", "\\\\10.7.7.7\\data"},
      {"\\\\1.2.3.4.5\\data", "\\\\1.2.3.4.5\\data", "\\\\1.2.3.4.5\\data"},
      {"\\\\255.255.255.255\\d", "\\\\255.255.255.255\\d", "\\\\255.255.255.255\\d"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SafeA(c[0]), c[1]) << c[0];
    EXPECT_EQ(Wide(GetNetworkSafeNameW, WidenAscii(c[0])), c[1]) << c[0];
    EXPECT_EQ(PersistableA(c[0]), c[2]) << c[0];
    EXPECT_EQ(Wide(GetNetworkPersistableNameW, WidenAscii(c[0])), c[2]) << c[0];
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

// Whatever the lengths, nothing is written past the outputs (canaries) or
// the working buffers (AddressSanitizer).
TEST_F(SafeNames, LongInputStaysWithinItsBuffers) {
  network_.Connect('Z', "\\\\srv\\data");
  network_.Remember('R', "\\\\srv\\data");
  for (size_t length : {0u, 1u, 15u, 31u, 255u, 256u, 259u, 260u, 2051u, 2052u, 2053u, 5000u}) {
    for (const char* shape : {"\\\\", "\\\\fs.dept\\", "\\\\10.1.2.3\\", "\\\\1.", "Z:\\", "R:\\", ""}) {
      for (char filler : {'1', 'a', '.', '\\'}) {
        std::string path = shape + std::string(length, filler);
        WideString wide = WidenAscii(path.c_str());
        std::vector<Guarded<char>> narrow(5, Guarded<char>(path.size() + 300));
        std::vector<Guarded<WCHAR>> wides(5, Guarded<WCHAR>(path.size() + 300));
        narrow[4].size = wides[4].size = 32;
        GetNetworkSafeNameA(path.c_str(), narrow[0].get());
        GetNetworkPersistableNameA(path.c_str(), narrow[1].get());
        GetMinimalDriveMappingA(path.c_str(), narrow[2].get());
        GetUniversalNameA(path.c_str(), narrow[3].get(), narrow[4].get(), 32);
        GetNetworkSafeNameW(wide.c_str(), wides[0].get());
        GetNetworkPersistableNameW(wide.c_str(), wides[1].get());
        GetMinimalDriveMappingW(wide.c_str(), wides[2].get());
        GetUniversalNameW(wide.c_str(), wides[3].get(), wides[4].get(), 32);
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(narrow[i].Intact() && wides[i].Intact()) << i << " " << path.size();
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

}  // namespace
