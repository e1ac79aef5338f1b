// Deletes and moves recorded in the delete-event log.

#include <iterator>
#include <regex>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/shell.h"

namespace {

namespace fs = std::filesystem;

using testing_support::ReadTextFile;
using testing_support::WriteTextFile;

class DeleteLog : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
#ifndef _WIN32
    // The local application-data folder of this test alone.
    testing_support::SetEnvironment("XDG_DATA_HOME", dir_.path().string().c_str());
#endif
    char folder[MAX_PATH];
    ASSERT_TRUE(platform::SHGetSpecialFolderPathA(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE));
    orvanta_ = fs::path(folder) / "Orvanta";
    eventLog_ = orvanta_ / "OVDeleteFileEventLog.log";
    fs::remove(eventLog_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(orvanta_, ignored);
    LogTest::TearDown();
  }

  std::string Events() { return fs::exists(eventLog_) ? ReadTextFile(eventLog_) : std::string(); }
  std::string Victim(const char* name) {
    std::string path = LogFile(name);
    WriteTextFile(path, "content");
    return path;
  }

  fs::path orvanta_;
  fs::path eventLog_;
};

TEST_F(DeleteLog, OnlyWhenSwitchedOnAndTheFolderExists) {
  std::string victim = Victim("a.txt");
  fs::create_directories(orvanta_);
  EXPECT_TRUE(OVDeleteFile(victim.c_str(), "Test", 1));  // off by default
  EXPECT_EQ(Events(), "");
  fs::remove_all(orvanta_);
  Configure("LogFileDeletes=1\r\n");
  victim = Victim("c.txt");
  EXPECT_TRUE(OVDeleteFile(victim.c_str(), "Test", 1));
  EXPECT_FALSE(fs::exists(victim));
  EXPECT_FALSE(fs::exists(orvanta_));  // never created
}

TEST_F(DeleteLog, EntriesNameUserActionFileOriginAndComputer) {
  Configure("LogFileDeletes=-1\r\n");  // any value but 0 is on
  fs::create_directories(orvanta_);
  std::string victim = Victim("b.txt");
  EXPECT_TRUE(OVMoveFile(victim.c_str(), LogFile("b-moved.txt").c_str(), "Mover", 7));
  EXPECT_FALSE(OVDeleteFile(victim.c_str(), "Deleter", -3));  // already gone: the entry stays
  std::string events = Events();
  std::regex line(R"(User [^ ]* (moved|deleted) file (.*) from (\w+) \((-?\d+)\) on computer \S* \(time: \w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\)\.\r\n)");
  std::sregex_iterator entries(events.begin(), events.end(), line), end;
  ASSERT_EQ(std::distance(entries, end), 2) << events;
  EXPECT_EQ((*entries)[1].str() + " " + (*entries)[2].str() + " " + (*entries)[4].str(), "moved " + victim + " 7");
  ++entries;
  EXPECT_EQ((*entries)[1].str() + " " + (*entries)[3].str() + " " + (*entries)[4].str(), "deleted Deleter -3");
}

TEST_F(DeleteLog, ShellDeletesWriteOneEntryPerNameAndCopiesNone) {
  Configure("LogFileDeletes=1\r\n");
  fs::create_directories(orvanta_);
  std::string names;
  for (const char* name : {"d1.txt", "d2.txt", "d3.txt"}) names += Victim(name) + '\0';
  names += '\0';
  std::string copyFrom = Victim("e.txt") + std::string(2, '\0');
  std::string copyTo = LogFile("e-copy.txt") + std::string(2, '\0');

  SHFILEOPSTRUCTA copy = {};
  copy.wFunc = FO_COPY;
  copy.pFrom = copyFrom.c_str();
  copy.pTo = copyTo.c_str();
  copy.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
  EXPECT_EQ(OVSHFileOperation(&copy, "Shell", 2), 0);
  EXPECT_EQ(Events(), "");

  SHFILEOPSTRUCTA remove = {};
  remove.wFunc = FO_DELETE;
  remove.pFrom = names.c_str();
  remove.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  EXPECT_EQ(OVSHFileOperation(&remove, "Shell", 2), 0);
  std::string events = Events();
  size_t d1 = events.find("d1.txt"), d2 = events.find("d2.txt"), d3 = events.find("d3.txt");
  ASSERT_NE(d3, std::string::npos) << events;
  EXPECT_LT(d1, d2);
  EXPECT_LT(d2, d3);
  EXPECT_FALSE(fs::exists(LogFile("d2.txt")));
}

}  // namespace
