// The POSIX layer's names: the drive table, \\server\share roots, the
// long-path prefixes, folding of "." and "..", each drive's current
// directory, and narrow names in the ANSI code page. (On Windows the system
// owns all of this.)

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "file_fixture.h"
#include "platform/posix/drives.h"
#include "platform/posix/native_path.h"
#include "platform/posix/posix_codepage.h"

namespace {

using platform::posix::DriveTable;
using platform::posix::ResolveUtf8;

// D: stands for the test folder and \\files\public for its "share" folder;
// the table the process started with comes back afterwards, as does its
// current directory.
class DriveTableTest : public FileTest {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(saved_, sizeof saved_), nullptr);
    root_ = dir_.path().string();
    ASSERT_TRUE(platform::CreateDirectoryA((root_ + "/share").c_str(), nullptr));
    DriveTable::Instance().Load("C:=/;D:=" + root_ + ";\\\\files\\public=" + root_ + "/share/");
  }
  void TearDown() override {
    ASSERT_EQ(chdir(saved_), 0);
    DriveTable::Instance().LoadFromEnvironment();
  }

  std::string Native(const std::string& name) {
    platform::posix::ResolvedPath path = ResolveUtf8(name);
    return path.error != ERROR_SUCCESS ? "error " + std::to_string(path.error) : path.native;
  }
  std::string Current() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
  }

  char saved_[PATH_MAX];
  std::string root_;
};

TEST_F(DriveTableTest, DrivesAndSharesStandForTheirFolders) {
  EXPECT_EQ(Native("D:\\x\\y.txt"), root_ + "/x/y.txt");
  EXPECT_EQ(Native("d:/x"), root_ + "/x");
  EXPECT_EQ(Native("D:\\"), root_ + "/");
  EXPECT_EQ(Native("C:\\etc"), "/etc");
  EXPECT_EQ(Native("\\\\files\\public\\a.txt"), root_ + "/share/a.txt");
  EXPECT_EQ(Native("//FILES/Public/a.txt"), root_ + "/share/a.txt");
  EXPECT_EQ(Native("Q:\\x"), "error 3");
  EXPECT_EQ(Native("\\\\nobody\\share\\x"), "error 53");
  EXPECT_EQ(Native("\\\\files"), "error 53");
  EXPECT_TRUE(ResolveUtf8("D:\\").root);
  EXPECT_FALSE(ResolveUtf8("D:\\x").root);
}

TEST_F(DriveTableTest, LongPathPrefixesAreAcceptedAndTakenLiterally) {
  EXPECT_EQ(Native("\\\\?\\D:\\x"), root_ + "/x");
  EXPECT_EQ(Native("//?/D:/x"), root_ + "/x");
  EXPECT_EQ(Native("\\\\?\\UNC\\files\\public\\a"), root_ + "/share/a");
  EXPECT_EQ(Native("\\\\?\\D:\\name. "), root_ + "/name. ");  // no trimming behind the prefix
  EXPECT_EQ(Native("D:\\name. "), root_ + "/name");
}

TEST_F(DriveTableTest, DotsFoldByTheTextAndNeverClimbAboveARoot) {
  EXPECT_EQ(Native("D:\\..\\..\\x"), root_ + "/x");
  EXPECT_EQ(Native("D:\\a\\.\\b\\..\\c"), root_ + "/a/c");
  EXPECT_EQ(Native("\\\\files\\public\\..\\x"), root_ + "/share/x");
  EXPECT_EQ(Native("/.."), "/");
  EXPECT_EQ(Native("a/./b/../c"), "a/c");
  EXPECT_EQ(Native("../x"), "../x");  // the file system resolves what lies above the current directory
  EXPECT_EQ(Native("dir.\\name"), "dir/name");
  EXPECT_EQ(Native("dir..\\name"), "dir../name");
  EXPECT_EQ(Native("a\\b\\"), "a/b/");
  EXPECT_EQ(Native(""), "error 3");
  EXPECT_EQ(Native("a|b"), "error 123");
}

TEST_F(DriveTableTest, NativePathsPassAsTheyAre) {
  EXPECT_EQ(Native("/etc/hostname"), "/etc/hostname");
  EXPECT_EQ(Native(root_ + "/x"), root_ + "/x");
  EXPECT_EQ(Native("relative/x"), "relative/x");
}

