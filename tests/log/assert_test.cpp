#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/config.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/dialog.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

struct ShownBox {
  std::string caption;
  std::string text;
  UINT style;
};

std::vector<ShownBox> shownBoxes;

void RecordBox(const char* caption, const char* text, UINT style) { shownBoxes.push_back({caption, text, style}); }

class Assertions : public ::testing::Test {
 protected:
  void SetUp() override {
    shownBoxes.clear();
    platform::SetMessageBoxObserver(RecordBox);
    fs::remove(ConfigFile());
    frame::ForgetConfigForTesting();
  }
  void TearDown() override {
    platform::SetMessageBoxObserver(nullptr);
    fs::remove(ConfigFile());
    frame::ForgetConfigForTesting();
  }
  static fs::path ConfigFile() { return fs::path(frame::GetConfigFilePathA()); }
  static void SetAssertKey(const std::string& value) {
    testing_support::WriteTextFile(ConfigFile(), "[VERSION]\r\nOVAssert=" + value + "\r\n");
  }
};

TEST_F(Assertions, OffWithoutTheKey) {
  OVAssert_(0, "x=%d", 5);
  EXPECT_EQ(OVAssertOn(), 0);
  EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(Assertions, AFailedCheckShowsTheFormattedMessage) {
  SetAssertKey("1");
  OVAssert_(0, "x=%d", 5);
  ASSERT_EQ(shownBoxes.size(), 1u);
  EXPECT_EQ(shownBoxes[0].caption, "OV Error");
  EXPECT_EQ(shownBoxes[0].text, "x=5");
  EXPECT_EQ(shownBoxes[0].style, 0x30u);
  EXPECT_EQ(OVAssertOn(), 1);
}

TEST_F(Assertions, APassedCheckShowsNothing) {
  SetAssertKey("1");
  OVAssert_(1, "x=%d", 5);
  OVAssert_(-7, "x=%d", 5);
  EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(Assertions, NegativeOrZeroSwitchIsOff) {
  SetAssertKey("-3");
  OVAssert_(0, "never");
  EXPECT_EQ(OVAssertOn(), 0);
  EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(Assertions, LongMessagesAreCutTo1023Characters) {
  SetAssertKey("1");
  std::string longText(1500, 'm');
  longText[1022] = 'L';
  OVAssert_(0, "%s", longText.c_str());
  ASSERT_EQ(shownBoxes.size(), 1u);
  EXPECT_EQ(shownBoxes[0].text.size(), 1023u);
  EXPECT_EQ(shownBoxes[0].text.back(), 'L');
}

}  // namespace
