// The cases of number_cases.txt, one kind of function per first field.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numbers/number_text.h"
#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

double Number(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Output with canaries after the room the caller gives: the input's length
// with a separator of up to 3 bytes per byte, the decimals and 8 more.
std::string Written(const std::string& text, int decimals, bool plain, const std::vector<std::string>& f) {
  const size_t room = text.size() * (plain ? 4 : 1) + static_cast<size_t>(decimals > 0 ? decimals : 0) + (plain ? 8 : 3);
  std::string out(room + 8, '#');
  auto point = [](const std::string& s) { return s == "~" ? '\0' : s[0]; };
  int length = -1;
  if (plain) {
    length = numbers::FormatPlainNumber(&out[0], text.c_str(), decimals, f[3] == "~" ? nullptr : f[3].c_str(), ".", f[4] == "1");
  } else {
    numbers::ConvertNumberText(&out[0], text.c_str(), {point(f[2]), point(f[3]), decimals, f[5] == "1"});
  }
  EXPECT_EQ(out.substr(room), "########") << text;
  return length < 0 ? out.c_str() : out.substr(0, static_cast<size_t>(length));
}

TEST(NumberCases, FromTheTable) {
  std::ifstream cases("number_cases.txt");
  ASSERT_TRUE(cases.is_open());
  for (std::string line; std::getline(cases, line);) {
    std::vector<std::string> f;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '|');) f.push_back(field);
    const std::string& kind = f[0];
    if (kind == "plain" || kind == "database") {
      EXPECT_EQ(Written(f[1], std::atoi(f[kind == "plain" ? 2 : 4].c_str()), kind == "plain", f), f.back()) << line;
    } else if (kind == "dcmp") {
      const double first = Number(f[1]), second = Number(f[2]);
      EXPECT_EQ(dcmp(f[1] == "~" ? nullptr : &first, &second), std::atoi(f[3].c_str())) << line;
    } else if (kind == "money_test" || kind == "dint") {
      const double value = Number(f[1]);
      EXPECT_EQ(kind == "dint" ? dint(&value) : money_test(&value), std::atoi(f[2].c_str())) << line;
    } else if (kind == "islong") {
      EXPECT_EQ(islong(f[1].c_str()), std::atoi(f[2].c_str())) << line;
    } else if (kind == "accpac") {
      unsigned char field[6];
      for (int i = 0; i < 6; ++i) field[i] = static_cast<unsigned char>(std::stoi(f[1].substr(2 * i, 2), nullptr, 16));
      double amount = 99;
      money_accpac(field, &amount);
      for (int i = 0; i < 6; ++i) EXPECT_EQ(field[i], std::stoi(f[2].substr(2 * i, 2), nullptr, 16)) << line;
      EXPECT_TRUE(Same(amount, Number(f[3]) * 0.01)) << line << " " << amount;
    } else if (kind == "bedford") {
      double amount = 0;
      money_bedford(std::atoi(f[1].c_str()), &amount);
      EXPECT_TRUE(Same(amount, std::atoi(f[1].c_str()) * 0.01)) << line;
    } else if (kind[0] != '#') {
      ADD_FAILURE() << "unknown case " << line;
    }
  }
}

TEST(OlderHelpers, SignsBuffersAndMarkers) {
  double zero = 0.0, a = 5.25, b = 0.25;
  dneg(&zero);
  money_sub(&a, &b);
  EXPECT_TRUE(std::signbit(zero) && a == 5.0 && ismoney() == 1);
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
  char* bytes = reinterpret_cast<char*>(std::memset(buffer.data(), 0, 257));
  const int none = scanlnth(bytes);
  bytes[256] = 1;
  const int last = scanlnth(bytes);
  bytes[0] = 1;
  EXPECT_EQ(std::to_string(none) + " " + std::to_string(last) + " " + std::to_string(scanlnth(bytes)), "0 257 1");
}

}  // namespace
