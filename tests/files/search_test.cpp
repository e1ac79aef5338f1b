// The directory search that hides entries, the line reader and the sorted
// record searches over files and streams.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "support/memory_stream.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::MemoryStream;
using testing_support::TempDir;
using Names = std::multiset<std::string>;

class DirectorySearch : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(dir_ / "normal.txt", "n");
    testing_support::WriteTextFile(hidden_, "h");
    platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_HIDDEN);  // a dot name is hidden on POSIX
    fs::create_directory(dir_ / "sub");
  }
  void TearDown() override { platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_NORMAL); }

  // Every entry the search for `name` yields, or "none".
  Names Collect(const std::string& name, int withDirectories) {
    Names names;
    _finddata64i32_t found;
    INT_PTR search = file_find_first_ex((dir_ / name).string().c_str(), &found, withDirectories);
    if (search == -1) return {"none"};
    do {
      names.insert(found.name);
    } while (file_find_next_ex(search, &found, withDirectories) == 0);
    EXPECT_EQ(file_find_next_ex(search, &found, withDirectories), -1);
    platform::_findclose(search);
    return names;
  }

  TempDir dir_;
  std::string hidden_ = (dir_ / ".hidden").string();
};

TEST_F(DirectorySearch, HiddenEntriesNeverShowAndDirectoriesOnlyWhenAsked) {
  EXPECT_EQ(Collect("*", 0), Names{"normal.txt"});
  EXPECT_EQ(Collect("*", 1), (Names{".", "..", "normal.txt", "sub"}));
  EXPECT_EQ(Collect("su*", 0), Names{"none"});
  EXPECT_EQ(Collect("su*", 1), Names{"sub"});
  EXPECT_EQ(Collect(".hidden", 1), Names{"none"});
  _finddata64i32_t found;
  INT_PTR search = file_find_first((dir_ / "*").string().c_str(), &found);
  ASSERT_NE(search, -1);
  EXPECT_STREQ(found.name, "normal.txt");
  EXPECT_EQ(file_find_next(search, &found), -1);
  platform::_findclose(search);
  EXPECT_EQ(file_find_first((dir_ / "missing*").string().c_str(), &found), -1);
}

using Lines = std::vector<std::string>;

// Every line of the contents until the end, as "text" or "-1", read into
// a buffer of `size` that must not be written beyond.
Lines ReadLines(const std::string& contents, int size = 512) {
  TempDir dir;
  testing_support::WriteTextFile(dir / "lines.txt", contents);
  HFILE file = platform::_lopen((dir / "lines.txt").string().c_str(), OF_READ);
  Lines lines;
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
  for (int guard = 0; guard < 100 && (lines.empty() || lines.back() != "-1"); ++guard) {
    int length = ReadLine1(file, buffer.data(), size);
    lines.push_back(length < 0 ? "-1" : buffer.data());
    EXPECT_EQ(length < 0 ? -1 : static_cast<int>(std::strlen(buffer.data())), length);
    EXPECT_EQ(buffer[static_cast<size_t>(size)], '#') << "written beyond size";
  }
  platform::_lclose(file);
  return lines;
}

TEST(LineReading, EveryKindOfLineEndEndsOneLineAcrossBlocks) {
  EXPECT_EQ(ReadLines("ab\r\n\r\ncd\rlf\nlfcr\n\rtwo\n\nlast"), (Lines{"ab", "", "cd", "lf", "lfcr", "two", "", "last", "-1"}));
  const std::string first(127, 'x'), second(300, 'b'), third(128, 'c');
  // The first CR is byte 127 of the block, its LF the first of the next.
  EXPECT_EQ(ReadLines(first + "\r\n" + second + "\n" + third + "\r\n"), (Lines{first, second, third, "-1"}));
}

TEST(LineReading, TheEndOfFileMarkIsNoPartOfTheLastLine) {
  EXPECT_EQ(ReadLines("one\r\ntwo\x1A"), (Lines{"one", "two", "-1"}));
  EXPECT_EQ(ReadLines("caf\xE9"), (Lines{"caf\xE9", "-1"}));  // a high byte is no control character
  EXPECT_EQ(ReadLines(""), (Lines{"-1"}));
}