TEST_F(DriveTableTest, EachDriveRemembersItsCurrentDirectory) {
  ASSERT_TRUE(platform::CreateDirectoryA("D:\\sub", nullptr));
  ASSERT_TRUE(platform::SetCurrentDirectoryA("D:\\sub"));
  EXPECT_EQ(platform::_getdrive(), 4);
  char buffer[PATH_MAX];
  ASSERT_GT(platform::GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
  EXPECT_EQ(std::string(buffer), Current());  // reported as the native path it is
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
  EXPECT_EQ(platform::_chdrive(26), -1);  // this table has no Z:
  EXPECT_EQ(platform::_getdrive(), 3);
}

TEST_F(DriveTableTest, NativeCurrentDirectoryKeepsTheDriveThatHoldsIt) {
  ASSERT_TRUE(platform::SetCurrentDirectoryA(root_.c_str()));
  EXPECT_EQ(platform::_getdrive(), 4);  // D: holds it more closely than C:
  ASSERT_TRUE(platform::SetCurrentDirectoryA("/tmp"));
  EXPECT_EQ(platform::_getdrive(), 3);
}

TEST_F(DriveTableTest, FileOperationsGoThroughTheTable) {
  Make("share/f.txt", "shared");
  WIN32_FIND_DATAA found;
  HANDLE search = platform::FindFirstFileA("\\\\files\\public\\*.TXT", &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "f.txt");
  platform::FindClose(search);
  search = platform::FindFirstFileA("D:\\*", &found);  // a drive's root: no "." or ".."
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "share");
  EXPECT_FALSE(platform::FindNextFileA(search, &found));
  platform::FindClose(search);
  EXPECT_TRUE(platform::MoveFileA("\\\\files\\public\\f.txt", "D:\\g.txt"));
  EXPECT_EQ(Contents("g.txt"), "shared");
}

TEST_F(DriveTableTest, MalformedEntriesAreLeftOut) {
  DriveTable::Instance().Load("C:=/;bogus;E:=relative;F=/tmp;G:=;\\\\only=/tmp");
  EXPECT_EQ(Native("E:\\x"), "error 3");
  EXPECT_EQ(Native("F:\\x"), "/tmp/x");
  EXPECT_EQ(Native("G:\\x"), "error 3");
  EXPECT_EQ(Native("\\\\only\\x"), "error 53");
}

// A move to another file system copies the bytes, the permissions and the
// write time, then deletes the source, when a copy is allowed.
TEST_F(FileTest, MoveAcrossFileSystemsCopiesWhenAllowed) {
  struct stat here, there;
  if (stat(dir_.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  Make("f.txt", "moved across");
  ASSERT_TRUE(platform::SetFileAttributesA(Path("f.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  std::string target = "/dev/shm/ovpb-move-" + std::to_string(getpid()) + ".txt";
  EXPECT_FALSE(platform::MoveFileExA(Path("f.txt").c_str(), target.c_str(), 0));
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE));
  ASSERT_TRUE(platform::MoveFileA(Path("f.txt").c_str(), target.c_str())) << platform::GetLastError();
  EXPECT_FALSE(Exists("f.txt"));
  EXPECT_EQ(testing_support::ReadTextFile(target), "moved across");
  EXPECT_TRUE(platform::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY);
  platform::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(platform::DeleteFileA(target.c_str()));
}

// Run again by CTest with OVPB_DRIVES set (see tests/CMakeLists.txt).
TEST(DriveTableEnvironmentTest, TableComesFromTheEnvironment) {
  if (std::getenv("OVPB_DRIVES") == nullptr) GTEST_SKIP() << "OVPB_DRIVES is not set";
  EXPECT_EQ(ResolveUtf8("R:\\x").native, "/tmp/x");
  EXPECT_EQ(ResolveUtf8("C:\\x").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // not the default table
}

// Narrow names are in the ANSI code page; the file system holds UTF-8.
TEST_F(FileTest, NarrowNamesAreInTheAnsiCodePage) {
  platform::AnsiCodePageStore::Pin(1252);
  HANDLE file = Open("caf\xE9.txt", GENERIC_WRITE, 0, CREATE_NEW);
  bool created = file != INVALID_HANDLE_VALUE;
  platform::CloseHandle(file);
  WIN32_FIND_DATAA found;
  HANDLE search = platform::FindFirstFileA(Path("caf*").c_str(), &found);
  platform::AnsiCodePageStore::Pin(0);
  ASSERT_TRUE(created);
  EXPECT_TRUE(testing_support::fs::exists(dir_.path() / "caf\xC3\xA9.txt"));
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "caf\xE9.txt");
  platform::FindClose(search);
}

// The read-only attribute is kept even from a user whom the file system
// would let write (root), as Windows keeps it.
TEST_F(FileTest, ReadOnlyFilesRefuseWriting) {
  HANDLE file = Open("ro.txt", GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Write(file, "made"));  // the handle that made it may write
  platform::CloseHandle(file);
  EXPECT_TRUE(Attributes("ro.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(OpenError("ro.txt", GENERIC_WRITE, 0), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(OpenError("ro.txt", GENERIC_READ, 0, CREATE_ALWAYS), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(OpenError("ro.txt", GENERIC_READ, 0), 0u);
  EXPECT_EQ(Contents("ro.txt"), "made");
}

}  // namespace

#endif  // _WIN32
