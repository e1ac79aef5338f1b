// Narrow and wide conversion through the conversion locale.

#include <clocale>
#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

constexpr size_t kError = static_cast<size_t>(-1);

using Cp1252 = InCodePage<1252>;
using Cp932 = InCodePage<932>;

TEST(CodePage, IsTheOneTheRunWasStartedFor) {
  const char* expected = std::getenv("OVPB_TEST_ACP");
  if (expected == nullptr) GTEST_SKIP() << "run without OVPB_TEST_ACP";
  const UINT codePage = static_cast<UINT>(std::stoul(expected));
  EXPECT_EQ(platform::GetACP(), codePage);
  EXPECT_EQ(frame::DoubleByteFlag() != 0, codePage == 932);
}

TEST_F(Cp1252, NarrowToWide) {
  EXPECT_EQ(li_mbstowcs(nullptr, "abc\xe9", 0), 4u);
  GuardedW dest(OV_WIDE(""), 5);
  EXPECT_EQ(li_mbstowcs(dest.get(), "a\x80\xe9", 5), 3u);
  EXPECT_EQ(dest.text(), OV_WIDE("a\u20ac\u00e9"));
  // No room for the terminator: none is written.
  GuardedW exact(OV_WIDE(""), 2);
  EXPECT_EQ(li_mbstowcs(exact.get(), "xyz", 2), 2u);
  EXPECT_EQ(WideString(exact.get(), 2), OV_WIDE("xy"));
  EXPECT_TRUE(exact.GuardsIntact());
}

TEST_F(Cp1252, WideToNarrow) {
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9t\u00e9"), 0), 3u);
  GuardedA dest("", 4);
  EXPECT_EQ(li_wcstombs(dest.get(), OV_WIDE("\u00e9\u20ac"), 4), 2u);
  EXPECT_EQ(dest.text(), "\xe9\x80");
  GuardedA exact("", 2);
  EXPECT_EQ(li_wcstombs(exact.get(), OV_WIDE("abc"), 2), 2u);
  EXPECT_EQ(std::string(exact.get(), 2), "ab");
  EXPECT_TRUE(exact.GuardsIntact());
  // Not in the code page, and no best fit either.
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042"), 0), kError);
  EXPECT_EQ(li_wcstombs(dest.get(), OV_WIDE("A\u0100"), 4), kError);
}

TEST_F(Cp1252, TheHostsRuntimeLocaleDoesNotMatter) {
  GuardedW before(OV_WIDE(""), 4);
  li_mbstowcs(before.get(), "\x80\xe9", 4);
#ifdef _WIN32
  const char* other = ".437";
#else
  const char* other = "C.UTF-8";
#endif
  ASSERT_NE(std::setlocale(LC_ALL, other), nullptr);
  GuardedW after(OV_WIDE(""), 4);
  const size_t converted = li_mbstowcs(after.get(), "\x80\xe9", 4);
  char narrow[4] = {};
  const size_t back = li_wcstombs(narrow, OV_WIDE("\u00e9"), sizeof narrow);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(converted, 2u);
  EXPECT_EQ(after.text(), before.text());
  EXPECT_EQ(back, 1u);
  EXPECT_STREQ(narrow, "\xe9");
}

TEST_F(Cp932, DoubleByteCharactersConvertWhole) {
  const std::string text = std::string(kHiraganaA) + "x" + kFullwidthCapitalA;
  EXPECT_EQ(li_mbstowcs(nullptr, text.c_str(), 0), 3u);
  GuardedW dest(OV_WIDE(""), 3);
  EXPECT_EQ(li_mbstowcs(dest.get(), text.c_str(), 2), 2u);
  EXPECT_EQ(WideString(dest.get(), 2), OV_WIDE("\u3042x"));
  EXPECT_TRUE(dest.GuardsIntact());

  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042x"), 0), 3u);
  // A character that does not fit whole is left out, and no terminator
  // follows what was stored.
  GuardedA narrow("", 2);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("x\u3042"), 2), 1u);
  EXPECT_EQ(narrow.get()[0], 'x');
  EXPECT_EQ(narrow.get()[1], GuardedA::kGuard);
  EXPECT_TRUE(narrow.GuardsIntact());
  GuardedA whole("", 3);
  EXPECT_EQ(li_wcstombs(whole.get(), OV_WIDE("\u3042"), 3), 2u);
  EXPECT_EQ(whole.text(), kHiraganaA);
  EXPECT_TRUE(whole.GuardsIntact());
}

TEST_F(Cp932, InvalidSequencesAndMissingCharactersAreErrors) {
  EXPECT_EQ(li_mbstowcs(nullptr, "a\x82", 0), kError);  // a lead byte without its trail byte
  GuardedW dest(OV_WIDE(""), 8);
  EXPECT_EQ(li_mbstowcs(dest.get(), "a\x82", 8), kError);
  // Beyond the characters asked for, an invalid sequence goes unseen.
  EXPECT_EQ(li_mbstowcs(dest.get(), (std::string(kHiraganaA) + "\x82").c_str(), 1), 1u);
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9"), 0), kError);
}

}  // namespace
