// Existence tests, host hooks, the test with a time-out, exclusive access,
// file times and the CreateFile wrappers.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include "allocation_counter.h"
#include "files/existence.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "support/helper_process.h"
#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using namespace std::chrono_literals;

template <typename Call>
size_t AllocationsOf(Call call) {
  size_t before = testing_support::AllocationsOnThisThread();
  call();
  return testing_support::AllocationsOnThisThread() - before;
}

class Existence : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = (dir_ / "file.txt").string();
    testing_support::WriteTextFile(file_, "content");
    subdir_ = (dir_ / "sub").string();
    fs::create_directory(subdir_);
  }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }

  TempDir dir_;
  std::string file_;
  std::string subdir_;
};

TEST_F(Existence, TheDiskTestFindsFilesDirectoriesAndPatternsButNoRoot) {
  EXPECT_EQ(file_exist_actuala(file_.c_str()), 1);
  EXPECT_EQ(file_exist_actuala(subdir_.c_str()), 1);
  EXPECT_EQ(file_exist_actuala(In("f*.t?t").c_str()), 1);
  EXPECT_EQ(file_exist_actuala(In("x*").c_str()), 0);
  EXPECT_EQ(file_exist_actuala(In("missing.txt").c_str()), 0);
  EXPECT_EQ(file_exist_actuala(""), 0);
  EXPECT_EQ(file_exist_actualw(WidenAscii(file_.c_str()).c_str()), 1);
  EXPECT_EQ(file_exist_actualw(OV_WIDE("")), 0);
  EXPECT_EQ(file_exist((subdir_ + "\\").c_str()), 0);
  EXPECT_EQ(file_exist((file_ + "\\").c_str()), 0);
  EXPECT_EQ(file_exist("C:\\"), 0);
}

// The folder "sub" is empty: its search finds only "." and "..".
TEST_F(Existence, ThreeValuedTestsTellAMissingFileFromAMissingDirectory) {
  EXPECT_EQ(OVFileExists(file_.c_str()), 1);
  EXPECT_EQ(OVFileExists(In("missing").c_str()), 2);
  EXPECT_EQ(OVFileExists(nullptr), 2);

  EXPECT_EQ(OVFileDirectoryExists(file_.c_str()), 1);
  EXPECT_EQ(OVFileDirectoryExists((subdir_ + "\\").c_str()), 1);
  EXPECT_EQ(OVFileDirectoryExists((subdir_ + "\\missing").c_str()), 2);
  EXPECT_EQ(OVFileDirectoryExists(In("nodir\\missing.txt").c_str()), 0);
  EXPECT_EQ(OVFileDirectoryExists("ovpb-no-such-file.xyz"), 2);
  EXPECT_EQ(OVFileDirectoryExists(""), 2);
  EXPECT_EQ(OVFileDirectoryExists(nullptr), 2);

  EXPECT_EQ(NewFileExistsEx(subdir_.c_str()), 3);
  EXPECT_EQ(NewFileExistsEx((subdir_ + "\\").c_str()), 3);
  EXPECT_EQ(NewFileExistsEx(file_.c_str()), 1);
  EXPECT_EQ(NewFileExistsEx(In("nodir\\missing.txt").c_str()), 0);
}

// ---- Hooks ---------------------------------------------------------------------

std::string askedPath;
int hookCalls = 0;

int OVPB_API VouchForVirtual(const char* path) {
  ++hookCalls;
  askedPath = path;
  return std::string(path).find("virtual.txt") != std::string::npos || path[0] == 0 ? 1 : 0;
}

class Hooked : public Existence {
 protected:
  void SetUp() override {
    Existence::SetUp();
    hookCalls = 0;
    SetFileExistsFunction(VouchForVirtual);
    virtual_ = In("virtual.txt");
  }
  void TearDown() override { SetFileExistsFunction(nullptr); }
  std::string virtual_;
};

