// Look-ups through the system's resolver, in a namespace whose hosts file
// is the test's own (in_namespace.sh); skipped when run outside one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "net/net.h"
#include "ovpb32.h"
#include "platform/network.h"

namespace {

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
  const struct {
    int (*convert)(const char*, char*);
    const char* path;
    const char* expected;
  } cases[] = {
      {GetNetworkSafeNameA, "\\\\multi.test\\s\\x", "\\\\10.0.0.1\\s\\x"},
      {GetNetworkSafeNameA, "\\\\six.test\\s", "\\\\six.test\\s"},
      {GetNetworkPersistableNameA, "\\\\10.0.0.1\\s", "\\\\multi.test\\s"},
      {GetNetworkPersistableNameA, "\\\\10.0.0.3\\s", "\\\\plain.\\s"},
      {GetNetworkPersistableNameA, "\\\\10.0.0.9\\s", "\\\\10.0.0.9\\s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.convert(c.path, out), 1);
    EXPECT_STREQ(out, c.expected) << c.path;
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
