// The platform's files: handles, share modes, names, searches, shell operations and drives.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "support/helper_process.h"
#include "support/shared_counter.h"
#include "support/test_support.h"
#ifndef _WIN32
#include "platform/posix/drives.h"
#include "platform/posix/native_path.h"
#include "platform/posix/posix_codepage.h"
#endif

namespace {

using testing_support::HelperProcess;
using Names = std::set<std::string>;

const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) platform::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// The last error an operation leaves, or 0 when it succeeded.
template <typename Operation>
DWORD ErrorOf(Operation operation) {
  platform::SetLastError(12345);
  return operation() ? 0u : platform::GetLastError();
}

class FileTest : public ::testing::Test {
 protected:
  // `name` may hold `\` separators (the platform takes both).
  std::string Path(const std::string& name) const { return dir_.Narrow() + name; }
  // Made by the test's own means, not the platform layer; `name` with `/`.
  void Make(const std::string& name, const std::string& contents = "") {
    testing_support::WriteTextFile(dir_ / name, contents);
  }
  void MakeFolder(const std::string& name) { ASSERT_TRUE(platform::CreateDirectoryA(Path(name).c_str(), nullptr)); }
  std::string Contents(const std::string& name) const { return testing_support::ReadTextFile(dir_ / name); }
  HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
              DWORD flags = FILE_ATTRIBUTE_NORMAL) const {
    return platform::CreateFileA(Path(name).c_str(), access, share, nullptr, disposition, flags, nullptr);
  }
  // The last error an open leaves (closing the handle when it opened).
  DWORD OpenError(const std::string& name, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
                  DWORD flags = FILE_ATTRIBUTE_NORMAL) const {
    platform::SetLastError(12345);
    ScopedHandle file(Open(name, access, share, disposition, flags));
    return platform::GetLastError();
  }
  DWORD Attributes(const std::string& name) const { return platform::GetFileAttributesA(Path(name).c_str()); }
  bool Exists(const std::string& name) const { return Attributes(name) != INVALID_FILE_ATTRIBUTES; }
  // Every name a search for `pattern` (in the test folder unless told) yields;
  // the error when it yields none.
  Names Find(const std::string& pattern, bool inFolder = true) const {
    WIN32_FIND_DATAA found;
    HANDLE search = platform::FindFirstFileA((inFolder ? Path(pattern) : pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {"error " + std::to_string(platform::GetLastError())};
    Names names;
    do {
      names.insert(found.cFileName);
    } while (platform::FindNextFileA(search, &found));
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(platform::FindClose(search));
    return names;
  }
  std::string ReadAll(HANDLE file) const {
    char buffer[256];
    DWORD got = 0;
    if (!platform::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return "<read failed>";
    return std::string(buffer, got);
  }
  bool Write(HANDLE file, const std::string& text) const {
    DWORD written = 0;
    return platform::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  }

  testing_support::TempDir dir_;
};

TEST_F(FileTest, DispositionsAndNamesGiveTheWindowsErrors) {
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

TEST_F(FileTest, HandlesReadAndWriteAtThePointerAsTheirAccessAllowsWhileOpen) {
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
  // Handles only do what their access allows, and only while open.
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

TEST_F(FileNameTest, NameOperationsGiveTheWindowsErrorsAndMoveAsAsked) {
  const DWORD errors[] = {Delete("absent.txt"), Delete("absent\\x.txt"), Delete("sub"), Move("a.txt", "b.txt"),
                          Move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), Move("absent.txt", "c.txt"),
                          Move("a.txt", "absent\\c.txt"), MakeDir("sub"), MakeDir("a.txt"), MakeDir("absent\\sub"),
                          MakeDir("sub\\inner"), RemoveDir("sub"), RemoveDir("a.txt"), RemoveDir("absent"),
                          SetAttributes("absent.txt", 0)};
  EXPECT_EQ(std::vector<DWORD>(std::begin(errors), std::end(errors)),
            (std::vector<DWORD>{2, 3, 5, 183, 5, 2, 3, 183, 183, 3, 0, 145, 267, 2, 2}));
  EXPECT_EQ(Contents("b.txt"), "b");
  // Moves replace only when asked.
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

class ShareModeTest : public FileNameTest {
 protected:
  void SetUp() override {
    FileNameTest::SetUp();
    Make("f.txt", "content");
  }

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
    testing_support::TestThread([&] { error = OpenError("f.txt", access, share); }).join();
    return error;
  }
  // The errors of a move and of a delete of `name`.
  std::pair<DWORD, DWORD> MoveAndDeleteErrors(const char* name, bool folder = false) {
    return {Move(name, "moved"), folder ? RemoveDir(name) : Delete(name)};
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
  ScopedHandle folder(Open("sub", GENERIC_READ, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  ASSERT_TRUE(folder.valid());
  EXPECT_EQ(MoveAndDeleteErrors("sub", true), refused);
  folder.Close();
  EXPECT_EQ(RemoveDir("sub"), 0u);
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
  std::vector<testing_support::TestThread> threads;
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
  for (testing_support::TestThread& thread : threads) thread.join();
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

class FileSearchTest : public FileTest {
 protected:
  void SetUp() override {
    for (const char* name : {"abc", "abc.txt", "abc.txt.bak", "a.b", "x y.dat", "abcd", "ab", "Mixed.TXT"}) Make(name);
  }
  WIN32_FIND_DATAA FindOne(const std::string& pattern) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = platform::FindFirstFileA(Path(pattern).c_str(), &found);
    EXPECT_NE(search, INVALID_HANDLE_VALUE) << pattern;
    if (search != INVALID_HANDLE_VALUE) platform::FindClose(search);
    return found;
  }
};

TEST_F(FileSearchTest, WildcardsMatchWithoutRegardToCase) {
  const Names all = {".", "..", "abc", "abc.txt", "abc.txt.bak", "a.b", "x y.dat", "abcd", "ab", "Mixed.TXT"};
  const Names txt = {"abc.txt", "Mixed.TXT"};
  const std::pair<const char*, Names> searches[] = {
      {"*", all}, {"*.*", all},  // names without a dot too
      {"?*", all}, {"*.TXT", txt}, {"*.t?t", txt}, {"a?c", {"abc"}}, {"abc.t??", {"abc.txt"}},
      {"abc.*", {"abc", "abc.txt", "abc.txt.bak"}},  // ".*" also matches no extension
      {"A*", {"a.b", "ab", "abc", "abc.txt", "abc.txt.bak", "abcd"}}, {"*.bak", {"abc.txt.bak"}},
      {"abc*txt", {"abc.txt"}}, {"*x*", {"abc.txt", "abc.txt.bak", "x y.dat", "Mixed.TXT"}},
      {"*.none", {"error 2"}}, {"abc.txt", {"abc.txt"}}, {"abc.", {"abc"}},  // a final period goes
      {"absent\\*", {"error 3"}}, {"", {"error 2"}},  // the folder itself, ending in a separator
#ifndef _WIN32
      // The DOS rules Windows applies, which Wine's matcher leaves out: "?"
      // may match nothing at the end of a name or before its dot, a final
      // "*." takes names without a dot, and ".?" matches a missing extension.
      {"a??", {"ab", "abc"}}, {"????", {"ab", "abc", "abcd"}}, {"*.", {"ab", "abc", "abcd"}},
      {"a*.", {"ab", "abc", "abcd"}}, {"abc.?", {"abc"}}, {"abc.???", {"abc", "abc.txt"}}, {"*?", all},
#endif
  };
  for (const auto& [pattern, names] : searches) EXPECT_EQ(Find(pattern), names) << pattern;
  WIN32_FIND_DATAA found;
  EXPECT_EQ(platform::FindFirstFileA("Z:\\", &found), INVALID_HANDLE_VALUE);  // a root finds nothing
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  const Names rootNames = Find("Z:\\*", false);  // and lists no dot entries
  EXPECT_EQ(rootNames.count(".") + rootNames.count(".."), 0u);
  EXPECT_NE(rootNames.begin()->substr(0, 6), "error ");
}

TEST_F(FileSearchTest, EntriesAndAttributesTellFoldersReadOnlyAndHiddenFiles) {
  Make("five.txt", "12345");
  Make(".hidden", "");
  MakeFolder("sub");
  ASSERT_TRUE(platform::SetFileAttributesW(WidenAscii(Path("abc").c_str()).c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD kTold = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  for (const auto& [name, attributes] : {std::pair<const char*, DWORD>{"five.txt", 0}, {"sub", FILE_ATTRIBUTE_DIRECTORY},
                                         {"abc", FILE_ATTRIBUTE_READONLY}, {".hidden", FILE_ATTRIBUTE_HIDDEN}}) {
    EXPECT_EQ(FindOne(name).dwFileAttributes & kTold, attributes) << name;
    EXPECT_EQ(Attributes(name) & kTold, attributes) << name;
  }
  EXPECT_EQ(FindOne(".h*").dwFileAttributes & kTold, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Attributes("sub\\") & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(Attributes(".") & FILE_ATTRIBUTE_HIDDEN);
  for (const auto& [name, error] : {std::pair<const char*, DWORD>{"absent.txt", 2}, {"abc.txt\\", 3}}) {
    EXPECT_EQ(Attributes(name), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform::GetLastError(), error) << name;
  }
  EXPECT_EQ(Find("sub\\*"), (Names{".", ".."}));
  EXPECT_EQ(FindOne("sub\\.*").dwFileAttributes & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FindOne("five.txt").nFileSizeLow, 5u);
}

const FILEOP_FLAGS kQuiet = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;

class ShellFileTest : public FileTest {
 protected:
  void SetUp() override {
    Make("a.txt", "a");
    Make("b.txt", "b");
    MakeFolder("sub");
    MakeFolder("sub\\inner");
    Make("sub/c.txt", "c");
    Make("sub/inner/d.txt", "d");
  }
  // Paths in the test folder as a list: each ended by a zero, the list by one more.
  std::string List(std::initializer_list<std::string> names) const {
    std::string list;
    for (const std::string& name : names) list += Path(name) + '\0';
    return list + '\0';
  }
  int Operate(UINT function, const std::string& from, const std::string& to, FILEOP_FLAGS flags = kQuiet) {
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = function;
    operation.pFrom = from.c_str();
    operation.pTo = to.empty() ? nullptr : to.c_str();
    operation.fFlags = flags;
    operation.fAnyOperationsAborted = TRUE;
    int result = platform::SHFileOperationA(&operation);
    EXPECT_FALSE(operation.fAnyOperationsAborted);
    return result;
  }
};

TEST_F(ShellFileTest, DeleteTakesFilesWholeFoldersAndWhatAWildcardMatches) {
  ASSERT_TRUE(platform::SetFileAttributesA(Path("sub\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Operate(FO_DELETE, List({"a.txt", "sub"}), ""), 0);
  EXPECT_FALSE(Exists("a.txt") || Exists("sub"));
  EXPECT_NE(Operate(FO_DELETE, List({"absent.txt"}), ""), 0);
  Make("one.tmp");
  MakeFolder("dir.tmp");
  EXPECT_EQ(Operate(FO_DELETE, List({"*.TMP"}), "", kQuiet | FOF_FILESONLY), 0);
  EXPECT_FALSE(Exists("one.tmp"));
  EXPECT_TRUE(Exists("dir.tmp"));  // only files, as asked
  ScopedHandle held(Open("b.txt", GENERIC_READ, FILE_SHARE_READ));
  EXPECT_NE(Operate(FO_DELETE, List({"b.txt"}), ""), 0);
  EXPECT_EQ(Contents("b.txt"), "b");
}

TEST_F(ShellFileTest, CopyMoveAndRenameGoIntoAFolderOrToNewNames) {
  MakeFolder("dest");
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt"}), List({"dest"})), 0);
  EXPECT_EQ(Contents("dest/a.txt"), "a");
  EXPECT_EQ(Operate(FO_COPY, List({"sub"}), List({"copy"})), 0);
  EXPECT_EQ(Contents("copy/inner/d.txt"), "d");
  EXPECT_EQ(Contents("sub/inner/d.txt"), "d");
  EXPECT_EQ(Operate(FO_COPY, List({"b.txt"}), List({"dest\\a.txt"})), 0);  // replaces
  EXPECT_EQ(Contents("dest/a.txt"), "b");
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt", "b.txt"}), List({"x.txt", "y.txt"}), kQuiet | FOF_MULTIDESTFILES), 0);
  EXPECT_EQ(Contents("x.txt") + Contents("y.txt"), "ab");
  EXPECT_EQ(Operate(FO_MOVE, List({"x.txt", "sub"}), List({"dest"})), 0);
  EXPECT_EQ(Contents("dest/x.txt"), "a");
  EXPECT_EQ(Contents("dest/sub/inner/d.txt"), "d");
  EXPECT_FALSE(Exists("sub"));
  EXPECT_EQ(Operate(FO_RENAME, List({"b.txt"}), List({"renamed.txt"})), 0);
  EXPECT_EQ(Contents("renamed.txt"), "b");
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_NE(Operate(FO_RENAME, List({"absent.txt"}), List({"other.txt"})), 0);
}

#ifndef _WIN32
using platform::posix::DriveTable;
using platform::posix::ResolveUtf8;

std::string Native(const std::string& name) {
  platform::posix::ResolvedPath path = ResolveUtf8(name);
  return path.error != ERROR_SUCCESS ? "error " + std::to_string(path.error) : path.native;
}

std::string Current() { return testing_support::fs::current_path().string(); }

// D: stands for the test folder and \\files\public for its "share" folder;
// the table the process started with comes back afterwards, as does its
// current directory.
class DriveTableTest : public FileTest {
 protected:
  void SetUp() override {
    saved_ = Current();
    root_ = dir_.path().string();
    MakeFolder("share");
    DriveTable::Instance().Load("C:=/;D:=" + root_ + ";Z:=" + root_ + "/share;\\\\files\\public=" + root_ + "/share/");
  }
  void TearDown() override {
    testing_support::fs::current_path(saved_);
    DriveTable::Instance().LoadFromEnvironment();
  }
  std::string saved_, root_;
};

TEST_F(DriveTableTest, NamesResolveThroughTheTable) {
  const std::pair<std::string, std::string> names[] = {
      {"D:\\x\\y.txt", root_ + "/x/y.txt"}, {"d:/x", root_ + "/x"}, {"D:\\", root_ + "/"}, {"C:\\etc", "/etc"},
      {"Z:\\a", root_ + "/share/a"}, {"//FILES/Public/a.txt", root_ + "/share/a.txt"}, {"Q:\\x", "error 3"},
      {"\\\\nobody\\share\\x", "error 53"}, {"\\\\files", "error 53"},
      // Long-path prefixes are taken literally: no trimming behind them.
      {"\\\\?\\D:\\x", root_ + "/x"}, {"\\\\?\\UNC\\files\\public\\a", root_ + "/share/a"},
      {"\\\\?\\D:\\name. ", root_ + "/name. "}, {"D:\\name. ", root_ + "/name"},
      // Dots fold by the text and never climb above a root.
      {"D:\\..\\..\\x", root_ + "/x"}, {"D:\\a\\.\\b\\..\\c", root_ + "/a/c"},
      {"\\\\files\\public\\..\\x", root_ + "/share/x"}, {"/..", "/"},
      {"../x", "../x"},  // the file system resolves what lies above the current directory
      {"dir.\\name", "dir/name"}, {"dir..\\name", "dir../name"}, {"a\\b\\", "a/b/"}, {"", "error 3"},
      {"a|b", "error 123"}, {"/etc/hostname", "/etc/hostname"},
      {"/a//b", "/a/b"}, {"/a/./b", "/a/b"}, {"/a./b", "/a/b"}, {"/a\\b", "/a/b"},
      {"/a/b.", "/a/b"}, {"/a/b ", "/a/b"}, {"/a/b*", "error 123"}, {"/a b/c d/", "/a b/c d/"},
  };
  for (const auto& [name, native] : names) EXPECT_EQ(Native(name), native) << name;
  EXPECT_TRUE(ResolveUtf8("D:\\").root);
  EXPECT_FALSE(ResolveUtf8("D:\\x").root);
  EXPECT_TRUE(ResolveUtf8("/").root);
  DriveTable::Instance().Load("C:=/;bogus;E:=relative;F=/tmp;G:=;\\\\only=/tmp");
  for (const char* malformed : {"E:\\x", "G:\\x"}) EXPECT_EQ(Native(malformed), "error 3");
  EXPECT_EQ(Native("F:\\x"), "/tmp/x");
  EXPECT_EQ(Native("\\\\only\\x"), "error 53");
}

TEST_F(DriveTableTest, EachDriveRemembersItsCurrentDirectory) {
  ASSERT_TRUE(platform::CreateDirectoryA("D:\\sub", nullptr));
  ASSERT_TRUE(platform::SetCurrentDirectoryA("D:\\sub"));
  EXPECT_EQ(platform::_getdrive(), 4);
  EXPECT_EQ(Current(), root_ + "/sub");
  ASSERT_TRUE(platform::SetCurrentDirectoryA("C:\\tmp"));
  EXPECT_EQ(platform::_getdrive(), 3);
  HANDLE file = platform::CreateFileA("D:made.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  platform::CloseHandle(file);
  EXPECT_TRUE(Exists("sub/made.txt"));
  ASSERT_TRUE(platform::SetCurrentDirectoryA("D:."));
  EXPECT_EQ(Current(), root_ + "/sub");
  EXPECT_EQ(platform::_chdrive(3), 0);
  EXPECT_EQ(Current(), "/tmp");
  EXPECT_EQ(platform::_chdrive(25), -1);  // this table has no Y:
  EXPECT_EQ(platform::_chdrive(26), 0);
  EXPECT_EQ(Current(), root_ + "/share");
  // A native current directory belongs to the drive that holds it most closely.
  ASSERT_TRUE(platform::SetCurrentDirectoryA(root_.c_str()));
  EXPECT_EQ(platform::_getdrive(), 4);
}

TEST_F(DriveTableTest, FileOperationsGoThroughTheTable) {
  Make("share/f.txt", "shared");
  EXPECT_EQ(Find("\\\\files\\public\\*.TXT", false), Names{"f.txt"});
  EXPECT_EQ(Find("D:\\*", false), Names{"share"});  // a drive's root: no "." or ".."
  EXPECT_TRUE(platform::MoveFileA("\\\\files\\public\\f.txt", "D:\\g.txt"));
  EXPECT_EQ(Contents("g.txt"), "shared");
}

// Run again by CTest with OVPB_DRIVES set (see tests/CMakeLists.txt).
TEST(DriveTableEnvironmentTest, TableComesFromTheEnvironment) {
  if (std::getenv("OVPB_DRIVES") == nullptr) GTEST_SKIP() << "OVPB_DRIVES is not set";
  EXPECT_EQ(ResolveUtf8("R:\\x").native, "/tmp/x");
  EXPECT_EQ(ResolveUtf8("C:\\x").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // not the default table
}

TEST_F(FileTest, NarrowNamesAreInTheAnsiCodePage) {
  platform::AnsiCodePageStore::Pin(1252);
  DWORD created = OpenError("caf\xE9.txt", GENERIC_WRITE, 0, CREATE_NEW);
  const Names found = Find("caf*");
  platform::AnsiCodePageStore::Pin(0);
  EXPECT_EQ(created, 0u);
  EXPECT_TRUE(testing_support::fs::exists(dir_.path() / "caf\xC3\xA9.txt"));
  EXPECT_EQ(found, Names{"caf\xE9.txt"});
}
#endif

}  // namespace