TEST(LineReading, ALineTooLongForTheRoomIsCutButConsumedWhole) {
  EXPECT_EQ(ReadLines("abcdef\nghi\n" + std::string(200, 'z') + "\n", 4), (Lines{"abc", "ghi", "zzz", "-1"}));
  EXPECT_EQ(ReadLines("ab\n", 1), (Lines{"", "-1"}));  // room for the terminator only
  char out[4] = "###";
  EXPECT_EQ(ReadLine1(HFILE_ERROR, out, 0), -1);
  EXPECT_EQ(ReadLine1(HFILE_ERROR, out, -5), -1);
  EXPECT_STREQ(out, "###");
}


// Eight-byte records keyed by their first four bytes, after a six-byte header.
const std::vector<std::string> kKeys = {"aaaa", "bbbb", "dddd", "ffff", "kkkk", "mmmm", "pppp"};
const int kEnd = static_cast<int>(6 + 8 * kKeys.size());

std::string EightByteRecords() {
  std::string bytes = "HEADER";
  for (size_t i = 0; i < kKeys.size(); ++i) bytes += kKeys[i] + "#" + std::to_string(i) + "##";
  return bytes;
}

TEST(SortedRecords, FindEveryStoredKeyInAStreamAndStopJustAfterIt) {
  MemoryStream stream(EightByteRecords());
  for (size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(bsearchstream(&stream, kKeys[i].c_str(), 4, 8, 6, kEnd), static_cast<int>(i)) << kKeys[i];
    EXPECT_EQ(stream.position(), 6 + 8 * i + 4);
  }
  for (const char* key : {"cccc", "0000", "zzzz", "aaab", "pppo"}) EXPECT_EQ(bsearchstream(&stream, key, 4, 8, 6, kEnd), -1);
  EXPECT_EQ(bsearchstream(&stream, "kk", 2, 8, 6, kEnd), 4);  // a shorter key compares on its own length
  stream.seeks.clear();
  // Regions of no whole record, and records of no size, are never read.
  for (auto [start, end, size] : {std::tuple{6, 6, 8}, {6, 13, 8}, {30, 6, 8}, {6, 30, 0}}) {
    EXPECT_EQ(bsearchstream(&stream, "aaaa", 4, size, static_cast<DWORD>(start), end), -1);
  }
  EXPECT_TRUE(stream.seeks.empty());
  // A start past 2^31 goes out as a negative 32-bit offset, which the stream refuses.
  EXPECT_EQ(bsearchstream(&stream, "zzzz", 4, 8, 0x80000000u, static_cast<int>(0x80000000u + 16u)), -1);
  ASSERT_FALSE(stream.seeks.empty());
  EXPECT_EQ(stream.seeks[0], static_cast<LONGLONG>(INT32_MIN));
}

// Records of 32 bytes whose 30-byte keys differ only after byte 25.
TEST(SortedRecords, ALongKeyIsComparedOnItsFirst25Bytes) {
  std::vector<std::string> keys;
  std::string bytes;
  for (char c : {'a', 'b', 'c'}) {
    keys.push_back(std::string(24, 'k') + c + "tail5");
    bytes += keys.back() + "##";
  }
  MemoryStream stream(bytes);
  EXPECT_EQ(bsearchstream(&stream, keys[2].c_str(), 30, 32, 0, 96), 2);
  EXPECT_EQ(bsearchstream(&stream, (keys[1].substr(0, 25) + "XXXXX").c_str(), 30, 32, 0, 96), 1);
  EXPECT_EQ(stream.position(), 32u + 25u);
  EXPECT_EQ(bsearchstream(&stream, (std::string(23, 'k') + "zb").c_str(), 30, 32, 0, 96), -1);
}

TEST(SortedRecords, SearchesThroughAnOldStyleHandle) {
  TempDir dir;
  testing_support::WriteTextFile(dir / "records.bin", EightByteRecords());
  HFILE file = platform::_lopen((dir / "records.bin").string().c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  for (size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(bsearchfile(file, kKeys[i].c_str(), 4, 8, 6, kEnd), static_cast<int>(i));
    char after[5] = {};
    platform::_lread(file, after, 4);
    EXPECT_EQ(std::string(after), "#" + std::to_string(i) + "##");  // left just after the key
  }
  EXPECT_EQ(bsearchfile(file, "eeee", 4, 8, 6, kEnd), -1);
  platform::_lclose(file);
}

}  // namespace
