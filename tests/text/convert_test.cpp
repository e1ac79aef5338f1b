// Narrow and wide conversion through the conversion locale.

#include <clocale>
#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

constexpr size_t kError = static_cast<size_t>(-1);

TEST(CodePage, IsTheOneTheRunWasStartedFor) {
  const char* expected = std::getenv("OVPB_TEST_ACP");
  if (expected == nullptr) GTEST_SKIP() << "run without OVPB_TEST_ACP";
  EXPECT_EQ(platform::GetACP(), static_cast<UINT>(std::stoul(expected)));
  EXPECT_EQ(frame::DoubleByteFlag() != 0, std::string(expected) == "932");
}

using Cp1252 = InCodePage<1252>;

TEST_F(Cp1252, ConversionsStopAtTheirCountWhateverTheHostsRuntimeLocale) {
  EXPECT_EQ(li_mbstowcs(nullptr, "abc\xe9", 0), 4u);
  GuardedW wide(OV_WIDE(""), 5);
  EXPECT_EQ(li_mbstowcs(wide.get(), "a\x80\xe9", 5), 3u);
  EXPECT_EQ(wide.text(), OV_WIDE("a\u20ac\u00e9"));
  GuardedW exact(OV_WIDE(""), 2);  // no room for the terminator: none is written
  EXPECT_EQ(li_mbstowcs(exact.get(), "xyz", 2), 2u);
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9t\u00e9"), 0), 3u);
  GuardedA narrow("", 3);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("\u00e9\u20ac"), 3), 2u);
  EXPECT_EQ(narrow.text(), "\xe9\x80");
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("abc"), 2), 2u);
  // Not in the code page, and no best fit either.
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042"), 0), kError);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("A\u0100"), 3), kError);
#ifdef _WIN32
  ASSERT_NE(std::setlocale(LC_ALL, ".437"), nullptr);
#else
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
#endif
  GuardedW after(OV_WIDE(""), 4);
  const size_t converted = li_mbstowcs(after.get(), "\x80\xe9", 4);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(converted, 2u);
  EXPECT_EQ(after.text(), OV_WIDE("\u20ac\u00e9"));
}

using Cp932 = InCodePage<932>;

TEST_F(Cp932, DoubleByteCharactersConvertWholeOrAreErrors) {
  const std::string text = std::string(kHiraganaA) + "x" + kFullwidthCapitalA;
  EXPECT_EQ(li_mbstowcs(nullptr, text.c_str(), 0), 3u);
  GuardedW wide(OV_WIDE(""), 3);
  EXPECT_EQ(li_mbstowcs(wide.get(), text.c_str(), 2), 2u);
  EXPECT_EQ(WideString(wide.get(), 2), OV_WIDE("\u3042x"));
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042x"), 0), 3u);
  // A character that does not fit whole is left out, and no terminator
  // follows what was stored.
  GuardedA narrow("", 2);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("x\u3042"), 2), 1u);
  EXPECT_EQ(narrow.get()[1], '~');  // the filler
  EXPECT_EQ(li_mbstowcs(nullptr, "a\x82", 0), kError);  // a lead byte without its trail byte
  // Beyond the characters asked for, an invalid sequence goes unseen.
  EXPECT_EQ(li_mbstowcs(wide.get(), (std::string(kHiraganaA) + "\x82").c_str(), 1), 1u);
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9"), 0), kError);
}

}  // namespace
