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

using FileHandleTest = FileTest;

TEST_F(FileHandleTest, DispositionsAndNamesGiveTheWindowsErrors) {
  Make("f.txt", "data");
  MakeFolder("sub");
  const struct {
    const char* name;
    DWORD access, disposition, flags, error;
  } opens[] = {
      {"new.txt", GENERIC_WRITE, CREATE_NEW, 0, 0}, {"new.txt", GENERIC_WRITE, CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"absent.txt", GENERIC_READ, OPEN_EXISTING, 0, ERROR_FILE_NOT_FOUND},
      {"absent\\x.txt", GENERIC_WRITE, CREATE_ALWAYS, 0, ERROR_PATH_NOT_FOUND},
      {"new.txt", GENERIC_READ, 9, 0, ERROR_INVALID_PARAMETER},
      {"f.txt", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_ALREADY_EXISTS}, {"fresh.txt", GENERIC_READ, OPEN_ALWAYS, 0, 0},
      {"f.txt\\", GENERIC_READ, OPEN_EXISTING, 0, ERROR_INVALID_NAME},
      {"f.txt\\x", GENERIC_READ, OPEN_EXISTING, 0, ERROR_PATH_NOT_FOUND},
      {"a*b", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_INVALID_NAME}, {"a|b", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_INVALID_NAME},
      // Trailing periods and blanks go, ".." folds by the text even through
      // a folder that is not there, and "/" separates like "\".
      {"f.txt . ", GENERIC_READ, OPEN_EXISTING, 0, 0}, {".\\absent/../f.txt", GENERIC_READ, OPEN_EXISTING, 0, 0},
      // Folders open only with backup semantics.
      {"sub", GENERIC_READ, OPEN_EXISTING, 0, ERROR_ACCESS_DENIED}, {"sub", GENERIC_READ, CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"sub", GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, 0},
  };
  for (const auto& open : opens) {
    EXPECT_EQ(OpenError(open.name, open.access, kShareAll, open.disposition, open.flags | FILE_ATTRIBUTE_NORMAL),
              open.error) << open.name;
  }
  EXPECT_EQ(platform::CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // CREATE_ALWAYS and TRUNCATE_EXISTING empty the file.
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Contents("f.txt"), "");
  Make("f.txt", "data");
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING), 0u);
  EXPECT_EQ(Contents("f.txt"), "");
}

