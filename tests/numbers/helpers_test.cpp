#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

TEST(MoneyDoubles, CompareTruncateAndNegate) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  struct Pair { double a, b; int expected; };
  for (const Pair& p : {Pair{1.0000005, 1.0, 0}, {1.000002, 1.0, 1}, {0.0, 0.5, -1}, {nan, 0.0, -1}, {inf, inf, -1}})
    EXPECT_EQ(dcmp(&p.a, &p.b), p.expected) << p.a << " " << p.b;
  const double half = 0.5, tiny = 0.000001, below = -0.0000009;
  EXPECT_EQ(dcmp(nullptr, &half), -1);
  EXPECT_EQ(money_test(&tiny), 1);
  EXPECT_EQ(money_test(&below), 0);
  EXPECT_EQ(money_test(&nan), -1);
  struct Truncation { double value; int expected; };
  for (const Truncation& t : {Truncation{-2.7, -2}, {2147483647.9, 2147483647}, {3e9, INT32_MIN}, {-3e9, INT32_MIN},
                              {nan, INT32_MIN}, {-inf, INT32_MIN}})
    EXPECT_EQ(dint(&t.value), t.expected) << t.value;
  double zero = 0.0;
  dneg(&zero);
  EXPECT_TRUE(std::signbit(zero));
  double a = 5.25, b = 0.25;
  money_sub(&a, &b);
  EXPECT_EQ(a, 5.0);
}

TEST(MoneyFields, ConvertCentsTimesAHundredth) {
  struct Field { unsigned char bytes[6]; unsigned char after[6]; double expected; };
  const Field fields[] = {
      {{0x82, 0x39, 0x30, 0x00, 0x00, 0x00}, {0x82, 0x39, 0x30, 0, 0, 0}, -123.45},
      {{0x01, 0x39, 0x30, 0x11, 0x22, 0x33}, {0x01, 0x39, 0, 0, 0, 0}, 57 * 0.01},
      {{0x80, 1, 2, 3, 4, 5}, {0x80, 0, 0, 0, 0, 0}, -0.0},
      {{0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 1099511627775.0 * 0.01},
      {{0x07, 1, 2, 3, 4, 5}, {0x07, 1, 2, 3, 4, 5}, 0.0},
  };
  for (const Field& f : fields) {
    unsigned char field[6];
    std::memcpy(field, f.bytes, 6);
    double amount = 99.0;
    money_accpac(field, &amount);
    EXPECT_EQ(std::memcmp(&amount, &f.expected, sizeof amount), 0) << amount;
    EXPECT_EQ(std::memcmp(field, f.after, 6), 0);
  }
  for (LONG cents : {35, -250, 2147483647}) {
    double amount = 0, expected = cents * 0.01;
    money_bedford(cents, &amount);
    EXPECT_EQ(std::memcmp(&amount, &expected, sizeof amount), 0) << cents;
  }
}

TEST(OlderHelpers, TextAndBuffers) {
  struct Long { const char* text; int expected; };
  for (const Long& l : {Long{"12345678901", 0}, {"-123", 1}, {"12x", 0}, {"123 abc", 1}, {" - ", 1}, {"1234567890", 1}})
    EXPECT_EQ(islong(l.text), l.expected) << l.text;
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

  testing_support::GuardedBytes buffer(257);
  std::memset(buffer.data(), 0, 257);
  EXPECT_EQ(scanlnth(reinterpret_cast<char*>(buffer.data())), 0);
  buffer.data()[256] = 1;
  EXPECT_EQ(scanlnth(reinterpret_cast<char*>(buffer.data())), 257);
  buffer.data()[0] = 1;
  EXPECT_EQ(scanlnth(reinterpret_cast<char*>(buffer.data())), 1);
}

}  // namespace
