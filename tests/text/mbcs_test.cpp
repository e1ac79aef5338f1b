// The multi-byte services' stepping, copying and searching in code page 932,
// as the Windows runtime does them (lead bytes and the classification and
// case of every code are compared with the runtime's in
// runtime_characters_test.cpp).

#include <string>

#include "platform/mbcs.h"
#include "text_test.h"

namespace {

using namespace text_testing;

using Cp932 = InCodePage<932>;

const unsigned char* U(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.c_str()); }

TEST_F(Cp932, StepsAndCopiesTakeWholeCharactersButNotPastTheEnd) {
  const std::string text = std::string(kHiraganaA) + "a\x82";
  const unsigned char* p = U(text);
  EXPECT_EQ(platform::_mbsnextc(p), 0x82A0u);
  EXPECT_EQ(platform::_mbsinc(p), p + 2);
  EXPECT_EQ(platform::_mbsinc(p + 2), p + 3);
  EXPECT_EQ(platform::_mbclen(p + 3), 1u);  // a lead byte before the terminator is one byte long
  EXPECT_EQ(platform::_mbsinc(p + 3), p + 4);
  unsigned char out[3] = {'x', 'x', 'x'};
  platform::_mbccpy(out, U(kHiraganaA));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), std::string(kHiraganaA) + "x");
  platform::_mbccpy(out, U("\x82"));  // nothing of a half character
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0xA0);
}

TEST_F(Cp932, SearchNeverMatchesATrailByte) {
  // 'a', Ｂ (trail byte 'a'), '\', 表 (trail byte '\'), 'a', '\'.
  const std::string text = std::string("a") + kFullwidthCapitalB + "\\" + kHyou + "a\\";
  const unsigned char* p = U(text);
  const std::pair<unsigned, size_t> first[] = {{0x8261, 1}, {0x955C, 4}, {0, text.size()}, {0x61, 0}};
  for (const auto& [c, at] : first) EXPECT_EQ(platform::_mbschr(p, c), p + at) << c;
  EXPECT_EQ(platform::_mbschr(p + 1, 'a'), p + 6);
  EXPECT_EQ(platform::_mbschr(p, 0x5C62), nullptr);
  const std::pair<unsigned, size_t> last[] = {{'\\', 7}, {'a', 6}, {0x8261, 1}, {0, text.size()}};
  for (const auto& [c, at] : last) EXPECT_EQ(platform::_mbsrchr(p, c), p + at) << c;
  EXPECT_EQ(platform::_mbsrchr(U(kHyou), '\\'), nullptr);
}

}  // namespace
