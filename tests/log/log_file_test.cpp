#include <chrono>
#include <random>
#include <thread>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

using testing_support::ReadTextFile;
using log_testing::kMarker;

std::string Header(size_t position) { return (std::to_string(position) + "          ").substr(0, 10); }

// What a ring-mode file must hold after each write, kept independently of
// the writer: header, entries, marker, and what is left of older rounds.
class RingModel {
 public:
  explicit RingModel(size_t limit) : limit_(limit) {}
  void Write(const std::string& text) {
    Put(position_, text);
    position_ = position_ + text.size() <= limit_ ? position_ + text.size() : 10;
    Put(position_, kMarker);
    Put(0, Header(position_));
  }
  const std::string& bytes() const { return bytes_; }

 private:
  void Put(size_t offset, const std::string& text) {
    if (bytes_.size() < offset + text.size()) bytes_.resize(offset + text.size(), '\0');
    bytes_.replace(offset, text.size(), text);
  }
  size_t limit_, position_ = 10;
  std::string bytes_;
};

using LogFileWriter = log_testing::LogTest;

TEST_F(LogFileWriter, AppendsOrWritesARingAndRefusesWhatCannotBeWritten) {
  std::string path = LogFile("append.log");
  EXPECT_EQ(DoWriteLog(path.c_str(), "one\r\n", -1), 1);
  EXPECT_EQ(DoWriteLog(path.c_str(), "two\r\n", -1), 1);
  EXPECT_EQ(ReadTextFile(path), "one\r\ntwo\r\n");
  // Ring mode over a file written in append mode starts over it.
  ASSERT_EQ(DoWriteLog(path.c_str(), "new\r\n", 1000), 1);
  EXPECT_EQ(ReadTextFile(path), Header(15) + "new\r\n" + kMarker);
  path = LogFile("refused.log");
  for (int limit : {0, -5, 62}) EXPECT_EQ(DoWriteLog(path.c_str(), "x", limit), 0) << limit;  // 63 needed
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(DoWriteLog(nullptr, "x", -1), 0);
  EXPECT_EQ(DoWriteLog(path.c_str(), nullptr, -1), 0);
  EXPECT_EQ(DoWriteLog(LogFile("no-such-folder/x.log").c_str(), "x", -1), 0);
  EXPECT_EQ(DoWriteLog(path.c_str(), "x", 63), 1);
}

TEST_F(LogFileWriter, RingModeMatchesTheModelByteForByte) {
  std::mt19937 random(20261206);
  for (int limit : {100, 257, 1000}) {
    std::string path = LogFile("model-" + std::to_string(limit) + ".log");
    RingModel model(limit);
    for (int i = 0; i < 300; ++i) {
      std::string text(std::uniform_int_distribution<size_t>(1, limit - 62)(random), ' ');
      for (char& c : text) c = static_cast<char>('a' + random() % 26);
      ASSERT_EQ(DoWriteLog(path.c_str(), text.c_str(), limit), 1);
      model.Write(text);
      ASSERT_EQ(ReadTextFile(path), model.bytes()) << "limit " << limit << ", entry " << i;
    }
  }
}

// A file held by another open is retried for about a second (200 times 5 ms).
TEST_F(LogFileWriter, RetriesABusyFileForAboutASecond) {
  std::string path = LogFile("busy.log");
  HANDLE holder = platform::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DoWriteLog(path.c_str(), "given up", -1), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  testing_support::TestThread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    platform::CloseHandle(holder);
  });
  EXPECT_EQ(DoWriteLog(path.c_str(), "entry", -1), 1);
  release.join();
  EXPECT_EQ(ReadTextFile(path), "entry");
}

using GeneralLogPath = log_testing::LogTest;

TEST_F(GeneralLogPath, IsBesideTheLibraryOrConfiguredAndExpandedOrSetUntilEmptied) {
  EXPECT_EQ(std::string(logging::GetLogPathA()), std::string(frame::GetModuleDirectoryA()) + "GeneralLog.log");
  testing_support::SetEnvironment("OVPB_TEST_LOG_DIR", dir_.path().string().c_str());
  Configure("LoggingPath=%OVPB_TEST_LOG_DIR%" + std::string(1, fs::path::preferred_separator) + "x.log\r\n");
  EXPECT_EQ(fs::path(logging::GetLogPathA()), dir_.path() / "x.log");
  SetLogPath("chosen.log");
  EXPECT_STREQ(logging::GetLogPathA(), "chosen.log");
  SetLogPath(std::string(MAX_PATH, 'x').c_str());  // too long: ignored
  EXPECT_STREQ(logging::GetLogPathA(), "chosen.log");
  SetLogPath(std::string(MAX_PATH - 1, 'y').c_str());
  EXPECT_EQ(std::string(logging::GetLogPathA()), std::string(MAX_PATH - 1, 'y'));
  SetLogPath("");
  EXPECT_EQ(fs::path(logging::GetLogPathA()), dir_.path() / "x.log");
}

}  // namespace
