#include <iterator>
#include <regex>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/shell.h"

namespace {

namespace fs = std::filesystem;

using testing_support::ReadTextFile;
using testing_support::WriteTextFile;

using DeleteLog = log_testing::LogTest;

TEST_F(DeleteLog, EntriesNameUserActionFileOriginAndComputerWhenSwitchedOnOncePerName) {
#ifndef _WIN32
  // The local application-data folder of this test alone.
  testing_support::SetEnvironment("XDG_DATA_HOME", dir_.path().string().c_str());
#endif
  char folder[MAX_PATH];
  ASSERT_TRUE(platform::SHGetSpecialFolderPathA(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE));
  const fs::path orvanta = fs::path(folder) / "Orvanta", eventLog = orvanta / "OVDeleteFileEventLog.log";
  fs::remove(eventLog);
  auto eventText = [&] { return ReadTextFile(eventLog); };
  auto victimFile = [this](const char* name) {
    WriteTextFile(LogFile(name), "content");
    return LogFile(name);
  };
  fs::create_directories(orvanta);
  EXPECT_TRUE(OVDeleteFile(victimFile("a.txt").c_str(), "Test", 1));  // off by default
  EXPECT_EQ(eventText(), "");
  fs::remove_all(orvanta);
  Configure("LogFileDeletes=-1\r\n");  // any value but 0 is on
  std::string victim = victimFile("c.txt");
  EXPECT_TRUE(OVDeleteFile(victim.c_str(), "Test", 1));
  EXPECT_FALSE(fs::exists(victim));
  EXPECT_FALSE(fs::exists(orvanta));  // never created
  fs::create_directories(orvanta);
  victim = victimFile("b.txt");
  EXPECT_TRUE(OVMoveFile(victim.c_str(), LogFile("b-moved.txt").c_str(), "Mover", 7));
  EXPECT_FALSE(OVDeleteFile(victim.c_str(), "Deleter", -3));  // already gone: the entry stays
  std::string events = eventText();
  std::regex line(R"(User [^ ]* (moved|deleted) file (.*) from (\w+) \((-?\d+)\) on computer \S* \(time: \w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\)\.\r\n)");
  std::sregex_iterator entries(events.begin(), events.end(), line);
  ASSERT_EQ(std::distance(entries, std::sregex_iterator()), 2) << events;
  EXPECT_EQ((*entries)[1].str() + " " + (*entries)[2].str() + " " + (*entries)[4].str(), "moved " + victim + " 7");
  ++entries;
  EXPECT_EQ((*entries)[1].str() + " " + (*entries)[3].str() + " " + (*entries)[4].str(), "deleted Deleter -3");

  // Shell operations: a copy is not logged, a move or delete once per name.
  fs::remove(eventLog);
  auto operate = [this](UINT function, const std::string& from, const std::string& to) {
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = function;
    operation.pFrom = from.c_str();
    operation.pTo = to.empty() ? nullptr : to.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
    return OVSHFileOperation(&operation, "Shell", 2);
  };
  const std::string end(2, '\0');
  EXPECT_EQ(operate(FO_COPY, victimFile("e.txt") + end, LogFile("e-copy.txt") + end), 0);
  EXPECT_EQ(eventText(), "");
  EXPECT_EQ(operate(FO_MOVE, victimFile("m.txt") + end, LogFile("m-moved.txt") + end), 0);
  EXPECT_NE(eventText().find(" moved file " + LogFile("m.txt")), std::string::npos) << eventText();
  EXPECT_EQ(operate(FO_DELETE, victimFile("d1.txt") + '\0' + victimFile("d2.txt") + end, ""), 0);
  events = eventText();
  size_t d1 = events.find(" deleted file " + LogFile("d1.txt")), d2 = events.find("d2.txt");
  ASSERT_NE(d2, std::string::npos) << events;
  EXPECT_LT(d1, d2);
  EXPECT_FALSE(fs::exists(LogFile("d2.txt")));
  fs::remove_all(orvanta);
}

}  // namespace
