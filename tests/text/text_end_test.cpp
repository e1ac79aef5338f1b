// Text that ends in a lead byte, placed flush against an inaccessible page:
// a character-aware function that stepped over the terminator as a trail
// byte would fault.

#include <cstring>
#include <string>

#include "ovpb32.h"
#include "support/guarded_memory.h"
#include "text/toolkit.h"
#include "text_test.h"

namespace {

using namespace text_testing;
using testing_support::GuardedBytes;

// "ab", a lead byte and the terminator, ending at the guard page.
class EndingInALeadByte : public Cp932Path {
 protected:
  char* Fresh() {
    std::memcpy(memory_.data(), kText, sizeof kText);
    return reinterpret_cast<char*>(memory_.data());
  }
  static constexpr char kText[] = "ab\x82";

 private:
  GuardedBytes memory_{sizeof kText};
};

TEST_F(EndingInALeadByte, InPlaceAndReadingFunctionsStopAtTheTerminator) {
  str_trimA(Fresh());
  EXPECT_EQ(strtrmspc(Fresh()), 3);
  EXPECT_EQ(strtrmextra(Fresh()), 2);  // the lone lead byte is no letter
  char* value = Fresh();
  str_trim_mask("99.99", value);
  EXPECT_STREQ(value, "ab\x82");
  EXPECT_EQ(_tcstrunc(Fresh(), 10), 3);
  EXPECT_EQ(strblankA(Fresh(), -1), 0);
  EXPECT_EQ(strzeroA(Fresh(), -1), 0);
  EXPECT_EQ(strdigits(Fresh()), 0);
  char dest[8];
  text::DBCSlstrncpy(dest, Fresh(), 10);
  EXPECT_STREQ(dest, "ab\x82");
  EXPECT_EQ(str_copy_till(dest, Fresh(), '='), 3);
  EXPECT_EQ(strfind(Fresh(), "bx", nullptr), nullptr);
  EXPECT_EQ(strifind(Fresh(), "B", nullptr), Fresh() + 2);
  EXPECT_EQ(strtrmcmp(Fresh(), "ab"), 0x82);
  EXPECT_NE(wcstrcmp("*x", Fresh()), 0);
  EXPECT_EQ(wcstrcmp("ab?", Fresh()), 0);
}

}  // namespace
