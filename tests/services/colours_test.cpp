#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>

#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

using testing_support::GuardedBytes;

TEST(Colours, Examples) {
  const std::pair<const char*, COLORREF> cases[] = {
      {"255 128 0", 0x020080FF},       {"12", 0x0200000C},          {"", 0x02000000}, {"1  3", 0x02030001},
      {"256 -1 7", 0x0207FF00},        {"4294967296 0 0", 0x020000FF}, {"-4294967296", 0x02000000},
      {"x 2 3 4", 0x02030200},         {" 9 9", 0x02090900},
  };
  for (const auto& [text, colour] : cases) EXPECT_EQ(colour, StringToColour(text)) << text;
  EXPECT_EQ(0x02000000u, StringToColour(nullptr));
  char buffer[16];
  EXPECT_EQ(9, ColourToString(buffer, 0x00FF8000));
  EXPECT_STREQ("0 128 255", buffer);
  EXPECT_EQ(8, ColourToString(buffer, 0x7F123456));
  EXPECT_STREQ("86 52 18", buffer) << "high bits ignored";
  EXPECT_EQ(0, ColourToString(nullptr, 0));
}

// The model reads each part digit by digit, clamping at the range of int.
int ModelPart(const std::string& part) {
  size_t at = part.find_first_not_of(" \t\n\v\f\r");
  if (at == std::string::npos) return 0;
  bool negative = part[at] == '-';
  if (part[at] == '-' || part[at] == '+') ++at;
  long long value = 0;
  for (; at < part.size() && part[at] >= '0' && part[at] <= '9'; ++at)
    value = std::min(value * 10 + (part[at] - '0'), 1LL << 40);
  return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, negative ? -value : value)));
}

TEST(Colours, RandomTextsAgainstAModel) {
  std::mt19937 random(17);
  const std::string alphabet = "0123456789  -+x\t9";
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int n = random() % 24; n > 0; --n) text += alphabet[random() % alphabet.size()];
    std::istringstream stream(text);  // red to the first blank, green to the next, blue the rest
    std::string parts[3];
    std::getline(std::getline(stream, parts[0], ' '), parts[1], ' ') && std::getline(stream, parts[2]);
    COLORREF expected = 0x02000000 + (ModelPart(parts[2]) & 0xFF) * 65536 + (ModelPart(parts[1]) & 0xFF) * 256 +
                        (ModelPart(parts[0]) & 0xFF);
    ASSERT_EQ(expected, StringToColour(text.c_str())) << '"' << text << '"';
  }
}

TEST(MacText, EveryByteBothWays) {
  for (int byte = 0; byte < 256; ++byte) {
    char win = static_cast<char>(byte), mac = win;
    WinToMacBuf(&mac, 1);
    char back = 0;
    MacToWinBuf(&mac, &back, 1);
    if (byte < 0xC0) {
      EXPECT_EQ(win, mac) << byte;
    } else {
      EXPECT_EQ(win, back) << byte;  // every accented letter comes back
    }
    char fromMac = 0;
    MacToWinBuf(&win, &fromMac, 1);
    if (byte < 0x80) {
      EXPECT_EQ(win, fromMac) << byte;
    }
  }
  char mac[] = "\x80\xA5\xA7\xD8", win[4];
  MacToWinBuf(mac, win, 4);
  EXPECT_EQ(std::string("\xC4\xA5\xDF\xFF"), std::string(win, 4));
}

TEST(MacText, StringsStopAtTheTerminatorAndBuffersAtTheLength) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  GuardedBytes toMac(all.size() + 1), toWin(all.size() + 1);
  char* macEnd = WinToMacStr(all.c_str(), reinterpret_cast<char*>(toMac.data()));
  EXPECT_EQ(reinterpret_cast<char*>(toMac.data()) + all.size(), macEnd);
  EXPECT_EQ(0, *macEnd);
  std::string buffer = all;
  WinToMacBuf(&buffer[0], static_cast<UINT>(buffer.size()));
  EXPECT_EQ(buffer, std::string(reinterpret_cast<char*>(toMac.data())));
  char* winEnd = MacToWinStr(reinterpret_cast<char*>(toMac.data()), reinterpret_cast<char*>(toWin.data()));
  EXPECT_EQ(all.substr(0xBF), std::string(reinterpret_cast<char*>(toWin.data())).substr(0xBF));
  EXPECT_EQ(reinterpret_cast<char*>(toWin.data()) + all.size(), winEnd);
  GuardedBytes three(3);
  char* end = WinToMacStr("\xE9" "A", reinterpret_cast<char*>(three.data()));
  EXPECT_EQ(std::string("\x8E" "A"), reinterpret_cast<char*>(three.data()));
  EXPECT_EQ(reinterpret_cast<char*>(three.data()) + 2, end);
  GuardedBytes one(1);
  EXPECT_EQ(reinterpret_cast<char*>(one.data()), WinToMacStr("", reinterpret_cast<char*>(one.data())));
  char untouched = '\xE9';
  WinToMacBuf(&untouched, 0);
  WinToMacBuf(nullptr, 5);
  EXPECT_EQ(nullptr, MacToWinStr(nullptr, &untouched));
  EXPECT_EQ('\xE9', untouched);
}

}  // namespace
