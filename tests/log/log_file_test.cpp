// The log file writer: append mode, ring mode against a model of the file,
// the sharing retry, and the general log's path.

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "log/log_file.h"
#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

using log_testing::LogTest;
using testing_support::ReadTextFile;
using log_testing::kMarker;

std::string Header(long position) {
  std::string header = std::to_string(position);
  header.resize(10, ' ');
  return header;
}

// What a ring-mode file must hold after each write, kept independently of
// the writer: header, entries, marker, and what is left of older rounds.
class RingModel {
 public:
  explicit RingModel(int limit) : limit_(limit) {}
  void Write(const std::string& text) {
    long position = bytes_.size() >= 10 ? std::atol(bytes_.substr(0, 10).c_str()) : 0;
    if (position < 10) position = 10;
    Put(position, text);
    if (position + static_cast<long>(text.size()) <= limit_) {
      Put(position + text.size(), kMarker);
      Put(0, Header(position + text.size()));
    } else {
      Put(0, Header(10));
      Put(10, kMarker);
    }
  }
  const std::string& bytes() const { return bytes_; }

 private:
  void Put(size_t offset, const std::string& text) {
    if (bytes_.size() < offset + text.size()) bytes_.resize(offset + text.size(), '\0');
    bytes_.replace(offset, text.size(), text);
  }
  int limit_;
  std::string bytes_;
};

using LogFileWriter = LogTest;

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
  for (bool releasedSoon : {true, false}) {
    std::string path = LogFile(releasedSoon ? "busy.log" : "held.log");
    HANDLE holder = platform::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    auto start = std::chrono::steady_clock::now();  // before the releaser's sleep begins
    std::thread release([&] {
      if (!releasedSoon) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      platform::CloseHandle(holder);
    });
    EXPECT_EQ(DoWriteLog(path.c_str(), "entry", -1), releasedSoon ? 1 : 0);
    auto waited = std::chrono::steady_clock::now() - start;
    release.join();
    if (!releasedSoon) platform::CloseHandle(holder);
    EXPECT_EQ(ReadTextFile(path), releasedSoon ? "entry" : "");
    EXPECT_GE(waited, std::chrono::milliseconds(releasedSoon ? 100 : 900));
  }
}

using GeneralLogPath = LogTest;

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
