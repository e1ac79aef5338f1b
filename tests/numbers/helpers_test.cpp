#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

TEST(OlderHelpers, SignsBuffersAndMarkers) {
  double zero = 0.0, a = 5.25, b = 0.25;
  dneg(&zero);
  EXPECT_TRUE(std::signbit(zero));
  money_sub(&a, &b);
  EXPECT_EQ(a, 5.0);
  EXPECT_EQ(ismoney(), 1);
  char dest[8] = "xyz";
  getbuf(nullptr, dest);
  EXPECT_STREQ(dest, "");
  getbuf("abc", dest);
  mov_buf("ZZ", 2, dest + 1);
  EXPECT_STREQ(dest, "aZZ");
  WORD x = 1, y = 2;
  xchg_word(&x, &y);
  EXPECT_EQ(x * 10 + y, 21);

  testing_support::GuardedBytes buffer(257);  // a fault one byte past it
  char* bytes = reinterpret_cast<char*>(buffer.data());
  std::memset(bytes, 0, 257);
  EXPECT_EQ(scanlnth(bytes), 0);
  bytes[256] = 1;
  EXPECT_EQ(scanlnth(bytes), 257);
  bytes[0] = 1;
  EXPECT_EQ(scanlnth(bytes), 1);
}

}  // namespace