TEST_F(FileHandleTest, ReadsAndWritesFollowTheFilePointer) {
  ScopedHandle file(Open("data.bin", kReadWrite, 0, CREATE_NEW));
  ASSERT_TRUE(Write(file.get(), "0123456789"));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(ReadAll(file.get()), "3456789");
  EXPECT_EQ(ReadAll(file.get()), "");  // at the end a read succeeds with nothing
  EXPECT_EQ(platform::SetFilePointer(file.get(), -4, nullptr, FILE_END), 6u);
  EXPECT_EQ(platform::SetFilePointer(file.get(), -4, nullptr, FILE_CURRENT), 2u);
  // A move before the start fails and leaves the pointer where it was.
  EXPECT_EQ(platform::SetFilePointer(file.get(), -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(platform::SetEndOfFile(file.get()));  // cuts at the pointer
  EXPECT_TRUE(platform::FlushFileBuffers(file.get()));
  file.Close();
  EXPECT_EQ(Contents("data.bin"), "01");
}

TEST_F(FileHandleTest, HandlesOnlyDoWhatTheirAccessAllowsAndOnlyWhileOpen) {
  Make("f.txt", "data");
  HANDLE reader = Open("f.txt", GENERIC_READ, kShareAll);
  ScopedHandle writer(Open("f.txt", GENERIC_WRITE, kShareAll));
  EXPECT_EQ(ErrorOf([&] { return Write(reader, "x"); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadAll(writer.get()), "<read failed>");
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Contents("f.txt"), "data");
  EXPECT_TRUE(platform::CloseHandle(reader));
  EXPECT_EQ(ErrorOf([&] { return platform::CloseHandle(reader); }), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(ReadAll(reader), "<read failed>");
  EXPECT_FALSE(platform::CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x1234))));
  EXPECT_TRUE(platform::CloseHandle(INVALID_HANDLE_VALUE));  // the process pseudo-handle: closes without effect
}

class FileNameTest : public FileTest {
 protected:
  void SetUp() override {
    Make("a.txt", "a");
    Make("b.txt", "b");
    MakeFolder("sub");
  }
  DWORD Move(const char* from, const char* to, DWORD flags = 0) {
    return ErrorOf([&] { return platform::MoveFileExA(Path(from).c_str(), Path(to).c_str(), flags); });
  }
  DWORD Delete(const char* name) { return ErrorOf([&] { return platform::DeleteFileA(Path(name).c_str()); }); }
  DWORD MakeDir(const char* name) { return ErrorOf([&] { return platform::CreateDirectoryA(Path(name).c_str(), nullptr); }); }
  DWORD RemoveDir(const char* name) { return ErrorOf([&] { return platform::RemoveDirectoryA(Path(name).c_str()); }); }
  DWORD SetAttributes(const char* name, DWORD attributes) {
    return ErrorOf([&] { return platform::SetFileAttributesA(Path(name).c_str(), attributes); });
  }
};

TEST_F(FileNameTest, NameOperationsGiveTheWindowsErrors) {
  const DWORD errors[] = {Delete("absent.txt"), Delete("absent\\x.txt"), Delete("sub"), Move("a.txt", "b.txt"),
                          Move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), Move("absent.txt", "c.txt"),
                          Move("a.txt", "absent\\c.txt"), MakeDir("sub"), MakeDir("a.txt"), MakeDir("absent\\sub"),
                          MakeDir("sub\\inner"), RemoveDir("sub"), RemoveDir("a.txt"), RemoveDir("absent"),
                          SetAttributes("absent.txt", 0)};
  EXPECT_EQ(std::vector<DWORD>(std::begin(errors), std::end(errors)),
            (std::vector<DWORD>{2, 3, 5, 183, 5, 2, 3, 183, 183, 3, 0, 145, 267, 2, 2}));
  EXPECT_EQ(Contents("b.txt"), "b");
}

TEST_F(FileNameTest, MovesReplaceOnlyWhenAskedAndReadOnlyFilesStayPut) {
  EXPECT_EQ(Move("a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), 0u);
  EXPECT_EQ(Contents("b.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Move("b.txt", "sub\\b.txt", MOVEFILE_COPY_ALLOWED), 0u);
  EXPECT_EQ(Move("sub", "moved"), 0u);
  EXPECT_EQ(Contents("moved/b.txt"), "a");
  // A read-only file may move and stays read-only, but cannot be deleted.
  Make("ro.txt", "ro");
  EXPECT_EQ(SetAttributes("ro.txt", FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_EQ(Move("ro.txt", "ro2.txt"), 0u);
  EXPECT_TRUE(Attributes("ro2.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Delete("ro2.txt"), 5u);
#ifndef _WIN32
  // Windows refuses to replace a read-only file (Wine replaces it).
  Make("c.txt", "c");
  EXPECT_EQ(Move("c.txt", "ro2.txt", MOVEFILE_REPLACE_EXISTING), 5u);
#endif
  EXPECT_EQ(SetAttributes("ro2.txt", FILE_ATTRIBUTE_NORMAL), 0u);
  EXPECT_EQ(Delete("ro2.txt.. "), 0u);  // trailing periods and blanks go
  EXPECT_FALSE(Exists("ro2.txt"));
}

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

TEST_F(ShareModeTest, OpensInThreadsAndProcessesMeetUntilClosedOrKilled) {
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
  holder = HeldElsewhere("r", FILE_SHARE_READ | FILE_SHARE_WRITE);
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
