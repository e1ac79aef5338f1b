// ReadLine1 and bsearchfile over the HFILE a program has (a descriptor from
// open(2) on Linux, _lopen's on Windows) leave the file position where the
// next read(2) or _lread continues.

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
HFILE Open(const testing_support::fs::path& path) { return platform::_lopen(path.string().c_str(), OF_READ); }
long Position(HFILE file) { return platform::_llseek(file, 0, FILE_CURRENT); }
UINT Read(HFILE file, char* out, UINT count) { return platform::_lread(file, out, count); }
void Close(HFILE file) { platform::_lclose(file); }
#else
HFILE Open(const testing_support::fs::path& path) { return open(path.c_str(), O_RDONLY); }
long Position(HFILE file) { return static_cast<long>(lseek(file, 0, SEEK_CUR)); }
UINT Read(HFILE file, char* out, UINT count) { return static_cast<UINT>(read(file, out, count)); }
void Close(HFILE file) { close(file); }
#endif

TEST(Hfile, LineAndRecordReadsLeaveThePositionForPlainReads) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "lines.txt", "first\r\nsecond\nthird\n\rlast two");
  testing_support::WriteTextFile(dir / "records.bin", "HEADERaaaa#0##bbbb#1##cccc#2##");
  HFILE lines = Open(dir / "lines.txt");
  HFILE records = Open(dir / "records.bin");
  ASSERT_NE(lines, HFILE_ERROR);
  ASSERT_NE(records, HFILE_ERROR);
  char text[32] = {};
  for (auto [line, position] : {std::pair<std::string, long>{"first", 7}, {"second", 14}, {"third", 21}}) {
    EXPECT_EQ(ReadLine1(lines, text, sizeof text), static_cast<int>(line.size()));
    EXPECT_EQ(text, line);
    EXPECT_EQ(Position(lines), position) << line;
  }
  EXPECT_EQ(Read(lines, text, 5), 5u);
  EXPECT_EQ(ReadLine1(lines, text, sizeof text), 3);  // "two"
  EXPECT_EQ(ReadLine1(lines, text, sizeof text), -1);

  EXPECT_EQ(bsearchfile(records, "cccc", 4, 8, 6, 30), 2);
  EXPECT_EQ(Position(records), 26);
  EXPECT_EQ(bsearchfile(records, "aaaa", 4, 8, 6, 30), 0);
  ASSERT_EQ(Read(records, text, 4), 4u);
  EXPECT_EQ(std::string(text, 4), "#0##");
  EXPECT_EQ(bsearchfile(records, "dddd", 4, 8, 6, 30), -1);
  Close(lines);
  Close(records);
}

}  // namespace
