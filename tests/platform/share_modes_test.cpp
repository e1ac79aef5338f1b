// Share modes between handles of one thread, of several threads and of
// several processes, and the rules they set for renaming and deleting.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "file_fixture.h"
#include "support/helper_process.h"
#include "support/shared_counter.h"

#ifndef _WIN32
#include <dirent.h>
#endif

namespace {

using testing_support::HelperProcess;
using testing_support::RunHelper;

const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const DWORD kViolation = ERROR_SHARING_VIOLATION;

class ShareModeTest : public FileTest {
 protected:
  void SetUp() override { Make("f.txt", "content"); }

  // The helper holding a file open as told, for as long as the object lives.
  std::unique_ptr<HelperProcess> HeldElsewhere(const std::string& access, DWORD share) {
    std::unique_ptr<HelperProcess> helper(
        new HelperProcess({"hold", Path("f.txt"), access, std::to_string(share)}));
    EXPECT_TRUE(helper->started());
    EXPECT_EQ(helper->ReadLine(), "held");
    return helper;
  }

  // The error another process meets opening the file.
  DWORD OpenErrorElsewhere(const std::string& access, DWORD share) {
    auto result = RunHelper("open \"" + Path("f.txt") + "\" " + access + " " + std::to_string(share));
    EXPECT_EQ(result.exitCode, 0);
    return static_cast<DWORD>(std::stoul(result.output.empty() ? "99999" : result.output));
  }
};

struct Pair {
  DWORD firstAccess, firstShare, secondAccess, secondShare;
  bool compatible;
};

TEST_F(ShareModeTest, AccessMeetsTheShareModesOfOtherHandles) {
  const Pair pairs[] = {
      {GENERIC_READ, 0, GENERIC_READ, kShareAll, false},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, kShareAll, false},  // the first denies writing
      {GENERIC_WRITE, kShareAll, GENERIC_READ, FILE_SHARE_READ, false},  // the second denies the first's writing
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, kReadWrite, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_WRITE, FILE_SHARE_WRITE, GENERIC_WRITE, FILE_SHARE_WRITE, true},
      {GENERIC_WRITE, FILE_SHARE_WRITE, GENERIC_READ, kShareAll, false},
      {DELETE, kShareAll, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {GENERIC_READ, FILE_SHARE_READ, DELETE, kShareAll, false},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, DELETE, kShareAll, true},
      // A handle for attributes alone neither meets nor sets share modes.
      {0, 0, kReadWrite, kShareAll, true},
      {kReadWrite, 0, 0, 0, true},
  };
  for (const Pair& pair : pairs) {
    SCOPED_TRACE(testing::Message() << std::hex << pair.firstAccess << "/" << pair.firstShare << " then "
                                    << pair.secondAccess << "/" << pair.secondShare);
    ScopedHandle first(Open("f.txt", pair.firstAccess, pair.firstShare));
    ASSERT_TRUE(first.valid());
    EXPECT_EQ(OpenError("f.txt", pair.secondAccess, pair.secondShare), pair.compatible ? 0u : kViolation);
  }
}

TEST_F(ShareModeTest, ExclusiveHandleKeepsOutTheSameThreadUntilClosed) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(first.valid());
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, kShareAll), kViolation);
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll, OPEN_ALWAYS), kViolation);
  first.Close();
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, 0), 0u);
}

TEST_F(ShareModeTest, RefusedOpenLeavesTheContentAlone) {
  ScopedHandle reader(Open("f.txt", GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(reader.valid());
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll, CREATE_ALWAYS), kViolation);
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll, TRUNCATE_EXISTING), kViolation);
  EXPECT_EQ(ReadAll(reader.get()), "content");
}

TEST_F(ShareModeTest, ExclusiveHandleKeepsOutAnotherThread) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(first.valid());
  DWORD error = 0;
  std::thread([&] { error = OpenError("f.txt", GENERIC_READ, kShareAll); }).join();
  EXPECT_EQ(error, kViolation);
  first.Close();
  std::thread([&] { error = OpenError("f.txt", GENERIC_READ, 0); }).join();
  EXPECT_EQ(error, 0u);
}

TEST_F(ShareModeTest, ExclusiveHandleKeepsOutAnotherProcess) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(first.valid());
  EXPECT_EQ(OpenErrorElsewhere("r", kShareAll), kViolation);
  first.Close();
  EXPECT_EQ(OpenErrorElsewhere("rw", 0), 0u);
}

TEST_F(ShareModeTest, AnotherProcessKeepsUsOutUntilItCloses) {
  auto holder = HeldElsewhere("rw", 0);
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, kShareAll), kViolation);
  EXPECT_EQ(holder->Finish(), 0);
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, 0), 0u);
}

TEST_F(ShareModeTest, KilledProcessLetsGoAtOnce) {
  auto holder = HeldElsewhere("rw", 0);
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, kShareAll), kViolation);
  holder->Kill();
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, 0), 0u);
}

TEST_F(ShareModeTest, OpensInDifferentProcessesMeetEachOther) {
  auto holder = HeldElsewhere("r", FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, FILE_SHARE_WRITE), kViolation);  // would deny the holder's reading
  ScopedHandle writer(Open("f.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(OpenErrorElsewhere("r", FILE_SHARE_READ), kViolation);  // would deny our writing
  EXPECT_EQ(OpenErrorElsewhere("r", FILE_SHARE_READ | FILE_SHARE_WRITE), 0u);
}

TEST_F(ShareModeTest, DuplicatesHoldTheShareModeUntilTheLastCloses) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  HANDLE self = platform::GetCurrentProcess();
  HANDLE copy = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(platform::DuplicateHandle(self, first.get(), self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS));
  ScopedHandle duplicate(copy);
  first.Close();
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, kShareAll), kViolation);
  duplicate.Close();
  EXPECT_EQ(OpenError("f.txt", GENERIC_READ, kShareAll), 0u);
}

