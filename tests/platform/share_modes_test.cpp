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
const DWORD kViolation = ERROR_SHARING_VIOLATION;

class ShareModeTest : public FileTest {
 protected:
  void SetUp() override { Make("f.txt", "content"); }

  // The helper holding the file open as told, for as long as the object lives.
  std::unique_ptr<HelperProcess> HeldElsewhere(const std::string& access, DWORD share) {
    auto helper = std::make_unique<HelperProcess>(std::vector<std::string>{"hold", Path("f.txt"), access, std::to_string(share)});
    EXPECT_EQ(helper->ReadLine(), "held");
    return helper;
  }
  // The error another process meets opening the file.
  DWORD OpenErrorElsewhere(const std::string& access, DWORD share) {
    HelperProcess helper({"open", Path("f.txt"), access, std::to_string(share)});
    std::string answer = helper.ReadLine();
    helper.Finish();
    return static_cast<DWORD>(std::stoul(answer.empty() ? "99999" : answer));
  }
  DWORD OpenErrorInThread(DWORD access, DWORD share) {
    DWORD error = 0;
    std::thread([&] { error = OpenError("f.txt", access, share); }).join();
    return error;
  }
  DWORD MoveError(const char* from, const char* to, DWORD flags = 0) {
    return ErrorOf([&] { return platform::MoveFileExA(Path(from).c_str(), Path(to).c_str(), flags); });
  }
  DWORD DeleteError(const char* name) { return ErrorOf([&] { return platform::DeleteFileA(Path(name).c_str()); }); }
};

TEST_F(ShareModeTest, AccessMeetsTheShareModesOfOtherHandles) {
  const struct {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool compatible;
  } pairs[] = {
      {GENERIC_READ, 0, GENERIC_READ, kShareAll, false},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, kShareAll, false},  // the first denies writing
      {GENERIC_WRITE, kShareAll, GENERIC_READ, FILE_SHARE_READ, false},  // the second denies the first's writing
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, kReadWrite, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_WRITE, FILE_SHARE_WRITE, GENERIC_READ, kShareAll, false},
      {DELETE, kShareAll, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, DELETE, kShareAll, true},
      // A handle for attributes alone neither meets nor sets share modes.
      {0, 0, kReadWrite, kShareAll, true},
      {kReadWrite, 0, 0, 0, true},
  };
  for (const auto& pair : pairs) {
    SCOPED_TRACE(testing::Message() << std::hex << pair.firstAccess << "/" << pair.firstShare << " then "
                                    << pair.secondAccess << "/" << pair.secondShare);
    ScopedHandle first(Open("f.txt", pair.firstAccess, pair.firstShare));
    ASSERT_TRUE(first.valid());
    EXPECT_EQ(OpenError("f.txt", pair.secondAccess, pair.secondShare), pair.compatible ? 0u : kViolation);
  }
}

TEST_F(ShareModeTest, ExclusiveHandleKeepsOutThreadsAndProcessesUntilClosed) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(first.valid());
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll, CREATE_ALWAYS), kViolation);
  EXPECT_EQ(OpenErrorInThread(GENERIC_READ, kShareAll), kViolation);
  EXPECT_EQ(OpenErrorElsewhere("r", kShareAll), kViolation);
  first.Close();
  EXPECT_EQ(OpenErrorInThread(GENERIC_READ, 0), 0u);
  EXPECT_EQ(OpenErrorElsewhere("rw", 0), 0u);
  EXPECT_EQ(Contents("f.txt"), "content");  // the refused CREATE_ALWAYS emptied nothing
}

TEST_F(ShareModeTest, AnotherProcessKeepsUsOutUntilKilled) {
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

TEST_F(ShareModeTest, WithoutDeleteSharingHereOrElsewhereTheNameStays) {
  {
    ScopedHandle reader(Open("f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(MoveError("f.txt", "g.txt"), kViolation);
    EXPECT_EQ(DeleteError("f.txt"), kViolation);
  }
  {
    auto holder = HeldElsewhere("r", FILE_SHARE_READ);
    EXPECT_EQ(DeleteError("f.txt"), kViolation);
    EXPECT_EQ(MoveError("f.txt", "g.txt"), kViolation);
  }
  EXPECT_EQ(Contents("f.txt"), "content");
  MakeFolder("sub");
  ScopedHandle folder(Open("sub", GENERIC_READ, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  ASSERT_TRUE(folder.valid());
  EXPECT_EQ(ErrorOf([&] { return platform::RemoveDirectoryA(Path("sub").c_str()); }), kViolation);
  EXPECT_EQ(MoveError("sub", "moved"), kViolation);
  folder.Close();
  EXPECT_EQ(ErrorOf([&] { return platform::RemoveDirectoryA(Path("sub").c_str()); }), 0u);
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
TEST_F(ShareModeTest, ManyOpensLeaveNoDescriptorOrLockBehind) {
  auto descriptors = [] {
    int count = 0;
    DIR* listing = opendir("/proc/self/fd");
    while (listing != nullptr && readdir(listing) != nullptr) ++count;
    if (listing != nullptr) closedir(listing);
    return count;
  };
  int before = descriptors();
  for (int i = 0; i < 20000; ++i) {
    HANDLE file = Open("f.txt", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "open " << i << " failed with " << platform::GetLastError();
    ASSERT_TRUE(platform::CloseHandle(file));
  }
  EXPECT_EQ(descriptors(), before);
  EXPECT_EQ(OpenError("f.txt", kReadWrite, 0), 0u);
}
#endif

}  // namespace