TEST_F(Hooked, ANameTheHookVouchesForExistsWithoutTheDisk) {
  const char* name = virtual_.c_str();
  EXPECT_EQ(file_exist(name), 1);
  EXPECT_EQ(askedPath, virtual_);
  EXPECT_EQ(file_existw(WidenAscii(name).c_str()), 1);
  EXPECT_EQ(askedPath, virtual_);  // the wide path reaches the hook as narrow text
  EXPECT_EQ(file_exist_actualw(WidenAscii(name).c_str()), 0);
  EXPECT_EQ(file_exist_with_timeout(name), 1);
  EXPECT_EQ(OVFileExists(name), 1);
  EXPECT_EQ(OVFileDirectoryExists(name), 1);
  EXPECT_EQ(file_exist_actuala(name), 0);
  EXPECT_EQ(file_exist_actual_with_timeout(name), 0);
  EXPECT_FALSE(fs::exists(virtual_));
  // The exclusive test believes the hook and then fails to open the file.
  EXPECT_EQ(file_test_exclusive(name), ERROR_FILE_NOT_FOUND);
}

TEST_F(Hooked, TheDiskStillAnswersWhatTheHookDoesNot) {
  EXPECT_EQ(file_exist(file_.c_str()), 1);
  EXPECT_EQ(file_exist(In("missing").c_str()), 0);
  EXPECT_EQ(hookCalls, 2);
  EXPECT_EQ(file_exist(""), 1);  // the hook is asked even for an empty path
  EXPECT_EQ(file_existw(WidenAscii(file_.c_str()).c_str()), 1);
  EXPECT_EQ(file_existw(WidenAscii(In("missing").c_str()).c_str()), 0);
  SetFileExistsFunction(nullptr);
  EXPECT_EQ(file_exist(virtual_.c_str()), 0);
  EXPECT_EQ(file_existw(WidenAscii(virtual_.c_str()).c_str()), 0);
  EXPECT_EQ(file_exist(""), 0);
}

int OVPB_API AlternateToTmp(const WCHAR* path, WCHAR* out) {
  WideString alternate = OV_WIDE("T:\\") + WideString(path);
  WideCopyBounded(out, alternate.c_str(), MAX_PATH);
  return path[0] == u'x' ? 0 : 1;
}

void* receivedValues[2];
int OVPB_API ReceiveValues(void* value1, void* value2) {
  receivedValues[0] = value1;
  receivedValues[1] = value2;
  return value1 != nullptr ? 1 : 0;
}

TEST(ForwardedHooks, AnswerForTheLibraryOrLeaveItsDefault) {
  WCHAR out[MAX_PATH] = {u'?', 0};
  EXPECT_EQ(alternate_path(OV_WIDE("C:\\a.txt"), out), 0);
  EXPECT_EQ(WideString(out), OV_WIDE("C:\\a.txt"));
  SetAlternatePathFunction(AlternateToTmp);
  EXPECT_EQ(alternate_path(OV_WIDE("a.txt"), out), 1);
  EXPECT_EQ(WideString(out), OV_WIDE("T:\\a.txt"));
  EXPECT_EQ(alternate_path(OV_WIDE("x.txt"), out), 0);
  EXPECT_EQ(WideString(out), OV_WIDE("x.txt"));
  SetAlternatePathFunction(nullptr);

  int first = 0, second = 0;
  EXPECT_EQ(stream_from_file(&first, &second), 0);
  SetStreamFromFileFunction(ReceiveValues);
  EXPECT_EQ(stream_from_file(&first, &second), 1);
  EXPECT_EQ(receivedValues[0], &first);
  EXPECT_EQ(receivedValues[1], &second);
  EXPECT_EQ(stream_from_file(nullptr, &second), 0);
  SetStreamFromFileFunction(nullptr);
}

// ---- The test with a time-out ---------------------------------------------------

// Holds every worker that reaches it until the test lets it go.
struct SearchGate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
};
SearchGate gate;

