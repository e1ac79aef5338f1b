#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/dialog.h"

namespace {

struct ShownBox {
  std::string caption, text;
  UINT style;
};
std::vector<ShownBox> shownBoxes;

class Assertions : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    shownBoxes.clear();
    platform::SetMessageBoxObserver(
        [](const char* caption, const char* text, UINT style) { shownBoxes.push_back({caption, text, style}); });
  }
  void TearDown() override {
    platform::SetMessageBoxObserver(nullptr);
    LogTest::TearDown();
  }
};

TEST_F(Assertions, OnlyAPositiveSwitchShowsAFailedCheck) {
  for (const char* lines : {"", "OVAssert=0\r\n", "OVAssert=-3\r\n"}) {
    Configure(lines);
    OVAssert_(0, "x=%d", 5);
    EXPECT_EQ(OVAssertOn(), 0) << lines;
  }
  Configure("OVAssert=1\r\n");
  OVAssert_(1, "x=%d", 5);
  OVAssert_(-7, "x=%d", 5);
  EXPECT_TRUE(shownBoxes.empty());
  EXPECT_EQ(OVAssertOn(), 1);
}

TEST_F(Assertions, AFailedCheckShowsTheFormattedMessageCutTo1023Characters) {
  Configure("OVAssert=1\r\n");
  OVAssert_(0, "x=%d", 5);
  std::string longText(1500, 'm');
  longText[1022] = 'L';
  OVAssert_(0, "%s", longText.c_str());
  ASSERT_EQ(shownBoxes.size(), 2u);
  EXPECT_EQ(shownBoxes[0].caption, "OV Error");
  EXPECT_EQ(shownBoxes[0].text, "x=5");
  EXPECT_EQ(shownBoxes[0].style, 0x30u);
  EXPECT_EQ(shownBoxes[1].text, longText.substr(0, 1023));
}

}  // namespace
