#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <new>
#include <thread>

#include "files/existence.h"
#include "ovpb32.h"
#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

using namespace std::chrono_literals;

class Existence : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(file_, "content");
    std::filesystem::create_directory(subdir_);
  }
  void TearDown() override { SetFileExistsFunction(nullptr); }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }

  testing_support::TempDir dir_;
  std::string file_ = In("file.txt"), subdir_ = In("sub");
};

TEST_F(Existence, SearchesFindFilesDirectoriesAndPatternsButNoRoot) {
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

// Holds every search worker that reaches it until the test lets it go. A
// polled flag rather than a condition variable: the release must not hang
// on a lost wake-up in a thread library under emulation.
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
  EXPECT_LE(waited, 5500ms + 150ms);  // the last sleep may end a tick late
  // The late worker still holds its request; once let go it finishes and frees it.
  EXPECT_EQ(files::LiveExistenceRequests(), 1);
  gateOpen = true;
  EXPECT_TRUE(WaitForNoLiveRequests());
  files::SetExistenceSearchDelayForTesting(nullptr);
}

TEST_F(Existence, ExclusiveAccessFailsWhileTheFileIsOpenElsewhere) {
  EXPECT_EQ(file_test_exclusive(file_.c_str()) + file_test_exclusive(In("missing").c_str()), 0);
  {
    testing_support::HelperProcess holder({"hold", file_, "r", std::to_string(FILE_SHARE_READ | FILE_SHARE_WRITE)});
    ASSERT_EQ(holder.ReadLine(), "held");
    EXPECT_EQ(file_test_exclusive(file_.c_str()), ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(file_test_exclusive(file_.c_str()), 0);
}

// Seconds since 1970 of a UTC calendar time (days from the civil calendar).
int64_t SecondsSinceEpoch(const OVFILEDATE& d) {
  const int y = d.year - (d.month <= 2 ? 1 : 0), era = y / 400, yearOfEra = y - era * 400;
  const int dayOfYear = (153 * ((d.month + 9) % 12) + 2) / 5 + d.day - 1;
  const int64_t days = int64_t{era} * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return days * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

TEST_F(Existence, FileDateGivesTheTimesInUtcOrZeroes) {
  OVFILEDATE dates[3];
  ASSERT_EQ(file_date(file_.c_str(), &dates[0], &dates[1], &dates[2]), 1);
  for (const OVFILEDATE& date : dates) EXPECT_NEAR(SecondsSinceEpoch(date), std::time(nullptr), 120);
  OVFILEDATE stale = {1, 2, 3, 4, 5, 6}, zero = {};
  EXPECT_EQ(file_date(In("missing").c_str(), nullptr, &stale, nullptr), 0);
  EXPECT_EQ(std::memcmp(&stale, &zero, sizeof zero), 0);
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
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

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
