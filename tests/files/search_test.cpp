#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "files/existence.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "support/helper_process.h"
#include "support/memory_stream.h"
#include "support/test_support.h"
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::HelperProcess;
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

// A folder with a file, a hidden file and a directory.
class FilesInAFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(file_, "content");
    testing_support::WriteTextFile(hidden_, "h");
    platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_HIDDEN);  // a dot name is hidden on POSIX
    fs::create_directory(subdir_);
  }
  void TearDown() override { SetFileExistsFunction(nullptr); }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }

  // Every entry the search for `name` yields, or "none".
  Names Collect(const std::string& name, int withDirectories) {
    Names names;
    _finddata64i32_t found;
    INT_PTR search = file_find_first_ex(In(name).c_str(), &found, withDirectories);
    if (search == -1) return {"none"};
    do {
      names.insert(found.name);
    } while (file_find_next_ex(search, &found, withDirectories) == 0);
    EXPECT_EQ(file_find_next_ex(search, &found, withDirectories), -1);
    platform::_findclose(search);
    return names;
  }

  TempDir dir_;
  std::string file_ = In("file.txt"), hidden_ = In(".hidden"), subdir_ = In("sub");
};
using Existence = FilesInAFolder;
using DirectorySearch = FilesInAFolder;

TEST_F(DirectorySearch, HiddenEntriesNeverShowAndDirectoriesOnlyWhenAsked) {
  EXPECT_EQ(Collect("*", 0), Names{"file.txt"});
  EXPECT_EQ(Collect("*", 1), (Names{".", "..", "file.txt", "sub"}));
  EXPECT_EQ(Collect("su*", 0), Names{"none"});
  EXPECT_EQ(Collect("su*", 1), Names{"sub"});
  EXPECT_EQ(Collect(".hidden", 1), Names{"none"});
  _finddata64i32_t found;
  INT_PTR search = file_find_first(In("*").c_str(), &found);
  ASSERT_NE(search, -1);
  EXPECT_STREQ(found.name, "file.txt");
  EXPECT_EQ(file_find_next(search, &found), -1);
  platform::_findclose(search);
  EXPECT_EQ(file_find_first(In("missing*").c_str(), &found), -1);
}

#ifndef _WIN32
// Ending searches with the Linux library's _findclose (the runtime's own
// ends them on Windows): nothing of an ended search stays behind.
TEST_F(DirectorySearch, EndedSearchesLeaveNoDescriptorsOrMemory) {
  auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
  auto residentKilobytes = [] {
    const std::string status = testing_support::ReadTextFile("/proc/self/status");
    return std::atol(status.c_str() + status.find("VmRSS:") + 6);
  };
  const std::string pattern = In("*");
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
#else
  static_cast<void>(resident);
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
  // Records of 32 bytes whose 30-byte keys differ only after byte 25 compare on their first 25.
  std::vector<std::string> keys;
  std::string bytes;
  for (char c : {'a', 'b', 'c'}) {
    keys.push_back(std::string(24, 'k') + c + "tail5");
    bytes += keys.back() + "##";
  }
  MemoryStream longKeys(bytes);
  EXPECT_EQ(bsearchstream(&longKeys, keys[2].c_str(), 30, 32, 0, 96), 2);
  EXPECT_EQ(bsearchstream(&longKeys, (keys[1].substr(0, 25) + "XXXXX").c_str(), 30, 32, 0, 96), 1);
  EXPECT_EQ(longKeys.position(), 32u + 25u);
  EXPECT_EQ(bsearchstream(&longKeys, (std::string(23, 'k') + "zb").c_str(), 30, 32, 0, 96), -1);
}

