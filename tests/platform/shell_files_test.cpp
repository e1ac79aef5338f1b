// SHFileOperationA over double-terminated name lists, without any user
// interface: deletes, copies, moves and renames, of files and whole folders.

#include <initializer_list>
#include <string>

#include "file_fixture.h"

namespace {

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

TEST_F(ShellFileTest, CopyGoesIntoAFolderOrToNewNames) {
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
}

TEST_F(ShellFileTest, MoveAndRenameTakeFilesAndFolders) {
  MakeFolder("moved");
  EXPECT_EQ(Operate(FO_MOVE, List({"a.txt", "sub"}), List({"moved"})), 0);
  EXPECT_EQ(Contents("moved/a.txt"), "a");
  EXPECT_EQ(Contents("moved/sub/inner/d.txt"), "d");
  EXPECT_FALSE(Exists("sub"));
  EXPECT_EQ(Operate(FO_RENAME, List({"b.txt"}), List({"renamed.txt"})), 0);
  EXPECT_EQ(Contents("renamed.txt"), "b");
  EXPECT_FALSE(Exists("b.txt"));
  EXPECT_NE(Operate(FO_RENAME, List({"absent.txt"}), List({"other.txt"})), 0);
}

}  // namespace