TEST_F(ShareModeTest, WithoutDeleteSharingTheFileCannotBeRenamedOrDeleted) {
  ScopedHandle reader(Open("f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
  ASSERT_TRUE(reader.valid());
  EXPECT_FALSE(platform::MoveFileA(Path("f.txt").c_str(), Path("g.txt").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  EXPECT_FALSE(platform::DeleteFileA(Path("f.txt").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  EXPECT_EQ(Contents("f.txt"), "content");
  reader.Close();
  EXPECT_TRUE(platform::MoveFileA(Path("f.txt").c_str(), Path("g.txt").c_str()));
  EXPECT_TRUE(platform::DeleteFileA(Path("g.txt").c_str()));
  EXPECT_FALSE(Exists("g.txt"));
}

TEST_F(ShareModeTest, AnotherProcessWithoutDeleteSharingKeepsTheName) {
  auto holder = HeldElsewhere("r", FILE_SHARE_READ);
  EXPECT_FALSE(platform::DeleteFileA(Path("f.txt").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  EXPECT_FALSE(platform::MoveFileA(Path("f.txt").c_str(), Path("g.txt").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  holder->Finish();
  EXPECT_TRUE(platform::DeleteFileA(Path("f.txt").c_str()));
}

TEST_F(ShareModeTest, WithDeleteSharingTheFileMovesUnderItsHandle) {
  ScopedHandle reader(Open("f.txt", GENERIC_READ, kShareAll));
  ASSERT_TRUE(reader.valid());
  ASSERT_TRUE(platform::MoveFileA(Path("f.txt").c_str(), Path("g.txt").c_str()));
  EXPECT_EQ(ReadAll(reader.get()), "content");
  EXPECT_TRUE(platform::DeleteFileA(Path("g.txt").c_str()));
  reader.Close();
  EXPECT_FALSE(Exists("g.txt"));
  EXPECT_FALSE(Exists("f.txt"));
}

TEST_F(ShareModeTest, AnOpenFileCannotBeReplaced) {
  Make("new.txt", "new");
  ScopedHandle reader(Open("f.txt", GENERIC_READ, kShareAll));
  EXPECT_FALSE(platform::MoveFileExA(Path("new.txt").c_str(), Path("f.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  reader.Close();
  EXPECT_TRUE(platform::MoveFileExA(Path("new.txt").c_str(), Path("f.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(Contents("f.txt"), "new");
}

TEST_F(ShareModeTest, FolderHeldWithoutSharingCannotBeRemovedOrRenamed) {
  ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
  ScopedHandle folder(Open("sub", GENERIC_READ, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  ASSERT_TRUE(folder.valid());
  EXPECT_FALSE(platform::RemoveDirectoryA(Path("sub").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  EXPECT_FALSE(platform::MoveFileA(Path("sub").c_str(), Path("moved").c_str()));
  EXPECT_EQ(platform::GetLastError(), kViolation);
  folder.Close();
  EXPECT_TRUE(platform::RemoveDirectoryA(Path("sub").c_str()));
}

// Writers that take turns through exclusive opens, retrying while the file
// is in use, as the log does: no increment may be lost, so no two of them
// may ever hold the file at once.
TEST_F(ShareModeTest, ExclusiveOpensSerialiseThreadsAndProcesses) {
  const int kThreads = 3, kProcesses = 2, kTimes = 150;
  std::string path = Path("counter.txt");
  std::atomic<int> failures{0};
  std::vector<std::unique_ptr<HelperProcess>> helpers;
  for (int i = 0; i < kProcesses; ++i) {
    helpers.emplace_back(new HelperProcess({"count", path, std::to_string(kTimes)}));
  }
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&] {
      for (int done = 0; done < kTimes;) {
        if (testing_support::AddOneExclusively(path)) {
          ++done;
        } else if (platform::GetLastError() != ERROR_SHARING_VIOLATION) {
          ++failures;
          return;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (auto& helper : helpers) EXPECT_EQ(helper->Finish(), 0);
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(Contents("counter.txt"), std::to_string((kThreads + kProcesses) * kTimes));
}

#ifndef _WIN32
int OpenDescriptors() {
  int count = 0;
  DIR* listing = opendir("/proc/self/fd");
  while (listing != nullptr && readdir(listing) != nullptr) ++count;
  if (listing != nullptr) closedir(listing);
  return count;
}
#endif

TEST_F(ShareModeTest, HundredThousandOpensLeaveNoDescriptorOrLockBehind) {
#ifndef _WIN32
  int before = OpenDescriptors();
#endif
  std::string path = Path("f.txt");
  for (int i = 0; i < 100000; ++i) {
    HANDLE file = platform::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "open " << i << " failed with " << platform::GetLastError();
    ASSERT_TRUE(platform::CloseHandle(file));
  }
#ifndef _WIN32
  EXPECT_EQ(OpenDescriptors(), before);
#endif
  EXPECT_EQ(OpenError("f.txt", kReadWrite, 0), 0u);
}

}  // namespace