// Seconds since 1970 of a UTC calendar time (days from the civil calendar).
int64_t SecondsSinceEpoch(const OVFILEDATE& d) {
  const int y = d.year - (d.month <= 2 ? 1 : 0), era = y / 400, yearOfEra = y - era * 400;
  const int dayOfYear = (153 * ((d.month + 9) % 12) + 2) / 5 + d.day - 1;
  const int64_t days = int64_t{era} * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return days * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

TEST_F(Existence, AnswersForFilesDirectoriesPatternsHeldFilesAndDates) {
  const std::pair<std::string, int> names[] = {{file_, 1}, {subdir_, 1}, {In("f*.t?t"), 1}, {In("x*"), 0},
                                               {In("missing.txt"), 0}, {"", 0}, {subdir_ + "\\", 0},
                                               {file_ + "\\", 0}, {"C:\\", 0}};
  for (const auto& [name, found] : names) {
    EXPECT_EQ(file_exist(name.c_str()), found) << name;
    EXPECT_EQ(file_exist_actualw(WidenAscii(name.c_str()).c_str()), found) << name;
  }
  // Three-valued answers tell a missing file from a missing directory.
  const std::pair<std::string, int> directories[] = {
      {file_, 1}, {subdir_ + "\\", 1}, {subdir_ + "\\missing", 2}, {In("nodir\\missing.txt"), 0}, {"", 2}};
  for (const auto& [name, answer] : directories) EXPECT_EQ(OVFileDirectoryExists(name.c_str()), answer) << name;
  EXPECT_EQ(OVFileDirectoryExists(nullptr), 2);
  EXPECT_EQ(OVFileExists(In("missing").c_str()), 2);
  EXPECT_EQ(NewFileExistsEx(subdir_.c_str()), 3);
  EXPECT_EQ(NewFileExistsEx(file_.c_str()), 1);
  EXPECT_EQ(NewFileExistsEx(In("nodir\\missing.txt").c_str()), 0);
  EXPECT_EQ(file_test_exclusive(file_.c_str()) + file_test_exclusive(In("missing").c_str()), 0);
  HelperProcess holder({"hold", file_, "r", std::to_string(FILE_SHARE_READ | FILE_SHARE_WRITE)});
  ASSERT_EQ(holder.ReadLine(), "held");
  EXPECT_EQ(file_test_exclusive(file_.c_str()), ERROR_SHARING_VIOLATION);
  // The file's times in UTC, or zeroes for a missing file.
  OVFILEDATE dates[3];
  ASSERT_EQ(file_date(file_.c_str(), &dates[0], &dates[1], &dates[2]), 1);
  for (const OVFILEDATE& date : dates) EXPECT_NEAR(SecondsSinceEpoch(date), std::time(nullptr), 120);
  OVFILEDATE stale = {1, 2, 3, 4, 5, 6}, zero = {};
  EXPECT_EQ(file_date(In("missing").c_str(), nullptr, &stale, nullptr), 0);
  EXPECT_EQ(std::memcmp(&stale, &zero, sizeof zero), 0);
}

std::string askedPath;
int OVPB_API VouchForVirtual(const char* path) {
  askedPath = path;
  return std::string(path).find("virtual.txt") != std::string::npos ? 1 : 0;
}

TEST_F(Existence, ANameTheHookVouchesForExistsWithoutTheDisk) {
  SetFileExistsFunction(VouchForVirtual);
  const std::string virtualFile = In("virtual.txt");
  const char* name = virtualFile.c_str();
  EXPECT_EQ(file_existw(WidenAscii(name).c_str()), 1);
  EXPECT_EQ(askedPath, virtualFile);  // the wide path reaches the hook as narrow text
  for (auto test : {file_exist, file_exist_with_timeout, OVFileExists, OVFileDirectoryExists}) EXPECT_EQ(test(name), 1);
  for (auto test : {file_exist_actuala, file_exist_actual_with_timeout}) EXPECT_EQ(test(name), 0);
  EXPECT_EQ(file_exist_actualw(WidenAscii(name).c_str()), 0);
  EXPECT_EQ(file_exist(file_.c_str()), 1);  // the disk still answers what the hook does not
  EXPECT_EQ(file_exist(In("missing").c_str()), 0);
  EXPECT_EQ(file_test_exclusive(name), ERROR_FILE_NOT_FOUND);  // believes the hook, then cannot open
  SetFileExistsFunction(nullptr);
  EXPECT_EQ(file_exist(name), 0);
}

// Holds every search worker that reaches it until the test lets it go.
std::atomic<bool> gateOpen{false};
void WaitAtGate(const char*) {
  while (!gateOpen.load()) std::this_thread::sleep_for(1ms);
}

// A loaded machine may take a while to run the let-go worker to its end.
bool WaitForNoLiveRequests() {
  for (int i = 0; i < 3000 && files::LiveExistenceRequests() != 0; ++i) std::this_thread::sleep_for(10ms);
  return files::LiveExistenceRequests() == 0;
}

TEST_F(Existence, WithTimeoutGivesUpOnASearchThatBlocks) {
  EXPECT_EQ(file_exist_actual_with_timeout(file_.c_str()), 1);
  EXPECT_TRUE(WaitForNoLiveRequests());
  gateOpen = false;
  files::SetExistenceSearchDelayForTesting(WaitAtGate);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(file_exist_actual_with_timeout(file_.c_str()), 0);  // there, but no answer came in time
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 5000ms);
  EXPECT_LE(waited, 7000ms);  // the last poll may end late on a loaded machine
  // The late worker still holds its request; once let go it finishes and frees it.
  EXPECT_EQ(files::LiveExistenceRequests(), 1);
  gateOpen = true;
  EXPECT_TRUE(WaitForNoLiveRequests());
  files::SetExistenceSearchDelayForTesting(nullptr);
}

// Asked thousands of times a second: once a first call has set up what the
// process keeps, no test allocates, in the native form or the Windows one.
// The other forms of operator new and delete come to these.
thread_local size_t allocations = 0;
}  // namespace

void* operator new(size_t size) {
  ++allocations;
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
// Replaced too: under AddressSanitizer it would not come to the one above.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size != 0 ? size : 1);
}
// Kept out of line, or GCC takes the free of a block from new for a mismatch.
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace {

TEST_F(Existence, TestsOfShortPathsAllocateNothing) {
  for (const std::string& path : {file_, dir_.Narrow() + "sub\\..\\file.txt", In("missing.txt")}) {
    const char* name = path.c_str();
    const int exists = file_exist(name);
    const size_t before = allocations;
    const int answers = 100 * file_exist(name) + 10 * OVFileExists(name) + (exists ? OVFileDirectoryExists(name) : 1);
    EXPECT_EQ(allocations - before, 0u) << path;
    EXPECT_EQ(answers, path == In("missing.txt") ? 21 : 111) << path;
  }
}

// A ring-log entry allocates nothing once a first entry has run: the line is
// built on the stack and the open file's memory is kept for the next open.
TEST(HotPathAllocations, RingLogEntryAllocatesNothing) {
  testing_support::TempDir dir;
  const std::string log = (dir / "ring.log").string(), text(900, 'x');
  SetLogPath(log.c_str());
  OVWriteLogA("Ring", 0, "%s", text.c_str());
  const size_t before = allocations;
  OVWriteLogA("Ring", 0, "%s", text.c_str());
  const size_t entryAllocations = allocations - before;
  SetLogPath("");
  EXPECT_EQ(entryAllocations, 0u);
  const std::string written = testing_support::ReadTextFile(log);
  EXPECT_NE(written.find(text, written.find(text) + text.size()), std::string::npos);  // both entries
}

}  // namespace
