#include <regex>
#include <string>
#include <vector>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/dialog.h"
#include "platform/wide.h"

namespace {

namespace fs = std::filesystem;

using testing_support::ReadTextFile;

class LogEntries : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    path_ = LogFile("general.log");
    SetLogPath(path_.c_str());
  }
  // The general log points into the test's folder again after the state is forgotten.
  void Configure(const std::string& lines) {
    LogTest::Configure(lines);
    SetLogPath(path_.c_str());
  }

  // The entries in the order written (ring mode: header and marker removed).
  std::string Written() {
    std::string bytes = ReadTextFile(path_);
    if (bytes.size() < 10) return std::string();
    size_t end = std::stoul(bytes.substr(0, 10));
    return bytes.substr(10, end - 10);
  }

  std::string path_;
};

// (time) computer:user program:thread [component   ]: message
const std::regex kLine(R"(\(\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\) [^:\r\n]*:[^ \r\n]* [^:\r\n]+:\d+ (.*)\r\n)");

TEST_F(LogEntries, LevelAndCategoriesChooseTheEntriesAndExFormsIgnoreTheLevel) {
  EXPECT_EQ(OVActiveLog(), 0);
  OVWriteLogA("Net", 0, "kept %d", 7);
  std::smatch match;
  std::string written = Written();
  ASSERT_TRUE(std::regex_match(written, match, kLine)) << written;
  EXPECT_EQ(match[1].str(), "[Net         ]: kept 7");
  fs::remove(path_);
  OVWriteLogW(OV_WIDE("Wide"), 0, OV_WIDE("%s=%d"), OV_WIDE("value"), 42);  // in the ANSI code page
  written = Written();
  ASSERT_TRUE(std::regex_match(written, match, kLine)) << written;
  EXPECT_EQ(match[1].str(), "[Wide        ]: value=42");
  OVWriteLogEx(nullptr, "", 9, "general");
  EXPECT_NE(Written().find(" : general\r\n"), std::string::npos);
  const struct {
    const char* lines;
    const char* component;
    int level;
    bool written;
  } cases[] = {{"", "Net", 1, false},  // without configuration only level 0
               {"GeneralLogging=2", "Net", 3, false},
               {"LoggingCategory=Net,ByteLevelFileCopy", "ByteLevelFileCopy", 0, true},
               {"LoggingCategory=Net,ByteLevelFileCopy", "Copy", 0, false},
               {"LoggingCategory=Net, Disk", "Disk", 0, false},  // a blank is part of the name
               {"LoggingCategory=Net, Disk", "Net", 0, true},
               {"LoggingCategory=*but not this", "Anything", 0, true},
               {"LoggingCategory=   ", "Net", 0, false},
               {"LoggingCategory=   ", "", 0, true},  // no component always passes
               {"LoggingCategory=zip", "ZIP", 0, true},  // compared without regard to case
               {"GeneralLogging=2\r\nLoggingCategory=*", "AVeryLongComponentName", 2, true}};
  for (const auto& c : cases) {
    fs::remove(path_);
    Configure(std::string(c.lines) + "\r\n");
    OVWriteLogA(c.component, c.level, "m");
    EXPECT_EQ(Written() != "", c.written) << c.lines << " / " << c.component;
  }
  EXPECT_EQ(OVActiveLog(), 1);
  EXPECT_NE(Written().find("[AVeryLongComponentName]: m"), std::string::npos);  // in full
  fs::remove(path_);
  Configure("LoggingCategory=raw\r\n");  // raw entries are the message alone
  OVWriteLogA("@Raw", 0, "just %s", "this");
  OVWriteLogA("@Other", 0, "dropped");
  EXPECT_EQ(Written(), "just this\r\n");
}

TEST_F(LogEntries, IndentationIsPerThreadAndBoundedAndLongMessagesAndLinesAreCut) {
  auto indentOf = [this](int depth) {
    testing_support::TestThread writer([&] {
      OVIndentLog(depth);
      OVWriteLogA("C", 0, "m");
    });
    writer.join();
    std::string written = Written();
    size_t colon = written.rfind("]: ");
    size_t message = written.rfind("m\r\n");
    return message - colon - 3;
  };
  EXPECT_EQ(indentOf(3), 3u);
  EXPECT_EQ(indentOf(20), 12u);
  EXPECT_EQ(indentOf(-2), 0u);
  OVIndentLog(2);  // this thread's depth does not reach other threads
  EXPECT_EQ(indentOf(0), 0u);
  OVIndentLog(-2);
  fs::remove(path_);
  OVWriteLogA("", 0, "%s", std::string(2500, 'x').c_str());
  std::string written = Written();
  EXPECT_EQ(written.size(), 1999u);
  EXPECT_EQ(written.substr(1994), "(...)");
  fs::remove(path_);
  OVWriteLogA("", 0, "%s", std::string(1950, 'y').c_str());
  OVWriteLogA("@", 0, "next");
  written = Written();
  EXPECT_EQ(written.substr(1994, 5), "(...)");
  EXPECT_EQ(written.substr(1999), "next\r\n");  // no line break after a cut line
}

std::vector<std::string> shownBoxes;  // "caption|text|style"

using Assertions = log_testing::LogTest;

TEST_F(Assertions, OnlyAPositiveSwitchShowsAFailedCheckCutTo1023Characters) {
  platform::SetMessageBoxObserver([](const char* caption, const char* text, UINT style) {
    shownBoxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
  });
  for (const char* lines : {"", "OVAssert=0\r\n", "OVAssert=-3\r\n"}) {
    Configure(lines);
    OVAssert_(0, "x=%d", 5);
    EXPECT_EQ(OVAssertOn(), 0) << lines;
  }
  Configure("OVAssert=1\r\n");
  OVAssert_(1, "x=%d", 5);
  OVAssert_(-7, "x=%d", 5);
  EXPECT_EQ(OVAssertOn(), 1);
  OVAssert_(0, "x=%d", 5);
  std::string longText(1500, 'm');
  longText[1022] = 'L';
  OVAssert_(0, "%s", longText.c_str());
  platform::SetMessageBoxObserver(nullptr);
  EXPECT_EQ(shownBoxes, (std::vector<std::string>{"OV Error|x=5|48", "OV Error|" + longText.substr(0, 1023) + "|48"}));
}

}  // namespace