void WaitAtGate(const char*) {
  std::unique_lock<std::mutex> lock(gate.mutex);
  gate.opened.wait(lock, [] { return gate.open; });
}

bool WaitForNoLiveRequests() {
  const auto giveUp = std::chrono::steady_clock::now() + 10s;
  while (files::LiveExistenceRequests() != 0 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(10ms);
  }
  return files::LiveExistenceRequests() == 0;
}

TEST_F(Existence, WithTimeoutAnswersWhatTheWorkerFound) {
  EXPECT_EQ(file_exist_actual_with_timeout(file_.c_str()), 1);
  EXPECT_EQ(file_exist_actual_with_timeout(In("missing").c_str()), 0);
  EXPECT_EQ(file_exist_with_timeout(file_.c_str()), 1);
  EXPECT_EQ(file_exist_actual_with_timeout(""), 0);
  EXPECT_TRUE(WaitForNoLiveRequests());
}

TEST_F(Existence, WithTimeoutGivesUpOnASearchThatBlocks) {
  gate.open = false;
  files::SetExistenceSearchDelayForTesting(WaitAtGate);
  const auto start = std::chrono::steady_clock::now();
  int found = file_exist_actual_with_timeout(file_.c_str());
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(found, 0);  // the file is there, but no answer came in time
  EXPECT_GE(waited, 5000ms);
  EXPECT_LE(waited, 5500ms + 150ms);  // the last sleep may end a tick late
  // The late worker still holds its request; once let go it finishes and
  // frees it.
  EXPECT_EQ(files::LiveExistenceRequests(), 1);
  {
    std::lock_guard<std::mutex> lock(gate.mutex);
    gate.open = true;
  }
  gate.opened.notify_all();
  EXPECT_TRUE(WaitForNoLiveRequests());
  files::SetExistenceSearchDelayForTesting(nullptr);
}

// ---- Exclusive access ---------------------------------------------------------

