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

std::string Native(const std::string& name) {
  platform::posix::ResolvedPath path = ResolveUtf8(name);
  return path.error != ERROR_SUCCESS ? "error " + std::to_string(path.error) : path.native;
}

std::string Current() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

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
    ASSERT_EQ(chdir(saved_.c_str()), 0);
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

// Run again by CTest with OVPB_DRIVES set (see tests/CMakeLists.txt).
TEST(DriveTableEnvironmentTest, TableComesFromTheEnvironment) {
  if (std::getenv("OVPB_DRIVES") == nullptr) GTEST_SKIP() << "OVPB_DRIVES is not set";
  EXPECT_EQ(ResolveUtf8("R:\\x").native, "/tmp/x");
  EXPECT_EQ(ResolveUtf8("C:\\x").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // not the default table
}

TEST_F(FileTest, NarrowNamesAreInTheAnsiCodePage) {
  platform::AnsiCodePageStore::Pin(1252);
  DWORD created = OpenError("caf\xE9.txt", GENERIC_WRITE, 0, CREATE_NEW);
  WIN32_FIND_DATAA found;
  HANDLE search = platform::FindFirstFileA(Path("caf*").c_str(), &found);
  platform::AnsiCodePageStore::Pin(0);
  EXPECT_EQ(created, 0u);
  EXPECT_TRUE(testing_support::fs::exists(dir_.path() / "caf\xC3\xA9.txt"));
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "caf\xE9.txt");
  platform::FindClose(search);
}

}  // namespace

#endif  // _WIN32
