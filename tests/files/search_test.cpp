#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "support/memory_stream.h"
#include "support/test_support.h"
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::MemoryStream;
using testing_support::TempDir;
using Names = std::multiset<std::string>;

#ifdef _WIN32
HFILE Open(const fs::path& path) { return platform::_lopen(path.string().c_str(), OF_READ); }
long Position(HFILE file) { return platform::_llseek(file, 0, FILE_CURRENT); }
void Close(HFILE file) { platform::_lclose(file); }
#else
HFILE Open(const fs::path& path) { return open(path.c_str(), O_RDONLY); }
long Position(HFILE file) { return static_cast<long>(lseek(file, 0, SEEK_CUR)); }
void Close(HFILE file) { close(file); }
#endif

class DirectorySearch : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(dir_ / "normal.txt", "n");
    testing_support::WriteTextFile(hidden_, "h");
    platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_HIDDEN);  // a dot name is hidden on POSIX
    fs::create_directory(dir_ / "sub");
  }

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

#ifndef _WIN32
// Ending searches with the Linux library's _findclose (the runtime's own
// ends them on Windows): nothing of an ended search stays behind.
TEST_F(DirectorySearch, EndedSearchesLeaveNoDescriptorsOrMemory) {
  auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
  auto residentKilobytes = [] {
    std::ifstream status("/proc/self/status");
    std::string field;
    long value = 0;
    while (status >> field) {
      if (field == "VmRSS:") status >> value;
    }
    return value;
  };
  const std::string pattern = (dir_ / "*").string();
  auto searchAndEnd = [&](bool finish) {
    _finddata64i32_t found;
    INT_PTR search = file_find_first(pattern.c_str(), &found);
    while (finish && file_find_next(search, &found) == 0) {
    }
    return _findclose(search);
  };
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(searchAndEnd(i % 2 == 0), 0);  // caches settle
  const long open = descriptors(), resident = residentKilobytes();
  for (int i = 0; i < 100000; ++i) ASSERT_EQ(searchAndEnd(i % 2 == 0), 0);
  EXPECT_EQ(descriptors(), open);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // they hold freed memory back
  EXPECT_LT(residentKilobytes() - resident, 2048);  // an open search costs kilobytes
#endif
  _finddata64i32_t found;
  INT_PTR search = file_find_first(pattern.c_str(), &found);
  ASSERT_EQ(_findclose(search), 0);
  EXPECT_EQ(_findclose(search), -1);  // no longer an open search
  EXPECT_EQ(_findclose(-1), -1);
}
#endif

using Lines = std::vector<std::string>;

// Every line of the contents until the end, as "text" or "-1", read into
// a buffer of `size` that must not be written beyond; the file's position
// after each line goes to `positions` when asked for.
Lines ReadLines(const std::string& contents, int size = 512, std::vector<long>* positions = nullptr) {
  TempDir dir;
  testing_support::WriteTextFile(dir / "lines.txt", contents);
  HFILE file = Open(dir / "lines.txt");
  Lines lines;
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
  for (int guard = 0; guard < 100 && (lines.empty() || lines.back() != "-1"); ++guard) {
    int length = ReadLine1(file, buffer.data(), size);
    lines.push_back(length < 0 ? "-1" : buffer.data());
    if (positions != nullptr) positions->push_back(Position(file));
    EXPECT_EQ(length < 0 ? -1 : static_cast<int>(std::strlen(buffer.data())), length);
    EXPECT_EQ(buffer[static_cast<size_t>(size)], '#') << "written beyond size";
  }
  Close(file);
  return lines;
}

// Positions are the file's own, where a plain read would go on.
TEST(LineReading, EveryKindOfLineEndEndsOneLineAcrossBlocksAndLongLinesAreCut) {
  std::vector<long> positions;
  EXPECT_EQ(ReadLines("ab\r\n\r\ncd\rlf\nlfcr\n\rtwo\n\nlast", 512, &positions),
            (Lines{"ab", "", "cd", "lf", "lfcr", "two", "", "last", "-1"}));
  EXPECT_EQ(positions, (std::vector<long>{4, 6, 9, 12, 18, 22, 23, 27, 27}));
  const std::string first(127, 'x'), second(300, 'b'), third(128, 'c');
  // The first CR is byte 127 of the block, its LF the first of the next.
  EXPECT_EQ(ReadLines(first + "\r\n" + second + "\n" + third + "\r\n"), (Lines{first, second, third, "-1"}));
  // The end-of-file mark is no part of the last line; a high byte is no control character.
  EXPECT_EQ(ReadLines("one\r\ntwo\x1A"), (Lines{"one", "two", "-1"}));
  EXPECT_EQ(ReadLines("caf\xE9"), (Lines{"caf\xE9", "-1"}));
  EXPECT_EQ(ReadLines(""), (Lines{"-1"}));
  // A line too long for the room is cut, but consumed whole.
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

TEST(SortedRecords, FindEveryStoredKeyInAStreamOrAnHfileAndStopJustAfterIt) {
  MemoryStream stream(EightByteRecords());
  TempDir dir;
  testing_support::WriteTextFile(dir / "records.bin", EightByteRecords());
  HFILE file = Open(dir / "records.bin");
  ASSERT_NE(file, HFILE_ERROR);
  for (size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(bsearchstream(&stream, kKeys[i].c_str(), 4, 8, 6, kEnd), static_cast<int>(i)) << kKeys[i];
    EXPECT_EQ(stream.position(), 6 + 8 * i + 4);
    EXPECT_EQ(bsearchfile(file, kKeys[i].c_str(), 4, 8, 6, kEnd), static_cast<int>(i)) << kKeys[i];
    EXPECT_EQ(Position(file), static_cast<long>(6 + 8 * i + 4));
  }
  EXPECT_EQ(bsearchfile(file, "eeee", 4, 8, 6, kEnd), -1);
  Close(file);
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

}  // namespace
