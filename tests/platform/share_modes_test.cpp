#include <atomic>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "file_fixture.h"
#include "support/helper_process.h"
#include "support/shared_counter.h"

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
  // The errors of a move and of a delete of `name`.
  std::pair<DWORD, DWORD> MoveAndDeleteErrors(const char* name, bool folder = false) {
    const std::string path = Path(name);
    return {ErrorOf([&] { return platform::MoveFileExA(path.c_str(), Path("moved").c_str(), 0); }),
            ErrorOf([&] { return folder ? platform::RemoveDirectoryA(path.c_str()) : platform::DeleteFileA(path.c_str()); })};
  }
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
      {0, 0, kReadWrite, kShareAll, true}, {kReadWrite, 0, 0, 0, true},
  };
  for (const auto& pair : pairs) {
    SCOPED_TRACE(testing::Message() << std::hex << pair.firstAccess << "/" << pair.firstShare << " then "
                                    << pair.secondAccess << "/" << pair.secondShare);
    ScopedHandle first(Open("f.txt", pair.firstAccess, pair.firstShare));
    ASSERT_TRUE(first.valid());
    EXPECT_EQ(OpenError("f.txt", pair.secondAccess, pair.secondShare), pair.compatible ? 0u : kViolation);
  }
}

TEST_F(ShareModeTest, ExclusiveHandleKeepsOutThreadsAndProcessesUntilClosedOrKilled) {
  ScopedHandle first(Open("f.txt", kReadWrite, 0));
  ASSERT_TRUE(first.valid());
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, kShareAll, CREATE_ALWAYS), kViolation);
  EXPECT_EQ(OpenErrorInThread(GENERIC_READ, kShareAll), kViolation);
  EXPECT_EQ(OpenErrorElsewhere("r", kShareAll), kViolation);
  first.Close();
  EXPECT_EQ(OpenErrorInThread(GENERIC_READ, 0), 0u);
  EXPECT_EQ(OpenErrorElsewhere("rw", 0), 0u);
  EXPECT_EQ(Contents("f.txt"), "content");  // the refused CREATE_ALWAYS emptied nothing
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
  const std::pair<DWORD, DWORD> refused{kViolation, kViolation};
  {
    ScopedHandle reader(Open("f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(MoveAndDeleteErrors("f.txt"), refused);
  }
  {
    auto holder = HeldElsewhere("r", FILE_SHARE_READ);
    EXPECT_EQ(MoveAndDeleteErrors("f.txt"), refused);
  }
  EXPECT_EQ(Contents("f.txt"), "content");
  MakeFolder("sub");
  ScopedHandle folder(Open("sub", GENERIC_READ, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  ASSERT_TRUE(folder.valid());
  EXPECT_EQ(MoveAndDeleteErrors("sub", true), refused);
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
  for (int i = 0; i < kProcesses; ++i) helpers.emplace_back(new HelperProcess({"count", path, std::to_string(kTimes)}));
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
  auto descriptors = [] { return std::distance(testing_support::fs::directory_iterator("/proc/self/fd"), {}); };
  const auto before = descriptors();
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
