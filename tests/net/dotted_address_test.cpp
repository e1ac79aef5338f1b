// Dotted addresses in the POSIX layer: four decimal parts, or the C library.

#include <gtest/gtest.h>

#include <cstring>

#include "net/net.h"
#include "ovpb32.h"

#ifndef _WIN32
namespace {

TEST(DottedAddresses, AnswerInNetworkOrder) {
  const struct { const char* host; unsigned char bytes[4]; } cases[] = {
      {"192.168.10.20", {192, 168, 10, 20}}, {"255.255.255.255", {255, 255, 255, 255}},
      {"10.1", {10, 0, 0, 1}}, {"010.1.2.3", {8, 1, 2, 3}}};
  for (const auto& c : cases) {
    DWORD address = 0;
    EXPECT_EQ(GetIPAddrFromHostName(c.host, &address), 0) << c.host;
    EXPECT_EQ(std::memcmp(&address, c.bytes, 4), 0) << c.host;
  }
  net::ResetStateForTesting();
  SetSafeNameHandling(2);
  char out[64];
  GetNetworkSafeNameA("\\\\192.168.010.20\\s\\x", out);
  EXPECT_STREQ(out, "\\\\192.168.8.20\\s\\x");
  GetNetworkSafeNameA("\\\\192.168.10.20\\s", out);
  EXPECT_STREQ(out, "\\\\192.168.10.20\\s");
  net::ResetStateForTesting();
}

}  // namespace
#endif
