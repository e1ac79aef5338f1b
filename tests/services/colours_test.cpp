// Colours as text and on device contexts, and Macintosh text.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/gdi.h"
#include "support/guarded_memory.h"

namespace {

// A 32-bit bitmap of `colours`, row by row.
HBITMAP ColourBitmap(int width, int height, const std::vector<COLORREF>& colours) {
  std::vector<unsigned char> bits;
  for (COLORREF c : colours) bits.insert(bits.end(), {BYTE(c >> 16), BYTE(c >> 8), BYTE(c), 0});
  return platform::CreateBitmap(width, height, 1, 32, bits.data());
}

// A memory device context drawing on a 8x6 bitmap of one colour.
class Canvas : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_ = platform::CreateCompatibleDC(nullptr);
    canvas_ = ColourBitmap(kWidth, kHeight, std::vector<COLORREF>(kWidth * kHeight, kGround));
    stock_ = platform::SelectObject(dc_, canvas_);
    ASSERT_NE(nullptr, stock_);
  }
  void TearDown() override {
    platform::SelectObject(dc_, stock_);
    platform::DeleteObject(canvas_);
    platform::DeleteDC(dc_);
  }
  // The canvas in device pixels: the mapping undone first.
  std::vector<COLORREF> Pixels() {
    platform::SetMapMode(dc_, MM_TEXT);
    platform::SetWindowOrgEx(dc_, 0, 0, nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) pixels.push_back(platform::GetPixel(dc_, x, y));
    return pixels;
  }
  static constexpr int kWidth = 8, kHeight = 6;
  static constexpr COLORREF kGround = 0x0F0F0F;
  HDC dc_ = nullptr;
  HBITMAP canvas_ = nullptr;
  HGDIOBJ stock_ = nullptr;
};

// The expected canvas: the ground with `patch` (width wide) at (left, top).
std::vector<COLORREF> With(const std::vector<COLORREF>& patch, int width, int left, int top) {
  std::vector<COLORREF> pixels(8 * 6, 0x0F0F0F);
  for (size_t i = 0; i < patch.size(); ++i) pixels[(top + i / width) * 8 + left + i % width] = patch[i];
  return pixels;
}

const std::vector<COLORREF> kSource = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0xFFFFFF, 0x000000};

TEST_F(Canvas, DrawsColourAndMonochromeUnderTextAndAnisotropicMappings) {
  const unsigned char bits[2] = {0xA0, 0};  // 1 0 1 0: white, black, white, black
  HBITMAP mono = platform::CreateBitmap(4, 1, 1, 1, bits);
  EXPECT_EQ(1, DrawBitMap(dc_, mono, 1, 0, SRCCOPY));
  EXPECT_EQ(1, DrawBitMap(nullptr, mono, 0, 0, SRCCOPY));
  EXPECT_EQ(0, DrawBitMap(reinterpret_cast<HDC>(0x4321), mono, 0, 0, SRCCOPY));
  platform::DeleteObject(mono);
  HBITMAP source = ColourBitmap(3, 2, kSource);
  EXPECT_EQ(1, DrawBitMap(dc_, source, 2, 1, SRCCOPY));
  EXPECT_EQ(1, DrawBitMap(dc_, source, 6, 5, SRCCOPY));  // clipped at the edges
  std::vector<COLORREF> expected = With(kSource, 3, 2, 1);
  for (int x = 0; x < 4; ++x) expected[1 + x] = x % 2 == 0 ? 0xFFFFFF : 0x000000;
  expected[5 * 8 + 6] = kSource[0];
  expected[5 * 8 + 7] = kSource[1];
  EXPECT_EQ(expected, Pixels());
  platform::DeleteObject(source);
  source = ColourBitmap(2, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x123456});
  for (int i = 0; i < kWidth * kHeight; ++i) platform::SetPixel(dc_, i % kWidth, i / kWidth, kGround);
  ASSERT_NE(0, platform::SetMapMode(dc_, MM_ANISOTROPIC));
  platform::SetWindowExtEx(dc_, 1, 1, nullptr);
  platform::SetViewportExtEx(dc_, 2, 2, nullptr);
  EXPECT_EQ(1, DrawBitMap(dc_, source, 1, 1, SRCCOPY));  // one logical unit, two pixels each way
  EXPECT_EQ(With({0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF}, 2, 2, 2), Pixels());
  for (int i = 0; i < kWidth * kHeight; ++i) platform::SetPixel(dc_, i % kWidth, i / kWidth, kGround);
  platform::SetMapMode(dc_, MM_ANISOTROPIC);
  platform::SetWindowOrgEx(dc_, -1, -1, nullptr);  // the size, converted as a point, shrinks to 1 x 1
  EXPECT_EQ(1, DrawBitMap(dc_, source, 0, 0, SRCCOPY));
  EXPECT_EQ(With({0x0000FF}, 1, 1, 1), Pixels());
  platform::DeleteObject(source);
}

