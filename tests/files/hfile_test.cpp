// The line reader and the record search over the HFILE a program has: a
// descriptor from open(2) on Linux, _lopen's on Windows. Both leave the
// file position where the next read(2) or _lread continues.

#include <gtest/gtest.h>

#include <string>

#include "ovpb32.h"
#include "support/test_support.h"

#ifdef _WIN32
#include "platform/files.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
HFILE OpenForReading(const std::string& path) { return platform::_lopen(path.c_str(), OF_READ); }
long Position(HFILE file) { return platform::_llseek(file, 0, FILE_CURRENT); }
std::string ReadBytes(HFILE file, unsigned count) {
  std::string bytes(count, '\0');
  bytes.resize(platform::_lread(file, &bytes[0], count));
  return bytes;
}
void Close(HFILE file) { platform::_lclose(file); }
#else
HFILE OpenForReading(const std::string& path) { return open(path.c_str(), O_RDONLY); }
long Position(HFILE file) { return static_cast<long>(lseek(file, 0, SEEK_CUR)); }
std::string ReadBytes(HFILE file, unsigned count) {
  std::string bytes(count, '\0');
  bytes.resize(static_cast<size_t>(read(file, &bytes[0], count)));
  return bytes;
}
void Close(HFILE file) { close(file); }
#endif

class HfileTest : public ::testing::Test {
 protected:
  HFILE Open(const std::string& contents) {
    testing_support::WriteTextFile(dir_ / "data.bin", contents);
    file_ = OpenForReading((dir_ / "data.bin").string());
    EXPECT_NE(file_, HFILE_ERROR);
    return file_;
  }
  void TearDown() override {
    if (file_ != HFILE_ERROR) Close(file_);
  }

  testing_support::TempDir dir_;
  HFILE file_ = HFILE_ERROR;
};

TEST_F(HfileTest, LinesEndWhereTheNextReadStarts) {
  HFILE file = Open("first\r\nsecond\nthird\n\rlast");
  struct Step {
    const char* line;
    long position;
  };
  const Step steps[] = {{"first", 7}, {"second", 14}, {"third", 21}, {"last", 25}};
  char line[32];
  for (const Step& step : steps) {
    EXPECT_EQ(ReadLine1(file, line, sizeof line), static_cast<int>(std::string(step.line).size()));
    EXPECT_STREQ(line, step.line);
    EXPECT_EQ(Position(file), step.position) << step.line;
  }
  EXPECT_EQ(ReadLine1(file, line, sizeof line), -1);
}

TEST_F(HfileTest, LineReadsAndPlainReadsShareThePosition) {
  HFILE file = Open("one\r\ntwo three\r\nfour");
  char line[32];
  ASSERT_EQ(ReadLine1(file, line, sizeof line), 3);
  EXPECT_EQ(ReadBytes(file, 4), "two ");
  ASSERT_EQ(ReadLine1(file, line, sizeof line), 5);
  EXPECT_STREQ(line, "three");
  EXPECT_EQ(ReadBytes(file, 8), "four");
}

TEST_F(HfileTest, RecordSearchStopsJustAfterTheKeyFound) {
  HFILE file = Open("HEADERaaaa#0##bbbb#1##cccc#2##");
  EXPECT_EQ(bsearchfile(file, "cccc", 4, 8, 6, 30), 2);
  EXPECT_EQ(Position(file), 26);
  EXPECT_EQ(ReadBytes(file, 4), "#2##");
  EXPECT_EQ(bsearchfile(file, "aaaa", 4, 8, 6, 30), 0);
  EXPECT_EQ(ReadBytes(file, 4), "#0##");
  EXPECT_EQ(bsearchfile(file, "dddd", 4, 8, 6, 30), -1);
}

}  // namespace