TEST_F(Existence, ExclusiveAccessFailsWhileTheFileIsOpenElsewhere) {
  EXPECT_EQ(file_test_exclusive(file_.c_str()), 0);
  EXPECT_EQ(file_test_exclusive(In("missing").c_str()), 0);
  {
    testing_support::HelperProcess holder({"hold", file_, "rw", "0"});
    ASSERT_TRUE(holder.started());
    ASSERT_EQ(holder.ReadLine(), "held");
    EXPECT_EQ(file_test_exclusive(file_.c_str()), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(holder.Finish(), 0);
  }
  EXPECT_EQ(file_test_exclusive(file_.c_str()), 0);
  HANDLE open = platform::CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(file_test_exclusive(file_.c_str()), ERROR_SHARING_VIOLATION);
  platform::CloseHandle(open);
}

// ---- File times -------------------------------------------------------------------

// Seconds since 1970 of a UTC calendar time (days from the civil calendar).
int64_t SecondsSinceEpoch(const OVFILEDATE& date) {
  const int y = date.year - (date.month <= 2 ? 1 : 0), era = (y >= 0 ? y : y - 399) / 400, yearOfEra = y - era * 400;
  const int dayOfYear = (153 * ((date.month + 9) % 12) + 2) / 5 + date.day - 1;
  const int64_t days = int64_t{era} * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return days * 86400 + date.hour * 3600 + date.minute * 60 + date.second;
}

TEST_F(Existence, FileDateGivesTheTimesInUtcOrZeroes) {
  OVFILEDATE created, accessed, written;
  ASSERT_EQ(file_date(file_.c_str(), &created, &accessed, &written), 1);
  const double now = static_cast<double>(std::time(nullptr));
  for (const OVFILEDATE* date : {&created, &accessed, &written}) {
    EXPECT_NEAR(static_cast<double>(SecondsSinceEpoch(*date)), now, 120.0);
  }
  OVFILEDATE stale = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(file_date(In("missing").c_str(), nullptr, &stale, nullptr), 0);
  const OVFILEDATE zero = {};
  EXPECT_EQ(std::memcmp(&stale, &zero, sizeof zero), 0);
}

// ---- Long paths and what the tests cost ----------------------------------------------

// A path of more than MAX_PATH characters under the test's folder, with its
// directories made.
std::string MakeDeepDirectory(const TempDir& dir) {
  std::string path = dir.path().string();
  const char separator = static_cast<char>(fs::path::preferred_separator);
  while (path.size() < 300) {
    path += separator + std::string(40, 'd');
#ifdef _WIN32
    ::CreateDirectoryW((L"\\\\?\\" + fs::path(path).wstring()).c_str(), nullptr);
#else
    fs::create_directory(path);
#endif
  }
  return path;
}

TEST_F(Existence, LongPathsReachTheFileSystemInTheirLongForm) {
  const std::string file = MakeDeepDirectory(dir_) + "\\long.txt";
  const WideString wide = WidenAscii(file.c_str());
  HANDLE created = OVCreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  platform::CloseHandle(created);
  EXPECT_EQ(file_exist_actualw(wide.c_str()), 1);
  EXPECT_NE(ChangeFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(ChangeFileAttributesW(wide.c_str(), 0, FILE_ATTRIBUTE_READONLY), 0);
#ifndef _WIN32
  // Windows' narrow functions stop at MAX_PATH whatever the form.
  EXPECT_EQ(file_exist_actuala(file.c_str()), 1);
  HANDLE opened = OVCreateFile(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(opened, INVALID_HANDLE_VALUE);
  platform::CloseHandle(opened);
#endif
  EXPECT_EQ(OVCreateFile(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

template <typename Char, typename FindData>
void PlatformSearch(const Char* pattern, HANDLE (*findFirst)(const Char*, FindData*)) {
  FindData found;
  HANDLE search = findFirst(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) platform::FindClose(search);
}

TEST_F(Existence, ShortPathsCostNoMoreAllocationsThanTheSearchItself) {
  for (const std::string& path : {file_, subdir_, In("missing.txt")}) {
    SCOPED_TRACE(path);
    const char* name = path.c_str();
    PlatformSearch(name, &platform::FindFirstFileA);  // whatever a first search sets up
    size_t search = AllocationsOf([&] { PlatformSearch(name, &platform::FindFirstFileA); });
    EXPECT_LE(AllocationsOf([&] { file_exist(name); }), search);
    EXPECT_LE(AllocationsOf([&] { file_exist_actuala(name); }), search);
    EXPECT_LE(AllocationsOf([&] { OVFileExists(name); }), search);
    const WideString wide = WidenAscii(name);
    PlatformSearch(wide.c_str(), &platform::FindFirstFileW);
    size_t wideSearch = AllocationsOf([&] { PlatformSearch(wide.c_str(), &platform::FindFirstFileW); });
    EXPECT_EQ(AllocationsOf([&] { file_exist_actualw(wide.c_str()); }), wideSearch);
  }
  const std::string missing = In("missing.txt"), pattern = dir_.Narrow() + "\\*";
  size_t searches = AllocationsOf([&] {
    PlatformSearch(missing.c_str(), &platform::FindFirstFileA);
    PlatformSearch(pattern.c_str(), &platform::FindFirstFileA);
  });
  EXPECT_LE(AllocationsOf([&] { OVFileDirectoryExists(missing.c_str()); }), searches);
}

TEST_F(Existence, ALongPathCostsOneAllocationForItsForm) {
  const std::string path = In(std::string(200, 'n') + "\\" + std::string(100, 'm'));
  const std::string longForm = "\\\\?\\" + path;
  PlatformSearch(longForm.c_str(), &platform::FindFirstFileA);  // whatever a first search sets up
  size_t search = AllocationsOf([&] { PlatformSearch(longForm.c_str(), &platform::FindFirstFileA); });
  EXPECT_LE(AllocationsOf([&] { file_exist_actuala(path.c_str()); }), search + 1);
}

}  // namespace