TEST_F(Canvas, EveryRasterOperationAndTheGreyText) {
  EXPECT_EQ(0x7F7F7Fu, ColorGrayText(nullptr));
  EXPECT_EQ(0x7F7F7Fu, ColorGrayText(dc_));
  EXPECT_EQ(CLR_INVALID, ColorGrayText(reinterpret_cast<HDC>(0x4321)));
  HBITMAP source = ColourBitmap(2, 1, {0x123456, 0xF0A50F});
  const COLORREF grounds[2] = {0x0F0F0F, 0xABCDEF};
  for (unsigned index = 0; index < 256; ++index) {
    platform::SetPixel(dc_, 0, 0, grounds[0]);
    platform::SetPixel(dc_, 1, 0, grounds[1]);
    ASSERT_EQ(1, DrawBitMap(dc_, source, 0, 0, index << 16));
    for (int x = 0; x < 2; ++x) {
      const COLORREF s = x == 0 ? 0x123456 : 0xF0A50F, d = grounds[x];
      COLORREF expected = 0;
      for (int bit = 0; bit < 24; ++bit) {  // the white brush has every bit set
        const unsigned combination = 4 | ((s >> bit & 1) << 1) | (d >> bit & 1);
        expected |= static_cast<COLORREF>(index >> combination & 1) << bit;
      }
      EXPECT_EQ(expected, platform::GetPixel(dc_, x, 0)) << "index " << index << " pixel " << x;
    }
  }
  platform::DeleteObject(source);
}

using testing_support::GuardedBytes;

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

TEST(Colours, TextsAgainstAModelAndBack) {
  std::mt19937 random(17);
  const std::string alphabet = "0123456789  -+x\t9";
  for (int round = 0; round < 5000; ++round) {
    std::string text = round == 0 ? "4294967296 0 0" : "";
    for (int n = random() % 24; n > 0; --n) text += alphabet[random() % alphabet.size()];
    std::istringstream stream(text);  // red to the first blank, green to the next, blue the rest
    std::string parts[3];
    std::getline(std::getline(stream, parts[0], ' '), parts[1], ' ') && std::getline(stream, parts[2]);
    COLORREF expected = 0x02000000 + (ModelPart(parts[2]) & 0xFF) * 65536 + (ModelPart(parts[1]) & 0xFF) * 256 +
                        (ModelPart(parts[0]) & 0xFF);
    ASSERT_EQ(expected, StringToColour(text.c_str())) << '"' << text << '"';
  }
  EXPECT_EQ(0x020080FFu, StringToColour("255 128 0"));
  EXPECT_EQ(0x02000000u, StringToColour(nullptr));
  char buffer[16];
  EXPECT_EQ(8, ColourToString(buffer, 0x7F123456));  // high bits ignored
  EXPECT_STREQ("86 52 18", buffer);
  EXPECT_EQ(0, ColourToString(nullptr, 0));
}

TEST(MacText, EveryByteBothWaysWithinItsBuffers) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  GuardedBytes toMac(all.size() + 1), toWin(all.size() + 1);
  char* mac = reinterpret_cast<char*>(toMac.data());
  char* win = reinterpret_cast<char*>(toWin.data());
  EXPECT_EQ(mac + all.size(), WinToMacStr(all.c_str(), mac));
  EXPECT_EQ(win + all.size(), MacToWinStr(mac, win));
  EXPECT_EQ(all.substr(0, 0xBF), std::string(mac, 0xBF));  // only accented letters change
  EXPECT_EQ(all.substr(0xBF), std::string(win).substr(0xBF));  // and every one comes back
  std::string buffer = all;
  WinToMacBuf(&buffer[0], static_cast<UINT>(buffer.size()));
  EXPECT_EQ(buffer, mac);
  MacToWinBuf(all.c_str(), &buffer[0], 0x7F);
  EXPECT_EQ(all.substr(0, 0x7F), buffer.substr(0, 0x7F));
  MacToWinBuf("\x80\xA5\xA7\xD8", &buffer[0], 4);
  EXPECT_EQ("\xC4\xA5\xDF\xFF", buffer.substr(0, 4));
  GuardedBytes four(4);
  std::memset(four.data(), 'x', 4);
  char* end = WinToMacStr("\xC0\xE9" "A", reinterpret_cast<char*>(four.data()));
  EXPECT_STREQ("\xCB\x8E" "A", reinterpret_cast<char*>(four.data()));
  EXPECT_EQ(reinterpret_cast<char*>(four.data()) + 3, end);
  char untouched = '\xE9';
  WinToMacBuf(&untouched, 0);
  WinToMacBuf(nullptr, 5);
  EXPECT_EQ(nullptr, MacToWinStr(nullptr, &untouched));
  EXPECT_EQ('\xE9', untouched);
}

}  // namespace
