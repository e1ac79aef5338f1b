// Padding and justification write exactly width + 1 bytes (units) at most.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

TEST_F(BytePath, PaddingFillsTheWidthAndNoMore) {
  GuardedA padded("ab", 6);
  str_pad(padded.get(), 5);
  EXPECT_EQ(padded.text(), "ab   ");
  EXPECT_TRUE(padded.GuardsIntact());

  GuardedA wide("ab", 3);
  str_pad(wide.get(), 1);
  EXPECT_EQ(wide.text(), "ab");
  EXPECT_TRUE(wide.GuardsIntact());

  GuardedA signedWidth("", 5);
  str_padA(signedWidth.get(), 4);
  EXPECT_EQ(signedWidth.text(), "    ");
  str_padA(signedWidth.get(), -1);
  EXPECT_EQ(signedWidth.text(), "    ");
  EXPECT_TRUE(signedWidth.GuardsIntact());
}

TEST_F(BytePath, SpacesAreCountBlanksAndATerminator) {
  GuardedA out("", 4);
  str_space(out.get(), 3);
  EXPECT_EQ(out.text(), "   ");
  str_space(out.get(), 0);
  EXPECT_EQ(out.text(), "");
  EXPECT_TRUE(out.GuardsIntact());
}

TEST_F(BytePath, JustificationMovesTheTextRight) {
  GuardedA text("ab", 6);
  str_justifyA(text.get(), 5);
  EXPECT_EQ(text.text(), "   ab");
  str_justifyA(text.get(), 3);
  EXPECT_EQ(text.text(), "   ab");
  EXPECT_TRUE(text.GuardsIntact());

  GuardedW wide(OV_WIDE("xy"), 5);
  str_justifyW(wide.get(), 4);
  EXPECT_EQ(wide.text(), OV_WIDE("  xy"));
  EXPECT_TRUE(wide.GuardsIntact());
}

TEST_F(Cp932Path, WidthsCountBytes) {
  GuardedA padded(kHiraganaA, 5);
  str_pad(padded.get(), 4);
  EXPECT_EQ(padded.text(), std::string(kHiraganaA) + "  ");
  EXPECT_TRUE(padded.GuardsIntact());
  GuardedA justified(kHiraganaA, 5);
  str_justifyA(justified.get(), 4);
  EXPECT_EQ(justified.text(), std::string("  ") + kHiraganaA);
  EXPECT_TRUE(justified.GuardsIntact());
}

}  // namespace
