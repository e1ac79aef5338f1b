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
    ASSERT_TRUE(platform::CreateDirectoryA(Path("sub").c_str(), nullptr));
    ASSERT_TRUE(platform::CreateDirectoryA(Path("sub\\inner").c_str(), nullptr));
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

TEST_F(ShellFileTest, DeleteTakesFilesAndWholeFolders) {
  ASSERT_TRUE(platform::SetFileAttributesA(Path("sub\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Operate(FO_DELETE, List({"a.txt", "sub"}), ""), 0);
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_FALSE(Exists("sub"));
  EXPECT_EQ(Contents("b.txt"), "b");
  EXPECT_NE(Operate(FO_DELETE, List({"absent.txt"}), ""), 0);
}

TEST_F(ShellFileTest, DeleteByWildcardTakesOnlyWhatMatches) {
  Make("one.tmp");
  Make("two.TMP");
  ASSERT_TRUE(platform::CreateDirectoryA(Path("dir.tmp").c_str(), nullptr));
  EXPECT_EQ(Operate(FO_DELETE, List({"*.tmp"}), "", kQuiet | FOF_FILESONLY), 0);
  EXPECT_FALSE(Exists("one.tmp"));
  EXPECT_FALSE(Exists("two.TMP"));
  EXPECT_TRUE(Exists("dir.tmp"));  // only files, as asked
  EXPECT_TRUE(Exists("a.txt"));
}

TEST_F(ShellFileTest, DeleteOfAFileHeldWithoutDeleteSharingFails) {
  ScopedHandle held(Open("a.txt", GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(held.valid());
  EXPECT_NE(Operate(FO_DELETE, List({"a.txt"}), ""), 0);
  EXPECT_EQ(Contents("a.txt"), "a");
}

TEST_F(ShellFileTest, CopyGoesIntoAFolderOrToANewName) {
  ASSERT_TRUE(platform::CreateDirectoryA(Path("dest").c_str(), nullptr));
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt"}), List({"dest"})), 0);
  EXPECT_EQ(Contents("dest/a.txt"), "a");
  EXPECT_EQ(Operate(FO_COPY, List({"sub"}), List({"copy"})), 0);
  EXPECT_EQ(Contents("copy/c.txt"), "c");
  EXPECT_EQ(Contents("copy/inner/d.txt"), "d");
  EXPECT_EQ(Contents("sub/inner/d.txt"), "d");
  EXPECT_EQ(Operate(FO_COPY, List({"b.txt"}), List({"dest\\a.txt"})), 0);  // replaces
  EXPECT_EQ(Contents("dest/a.txt"), "b");
}

TEST_F(ShellFileTest, CopyToOwnTargetsWithMultipleDestinations) {
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt", "b.txt"}), List({"x.txt", "y.txt"}), kQuiet | FOF_MULTIDESTFILES), 0);
  EXPECT_EQ(Contents("x.txt"), "a");
  EXPECT_EQ(Contents("y.txt"), "b");
}

TEST_F(ShellFileTest, MoveTakesFilesAndFoldersIntoAFolder) {
  ASSERT_TRUE(platform::CreateDirectoryA(Path("moved").c_str(), nullptr));
  EXPECT_EQ(Operate(FO_MOVE, List({"a.txt", "b.txt", "sub"}), List({"moved"})), 0);
  EXPECT_EQ(Contents("moved/a.txt"), "a");
  EXPECT_EQ(Contents("moved/b.txt"), "b");
  EXPECT_EQ(Contents("moved/sub/inner/d.txt"), "d");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_FALSE(Exists("sub"));
}

#ifndef _WIN32
// Windows makes the missing folder for several sources (Wine cancels).
TEST_F(ShellFileTest, MoveOfSeveralMakesTheTargetFolder) {
  EXPECT_EQ(Operate(FO_MOVE, List({"a.txt", "b.txt"}), List({"made"})), 0);
  EXPECT_EQ(Contents("made/a.txt"), "a");
  EXPECT_EQ(Contents("made/b.txt"), "b");
  EXPECT_FALSE(Exists("b.txt"));
}

TEST_F(ShellFileTest, CollisionsGetAFreshNameWhenAsked) {
  ASSERT_TRUE(platform::CreateDirectoryA(Path("dest").c_str(), nullptr));
  Make("dest/a.txt", "old");
  EXPECT_EQ(Operate(FO_COPY, List({"a.txt"}), List({"dest"}), kQuiet | FOF_RENAMEONCOLLISION), 0);
  EXPECT_EQ(Contents("dest/a.txt"), "old");
  EXPECT_EQ(Contents("dest/a (2).txt"), "a");
}

// Windows refuses with an error of its own (Wine answers 0 and does nothing).
TEST_F(ShellFileTest, FolderIsNeverCopiedIntoItself) {
  EXPECT_NE(Operate(FO_COPY, List({"sub"}), List({"sub\\inner"})), 0);
  EXPECT_FALSE(Exists("sub\\inner\\sub"));
}
#endif

TEST_F(ShellFileTest, RenameGivesOneFileANewName) {
  EXPECT_EQ(Operate(FO_RENAME, List({"a.txt"}), List({"renamed.txt"})), 0);
  EXPECT_EQ(Contents("renamed.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_NE(Operate(FO_RENAME, List({"absent.txt"}), List({"other.txt"})), 0);
}

}  // namespace
