#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <set>
#include <string>

#include "file_fixture.h"
#ifndef _WIN32
#include <unistd.h>

#include <climits>

#include "platform/posix/drives.h"
#include "platform/posix/native_path.h"
#include "platform/posix/posix_codepage.h"
#endif

namespace {

using Names = std::set<std::string>;

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
  WIN32_FIND_DATAA five = FindOne("five.txt");
  EXPECT_EQ(five.nFileSizeLow, 5u);
  // The write time is the one the file's handle reports, and it is now.
  ScopedHandle file(Open("five.txt", GENERIC_READ, FILE_SHARE_READ));
  BY_HANDLE_FILE_INFORMATION information;
  ASSERT_TRUE(platform::GetFileInformationByHandle(file.get(), &information));
  EXPECT_EQ(five.ftLastWriteTime.dwLowDateTime, information.ftLastWriteTime.dwLowDateTime);
  uint64_t ticks = (static_cast<uint64_t>(five.ftLastWriteTime.dwHighDateTime) << 32) |
                   five.ftLastWriteTime.dwLowDateTime;
  EXPECT_LT(std::llabs(static_cast<int64_t>(ticks / 10000000) - 11644473600LL - std::time(nullptr)), 120);
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
