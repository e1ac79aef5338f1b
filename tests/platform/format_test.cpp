// Wide printf with the Windows runtime's reading of %s and %S.

#include <gtest/gtest.h>

#include "platform/format.h"
#include "platform/wide.h"
#include "support/test_support.h"

namespace {

std::string Formatted(size_t capacity, const WCHAR* format, ...) {
  WideString buffer(capacity, u'#');
  va_list arguments;
  va_start(arguments, format);
  int result = platform::FormatWide(&buffer[0], capacity, format, arguments);
  va_end(arguments);
  std::string text = testing_support::ToUtf8(WideString(buffer.c_str()));
  return result < 0 ? "cut:" + text : text;
}

TEST(WideFormat, StringsAreWideUnlessMarkedNarrow) {
  EXPECT_EQ(Formatted(64, OV_WIDE("%s|%S|%hs|%ls"), OV_WIDE("w1"), "n1", "n2", OV_WIDE("w2")), "w1|n1|n2|w2");
  EXPECT_EQ(Formatted(64, OV_WIDE("[%-6s][%6s][%.2s]"), OV_WIDE("ab"), OV_WIDE("cd"), OV_WIDE("xyz")),
            "[ab    ][    cd][xy]");
  EXPECT_EQ(Formatted(64, OV_WIDE("%c%C"), static_cast<int>(u'\u00e9'), static_cast<int>('z')), "\u00e9z");
}

TEST(WideFormat, TextThatDoesNotFitIsCutAndTerminated) {
  EXPECT_EQ(Formatted(6, OV_WIDE("%s"), OV_WIDE("abcdefgh")), "cut:abcde");
  EXPECT_EQ(Formatted(6, OV_WIDE("abcde")), "abcde");
}

}  // namespace
