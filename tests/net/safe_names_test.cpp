// Network-safe and persistable names over hosts of the test's own.

#include <gtest/gtest.h>

#include <string>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "support/test_support.h"

namespace {

using net_test::FakeNetwork;
using net_test::Guarded;

std::string SafeA(const std::string& path) {
  char out[800];
  EXPECT_EQ(GetNetworkSafeNameA(path.c_str(), out), 1);
  return out;
}
std::string SafeW(const WideString& path) {
  WCHAR out[800];
  EXPECT_EQ(GetNetworkSafeNameW(path.c_str(), out), 1);
  return testing_support::ToUtf8(out);
}
std::string PersistableA(const std::string& path) {
  char out[800];
  EXPECT_EQ(GetNetworkPersistableNameA(path.c_str(), out), 1);
  return out;
}
std::string PersistableW(const std::string& path) {
  WCHAR out[800];
  EXPECT_EQ(GetNetworkPersistableNameW(WidenAscii(path.c_str()).c_str(), out), 1);
  return testing_support::ToUtf8(out);
}

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
  const struct {
    const char* path;
    const char* safe;
    const char* persistable;
  } cases[] = {
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
    EXPECT_EQ(SafeA(c.path), c.safe) << c.path;
    EXPECT_EQ(SafeW(WidenAscii(c.path)), c.safe) << c.path;
    EXPECT_EQ(PersistableA(c.path), c.persistable) << c.path;
    EXPECT_EQ(PersistableW(c.path), c.persistable) << c.path;
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
  EXPECT_EQ(SafeW(WidenAscii("\\\\fs.dept\\data")), "\\\\10.5.5.5\\data");  // the wide cache is its own
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
    EXPECT_EQ(SafeW(unconvertible), testing_support::ToUtf8(unconvertible));
  }
  EXPECT_EQ(network_.Lookups(), 0);
}

TEST_F(SafeNames, LongInputStaysWithinItsBuffers) {
  for (size_t length : {0u, 1u, 15u, 254u, 255u, 256u, 259u, 260u, 2051u, 2052u, 5000u}) {
    for (const char* shape : {"\\\\", "\\\\fs.dept\\", "\\\\10.1.2.3\\", "\\\\1."}) {
      for (char filler : {'1', 'a', '.', '\\'}) {
        std::string path = shape + std::string(length, filler);
        Guarded<char> safe(path.size() + 300), persistable(path.size() + 300);
        GetNetworkSafeNameA(path.c_str(), safe.get());
        GetNetworkPersistableNameA(path.c_str(), persistable.get());
        WideString wide = WidenAscii(path.c_str());
        Guarded<WCHAR> wide_safe(path.size() + 300), wide_persistable(path.size() + 300);
        GetNetworkSafeNameW(wide.c_str(), wide_safe.get());
        GetNetworkPersistableNameW(wide.c_str(), wide_persistable.get());
        EXPECT_TRUE(safe.Intact() && persistable.Intact() && wide_safe.Intact() && wide_persistable.Intact())
            << path.size();
      }
    }
  }
}

}  // namespace
